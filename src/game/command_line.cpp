// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace tezmola {

namespace {

const char kHelp[] =
    "Usage: tezmola [OPTION]...\n"
    "A brick-breaking arcade game. Without options it plays the set of levels chosen last (F3 in the game),\n"
    "or Tezmola's own levels. H in the game shows its keys and capsules.\n"
    "\n"
    "  --levels NAME|FILE  play this set this time: a set on the shelf by name, or a level file (a path\n"
    "                      with a '/' or ending in .xml); the choice remembered stays as it is\n"
    "  --level N           start at level N; a game started past level 1 is practice and never enters\n"
    "                      the high scores\n"
    "  --practice          every game of this run is practice, from any level: none enters the high\n"
    "                      scores (the level editor starts the game so)\n"
    "  --replay FILE       play the recorded game FILE (such as replays/game-N.tzr in the player's\n"
    "                      folder) on the set it names, then stay on its end; Space pauses, Right plays\n"
    "                      4x faster or normal again, Escape quits. A replay that cannot be played is\n"
    "                      told, and the exit status is 1\n"
    "  --list-levels       print the shelf of level sets (name, levels, proven, file) and exit\n"
    "  --help              show this help and exit\n"
    "  --version           show the version and exit\n"
    "\n"
    "Exit status: 0 when the game ended normally, 1 when it could not start, 2 for a usage error.\n";

GameOptions complain(const std::string& complaint) {
    GameOptions options;
    options.action = GameOptions::Action::UsageError;
    options.complaint = complaint;
    return options;
}

// A level number from 1 on, written in decimal digits alone.
bool readLevelNumber(const std::string& text, std::uint32_t& number) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long value = std::strtoul(text.c_str(), nullptr, 10);
    if (value < 1)
        return false;
    number = static_cast<std::uint32_t>(value);
    return true;
}

}  // namespace

GameOptions readGameOptions(int argc, const char* const argv[]) {
    GameOptions options;
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        if (argument == "--help" || argument == "--version") {
            options.action = argument == "--help" ? GameOptions::Action::Help : GameOptions::Action::Version;
            return options;
        }
        if (argument == "--list-levels") {
            options.action = GameOptions::Action::ListLevels;
        } else if (argument == "--practice") {
            options.practice = true;
        } else if (argument == "--replay") {
            if (index + 1 >= argc || argv[index + 1][0] == '\0')
                return complain("--replay needs a replay file");
            options.replay = argv[++index];
        } else if (argument == "--levels" || argument == "--level") {
            if (index + 1 >= argc || argv[index + 1][0] == '\0')
                return complain(argument + " needs " + (argument == "--levels" ? "a set" : "a level number"));
            const std::string value = argv[++index];
            if (argument == "--levels")
                options.levels = value;
            else if (!readLevelNumber(value, options.startingLevel))
                return complain("--level needs a level number from 1: " + value);
        } else if (!argument.empty() && argument[0] == '-') {
            return complain("unknown option " + argument);
        } else {
            return complain("unexpected argument " + argument);
        }
    }
    // A replay names its own set and its own first level.
    if (!options.replay.empty() && (!options.levels.empty() || options.startingLevel != 1))
        return complain("--replay plays the set and level the replay names: it takes no --levels or --level");
    return options;
}

const char* gameHelp() {
    return kHelp;
}

int reportUsageError(const std::string& complaint) {
    std::fprintf(stderr, "tezmola: %s\nTry 'tezmola --help' for more information.\n", complaint.c_str());
    return kUsageError;
}

}  // namespace tezmola
