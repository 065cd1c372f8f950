// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/records/high_score_file.h"

#include <tinyxml.h>

#include <cerrno>
#include <cstdlib>

#include "engine/file/file_name.h"
#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/file/xml_document.h"
#include "game/records/replay_store.h"

namespace tezmola {

namespace {

const char* const kRootElement = "highscores";
const char* const kEntryElement = "entry";

// Plain decimal digits (no sign, no blanks, nothing after them) up to the given maximum.
bool readCount(const char* text, unsigned long long maximum, unsigned long long& value) {
    if (text == nullptr || *text < '0' || *text > '9')
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && *end == '\0' && value <= maximum;
}

bool readEntry(const TiXmlElement& element, HighScore& entry) {
    unsigned long long score = 0;
    unsigned long long level = 0;
    const char* date = element.Attribute("date");
    const char* name = element.Attribute("name");
    if (!readCount(element.Attribute("score"), INT32_MAX, score) ||
        !readCount(element.Attribute("level"), UINT32_MAX, level) || level == 0 || date == nullptr ||
        !isIsoDate(date) || name == nullptr || *name == '\0')
        return false;
    entry.score = static_cast<std::int32_t>(score);
    entry.level = static_cast<std::uint32_t>(level);
    entry.date = date;
    entry.name = name;
    // A replay is a file of the folder of replays, never a path elsewhere; the entry stands without one.
    const char* replay = element.Attribute("replay");
    if (replay != nullptr && isReplayName(replay))
        entry.replay = replay;
    return true;
}

std::vector<HighScore> readEntries(const TiXmlElement& root, const char* fileName, bool report,
                                   bool& reported) {
    std::vector<HighScore> entries;
    int number = 0;
    for (const TiXmlElement* element = root.FirstChildElement(kEntryElement); element != nullptr;
         element = element->NextSiblingElement(kEntryElement)) {
        ++number;
        HighScore entry;
        // Entered one by one like finished games: a hand-edited file may be out of order or too long, and
        // of two equal scores the one written first stays above.
        if (readEntry(*element, entry)) {
            insertHighScore(entries, entry);
        } else if (report) {
            reported = true;
            pentavel::logWarning("...%s: entry %d is incomplete or impossible, it is dropped", fileName,
                                 number);
        }
    }
    return entries;
}

}  // namespace

std::string highScoreFileOfSetName(const std::string& setName) {
    return pentavel::file::fittingFileName("highscores-" + setName, ".xml", pentavel::file::kSaveSuffixBytes);
}

HighScoreFile loadHighScores(const char* fileName, bool report) {
    HighScoreFile file;
    if (!pentavel::file::isInWriteDirectory(fileName))
        return file;
    TiXmlDocument document;
    const TiXmlElement* root = nullptr;
    if (pentavel::file::loadXmlDocument(document, fileName))
        root = document.RootElement();
    if (root == nullptr || root->ValueStr() != kRootElement) {
        if (report) {
            file.writable = pentavel::file::keepBadCopy(fileName);
            file.reported = true;
        }
        return file;
    }
    file.entries = readEntries(*root, fileName, report, file.reported);
    return file;
}

bool saveHighScores(const std::vector<HighScore>& table, const char* fileName) {
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration("1.0", "utf-8", ""));
    auto* root = new TiXmlElement(kRootElement);
    document.LinkEndChild(root);
    for (const HighScore& entry : table) {
        auto* element = new TiXmlElement(kEntryElement);
        element->SetAttribute("score", entry.score);
        element->SetAttribute("level", std::to_string(entry.level));
        element->SetAttribute("date", entry.date);
        element->SetAttribute("name", entry.name);
        if (!entry.replay.empty())
            element->SetAttribute("replay", entry.replay);
        root->LinkEndChild(element);
    }
    std::string reason;
    if (pentavel::file::saveXmlDocument(document, fileName, &reason))
        return true;
    pentavel::logError("Cannot save the high scores to %s!", fileName);
    pentavel::logError("...%s could not be written (%s)", fileName, reason.c_str());
    return false;
}

}  // namespace tezmola
