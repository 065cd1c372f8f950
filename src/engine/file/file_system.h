// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The virtual file system: per-user directory first, then the program directory, then "pak" archives.
// Everything is read through it and written only into the per-user directory.

#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/file/log.h"

struct PHYSFS_File;

namespace pentavel {
namespace file {

using FileHandle = PHYSFS_File;
using FileList = std::shared_ptr<std::vector<std::string>>;

// A whole file in memory, uniquely owned; data is null on failure (an empty file has non-null data).
struct FileData {
    std::uint32_t size = 0;
    unsigned char* data = nullptr;

    FileData() = default;
    FileData(FileData&& other) noexcept : size(other.size), data(other.data) {
        other.size = 0;
        other.data = nullptr;
    }
    FileData& operator=(FileData&& other) noexcept;
    FileData(const FileData&) = delete;
    FileData& operator=(const FileData&) = delete;
    ~FileData() { std::free(data); }
};

constexpr char kSettingsFileName[] = "settings.xml";  // the game's; a tool beside it names its own

// Brings up the virtual file system, the per-user directory, the log and the settings (under the names
// given), then mounts the program directory and its archives; registers shutDownFileSystem at exit. False
// on failure (after one line on standard error naming the path and reason).
bool setUpFileSystem(const char* programPath, const char* organisation, const char* application,
                     const char* logFile = kLogFileName, const char* settingsFile = kSettingsFileName);
// The game's search path for a program that only reads: the folder or ZIP archive at firstPath in the
// place of the per-user directory, then the program directory and the archives. Nothing is writable and
// there is no log and no settings. False on failure (after one line on standard error).
bool setUpReadOnlyFileSystem(const char* programPath, const char* firstPath);
// The game's search path for a program that only reads the player's folder (when it exists) as the game
// sees it: no log, no settings, nothing written. False on failure (after one line on standard error).
bool setUpPlayersFolderForReading(const char* programPath, const char* application);
// Saves the settings, closes the log, shuts the virtual file system down.
void shutDownFileSystem();
// Chooses or creates <documents>/My Games/<application> as write directory and first search-path entry.
bool setUpUserDirectory(const char* organisation, const char* application);
// <documents>/My Games/<application>, the per-user directory that setUpUserDirectory chooses; empty when
// no documents folder is known.
std::string userDirectory(const char* application);
// True when setUpFileSystem found the per-user directory unwritable (after one line on standard error):
// the program runs without a log, and nothing it saves reaches the disk.
bool isUserDirectoryUnwritable();
// Appends the archive of that name to the search path, from the first folder of the search path where it
// mounts; each copy that cannot be mounted gets one error line naming it and the reason.
void mountArchive(const char* name);
// The player's documents folder on this platform (no trailing separator); empty when none is known.
std::string documentsFolder();

FileHandle* openFileRead(const char* name);
FileHandle* openFileWrite(const char* name);
FileHandle* openFileAppend(const char* name);
bool closeFile(FileHandle* handle);
// Formats and writes the bytes (no terminating zero); returns the count written, -1 on failure.
std::int64_t filePrintf(FileHandle* handle, const char* format, ...) __attribute__((format(printf, 2, 3)));
std::int64_t fileVprintf(FileHandle* handle, const char* format, va_list arguments);

// Plain files in the root of the search path with that extension (case-sensitive; empty: all), sorted
// byte-wise ascending.
FileList listFiles(const char* extension);
// The whole file, or an empty record after one error line.
FileData readFileToMemory(const char* name);
// Copies a file that could not be read to "<name>.bad" in the write directory, replacing an older copy,
// with a warning line; a blank file needs no copy (true, no line). False (after an error line) when no copy
// could be made: the caller must then leave the file as it is.
bool keepBadCopy(const char* name);
// True when the name is found on the search path in the write directory itself (the player's own file, not
// one of the program folder or an archive).
bool isInWriteDirectory(const char* name);
// Reads up to length bytes from the handle's position; size says how many came. Data is null only when
// memory ran out.
FileData readOpenFile(FileHandle* handle, std::uint64_t length);
// The file of that name in a ZIP archive or folder outside the search path, read whole (at most maxSize
// bytes). False, with the reason set (PhysFS's words), when it cannot be opened, read, or is larger.
bool readFileFrom(const std::string& archiveOrFolder, const char* name, std::uint64_t maxSize,
                  std::string& text, std::string& reason);
struct FolderEntry {
    std::string name;
    bool folder = false;
    std::int64_t modified = 0;  // seconds since the epoch
};
// What a folder of the write directory holds (only the player's own entries), sorted by name; empty when
// the folder is missing.
std::vector<FolderEntry> listPlayersFolder(const char* folder);
// The file of that name as the search path holds it beneath the write directory (the game's own copy where
// the player's folder has one of the same name). False when no other entry holds it or it cannot be read.
bool readFileBeneathWriteDirectory(const char* name, std::string& text);
// The folder that holds the running program, with a trailing separator.
std::string programDirectory();
// The write directory as the system names it (the player's folder); empty when there is none.
std::string writeDirectory();
// The folder or archive of the search path that the name is read from, as it was mounted; empty when
// none holds it.
std::string realDirectory(const char* name);
const char* lastFileError();

void toPortableSeparators(std::string& path);
void toPlatformSeparators(std::string& path);

}  // namespace file
}  // namespace pentavel
