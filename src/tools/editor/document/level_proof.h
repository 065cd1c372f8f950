// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the editor knows of a level's proof, kept with the set by the content proven, whoever proved it:
// the autopilot on screen, the checker in the background, or a record saved with the level.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "game/checks/level_check.h"
#include "game/records/level_set.h"
#include "game/records/proof_record.h"

namespace tezmola {
namespace editor {

// The checker's word on one level.
struct LevelProof {
    LevelVerdict verdict = LevelVerdict::NotProven;
    std::string result;              // the checker's verdict: "cleared in 42.0 s simulated with 0 balls lost"
    std::vector<std::string> notes;  // its errors and warnings, "warning: ..." or "error: ..."
};

// The proofs of a set, by the content of the level proven (proofKey).
using LevelProofs = std::unordered_map<std::uint64_t, LevelProof>;

// A level's content as a key for its proof: its map and background (its comment is no part of it).
inline std::uint64_t proofKey(const LevelDraft& level) {
    return levelContent(level);
}

}  // namespace editor
}  // namespace tezmola
