// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files replaced whole, outside the virtual file system: the new bytes are written beside the file, flushed
// to disk and renamed over it, so that a write cut short (a full disk, a crash) never leaves it half written.

#include <filesystem>
#include <string>

namespace pentavel {
namespace file {

// The file that a chain of symbolic links ends at (the path itself when it is no link); empty for a loop.
std::filesystem::path finalLinkTarget(std::filesystem::path path);
// Replaces the file at path (or creates it) with the bytes, keeping the old file's permissions. A symbolic
// link stays one: its final target gets the bytes. False, with the old file untouched and the reason
// (the system's words for the error) set, on failure.
bool replaceFile(const std::filesystem::path& path, const std::string& bytes, std::string& reason);
// As replaceFile, but a file already there is first kept, once, as "<path>.bak" beside path (replacing an
// older backup). False, with the old file untouched, when the backup or the new file cannot be written.
bool replaceFileKeepingBackup(const std::filesystem::path& path, const std::string& bytes,
                              std::string& reason);

}  // namespace file
}  // namespace pentavel
