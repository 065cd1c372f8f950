// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped level file: every level is a readable picture in the brick-map format, builds in the real
// game without an error, uses known codes and an existing background, and together the levels use every
// colour and every background and climb from one-hit bricks to ice and steel.

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include "data/shipped_data.h"
#include "engine/file/log.h"
#include "engine/graphics/sprite.h"
#include "game/field/level.h"
#include "game/play/game_step.h"
#include "game/play/game_structure.h"
#include "game/play/level_build.h"
#include "support/test_support.h"

namespace {

struct Level {
    std::vector<std::vector<std::string>> rows;  // codes by map line
    std::string background;
    double red = -1, green = -1, blue = -1;
};

// The maps are read line by line from the file itself, since the XML reader folds white space.
std::vector<std::vector<std::string>> readMapLines() {
    std::vector<std::vector<std::string>> maps;
    const std::string text = test::readWholeFile(test::dataDir() + "/level.xml");
    for (size_t at = text.find("<tezm>"); at != std::string::npos; at = text.find("<tezm>", at)) {
        at += 6;
        const size_t end = text.find("</tezm>", at);
        std::istringstream lines(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        std::vector<std::string> rows;
        std::string line;
        while (std::getline(lines, line))
            if (line.find_first_not_of(" \t\r") != std::string::npos)
                rows.push_back(line);
        maps.push_back(rows);
    }
    return maps;
}

std::vector<Level> readLevels() {
    std::vector<Level> levels;
    TiXmlDocument document;
    if (!document.LoadFile((test::dataDir() + "/level.xml").c_str()))
        return levels;
    const std::vector<std::vector<std::string>> maps = readMapLines();
    for (const TiXmlElement* element = document.FirstChildElement("level"); element;
         element = element->NextSiblingElement("level")) {
        Level level;
        if (levels.size() < maps.size())
            for (const std::string& line : maps[levels.size()]) {
                std::istringstream words(line);
                std::vector<std::string> codes;
                std::string code;
                while (words >> code)
                    codes.push_back(code);
                level.rows.push_back(codes);
            }
        if (const TiXmlElement* background = element->FirstChildElement("background")) {
            const char* sprite = background->Attribute("sprite");
            level.background = sprite ? sprite : "";
            background->QueryDoubleAttribute("red", &level.red);
            background->QueryDoubleAttribute("green", &level.green);
            background->QueryDoubleAttribute("blue", &level.blue);
        }
        levels.push_back(level);
    }
    return levels;
}

bool isColour(char c) {
    return std::string("RBYGMW").find(c) != std::string::npos;
}
bool isFrameCell(size_t row, size_t column) {
    return row == 0 || column == 0 || column == 15;
}

TEST(LevelFile, HoldsAtLeastThirtyLevelsDrawnAsPicturesOfNineteenRowsOfSixteenCodes) {
    const std::vector<Level> levels = readLevels();
    ASSERT_GE(levels.size(), 30u);
    for (size_t n = 0; n < levels.size(); ++n) {
        const Level& level = levels[n];
        ASSERT_EQ(level.rows.size(), 19u) << "level " << n + 1;
        for (size_t r = 0; r < level.rows.size(); ++r) {
            ASSERT_EQ(level.rows[r].size(), 16u) << "level " << n + 1 << " row " << r;
            for (size_t c = 0; c < 16; ++c) {
                const std::string& code = level.rows[r][c];
                ASSERT_EQ(code.size(), 2u) << "level " << n + 1 << " row " << r;
                const char first = code[0], second = code[1];
                if (isFrameCell(r, c)) {
                    const char* expected = r == 0 ? ((c == 0 || c == 15) ? "+" : "-") : "I";
                    EXPECT_EQ(std::string(1, first), expected)
                        << "level " << n + 1 << " frame cell " << r << "," << c;
                } else if (isColour(first)) {
                    EXPECT_TRUE(second >= '1' && second <= '9') << "level " << n + 1 << ": " << code;
                } else {
                    EXPECT_TRUE(code == ".." || code == "SS") << "level " << n + 1 << ": " << code;
                }
            }
        }
    }
}

TEST(LevelFile, BackgroundsExistAndTintsAreInRange) {
    test::useShippedArchive();
    for (const Level& level : readLevels()) {
        EXPECT_NE(pentavel::graphics::lookupSprite(level.background.c_str()), 0) << level.background;
        EXPECT_EQ(level.background.rfind("bg_", 0), 0u) << level.background;
        for (double c : {level.red, level.green, level.blue}) {
            EXPECT_GE(c, 0.0);
            EXPECT_LE(c, 1.0);
        }
    }
}

TEST(LevelFile, UsesEveryColourAndEveryBackgroundTile) {
    std::set<char> colours;
    std::set<std::string> backgrounds;
    for (const Level& level : readLevels()) {
        backgrounds.insert(level.background);
        for (const auto& row : level.rows)
            for (const std::string& code : row)
                if (isColour(code[0]))
                    colours.insert(code[0]);
    }
    EXPECT_EQ(colours.size(), 6u);
    const test::SheetSvg sheet = test::readSheetSvg(test::dataDir() + "/backgrounds.svg");
    for (const test::SheetRect& tile : sheet.rects)
        EXPECT_TRUE(backgrounds.count(tile.id)) << tile.id << " is never used";
}

// The first levels teach with one-hit bricks; ice and steel come later, and the hardest ice last.
TEST(LevelFile, DifficultyClimbsFromOneHitBricksToIceAndSteel) {
    const std::vector<Level> levels = readLevels();
    ASSERT_GE(levels.size(), 30u);
    int firstIce = 0, firstSteel = 0, firstHeavyIce = 0;
    for (size_t n = 0; n < levels.size(); ++n)
        for (const auto& row : levels[n].rows)
            for (const std::string& code : row) {
                const int number = static_cast<int>(n) + 1;
                if (isColour(code[0]) && code[1] > '1' && !firstIce)
                    firstIce = number;
                if (isColour(code[0]) && code[1] >= '6' && !firstHeavyIce)
                    firstHeavyIce = number;
                if (code[0] == 'S' && !firstSteel)
                    firstSteel = number;
            }
    EXPECT_GE(firstIce, 5);
    EXPECT_GT(firstSteel, firstIce);
    EXPECT_GT(firstHeavyIce, firstSteel);
}

// Every level built by the game itself: no error in the log, bricks to clear, the frame intact and the
// background tiles showing the level's image.
TEST(LevelFile, EveryLevelBuildsInTheGame) {
    const std::string writable = test::useShippedArchive();
    pentavel::openLog();
    auto game = std::make_unique<tezmola::GameStructure>();
    ASSERT_TRUE(tezmola::initialiseGameStructure(*game));
    const std::vector<Level> levels = readLevels();
    ASSERT_EQ(game->levelCount, static_cast<int>(levels.size()));
    for (size_t n = 0; n < levels.size(); ++n) {
        game->levelNumber = static_cast<std::uint32_t>(n + 1);
        tezmola::buildLevel(*game);
        EXPECT_GT(game->bricksLeft, 0) << "level " << n + 1;
        for (int column = 0; column < 16; ++column)
            EXPECT_EQ(game->grid.at(0, column).kind, tezmola::BrickKind::Pipe) << "level " << n + 1;
        for (int row = 1; row < 25; ++row) {
            EXPECT_EQ(game->grid.at(row, 0).kind, tezmola::BrickKind::Pipe) << "level " << n + 1;
            EXPECT_EQ(game->grid.at(row, 15).kind, tezmola::BrickKind::Pipe) << "level " << n + 1;
        }
        EXPECT_EQ(game->background.front().sprite(),
                  pentavel::graphics::lookupSprite(levels[n].background.c_str()))
            << "level " << n + 1;
    }
    game.reset();
    pentavel::closeLog();
    const std::string log = test::readWholeFile(writable + "/log.html");
    EXPECT_EQ(log.find("malformed"), std::string::npos);
    EXPECT_EQ(log.find("Cannot"), std::string::npos);
}

}  // namespace
