// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The level file and the building of one level into the brick grid.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/signal.h"
#include "engine/graphics/sprite.h"
#include "game/field/brick_grid.h"

class TiXmlDocument;
class TiXmlElement;

namespace tezmola {

constexpr char kLevelFileName[] = "level.xml";
constexpr int kLastMapRow = 18;

// Loads the level file (by name on the search path) into the document and counts its "level" elements.
// False on a missing or malformed file ("Cannot read level file!"); the document then holds the error.
bool readLevelFile(TiXmlDocument& document, std::int32_t& levelCount, const char* name = kLevelFileName);
// The number of top-level "level" elements of a level file's document.
std::int32_t countLevels(const TiXmlDocument& document);
// Once: empties every cell, places its sprites at home, lays the frame. A knocked cell springs back on
// cellAnimation (its slot tracked by tracker) until it is home again.
void setUpGrid(BrickGrid& grid, pentavel::Signal<float>& cellAnimation, pentavel::ScopedTracker& tracker);
// Once: the 99 background tiles, without an image until a level names one.
void makeBackground(std::vector<pentavel::graphics::Sprite>& background);
// What building a level met. The game logs every outcome but Built as an error and plays on.
enum class LevelBuild {
    Built,
    NotInFile,     // "Cannot load in level %d": the default layout is played
    NoMap,         // "Level %d is malformed": no "tezm" element, the frame alone is laid
    NoBackground,  // "Level %d is malformed": the map is laid, nothing else changes
};

struct LevelContent;

// What building each level of a set lays, by the level's place in the set, so that building it again reads
// neither its map nor its background: a game builds the same levels again and again (they repeat after the
// last, the cheat keys step back and forth, a level with nothing to clear is left at once). A level's
// content is taken again only while its element reads as it did.
class LevelContents {
public:
    LevelContents();
    ~LevelContents();
    LevelContents(const LevelContents&) = delete;
    LevelContents& operator=(const LevelContents&) = delete;

    // The content of the level (null: none) at that place, from 0.
    const LevelContent& of(const TiXmlElement* level, std::uint32_t place);

private:
    std::vector<std::unique_ptr<LevelContent>> kept_;  // by place, a set of more sharing them
    std::string source_;
};

// The "level" element that level number n selects from a document of levelCount levels, levels repeating
// after the last; null when the document holds none.
const TiXmlElement* findLevel(const TiXmlDocument& document, std::int32_t levelCount, std::uint32_t number);

// What laying a level put into the grid.
struct LaidLevel {
    LevelBuild outcome = LevelBuild::Built;
    std::int32_t bricks = 0;  // colour bricks to clear
};

// What a build leaves in a cell.
struct CellContent {
    BrickKind kind = BrickKind::Empty;
    std::int32_t hitPoints = 0;
};

// What a build of a level lays, before a sprite is touched, and what it was read from.
struct LevelContent {
    std::string source;  // what the build read of the level: see readSource
    LaidLevel laid;
    CellContent cells[kGridRows][kGridColumns];
    std::string backgroundImage;  // with the tint, when the outcome is Built
    pentavel::graphics::Colour tint;
};

// The grid as layLevel would leave it, touching only the cells that differ from it.
void relayGrid(BrickGrid& grid, const LevelContent& content);
// The background tiles with the content's image and tint, each changed only where it differs.
void relayBackground(std::vector<pentavel::graphics::Sprite>& background, const LevelContent& content);
// True when the sheets hold the steel and pipe images: only then is a build relaid from a content.
bool hasEveryImage(const BrickImages& images);
// Lays a level element into the grid and tints the background tiles with its background, as a level build
// does; a null level lays the default layout. Logs nothing: the outcome tells what was amiss.
LaidLevel layLevel(BrickGrid& grid, std::vector<pentavel::graphics::Sprite>& background,
                   const TiXmlElement* level);

// A level's "background" element as the game reads it.
struct LevelBackground {
    const char* missing = nullptr;  // what it lacks: "element", "sprite", "red", "green" or "blue"
    const char* sprite = nullptr;
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
};
LevelBackground readLevelBackground(const TiXmlElement* level);

// What a level element says about itself in its attributes: imported and edited sets carry them.
struct LevelNotes {
    std::string title;    // UTF-8; empty: none
    std::string author;   // UTF-8; empty: none
    bool proven = false;  // "proven" is "yes": the level checker's autopilot cleared it
};
LevelNotes readLevelNotes(const TiXmlElement* level);

// One two-character cell code of a brick map.
struct MapCode {
    int row = 0;
    int column = 0;
    char letter = 0;
    char second = 0;
    std::size_t at = 0;  // index of the letter in the text
};

// Walks a brick map as the game lays it: two-character codes fill rows 0..18 sixteen to a row, and a
// character that begins no code is skipped alone (white space and line breaks among them).
class BrickMapReader {
public:
    explicit BrickMapReader(const char* text);
    // The next code; false at the end of the text, after row 18, or at a code the text cuts short.
    bool next(MapCode& code);
    // Index of the first character not read.
    std::size_t position() const { return index_; }
    // True once the map has filled row 18 (the rest of the text is never read).
    bool full() const { return row_ > kLastMapRow; }

private:
    const char* text_;
    std::size_t length_;
    std::size_t index_ = 0;
    int row_ = 0;
    int column_ = 0;
};
// Lays a brick map into rows 0..18 of the grid; returns the number of colour bricks laid.
int readBrickMap(BrickGrid& grid, const char* text);

}  // namespace tezmola
