// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small sprite sheet, scanned once per process, for the sprite, label and frame-rate tests. The
// resource tables never shrink, so the ids stay valid whatever the tests mount afterwards.

#include <cstdio>
#include <string>

#include "engine/graphics/internal/graphics_resource_manager.h"
#include "engine/graphics/internal/graphics_system.h"
#include "engine/graphics/text_label.h"
#include "support/test_support.h"

namespace test {

struct TestSheet {
    pentavel::graphics::SpriteId box = 0;          // 80 x 40 sheet units: 0.2 x 0.1
    pentavel::graphics::SpriteId narrowGlyph = 0;  // 20 x 40: 0.05 x 0.1
    pentavel::graphics::SpriteId wideGlyph = 0;    // 40 x 40: 0.1 x 0.1
    pentavel::graphics::SpriteId missing = 0;      // its PNG is gone by the time it is drawn
    // Every character is a wide glyph except 'i', which is narrow.
    pentavel::graphics::GlyphTable glyphs = {};
};

inline const TestSheet& testSheet() {
    static const TestSheet sheet = [] {
        static TempDir folder;  // kept to exit: the scan reads it, later loads may look for its files
        folder.write("sprite_test.svg",
                     "<?xml version=\"1.0\"?>\n<svg width=\"800\" height=\"600\"><g>\n"
                     "<rect id=\"sprite_test_box\" x=\"0\" y=\"0\" width=\"80\" height=\"40\"/>\n"
                     "<rect id=\"sprite_test_narrow\" x=\"100\" y=\"0\" width=\"20\" height=\"40\"/>\n"
                     "<rect id=\"sprite_test_wide\" x=\"200\" y=\"0\" width=\"40\" height=\"40\"/>\n"
                     "</g></svg>\n");
        folder.write("sprite_test.png", "not drawn in these tests");
        folder.write(
            "sprite_test_missing.svg",
            "<svg width=\"100\" height=\"100\"><g>"
            "<rect id=\"sprite_test_missing\" x=\"0\" y=\"0\" width=\"10\" height=\"10\"/></g></svg>");
        folder.write("sprite_test_missing.png", "removed after the scan");
        mountOnly(folder.path());
        auto& resources = pentavel::graphics::internal::graphicsSystem().resources();
        resources.scanSpriteSheets();
        std::remove((folder.path() + "/sprite_test_missing.png").c_str());

        TestSheet result;
        result.box = resources.findSprite("sprite_test_box");
        result.narrowGlyph = resources.findSprite("sprite_test_narrow");
        result.wideGlyph = resources.findSprite("sprite_test_wide");
        result.missing = resources.findSprite("sprite_test_missing");
        for (auto& glyph : result.glyphs)
            glyph = result.wideGlyph;
        result.glyphs[static_cast<unsigned char>('i')] = result.narrowGlyph;
        return result;
    }();
    return sheet;
}

}  // namespace test
