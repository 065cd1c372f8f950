// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/replace_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace pentavel {
namespace file {
namespace {

// Links are followed this many times at most before a replacement gives up (a loop of links).
const int kMaxLinkDepth = 40;

// Writes the bytes beside the file and renames them over it, whatever the name is (a link is replaced
// too). Flushed to disk before the rename, as the virtual file system does, and with the old file's
// permissions, which the player may have narrowed.
bool writeBesideAndRename(const std::filesystem::path& path, const std::string& bytes, std::string& reason) {
    const std::string temporary = path.string() + ".new";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        reason = std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = written && std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    if (!written)
        reason = std::strerror(errno);
    const bool closed = std::fclose(file) == 0;
    if (written && !closed)
        reason = std::strerror(errno);
    std::error_code error;
    const std::filesystem::file_status old = std::filesystem::status(path, error);
    if (!error)
        std::filesystem::permissions(temporary, old.permissions(), error);
    if (written && closed && std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    if (written && closed)
        reason = std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
}

bool readWhole(const std::filesystem::path& path, std::string& bytes, std::string& reason) {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.is_open() && !in.bad())
        return true;
    reason = std::strerror(errno);
    return false;
}

std::filesystem::path resolved(const std::filesystem::path& path, std::string& reason) {
    std::filesystem::path target = finalLinkTarget(path);
    if (target.empty())
        reason = std::strerror(ELOOP);
    return target;
}

}  // namespace

std::filesystem::path finalLinkTarget(std::filesystem::path path) {
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error))
            return path;
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error)
            return {};
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return {};
}

bool replaceFile(const std::filesystem::path& path, const std::string& bytes, std::string& reason) {
    const std::filesystem::path target = resolved(path, reason);
    return !target.empty() && writeBesideAndRename(target, bytes, reason);
}

bool replaceFileKeepingBackup(const std::filesystem::path& path, const std::string& bytes,
                              std::string& reason) {
    const std::filesystem::path target = resolved(path, reason);
    if (target.empty())
        return false;
    std::error_code error;
    if (std::filesystem::exists(target, error)) {
        std::string old;
        // The backup is a plain file beside the name the player knows, even when that name is a link.
        if (!readWhole(target, old, reason) || !writeBesideAndRename(path.string() + ".bak", old, reason))
            return false;
    }
    return writeBesideAndRename(target, bytes, reason);
}

}  // namespace file
}  // namespace pentavel
