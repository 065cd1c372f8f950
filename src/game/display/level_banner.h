// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The banner that names the set and the level when a level starts, with the level's title and author
// where the file has them: two seconds on the screen, in the tallest band free of bricks.

#include <string>

#include "engine/graphics/sprite.h"
#include "engine/graphics/text_label.h"

namespace tezmola {

struct BrickGrid;

struct LevelBanner {
    const pentavel::graphics::SpriteId* glyphs = nullptr;
    pentavel::graphics::TextLabel heading;  // the set's name and the level's number
    pentavel::graphics::TextLabel credit;   // the title and author
    float timeLeft = 0.0f;                  // seconds on the screen until it goes
};

// A band of the field from top to bottom (top > bottom).
struct FreeBand {
    float top = 0.0f;
    float bottom = 0.0f;
};
// The tallest band of rows 1..18 without a brick between the side pipes, the space between row 18 and the
// paddle's top counting as free: a band that reaches row 18 goes on down to the paddle. Of two as tall,
// the higher.
FreeBand findFreeBand(const BrickGrid& grid);

void setUpBanner(LevelBanner& banner, const pentavel::graphics::SpriteId* glyphs);
// Shows the lines (the credit may be empty: one line) in the band for two seconds, as large as the band
// and the field's width let them be, within the size of the boards' lines.
void showBanner(LevelBanner& banner, const std::string& heading, const std::string& credit,
                const FreeBand& band);
void hideBanner(LevelBanner& banner);
// Counts the banner's time down; it goes at zero.
void ageBanner(LevelBanner& banner, float dt);

}  // namespace tezmola
