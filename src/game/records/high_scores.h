// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table of the ten best games and its rules: order, ties, the cut at ten, which games may enter, and
// the player's name as the game's font can show it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tezmola {

constexpr std::size_t kHighScoreCount = 10;
constexpr std::size_t kMaxNameLength = 12;  // characters shown

// One finished game.
struct HighScore {
    std::int32_t score = 0;   // never negative
    std::uint32_t level = 1;  // the level reached, from 1
    std::string date;         // ISO 8601, "YYYY-MM-DD"
    std::string name;         // as shown: upper case, at most kMaxNameLength characters
    std::string replay;       // the game's replay in the player's folder "replays"; empty when none is kept
};

// True when a character code has a glyph of its own in the game's font.
using CanDraw = std::function<bool(unsigned char)>;

// Puts the entry below every entry with the same or a higher score (so the older of two equal scores stays
// above) and cuts the table at kHighScoreCount. Returns the entry's index, or -1 when it fell off the end.
int insertHighScore(std::vector<HighScore>& table, const HighScore& entry);
// Enters a copy's unsaved entries, as insertHighScore does, into the table just read from the file. An
// unsaved entry is in no file yet (a copy forgets an entry only once the file holding it has replaced the
// old one), so an equal row in the table is another game, of another copy or of this one. True when one
// of them entered.
bool mergeHighScores(std::vector<HighScore>& table, const std::vector<HighScore>& entries);
// The index of the last row equal to that entry (a new entry goes below its equals), or -1.
int findHighScore(const std::vector<HighScore>& table, const HighScore& entry);

// Whether a game that ends may enter the table: never after a cheat key; at "GAME OVER" whatever its
// score; when left before that (new game, quitting) only with a score above 0.
bool mayEnterHighScores(bool cheated, bool gameOver, std::int32_t score);

// The name from a password-database entry: the full name up to the first comma, else the login name, else
// "PLAYER" (surrounding blanks ignored; either argument may be null).
std::string nameFromPasswordEntry(const char* fullName, const char* login);
// nameFromPasswordEntry for the user running the game.
std::string playerName();
// The name in upper case, cut to kMaxNameLength characters; a character the font cannot draw (a whole UTF-8
// sequence counting as one) becomes "?". An empty name becomes "PLAYER".
std::string fitName(const std::string& name, const CanDraw& canDraw);

// Today's local date as "YYYY-MM-DD".
std::string todaysDate();
// True for a well-formed "YYYY-MM-DD" with a month from 01 to 12 and a day from 01 to 31.
bool isIsoDate(const std::string& text);

}  // namespace tezmola
