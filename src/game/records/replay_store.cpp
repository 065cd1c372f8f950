// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/records/replay_store.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/file/replace_file.h"
#include "game/records/high_scores.h"
#include "game/records/replay_file.h"

namespace tezmola {

namespace {

const char kPrefix[] = "game-";
const char kSuffix[] = ".tzr";
constexpr std::size_t kPrefixSize = sizeof kPrefix - 1;
constexpr std::size_t kSuffixSize = sizeof kSuffix - 1;
constexpr std::size_t kMaxDigits = 9;  // far beyond any player's games, and no overflow
constexpr std::uint32_t kLastNumber = 999999999;
constexpr auto kStaleTemporary = std::chrono::hours(1);

std::uint32_t numberOf(const std::string& name) {
    std::uint32_t number = 0;
    for (std::size_t at = kPrefixSize; at + kSuffixSize < name.size(); ++at)
        number = number * 10 + static_cast<std::uint32_t>(name[at] - '0');
    return number;
}

// A replay of the folder, and when it was written.
struct KeptReplay {
    std::uint32_t number = 0;
    std::filesystem::file_time_type written;
};

// The replays of the folder, newest first: numbers may be given out of order (once the highest is taken,
// the lowest free one), so the time each was written orders them; of equal times the higher number is the
// newer.
std::vector<KeptReplay> keptReplays(const std::filesystem::path& folder) {
    std::vector<KeptReplay> replays;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        std::error_code unread;
        if (isReplayName(name))
            replays.push_back(KeptReplay{numberOf(name), entry->last_write_time(unread)});
    }
    std::sort(replays.begin(), replays.end(), [](const KeptReplay& left, const KeptReplay& right) {
        return left.written != right.written ? left.written > right.written : left.number > right.number;
    });
    return replays;
}

// The number after the highest in use while there is one, else the lowest free; 0 when all are taken.
std::uint32_t freeNumber(const std::set<std::uint32_t>& used) {
    if (used.empty())
        return 1;
    if (*used.rbegin() < kLastNumber)
        return *used.rbegin() + 1;
    std::uint32_t number = 1;
    for (auto at = used.begin(); at != used.end() && *at == number; ++at)
        ++number;
    return number <= kLastNumber ? number : 0;
}

std::string replayName(std::uint32_t number) {
    return kPrefix + std::to_string(number) + kSuffix;
}

// A temporary that createFile writes beside a replay: "game-N.tzr.PID.new".
bool isTemporaryName(const std::string& name) {
    const std::size_t suffix = name.find(kSuffix + std::string("."));
    if (suffix == std::string::npos || !isReplayName(name.substr(0, suffix + kSuffixSize)))
        return false;
    const std::string rest = name.substr(suffix + kSuffixSize + 1);
    return rest == std::to_string(std::strtoul(rest.c_str(), nullptr, 10)) + ".new";
}

// A replay is written in seconds: a temporary untouched for longer was left by a writer killed midway, and
// no running copy of the game is writing it.
void removeStaleTemporaries(const std::filesystem::path& folder) {
    const std::filesystem::file_time_type now = std::filesystem::file_time_type::clock::now();
    std::vector<std::filesystem::path> stale;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code unread;
        const std::filesystem::file_time_type written = entry->last_write_time(unread);
        if (!unread && isTemporaryName(entry->path().filename().string()) && now - written > kStaleTemporary)
            stale.push_back(entry->path());
    }
    for (const std::filesystem::path& path : stale)
        std::filesystem::remove(path, error);
}

}  // namespace

std::filesystem::path replayFolder() {
    return std::filesystem::path(pentavel::file::writeDirectory()) / kReplayFolder;
}

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

std::string keepReplay(const std::filesystem::path& folder, const std::string& bytes,
                       const std::set<std::string>& referenced, std::string& reason) {
    std::error_code error;
    std::filesystem::create_directory(folder, error);
    if (error) {
        reason = error.message();
        return "";
    }
    // A name a table still holds is never given again, even with its file gone: the entry would play
    // another game.
    std::set<std::uint32_t> used;
    for (const KeptReplay& replay : keptReplays(folder))
        used.insert(replay.number);
    for (const std::string& name : referenced) {
        if (isReplayName(name))
            used.insert(numberOf(name));
    }
    // A name found taken was taken meanwhile, by another copy of the game: another one is tried.
    for (std::uint32_t number = freeNumber(used); number != 0; number = freeNumber(used)) {
        std::string name = replayName(number);
        bool taken = false;
        if (pentavel::file::createFile(folder / name, bytes, taken, reason))
            return name;
        if (!taken)
            return "";
        used.insert(number);
    }
    reason = "no free name";
    return "";
}

void pruneReplays(const std::filesystem::path& folder, const std::set<std::string>& referenced) {
    for (std::vector<KeptReplay> replays = keptReplays(folder); replays.size() > kKeptGames;
         replays.pop_back()) {
        const std::string name = replayName(replays.back().number);
        std::error_code error;
        if (referenced.count(name) == 0)
            std::filesystem::remove(folder / name, error);
    }
    removeStaleTemporaries(folder);
}

std::string entryRefusal(const Replay& replay, const HighScore& entry) {
    // Short: the board says it on one line.
    if (replay.player == entry.name && replay.date == entry.date && replay.claim.score == entry.score &&
        replay.claim.level == entry.level)
        return "";
    return "it is the replay of another game";
}

}  // namespace tezmola
