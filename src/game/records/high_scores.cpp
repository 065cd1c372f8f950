// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/records/high_scores.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>

namespace tezmola {

namespace {

const char* const kDefaultName = "PLAYER";

std::string trimmedName(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Bytes of the UTF-8 sequence that starts with this byte; 1 for a stray continuation byte.
std::size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    if (lead >= 0xE0)
        return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

bool sameEntry(const HighScore& left, const HighScore& right) {
    return left.score == right.score && left.level == right.level && left.date == right.date &&
           left.name == right.name;
}

}  // namespace

int insertHighScore(std::vector<HighScore>& table, const HighScore& entry) {
    std::size_t index = 0;
    while (index < table.size() && table[index].score >= entry.score)
        ++index;
    if (index >= kHighScoreCount)
        return -1;
    table.insert(table.begin() + static_cast<std::ptrdiff_t>(index), entry);
    if (table.size() > kHighScoreCount)
        table.resize(kHighScoreCount);
    return static_cast<int>(index);
}

int findHighScore(const std::vector<HighScore>& table, const HighScore& entry) {
    for (std::size_t index = table.size(); index > 0; --index) {
        if (sameEntry(table[index - 1], entry))
            return static_cast<int>(index - 1);
    }
    return -1;
}

bool mergeHighScores(std::vector<HighScore>& table, const std::vector<HighScore>& entries) {
    bool entered = false;
    for (const HighScore& entry : entries) {
        if (insertHighScore(table, entry) >= 0)
            entered = true;
    }
    return entered;
}

bool mayEnterHighScores(bool cheated, bool gameOver, std::int32_t score) {
    return !cheated && (gameOver || score > 0);
}

std::string nameFromPasswordEntry(const char* fullName, const char* login) {
    if (fullName != nullptr) {
        const std::string full = fullName;
        std::string beforeComma = trimmedName(full.substr(0, full.find(',')));
        if (!beforeComma.empty())
            return beforeComma;
    }
    if (login != nullptr && !trimmedName(login).empty())
        return trimmedName(login);
    return kDefaultName;
}

std::string playerName() {
    const passwd* entry = getpwuid(getuid());
    if (entry == nullptr)
        return kDefaultName;
    return nameFromPasswordEntry(entry->pw_gecos, entry->pw_name);
}

std::string fitName(const std::string& name, const CanDraw& canDraw) {
    std::string shown;
    std::size_t characters = 0;
    std::size_t at = 0;
    while (at < name.size() && characters < kMaxNameLength) {
        const unsigned char lead = static_cast<unsigned char>(name[at]);
        std::size_t length = lead < 0x80 ? 1 : sequenceLength(lead);
        // A sequence cut short ends at the first byte that does not continue it.
        for (std::size_t next = 1; next < length; ++next) {
            if (at + next >= name.size() || !isContinuation(static_cast<unsigned char>(name[at + next]))) {
                length = next;
                break;
            }
        }
        const unsigned char upper =
            lead >= 'a' && lead <= 'z' ? static_cast<unsigned char>(lead - 'a' + 'A') : lead;
        shown += length == 1 && canDraw(upper) ? static_cast<char>(upper) : '?';
        at += length;
        ++characters;
    }
    return shown.empty() ? kDefaultName : shown;
}

std::string todaysDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr)
        return "1970-01-01";
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

bool isIsoDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (std::size_t index : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u}) {
        if (text[index] < '0' || text[index] > '9')
            return false;
    }
    const int month = (text[5] - '0') * 10 + (text[6] - '0');
    const int day = (text[8] - '0') * 10 + (text[9] - '0');
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

}  // namespace tezmola
