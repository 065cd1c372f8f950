// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/checks/replay_check.h"

#include <tinyxml.h>

#include <memory>

#include "engine/file/replace_file.h"
#include "game/field/level.h"
#include "game/play/game_commands.h"
#include "game/play/game_step.h"
#include "game/play/game_structure.h"
#include "game/records/shelf.h"

namespace tezmola {

std::string replayRefusal(const Replay& replay, const TiXmlDocument& levels) {
    if (replay.rulesVersion != kRulesVersion)
        return "recorded under rules version " + std::to_string(replay.rulesVersion) +
               "; this game plays version " + std::to_string(kRulesVersion);
    if (levelSetDigest(levels) != replay.setDigest)
        return "the level set " + replay.setName + " has changed since the game was recorded";
    if (replay.record.startingLevel < 1 ||
        replay.record.startingLevel > static_cast<std::uint32_t>(countLevels(levels)))
        return "damaged: it starts on a level the set does not have";
    return "";
}

ReplayCheck checkReplay(const Replay& replay, const TiXmlDocument& levels) {
    ReplayCheck check;
    check.reason = replayRefusal(replay, levels);
    if (!check.reason.empty())
        return check;
    auto game = std::make_unique<GameStructure>();
    game->levelDocument = levels;
    initialiseWithLevels(*game, nullptr);
    RecordedRun(*game, replay.record).runToEnd();
    check.reached = resultOf(*game);
    check.verdict = check.reached == replay.claim ? ReplayVerdict::Matches : ReplayVerdict::Differs;
    return check;
}

bool readReplayFile(const std::string& path, Replay& replay, std::string& reason) {
    std::string bytes;
    std::string why;
    if (pentavel::file::readWholeFile(path, bytes, why, kMaxReplayFileSize) !=
        pentavel::file::ReadResult::Read) {
        reason = "it cannot be read (" + why + ")";
        return false;
    }
    return readReplay(bytes, replay, reason);
}

bool findReplaySet(const Replay& replay, TiXmlDocument& levels, std::string& reason, ShelfSet* found) {
    const std::string& name = replay.setName;
    ShelfSet set;
    if (name.find('/') != std::string::npos) {
        set = outsideSet(name);
    } else {
        const std::vector<ShelfSet> sets = listShelf();
        const int index = findSet(sets, name);
        if (index < 0) {
            reason = "the level set " + name + " is missing";
            return false;
        }
        set = sets[static_cast<std::size_t>(index)];
    }
    std::string why;
    if (!readSet(set, levels, why)) {
        reason = "the level set " + name + " cannot be read: " + why;
        return false;
    }
    if (found != nullptr)
        *found = set;
    return true;
}

namespace {

std::string describeResult(const GameResult& result) {
    return "score " + std::to_string(result.score) + ", level " + std::to_string(result.level) + ", " +
           std::to_string(result.balls) + (result.balls == 1 ? " ball" : " balls");
}

}  // namespace

int checkReplayFiles(const std::vector<std::string>& files, std::FILE* out) {
    int status = 0;
    for (const std::string& file : files) {
        Replay replay;
        TiXmlDocument levels;
        ReplayCheck check;
        if (readReplayFile(file, replay, check.reason) && findReplaySet(replay, levels, check.reason))
            check = checkReplay(replay, levels);
        std::string line = file + ": ";
        switch (check.verdict) {
            case ReplayVerdict::Matches:
                line += describeResult(check.reached) + ": as claimed";
                break;
            case ReplayVerdict::Differs:
                line +=
                    describeResult(check.reached) + ": NOT as claimed (" + describeResult(replay.claim) + ")";
                break;
            case ReplayVerdict::Refused:
                line += "cannot be played: " + check.reason;
                break;
        }
        std::fprintf(out, "%s\n", line.c_str());
        if (check.verdict != ReplayVerdict::Matches)
            status = 1;
    }
    return status;
}

}  // namespace tezmola
