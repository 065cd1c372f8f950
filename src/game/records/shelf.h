// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shelf of level sets: Tezmola's own levels, the player's own level.xml, and every set in the folder
// "levels" of the player's folder, one level file each, named after the set. The game only reads it.

#include <cstdint>
#include <string>
#include <vector>

class TiXmlDocument;

namespace tezmola {

constexpr char kShelfFolder[] = "levels";
constexpr char kOwnSetName[] = "Tezmola";
constexpr char kShelfSettingsSection[] = "levels";
constexpr char kShelfSettingsKey[] = "set";

enum class SetSource {
    Own,          // the game's own levels, always first
    PlayersFile,  // level.xml in the player's folder, which overrides the game's own
    Shelf,        // levels/<name>.xml in the player's folder
    Outside,      // a file named on the command line
};

struct ShelfSet {
    std::string name;  // as shown and remembered: the file's name without ".xml"
    std::string file;  // on the search path ("levels/Arcade.xml", "level.xml"); a path for Outside
    SetSource source = SetSource::Shelf;
    std::int64_t modified = 0;  // of the file when listed; a change makes it read again
    // What reading it found.
    bool read = false;
    std::string problem;  // why it cannot be played; empty when it reads
    std::int32_t levels = 0;
    std::int32_t proven = 0;
    std::int32_t best = -1;  // the best score in its table; -1 when the table is empty
};

// What the player's folder shows of a set: a file or a folder of that name.
struct ShelfEntry {
    std::string fileName;
    bool folder = false;
    std::int64_t modified = 0;
};

// "levels/<name>.xml".
std::string shelfFileOfSet(const std::string& name);
// Why a name cannot be a set's on the shelf (empty, hidden, a path, Tezmola's own); empty when it can.
std::string shelfNameProblem(const std::string& name);
// The same for a set about to be written to the shelf, whose file with its backup's and temporary's
// suffixes must fit the file system's names as well; empty when it can be written.
std::string shelfWriteProblem(const std::string& name);
// The high-score table of a set: highscores.xml for Tezmola's own levels and the player's level.xml, as
// always; highScoreFileOfSetName for every other set.
std::string highScoreFileOfSet(const ShelfSet& set);
// The shelf in its order: Tezmola's own first, then the player's level.xml when there is one, then the
// files ending in ".xml" by name, letter case aside. Other files (backups) are not sets; a folder or a bad
// name is shown with the reason.
std::vector<ShelfSet> arrangeShelf(const std::vector<ShelfEntry>& entries, bool playersFile);
// The shelf as the player's folder holds it now.
std::vector<ShelfSet> listShelf();
// Index of the set of that name, or -1.
int findSet(const std::vector<ShelfSet>& sets, const std::string& name);
// A set named on the command line: a file path (with a "/" or ending in ".xml") outside the shelf.
ShelfSet outsideSet(const std::string& path);

// Reads a set's level file into the document; false with the reason set when it cannot be played. Logs
// nothing.
bool readSet(const ShelfSet& set, TiXmlDocument& document, std::string& reason);
// Reads the set and its table for the shelf's line: levels, proven, best score, or the problem.
void summariseSet(ShelfSet& set);

// A line of --list-levels: name, levels, proven and the file, tab-separated, the file's path made of the
// folder that holds it (the player's, or the game's archive for its own levels); a set that cannot be
// played shows "-" for its numbers and its reason after the file.
std::string shelfListingLine(const ShelfSet& set, const std::string& playersFolder,
                             const std::string& ownFile);
// --list-levels: reads the player's folder as the game does, prints the shelf on standard output; 0, or 1
// when the file system cannot start.
int printShelf(const char* programPath);

// The shelf as the game keeps it: listed again whenever it is opened, each set read once (one a frame in
// advance, so that opening it costs no reading) and again when its file changes.
class Shelf {
public:
    void refresh();
    // Reads the next set not yet read; false when all are.
    bool readAhead();
    std::vector<ShelfSet>& sets() { return sets_; }
    const std::vector<ShelfSet>& sets() const { return sets_; }

private:
    std::vector<ShelfSet> sets_;
    bool listed_ = false;
};

}  // namespace tezmola
