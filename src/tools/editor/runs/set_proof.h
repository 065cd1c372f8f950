// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Proving levels in the background: the level checker runs as a process of its own on a copy of the
// levels, and its lines are read as they come, without waiting, so that the editor stays responsive. (The
// engine runs on one thread and its signals are module-wide objects, so a proof cannot share the editor's
// process while the editor draws.)

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

#include "game/checks/level_check.h"
#include "game/records/level_set.h"
#include "tools/editor/document/level_proof.h"

namespace tezmola {
namespace editor {

// The checker's line for a level, parsed: number and proof; false for any other line.
bool parseLevelLine(const std::string& line, std::size_t& number, LevelProof& proof);

class SetProof {
public:
    SetProof() = default;
    ~SetProof();
    SetProof(const SetProof&) = delete;
    SetProof& operator=(const SetProof&) = delete;

    // Starts the checker (the program at checker) on these levels, written to a private temporary folder.
    // False, with the reason set, when it cannot start.
    bool start(const std::vector<LevelDraft>& levels, const std::string& checker, std::string& reason);
    // Takes what the checker has written so far, without waiting: each level proven since the last call
    // goes to done with its place in the levels given. False once the checker has ended (or never ran).
    bool poll(std::vector<std::pair<std::size_t, LevelProof>>& done);
    // Ends the checker at once.
    void stop();
    bool running() const { return pid_ > 0; }
    std::size_t proven() const { return proven_; }
    std::size_t total() const { return total_; }

private:
    void finish();
    void takeLine(const std::string& line, std::vector<std::pair<std::size_t, LevelProof>>& done);

    pid_t pid_ = -1;
    int output_ = -1;
    std::string folder_;
    std::string pending_;  // a line not yet ended
    std::size_t total_ = 0;
    std::size_t proven_ = 0;
    bool haveLevel_ = false;
    std::size_t number_ = 0;
    LevelProof level_;
};

}  // namespace editor
}  // namespace tezmola
