// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A player made of code: it drives the real simulation through the game's own signals, as a hand on the
// mouse and the game's clock would, to prove that a level can be cleared.

#include <cstdint>
#include <vector>

namespace tezmola {

struct PlayField;
struct Ball;
struct BrickGrid;
struct Paddle;
struct PowerUp;

class Autopilot {
public:
    // Looks at the field as a player does: the bricks (and how many are left), the paddle, the balls and
    // the falling capsules.
    Autopilot(const BrickGrid& grid, const std::int32_t& bricksLeft, const Paddle& paddle,
              const std::vector<Ball>& balls, const std::vector<PowerUp>& powerUps)
        : grid_(grid), bricksLeft_(bricksLeft), paddle_(paddle), balls_(balls), powerUps_(powerUps) {}

    // One decision and one 5 ms simulation step: launch a ball that rests on the paddle, move the
    // pointer so that the paddle meets the next ball coming down (aiming the bounce at a brick that is
    // left, or fetching a capsule when there is time), then emit updateSignal once.
    void step();
    // The decision of a step without the step: whether to launch, and where the pointer goes.
    bool launches() const { return anyBallStuck(); }
    float pointerX() const { return chooseX(); }

private:
    bool anyBallStuck() const;
    float impactY() const;
    bool nextArrival(const Ball*& next, float& when, float& where) const;
    bool target(float fromX, float& tx, float& ty) const;
    float chooseX() const;
    float catchCapsule(float ballArrives, float x) const;

    const BrickGrid& grid_;
    const std::int32_t& bricksLeft_;
    const Paddle& paddle_;
    const std::vector<Ball>& balls_;
    const std::vector<PowerUp>& powerUps_;
    // No colour brick stood below this row when the autopilot last looked, with bricksSeen_ left. Play
    // only takes bricks away; a level build that lays them again raises the count.
    mutable int lowestRow_ = -1;
    mutable std::int32_t bricksSeen_ = 0;
};

// How a level went under the autopilot.
struct Playthrough {
    bool cleared = false;
    float seconds = 0.0f;   // simulated
    int ballsLost = 0;      // balls that fell past the loss line while the level lasted
    int bricksLeft = 0;     // colour bricks still standing at the end
    bool gameOver = false;  // every spare ball was lost
};

// The autopilot's play of the level just built, from its fresh serve until it is cleared (the game builds
// the next one), the game is over, or maxSeconds of simulated play have passed; a step at a time, so that
// the play can be shown.
class LevelPlay {
public:
    LevelPlay(PlayField& field, float maxSeconds);
    // One 5 ms step; false (nothing done) once the play has finished.
    bool step();
    bool finished() const;
    const Playthrough& result() const { return result_; }

private:
    void update();

    PlayField& field_;
    Autopilot player_;
    std::uint32_t level_;
    long maxSteps_;
    long steps_ = 0;
    Playthrough result_;
};

// Plays the level just built to the end, as LevelPlay does.
Playthrough playLevel(PlayField& field, float maxSeconds);

}  // namespace tezmola
