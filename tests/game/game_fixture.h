// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A GameStructure over a level file written by the test, with a small sprite sheet that names every
// image the game uses, and the run-time log in the test's folder.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/core/input.h"
#include "engine/core/timer.h"
#include "engine/graphics/display.h"
#include "game/field/ball.h"
#include "game/field/collisions.h"
#include "game/play/game_step.h"
#include "game/play/game_structure.h"
#include "game/play/motion_blend.h"
#include "game_sheet.h"
#include "support/mounted_folder.h"

namespace test {

// One "level" element: the map rows and a background.
inline std::string level(const std::vector<std::string>& rows,
                         const std::string& background =
                             "<background sprite=\"tile_test\" red=\"0.5\" "
                             "green=\"0.25\" blue=\"1\"/>") {
    std::string map;
    for (const std::string& row : rows)
        map += row + "\n";
    return "<level><tezm>\n" + map + "</tezm>" + background + "</level>\n";
}

// Rows of the frame and empty cells, with the given row replaced (row numbers from 0).
inline std::vector<std::string> mapWith(int row, const std::string& codes) {
    std::vector<std::string> rows(19, "I+" + std::string(28, '.') + "+I");
    rows[0] = std::string(32, '-');
    rows[row] = codes;
    return rows;
}

class GameTest : public ::testing::Test {
protected:
    // The sheet is scanned in a folder of its own, before the test's folder is mounted.
    static void SetUpTestSuite() { scanGameSheet(); }

    // Writes level.xml, opens the log in the test's folder and initialises a GameStructure.
    bool start(const std::string& levelFile) {
        folder.write("level.xml", levelFile);
        pentavel::openLog();
        game = std::make_unique<tezmola::GameStructure>();
        return tezmola::initialiseGameStructure(*game);
    }
    void startWith(const std::vector<std::string>& rows) { ASSERT_TRUE(start(level(rows))); }

    std::string log() { return folder.logText(); }
    void step(int count = 1) {
        for (int index = 0; index < count; ++index)
            pentavel::updateSignal().emit(pentavel::kStepSeconds);
    }
    void press(int key) { pentavel::keyDownSignal().emit(key); }
    // What a frame drawn now shows: the moving things' sprites and the labels, as the game places them.
    void drawn() {
        tezmola::MotionBlend().place(*game, 1.0f);
        tezmola::showFigures(game->hud, tezmola::figuresOf(*game, *game));
    }
    // Replaces every ball by one free ball.
    tezmola::Ball& onlyBall(float x, float y, float vx, float vy,
                            tezmola::NimbusKind kind = tezmola::NimbusKind::None) {
        game->balls.clear();
        game->balls.push_back(tezmola::makeBall(x, y, vx, vy, kind));
        return game->balls.front();
    }
    tezmola::BrickCell& cell(int row, int column) { return game->grid.at(row, column); }

    MountedFolder folder;
    std::unique_ptr<tezmola::GameStructure> game;  // destroyed before the folder is unmounted
};

inline pentavel::graphics::SpriteId image(const char* name) {
    return pentavel::graphics::lookupSprite(name);
}

}  // namespace test
