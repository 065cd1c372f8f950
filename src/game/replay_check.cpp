// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/replay_check.h"

#include <tinyxml.h>

#include <memory>

#include "game/game_structure.h"
#include "game/level.h"

namespace tezmola {

ReplayCheck checkReplay(const Replay& replay, const TiXmlDocument& levels) {
    ReplayCheck check;
    if (replay.rulesVersion != kRulesVersion) {
        check.reason = "recorded under rules version " + std::to_string(replay.rulesVersion) +
                       "; this game plays version " + std::to_string(kRulesVersion);
        return check;
    }
    if (levelSetDigest(levels) != replay.setDigest) {
        check.reason = "the level set " + replay.setName + " has changed since the game was recorded";
        return check;
    }
    if (replay.record.startingLevel < 1 ||
        replay.record.startingLevel > static_cast<std::uint32_t>(countLevels(levels))) {
        check.reason = "damaged: it starts on a level the set does not have";
        return check;
    }
    auto game = std::make_unique<GameStructure>();
    game->levelDocument = levels;
    initialiseReplayGame(*game);
    replayRecord(*game, replay.record);
    check.reached = resultOf(*game);
    check.verdict = check.reached == replay.claim ? ReplayVerdict::Matches : ReplayVerdict::Differs;
    return check;
}

}  // namespace tezmola
