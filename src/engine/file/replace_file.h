// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files replaced whole, outside the virtual file system: the new bytes are written beside the file, flushed
// to disk and renamed over it, so that a write cut short (a full disk, a crash) never leaves it half written.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace pentavel {
namespace file {

// The reason readWholeFile gives for a name that is no folder nor regular file (a pipe, a device).
constexpr char kNotRegularFile[] = "Not a regular file";
// How a whole file was read: Read, or the reason set by the system's words for why it was not. NotRegular:
// a folder (the system's words for one) or a pipe or device (kNotRegularFile), refused unread.
enum class ReadResult { Read, NotOpened, NotRead, NotRegular };
// Reads the whole regular file at path into bytes, or no further than just past limit bytes. Opening it
// never waits (a pipe without a writer). A read that fails midway (a failing disk) is an error like a file
// that cannot be opened, never an exception; bytes then holds what was read before it.
ReadResult readWholeFile(const std::filesystem::path& path, std::string& bytes, std::string& reason,
                         std::size_t limit = SIZE_MAX);
// The file that a chain of symbolic links ends at (the path itself when it is no link); empty for a loop.
std::filesystem::path finalLinkTarget(std::filesystem::path path);
// Replaces the file at path (or creates it) with the bytes, keeping the old file's permissions and group. A
// symbolic link stays one: its final target gets the bytes. A character device or a pipe is written in
// place (never renamed over); any other name that is no regular file is refused. False, with the old file
// untouched and the reason (the system's words for the error) set, on failure.
bool replaceFile(const std::filesystem::path& path, const std::string& bytes, std::string& reason);
// Creates the file at path with the bytes, flushed to disk, whole or not at all, and never in the place of
// anything else of that name: then taken is set. False with taken or the reason set.
bool createFile(const std::filesystem::path& path, const std::string& bytes, bool& taken,
                std::string& reason);
// The most that keepBackup and replaceFile add to a name: ".bak.1000".
constexpr std::size_t kBackupSuffixBytes = 9;
// Keeps the file at path (a link's final target) beside the name path as "<path>.bak", with the file's
// permissions. A backup already there is never replaced: the copy goes to the first free name of
// "<path>.bak.2", "<path>.bak.3"... unless one of the backups already holds the same bytes. kept is the
// backup holding them, or empty when there was no regular file to keep. False, with the reason set, when
// no copy could be written.
bool keepBackup(const std::filesystem::path& path, std::filesystem::path& kept, std::string& reason);
// Gives the file at to the permissions and the group of the file at from; nothing when from is missing.
// A group the user may not give is left as it is.
void keepModeAndGroup(const std::filesystem::path& from, const std::filesystem::path& to);
// Gives the new file at temporary the name, unless the name is taken meanwhile (another program keeping a
// backup of the same file): a hard link never replaces a name. Where the file system has no hard links, a
// rename onto a name found free stands in. False with taken set when the name is taken, false with the
// reason set when the file could not be named.
bool claimName(const std::string& temporary, const std::filesystem::path& name, bool& taken,
               std::string& reason);
// keepBackup, then replaceFile. False, with the old file untouched, when the backup or the new file cannot
// be written.
bool replaceFileKeepingBackup(const std::filesystem::path& path, const std::string& bytes,
                              std::filesystem::path& kept, std::string& reason);

}  // namespace file
}  // namespace pentavel
