// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/file_system.h"

#ifdef _WIN32
#include <windows.h>

#include <shlobj.h>
#else
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "engine/file/replace_file.h"
#endif

namespace pentavel {
namespace file {

#ifdef _WIN32

std::string documentsFolder() {
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_PERSONAL, FALSE))
        return std::string();
    return path;
}

#else

namespace {

const char* const kDocumentsKey = "XDG_DOCUMENTS_DIR";

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string homeFolder() {
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

bool isExistingDirectory(const std::string& path) {
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string withoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

void expandHome(std::string& value, const std::string& home) {
    for (const char* variable : {"${HOME}", "$HOME"}) {
        const std::string name = variable;
        for (std::size_t at = value.find(name); at != std::string::npos;
             at = value.find(name, at + home.size())) {
            value.replace(at, name.size(), home);
        }
    }
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs.dirs file: lines of KEY="value", '#' starts a comment.
std::string documentsFromUserDirs(const std::string& fileName) {
    // Read as every file of the player's: a pipe in its place never holds the game.
    std::string text;
    std::string unread;
    readWholeFile(fileName, text, unread);
    std::istringstream in(text);
    std::string line;
    std::string found;
    while (std::getline(in, line)) {
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#')
            continue;
        const std::size_t equals = line.find('=', start);
        if (equals == std::string::npos)
            continue;
        std::string key = line.substr(start, equals - start);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t'))
            key.pop_back();
        if (key != kDocumentsKey)
            continue;
        std::string value = line.substr(equals + 1);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) {
            value.pop_back();
        }
        const std::size_t valueStart = value.find_first_not_of(" \t");
        value = valueStart == std::string::npos ? std::string() : value.substr(valueStart);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        found = value;  // the last assignment wins, as in a shell
    }
    return found;
}

std::string configuredDocuments(const std::string& home) {
    std::string value = environment(kDocumentsKey);
    if (value.empty()) {
        std::string configHome = environment("XDG_CONFIG_HOME");
        if (configHome.empty())
            configHome = home + "/.config";
        value = documentsFromUserDirs(configHome + "/user-dirs.dirs");
    }
    if (home.empty() && value.find('$') != std::string::npos)
        return std::string();
    expandHome(value, home);
    return value;
}

}  // namespace

std::string documentsFolder() {
    const std::string home = homeFolder();
    const std::string documents = configuredDocuments(home);
    if (!documents.empty() && documents.front() == '/' && isExistingDirectory(documents)) {
        return withoutTrailingSeparators(documents);
    }
    return withoutTrailingSeparators(home);
}

#endif

}  // namespace file
}  // namespace pentavel
