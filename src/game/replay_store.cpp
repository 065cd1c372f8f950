// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/replay_store.h"

#include <algorithm>
#include <cstdint>
#include <system_error>
#include <vector>

#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/file/replace_file.h"
#include "game/game_structure.h"
#include "game/high_score_file.h"
#include "game/high_scores.h"
#include "game/replay_file.h"

namespace tezmola {

namespace {

const char kPrefix[] = "game-";
const char kSuffix[] = ".tzr";
constexpr std::size_t kPrefixSize = sizeof kPrefix - 1;
constexpr std::size_t kSuffixSize = sizeof kSuffix - 1;
constexpr std::size_t kMaxDigits = 9;  // far beyond any player's games, and no overflow
constexpr std::uint32_t kLastNumber = 999999999;
constexpr std::size_t kMaxTableSize = std::size_t{1} << 20;  // far beyond ten entries

std::uint32_t numberOf(const std::string& name) {
    std::uint32_t number = 0;
    for (std::size_t at = kPrefixSize; at + kSuffixSize < name.size(); ++at)
        number = number * 10 + static_cast<std::uint32_t>(name[at] - '0');
    return number;
}

// The replays of the folder by their numbers, newest first.
std::vector<std::uint32_t> replayNumbers(const std::filesystem::path& folder) {
    std::vector<std::uint32_t> numbers;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (isReplayName(name))
            numbers.push_back(numberOf(name));
    }
    std::sort(numbers.rbegin(), numbers.rend());
    return numbers;
}

std::string replayName(std::uint32_t number) {
    return kPrefix + std::to_string(number) + kSuffix;
}

// The tables of every set, and the copies of them kept aside (damaged, backed up): each holds on to its
// replays.
bool isTableFile(const std::string& name) {
    const std::string table = kHighScoreFileName;
    return name.compare(0, table.size() - 4, table, 0, table.size() - 4) == 0;  // "highscores"
}

// Read from the text rather than the entries: a table that does not read whole keeps its replays too.
void addReferences(const std::string& text, std::set<std::string>& names) {
    const std::string mark = "replay=\"";
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 1)) {
        const std::size_t start = at + mark.size();
        const std::size_t end = text.find('"', start);
        if (end == std::string::npos)
            return;
        names.insert(text.substr(start, end - start));
    }
}

std::filesystem::path replayFolder() {
    return std::filesystem::path(pentavel::file::writeDirectory()) / kReplayFolder;
}

}  // namespace

bool isReplayName(const std::string& name) {
    if (name.size() <= kPrefixSize + kSuffixSize || name.size() > kPrefixSize + kMaxDigits + kSuffixSize ||
        name.compare(0, kPrefixSize, kPrefix) != 0 ||
        name.compare(name.size() - kSuffixSize, kSuffixSize, kSuffix) != 0 || name[kPrefixSize] == '0')
        return false;
    for (std::size_t at = kPrefixSize; at + kSuffixSize < name.size(); ++at) {
        if (name[at] < '0' || name[at] > '9')
            return false;
    }
    return true;
}

std::string keepReplay(const std::filesystem::path& folder, const std::string& bytes, std::string& reason) {
    std::error_code error;
    std::filesystem::create_directory(folder, error);
    if (error) {
        reason = error.message();
        return "";
    }
    const std::vector<std::uint32_t> numbers = replayNumbers(folder);
    // A name found taken was taken meanwhile, by another copy of the game: the next one is tried.
    for (std::uint32_t number = numbers.empty() ? 1 : numbers.front() + 1; number <= kLastNumber; ++number) {
        std::string name = replayName(number);
        bool taken = false;
        if (pentavel::file::createFile(folder / name, bytes, taken, reason))
            return name;
        if (!taken)
            return "";
    }
    reason = "no free name";
    return "";
}

void pruneReplays(const std::filesystem::path& folder, const std::set<std::string>& referenced) {
    std::vector<std::uint32_t> numbers = replayNumbers(folder);
    for (; numbers.size() > kKeptGames; numbers.pop_back()) {
        const std::string name = replayName(numbers.back());
        std::error_code error;
        if (referenced.count(name) == 0)
            std::filesystem::remove(folder / name, error);
    }
}

std::set<std::string> referencedReplays() {
    std::set<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(pentavel::file::writeDirectory(), error), end;
         !error && entry != end; entry.increment(error)) {
        std::string text;
        std::string reason;
        if (isTableFile(entry->path().filename().string()) &&
            pentavel::file::readWholeFile(entry->path(), text, reason, kMaxTableSize) ==
                pentavel::file::ReadResult::Read)
            addReferences(text, names);
    }
    return names;
}

std::string keepReplayOfGame(GameStructure& game, bool gameOver) {
    // A folder that cannot be written was told at start: nothing is saved. A run of practice plays a file of
    // the moment (the level editor's test play), which no replay could find again.
    if (!game.recording || !game.record.complete || !(gameOver || game.score > 0) || game.onlyPractice ||
        pentavel::file::isUserDirectoryUnwritable() || pentavel::file::writeDirectory().empty())
        return "";
    Replay replay;
    const ShelfSet& set = game.levelSet;
    std::error_code error;
    // A file from outside is found again by its path, wherever the checker runs.
    replay.setName =
        set.source == SetSource::Outside ? std::filesystem::absolute(set.file, error).string() : set.name;
    replay.setDigest = levelSetDigest(game.levelDocument);
    replay.player = game.highScores.playerName();
    replay.date = todaysDate();
    replay.record = game.record;
    replay.claim = resultOf(game);
    std::string reason;
    std::string name = keepReplay(replayFolder(), writeReplay(replay), reason);
    if (name.empty() && !game.replayLossTold) {
        game.replayLossTold = true;
        pentavel::logWarning("The replay of the game could not be saved in %s (%s): it is lost",
                             kReplayFolder, reason.c_str());
    }
    return name;
}

void pruneReplaysOfGame(const GameStructure& game) {
    if (!game.recording || pentavel::file::writeDirectory().empty())
        return;
    std::set<std::string> referenced = referencedReplays();
    // Entries waiting for their table to be written refer to theirs too.
    for (const HighScore& row : game.highScores.entries())
        referenced.insert(row.replay);
    pruneReplays(replayFolder(), referenced);
}

}  // namespace tezmola
