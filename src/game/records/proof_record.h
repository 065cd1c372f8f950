// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A level's proof kept in the level file beside it, as a "proof" element inside the level: the checker's
// result and the content it was proven on. Play never reads it; the editor, the checker and the shelf take
// the result for as long as the level's bricks, background and tint are those it names, and the first two
// prove it again once they are not.

#include <cstdint>
#include <string>
#include <vector>

#include "game/records/level_set.h"
#include "game/records/level_verdict.h"

class TiXmlDocument;

namespace tezmola {

struct ProofRecord {
    std::uint64_t content = 0;  // levelContent of the level proven
    std::string result;         // "cleared in 14.2 s simulated with 0 balls lost"; empty: no record
};

// What a proof depends on, as a number that stays the same from run to run and machine to machine: the
// map, the background's name and its tint (the comment is no part of it).
std::uint64_t levelContent(const LevelDraft& level);

// The record of each level element at the top of the document, in order; a level without a readable
// record gets an empty one.
std::vector<ProofRecord> readProofRecords(const TiXmlDocument& document);

// True when the record holds a result for exactly this content.
bool isCurrent(const ProofRecord& record, const LevelDraft& level);

// The lines that keep a record inside a level element; nothing for a record without a result.
std::string proofRecordText(const ProofRecord& record);

// The verdict a result of the autopilot names: cleared, or not proven.
LevelVerdict playVerdict(const std::string& result);

// The levels of the document proven cleared: by the importer's mark, or by a record that is current for the
// level as it stands and names a clearance. Only a level with a record and no mark is read whole.
std::int32_t countProvenLevels(const TiXmlDocument& document);

}  // namespace tezmola
