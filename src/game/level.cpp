#include "game/level.h"

#include <cstddef>
#include <cstring>

#include "engine/file/log.h"
#include "engine/file/xml_document.h"
#include "game/balls.h"
#include "game/game_structure.h"
#include "game/guard.h"
#include "game/hud.h"

namespace tezmola {

using pentavel::graphics::Colour;

namespace {

constexpr int kLastMapRow = 18;
constexpr std::int32_t kSteelHitPoints = 24;
constexpr int kBackgroundColumns = 11;
constexpr int kBackgroundRows = 9;
constexpr float kTileStep = 0.2f;
constexpr float kTileSize = 0.202f;  // a little larger than the step, so that tiles overlap
constexpr float kBackgroundDepth = 100.0f;

// Map letters of the colour bricks, by kind code.
BrickKind colourOfLetter(char letter) {
    switch (letter) {
        case 'R':
            return BrickKind::Red;
        case 'B':
            return BrickKind::Blue;
        case 'Y':
            return BrickKind::Yellow;
        case 'G':
            return BrickKind::Green;
        case 'M':
            return BrickKind::Magenta;
        case 'W':
            return BrickKind::White;
        default:
            return BrickKind::Empty;
    }
}

bool isCellCode(char letter) {
    return colourOfLetter(letter) != BrickKind::Empty || letter == 'S' || letter == '+' || letter == '-' ||
           letter == '.' || letter == 'I';
}

// Rows 3..8 of the default layout, top to bottom.
constexpr BrickKind kDefaultRows[] = {BrickKind::White,  BrickKind::Magenta, BrickKind::Green,
                                      BrickKind::Yellow, BrickKind::Blue,    BrickKind::Red};
constexpr int kFirstDefaultRow = 3;

void emptyRegion(BrickGrid& grid, int firstRow, int lastRow, int firstColumn, int lastColumn) {
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column)
            emptyCell(grid.at(row, column));
}

// Returns the number of colour bricks laid.
int layDefaultLayout(GameStructure& game) {
    emptyRegion(game.grid, 0, kGridRows - 1, 0, kGridColumns - 1);
    int laid = 0;
    for (int index = 0; index < 6; ++index)
        for (int column = 1; column <= kGridColumns - 2; ++column, ++laid)
            fillCell(game.grid.at(kFirstDefaultRow + index, column), kDefaultRows[index], 1);
    for (auto& row : game.grid.cells)
        for (BrickCell& cell : row)
            placeCellSprites(cell);
    layFrame(game.grid);
    return laid;
}

// The n-th "level" element, levels repeating after the last; null when there is none.
const TiXmlElement* selectLevel(const GameStructure& game) {
    if (game.levelCount <= 0)
        return nullptr;
    const std::uint32_t wanted = (game.levelNumber - 1u) % static_cast<std::uint32_t>(game.levelCount) + 1u;
    const TiXmlElement* level = game.levelDocument.FirstChildElement("level");
    for (std::uint32_t index = 1; level != nullptr && index < wanted; ++index)
        level = level->NextSiblingElement("level");
    return level;
}

// Tile image and tint; false (nothing changed) when the element or one of its attributes is missing.
bool readBackground(GameStructure& game, const TiXmlElement* level) {
    const TiXmlElement* background = level->FirstChildElement("background");
    if (background == nullptr)
        return false;
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    const char* sprite = background->Attribute("sprite");
    if (sprite == nullptr || background->Attribute("red", &red) == nullptr ||
        background->Attribute("green", &green) == nullptr || background->Attribute("blue", &blue) == nullptr)
        return false;
    const Colour tint{static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue), 1.0f};
    for (pentavel::graphics::Sprite& tile : game.background) {
        tile.setSpriteByName(sprite);
        tile.setColour(tint);
    }
    return true;
}

// A fresh ball, no capsules, the level's number shown, no guard.
void startLevelPlay(GameStructure& game) {
    game.balls.clear();
    if (game.lives < kMaxLives)
        addSpareBall(game);
    serveBall(game);
    game.powerUps.clear();
    refreshLevelLabel(game);
    game.guardCount = 0;
    useGuardHit(game);
}

}  // namespace

bool readLevelFile(GameStructure& game) {
    if (!pentavel::file::loadXmlDocument(game.levelDocument, "level.xml")) {
        pentavel::logError("Cannot read level file!");
        return false;
    }
    game.levelCount = 0;
    for (const TiXmlElement* level = game.levelDocument.FirstChildElement("level"); level != nullptr;
         level = level->NextSiblingElement("level"))
        ++game.levelCount;
    pentavel::logDebug("Number of levels: %d", game.levelCount);
    return true;
}

void setUpGrid(GameStructure& game) {
    for (int row = 0; row < kGridRows; ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            BrickCell& cell = game.grid.at(row, column);
            emptyCell(cell);
            cell.homeX = cell.currentX = cellCentreX(column);
            cell.homeY = cell.currentY = cellCentreY(row);
            placeCellSprites(cell);
            game.cellAnimation.connect(&cell, &BrickCell::springBack, game.tracker);
        }
    }
    layFrame(game.grid);
}

void makeBackground(GameStructure& game) {
    game.background.clear();
    game.background.reserve(std::size_t{kBackgroundColumns} * kBackgroundRows);
    for (int j = 0; j < kBackgroundRows; ++j) {
        for (int i = 0; i < kBackgroundColumns; ++i) {
            pentavel::graphics::Sprite tile;
            tile.setPosition(-1.0f + kTileStep * static_cast<float>(i),
                             -0.75f + kTileStep * static_cast<float>(j));
            tile.setSize(kTileSize, kTileSize);
            tile.setDepth(kBackgroundDepth);
            game.background.push_back(tile);
        }
    }
}

int readBrickMap(GameStructure& game, const char* text) {
    int laid = 0;
    int row = 0;
    int column = 0;
    const std::size_t length = text != nullptr ? std::strlen(text) : 0;
    std::size_t index = 0;
    while (row <= kLastMapRow && index < length) {
        const char letter = text[index++];
        if (!isCellCode(letter))
            continue;
        if (index >= length)
            break;  // a code without its second character ends the map
        const char second = text[index++];
        BrickCell& cell = game.grid.at(row, column);
        const BrickKind colour = colourOfLetter(letter);
        if (colour != BrickKind::Empty) {
            fillCell(cell, colour, static_cast<std::int32_t>(static_cast<signed char>(second)) - '0');
            ++laid;
        } else if (letter == 'S') {
            fillCell(cell, BrickKind::Steel, kSteelHitPoints);
        }
        if (++column == kGridColumns) {
            column = 0;
            ++row;
        }
    }
    return laid;
}

void buildLevel(GameStructure& game) {
    const int defaultBricks = layDefaultLayout(game);
    const TiXmlElement* level = selectLevel(game);
    if (level == nullptr) {
        pentavel::logError("Cannot load in level %d", static_cast<int>(game.levelNumber));
        // The default layout is played instead; without a count it would be rebuilt every step.
        game.bricksLeft = defaultBricks;
        return;
    }
    emptyRegion(game.grid, 1, kLastMapRow, 1, kGridColumns - 2);
    game.bricksLeft = 0;
    const TiXmlElement* map = level->FirstChildElement("tezm");
    if (map == nullptr) {
        pentavel::logError("Level %d is malformed", static_cast<int>(game.levelNumber));
        return;
    }
    game.bricksLeft = readBrickMap(game, map->GetText());
    if (!readBackground(game, level)) {
        pentavel::logError("Level %d is malformed", static_cast<int>(game.levelNumber));
        return;
    }
    startLevelPlay(game);
}

}  // namespace tezmola
