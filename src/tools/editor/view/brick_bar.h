// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The brick bar under the field: every kind the left button can paint (six colours, steel, the empty
// cell), each with hit points of its own, one of them chosen. Choosing is no change to the level, so it
// is kept here and not in the undoable edits.

#include <array>
#include <memory>

#include "engine/graphics/sprite.h"
#include "engine/graphics/text_label.h"
#include "game/field/brick_grid.h"
#include "game/records/level_set.h"
#include "tools/editor/document/level_edits.h"

namespace tezmola {
namespace editor {

// Red, blue, yellow, green, magenta, white, steel, empty: the keys 1 to 8 in that order.
constexpr int kBarSlots = 8;
// The yellow frame round what is chosen: the bar's slot and the field's cell.
constexpr float kFrameThickness = 0.008f;
constexpr pentavel::graphics::Colour kFrameColour{1.0f, 1.0f, 0.0f, 1.0f};

class BrickBar {
public:
    BrickBar();

    BrickKind selected() const { return slotKind(selected_); }
    Brush brush() const;
    // Chooses the kind of a slot (0..7); others are ignored.
    void select(int slot);
    // Hit points of the chosen colour brick up or down, within 1..9; steel and empty have none.
    void changeHitPoints(int delta);
    int hitPoints(int slot) const { return hitPoints_[static_cast<std::size_t>(slot)]; }
    int selectedSlot() const { return selected_; }

    static BrickKind slotKind(int slot);
    // The slot under a play-field point, -1 for none.
    static int slotAt(float x, float y);
    static float slotX(int slot);  // centre of the slot's brick

private:
    std::array<int, kBarSlots> hitPoints_;
    int selected_ = 0;
};

// The bar drawn with the game's brick sprites, hit points beside the colour bricks, a frame round the
// chosen one.
class BrickBarView {
public:
    explicit BrickBarView(const pentavel::graphics::SpriteId* glyphs);
    ~BrickBarView();
    BrickBarView(const BrickBarView&) = delete;
    BrickBarView& operator=(const BrickBarView&) = delete;

    void show(const BrickBar& bar);

    // What is drawn, for tests.
    const BrickCell& brick(int slot) const { return bricks_[static_cast<std::size_t>(slot)]; }
    const pentavel::graphics::TextLabel& label(int slot) const {
        return labels_[static_cast<std::size_t>(slot)];
    }
    const std::array<pentavel::graphics::Sprite, 4>& frame() const { return frame_; }
    const pentavel::graphics::Sprite& back() const { return back_; }

private:
    const pentavel::graphics::SpriteId* glyphs_;
    pentavel::graphics::Sprite back_;
    std::array<BrickCell, kBarSlots> bricks_;
    std::array<pentavel::graphics::TextLabel, kBarSlots> labels_;
    std::array<pentavel::graphics::Sprite, 4> frame_;
};

// Four thin bars round a rectangle.
void frameRectangle(std::array<pentavel::graphics::Sprite, 4>& sides, float left, float top, float right,
                    float bottom, float thickness);

}  // namespace editor
}  // namespace tezmola
