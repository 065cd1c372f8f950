// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>
#include <sstream>

#include "game/field/brick_hit.h"
#include "game/field/guard.h"
#include "game/field/level.h"
#include "game/game.h"
#include "game/play/level_build.h"
#include "game/records/level_set.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;
using test::image;

// A level whose only colour brick stands in the given column of row 2.
std::string markedLevel(int column) {
    std::string row = "I+";
    for (int index = 1; index < 15; ++index)
        row += index == column ? "G1" : "..";
    return test::level(test::mapWith(2, row + "+I"));
}

class LevelTest : public test::GameTest {
protected:
    int occupiedInRows(int first, int last, BrickKind kind) {
        int count = 0;
        for (int row = first; row <= last; ++row)
            for (int column = 1; column <= 14; ++column)
                count += cell(row, column).kind == kind ? 1 : 0;
        return count;
    }
};

TEST_F(LevelTest, LevelsRepeatFromTheFirstAfterTheLast) {
    ASSERT_TRUE(start(markedLevel(1) + markedLevel(2) + "<!-- not a level --><other/>" + markedLevel(3)));
    EXPECT_EQ(game->levelCount, 3);
    const int expected[] = {1, 2, 3, 1, 2};
    for (int level = 1; level <= 5; ++level) {
        game->levelNumber = level;
        buildLevel(*game);
        EXPECT_EQ(cell(2, expected[level - 1]).kind, BrickKind::Green) << "level " << level;
        EXPECT_EQ(game->bricksLeft, 1);
    }
    drawn();
    EXPECT_EQ(game->hud.levelLabel.text(), "LEVEL 05");
}

TEST_F(LevelTest, MapCodesSetKindHitPointsAndImages) {
    startWith(test::mapWith(2, "I+R4R0S7R2Y3B!W~..M1G9+-I...+-+I"));
    EXPECT_EQ(cell(2, 1).hitPoints, 4);
    EXPECT_EQ(cell(2, 1).brick.sprite(), image("brick_ice3"));
    EXPECT_EQ(cell(2, 2).hitPoints, 0);
    EXPECT_EQ(cell(2, 2).brick.sprite(), image("brick"));
    EXPECT_EQ(cell(2, 3).kind, BrickKind::Steel);
    EXPECT_EQ(cell(2, 3).hitPoints, 24);
    EXPECT_EQ(cell(2, 3).shadow.sprite(), image("brick_steel"));
    // A shadow lies under every brick, its own and the one beside it that it reaches.
    EXPECT_GT(cell(2, 3).shadow.depth(), cell(2, 4).brick.depth());
    EXPECT_EQ(cell(2, 4).brick.sprite(), image("brick_ice1"));
    EXPECT_EQ(cell(2, 5).brick.sprite(), image("brick_ice2"));
    EXPECT_EQ(cell(2, 6).hitPoints, '!' - '0');  // out-of-range characters are taken as they come
    EXPECT_EQ(cell(2, 6).brick.sprite(), image("brick_ice3"));
    EXPECT_EQ(cell(2, 7).hitPoints, '~' - '0');
    EXPECT_EQ(cell(2, 8).kind, BrickKind::Empty);
    EXPECT_EQ(cell(2, 9).kind, BrickKind::Magenta);
    EXPECT_TRUE(cell(2, 9).brick.colour() == brickColour(5));
    EXPECT_EQ(cell(2, 14).kind, BrickKind::Empty);  // "+-": a cell left as it is
    EXPECT_EQ(game->bricksLeft, 8);
    EXPECT_EQ(game->background[0].sprite(), image("tile_test"));
    EXPECT_TRUE(game->background[98].colour() == (pentavel::graphics::Colour{0.5f, 0.25f, 1.0f, 1.0f}));
}

// What a level editor or importer writes, the game reads back: codes that XML must escape, a comment that
// XML forbids as it stands, a tint, and the order of the levels.
TEST_F(LevelTest, AWrittenLevelSetIsReadAsItWasWritten) {
    std::vector<LevelDraft> levels(2);
    levels[0].comment = "one -- with a \x01 control character and a byte \xff that is no UTF-8 -";
    levels[0].map[2][3] = {'W', '<'};
    levels[0].map[18][14] = {'S', '&'};
    levels[0].map[1][1] = {'R', '\x7f'};
    levels[0].map[5][5] = {'G', ' '};  // a space would be folded away on the way back
    levels[0].background = "tile_test";
    levels[0].red = 0.5f;
    levels[0].green = 0.25f;
    levels[0].blue = 0.1f;
    levels[1].map[1][1] = {'G', '2'};
    levels[1].title = "Premi\xc3\xa8re <ligne>";
    levels[1].author = "J\xc3\xbcrgen";
    levels[1].proven = true;
    ASSERT_TRUE(start(writeLevelSet(levels)));
    EXPECT_EQ(game->levelCount, 2);
    EXPECT_EQ(cell(2, 3).kind, BrickKind::White);
    EXPECT_EQ(cell(2, 3).hitPoints, '<' - '0');
    EXPECT_EQ(cell(18, 14).kind, BrickKind::Steel);
    EXPECT_EQ(cell(1, 1).kind, BrickKind::Empty);  // a code that is no printable character is left out
    EXPECT_EQ(cell(5, 5).kind, BrickKind::Empty);
    EXPECT_EQ(cell(0, 0).kind, BrickKind::Pipe);
    EXPECT_EQ(game->bricksLeft, 1);
    EXPECT_EQ(game->background[0].sprite(), image("tile_test"));
    EXPECT_TRUE(game->background[0].colour() == (pentavel::graphics::Colour{0.5f, 0.25f, 0.1f, 1.0f}));
    game->levelNumber = 2;
    buildLevel(*game);
    EXPECT_EQ(cell(1, 1).kind, BrickKind::Green);
    EXPECT_EQ(cell(1, 1).hitPoints, 2);
    // Read back as the level editor opens it, the set writes the same file again, its notes with it.
    const std::vector<LevelDraft> read = readLevelSet(game->levelDocument);
    EXPECT_EQ(writeLevelSet(read), writeLevelSet(levels));
    ASSERT_EQ(2u, read.size());
    EXPECT_TRUE(read[1] == levels[1]);
    EXPECT_EQ("", read[0].title + read[0].author);
    EXPECT_FALSE(read[0].proven);
    LevelDraft other = levels[1];
    other.author = "J";
    EXPECT_TRUE(other != levels[1]);
    other = levels[1];
    other.proven = false;
    EXPECT_TRUE(other != levels[1]);
    other = levels[1];
    other.title.clear();
    EXPECT_TRUE(other != levels[1]);
}

TEST_F(LevelTest, WhiteSpaceAndLineBreaksDoNotChangeTheMap) {
    ASSERT_TRUE(start(test::level({"R1 B2\n\tY3", "G4"}) + test::level({"R1B2Y3G4"})));
    const BrickKind first = cell(0, 3).kind;
    game->levelNumber = 2;
    buildLevel(*game);
    EXPECT_EQ(first, BrickKind::Green);
    EXPECT_EQ(cell(0, 3).kind, BrickKind::Green);
    EXPECT_EQ(cell(0, 3).hitPoints, 4);
}

TEST_F(LevelTest, BricksMayReplaceFramePipesUntilTheNextBuild) {
    startWith(test::mapWith(0, "R1------------------------------"));
    EXPECT_EQ(cell(0, 0).kind, BrickKind::Red);
    EXPECT_EQ(cell(0, 1).kind, BrickKind::Pipe);
    EXPECT_EQ(cell(0, 1).brick.sprite(), image("pipe_horizontal"));
    EXPECT_EQ(cell(5, 15).brick.sprite(), image("pipe_vertical"));
    EXPECT_EQ(cell(0, 15).brick.sprite(), image("pipe_corner"));
    EXPECT_EQ(cell(0, 1).brick.depth(), -0.1f);
    // Past the grid's last column lies the next row's first pipe in memory: the grid answers empty there.
    EXPECT_EQ(game->grid.kindAt(5, kGridColumns), BrickKind::Empty);
    EXPECT_EQ(game->grid.kindAt(-1, 0), BrickKind::Empty);
}

TEST_F(LevelTest, ShortMapsLeaveTheRestEmptyAndRowsPastEighteenAreNeverRead) {
    std::vector<std::string> rows = test::mapWith(1, "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I");
    rows.resize(2);
    ASSERT_TRUE(start(test::level(rows) + test::level(std::vector<std::string>(21, std::string(32, 'R')))));
    EXPECT_EQ(occupiedInRows(2, 24, BrickKind::Red), 0);
    game->levelNumber = 2;
    buildLevel(*game);
    EXPECT_EQ(occupiedInRows(1, 18, BrickKind::Red), 18 * 14);
    EXPECT_EQ(occupiedInRows(19, 24, BrickKind::Red), 0);
}

TEST_F(LevelTest, EmptyOrTruncatedMapsEndWhereTheTextEnds) {
    ASSERT_TRUE(
        start("<level><tezm/><background sprite=\"tile_test\" red=\"1\" green=\"1\" blue=\"1\"/></level>"
              "<level><tezm>R2R</tezm><background sprite=\"tile_test\" red=\"1\" green=\"1\" "
              "blue=\"1\"/></level>"));
    EXPECT_EQ(game->bricksLeft, 0);
    game->levelNumber = 2;
    buildLevel(*game);
    EXPECT_EQ(game->bricksLeft, 1);
    EXPECT_EQ(cell(0, 1).kind, BrickKind::Pipe);
}

TEST_F(LevelTest, LevelFileWithoutLevelsPlaysTheDefaultLayout) {
    ASSERT_TRUE(start("<!-- no levels -->\n<other/>"));
    EXPECT_EQ(game->levelCount, 0);
    EXPECT_EQ(cell(3, 1).kind, BrickKind::White);
    EXPECT_EQ(cell(8, 14).kind, BrickKind::Red);
    EXPECT_EQ(game->bricksLeft, 84);
    step(3);
    EXPECT_EQ(game->levelNumber, 1u);
    EXPECT_EQ(game->balls.size(), 1u);  // served once the list was found empty
    EXPECT_NE(log().find("Cannot load in level 1"), std::string::npos);
}

TEST_F(LevelTest, LevelsWithAnIncompleteBackgroundOrWithoutAMapAreMalformed) {
    ASSERT_TRUE(start(test::level(test::mapWith(4, "I+R1..........................+I"),
                                  "<background sprite=\"tile_test\" red=\"1\" green=\"1\"/>") +
                      "<level><background sprite=\"tile_test\" red=\"1\" green=\"1\" blue=\"1\"/></level>"));
    EXPECT_EQ(cell(4, 1).kind, BrickKind::Red);  // its bricks are kept, but no ball is served
    EXPECT_EQ(game->bricksLeft, 1);
    EXPECT_TRUE(game->balls.empty());
    EXPECT_EQ(game->background[0].sprite(), 0);
    game->levelNumber = 2;
    buildLevel(*game);
    EXPECT_EQ(occupiedInRows(1, 24, BrickKind::White), 0);  // only the frame
    EXPECT_EQ(cell(10, 0).kind, BrickKind::Pipe);
    EXPECT_NE(log().find("Level 1 is malformed"), std::string::npos);
    EXPECT_NE(log().find("Level 2 is malformed"), std::string::npos);
}

TEST_F(LevelTest, BackgroundTilesCoverTheWholeFieldEdgeToEdge) {
    startWith(test::mapWith(4, "I+R1..........................+I"));
    // Each point of the field lies on a tile, and no tile lies wholly outside it.
    for (float x = -1.0f; x <= 1.0f; x += 0.05f) {
        for (float y = -0.75f; y <= 0.75f; y += 0.05f) {
            const bool covered =
                std::any_of(game->background.begin(), game->background.end(), [&](const auto& tile) {
                    return std::fabs(tile.x() - x) <= tile.width() * 0.5f &&
                           std::fabs(tile.y() - y) <= tile.height() * 0.5f;
                });
            EXPECT_TRUE(covered) << x << ", " << y;
        }
    }
    for (const auto& tile : game->background) {
        EXPECT_LT(tile.x() - tile.width() * 0.5f, 1.0f);
        EXPECT_LT(tile.y() - tile.height() * 0.5f, 0.75f);
    }
}

TEST_F(LevelTest, FailedBuildsKeepTheGuardRowUnderItsGlow) {
    ASSERT_TRUE(start(markedLevel(1) + "<level/>" +
                      test::level(test::mapWith(4, "I+R1..........................+I"), "")));
    raiseGuard(game->guard, game->grid);
    for (std::uint32_t level : {2u, 3u}) {
        game->levelNumber = level;
        buildLevel(*game);
        EXPECT_EQ(game->guard.guardCount, 1);
        EXPECT_TRUE(game->guard.glow.visible());
        EXPECT_EQ(occupiedInRows(kGuardRow, kGuardRow, BrickKind::Guard), 14) << "level " << level;
    }
    EXPECT_NE(log().find("Level 3 is malformed"), std::string::npos);
    // Without a guard, a failed build lays no guard row.
    useGuardHit(game->guard, game->grid);
    game->levelNumber = 2;
    buildLevel(*game);
    EXPECT_EQ(occupiedInRows(kGuardRow, kGuardRow, BrickKind::Guard), 0);
}

TEST_F(LevelTest, MissingOrMalformedLevelFileStopsInitialisation) {
    EXPECT_FALSE(start("<level><tezm>R1</tezm>"));
    const std::string text = log();
    const std::size_t cannotRead = text.find("Cannot read level file!");
    ASSERT_NE(cannotRead, std::string::npos);
    EXPECT_NE(text.find("Cannot initialise the main game structure!", cannotRead), std::string::npos);
    // The game that cannot start ends with 1 and never enters the main loop; one that can ends with 0.
    int loops = 0;
    EXPECT_EQ(1, tezmola::playGame(tezmola::GameOptions(), [&] { ++loops; }));
    EXPECT_EQ(0, loops);
    folder.write("level.xml", markedLevel(1));
    EXPECT_EQ(0, tezmola::playGame(tezmola::GameOptions(), [&] { ++loops; }));
    EXPECT_EQ(1, loops);
}

// What a player sees of the grid, cell by cell, and of the background.
std::string shown(const BrickGrid& grid, const std::vector<pentavel::graphics::Sprite>& background) {
    std::ostringstream out;
    for (const auto& cells : grid.cells)
        for (const BrickCell& cell : cells) {
            const pentavel::graphics::Colour& tint = cell.brick.colour();
            out << static_cast<int>(cell.kind) << cell.brick.visible() << cell.shadow.visible();
            if (cell.kind != BrickKind::Empty)
                out << ":" << cell.hitPoints << "," << cell.brick.sprite() << "," << cell.shadow.sprite()
                    << "," << tint.red << tint.green << tint.blue << "," << cell.brick.x() << ","
                    << cell.shadow.y() << "," << cell.brick.depth();
            out << " ";
        }
    out << background[0].sprite() << " " << background[98].colour().red;
    return out.str();
}

// A build lays only what differs from the grid, over knocked bricks, a frame brick home from a knock and
// levels changed in the file since: what it shows is what a whole build shows on a fresh grid.
TEST_F(LevelTest, EachBuildShowsWhatAWholeBuildLaysAfresh) {
    const std::string frame = test::level(test::mapWith(0, "R3S1" + std::string(26, '-') + "Y2"));
    const auto ice = [](const char* map, const char* red) {
        return test::level(test::mapWith(4, map), std::string("<background sprite=\"wide_test\" ") + red +
                                                      " green=\"1\" blue=\"0\"/>");
    };
    const char* row = "I+R2B4S1........M1..........+I";
    ASSERT_TRUE(start(frame + ice(row, "red=\"\"") + "<level><tezm>R1</tezm></level>"));
    pentavel::Signal<float> animation;
    pentavel::ScopedTracker tracker;
    BrickGrid whole;
    std::vector<pentavel::graphics::Sprite> tiles;
    setUpGrid(whole, animation, tracker);
    makeBackground(tiles);
    const auto build = [&](std::uint32_t number) {
        game->levelNumber = number;
        const LevelBuild built = buildLevel(*game);
        const LaidLevel laid =
            layLevel(whole, tiles, findLevel(game->levelDocument, game->levelCount, number));
        EXPECT_EQ(built, laid.outcome) << number;
        EXPECT_EQ(game->bricksLeft, laid.bricks) << number;
        EXPECT_EQ(shown(game->grid, game->background), shown(whole, tiles)) << number;
    };
    const auto replace = [&](const std::string& file) {
        game->levelDocument.Clear();
        game->levelDocument.Parse(file.c_str());
        game->levelCount = countLevels(game->levelDocument);
    };
    Ball ball = makeBall(0.0f, 0.0f, 0.0f, 1.0f);
    build(1);
    hitBrick(game->grid, ball, 0, 0, 1, 0, *game);
    step(20);  // home again, no longer raised
    build(2);
    // The frame is whole again: white pipes, raised.
    for (int row = 0; row < kGridRows; ++row)
        for (int column : {0, 7, 15}) {
            if (row != 0 && column == 7)
                continue;
            const BrickCell& pipe = cell(row, column);
            EXPECT_EQ(pipe.brick.sprite(), image(row != 0      ? "pipe_vertical"
                                                 : column == 7 ? "pipe_horizontal"
                                                               : "pipe_corner"));
            EXPECT_TRUE(pipe.brick.colour() == brickColour(8));
            EXPECT_EQ(pipe.brick.depth(), -0.1f) << row << " " << column;
        }
    build(1);
    hitBrick(game->grid, ball, 4, 2, 5, 2, *game);
    hitBrick(game->grid, ball, 0, 15, 1, 15, *game);
    step();  // on their way home
    build(2);
    build(3);
    // Another map, then no red after a red of nothing, then another red.
    for (const char* red : {"red=\"\"", "", "red=\"0.5\"", "red=\"1\""}) {
        replace(frame + ice("I+R2B4", red));
        build(2);
    }
    replace(ice(row, "red=\"1\"") + frame);
    build(1);
    // Pieces run together would read the same: the map's text and the background's name, the name and
    // the red.
    replace("<level><tezm>R1+.R1</tezm><background sprite=\"b\" red=\"1\" green=\"1\" blue=\"1\"/></level>");
    build(1);
    replace("<level><tezm>R1</tezm><background sprite=\".R1+b\" red=\"1\" green=\"1\" blue=\"1\"/></level>");
    build(1);
    replace(
        "<level><tezm>R1</tezm><background sprite=\"tile_test+\" red=\"1\" green=\"1\" blue=\"1\"/></level>");
    build(1);
    replace(
        "<level><tezm>R1</tezm><background sprite=\"tile_test\" red=\"+1\" green=\"1\" blue=\"1\"/></level>");
    build(1);
    replace("<!-- none -->");
    build(1);
    replace("<level><background sprite=\"tile_test\" red=\"1\" green=\"1\" blue=\"1\"/></level>");
    build(1);
    std::string many;
    for (int level = 0; level < 1030; ++level)
        many += level % 2 == 0 ? ice(row, "red=\"0.5\"") : frame;
    replace(many);
    build(1030);
    build(1029);
    game->grid.images = BrickImages();  // as a grid of sheets without its images: the whole build
    build(1);
}

TEST_F(LevelTest, FortyLevelsOfSteelAreSkippedOneAStepWithoutHarm) {
    std::string file;
    for (int level = 0; level < 40; ++level)
        file += test::level(test::mapWith(3, "I+S1S1S1S1S1S1S1S1S1S1S1S1S1S1+I"));
    ASSERT_TRUE(start(file));
    step(45);
    EXPECT_EQ(game->levelNumber, 46u);
    EXPECT_EQ(game->balls.size(), 1u);
    EXPECT_EQ(game->spareBalls.lives, 4u);
}

}  // namespace
