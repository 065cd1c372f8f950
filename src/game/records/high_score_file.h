// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's high-score table on disk: highscores.xml beside settings.xml, one "entry" element per game
// under a "highscores" element, best first.

#include <string>
#include <vector>

#include "game/records/high_scores.h"

namespace tezmola {

constexpr const char* kHighScoreFileName = "highscores.xml";

struct HighScoreFile {
    std::vector<HighScore> entries;  // best first, at most kHighScoreCount
    bool writable = true;            // false when a damaged file could not be kept aside: it stays as it is
    bool reported = false;           // damage or impossible entries were met (and told)
};

// The table of a set other than Tezmola's own: "highscores-<name>.xml", or, for a name too long for a file
// (with the suffix of the file that replaces it), one that fits and keeps the beginning of that name.
std::string highScoreFileOfSetName(const std::string& setName);

// Reads the table from the write directory; the same name in the program folder or an archive does not
// count. A missing file gives an empty table; a damaged one is kept as "<name>.bad" with a warning and gives
// an empty table; entries with impossible values (negative score, level 0, a missing or malformed field)
// are dropped with a warning and the rest kept. With report false (a file read again, whose faults were
// told the first time) nothing is logged and a damaged file is not copied: it gives an empty table.
HighScoreFile loadHighScores(const char* fileName, bool report = true);
// Writes the table into the write directory, to a new file that then replaces the old one. False after an
// error line and one with the reason.
bool saveHighScores(const std::vector<HighScore>& table, const char* fileName);

}  // namespace tezmola
