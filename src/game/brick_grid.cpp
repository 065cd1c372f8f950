// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/brick_grid.h"

#include <algorithm>

#include "game/images.h"

namespace tezmola {

using pentavel::graphics::Colour;
using pentavel::graphics::lookupSprite;

namespace {

constexpr float kBrickWidth = 0.13383333f;  // a little larger than a cell, so neighbours overlap
constexpr float kBrickHeight = 0.063f;
constexpr float kShadowAlpha = 0.333f;
constexpr std::int32_t kPipeHitPoints = 1;

void layPipe(BrickCell& cell, const char* image) {
    cell.kind = BrickKind::Pipe;
    cell.hitPoints = kPipeHitPoints;
    cell.brick.setColour(brickColour(static_cast<int>(BrickKind::Pipe)));
    cell.brick.setSpriteByName(image);
    cell.shadow.setSpriteByName(image);
    cell.brick.setDepth(kRaisedBrickDepth);
    cell.brick.setVisible(true);
    cell.shadow.setVisible(true);
}

}  // namespace

Colour brickColour(int kind) {
    switch (kind) {
        case 1:
            return Colour{1.0f, 0.0f, 0.0f, 1.0f};
        case 2:
            return Colour{0.0f, 0.0f, 1.0f, 1.0f};
        case 3:
            return Colour{1.0f, 1.0f, 0.0f, 1.0f};
        case 4:
            return Colour{0.0f, 1.0f, 0.0f, 1.0f};
        case 5:
            return Colour{1.0f, 0.0f, 1.0f, 1.0f};
        case 7:
            return Colour{1.0f, 0.8f, 0.4f, 1.0f};
        default:
            return Colour{1.0f, 1.0f, 1.0f, 1.0f};
    }
}

Colour shadowColour() {
    return Colour{0.0f, 0.0f, 0.0f, kShadowAlpha};
}

void BrickCell::springBack(float dt) {
    if (homeX > currentX)
        currentX = std::min(currentX + dt, homeX);
    else if (currentX > homeX)
        currentX = std::max(currentX - dt, homeX);
    if (homeY > currentY)
        currentY = std::min(currentY + dt, homeY);
    else if (currentY > homeY)
        currentY = std::max(currentY - dt, homeY);
    brick.setPosition(currentX, currentY);
    shadow.setPosition(currentX + kShadowOffsetX, currentY + kShadowOffsetY);
    if (currentX != homeX || currentY != homeY)
        return;
    if (knocked) {
        brick.setDepth(0.0f);
        knocked = false;
    }
    pentavel::disconnect(animation);
    animation = nullptr;
}

const char* brickImageName(BrickKind kind, std::int32_t hitPoints) {
    switch (kind) {
        case BrickKind::Steel:
            return kSteelImage;
        case BrickKind::Pipe:
        case BrickKind::Guard:
        case BrickKind::Empty:
            return kBrickImage;
        default:
            break;
    }
    if (hitPoints == 2)
        return kIce1Image;
    if (hitPoints == 3)
        return kIce2Image;
    if (hitPoints >= 4 || hitPoints < 0)
        return kIce3Image;
    return kBrickImage;
}

void showBrickImage(BrickCell& cell) {
    const char* name = brickImageName(cell.kind, cell.hitPoints);
    if (cell.kind == BrickKind::Steel) {
        // Steel keeps its previous image when the sheets lack one.
        cell.brick.setSpriteByName(name);
        cell.shadow.setSpriteByName(name);
        return;
    }
    const pentavel::graphics::SpriteId id = lookupSprite(name);
    cell.brick.setSprite(id);
    cell.shadow.setSprite(id);
}

void fillCell(BrickCell& cell, BrickKind kind, std::int32_t hitPoints) {
    cell.kind = kind;
    cell.hitPoints = hitPoints;
    cell.brick.setVisible(true);
    cell.shadow.setVisible(true);
    cell.brick.setColour(brickColour(static_cast<int>(kind)));
    showBrickImage(cell);
}

void emptyCell(BrickCell& cell) {
    cell.kind = BrickKind::Empty;
    cell.brick.setVisible(false);
    cell.shadow.setVisible(false);
}

void placeCellSprites(BrickCell& cell) {
    cell.brick.setPosition(cell.homeX, cell.homeY);
    cell.brick.setSize(kBrickWidth, kBrickHeight);
    cell.brick.setDepth(0.0f);
    cell.shadow.setPosition(cell.homeX + kShadowOffsetX, cell.homeY + kShadowOffsetY);
    cell.shadow.setSize(kCellWidth, kCellHeight);
    cell.shadow.setDepth(kShadowDepth);
    cell.shadow.setColour(shadowColour());
}

void startSpringBack(BrickGrid& grid, int row, int column) {
    BrickCell& cell = grid.at(row, column);
    if (cell.animation != nullptr || grid.animation == nullptr)
        return;
    // The slots stay in grid order: bricks that come home in the same step take their depth back in that
    // order, which decides which of two overlapping neighbours is drawn over the other.
    pentavel::Connection* before = nullptr;
    constexpr int kCells = kGridRows * kGridColumns;
    for (int index = row * kGridColumns + column + 1; index < kCells && before == nullptr; ++index)
        before = grid.at(index / kGridColumns, index % kGridColumns).animation;
    cell.animation = grid.animation->connect(&cell, &BrickCell::springBack, grid.animationTracker, before);
}

void layFrame(BrickGrid& grid) {
    for (int row = 1; row < kGridRows; ++row) {
        layPipe(grid.at(row, 0), kVerticalPipeImage);
        layPipe(grid.at(row, kGridColumns - 1), kVerticalPipeImage);
    }
    for (int column = 1; column < kGridColumns - 1; ++column)
        layPipe(grid.at(0, column), kHorizontalPipeImage);
    layPipe(grid.at(0, 0), kPipeCornerImage);
    layPipe(grid.at(0, kGridColumns - 1), kPipeCornerImage);
}

}  // namespace tezmola
