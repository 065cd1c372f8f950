// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A sprite sheet's SVG through the scan the game runs at start-up, then every question the draw pass and
// the sprites ask about what it read.

#include <cstdint>

#include "engine/graphics/internal/graphics_resource_manager.h"
#include "fuzz_support.h"

using pentavel::graphics::internal::GraphicsResourceManager;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::useDummyDrivers();
    // The picture beside it is never turned into a texture here; the PNG target covers that.
    const std::uint8_t picture[] = "not drawn";
    fuzz::writeScratchFile("sheet.png", picture, sizeof picture - 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeScratchFile("sheet.svg", data, size);
    fuzz::mountScratch();
    {
        GraphicsResourceManager manager;
        manager.scanSpriteSheets();
        for (int sprite = 0; sprite < manager.spriteCount(); ++sprite) {
            float width = 0.0f;
            float height = 0.0f;
            manager.getNaturalSize(sprite, width, height);
            unsigned int texture = 0;
            if (manager.getDrawInfo(sprite, &texture, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr))
                fuzz::fail("sprite %d has texture %u before any was made", sprite, texture);
            const GraphicsResourceManager::SpriteInfo& info = manager.spriteInfo(sprite);
            if (info.image < 0 || info.image >= manager.imageCount())
                fuzz::fail("sprite %d lies on image %d of %d", sprite, info.image, manager.imageCount());
            if (sprite > 0 && (!info.valid || manager.imageInfo(info.image).name != "sheet.png"))
                fuzz::fail("sprite %d is not on the sheet's picture", sprite);
        }
        manager.findSprite("ball");
    }
    fuzz::unmountScratch();
    return 0;
}
