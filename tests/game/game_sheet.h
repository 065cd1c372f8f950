// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A sprite sheet that names every image the game asks for, scanned once per process; its picture is never
// drawn, so the game runs without a display. Shared by the game tests and the level fuzz target.

#include <string>
#include <vector>

#include "engine/graphics/display.h"
#include "game/field/images.h"
#include "support/test_support.h"

namespace test {

// Scans, once per process, a sheet with every image name the game asks for, the tests' background
// "tile_test" and "wide_test", five times as wide as the others (a glyph wider than the font's).
inline void scanGameSheet() {
    static const bool scanned = [] {
        static TempDir folder;
        std::string svg = "<svg width=\"4000\" height=\"400\"><g>\n";
        std::vector<std::string> names = tezmola::gameImageNames();
        names.push_back("tile_test");
        names.push_back("wide_test");
        int x = 0;
        for (const std::string& name : names) {
            const int width = name == "wide_test" ? 100 : 20;
            svg += "<rect id=\"" + name + "\" x=\"" + std::to_string(x) + "\" y=\"0\" width=\"" +
                   std::to_string(width) + "\" height=\"20\"/>\n";
            x += width;
        }
        folder.write("game_test.svg", svg + "</g></svg>\n");
        folder.write("game_test.png", "not drawn in these tests");
        mountOnly(folder.path());
        pentavel::graphics::scanSpriteSheets();
        return true;
    }();
    (void)scanned;
}

}  // namespace test
