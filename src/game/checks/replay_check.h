// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The proof of a score: a replay played again without a window, on the levels it names, to the result it
// claims or another.

#include <cstdio>
#include <string>
#include <vector>

#include "game/records/game_record.h"
#include "game/records/replay_file.h"

class TiXmlDocument;

namespace tezmola {

struct ShelfSet;

enum class ReplayVerdict { Matches, Differs, Refused };

struct ReplayCheck {
    ReplayVerdict verdict = ReplayVerdict::Refused;
    GameResult reached;  // when played
    std::string reason;  // when refused
};

// Plays the replay in a game of its own on the levels (the set the replay names, as found now) and compares
// the result with the claim. Refused, with the reason, for another rules version, levels whose digest is
// not the replay's, or a start outside the set. No other game may be connected to the engine's signals
// meanwhile: it would take the same steps and capsule draws.
ReplayCheck checkReplay(const Replay& replay, const TiXmlDocument& levels);
// Why the replay cannot be played on the levels (the refusals of checkReplay), or empty when it can.
std::string replayRefusal(const Replay& replay, const TiXmlDocument& levels);
// Reads a replay file, never further than just past the largest a replay may be; false with the reason.
bool readReplayFile(const std::string& path, Replay& replay, std::string& reason);
// The levels of the set the replay names: a file from outside by its path, else the set of that name on the
// shelf of the search path as it is set up. False with the reason when the set is missing or unreadable.
// The set found is given in `found` when one is asked for.
bool findReplaySet(const Replay& replay, TiXmlDocument& levels, std::string& reason,
                   ShelfSet* found = nullptr);
// Plays each replay file and prints a line per file: what it reached and whether that is its claim, or why
// it cannot be played. 0 when every one reached its claim, 1 otherwise.
int checkReplayFiles(const std::vector<std::string>& files, std::FILE* out);

}  // namespace tezmola
