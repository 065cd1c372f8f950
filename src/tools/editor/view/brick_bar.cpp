// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/editor/view/brick_bar.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "game/field/images.h"

namespace tezmola {
namespace editor {

using pentavel::graphics::Colour;
using pentavel::graphics::TextLabel;

namespace {

// Below row 18, where the paddle would play: no level paints there.
constexpr float kBarY = -0.56f;
constexpr float kFirstSlotX = -0.9f;
constexpr float kSlotStep = 0.24f;
constexpr float kSlotReachLeft = 0.08f;  // a slot takes clicks from this far left of its brick's centre
constexpr float kSlotReachY = 0.04f;
constexpr float kLabelSize = 0.42f;
constexpr float kBarDepth = -10.0f;

}  // namespace

BrickBar::BrickBar() {
    hitPoints_.fill(1);
}

Brush BrickBar::brush() const {
    return Brush{selected(), hitPoints_[static_cast<std::size_t>(selected_)]};
}

void BrickBar::select(int slot) {
    if (slot >= 0 && slot < kBarSlots)
        selected_ = slot;
}

void BrickBar::changeHitPoints(int delta) {
    if (!isColourBrick(selected()))
        return;
    int& points = hitPoints_[static_cast<std::size_t>(selected_)];
    points = std::min(kMaxHitPoints, std::max(1, points + delta));
}

BrickKind BrickBar::slotKind(int slot) {
    return slot < kBarSlots - 1 ? static_cast<BrickKind>(slot + 1) : BrickKind::Empty;
}

int BrickBar::slotAt(float x, float y) {
    if (std::fabs(y - kBarY) > kSlotReachY)
        return -1;
    const float from = (x - (kFirstSlotX - kSlotReachLeft)) / kSlotStep;
    if (!(from >= 0.0f) || from >= static_cast<float>(kBarSlots))
        return -1;
    return static_cast<int>(from);
}

float BrickBar::slotX(int slot) {
    return kFirstSlotX + static_cast<float>(slot) * kSlotStep;
}

void frameRectangle(std::array<pentavel::graphics::Sprite, 4>& sides, float left, float top, float right,
                    float bottom, float thickness) {
    sides[0].setRectangle(left - thickness, top + thickness, right + thickness, top);
    sides[1].setRectangle(left - thickness, bottom, right + thickness, bottom - thickness);
    sides[2].setRectangle(left - thickness, top, left, bottom);
    sides[3].setRectangle(right, top, right + thickness, bottom);
}

BrickBarView::BrickBarView(const pentavel::graphics::SpriteId* glyphs) : glyphs_(glyphs) {
    back_.setSpriteByName(kTopBandImage);
    back_.setRectangle(-1.0f, kBarY + 0.055f, 1.0f, kBarY - 0.055f);
    back_.setColour(Colour{0.0f, 0.0f, 0.0f, 0.8f});
    back_.setDepth(kBarDepth + 2.0f);
    for (int slot = 0; slot < kBarSlots; ++slot) {
        BrickCell& cell = bricks_[static_cast<std::size_t>(slot)];
        cell.homeX = BrickBar::slotX(slot);
        cell.homeY = kBarY;
        placeCellSprites(cell);
        cell.brick.setDepth(kBarDepth);
        cell.shadow.setDepth(kBarDepth + 1.0f);
        TextLabel& label = labels_[static_cast<std::size_t>(slot)];
        label.horizontalAlignment = TextLabel::kLeft;
        label.verticalAlignment = TextLabel::kMiddle;
        label.setText(glyphs_, "");
        label.setTextSize(kLabelSize);
        label.setDepth(kBarDepth);
        label.setPosition(cell.homeX + kCellWidth * 0.5f + 0.025f, kBarY);
    }
    for (pentavel::graphics::Sprite& side : frame_) {
        side.setSpriteByName(kBrickImage);  // a plain light image: the colour gives the tint
        side.setColour(kFrameColour);
        side.setDepth(kBarDepth - 1.0f);
    }
}

BrickBarView::~BrickBarView() = default;

void BrickBarView::show(const BrickBar& bar) {
    for (int slot = 0; slot < kBarSlots; ++slot) {
        BrickCell& cell = bricks_[static_cast<std::size_t>(slot)];
        const BrickKind kind = BrickBar::slotKind(slot);
        const bool colour = isColourBrick(kind);
        fillCell(cell, kind, bar.hitPoints(slot));
        if (kind == BrickKind::Empty) {
            // The empty cell: a dark hole where a brick would be.
            cell.brick.setColour(Colour{0.0f, 0.0f, 0.0f, 1.0f});
            cell.shadow.setVisible(false);
        }
        TextLabel& label = labels_[static_cast<std::size_t>(slot)];
        const std::string text = colour ? std::to_string(bar.hitPoints(slot)) : std::string();
        if (label.text() != text)
            label.setText(glyphs_, text);
        label.setColour(slot == bar.selectedSlot() ? kFrameColour : Colour{});
        label.layout();
    }
    const float x = BrickBar::slotX(bar.selectedSlot());
    frameRectangle(frame_, x - kCellWidth * 0.5f - 0.01f, kBarY + kCellHeight * 0.5f + 0.01f,
                   x + kCellWidth * 0.5f + 0.01f, kBarY - kCellHeight * 0.5f - 0.01f, kFrameThickness);
}

}  // namespace editor
}  // namespace tezmola
