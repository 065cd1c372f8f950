// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's command line: with no option it plays as it always has; the options serve launchers and
// level authors.

#include <cstdint>
#include <string>

namespace tezmola {

constexpr int kUsageError = 2;

struct GameOptions {
    enum class Action { Play, Help, Version, ListLevels, UsageError };
    Action action = Action::Play;
    std::string levels;               // --levels NAME|FILE: that set this time; empty: the remembered one
    std::uint32_t startingLevel = 1;  // --level N
    bool practice = false;            // --practice: no game of this run enters the high scores
    std::string replay;               // --replay FILE: plays that replay, then the game quits
    std::string complaint;            // for UsageError
};

// Reads the arguments (argv[0] is the program). Never prints.
GameOptions readGameOptions(int argc, const char* const argv[]);
// The text of --help.
const char* gameHelp();
// Prints the complaint and the hint to --help on standard error; returns kUsageError.
int reportUsageError(const std::string& complaint);

}  // namespace tezmola
