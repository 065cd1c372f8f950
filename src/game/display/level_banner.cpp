// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/display/level_banner.h"

#include <algorithm>

#include "game/display/hud.h"
#include "game/field/brick_grid.h"
#include "game/field/level.h"
#include "game/field/paddle.h"

namespace tezmola {

using pentavel::graphics::Colour;
using pentavel::graphics::TextLabel;

namespace {

constexpr float kShownSeconds = 2.0f;
// Over the bricks, capsules and balls (-2): a served ball waits on the paddle in the lowest band while the
// banner shows, and the words are what those two seconds are for. Behind the paddle (-4) and the labels.
constexpr float kDepth = -3.0f;
constexpr float kLargestSize = 0.5f;
constexpr float kLineSpacing = 1.15f;  // of a line's height
constexpr float kFieldWidth = 1.8f;    // between the side pipes, with a margin
constexpr std::size_t kLongestLine = 48;
// The paddle only slides along its row: the space between the last brick row and its top is always free,
// and tall enough for both lines at nearly their largest size. A ball served there is drawn behind them.
constexpr float kPaddleTop = kPaddleY + kPaddleHeight * 0.5f;
const Colour kHeadingColour{1.0f, 1.0f, 0.0f, 1.0f};
const Colour kCreditColour{1.0f, 1.0f, 1.0f, 1.0f};

bool rowIsEmpty(const BrickGrid& grid, int row) {
    for (int column = 1; column < kGridColumns - 1; ++column)
        if (grid.at(row, column).kind != BrickKind::Empty)
            return false;
    return true;
}

float rowTop(int row) {
    return kGridTop - kCellHeight * static_cast<float>(row);
}

std::string cut(const std::string& text) {
    return text.size() <= kLongestLine ? text : text.substr(0, kLongestLine - 3) + "...";
}

void place(LevelBanner& banner, TextLabel& label, const std::string& text, const Colour& colour, float size,
           float y) {
    label.horizontalAlignment = TextLabel::kCentre;
    label.verticalAlignment = TextLabel::kMiddle;
    label.setText(banner.glyphs, cut(text));
    label.setTextSize(size);
    if (label.width() > kFieldWidth)
        label.setTextSize(size * kFieldWidth / label.width());
    label.setColour(colour);
    label.setDepth(kDepth);
    label.setPosition(0.0f, y);
    label.setVisible(true);
}

}  // namespace

FreeBand findFreeBand(const BrickGrid& grid) {
    FreeBand best;
    int first = -1;
    for (int row = 1; row <= kLastMapRow + 1; ++row) {
        const bool empty = row <= kLastMapRow && rowIsEmpty(grid, row);
        if (empty && first < 0)
            first = row;
        if (empty || first < 0)
            continue;
        const FreeBand band{rowTop(first), row > kLastMapRow ? kPaddleTop : rowTop(row)};
        if (band.top - band.bottom > best.top - best.bottom)
            best = band;
        first = -1;
    }
    const FreeBand belowBricks{rowTop(kLastMapRow + 1), kPaddleTop};
    return best.top - best.bottom >= belowBricks.top - belowBricks.bottom ? best : belowBricks;
}

void setUpBanner(LevelBanner& banner, const pentavel::graphics::SpriteId* glyphs) {
    banner.glyphs = glyphs;
    hideBanner(banner);
}

void showBanner(LevelBanner& banner, const std::string& heading, const std::string& credit,
                const FreeBand& band) {
    const float height = band.top - band.bottom;
    // One size for both lines: as large as the band lets them be, within the labels' own size.
    place(banner, banner.heading, heading, kHeadingColour, 1.0f, 0.0f);
    const float lineHeight = banner.heading.height() / banner.heading.textSize();  // at size 1
    const bool twoLines = !credit.empty();
    const float lines = twoLines ? 2.0f : 1.0f;
    const float size = std::min(kLargestSize, height / (lineHeight * kLineSpacing * lines));
    const float middle = (band.top + band.bottom) * 0.5f;
    const float step = lineHeight * size * kLineSpacing * 0.5f;
    place(banner, banner.heading, heading, kHeadingColour, size, twoLines ? middle + step : middle);
    if (twoLines)
        place(banner, banner.credit, credit, kCreditColour, size, middle - step);
    else
        banner.credit.setVisible(false);
    banner.timeLeft = kShownSeconds;
}

void hideBanner(LevelBanner& banner) {
    banner.heading.setVisible(false);
    banner.credit.setVisible(false);
    banner.timeLeft = 0.0f;
}

void ageBanner(LevelBanner& banner, float dt) {
    if (banner.timeLeft <= 0.0f)
        return;
    banner.timeLeft -= dt;
    if (banner.timeLeft <= 0.0f)
        hideBanner(banner);
}

}  // namespace tezmola
