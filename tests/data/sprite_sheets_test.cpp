// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped sprite sheets: every image the game asks for, canvases that match their bitmaps, art that
// suits the way the game tints and tests alpha, and background tiles that meet without seams.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "data/shipped_data.h"
#include "engine/graphics/display.h"
#include "engine/graphics/sprite.h"
#include "game/field/images.h"
#include "support/test_support.h"

namespace {

using pentavel::graphics::lookupSprite;

constexpr double kSheetUnitsPerFieldUnit = 400.0;
constexpr float kTopBandHeight = 0.75f - 0.64995f;
constexpr float kLabelSize = 0.75f;

// Every sheet's rectangles by sprite name, with the sheet they come from.
std::map<std::string, std::pair<std::string, test::SheetRect>> allRects() {
    std::map<std::string, std::pair<std::string, test::SheetRect>> rects;
    for (const std::string& svg : test::dataFiles("svg")) {
        const std::string stem = svg.substr(0, svg.size() - 4);
        for (const test::SheetRect& rect : test::readSheetSvg(test::dataDir() + "/" + svg).rects)
            rects.emplace(rect.id, std::make_pair(stem, rect));
    }
    return rects;
}

bool isPowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

// The shipped archive, scanned once by the engine's own sprite-sheet reader.
class ShippedSheets : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::useShippedArchive(); }
    static void TearDownTestSuite() { test::unmountAll(); }

    // The sprite's natural size in play-field units, as labels use it.
    static void naturalSize(const char* name, float& width, float& height) {
        pentavel::graphics::Sprite sprite;
        sprite.setSprite(lookupSprite(name));
        sprite.setScale(1.0f);
        sprite.getSize(width, height);
    }
    static float labelWidth(const std::string& text) {
        float total = 0.0f;
        for (unsigned char c : text) {
            float width = 0.0f, height = 0.0f;
            naturalSize(tezmola::glyphImageName(c).c_str(), width, height);
            total += width * kLabelSize;
        }
        return total;
    }
};

TEST_F(ShippedSheets, EveryImageNameTheGameLooksUpResolves) {
    for (const std::string& name : tezmola::gameImageNames())
        EXPECT_NE(lookupSprite(name.c_str()), 0) << name;
}

TEST_F(ShippedSheets, OfferAtLeastEightBackgroundTiles) {
    int tiles = 0;
    for (const auto& entry : allRects())
        if (entry.first.rfind("bg_", 0) == 0) {
            ++tiles;
            EXPECT_NE(lookupSprite(entry.first.c_str()), 0) << entry.first;
        }
    EXPECT_GE(tiles, 8);
}

TEST_F(ShippedSheets, GlyphsHaveOneHeightThatFitsTheTopBand) {
    float width = 0.0f, height = 0.0f;
    naturalSize("conduit_065", width, height);
    EXPECT_LE(height * kLabelSize, kTopBandHeight);
    EXPECT_GE(height * kLabelSize, 0.6f * kTopBandHeight) << "labels would be hard to read";
    for (int code = 32; code <= 126; ++code) {
        const std::string name = tezmola::glyphImageName(static_cast<unsigned char>(code));
        float w = 0.0f, h = 0.0f;
        naturalSize(name.c_str(), w, h);
        EXPECT_FLOAT_EQ(h, height) << name;
        EXPECT_GT(w, 0.0f) << name;
    }
}

TEST_F(ShippedSheets, TitleScoreAndLevelLabelsFitTheBandWithoutOverlapping) {
    const float levelRight = -1.0f + labelWidth("LEVEL 88");
    const float titleHalf = labelWidth("ZORPLEX") * 0.5f;
    const float scoreLeft = 1.0f - labelWidth("88888888");
    EXPECT_LT(levelRight, -titleHalf - 0.05f);
    EXPECT_GT(scoreLeft, titleHalf + 0.05f);
    EXPECT_LT(labelWidth("TEZMOLA") * 0.5f, titleHalf + 0.1f);
}

TEST(SpriteSheetFiles, EverySvgHasItsPngOfTheSameAspectAtTwiceTheSheetResolution) {
    const std::vector<std::string> svgs = test::dataFiles("svg");
    ASSERT_FALSE(svgs.empty());
    for (const std::string& svg : svgs) {
        const std::string stem = svg.substr(0, svg.size() - 4);
        const test::SheetSvg sheet = test::readSheetSvg(test::dataDir() + "/" + svg);
        ASSERT_TRUE(sheet.ok) << svg;
        const test::Picture png = test::readPng(test::dataDir() + "/" + stem + ".png");
        ASSERT_GT(png.width, 0) << stem << ".png is missing or unreadable";
        EXPECT_TRUE(isPowerOfTwo(png.width) && isPowerOfTwo(png.height)) << stem;
        EXPECT_NEAR(sheet.width / sheet.height, double(png.width) / png.height, 1e-9) << stem;
        EXPECT_GE(png.width, 2.0 * sheet.width) << stem << " would blur in a large window";
    }
}

TEST(SpriteSheetFiles, RectanglesLieInsideTheirCanvasWithoutOverlapAndWithUniqueNames) {
    std::map<std::string, int> seen;
    for (const std::string& svg : test::dataFiles("svg")) {
        const test::SheetSvg sheet = test::readSheetSvg(test::dataDir() + "/" + svg);
        for (size_t i = 0; i < sheet.rects.size(); ++i) {
            const test::SheetRect& r = sheet.rects[i];
            ++seen[r.id];
            EXPECT_GT(r.width, 0.0) << r.id;
            EXPECT_GT(r.height, 0.0) << r.id;
            EXPECT_GE(r.x, 0.0) << r.id;
            EXPECT_GE(r.y, 0.0) << r.id;
            EXPECT_LE(r.x + r.width, sheet.width) << r.id;
            EXPECT_LE(r.y + r.height, sheet.height) << r.id;
            for (size_t j = 0; j < i; ++j) {
                const test::SheetRect& o = sheet.rects[j];
                const bool apart = r.x + r.width <= o.x || o.x + o.width <= r.x || r.y + r.height <= o.y ||
                                   o.y + o.height <= r.y;
                EXPECT_TRUE(apart) << r.id << " overlaps " << o.id;
            }
        }
    }
    for (const auto& entry : seen)
        EXPECT_EQ(entry.second, 1) << entry.first << " is defined more than once";
}

// The PNGs are committed beside their SVG sources; scripts/make-sprites.py records both checksums.
TEST(SpriteSheetFiles, PngsWereRenderedFromTheCurrentSvgs) {
    std::ifstream list(test::sourceDir() + "/tests/data/sheet_checksums.txt");
    ASSERT_TRUE(list.good());
    std::string line;
    int sheets = 0;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string stem, svgCrc, pngCrc;
        fields >> stem >> svgCrc >> pngCrc;
        char actual[16];
        std::snprintf(actual, sizeof actual, "%08x", test::fileCrc32(test::dataDir() + "/" + stem + ".svg"));
        EXPECT_EQ(svgCrc, actual) << stem << ".svg changed: run scripts/make-sprites.py";
        std::snprintf(actual, sizeof actual, "%08x", test::fileCrc32(test::dataDir() + "/" + stem + ".png"));
        EXPECT_EQ(pngCrc, actual) << stem << ".png changed without its source";
        ++sheets;
    }
    EXPECT_EQ(sheets, static_cast<int>(test::dataFiles("svg").size()));
}

// Pixels of a sprite's rectangle on its PNG.
struct SpritePixels {
    test::Picture png;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double scale = 1.0;
};

SpritePixels pixelsOf(const std::string& name) {
    static std::map<std::string, test::Picture> pictures;
    const auto rects = allRects();
    SpritePixels pixels;
    const auto found = rects.find(name);
    if (found == rects.end())
        return pixels;
    const std::string& stem = found->second.first;
    if (!pictures.count(stem))
        pictures[stem] = test::readPng(test::dataDir() + "/" + stem + ".png");
    pixels.png = pictures[stem];
    const test::SheetSvg sheet = test::readSheetSvg(test::dataDir() + "/" + stem + ".svg");
    pixels.scale = pixels.png.width / sheet.width;
    const test::SheetRect& r = found->second.second;
    pixels.x0 = static_cast<int>(std::ceil(r.x * pixels.scale));
    pixels.y0 = static_cast<int>(std::ceil(r.y * pixels.scale));
    pixels.x1 = static_cast<int>(std::floor((r.x + r.width) * pixels.scale));
    pixels.y1 = static_cast<int>(std::floor((r.y + r.height) * pixels.scale));
    return pixels;
}

TEST(SpriteSheetArt, ImagesTheGameTintsAreGreyWhereverTheyShow) {
    std::vector<std::string> tinted = {
        "ball",         "ball_nimbus_power", "ball_nimbus_fire", "ball_nimbus_ultra", "brick",
        "brick_ice1",   "brick_ice2",        "brick_ice3",       "brick_steel",       "powerup",
        "tile_pyramid", "guard_glow",        "conduit_065",      "conduit_048"};
    for (const auto& entry : allRects())
        if (entry.first.rfind("bg_", 0) == 0)
            tinted.push_back(entry.first);
    for (const std::string& name : tinted) {
        const SpritePixels p = pixelsOf(name);
        ASSERT_GT(p.png.width, 0) << name;
        int coloured = 0;
        for (int y = p.y0; y < p.y1; ++y)
            for (int x = p.x0; x < p.x1; ++x) {
                const std::uint8_t* px = p.png.at(x, y);
                if (px[3] > 64 && (std::abs(px[0] - px[1]) > 3 || std::abs(px[1] - px[2]) > 3))
                    ++coloured;
            }
        EXPECT_EQ(coloured, 0) << name << " has hue; the game tints it by multiplying";
    }
}

// Shadows draw the image at alpha 0.333 and the alpha test drops 0.25 or less, so only texels above
// three quarters opaque cast a shadow: the solid shapes must be solid.
TEST(SpriteSheetArt, SolidShapesAreOpaqueSoTheirShadowsShow) {
    const std::map<std::string, double> minimumCoverage = {
        {"brick", 0.95}, {"brick_steel", 0.95},   {"paddle", 0.8},           {"powerup", 0.75},
        {"ball", 0.72},  {"pipe_vertical", 0.99}, {"pipe_horizontal", 0.99}, {"pipe_corner", 0.99}};
    for (const auto& entry : minimumCoverage) {
        const SpritePixels p = pixelsOf(entry.first);
        ASSERT_GT(p.png.width, 0) << entry.first;
        int solid = 0, total = 0;
        for (int y = p.y0; y < p.y1; ++y)
            for (int x = p.x0; x < p.x1; ++x, ++total)
                solid += p.png.at(x, y)[3] > 191;
        EXPECT_GE(double(solid) / total, entry.second) << entry.first;
    }
}

// Background tiles are drawn 0.202 wide every 0.2 units; where neighbours overlap they must show the
// same texels, which holds when each tile repeats itself every 0.2 units.
TEST(SpriteSheetArt, BackgroundTilesRepeatEveryStepSoNeighboursMeetSeamlessly) {
    const double step = 0.2 * kSheetUnitsPerFieldUnit;
    for (const auto& entry : allRects()) {
        if (entry.first.rfind("bg_", 0) != 0)
            continue;
        const SpritePixels p = pixelsOf(entry.first);
        const int period = static_cast<int>(std::lround(step * p.scale));
        int worst = 0;
        for (int k = 0; k + period < p.x1 - p.x0; ++k)
            for (int y = p.y0; y < p.y1; ++y)
                for (int c = 0; c < 4; ++c)
                    worst = std::max(worst,
                                     std::abs(p.png.at(p.x0 + k, y)[c] - p.png.at(p.x0 + k + period, y)[c]));
        for (int k = 0; k + period < p.y1 - p.y0; ++k)
            for (int x = p.x0; x < p.x1; ++x)
                for (int c = 0; c < 4; ++c)
                    worst = std::max(worst,
                                     std::abs(p.png.at(x, p.y0 + k)[c] - p.png.at(x, p.y0 + k + period)[c]));
        EXPECT_LE(worst, 2) << entry.first;
        for (int y = p.y0; y < p.y1; ++y)
            for (int x = p.x0; x < p.x1; ++x)
                ASSERT_EQ(p.png.at(x, y)[3], 255) << entry.first << " must be opaque";
    }
}

}  // namespace
