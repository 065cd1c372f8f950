// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Proving imported levels with the level checker's autopilot, on every core: the engine runs on one
// thread and its signals are module-wide objects, so each prover is a process of its own (fork), with its
// own file system and game, fed level numbers through a pipe.

#include <cstdint>
#include <functional>
#include <string>

#include "game/checks/level_check.h"

namespace tezmola {
namespace import {

struct ProofResult {
    LevelVerdict verdict = LevelVerdict::NotProven;
    std::string lines;    // the checker's line for the level, then its notes, each ending in a line feed
    bool failed = false;  // no proof was made: the prover could not start, or ended
};

using ProofReport = std::function<void(std::uint32_t number, const ProofResult& result)>;

// Proves levels 1..count of the level file text in `provers` processes, each starting the game's rules
// from the data beside the program (programPath, as argv[0]). Calls report once per level, in level order,
// as soon as that level and every one before it are done.
void proveLevels(const std::string& levelFile, std::uint32_t count, int provers, const char* programPath,
                 const ProofReport& report);

}  // namespace import
}  // namespace tezmola
