// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/text_label.h"

#include <gtest/gtest.h>

#include <string>

#include "graphics/sprite_test_sheet.h"

namespace {

using pentavel::graphics::Colour;
using pentavel::graphics::GlyphTable;
using pentavel::graphics::liveSpriteCount;
using pentavel::graphics::Sprite;
using pentavel::graphics::TextLabel;
using pentavel::graphics::writeDigits;

constexpr float kTolerance = 1e-6f;

float leftEdge(const Sprite& glyph) {
    return glyph.x() - glyph.width() * 0.5f;
}
float rightEdge(const Sprite& glyph) {
    return glyph.x() + glyph.width() * 0.5f;
}
float topEdge(const Sprite& glyph) {
    return glyph.y() + glyph.height() * 0.5f;
}
float bottomEdge(const Sprite& glyph) {
    return glyph.y() - glyph.height() * 0.5f;
}

class TextLabelTest : public ::testing::Test {
protected:
    const test::TestSheet& sheet = test::testSheet();
    TextLabel label;
};

TEST_F(TextLabelTest, FrameRateTextHangsFromTheTopLeftCorner) {
    label.setText(sheet.glyphs, "FPS: 0000");
    label.setPosition(-1.0f, 0.75f);
    label.horizontalAlignment = TextLabel::kLeft;
    label.verticalAlignment = TextLabel::kTop;
    label.setTextSize(0.75f);
    ASSERT_EQ(label.glyphs().size(), 9u);
    const Sprite& first = label.glyphs().front();
    EXPECT_NEAR(first.width(), 0.075f, kTolerance);
    EXPECT_NEAR(leftEdge(first), -1.0f, kTolerance);
    EXPECT_NEAR(topEdge(first), 0.75f, kTolerance);
    for (std::size_t i = 1; i < label.glyphs().size(); ++i) {
        EXPECT_NEAR(leftEdge(label.glyphs()[i]), rightEdge(label.glyphs()[i - 1]), kTolerance);
        EXPECT_EQ(label.glyphs()[i].y(), first.y());
    }
    EXPECT_NEAR(label.width(), 9 * 0.075f, kTolerance);
    EXPECT_NEAR(label.height(), 0.075f, kTolerance);
}

TEST_F(TextLabelTest, RightAlignedTextEndsAtXAndCentredTextStraddlesIt) {
    label.horizontalAlignment = TextLabel::kRight;
    label.setPosition(1.0f, 0.0f);
    for (const char* text : {"i", "Wi", "iiWWiW", "12345678"}) {
        label.setText(sheet.glyphs, text);
        EXPECT_NEAR(rightEdge(label.glyphs().back()), 1.0f, kTolerance) << text;
    }
    label.horizontalAlignment = TextLabel::kCentre;
    label.setPosition(0.0f, 0.0f);
    label.setText(sheet.glyphs, "Wi");  // 0.1 + 0.05 wide
    EXPECT_NEAR(leftEdge(label.glyphs().front()), -0.075f, kTolerance);
    EXPECT_NEAR(rightEdge(label.glyphs().back()), 0.075f, kTolerance);
    EXPECT_NEAR(label.glyphs()[1].x(), 0.05f, kTolerance);
}

TEST_F(TextLabelTest, VerticalAlignmentPlacesTheFirstGlyphsHeight) {
    label.setText(sheet.glyphs, "Wi");
    label.setPosition(0.0f, 0.5f);
    EXPECT_EQ(label.glyphs()[0].y(), 0.5f);  // middle is the default
    EXPECT_EQ(label.glyphs()[1].y(), 0.5f);
    label.verticalAlignment = TextLabel::kBottom;
    label.layout();
    EXPECT_NEAR(bottomEdge(label.glyphs()[0]), 0.5f, kTolerance);
    label.verticalAlignment = TextLabel::kTop;
    label.layout();
    EXPECT_NEAR(topEdge(label.glyphs()[1]), 0.5f, kTolerance);
}

TEST_F(TextLabelTest, RotationTurnsTheLineAboutThePosition) {
    label.horizontalAlignment = TextLabel::kLeft;
    label.verticalAlignment = TextLabel::kTop;
    label.setText(sheet.glyphs, "WWW");
    label.setPositionAndRotation(0.2f, 0.1f, 90.0f);
    for (std::size_t i = 0; i < 3; ++i) {
        const Sprite& glyph = label.glyphs()[i];
        // The text now runs upwards and hangs to the right of the position.
        EXPECT_NEAR(glyph.x(), 0.2f + 0.05f, kTolerance);
        EXPECT_NEAR(glyph.y(), 0.1f + 0.1f * (i + 0.5f), kTolerance);
        EXPECT_EQ(glyph.rotation(), 90.0f);
    }
    label.rotate(-450.0f);
    EXPECT_EQ(label.rotation(), 0.0f);
    EXPECT_NEAR(label.glyphs()[2].x(), 0.2f + 0.25f, kTolerance);
}

TEST_F(TextLabelTest, EmptyTextHasNoSizeAndIgnoresSetWidth) {
    label.setText(sheet.glyphs, "");
    EXPECT_TRUE(label.glyphs().empty());
    EXPECT_EQ(label.width(), 0.0f);
    EXPECT_EQ(label.height(), 0.0f);
    label.setSize(1.0f, 1.0f);
    EXPECT_EQ(label.textSize(), 1.0f);
    label.setText(sheet.glyphs, "W");
    EXPECT_NEAR(label.width(), 0.1f, kTolerance);
}

TEST_F(TextLabelTest, SetSizeReachesTheAskedSizeWhateverTheTextSize) {
    label.setText(sheet.glyphs, "Wi");
    label.setTextSize(0.5f);  // 0.075 x 0.05
    label.setSize(0.3f, 0.2f);
    EXPECT_NEAR(label.width(), 0.3f, kTolerance);
    EXPECT_NEAR(label.height(), 0.2f, kTolerance);
    label.scaleBy(0.5f);
    EXPECT_NEAR(label.width(), 0.15f, kTolerance);
}

TEST_F(TextLabelTest, GlyphsTakeTheLabelsDepthColourAndVisibility) {
    const Colour yellow{1.0f, 1.0f, 0.0f, 1.0f};
    label.setColour(yellow);
    label.setDepth(-10.0f);
    label.changeDepth(-1.0f);
    label.setVisible(false);
    label.setText(sheet.glyphs, "Wi");  // new glyphs take the stored values too
    for (const Sprite& glyph : label.glyphs()) {
        EXPECT_EQ(glyph.depth(), -11.0f);
        EXPECT_EQ(glyph.colour(), yellow);
        EXPECT_FALSE(glyph.visible());
    }
    label.setVisible(true);
    EXPECT_TRUE(label.glyphs()[1].visible());
}

TEST_F(TextLabelTest, CharacterCodesIndexTheTableAsUnsigned) {
    GlyphTable glyphs = {};
    glyphs[0xE9] = sheet.narrowGlyph;
    glyphs['A'] = sheet.wideGlyph;
    label.setText(glyphs, "A\xE9?");
    ASSERT_EQ(label.glyphs().size(), 3u);
    EXPECT_EQ(label.glyphs()[0].sprite(), sheet.wideGlyph);
    EXPECT_EQ(label.glyphs()[1].sprite(), sheet.narrowGlyph);
    EXPECT_EQ(label.glyphs()[2].sprite(), 0);
    label.setText(nullptr, "xy");
    EXPECT_EQ(label.glyphs()[0].sprite(), 0);
}

TEST_F(TextLabelTest, GlyphSpritesLiveAsLongAsTheirText) {
    const std::size_t before = liveSpriteCount();
    {
        TextLabel scoped;
        scoped.setText(sheet.glyphs, "12345");
        EXPECT_EQ(liveSpriteCount(), before + 5);
        scoped.setText(sheet.glyphs, "12");
        EXPECT_EQ(liveSpriteCount(), before + 2);
    }
    EXPECT_EQ(liveSpriteCount(), before);
}

TEST(WriteDigits, KeepsTheLastDigitsWithLeadingZeros) {
    char buffer[5] = "xxxx";
    writeDigits(buffer, 123, 4);
    EXPECT_STREQ(buffer, "0123");
    writeDigits(buffer, 12345, 4);
    EXPECT_STREQ(buffer, "2345");
    std::string text = "FPS: 0000";
    writeDigits(text, 60, 4);
    EXPECT_EQ(text, "FPS: 0060");
    std::string shortText = "00";
    writeDigits(shortText, 1234, 4);  // only what fits
    EXPECT_EQ(shortText, "34");
}

}  // namespace
