// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/editor/document/level_edits.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "engine/file/xml_document.h"
#include "game/field/level.h"
#include "support/test_support.h"

namespace {

using namespace tezmola;
using editor::Brush;
using editor::LevelSetEdits;

std::vector<LevelDraft> threeLevels() {
    std::vector<LevelDraft> levels(3);
    for (std::size_t index = 0; index < levels.size(); ++index)
        levels[index].comment = "level " + std::to_string(index + 1);
    return levels;
}

// The grid and background the game lays from each level of a level file, as a comparable text.
std::string laidByTheGame(const std::string& levelFile) {
    TiXmlDocument document;
    EXPECT_TRUE(pentavel::file::parseXmlDocument(document, levelFile));
    BrickGrid grid;
    std::vector<pentavel::graphics::Sprite> background;
    makeBackground(background);
    std::string laid;
    for (const TiXmlElement* level = document.FirstChildElement("level"); level != nullptr;
         level = level->NextSiblingElement("level")) {
        layLevel(grid, background, level);
        for (const auto& row : grid.cells)
            for (const BrickCell& cell : row)
                laid +=
                    std::to_string(static_cast<int>(cell.kind)) + ":" + std::to_string(cell.hitPoints) + " ";
        const LevelBackground tint = readLevelBackground(level);
        laid += std::string(tint.sprite) + " " + std::to_string(static_cast<float>(tint.red)) + " " +
                std::to_string(static_cast<float>(tint.green)) + " " +
                std::to_string(static_cast<float>(tint.blue)) + "\n";
    }
    return laid;
}

TEST(LevelSetEdits, TheShippedSetOpenedAndSavedGivesTheSameLevels) {
    const std::string shipped = test::readWholeFile(TEZMOLA_DATA_DIR "/level.xml");
    TiXmlDocument document;
    ASSERT_TRUE(pentavel::file::parseXmlDocument(document, shipped));
    LevelSetEdits edits(readLevelSet(document));
    EXPECT_EQ(edits.count(), 32u);
    EXPECT_FALSE(edits.modified());
    EXPECT_EQ(laidByTheGame(writeLevelSet(edits.levels())), laidByTheGame(shipped));
}

TEST(LevelSetEdits, AStrokeIsOneChangeAndTheFrameIsNotPainted) {
    LevelSetEdits edits(threeLevels());
    const CellCode blue3 = editor::brushCode(Brush{BrickKind::Blue, 3});
    edits.beginStroke();
    EXPECT_TRUE(edits.paint(1, 1, blue3));
    EXPECT_TRUE(edits.paint(18, 14, blue3));
    EXPECT_FALSE(edits.paint(0, 5, blue3));   // the top pipes
    EXPECT_FALSE(edits.paint(5, 15, blue3));  // the right-hand pipes
    EXPECT_FALSE(edits.paint(19, 5, blue3));  // below the map
    edits.endStroke();
    EXPECT_EQ(edits.undoSteps(), 1u);
    EXPECT_EQ(edits.level().map[18][14], (CellCode{'B', '3'}));
    EXPECT_EQ(edits.level().map[0][5], (CellCode{'-', '-'}));
    EXPECT_TRUE(edits.modified());
    ASSERT_TRUE(edits.undo());
    EXPECT_EQ(edits.level(), threeLevels()[0]);
    EXPECT_FALSE(edits.modified());
    EXPECT_EQ(editor::brushCode(Brush{BrickKind::Steel, 7}), (CellCode{'S', 'S'}));
    EXPECT_EQ(editor::brushCode(Brush{BrickKind::Green, 12}), (CellCode{'G', '9'}));
}

// Every kind of change is taken back in reverse order and made again in order, each showing its level.
TEST(LevelSetEdits, EveryChangeUndoesAndRedoes) {
    const std::vector<LevelDraft> original = threeLevels();
    LevelSetEdits edits(original);
    edits.goTo(1);
    edits.paint(4, 4, CellCode{'R', '1'});
    edits.setBackground("bg_stars");
    edits.setTint(0.5f, 2.0f, -1.0f);
    edits.duplicateLevel();
    edits.insertLevel();
    EXPECT_TRUE(edits.moveLevel(-1));
    edits.goTo(0);
    EXPECT_TRUE(edits.deleteLevel());
    EXPECT_FALSE(edits.moveLevel(-1));
    const std::vector<LevelDraft> edited = edits.levels();
    ASSERT_EQ(edited.size(), 4u);
    EXPECT_EQ(edited[0].comment, "level 2");
    EXPECT_EQ(edited[0].background, "bg_stars");
    EXPECT_EQ(edited[0].green, 1.0f);
    EXPECT_EQ(edited[0].blue, 0.0f);
    EXPECT_EQ(edited[1], LevelDraft());
    EXPECT_EQ(edited[2], edited[0]);
    EXPECT_EQ(edited[3].comment, "level 3");

    int undone = 0;
    while (edits.undo())
        ++undone;
    EXPECT_EQ(undone, 7);
    EXPECT_EQ(edits.levels(), original);
    EXPECT_EQ(edits.current(), 1u);
    EXPECT_FALSE(edits.modified());
    while (edits.redo())
        ;
    EXPECT_EQ(edits.levels(), edited);
    EXPECT_EQ(edits.current(), 0u);
    edits.markSaved();
    EXPECT_FALSE(edits.modified());
    edits.paint(2, 2, CellCode{'G', '1'});
    EXPECT_TRUE(edits.modified());
    edits.undo();
    EXPECT_FALSE(edits.modified());

    // A level moves on past the next one, but not past the last; a new edit drops what was taken back.
    edits.goTo(2);
    EXPECT_TRUE(edits.moveLevel(1));
    EXPECT_EQ(edits.current(), 3u);
    EXPECT_EQ(edits.levels()[3], edited[2]);
    EXPECT_EQ(edits.levels()[2], edited[3]);
    EXPECT_FALSE(edits.moveLevel(1));
    EXPECT_TRUE(edits.undo());
    EXPECT_EQ(edits.levels(), edited);
    EXPECT_EQ(edits.current(), 2u);
    edits.paint(3, 3, CellCode{'Y', '1'});
    EXPECT_FALSE(edits.redo());
    EXPECT_EQ(edits.levels()[3], edited[3]);
}

TEST(LevelSetEdits, TheOldestChangesBeyondTheLimitAreForgotten) {
    LevelSetEdits edits(std::vector<LevelDraft>{});
    ASSERT_EQ(edits.count(), 1u);  // a set keeps at least one level
    EXPECT_FALSE(edits.deleteLevel());
    const int changes = static_cast<int>(editor::kUndoSteps) + 44;
    const CellCode codes[] = {{'R', '1'}, {'Y', '1'}};
    for (int change = 0; change < changes; ++change)
        edits.paint(1, 1, codes[change % 2]);
    int undone = 0;
    while (edits.undo())
        ++undone;
    EXPECT_EQ(undone, static_cast<int>(editor::kUndoSteps));
    EXPECT_EQ(edits.level().map[1][1], codes[43 % 2]);  // as the 44th change left it
    EXPECT_TRUE(edits.modified());                      // what was opened is out of reach
}

}  // namespace
