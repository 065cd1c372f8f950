// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/field/level.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstring>

#include "engine/file/log.h"
#include "engine/file/xml_document.h"

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
    grid.images = lookUpBrickImages();
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

namespace {

// Calls lay(row, column, kind, hit points) for each brick of the map in the order the game lays them;
// returns the number of colour bricks.
template <typename Lay>
int forEachBrick(const char* text, Lay lay) {
    int laid = 0;
    BrickMapReader reader(text);
    MapCode code;
    while (reader.next(code)) {
        const BrickKind colour = colourOfLetter(code.letter);
        if (colour != BrickKind::Empty) {
            lay(code.row, code.column, colour,
                static_cast<std::int32_t>(static_cast<signed char>(code.second)) - '0');
            ++laid;
        } else if (code.letter == 'S') {
            lay(code.row, code.column, BrickKind::Steel, kSteelHitPoints);
        }
    }
    return laid;
}

}  // namespace

namespace {

void appendAttribute(std::string& source, const TiXmlElement* element, const char* name) {
    const char* value = element != nullptr ? element->Attribute(name) : nullptr;
    source += value != nullptr ? '+' : '-';
    if (value != nullptr)
        source += value;
    source += '\0';
}

// Everything of the level element that a build reads, as one text: no level, or the map's text and the
// background's attributes, each piece ended by a NUL, which none of them holds.
void readSource(const TiXmlElement* level, std::string& source) {
    source.clear();
    if (level == nullptr)
        return;
    const TiXmlElement* map = level->FirstChildElement("tezm");
    source += map != nullptr ? 'M' : 'L';
    if (map == nullptr)
        return;
    if (const char* text = map->GetText())
        source += text;
    source += '\0';
    const TiXmlElement* background = level->FirstChildElement("background");
    for (const char* name : {"sprite", "red", "green", "blue"})
        appendAttribute(source, background, name);
}

void readLevelContent(const TiXmlElement* level, LevelContent& content) {
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
            content.cells[row][column] =
                isFrameCell(row, column) ? CellContent{BrickKind::Pipe, 1} : CellContent{};
    content.laid = LaidLevel();
    content.backgroundImage.clear();
    if (level == nullptr) {
        for (int index = 0; index < 6; ++index)
            for (int column = 1; column <= kGridColumns - 2; ++column)
                content.cells[kFirstDefaultRow + index][column] = CellContent{kDefaultRows[index], 1};
        content.laid.bricks = 6 * (kGridColumns - 2);
        content.laid.outcome = LevelBuild::NotInFile;
        return;
    }
    const TiXmlElement* map = level->FirstChildElement("tezm");
    if (map == nullptr) {
        content.laid.outcome = LevelBuild::NoMap;
        return;
    }
    content.laid.bricks =
        forEachBrick(map->GetText(), [&](int row, int column, BrickKind kind, std::int32_t hitPoints) {
            content.cells[row][column] = CellContent{kind, hitPoints};
        });
    const LevelBackground background = readLevelBackground(level);
    if (background.missing != nullptr) {
        content.laid.outcome = LevelBuild::NoBackground;
        return;
    }
    content.backgroundImage = background.sprite;
    content.tint = Colour{static_cast<float>(background.red), static_cast<float>(background.green),
                          static_cast<float>(background.blue), 1.0f};
}

// At home, where the last build placed it, with sprites that show its kind and hit points: only a knock
// moves a cell, and it stays knocked until it is home again.
bool atRest(const BrickCell& cell) {
    return !cell.knocked;
}

bool holds(const BrickCell& cell, const CellContent& content) {
    return cell.kind == content.kind &&
           (content.kind == BrickKind::Empty || cell.hitPoints == content.hitPoints);
}

// Lays what the cell is to hold; a cell away from home is placed there first.
void relayCell(BrickGrid& grid, int row, int column, const CellContent& wanted, bool still) {
    BrickCell& cell = grid.at(row, column);
    if (!still)
        placeCellSprites(cell);
    else if (holds(cell, wanted))
        return;
    if (wanted.kind == BrickKind::Empty)
        emptyCell(cell);
    else if (wanted.kind == BrickKind::Pipe)
        showPipe(cell, pipeImage(grid.images, row, column));
    else
        fillCell(cell, wanted.kind, wanted.hitPoints, grid.images);
}

}  // namespace

// The grid as layLevel would leave it, touching only the cells that differ from it: in a grid that only
// builds and play changed, a cell at rest shows what its kind and hit points say, at home, and the frame's
// raised bricks stand in layFrame's order unless one of them moved since.
void relayGrid(BrickGrid& grid, const LevelContent& content) {
    // Inside the frame, row by row: the cells placed again come to the back of the bricks' depth in that
    // order, as in a whole build.
    for (int row = 1; row < kGridRows; ++row)
        for (int column = 1; column < kGridColumns - 1; ++column)
            relayCell(grid, row, column, content.cells[row][column], atRest(grid.at(row, column)));
    // The frame: raised again, all of it, unless each of its bricks stayed raised and at rest since.
    bool frameMoved = false;
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; column += row == 0 ? 1 : kGridColumns - 1) {
            const BrickCell& cell = grid.at(row, column);
            const bool still = atRest(cell);
            frameMoved = frameMoved || !still || cell.brick.depth() != kRaisedBrickDepth;
            relayCell(grid, row, column, content.cells[row][column], still);
        }
    if (frameMoved)
        raiseFrame(grid);
}

void relayBackground(std::vector<pentavel::graphics::Sprite>& background, const LevelContent& content) {
    const pentavel::graphics::SpriteId image =
        pentavel::graphics::lookupSprite(content.backgroundImage.c_str());
    for (pentavel::graphics::Sprite& tile : background) {
        if (image != 0 && tile.sprite() != image)
            tile.setSprite(image);
        if (!(tile.colour() == content.tint))
            tile.setColour(content.tint);
    }
}

bool hasEveryImage(const BrickImages& images) {
    return images.steel != 0 && images.verticalPipe != 0 && images.horizontalPipe != 0 &&
           images.pipeCorner != 0;
}

int readBrickMap(BrickGrid& grid, const char* text) {
    return forEachBrick(text, [&grid](int row, int column, BrickKind kind, std::int32_t hitPoints) {
        fillCell(grid.at(row, column), kind, hitPoints);
    });
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

// A set of many thousand levels shares the places kept rather than holding its levels twice.
constexpr std::uint32_t kKeptPlaces = 1024;

LevelContents::LevelContents() : kept_(kKeptPlaces) {}
LevelContents::~LevelContents() = default;

const LevelContent& LevelContents::of(const TiXmlElement* level, std::uint32_t place) {
    readSource(level, source_);
    std::unique_ptr<LevelContent>& content = kept_[place % kKeptPlaces];
    if (content == nullptr || content->source != source_) {
        if (content == nullptr)
            content = std::make_unique<LevelContent>();
        readLevelContent(level, *content);
        content->source = source_;
    }
    return *content;
}

}  // namespace tezmola
