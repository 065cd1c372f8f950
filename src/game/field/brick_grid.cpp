// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/field/brick_grid.h"

#include <algorithm>

#include "game/field/images.h"

namespace tezmola {

using pentavel::graphics::Colour;
using pentavel::graphics::lookupSprite;

namespace {

constexpr float kBrickWidth = 0.13383333f;  // a little larger than a cell, so neighbours overlap
constexpr float kBrickHeight = 0.063f;
constexpr float kShadowAlpha = 0.333f;
constexpr std::int32_t kPipeHitPoints = 1;

// Calls visit(cell, image) for each cell of the frame with its pipe image, in the order the frame is laid.
template <typename Visit>
void forEachFrameCell(BrickGrid& grid, const BrickImages& images, Visit visit) {
    for (int row = 1; row < kGridRows; ++row) {
        visit(grid.at(row, 0), images.verticalPipe);
        visit(grid.at(row, kGridColumns - 1), images.verticalPipe);
    }
    for (int column = 1; column < kGridColumns - 1; ++column)
        visit(grid.at(0, column), images.horizontalPipe);
    visit(grid.at(0, 0), images.pipeCorner);
    visit(grid.at(0, kGridColumns - 1), images.pipeCorner);
}

// Brick images by brickImageIndex.
enum BrickImageIndex { kPlain, kIce1, kIce2, kIce3, kSteel };

BrickImageIndex brickImageIndex(BrickKind kind, std::int32_t hitPoints) {
    switch (kind) {
        case BrickKind::Steel:
            return kSteel;
        case BrickKind::Pipe:
        case BrickKind::Guard:
        case BrickKind::Empty:
            return kPlain;
        default:
            break;
    }
    if (hitPoints == 2)
        return kIce1;
    if (hitPoints == 3)
        return kIce2;
    if (hitPoints >= 4 || hitPoints < 0)
        return kIce3;
    return kPlain;
}

void setBrick(BrickCell& cell, BrickKind kind, std::int32_t hitPoints) {
    cell.kind = kind;
    cell.hitPoints = hitPoints;
    cell.brick.setVisible(true);
    cell.shadow.setVisible(true);
    cell.brick.setColour(brickColour(static_cast<int>(kind)));
}

void showImage(BrickCell& cell, pentavel::graphics::SpriteId id) {
    // Steel keeps its previous image when the sheets lack one.
    if (cell.kind == BrickKind::Steel && id == 0)
        return;
    cell.brick.setSprite(id);
    cell.shadow.setSprite(id);
}

}  // namespace

BrickImages lookUpBrickImages() {
    BrickImages images;
    images.brick = lookupSprite(kBrickImage);
    images.ice[0] = lookupSprite(kIce1Image);
    images.ice[1] = lookupSprite(kIce2Image);
    images.ice[2] = lookupSprite(kIce3Image);
    images.steel = lookupSprite(kSteelImage);
    images.verticalPipe = lookupSprite(kVerticalPipeImage);
    images.horizontalPipe = lookupSprite(kHorizontalPipeImage);
    images.pipeCorner = lookupSprite(kPipeCornerImage);
    return images;
}

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
    constexpr const char* kNames[] = {kBrickImage, kIce1Image, kIce2Image, kIce3Image, kSteelImage};
    return kNames[brickImageIndex(kind, hitPoints)];
}

pentavel::graphics::SpriteId brickImage(const BrickImages& images, BrickKind kind, std::int32_t hitPoints) {
    const BrickImageIndex index = brickImageIndex(kind, hitPoints);
    return index == kPlain ? images.brick : index == kSteel ? images.steel : images.ice[index - kIce1];
}

void showBrickImage(BrickCell& cell) {
    showImage(cell, lookupSprite(brickImageName(cell.kind, cell.hitPoints)));
}

void fillCell(BrickCell& cell, BrickKind kind, std::int32_t hitPoints) {
    setBrick(cell, kind, hitPoints);
    showBrickImage(cell);
}

void fillCell(BrickCell& cell, BrickKind kind, std::int32_t hitPoints, const BrickImages& images) {
    setBrick(cell, kind, hitPoints);
    showImage(cell, brickImage(images, kind, hitPoints));
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

pentavel::graphics::SpriteId pipeImage(const BrickImages& images, int row, int column) {
    if (row != 0)
        return images.verticalPipe;
    return column == 0 || column == kGridColumns - 1 ? images.pipeCorner : images.horizontalPipe;
}

void showPipe(BrickCell& cell, pentavel::graphics::SpriteId image) {
    cell.kind = BrickKind::Pipe;
    cell.hitPoints = kPipeHitPoints;
    cell.brick.setColour(brickColour(static_cast<int>(BrickKind::Pipe)));
    if (image != 0) {
        cell.brick.setSprite(image);
        cell.shadow.setSprite(image);
    }
    cell.brick.setVisible(true);
    cell.shadow.setVisible(true);
}

void layFrame(BrickGrid& grid) {
    forEachFrameCell(grid, lookUpBrickImages(), [](BrickCell& cell, pentavel::graphics::SpriteId image) {
        showPipe(cell, image);
        cell.brick.setDepth(kRaisedBrickDepth);
    });
}

void raiseFrame(BrickGrid& grid) {
    // From depth 0 each is drawn in front of the raised bricks already there, as when the field is laid.
    forEachFrameCell(grid, grid.images, [](BrickCell& cell, pentavel::graphics::SpriteId) {
        cell.brick.setDepth(0.0f);
        cell.brick.setDepth(kRaisedBrickDepth);
    });
}

}  // namespace tezmola
