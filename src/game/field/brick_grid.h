// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The play field's brick grid: 25 rows by 16 columns of cells, its geometry and the brick kinds.

#include <cstdint>

#include "engine/core/signal.h"
#include "engine/graphics/colour.h"
#include "engine/graphics/sprite.h"

namespace tezmola {

constexpr int kGridRows = 25;
constexpr int kGridColumns = 16;
constexpr float kCellWidth = 0.13333334f;   // 2/15
constexpr float kCellHeight = 0.0625f;      // 1/16
constexpr float kGridLeft = -1.0666667f;    // left edge of column 0
constexpr float kGridTop = 0.6833f;         // top edge of row 0
constexpr float kCellCentreLeft = -1.0f;    // sprite centre x of column 0
constexpr float kCellCentreTop = 0.65205f;  // sprite centre y of row 0
constexpr float kShadowOffsetX = 0.03f;     // every shadow sits this far right of its object
constexpr float kShadowOffsetY = -0.02f;    // and this far below it
constexpr float kShadowDepth = 0.5f;        // and this deep, behind every object (a capsule's is nearer)
constexpr float kRaisedBrickDepth = -0.1f;  // pipes and knocked bricks lie over the others

// A cell's content; 0 is an empty cell.
enum class BrickKind : std::int32_t {
    Empty = 0,
    Red = 1,
    Blue = 2,
    Yellow = 3,
    Green = 4,
    Magenta = 5,
    White = 6,
    Steel = 7,
    Pipe = 8,
    Guard = 9,
};

// True for the six colour bricks, which count towards clearing a level and drop power-ups.
inline bool isColourBrick(BrickKind kind) {
    return kind >= BrickKind::Red && kind <= BrickKind::White;
}

// Tint of a brick or capsule of the given kind code; codes outside 1..5 and 7 give white.
pentavel::graphics::Colour brickColour(int kind);

// Shadow tint shared by every moving or breakable object.
pentavel::graphics::Colour shadowColour();

struct BrickCell {
    BrickKind kind = BrickKind::Empty;
    std::int32_t hitPoints = 0;
    float homeX = 0.0f;  // the cell's sprite centre, fixed at set-up
    float homeY = 0.0f;
    float currentX = 0.0f;  // where the brick is drawn now (differs while it springs back)
    float currentY = 0.0f;
    bool knocked = false;
    pentavel::graphics::Sprite brick;
    pentavel::graphics::Sprite shadow;
    pentavel::Connection* animation = nullptr;  // its slot on the cell-animation signal while it moves

    // Cell-animation slot: moves the brick back home at 1 unit per second on each axis (dt in seconds);
    // leaves the signal once the brick is home and still.
    void springBack(float dt);
};

// The sheet ids of the grid's images, looked up once rather than cell by cell.
struct BrickImages {
    pentavel::graphics::SpriteId brick = 0;
    pentavel::graphics::SpriteId ice[3] = {};  // two, three and four or more hit points
    pentavel::graphics::SpriteId steel = 0;
    pentavel::graphics::SpriteId verticalPipe = 0;
    pentavel::graphics::SpriteId horizontalPipe = 0;
    pentavel::graphics::SpriteId pipeCorner = 0;
};
BrickImages lookUpBrickImages();

struct BrickGrid {
    BrickCell cells[kGridRows][kGridColumns];
    // Looked up by setUpGrid; all 0 in a grid it never prepared.
    BrickImages images;
    // Where a knocked cell springs back: the signal emitted once per step, and the tracker its slot
    // belongs to. Null: knocked bricks stay where they were knocked to.
    pentavel::Signal<float>* animation = nullptr;
    pentavel::ConnectionTracker* animationTracker = nullptr;

    BrickCell& at(int row, int column) { return cells[row][column]; }
    const BrickCell& at(int row, int column) const { return cells[row][column]; }
    // Cells outside the grid count as empty.
    BrickKind kindAt(int row, int column) const {
        if (row < 0 || row >= kGridRows || column < 0 || column >= kGridColumns)
            return BrickKind::Empty;
        return cells[row][column].kind;
    }
};

// Truncation towards zero that stays defined for points far outside the field.
inline int truncateToCell(float value) {
    constexpr float kFar = 1000.0f;
    if (!(value > -kFar))
        return -static_cast<int>(kFar);
    if (!(value < kFar))
        return static_cast<int>(kFar);
    return static_cast<int>(value);
}
// Column and row of a play-field point, truncated towards zero (may lie outside the grid).
inline int cellColumn(float x) {
    return truncateToCell((x - kGridLeft) / kCellWidth);
}
inline int cellRow(float y) {
    return truncateToCell((y - kGridTop) * -16.0f);
}
// Edges of a cell in play-field units.
inline float cellLeft(int column) {
    return kGridLeft + static_cast<float>(column) * kCellWidth;
}
inline float cellTop(int row) {
    return kGridTop - static_cast<float>(row) * kCellHeight;
}
inline float cellCentreX(int column) {
    return kCellCentreLeft + static_cast<float>(column) * kCellWidth;
}
inline float cellCentreY(int row) {
    return kCellCentreTop - static_cast<float>(row) * kCellHeight;
}

// Image name for a brick of the given kind and hit points.
const char* brickImageName(BrickKind kind, std::int32_t hitPoints);
// The same image's id among the images.
pentavel::graphics::SpriteId brickImage(const BrickImages& images, BrickKind kind, std::int32_t hitPoints);
// Gives both sprites of the cell the image for its kind and hit points.
void showBrickImage(BrickCell& cell);
// Kind, hit points, tint and image of a brick, sprites shown.
void fillCell(BrickCell& cell, BrickKind kind, std::int32_t hitPoints);
// The same with the image taken from the images.
void fillCell(BrickCell& cell, BrickKind kind, std::int32_t hitPoints, const BrickImages& images);
// Empties the cell and hides its sprites.
void emptyCell(BrickCell& cell);
// Puts both sprites at the cell centre with their sizes, depth and shadow tint.
void placeCellSprites(BrickCell& cell);
// True for the cells of the frame: columns 0 and 15 of rows 1..24, and row 0.
inline bool isFrameCell(int row, int column) {
    return row == 0 || column == 0 || column == kGridColumns - 1;
}
// The pipe image of a frame cell.
pentavel::graphics::SpriteId pipeImage(const BrickImages& images, int row, int column);
// Makes the cell a pipe with that image (kept when the sheets lack it, as 0), shown; its depth stays.
void showPipe(BrickCell& cell, pentavel::graphics::SpriteId image);
// Pipes round the field: columns 0 and 15 of rows 1..24, row 0 between them, two corners, each raised over
// the bricks and drawn in front of the pipes laid before it.
void layFrame(BrickGrid& grid);
// Raises the frame cells' bricks in layFrame's order.
void raiseFrame(BrickGrid& grid);
// Puts the cell's spring-back on the grid's animation signal until the brick is home and still; a cell
// already on it stays as it is.
void startSpringBack(BrickGrid& grid, int row, int column);

}  // namespace tezmola
