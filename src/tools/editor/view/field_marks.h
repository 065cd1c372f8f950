// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Marks over the field that the game never shows: a grid over the cells a level may fill, and the cell a
// click, Space or Backspace would paint, with what it would get.

#include <array>
#include <vector>

#include "engine/graphics/sprite.h"
#include "game/field/brick_grid.h"
#include "tools/editor/document/level_edits.h"

namespace tezmola {
namespace editor {

// The highlighted cell, moved by the pointer or the arrow keys within the paintable cells.
struct FieldCursor {
    int row = 1;  // the top-left cell inside the frame
    int column = 1;

    // Moves by whole cells, stopping at the frame.
    void move(int rows, int columns);
    // Takes the cell under a play-field point when it is paintable; false (the cursor stays) otherwise.
    bool pointAt(float x, float y);
};

class FieldMarks {
public:
    FieldMarks();
    ~FieldMarks();
    FieldMarks(const FieldMarks&) = delete;
    FieldMarks& operator=(const FieldMarks&) = delete;

    void showGrid(bool shown);
    // The highlight on the cell, with the brick the brush would paint there.
    void showCursor(const FieldCursor& cursor, const Brush& brush);

    // What is drawn, for tests.
    const std::vector<pentavel::graphics::Sprite>& lines() const { return lines_; }
    const BrickCell& preview() const { return preview_; }
    const std::array<pentavel::graphics::Sprite, 4>& frame() const { return frame_; }

private:
    std::vector<pentavel::graphics::Sprite> lines_;
    BrickCell preview_;
    std::array<pentavel::graphics::Sprite, 4> frame_;
};

}  // namespace editor
}  // namespace tezmola
