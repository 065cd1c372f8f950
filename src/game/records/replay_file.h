// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The replay file: a game's record with the set it was played on and the result it claims, in the layout
// that docs/replays.md describes. Reading never trusts the file: every size is bounded before it is used.

#include <cstdint>
#include <string>

#include "game/records/game_record.h"

class TiXmlDocument;

namespace tezmola {

// The layout a replay is written in when one of its texts is longer than 255 bytes; one with only shorter
// texts is written in layout 1, as before that. Both are read.
constexpr std::uint16_t kReplayFormat = 2;
// Raised by every change to the game's rules that changes the result of any game: a replay of another
// rules version is refused rather than played wrongly.
constexpr std::uint16_t kRulesVersion = 1;
constexpr std::size_t kMaxReplayFileSize = std::size_t{8} << 20;
constexpr std::uint32_t kMaxReplaySteps = 12u * 3600u * 200u;  // twelve hours of 5 ms steps

struct Replay {
    std::uint16_t rulesVersion = kRulesVersion;
    std::string setName;          // as the shelf names it, or the path of a set from outside
    std::uint64_t setDigest = 0;  // levelSetDigest of the set played
    std::string player;           // the name of the table's entry
    std::string date;             // the day played, as the table writes it
    GameRecord record;
    GameResult claim;  // the result the game reached
};

// The digest of the levels that a level file holds, as play reads them: their maps and backgrounds (layout,
// comments, titles, authors and proofs aside).
std::uint64_t levelSetDigest(const TiXmlDocument& document);
// The bytes of the replay's file. The record and the texts are written as they are, whole.
std::string writeReplay(const Replay& replay);
// Reads a replay from a file's bytes; false with the reason ("not a replay", "damaged: ...") when they are
// not one this build can read. A replay of another rules version reads: its rulesVersion tells.
bool readReplay(const std::string& bytes, Replay& replay, std::string& reason);

}  // namespace tezmola
