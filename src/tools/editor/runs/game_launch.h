// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Playing the set in the game itself: the editor starts the game as a process of its own, on a copy of
// the set as the author sees it (unsaved changes too), from the level on screen, as practice, and goes
// on while it runs, so that either window may be used.

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace tezmola {
namespace editor {

constexpr char kGameProgram[] = "tezmola";

// The game program: "tezmola" in the editor's own folder (where the two are built and installed), else
// the first that can be run in the folders of the search path (a PATH value; an empty entry is no
// folder); empty when there is none.
std::string findGameProgram(const std::string& ownFolder, const std::string& searchPath);

// The command line (the program first) that plays the level file from the level numbered (1 for the
// first) as practice: no game of that run enters the high scores.
std::vector<std::string> gameArguments(const std::string& program, const std::string& levelFile,
                                       std::size_t level);

// How the game ended, in the editor's words, from its wait status; empty when it ended normally.
std::string gameEnding(int status);

class GameLaunch {
public:
    GameLaunch() = default;
    // The copy of the set goes; a game still running plays on, for it read the set when it started.
    ~GameLaunch();
    GameLaunch(const GameLaunch&) = delete;
    GameLaunch& operator=(const GameLaunch&) = delete;

    // Writes the set's text into a private temporary folder, named after the set (its file name), and
    // starts the program on it from that level. False, with the reason, when it cannot start.
    bool start(const std::string& program, const std::string& setText, const std::string& setName,
               std::size_t level, std::string& reason);
    // Without waiting: true while the game runs. Once it has ended, the copy goes and ending says how
    // (empty: normally).
    bool poll(std::string& ending);
    bool running() const { return pid_ > 0; }
    // The copy the game plays; empty when there is none.
    const std::string& levelFile() const { return levelFile_; }

private:
    void removeCopy();

    pid_t pid_ = -1;
    std::string folder_;
    std::string levelFile_;
};

}  // namespace editor
}  // namespace tezmola
