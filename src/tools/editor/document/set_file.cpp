// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the editor learns about the set's file when it opens it: the bytes on disk, the unsaved changes an
// earlier session kept for it, and the levels with what the checker says of each.
#include "tools/editor/document/set_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "engine/file/file_name.h"
#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/file/replace_file.h"
#include "engine/file/xml_document.h"
#include "game/checks/level_check.h"
#include "game/field/level.h"
#include "game/play/game_step.h"
#include "game/play/game_structure.h"
#include "game/records/shelf.h"
#include "tools/single_file_arguments.h"

namespace tezmola {
namespace editor {

namespace {

// What a function of the checker prints, as lines.
std::vector<std::string> printedLines(const std::function<void(std::FILE*)>& print) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    if (out == nullptr)
        return {};
    print(out);
    std::fclose(out);
    std::vector<std::string> lines;
    std::string text(buffer, size);
    std::free(buffer);
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

Tone noteTone(bool error) {
    return error ? Tone::Error : Tone::Warning;
}

}  // namespace

std::string unsavedFileName(const std::filesystem::path& set) {
    std::string name = "editor-unsaved-";
    for (const char c : set.string()) {
        if (c == '%')
            name += "%25";
        else if (c == '/')
            name += "%2F";
        else
            name += c;
    }
    return pentavel::file::fittingFileName(name, ".xml", pentavel::file::kBackupSuffixBytes);
}

OpenedSet openLevelFile(const std::string& text, const std::string& name) {
    OpenedSet opened;
    TiXmlDocument document;
    if (!pentavel::file::parseXmlDocument(document, text)) {
        for (const std::string& line :
             printedLines([&](std::FILE* out) { reportUnreadableFile(document, name, out, &text); }))
            opened.notes.push_back(Message{line, Tone::Error});
        return opened;
    }
    opened.levels = readLevelSet(document);
    opened.proofs = readProofRecords(document);
    // The game's rules start on a level of their own; the file's levels then take its place one by one.
    const std::unique_ptr<GameStructure> game = makeTrialGame(writeLevelSet(std::vector<LevelDraft>(1)));
    if (game == nullptr)
        return opened;
    if (opened.levels.empty()) {
        game->levelDocument = document;
        game->levelCount = 0;
        for (const std::string& line :
             printedLines([&](std::FILE* out) { checkLevelFile(*game, name, out); }))
            opened.notes.push_back(Message{line, Tone::Error});
        return opened;
    }
    // Each level is checked in a document of its own, where the game finds it at once (in the whole file it
    // walks every level before it). A copy keeps the lines of the file; level n of a file of one is that one.
    std::uint32_t number = 0;
    for (const TiXmlElement* level = document.FirstChildElement("level"); level != nullptr;
         level = level->NextSiblingElement("level")) {
        game->levelDocument.Clear();
        game->levelDocument.InsertEndChild(*level);
        game->levelCount = 1;
        LevelReport report;
        beginLevelCheck(*game, ++number, report);
        for (const LevelNote& note : report.notes)
            opened.notes.push_back(
                Message{formatLine("Level %u: %s", number, note.text.c_str()), noteTone(note.error)});
    }
    return opened;
}

bool readPlainFile(const std::string& path, std::string& text, std::string& reason) {
    // Read no further than past the most a level file may hold: a device never ends.
    if (pentavel::file::readWholeFile(path, text, reason, kMaxLevelFileSize) !=
        pentavel::file::ReadResult::Read)
        return false;
    if (text.size() > kMaxLevelFileSize) {
        reason = "it is larger than 64 MB";
        return false;
    }
    return true;
}

void rememberDisk(SetFile& file) {
    if (file.target.empty())
        return;
    std::string reason;
    std::error_code error;
    file.existed = std::filesystem::exists(file.target, error);
    file.diskKnown = !error && (!file.existed || readPlainFile(file.target.string(), file.onDisk, reason));
}

std::filesystem::path rememberedSetFile(const std::string& folder, std::vector<Message>& notes) {
    const std::filesystem::path settings = std::filesystem::path(folder) / pentavel::file::kSettingsFileName;
    std::string text;
    std::string reason;
    TiXmlDocument document;
    if (folder.empty() ||
        pentavel::file::readWholeFile(settings, text, reason) != pentavel::file::ReadResult::Read ||
        !pentavel::file::parseXmlDocument(document, text))
        return {};
    const TiXmlElement* section = document.FirstChildElement(kShelfSettingsSection);
    const TiXmlElement* key = section != nullptr ? section->FirstChildElement(kShelfSettingsKey) : nullptr;
    const char* value = key != nullptr ? key->Attribute("value") : nullptr;
    const std::string name = value != nullptr ? value : "";
    if (name.empty() || name == kOwnSetName || name == kLevelFileName)
        return {};
    // As the game reads the choice: a path, or a name on the shelf.
    const bool namesFile = name.find('/') != std::string::npos ||
                           (name.size() > 4 && name.compare(name.size() - 4, 4, ".xml") == 0);
    std::filesystem::path file =
        namesFile ? std::filesystem::path(name) : std::filesystem::path(folder) / shelfFileOfSet(name);
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        notes.push_back(Message{"The level set " + name + " the game would play has gone (" + file.string() +
                                    "): editing the levels the game plays without it",
                                Tone::Warning});
        return {};
    }
    return file;
}

void keepUnsavedChangesIn(const std::string& folder, const char* path, SetFile& file, OpenedSet& opened) {
    if (folder.empty())
        return;
    std::error_code error;
    std::filesystem::path set = !file.target.empty() ? file.target : std::filesystem::path(path);
    set = std::filesystem::absolute(set, error).lexically_normal();
    file.unsaved = std::filesystem::path(folder) / unsavedFileName(set);
    if (std::filesystem::exists(file.unsaved, error)) {
        file.recoverable = file.unsaved;
        opened.notes.insert(opened.notes.begin(), Message{"Unsaved changes of an earlier session on " +
                                                              set.string() + " are kept: Ctrl+O opens them",
                                                          Tone::Warning});
    }
    const std::filesystem::path older = std::filesystem::path(folder) / kUnsavedFileName;
    if (std::filesystem::exists(older, error))
        opened.notes.insert(opened.notes.begin(),
                            Message{std::string("Unsaved changes of an earlier session are kept in ") +
                                        kUnsavedFileName + " in the player's folder",
                                    Tone::Warning});
}

namespace {

// The levels and where they go back to: the file given, or the game's own choice and the player's file.
void openSet(const char* path, const std::string& playerFolder, OpenedSet& opened, SetFile& file) {
    std::string text;
    std::string reason;
    bool read = false;
    if (path == nullptr) {
        file.target = std::filesystem::path(playerFolder) / kLevelFileName;
        file.name = kLevelFileName;
        read = pentavel::file::readXmlFile(kLevelFileName, text);
        pentavel::logMessage("Editing the levels of %s",
                             pentavel::file::realDirectory(kLevelFileName).c_str());
        if (playerFolder.empty())
            file.target.clear();
    } else {
        struct stat status = {};
        const bool exists = stat(path, &status) == 0;
        file.target = path;
        file.name = file.target.filename().string();
        if (exists && S_ISDIR(status.st_mode)) {
            file.target /= kLevelFileName;
            file.name = kLevelFileName;
            read = pentavel::file::readFileFrom(path, kLevelFileName, kMaxLevelFileSize, text, reason);
            if (!read && !std::filesystem::exists(file.target))
                return;  // a new file in that folder
        } else if (exists && tools::hasPakExtension(path)) {
            file.target.clear();
            read = pentavel::file::readFileFrom(path, kLevelFileName, kMaxLevelFileSize, text, reason);
        } else if (!exists) {
            opened.notes.push_back(Message{file.name + " is new: Ctrl+S makes it", Tone::Plain});
            return;
        } else {
            read = readPlainFile(path, text, reason);
        }
    }
    if (!read) {
        opened.notes.push_back(
            Message{file.name + ": error: Cannot read level file! " + reason, Tone::Error});
        return;
    }
    opened = openLevelFile(text, file.name);
}

}  // namespace

void openForEditing(const char* path, const std::string& playerFolder, OpenedSet& opened, SetFile& file) {
    // Without a file: the set the game would play, when the player chose one of the shelf.
    std::vector<Message> notes;
    const std::string remembered = path == nullptr ? rememberedSetFile(playerFolder, notes).string() : "";
    if (!remembered.empty()) {
        path = remembered.c_str();
        pentavel::logMessage("Editing the level set the game plays, %s", path);
    }
    openSet(path, playerFolder, opened, file);
    opened.notes.insert(opened.notes.begin(), notes.begin(), notes.end());
    rememberDisk(file);
    file.playerFolder = playerFolder;
    keepUnsavedChangesIn(playerFolder, path, file, opened);
}

}  // namespace editor
}  // namespace tezmola
