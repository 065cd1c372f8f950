// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/internal/graphics_resource_manager.h"

#include <gtest/gtest.h>

#include <string>

#include "support/mounted_folder.h"

namespace {

using pentavel::graphics::SpriteId;
using pentavel::graphics::internal::GraphicsResourceManager;

// A sheet drawing with the given canvas attributes and group content.
std::string svg(const std::string& canvas, const std::string& group) {
    return "<?xml version=\"1.0\"?>\n<svg " + canvas + ">\n<g>\n" + group + "</g>\n</svg>\n";
}

std::string rect(const std::string& id, int x, int y, int width, int height) {
    return "<rect id=\"" + id + "\" x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) +
           "\" width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) + "\"/>\n";
}

const std::string kCanvas = "width=\"800\" height=\"600\"";

class ResourceManagerTest : public ::testing::Test {
protected:
    void sheet(const std::string& name, const std::string& content) {
        folder.write(name + ".svg", content);
        folder.write(name + ".png", "a picture");
    }
    bool contains(const std::string& text) const { return log.find(text) != std::string::npos; }
    std::size_t count(const std::string& text) const {
        std::size_t found = 0;
        for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++found;
        return found;
    }
    void closeLog() { log = folder.logText(); }

    test::LoggedFolder folder;
    GraphicsResourceManager resources;
    std::string log;
};

TEST_F(ResourceManagerTest, ALongerNameSortingFirstHidesThePairAndIsNamedOnce) {
    // a-b.png sorts before a.png, and its stem "a-b" is greater than "a", so the walk leaves the
    // drawings before it reaches a.png; b-old.svg does the same to b.png from the other side.
    folder.write("a.svg", svg(kCanvas, rect("a_box", 0, 0, 8, 8)));
    folder.write("a-b.png", "picture");
    folder.write("a.png", "picture");
    folder.write("b-old.svg", svg(kCanvas, rect("old_box", 0, 0, 8, 8)));
    sheet("b", svg(kCanvas, rect("b_box", 0, 0, 8, 8)));
    resources.scanSpriteSheets();
    EXPECT_EQ(1, resources.imageCount());
    EXPECT_EQ(0, resources.findSprite("a_box"));
    EXPECT_EQ(0, resources.findSprite("b_box"));
    closeLog();
    EXPECT_EQ(1u, count("---- Sprite sheet [a.svg] with [a.png] not loaded: hidden by [a-b.png]</span>"));
    EXPECT_EQ(1u, count("---- Sprite sheet [b.svg] with [b.png] not loaded: hidden by [b-old.svg]</span>"));
    EXPECT_EQ(2u, count("hidden by"));
}

TEST_F(ResourceManagerTest, PairsOnlyDrawingsAndPicturesOfTheSameNameWalkingPastTheOthers) {
    sheet("b", svg(kCanvas, rect("b_box", 0, 0, 8, 8)));
    sheet("d", svg(kCanvas, rect("d_box", 0, 0, 8, 8)));
    folder.write("a.svg", svg(kCanvas, rect("a_box", 0, 0, 8, 8)));
    folder.write("c.png", "picture");
    folder.write("e.svg", svg(kCanvas, rect("e_box", 0, 0, 8, 8)));
    resources.scanSpriteSheets();
    ASSERT_EQ(3, resources.imageCount());
    EXPECT_EQ("b.png", resources.imageInfo(1).name);
    EXPECT_EQ("d.png", resources.imageInfo(2).name);
    EXPECT_EQ(0u, resources.imageInfo(2).texture);
    EXPECT_FALSE(resources.imageInfo(2).loaded);
    EXPECT_EQ(2, resources.spriteInfo(resources.findSprite("d_box")).image);
    EXPECT_EQ(0, resources.findSprite("a_box"));
    EXPECT_EQ(0, resources.findSprite("e_box"));
    closeLog();
    EXPECT_EQ(0u, count("hidden by"));
}

TEST_F(ResourceManagerTest, TextureCoordinatesAreFractionsOfTheCanvasAndSizesAreIn400ths) {
    sheet("sheet", svg("width=\"800px\" height=\"600\"",
                       rect("quarter", 0, 0, 400, 300) + rect("inner", 200, 150, 100, 60)));
    resources.scanSpriteSheets();
    const auto& quarter = resources.spriteInfo(resources.findSprite("quarter"));
    EXPECT_TRUE(quarter.valid);
    EXPECT_FLOAT_EQ(0.5f, quarter.right);
    EXPECT_FLOAT_EQ(0.5f, quarter.bottom);
    EXPECT_FLOAT_EQ(1.0f, resources.naturalWidth(resources.findSprite("quarter")));
    EXPECT_FLOAT_EQ(0.75f, resources.naturalHeight(resources.findSprite("quarter")));

    float width = 0.0f, height = 0.0f;
    resources.getNaturalSize(resources.findSprite("inner"), width, height);
    EXPECT_FLOAT_EQ(0.25f, width);
    EXPECT_FLOAT_EQ(0.15f, height);
    const auto& inner = resources.spriteInfo(resources.findSprite("inner"));
    EXPECT_FLOAT_EQ(0.25f, inner.left);
    EXPECT_FLOAT_EQ(0.25f, inner.top);
    EXPECT_FLOAT_EQ(0.375f, inner.right);
    EXPECT_FLOAT_EQ(0.35f, inner.bottom);
}

TEST_F(ResourceManagerTest, SpriteIdsFollowReadingOrderAndTheFirstDefinitionOfANameWins) {
    sheet("first", svg(kCanvas, rect("ball", 0, 0, 40, 40) + rect("paddle", 40, 0, 80, 20)));
    sheet("second", svg(kCanvas, rect("ball", 400, 0, 80, 80) + rect("brick", 0, 40, 52, 26) +
                                     rect("brick", 100, 40, 10, 10)));
    resources.scanSpriteSheets();
    EXPECT_EQ(1, resources.findSprite("ball"));
    EXPECT_EQ(2, resources.findSprite("paddle"));
    EXPECT_EQ(3, resources.findSprite("brick"));
    EXPECT_EQ(4, resources.spriteCount());
    EXPECT_EQ(1, resources.spriteInfo(resources.findSprite("ball")).image);
    EXPECT_FLOAT_EQ(0.1f, resources.naturalWidth(resources.findSprite("ball")));
    EXPECT_FLOAT_EQ(0.0f, resources.spriteInfo(resources.findSprite("brick")).left);
}

TEST_F(ResourceManagerTest, ReadsOnlyCompleteRectanglesOfTheFirstGroup) {
    const std::string group = rect("kept", 0, 0, 8, 8) +
                              "<rect x=\"0\" y=\"0\" width=\"8\" height=\"8\"/>\n" +
                              "<rect id=\"no_x\" y=\"0\" width=\"8\" height=\"8\"/>\n" +
                              "<rect id=\"no_y\" x=\"0\" width=\"8\" height=\"8\"/>\n" +
                              "<rect id=\"no_width\" x=\"0\" y=\"0\" height=\"8\"/>\n" +
                              "<rect id=\"no_height\" x=\"0\" y=\"0\" width=\"8\"/>\n" +
                              "<circle id=\"round\" x=\"0\" y=\"0\" width=\"8\" height=\"8\"/>\n" + "<g>" +
                              rect("nested", 0, 0, 8, 8) + "</g>\n" + rect("also_kept", 8, 0, 8, 8);
    sheet("sheet", "<svg " + kCanvas + ">\n" + rect("outside", 0, 0, 8, 8) + "<g>\n" + group + "</g>\n<g>" +
                       rect("second_group", 0, 0, 8, 8) + "</g></svg>");
    resources.scanSpriteSheets();
    EXPECT_EQ(1, resources.findSprite("kept"));
    EXPECT_EQ(2, resources.findSprite("also_kept"));
    EXPECT_EQ(3, resources.spriteCount());
    for (const char* skipped :
         {"no_x", "no_y", "no_width", "no_height", "round", "nested", "outside", "second_group"}) {
        EXPECT_EQ(0, resources.findSprite(skipped)) << skipped;
    }
}

TEST_F(ResourceManagerTest, ASheetWithoutAGroupOrSvgElementKeepsItsImageAndHasNoSprites) {
    sheet("nogroup", "<svg " + kCanvas + ">" + rect("loose", 0, 0, 8, 8) + "</svg>");
    sheet("nosvg", "<drawing>" + rect("other", 0, 0, 8, 8) + "</drawing>");
    resources.scanSpriteSheets();
    EXPECT_EQ(3, resources.imageCount());
    EXPECT_EQ(1, resources.spriteCount());
    EXPECT_TRUE(resources.loadSpriteSheet("nogroup.svg", 1));
    closeLog();
    EXPECT_TRUE(contains("---- Loading SVG: [nogroup.svg]"));
    EXPECT_TRUE(contains("---- Loading SVG: [nosvg.svg]"));
    EXPECT_FALSE(contains("class=\"L1\""));  // no error line
}

TEST_F(ResourceManagerTest, ADrawingThatIsNotXmlGivesAnErrorButKeepsItsImage) {
    sheet("broken", "this is <not xml");
    sheet("empty", "");
    resources.scanSpriteSheets();
    EXPECT_EQ(3, resources.imageCount());
    EXPECT_EQ("broken.png", resources.imageInfo(1).name);
    EXPECT_FALSE(resources.loadSpriteSheet("missing.svg", 1));
    closeLog();
    EXPECT_TRUE(contains("---- No SVG file: [broken.svg]"));
    EXPECT_TRUE(contains("---- No SVG file: [empty.svg]"));
    EXPECT_TRUE(contains("---- No SVG file: [missing.svg]"));
    EXPECT_FALSE(contains("Loading SVG: [broken.svg]"));
}

TEST_F(ResourceManagerTest, ACanvasWithoutAUsableSizeIsBadlyFormedAndGivesNoSprites) {
    sheet("a_nowidth", svg("height=\"600\"", rect("a", 0, 0, 8, 8)));
    sheet("b_zero", svg("width=\"0\" height=\"600\"", rect("b", 0, 0, 8, 8)));
    sheet("c_words", svg("width=\"wide\" height=\"600\"", rect("c", 0, 0, 8, 8)));
    sheet("d_negative", svg("width=\"800\" height=\"-600\"", rect("d", 0, 0, 8, 8)));
    sheet("e_noheight", svg("width=\"800\"", rect("e", 0, 0, 8, 8)));
    resources.scanSpriteSheets();
    EXPECT_EQ(6, resources.imageCount());
    EXPECT_EQ(1, resources.spriteCount());
    EXPECT_FALSE(resources.loadSpriteSheet("b_zero.svg", 2));
    closeLog();
    for (const char* name : {"a_nowidth", "b_zero", "c_words", "d_negative", "e_noheight"}) {
        EXPECT_TRUE(contains("SVG file [" + std::string(name) + ".svg] badly formed: no width or height"))
            << name;
    }
}

TEST_F(ResourceManagerTest, UnknownNamesAndOutOfRangeIdsReadAsNoImage) {
    sheet("sheet", svg(kCanvas, rect("box", 0, 0, 80, 40)));
    resources.scanSpriteSheets();
    EXPECT_EQ(0, resources.findSprite("no_such_sprite"));
    EXPECT_EQ(0, resources.findSprite("Box"));  // case-sensitive
    for (SpriteId id : {-1, 0, 2, 1000000}) {   // 0: the placeholder
        EXPECT_FALSE(resources.spriteInfo(id).valid) << id;
        EXPECT_FLOAT_EQ(0.0f, resources.naturalWidth(id));
        EXPECT_FALSE(resources.ensureImageLoaded(id));
        EXPECT_FALSE(
            resources.getDrawInfo(id, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
        EXPECT_EQ("", resources.imageInfo(id).name);
        EXPECT_FALSE(resources.loadImage(id));
        resources.unloadImage(id);
    }
    closeLog();
    EXPECT_FALSE(contains("no_such_sprite"));
    EXPECT_FALSE(contains("class=\"L1\""));
}

TEST_F(ResourceManagerTest, DrawInfoIsRefusedWhileTheImageHasNoTexture) {
    sheet("sheet", svg(kCanvas, rect("box", 0, 0, 80, 40)));
    resources.scanSpriteSheets();
    unsigned int texture = 99;
    float left = -7.0f, width = -7.0f;
    EXPECT_FALSE(resources.getDrawInfo(resources.findSprite("box"), &texture, &left, nullptr, nullptr,
                                       nullptr, &width, nullptr));
    EXPECT_EQ(0u, texture);
    EXPECT_FLOAT_EQ(-7.0f, left);
    EXPECT_FLOAT_EQ(-7.0f, width);
}

TEST_F(ResourceManagerTest, APictureThatFailsIsTriedAndLoggedOncePerReload) {
    sheet("bad", svg(kCanvas, rect("bad_box", 0, 0, 8, 8)));
    folder.write("gone.svg", svg(kCanvas, rect("gone_box", 0, 0, 8, 8)));
    folder.write("gone.png", "picture");
    resources.scanSpriteSheets();
    std::remove((folder.path() + "/gone.png").c_str());

    // Every draw asks; a failed picture is tried once until the next reload.
    for (int draw = 0; draw < 3; ++draw) {
        EXPECT_FALSE(resources.ensureImageLoaded(resources.findSprite("bad_box")));
        EXPECT_FALSE(resources.ensureImageLoaded(resources.findSprite("gone_box")));
    }
    EXPECT_FALSE(resources.imageInfo(1).loaded);
    EXPECT_FALSE(resources.imageInfo(2).loaded);
    EXPECT_EQ(0u, resources.imageInfo(1).texture);
    EXPECT_TRUE(resources.reloadTextures());  // nothing was loaded, nothing to redo
    EXPECT_FALSE(resources.ensureImageLoaded(resources.findSprite("bad_box")));
    EXPECT_FALSE(resources.ensureImageLoaded(resources.findSprite("bad_box")));
    closeLog();
    EXPECT_EQ(2u, count("Loading image texture for [bad.png]..."));
    EXPECT_EQ(2u, count("Error loading in PNG file [bad.png] to OpenGL texture!"));
    EXPECT_EQ(2u, count("---- [bad.png] is not a PNG file</span>"));
    EXPECT_EQ(1u, count("Loading image texture for [gone.png]..."));
    EXPECT_EQ(1u, count("Error opening [gone.png], "));
}

}  // namespace
