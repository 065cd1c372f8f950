// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The proof of a score: a replay played again without a window, on the levels it names, to the result it
// claims or another.

#include <string>

#include "game/game_record.h"
#include "game/replay_file.h"

class TiXmlDocument;

namespace tezmola {

enum class ReplayVerdict { Matches, Differs, Refused };

struct ReplayCheck {
    ReplayVerdict verdict = ReplayVerdict::Refused;
    GameResult reached;  // when played
    std::string reason;  // when refused
};

// Plays the replay in a game of its own on the levels (the set the replay names, as found now) and compares
// the result with the claim. Refused, with the reason, for another rules version, levels whose digest is
// not the replay's, or a start outside the set.
ReplayCheck checkReplay(const Replay& replay, const TiXmlDocument& levels);

}  // namespace tezmola
