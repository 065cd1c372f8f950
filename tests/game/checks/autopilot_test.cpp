// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <vector>

#include "engine/core/input.h"
#include "game/checks/autopilot.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;

std::vector<float> pointerX;
void recordPointer(float x, float) {
    pointerX.push_back(x);
}

class AutopilotAimTest : public test::GameTest {};

// The aim at the lowest brick holds from the autopilot's very first look at a freshly built level: the
// pointer does not jump once the search has warmed up.
TEST_F(AutopilotAimTest, TheFirstLookAtALevelAimsAsTheNextOnes) {
    std::vector<std::string> rows = test::mapWith(10, "I+R1" + std::string(26, '.') + "+I");
    startWith(rows);
    onlyBall(0.3f, game->paddle.y + 0.2f, 0.05f, -1.0f);
    pointerX.clear();
    pentavel::Connection* listening = pentavel::mouseMotionSignal().connect(&recordPointer);
    Autopilot player(game->grid, game->bricksLeft, game->paddle, game->balls, game->powerUps);
    player.step();
    player.step();
    pentavel::disconnect(listening);
    ASSERT_EQ(pointerX.size(), 2u);
    EXPECT_NE(pointerX[0], 0.3f + 0.05f * 0.2f);  // aimed, not just under the ball
    EXPECT_NEAR(pointerX[0], pointerX[1], 0.01f);
}

}  // namespace
