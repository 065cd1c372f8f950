// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checks a level file for its author: builds every level as the game does, says in plain words what the
// game would log and what it would accept silently, and proves each level can be cleared by playing it
// with the autopilot.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "game/checks/autopilot.h"
#include "game/records/level_verdict.h"

class TiXmlDocument;

namespace tezmola {

class GameStructure;

constexpr float kProofSeconds = 600.0f;  // simulated play the autopilot gets for one level

struct LevelNote {
    bool error = false;  // the game would log it; otherwise it accepts it silently
    int line = 0;        // in the level file; 0 when no line applies
    std::string text;
};

struct LevelReport {
    std::uint32_t number = 0;
    int bricks = 0;  // colour bricks to clear
    int steel = 0;
    LevelVerdict verdict = LevelVerdict::Malformed;
    Playthrough play;
    std::vector<LevelNote> notes;
};

// Builds level `number` of the level file the game structure has read, exactly as the game does, and
// notes what an author should know; a well-formed level with bricks to clear is then played by the
// autopilot from a fresh serve, with every spare ball and a fixed capsule draw, for at most maxSeconds.
LevelReport checkLevel(GameStructure& game, std::uint32_t number, float maxSeconds = kProofSeconds);
// checkLevel in two halves, for a play that is shown: builds and notes the level into report, true when it
// is then to be played (from the fresh serve it was built with); endLevelCheck gives the play's verdict.
bool beginLevelCheck(GameStructure& game, std::uint32_t number, LevelReport& report);
void endLevelCheck(LevelReport& report, const Playthrough& play);

// The text that printf would print (at most 511 bytes), for lines worded as the checker words them.
std::string formatLine(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

// "Level 3: 40 bricks to clear, 2 steel: cleared in 35.5 s simulated with 1 ball lost".
std::string describeLevel(const LevelReport& report);

// Checks every level of the file that the game structure has read (named `file` in the report) and
// prints a line per level with its notes, then a summary. True when there is at least one level and
// every level is well formed and cleared. With recorded, a level to be played whose entry there (by its
// index) holds a result takes that result instead of a play, and the summary says how many did.
bool checkLevelFile(GameStructure& game, const std::string& file, std::FILE* out,
                    const std::vector<std::string>* recorded = nullptr);
// Prints why the game could not read the file ("Cannot read level file!" with the parser's line and
// column), from the error the level document holds. text is the file's text when known: a parser that ran
// off its end names no place, and the line where the text ends is named instead.
void reportUnreadableFile(const TiXmlDocument& document, const std::string& file, std::FILE* out,
                          const std::string* text = nullptr);

}  // namespace tezmola
