// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/records/shelf.h"

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "engine/file/file_name.h"
#include "engine/file/file_system.h"
#include "engine/file/replace_file.h"
#include "engine/file/xml_document.h"
#include "game/field/level.h"
#include "game/records/high_score_file.h"
#include "game/records/proof_record.h"

namespace tezmola {

namespace {

constexpr char kSetExtension[] = ".xml";
constexpr std::size_t kExtensionLength = sizeof kSetExtension - 1;
// A level file is a few dozen kilobytes; the game's reader takes no more than this.
constexpr std::uint64_t kMaxSetSize = 64u << 20;

bool endsWithExtension(const std::string& fileName) {
    return fileName.size() > kExtensionLength &&
           fileName.compare(fileName.size() - kExtensionLength, kExtensionLength, kSetExtension) == 0;
}

std::string folded(const std::string& text) {
    std::string result = text;
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

// Appends the file's bytes to text; false with the reason when it cannot be read.
bool readOutsideFile(const std::string& path, std::string& text, std::string& reason) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        reason = "it is a folder";
        return false;
    }
    // Read no further than past the most a set may hold.
    std::string unread;
    switch (pentavel::file::readWholeFile(path, text, unread, kMaxSetSize)) {
        case pentavel::file::ReadResult::Read:
            return true;
        case pentavel::file::ReadResult::NotOpened:
            reason = "it cannot be opened";
            return false;
        case pentavel::file::ReadResult::NotRegular:
            reason = "it is not a regular file";
            return false;
        case pentavel::file::ReadResult::NotRead:
            break;
    }
    reason = "it cannot be read";
    return false;
}

}  // namespace

std::string shelfFileOfSet(const std::string& name) {
    return std::string(kShelfFolder) + "/" + name + kSetExtension;
}

std::string shelfNameProblem(const std::string& name) {
    if (name.empty())
        return "it has no name";
    if (name[0] == '.')
        return "its name starts with a dot";
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos)
        return "its name holds a slash";
    if (name == kOwnSetName)
        return "Tezmola's own levels have that name";
    return "";
}

std::string shelfWriteProblem(const std::string& name) {
    constexpr std::size_t kLongest =
        pentavel::file::kMaxFileNameBytes - pentavel::file::kBackupSuffixBytes - kExtensionLength;
    if (name.size() > kLongest)
        return "its name is longer than " + std::to_string(kLongest) + " bytes";
    return shelfNameProblem(name);
}

std::string highScoreFileOfSet(const ShelfSet& set) {
    if (set.source == SetSource::Own || set.source == SetSource::PlayersFile)
        return kHighScoreFileName;
    return highScoreFileOfSetName(set.name);
}

std::vector<ShelfSet> arrangeShelf(const std::vector<ShelfEntry>& entries, bool playersFile) {
    std::vector<ShelfSet> sets;
    ShelfSet own;
    own.name = kOwnSetName;
    own.file = kLevelFileName;
    own.source = SetSource::Own;
    sets.push_back(own);
    if (playersFile) {
        ShelfSet players;
        players.name = kLevelFileName;
        players.file = kLevelFileName;
        players.source = SetSource::PlayersFile;
        sets.push_back(players);
    }
    const std::size_t firstOnShelf = sets.size();
    for (const ShelfEntry& entry : entries) {
        if (!endsWithExtension(entry.fileName))
            continue;
        ShelfSet set;
        set.name = entry.fileName.substr(0, entry.fileName.size() - kExtensionLength);
        set.file = std::string(kShelfFolder) + "/" + entry.fileName;
        set.modified = entry.modified;
        set.problem = entry.folder ? "it is a folder" : shelfNameProblem(set.name);
        set.read = !set.problem.empty();
        sets.push_back(set);
    }
    std::stable_sort(sets.begin() + static_cast<std::ptrdiff_t>(firstOnShelf), sets.end(),
                     [](const ShelfSet& a, const ShelfSet& b) {
                         const std::string foldedA = folded(a.name);
                         const std::string foldedB = folded(b.name);
                         return foldedA != foldedB ? foldedA < foldedB : a.name < b.name;
                     });
    return sets;
}

std::vector<ShelfSet> listShelf() {
    std::vector<ShelfEntry> entries;
    for (const pentavel::file::FolderEntry& found : pentavel::file::listPlayersFolder(kShelfFolder))
        entries.push_back({found.name, found.folder, found.modified});
    return arrangeShelf(entries, pentavel::file::isInWriteDirectory(kLevelFileName));
}

int findSet(const std::vector<ShelfSet>& sets, const std::string& name) {
    for (std::size_t index = 0; index < sets.size(); ++index)
        if (sets[index].name == name)
            return static_cast<int>(index);
    return -1;
}

ShelfSet outsideSet(const std::string& path) {
    ShelfSet set;
    set.file = path;
    set.source = SetSource::Outside;
    const std::size_t slash = path.find_last_of('/');
    set.name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (endsWithExtension(set.name))
        set.name.erase(set.name.size() - kExtensionLength);
    return set;
}

bool readSet(const ShelfSet& set, TiXmlDocument& document, std::string& reason) {
    if (!set.problem.empty() && set.source == SetSource::Shelf) {
        reason = set.problem;
        return false;
    }
    std::string text;
    bool read = false;
    if (set.source == SetSource::Outside) {
        if (!readOutsideFile(set.file, text, reason))
            return false;
        read = true;
    } else if (set.source == SetSource::Own && pentavel::file::isInWriteDirectory(set.file.c_str())) {
        read = pentavel::file::readFileBeneathWriteDirectory(set.file.c_str(), text);
    } else {
        read = pentavel::file::readXmlFile(set.file.c_str(), text);
    }
    if (!read) {
        reason = "it cannot be read";
        return false;
    }
    if (text.size() > kMaxSetSize) {
        reason = "it is too large";
        return false;
    }
    if (!pentavel::file::parseXmlDocument(document, text)) {
        reason = "it is not well-formed (line " + std::to_string(document.ErrorRow()) + ")";
        return false;
    }
    if (countLevels(document) == 0) {
        reason = "it holds no level";
        return false;
    }
    return true;
}

void summariseSet(ShelfSet& set) {
    set.read = true;
    TiXmlDocument document;
    if (!readSet(set, document, set.problem))
        return;
    set.problem.clear();
    set.levels = countLevels(document);
    // Tezmola's own levels are proven by the build, which plays every one of them with the checker.
    set.proven = set.source == SetSource::Own ? set.levels : countProvenLevels(document);
    const HighScoreFile table = loadHighScores(highScoreFileOfSet(set).c_str(), false);
    set.best = table.entries.empty() ? -1 : table.entries.front().score;
}

std::string shelfListingLine(const ShelfSet& set, const std::string& playersFolder,
                             const std::string& ownFile) {
    std::filesystem::path file = set.source == SetSource::Own ? std::filesystem::path(ownFile)
                                 : set.source == SetSource::Outside
                                     ? std::filesystem::path(set.file)
                                     : std::filesystem::path(playersFolder) / set.file;
    std::string line = set.name + "\t";
    if (set.problem.empty())
        line += std::to_string(set.levels) + "\t" + std::to_string(set.proven);
    else
        line += "-\t-";
    line += "\t" + file.lexically_normal().string();
    if (!set.problem.empty())
        line += "\t" + set.problem;
    return line;
}

int printShelf(const char* programPath) {
    if (!pentavel::file::setUpPlayersFolderForReading(programPath, kOwnSetName))
        return 1;
    const std::string playersFolder = pentavel::file::userDirectory(kOwnSetName);
    std::string ownFile = pentavel::file::realDirectory(kLevelFileName);
    if (pentavel::file::isInWriteDirectory(kLevelFileName) || ownFile.empty())
        ownFile = pentavel::file::programDirectory() + "tezmola.pak";
    std::vector<ShelfSet> sets = listShelf();
    for (ShelfSet& set : sets) {
        summariseSet(set);
        std::printf("%s\n", shelfListingLine(set, playersFolder, ownFile).c_str());
    }
    pentavel::file::shutDownFileSystem();
    return 0;
}

void Shelf::refresh() {
    std::vector<ShelfSet> listed = listShelf();
    for (ShelfSet& set : listed) {
        const int known = findSet(sets_, set.name);
        if (known >= 0 && sets_[known].read && sets_[known].modified == set.modified &&
            sets_[known].source == set.source)
            set = sets_[known];
    }
    sets_ = std::move(listed);
    listed_ = true;
}

bool Shelf::readAhead() {
    if (!listed_)
        refresh();
    for (ShelfSet& set : sets_)
        if (!set.read) {
            summariseSet(set);
            return true;
        }
    return false;
}

}  // namespace tezmola
