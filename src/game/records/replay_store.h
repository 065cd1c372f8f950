// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's replays: a file per game in the folder "replays" of the player's folder, named "game-N.tzr"
// with N counting on from the highest number that a file or a table holds (the lowest free one once the
// last number is taken). The high-score tables refer to them by that name.

#include <cstddef>
#include <filesystem>
#include <set>
#include <string>

namespace tezmola {

struct HighScore;
struct Replay;

constexpr const char* kReplayFolder = "replays";
constexpr std::size_t kKeptGames = 10;  // the last games kept whatever their score

// The folder of replays in the player's folder.
std::filesystem::path replayFolder();
// True for a name that keepReplay may have given: "game-N.tzr", N a decimal number without a leading 0.
bool isReplayName(const std::string& name);
// Writes the bytes as a new replay in the folder (made when missing), never over another file, under a name
// that neither a file of the folder nor referenced holds: the number after the highest of those, else the
// lowest free one. The file's name, or empty with the reason set.
std::string keepReplay(const std::filesystem::path& folder, const std::string& bytes,
                       const std::set<std::string>& referenced, std::string& reason);
// Removes the replays of the folder that are neither among the last kKeptGames written nor named in
// referenced, and the temporaries that writers killed midway left beside them. Other files of the folder
// are the player's own and stay.
void pruneReplays(const std::filesystem::path& folder, const std::set<std::string>& referenced);
// Why the replay is not the game of the table's entry that names it (another player, day, score or level),
// or empty when it is.
std::string entryRefusal(const Replay& replay, const HighScore& entry);

}  // namespace tezmola
