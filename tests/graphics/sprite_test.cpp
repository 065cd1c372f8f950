// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/sprite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/file/log.h"
#include "engine/graphics/internal/draw_list.h"
#include "engine/graphics/internal/graphics_system.h"
#include "engine/graphics/internal/sprite_state.h"
#include "graphics/sprite_test_sheet.h"
#include "support/mounted_folder.h"

namespace {

using pentavel::graphics::liveSpriteCount;
using pentavel::graphics::normaliseAngle;
using pentavel::graphics::Sprite;

int occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(Sprite, HandlesShareOneStateUntilTheLastGoes) {
    const std::size_t before = liveSpriteCount();
    {
        Sprite first;
        EXPECT_EQ(liveSpriteCount(), before + 1);
        {
            Sprite copy(first);
            copy.setPosition(0.25f, -0.5f);
            copy.colour().alpha = 0.5f;
            EXPECT_EQ(first.x(), 0.25f);
            EXPECT_EQ(first.y(), -0.5f);
            EXPECT_EQ(first.colour().alpha, 0.5f);
            EXPECT_EQ(first.state()->referenceCount, 2);
            EXPECT_EQ(liveSpriteCount(), before + 1);
        }
        EXPECT_EQ(first.state()->referenceCount, 1);
        EXPECT_EQ(liveSpriteCount(), before + 1);
    }
    EXPECT_EQ(liveSpriteCount(), before);
}

TEST(Sprite, AssignmentReleasesTheOldStateAndSharesTheNew) {
    const std::size_t before = liveSpriteCount();
    const std::size_t listed = pentavel::graphics::internal::graphicsSystem().drawList().size();
    Sprite a;
    Sprite b;
    b = a;  // b's own state has no other handle: it is freed and leaves the draw list
    EXPECT_EQ(b.state(), a.state());
    EXPECT_EQ(a.state()->referenceCount, 2);
    EXPECT_EQ(liveSpriteCount(), before + 1);
    EXPECT_EQ(pentavel::graphics::internal::graphicsSystem().drawList().size(), listed + 1);
    const Sprite& alias = b;
    b = alias;
    a = b;
    EXPECT_EQ(a.state()->referenceCount, 2);
}

TEST(Sprite, GrowingArraysOfHandlesKeepTheStatesAlive) {
    const std::size_t before = liveSpriteCount();
    {
        std::vector<Sprite> sprites;
        for (int i = 0; i < 100; ++i) {
            sprites.emplace_back();
            sprites.back().setX(static_cast<float>(i));
        }
        EXPECT_EQ(liveSpriteCount(), before + 100);
        for (int i = 0; i < 100; ++i)
            EXPECT_EQ(sprites[i].x(), static_cast<float>(i));
    }
    EXPECT_EQ(liveSpriteCount(), before);
    EXPECT_EQ(pentavel::graphics::internal::spriteStateBlocksOwned() % 32, 0u);
}

TEST(Sprite, AnglesAreKeptInZeroTo360) {
    Sprite sprite;
    sprite.setRotation(-90.0f);
    EXPECT_EQ(sprite.rotation(), 270.0f);
    sprite.setRotation(720.0f);
    EXPECT_EQ(sprite.rotation(), 0.0f);
    sprite.setRotation(0.0f);
    sprite.rotate(370.0f);
    EXPECT_EQ(sprite.rotation(), 10.0f);
    sprite.rotate(-20.0f);
    EXPECT_EQ(sprite.rotation(), 350.0f);
    sprite.setPositionAndRotation(1.0f, 2.0f, 360.0f);
    EXPECT_EQ(sprite.rotation(), 0.0f);

    EXPECT_EQ(normaliseAngle(359.5f), 359.5f);
    // Rounds to 360 in single precision; must still land inside the range.
    const float tiny = normaliseAngle(-1e-6f);
    EXPECT_GE(tiny, 0.0f);
    EXPECT_LT(tiny, 360.0f);
    EXPECT_EQ(normaliseAngle(std::nanf("")), 0.0f);
    EXPECT_EQ(normaliseAngle(-INFINITY), 0.0f);
}

TEST(Sprite, SetRectangleGivesCentreAndSignedSize) {
    Sprite sprite;
    sprite.setRotation(45.0f);
    sprite.setRectangle(-1.0f, 0.75f, 1.0f, -0.75f);
    EXPECT_EQ(sprite.x(), 0.0f);
    EXPECT_EQ(sprite.y(), 0.0f);
    EXPECT_EQ(sprite.width(), 2.0f);
    EXPECT_EQ(sprite.height(), -1.5f);
    EXPECT_EQ(sprite.rotation(), 0.0f);
}

TEST(Sprite, SetSpriteByNameKeepsTheImageForUnknownNames) {
    const test::TestSheet& sheet = test::testSheet();
    ASSERT_NE(sheet.box, 0);
    Sprite sprite;
    EXPECT_EQ(sprite.setSpriteByName("sprite_test_box"), sheet.box);
    EXPECT_EQ(sprite.sprite(), sheet.box);
    EXPECT_EQ(sprite.setSpriteByName("no_such_sprite"), 0);
    EXPECT_EQ(sprite.sprite(), sheet.box);
    EXPECT_EQ(sprite.setSpriteByName(nullptr), 0);
    EXPECT_EQ(pentavel::graphics::lookupSprite("sprite_test_wide"), sheet.wideGlyph);
}

TEST(Sprite, ScaleFollowsTheNaturalSize) {
    const test::TestSheet& sheet = test::testSheet();
    Sprite sprite;
    sprite.setSprite(sheet.box);  // natural 0.2 x 0.1
    sprite.setScale(2.0f);
    EXPECT_FLOAT_EQ(sprite.width(), 0.4f);
    EXPECT_FLOAT_EQ(sprite.height(), 0.2f);
    EXPECT_FLOAT_EQ(sprite.scale(), 2.0f);
    sprite.setScaleXY(1.0f, 3.0f);
    EXPECT_FLOAT_EQ(sprite.scale(), 2.0f);
    float sx = 0.0f, sy = 0.0f;
    sprite.getScaleXY(sx, sy);
    EXPECT_FLOAT_EQ(sx, 1.0f);
    EXPECT_FLOAT_EQ(sy, 3.0f);
    sprite.scaleBy(0.5f);
    EXPECT_FLOAT_EQ(sprite.width(), 0.1f);
    EXPECT_FLOAT_EQ(sprite.height(), 0.15f);
}

TEST(Sprite, ScaleWithoutAnImageLeavesTheDestinationsAlone) {
    Sprite sprite;
    sprite.setSize(1.0f, 1.0f);
    float sx = 7.0f, sy = 8.0f;
    sprite.getScaleXY(sx, sy);
    EXPECT_EQ(sx, 7.0f);
    EXPECT_EQ(sy, 8.0f);
    sprite.setSprite(123456);  // outside the sprite table: read as no image
    sprite.getScaleXY(sx, sy);
    EXPECT_EQ(sx, 7.0f);
    sprite.setScale(2.0f);
    EXPECT_EQ(sprite.width(), 0.0f);
}

TEST(Sprite, DrawErrorIsReportedOnceAndSkipsHiddenOrBlankSprites) {
    const test::TestSheet& sheet = test::testSheet();
    ASSERT_NE(sheet.missing, 0);
    test::LoggedFolder logFolder;
    const std::string message = "Cannot draw sprite of type " + std::to_string(sheet.missing) + "!";
    {
        Sprite hidden;
        hidden.setSprite(sheet.missing);
        hidden.setVisible(false);
        Sprite outOfTable;
        outOfTable.setSprite(-5);
        pentavel::graphics::drawSprites();
        Sprite broken;
        broken.setSprite(sheet.missing);
        pentavel::graphics::drawSprites();
        pentavel::graphics::drawSprites();
    }
    const std::string log = logFolder.logText();
    EXPECT_EQ(occurrences(log, message), 1);
    EXPECT_EQ(occurrences(log, "(ignoring all further errors of this type)"), 1);
    EXPECT_EQ(occurrences(log, "Cannot draw sprite of type -5!"), 0);
    EXPECT_LT(log.find("Loading image texture for [sprite_test_missing.png]..."), log.find(message));
}

}  // namespace
