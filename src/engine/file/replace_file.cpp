// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace pentavel {
namespace file {
namespace {

// Links are followed this many times at most before a replacement gives up (a loop of links).
const int kMaxLinkDepth = 40;
// Backups beside one file before keepBackup gives up looking for a free name.
const int kMaxBackups = 1000;

const char* const kNotRegular = "it is not a regular file";

// Writes the bytes to a new file at temporary, flushed to disk, with the permissions and group of the file
// at like (when there is one). The file is removed again on failure.
bool writeNewFile(const std::string& temporary, const std::string& bytes, const std::filesystem::path& like,
                  std::string& reason) {
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
    if (written && closed) {
        keepModeAndGroup(like, temporary);
        return true;
    }
    std::remove(temporary.c_str());
    return false;
}

// Writes the bytes beside the file and renames them over it, whatever the name is (a link is replaced
// too), with the old file's permissions and group, which the player may have chosen.
bool writeBesideAndRename(const std::filesystem::path& path, const std::string& bytes, std::string& reason) {
    const std::string temporary = path.string() + ".new";
    if (!writeNewFile(temporary, bytes, path, reason))
        return false;
    if (std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    reason = std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
}

// A device or a pipe takes the bytes where it is, as a shell's redirection gives them.
bool writeInPlace(const std::filesystem::path& path, const std::string& bytes, std::string& reason) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        reason = std::strerror(errno);
        return false;
    }
    const bool written =
        std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
    if (!written)
        reason = std::strerror(errno);
    const bool closed = std::fclose(file) == 0;
    if (written && !closed)
        reason = std::strerror(errno);
    return written && closed;
}

// Opened without waiting (a pipe would wait for a writer, a device may never end), then kept only when it
// is a regular file. file is set only when Read.
ReadResult openRegularFile(const std::filesystem::path& path, std::FILE*& file, std::string& reason) {
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        reason = std::strerror(errno);
        return ReadResult::NotOpened;
    }
    struct stat status = {};
    if (fstat(descriptor, &status) == 0 && !S_ISREG(status.st_mode)) {
        reason = S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : kNotRegularFile;
        close(descriptor);
        return ReadResult::NotRegular;
    }
    if (S_ISREG(status.st_mode) &&
        fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) == 0 &&
        (file = fdopen(descriptor, "rb")) != nullptr)
        return ReadResult::Read;
    reason = std::strerror(errno);
    close(descriptor);
    return ReadResult::NotOpened;
}

bool readWhole(const std::filesystem::path& path, std::string& bytes, std::string& reason) {
    return readWholeFile(path, bytes, reason) == ReadResult::Read;
}

std::filesystem::path resolved(const std::filesystem::path& path, std::string& reason) {
    std::filesystem::path target = finalLinkTarget(path);
    if (target.empty())
        reason = std::strerror(ELOOP);
    return target;
}

std::filesystem::path backupName(const std::filesystem::path& path, int number) {
    return path.string() + (number == 1 ? ".bak" : ".bak." + std::to_string(number));
}

}  // namespace

ReadResult readWholeFile(const std::filesystem::path& path, std::string& bytes, std::string& reason,
                         std::size_t limit) {
    bytes.clear();
    std::FILE* file = nullptr;
    const ReadResult opened = openRegularFile(path, file, reason);
    if (opened != ReadResult::Read)
        return opened;
    char piece[65536];
    while (bytes.size() <= limit) {
        const std::size_t count = std::fread(piece, 1, sizeof piece, file);
        bytes.append(piece, count);
        if (count < sizeof piece)  // the end, or an error
            break;
    }
    const bool failed = std::ferror(file) != 0;
    if (failed)
        reason = std::strerror(errno);
    std::fclose(file);
    return failed ? ReadResult::NotRead : ReadResult::Read;
}

bool claimName(const std::string& temporary, const std::filesystem::path& name, bool& taken,
               std::string& reason) {
    taken = false;
    if (link(temporary.c_str(), name.c_str()) == 0) {
        std::remove(temporary.c_str());
        return true;
    }
    if (errno == EEXIST) {
        taken = true;
        return false;
    }
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(name, error))) {
        taken = true;
        return false;
    }
    if (std::rename(temporary.c_str(), name.c_str()) == 0)
        return true;
    reason = std::strerror(errno);
    return false;
}

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

void keepModeAndGroup(const std::filesystem::path& from, const std::filesystem::path& to) {
    struct stat old = {};
    if (stat(from.c_str(), &old) != 0 || !S_ISREG(old.st_mode))
        return;
    chmod(to.c_str(), old.st_mode & 07777);
    struct stat now = {};
    if (stat(to.c_str(), &now) == 0 && now.st_gid != old.st_gid) {
        // A group the user is no member of is refused: the file then keeps the user's own group.
        const int refused = chown(to.c_str(), now.st_uid, old.st_gid);
        (void)refused;
    }
}

bool replaceFile(const std::filesystem::path& path, const std::string& bytes, std::string& reason) {
    const std::filesystem::path target = resolved(path, reason);
    if (target.empty())
        return false;
    struct stat status = {};
    if (stat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        if (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode))
            return writeInPlace(target, bytes, reason);
        reason = kNotRegular;
        return false;
    }
    return writeBesideAndRename(target, bytes, reason);
}

bool createFile(const std::filesystem::path& path, const std::string& bytes, bool& taken,
                std::string& reason) {
    taken = false;
    // Named for this process: another copy of the program may create a file of the same name meanwhile.
    const std::string temporary = path.string() + "." + std::to_string(getpid()) + ".new";
    if (!writeNewFile(temporary, bytes, std::filesystem::path(), reason))
        return false;
    if (claimName(temporary, path, taken, reason))
        return true;
    std::remove(temporary.c_str());
    return false;
}

bool keepBackup(const std::filesystem::path& path, std::filesystem::path& kept, std::string& reason) {
    kept.clear();
    const std::filesystem::path target = resolved(path, reason);
    if (target.empty())
        return false;
    struct stat status = {};
    if (stat(target.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return true;
    std::string old;
    if (!readWhole(target, old, reason))
        return false;
    // The backup is a plain file beside the name the player knows, even when that name is a link.
    const std::string temporary = path.string() + ".bak.new";
    bool written = false;
    for (int number = 1; number <= kMaxBackups; ++number) {
        const std::filesystem::path name = backupName(path, number);
        std::error_code error;
        if (std::filesystem::exists(std::filesystem::symlink_status(name, error))) {
            std::string held;
            std::string unread;
            if (std::filesystem::is_regular_file(name, error) && readWhole(name, held, unread) &&
                held == old) {
                kept = name;
                break;
            }
            continue;
        }
        if (!written && !writeNewFile(temporary, old, target, reason))
            return false;
        written = true;
        bool taken = false;
        if (claimName(temporary, name, taken, reason)) {
            kept = name;
            return true;
        }
        if (!taken)
            break;
    }
    if (written)
        std::remove(temporary.c_str());
    if (!kept.empty())
        return true;
    if (reason.empty())
        reason = "no free name for a backup";
    return false;
}

bool replaceFileKeepingBackup(const std::filesystem::path& path, const std::string& bytes,
                              std::filesystem::path& kept, std::string& reason) {
    return keepBackup(path, kept, reason) && replaceFile(path, bytes, reason);
}

}  // namespace file
}  // namespace pentavel
