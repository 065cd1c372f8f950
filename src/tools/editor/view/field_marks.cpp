// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/editor/view/field_marks.h"

#include <algorithm>

#include "game/field/images.h"
#include "game/records/level_set.h"
#include "tools/editor/view/brick_bar.h"

namespace tezmola {
namespace editor {

using pentavel::graphics::Colour;

namespace {

constexpr float kLineThickness = 0.004f;
constexpr float kGridDepth = -1.0f;  // over the bricks, under the text
constexpr float kPreviewDepth = -2.0f;
constexpr float kPreviewAlpha = 0.7f;

const Colour kLineColour{1.0f, 1.0f, 1.0f, 0.3f};

}  // namespace

void FieldCursor::move(int rows, int columns) {
    row = std::min(kMapRows - 1, std::max(1, row + rows));
    column = std::min(kGridColumns - 2, std::max(1, column + columns));
}

bool FieldCursor::pointAt(float x, float y) {
    const int pointedRow = cellRow(y);
    const int pointedColumn = cellColumn(x);
    // A point far above or left of the grid truncates to a negative cell, never a paintable one.
    if (!isPaintable(pointedRow, pointedColumn))
        return false;
    row = pointedRow;
    column = pointedColumn;
    return true;
}

FieldMarks::FieldMarks() {
    const float left = cellLeft(1);
    const float right = cellLeft(kGridColumns - 1);
    const float top = cellTop(1);
    const float bottom = cellTop(kMapRows);
    for (int column = 1; column <= kGridColumns - 1; ++column) {
        lines_.emplace_back();
        const float x = cellLeft(column);
        lines_.back().setRectangle(x - kLineThickness * 0.5f, top, x + kLineThickness * 0.5f, bottom);
    }
    for (int row = 1; row <= kMapRows; ++row) {
        lines_.emplace_back();
        const float y = cellTop(row);
        lines_.back().setRectangle(left, y + kLineThickness * 0.5f, right, y - kLineThickness * 0.5f);
    }
    for (pentavel::graphics::Sprite& line : lines_) {
        line.setSpriteByName(kTopBandImage);  // an opaque image: the colour gives the tint
        line.setColour(kLineColour);
        line.setDepth(kGridDepth);
    }
    for (pentavel::graphics::Sprite& side : frame_) {
        side.setSpriteByName(kBrickImage);  // a plain light image: the colour gives the tint
        side.setColour(kFrameColour);
        side.setDepth(kPreviewDepth - 1.0f);
    }
}

FieldMarks::~FieldMarks() = default;

void FieldMarks::showGrid(bool shown) {
    for (pentavel::graphics::Sprite& line : lines_)
        line.setVisible(shown);
}

void FieldMarks::showCursor(const FieldCursor& cursor, const Brush& brush) {
    preview_.homeX = cellCentreX(cursor.column);
    preview_.homeY = cellCentreY(cursor.row);
    placeCellSprites(preview_);
    preview_.brick.setDepth(kPreviewDepth);
    fillCell(preview_, brush.kind, brush.hitPoints);
    preview_.shadow.setVisible(false);
    Colour colour = brickColour(static_cast<int>(brush.kind));
    if (brush.kind == BrickKind::Empty)
        colour = Colour{0.0f, 0.0f, 0.0f, 1.0f};  // a click clears: the cell shown dark
    colour.alpha = kPreviewAlpha;
    preview_.brick.setColour(colour);
    const float left = cellLeft(cursor.column);
    const float top = cellTop(cursor.row);
    frameRectangle(frame_, left, top, left + kCellWidth, top - kCellHeight, kFrameThickness);
}

}  // namespace editor
}  // namespace tezmola
