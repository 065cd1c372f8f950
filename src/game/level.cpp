// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/level.h"

#include <cstddef>
#include <cstring>

#include "engine/file/log.h"
#include "engine/file/xml_document.h"
#include "game/balls.h"
#include "game/game_structure.h"
#include "game/guard.h"
#include "game/hud.h"
#include "game/level_banner.h"

namespace tezmola {

using pentavel::graphics::Colour;

namespace {

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
int layDefaultLayout(BrickGrid& grid) {
    emptyRegion(grid, 0, kGridRows - 1, 0, kGridColumns - 1);
    int laid = 0;
    for (int index = 0; index < 6; ++index)
        for (int column = 1; column <= kGridColumns - 2; ++column, ++laid)
            fillCell(grid.at(kFirstDefaultRow + index, column), kDefaultRows[index], 1);
    for (auto& row : grid.cells)
        for (BrickCell& cell : row)
            placeCellSprites(cell);
    layFrame(grid);
    return laid;
}

// Tile image and tint; false (nothing changed) when the element or one of its attributes is missing.
bool readBackground(std::vector<pentavel::graphics::Sprite>& background, const TiXmlElement* level) {
    const LevelBackground read = readLevelBackground(level);
    if (read.missing != nullptr)
        return false;
    const Colour tint{static_cast<float>(read.red), static_cast<float>(read.green),
                      static_cast<float>(read.blue), 1.0f};
    for (pentavel::graphics::Sprite& tile : background) {
        tile.setSpriteByName(read.sprite);
        tile.setColour(tint);
    }
    return true;
}

// A fresh ball, no capsules, the level's number shown, no guard.
void startLevelPlay(GameStructure& game) {
    game.balls.clear();
    // A finished game gets no ball from a level change: only a new game or the revive key ends it.
    if (game.playing) {
        if (game.spareBalls.lives < kMaxLives)
            addSpareBall(game.spareBalls);
        serveBall(game);
    }
    game.powerUps.clear();
    refreshLevelLabel(game.hud, game.showFrameRate, game.levelNumber);
    game.guard.guardCount = 0;
    useGuardHit(game.guard, game.grid);
    announceLevel(game);
}

}  // namespace

std::int32_t countLevels(const TiXmlDocument& document) {
    std::int32_t count = 0;
    for (const TiXmlElement* level = document.FirstChildElement("level"); level != nullptr;
         level = level->NextSiblingElement("level"))
        ++count;
    return count;
}

bool readLevelFile(TiXmlDocument& document, std::int32_t& levelCount, const char* name) {
    if (!pentavel::file::loadXmlDocument(document, name)) {
        pentavel::logError("Cannot read level file!");
        return false;
    }
    levelCount = countLevels(document);
    pentavel::logDebug("Number of levels: %d", levelCount);
    return true;
}

void setUpGrid(BrickGrid& grid, pentavel::Signal<float>& cellAnimation, pentavel::ScopedTracker& tracker) {
    for (int row = 0; row < kGridRows; ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            BrickCell& cell = grid.at(row, column);
            emptyCell(cell);
            cell.homeX = cell.currentX = cellCentreX(column);
            cell.homeY = cell.currentY = cellCentreY(row);
            placeCellSprites(cell);
        }
    }
    grid.animation = &cellAnimation;
    grid.animationTracker = tracker;
    layFrame(grid);
}

void makeBackground(std::vector<pentavel::graphics::Sprite>& background) {
    background.clear();
    background.reserve(std::size_t{kBackgroundColumns} * kBackgroundRows);
    for (int j = 0; j < kBackgroundRows; ++j) {
        for (int i = 0; i < kBackgroundColumns; ++i) {
            pentavel::graphics::Sprite tile;
            tile.setPosition(-1.0f + kTileStep * static_cast<float>(i),
                             -0.75f + kTileStep * static_cast<float>(j));
            tile.setSize(kTileSize, kTileSize);
            tile.setDepth(kBackgroundDepth);
            background.push_back(tile);
        }
    }
}

BrickMapReader::BrickMapReader(const char* text)
    : text_(text != nullptr ? text : ""), length_(std::strlen(text_)) {}

bool BrickMapReader::next(MapCode& code) {
    while (row_ <= kLastMapRow && index_ < length_) {
        const char letter = text_[index_++];
        if (!isCellCode(letter))
            continue;
        if (index_ >= length_)
            return false;  // a code without its second character ends the map
        code.row = row_;
        code.column = column_;
        code.letter = letter;
        code.second = text_[index_++];
        code.at = index_ - 2;
        if (++column_ == kGridColumns) {
            column_ = 0;
            ++row_;
        }
        return true;
    }
    return false;
}

int readBrickMap(BrickGrid& grid, const char* text) {
    int laid = 0;
    BrickMapReader reader(text);
    MapCode code;
    while (reader.next(code)) {
        BrickCell& cell = grid.at(code.row, code.column);
        const BrickKind colour = colourOfLetter(code.letter);
        if (colour != BrickKind::Empty) {
            fillCell(cell, colour, static_cast<std::int32_t>(static_cast<signed char>(code.second)) - '0');
            ++laid;
        } else if (code.letter == 'S') {
            fillCell(cell, BrickKind::Steel, kSteelHitPoints);
        }
    }
    return laid;
}

const TiXmlElement* findLevel(const TiXmlDocument& document, std::int32_t levelCount, std::uint32_t number) {
    if (levelCount <= 0)
        return nullptr;
    const std::uint32_t wanted = (number - 1u) % static_cast<std::uint32_t>(levelCount) + 1u;
    const TiXmlElement* level = document.FirstChildElement("level");
    for (std::uint32_t index = 1; level != nullptr && index < wanted; ++index)
        level = level->NextSiblingElement("level");
    return level;
}

LevelBackground readLevelBackground(const TiXmlElement* level) {
    LevelBackground result;
    const TiXmlElement* background = level->FirstChildElement("background");
    if (background == nullptr) {
        result.missing = "element";
        return result;
    }
    result.sprite = background->Attribute("sprite");
    if (result.sprite == nullptr)
        result.missing = "sprite";
    else if (background->Attribute("red", &result.red) == nullptr)
        result.missing = "red";
    else if (background->Attribute("green", &result.green) == nullptr)
        result.missing = "green";
    else if (background->Attribute("blue", &result.blue) == nullptr)
        result.missing = "blue";
    return result;
}

LevelNotes readLevelNotes(const TiXmlElement* level) {
    LevelNotes notes;
    if (level == nullptr)
        return notes;
    if (const char* title = level->Attribute("title"))
        notes.title = title;
    if (const char* author = level->Attribute("author"))
        notes.author = author;
    const char* proven = level->Attribute("proven");
    notes.proven = proven != nullptr && std::strcmp(proven, "yes") == 0;
    return notes;
}

LaidLevel layLevel(BrickGrid& grid, std::vector<pentavel::graphics::Sprite>& background,
                   const TiXmlElement* level) {
    LaidLevel laid;
    laid.bricks = layDefaultLayout(grid);
    if (level == nullptr) {
        // The default layout is played instead; without a count it would be rebuilt every step.
        laid.outcome = LevelBuild::NotInFile;
        return laid;
    }
    emptyRegion(grid, 1, kLastMapRow, 1, kGridColumns - 2);
    laid.bricks = 0;
    const TiXmlElement* map = level->FirstChildElement("tezm");
    if (map == nullptr) {
        laid.outcome = LevelBuild::NoMap;
        return laid;
    }
    laid.bricks = readBrickMap(grid, map->GetText());
    if (!readBackground(background, level))
        laid.outcome = LevelBuild::NoBackground;
    return laid;
}

LevelBuild buildLevel(GameStructure& game) {
    const TiXmlElement* level = findLevel(game.levelDocument, game.levelCount, game.levelNumber);
    const LaidLevel laid = layLevel(game.grid, game.background, level);
    game.bricksLeft = laid.bricks;
    if (laid.outcome == LevelBuild::NotInFile)
        pentavel::logError("Cannot load in level %d", static_cast<int>(game.levelNumber));
    else if (laid.outcome != LevelBuild::Built)
        pentavel::logError("Level %d is malformed", static_cast<int>(game.levelNumber));
    if (laid.outcome == LevelBuild::Built) {
        startLevelPlay(game);
    } else if (game.guard.guardCount > 0) {
        // A failed build keeps the guard, but the layout emptied its row: it is laid again under the glow.
        layGuardRow(game.grid);
    }
    return laid.outcome;
}

}  // namespace tezmola
