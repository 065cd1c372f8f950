// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the editor learns about the set's file when it opens it: the bytes on disk, and the unsaved
// changes an earlier session kept for it.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include <tinyxml.h>

#include "engine/file/file_system.h"
#include "engine/file/replace_file.h"
#include "engine/file/xml_document.h"
#include "game/level.h"
#include "game/shelf.h"
#include "tools/editor/editor.h"

namespace tezmola {
namespace editor {

bool readPlainFile(const std::string& path, std::string& text, std::string& reason) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    if (!file || !(bytes << file.rdbuf())) {
        reason = std::strerror(errno);
        return false;
    }
    text = bytes.str();
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

}  // namespace editor
}  // namespace tezmola
