// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture between two steps: the steps move no sprite of a ball, a capsule, the paddle or the guard's
// glow; they are placed here once a frame, each at the blend of where it stood before the last step and
// where it stands after it, by how far the clock has run into the next step, so that it travels the same
// distance in every frame whatever the display's rate. A knocked brick's sprites are the grid's, which
// each step moves: they are blended for the draw alone and put back after it.

#include <cstddef>
#include <utility>
#include <vector>

#include "engine/graphics/sprite.h"

namespace tezmola {

struct PlayField;
struct BrickGrid;

class MotionBlend {
public:
    // Where a thing stood.
    struct Spot {
        float x = 0.0f;
        float y = 0.0f;
        float angle = 0.0f;  // a ball's nimbus
        float scale = 0.0f;
    };
    // Before the last due step of a frame: where the balls, the paddle, the capsules and the knocked bricks
    // stand.
    void takeBefore(const PlayField& field);
    // Just before the draw: every such thing that moved since takeBefore is shown at share of the way (0:
    // where it stood, 1: where it stands). A thing that jumped (a serve, a level laid, one that came or
    // went), and everything when no look was taken or at a share of 1, is shown where it stands.
    void place(PlayField& field, float share);
    // Just after the draw: the knocked bricks that place moved are back where the steps put them.
    void restore();

private:
    struct Moved {
        pentavel::graphics::Sprite* sprite;
        float x;
        float y;
        float rotation;
        float width;
        float height;
    };
    void keep(pentavel::graphics::Sprite& sprite);
    void placeKnockedBricks(BrickGrid& grid, float share);

    bool taken_ = false;
    std::vector<Spot> balls_;
    std::vector<Spot> capsules_;
    Spot paddle_;
    std::vector<std::pair<std::size_t, Spot>> cells_;  // the knocked ones, by index in the grid
    std::vector<Moved> moved_;
};

// The steps due on the clock, emitted on updateSignal as gameTick emits them (none while paused), with where
// the moving things stood taken before the last.
void runDueSteps(MotionBlend& blend, const PlayField& field, bool paused);

}  // namespace tezmola
