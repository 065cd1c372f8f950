// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/file_system.h"

#include <physfs.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "engine/file/log.h"
#include "engine/file/settings.h"

namespace pentavel {
namespace file {
namespace {

const char* const kArchiveExtension = "pak";
const char* const kMyGamesFolder = "My Games";
const char* const kRootDirectory = "/";
const char* const kBadSuffix = ".bad";
// The archives are ZIP files; other readers the library may have been built with stay unused.
const char* const kArchiveType = "ZIP";
const std::size_t kFormatBufferSize = 1024;
// The first piece of a file read into memory; later pieces double the block.
const std::uint64_t kFirstPieceSize = std::uint64_t{64} * 1024;
// Larger than any settings or high-score file the game writes; such a file is not copied aside.
const std::uint64_t kMaxKeptFileSize = std::uint64_t{64} * 1024 * 1024;

const char* errorText() {
    return PHYSFS_getErrorByCode(PHYSFS_getLastErrorCode());
}

void keepOnlyZipArchiver() {
    std::vector<std::string> others;
    for (const PHYSFS_ArchiveInfo** info = PHYSFS_supportedArchiveTypes();
         info != nullptr && *info != nullptr; ++info) {
        if (std::strcmp((*info)->extension, kArchiveType) != 0)
            others.emplace_back((*info)->extension);
    }
    for (const std::string& extension : others)
        PHYSFS_deregisterArchiver(extension.c_str());
}

bool hasExtension(const char* name, const char* extension, std::size_t extensionLength) {
    const std::size_t length = std::strlen(name);
    if (length <= extensionLength)
        return false;
    if (name[length - extensionLength - 1] != '.')
        return false;
    return std::memcmp(name + length - extensionLength, extension, extensionLength) == 0;
}

bool isDirectory(const char* name) {
    PHYSFS_Stat stat;
    return PHYSFS_stat(name, &stat) != 0 && stat.filetype == PHYSFS_FILETYPE_DIRECTORY;
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty())
        return;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// The folders of the search path (archives left out), in search-path order.
std::vector<std::string> searchPathFolders() {
    std::vector<std::string> folders;
    char** entries = PHYSFS_getSearchPath();
    for (char** entry = entries; entry != nullptr && *entry != nullptr; ++entry) {
        std::error_code error;
        if (std::filesystem::is_directory(*entry, error))
            folders.emplace_back(*entry);
    }
    PHYSFS_freeList(entries);
    return folders;
}

// The library opens a file of a folder as the system does: a pipe there would hold the reader until something
// writes to it, a device might never end. Such a name (through any links) is refused with the library's
// answer for it. A name found in an archive, or nowhere, is the library's to answer.
bool isOtherThanFile(const std::string& path) {
    struct stat status = {};
    if (stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode))
        return false;
    PHYSFS_setErrorCode(PHYSFS_ERR_NOT_A_FILE);
    return true;
}

// The path, on the system, of a name of the search path held by a folder there; empty when an archive or
// nothing holds it.
std::string pathInFolder(const char* name) {
    const char* directory = PHYSFS_getRealDir(name);
    std::error_code error;
    if (directory == nullptr || !std::filesystem::is_directory(directory, error))
        return "";
    std::string inside = name;
    std::string mountPoint = PHYSFS_getMountPoint(directory);
    for (std::string* part : {&inside, &mountPoint})
        part->erase(0, part->find_first_not_of('/'));
    if (inside.compare(0, mountPoint.size(), mountPoint) == 0)
        inside.erase(0, mountPoint.size());
    toPlatformSeparators(inside);
    return std::string(directory) + PHYSFS_getDirSeparator() + inside;
}

PHYSFS_File* openRegularFile(const char* name) {
    const std::string path = name != nullptr ? pathInFolder(name) : "";
    if (!path.empty() && isOtherThanFile(path)) {
        logError("Cannot read %s!", path.c_str());
        logError("...it is not a regular file");
        return nullptr;
    }
    return PHYSFS_openRead(name);
}

// A folder or an archive to mount: a pipe or a device in its place is refused before the library opens it.
bool mountsAsFolderOrArchive(const char* path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error) || !isOtherThanFile(path);
}

bool fileSystemRegistered = false;
// The per-user directory cannot be written (a read-only or locked-down home): the run goes on unsaved.
bool userDirectoryUnwritable = false;

// Why a file or folder could not be made there: the folder refuses writes (its mode, a read-only file
// system, a full disk), not a fault of this program's.
bool refusesWrites(PHYSFS_ErrorCode code) {
    return code == PHYSFS_ERR_PERMISSION || code == PHYSFS_ERR_READ_ONLY || code == PHYSFS_ERR_NO_SPACE;
}

void sayNothingIsSaved(const std::string& folder, const char* reason) {
    userDirectoryUnwritable = true;
    std::fprintf(stderr, "The per-user directory %s cannot be written (%s): nothing will be saved\n",
                 folder.c_str(), reason);
}
// The settings file of this run, saved at shut-down.
std::string settingsFileName = kSettingsFileName;

// The virtual file system opens a write directory that is no folder as an archive to write, which empties
// the file; a file in the folder's place is refused first, with the answer the library would give.
bool selectWriteDirectory(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_directory(status)) {
        PHYSFS_setErrorCode(PHYSFS_ERR_UNSUPPORTED);
        return false;
    }
    return PHYSFS_setWriteDir(path.c_str()) != 0;
}

// The program directory, then every "pak" archive in the root of the search path, in name order.
void mountProgramData() {
    PHYSFS_mount(PHYSFS_getBaseDir(), nullptr, 1);
    FileList archives = listFiles(kArchiveExtension);
    for (const std::string& name : *archives)
        mountArchive(name.c_str());
}

}  // namespace

FileData& FileData::operator=(FileData&& other) noexcept {
    if (this != &other) {
        std::free(data);
        size = other.size;
        data = other.data;
        other.size = 0;
        other.data = nullptr;
    }
    return *this;
}

bool setUpFileSystem(const char* programPath, const char* organisation, const char* application,
                     const char* logFile, const char* settingsFile) {
    if (!PHYSFS_init(programPath)) {
        std::fprintf(stderr, "Cannot initialise the virtual file system: %s\n", errorText());
        return false;
    }
    // Registered once per process: the handler copes with a file system that is already down.
    if (!fileSystemRegistered) {
        fileSystemRegistered = true;
        std::atexit(shutDownFileSystem);
    }
    keepOnlyZipArchiver();
    // Players link files into their folder (a settings file kept with their other dotfiles); the virtual
    // file system refuses symbolic links unless told otherwise.
    PHYSFS_permitSymbolicLinks(1);
    userDirectoryUnwritable = false;
    if (!setUpUserDirectory(organisation, application))
        return false;
    if (!userDirectoryUnwritable && !openLog(logFile)) {
        const char* writeDirectory = PHYSFS_getWriteDir();
        const PHYSFS_ErrorCode code = PHYSFS_getLastErrorCode();
        PHYSFS_setErrorCode(code);  // reading it cleared it; the message below still names it
        if (writeDirectory != nullptr && refusesWrites(code)) {
            sayNothingIsSaved(writeDirectory, PHYSFS_getErrorByCode(code));
        } else {
            std::fprintf(stderr, "Cannot open the log file %s%s%s: %s\n",
                         writeDirectory != nullptr ? writeDirectory : "",
                         writeDirectory != nullptr ? PHYSFS_getDirSeparator() : "", logFile, errorText());
            return false;
        }
    }
    settingsFileName = settingsFile;
    if (!loadSettings(settingsFile))
        return false;
    mountProgramData();
    return true;
}

bool setUpReadOnlyFileSystem(const char* programPath, const char* firstPath) {
    if (!PHYSFS_init(programPath)) {
        std::fprintf(stderr, "Cannot initialise the virtual file system: %s\n", errorText());
        return false;
    }
    keepOnlyZipArchiver();
    PHYSFS_permitSymbolicLinks(1);  // as the game does, for files linked into the player's folder
    if (!PHYSFS_mount(firstPath, nullptr, 1)) {
        std::fprintf(stderr, "Cannot read %s: %s\n", firstPath, errorText());
        PHYSFS_deinit();
        return false;
    }
    mountProgramData();
    return true;
}

bool setUpPlayersFolderForReading(const char* programPath, const char* application) {
    if (!PHYSFS_init(programPath)) {
        std::fprintf(stderr, "Cannot initialise the virtual file system: %s\n", errorText());
        return false;
    }
    keepOnlyZipArchiver();
    PHYSFS_permitSymbolicLinks(1);
    // A folder not made yet is not made here: nothing is written.
    const std::string folder = userDirectory(application);
    std::error_code error;
    if (!folder.empty() && std::filesystem::is_directory(folder, error) && selectWriteDirectory(folder))
        PHYSFS_mount(folder.c_str(), nullptr, 0);
    mountProgramData();
    return true;
}

void shutDownFileSystem() {
    if (!PHYSFS_isInit())
        return;
    saveSettings(settingsFileName.c_str());
    closeLog();
    PHYSFS_deinit();
}

std::string userDirectory(const char* application) {
    std::string documents = documentsFolder();
    if (documents.empty())
        return documents;
    const std::string separator = PHYSFS_getDirSeparator();
    return documents + separator + kMyGamesFolder + separator + application;
}

bool setUpUserDirectory(const char* /*organisation*/, const char* application) {
    const std::string documents = documentsFolder();
    if (documents.empty()) {
        std::fputs("Cannot get home documents directory!\n", stderr);
        return true;
    }
    const std::string fullPath = userDirectory(application);
    const std::string relativePath = std::string(kMyGamesFolder) + "/" + application;
    if (!selectWriteDirectory(fullPath)) {
        const bool documentsSelected = selectWriteDirectory(documents);
        const bool made = documentsSelected && PHYSFS_mkdir(relativePath.c_str()) != 0;
        const PHYSFS_ErrorCode code = PHYSFS_getLastErrorCode();
        PHYSFS_setErrorCode(code);  // reading it cleared it; the message below still names it
        if (documentsSelected && !made && refusesWrites(code)) {
            // A home that cannot be written: the game plays from its own folder and saves nothing.
            sayNothingIsSaved(fullPath, PHYSFS_getErrorByCode(code));
            PHYSFS_setWriteDir(nullptr);
            return true;
        }
        if (!made || !selectWriteDirectory(fullPath)) {
            std::fprintf(stderr, "Cannot select or create the per-user directory %s: %s\n", fullPath.c_str(),
                         errorText());
            PHYSFS_setWriteDir(nullptr);
            return false;
        }
    }
    PHYSFS_mount(fullPath.c_str(), nullptr, 0);
    return true;
}

bool isUserDirectoryUnwritable() {
    return userDirectoryUnwritable;
}

void mountArchive(const char* name) {
    // Every folder of the search path that holds the name is tried in search-path order, so a damaged
    // archive in the player's folder no longer hides the game's own archive of the same name.
    keepOnlyZipArchiver();
    for (const std::string& directory : searchPathFolders()) {
        const std::string path = directory + PHYSFS_getDirSeparator() + name;
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error))
            continue;
        if (PHYSFS_mount(path.c_str(), nullptr, 1))
            return;
        logError("Cannot mount the archive %s (%s)!", path.c_str(), errorText());
    }
}

FileHandle* openFileRead(const char* name) {
    return openRegularFile(name);
}

FileHandle* openFileWrite(const char* name) {
    return PHYSFS_openWrite(name);
}

FileHandle* openFileAppend(const char* name) {
    return PHYSFS_openAppend(name);
}

bool closeFile(FileHandle* handle) {
    return handle != nullptr && PHYSFS_close(handle) != 0;
}

std::int64_t filePrintf(FileHandle* handle, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::int64_t written = fileVprintf(handle, format, arguments);
    va_end(arguments);
    return written;
}

std::int64_t fileVprintf(FileHandle* handle, const char* format, va_list arguments) {
    if (handle == nullptr || format == nullptr)
        return -1;
    va_list again;
    va_copy(again, arguments);
    char buffer[kFormatBufferSize];
    const int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    std::int64_t written = -1;
    if (length >= 0 && static_cast<std::size_t>(length) < sizeof buffer) {
        written = PHYSFS_writeBytes(handle, buffer, static_cast<PHYSFS_uint64>(length));
    } else if (length >= 0) {
        // Too long for the buffer: format again into one of the right size so the piece stays whole.
        std::vector<char> large(static_cast<std::size_t>(length) + 1);
        if (std::vsnprintf(large.data(), large.size(), format, again) == length) {
            written = PHYSFS_writeBytes(handle, large.data(), static_cast<PHYSFS_uint64>(length));
        }
    }
    va_end(again);
    return written;
}

FileList listFiles(const char* extension) {
    FileList files = std::make_shared<std::vector<std::string>>();
    const std::size_t extensionLength = extension != nullptr ? std::strlen(extension) : 0;
    char** names = PHYSFS_enumerateFiles(kRootDirectory);
    for (char** name = names; name != nullptr && *name != nullptr; ++name) {
        if (isDirectory(*name))
            continue;
        if (extensionLength > 0 && !hasExtension(*name, extension, extensionLength))
            continue;
        files->emplace_back(*name);
    }
    PHYSFS_freeList(names);
    std::sort(files->begin(), files->end());
    return files;
}

FileData readOpenFile(FileHandle* handle, std::uint64_t length) {
    FileData result;
    // Never more than the record can count; one byte at least, so that an empty file has a non-null block.
    length = std::min<std::uint64_t>(length, UINT32_MAX);
    std::size_t capacity = static_cast<std::size_t>(std::clamp<std::uint64_t>(length, 1, kFirstPieceSize));
    auto* block = static_cast<unsigned char*>(std::malloc(capacity));
    std::size_t filled = 0;
    while (block != nullptr && filled < length) {
        if (filled == capacity) {
            // The block grows only as bytes arrive, so a length that a damaged header overstates commits
            // no memory for bytes that never come.
            capacity = static_cast<std::size_t>(std::min<std::uint64_t>(length, std::uint64_t{capacity} * 2));
            auto* larger = static_cast<unsigned char*>(std::realloc(block, capacity));
            if (larger == nullptr) {
                std::free(block);
                return result;
            }
            block = larger;
        }
        const PHYSFS_sint64 read = PHYSFS_readBytes(handle, block + filled, capacity - filled);
        if (read <= 0)
            break;
        filled += static_cast<std::size_t>(read);
    }
    result.data = block;
    result.size = static_cast<std::uint32_t>(filled);
    return result;
}

FileData readFileToMemory(const char* name) {
    FileData result;
    PHYSFS_File* file = openRegularFile(name);
    if (file == nullptr) {
        logError("Cannot open file %s for reading into memory!", name);
        return result;
    }
    const PHYSFS_sint64 length = PHYSFS_fileLength(file);
    if (length < 0) {
        logError("Cannot get size of file %s for reading into memory!", name);
        PHYSFS_close(file);
        return result;
    }
    logDebug("File Size of %s is %d", name, static_cast<int>(length));
    const auto wanted = static_cast<std::uint64_t>(length);
    // The record's size is 32-bit; a larger file is refused rather than truncated.
    if (wanted > UINT32_MAX) {
        logError("Cannot allocate memory for file %s!", name);
    } else {
        FileData read = readOpenFile(file, wanted);
        if (read.data == nullptr) {
            logError("Cannot allocate memory for file %s!", name);
        } else if (read.size < wanted) {
            logError("Error reading in %s (%s)!", name, lastFileError());
        } else {
            result = std::move(read);
        }
    }
    PHYSFS_close(file);
    return result;
}

bool keepBadCopy(const char* name) {
    const std::string badName = std::string(name) + kBadSuffix;
    // A file too large for any file the game keeps is not copied (it would take as much disk again), and
    // so is never overwritten either.
    FileData bytes;
    if (FileHandle* handle = openFileRead(name)) {
        if (PHYSFS_fileLength(handle) <= static_cast<PHYSFS_sint64>(kMaxKeptFileSize))
            bytes = readFileToMemory(name);
        closeFile(handle);
    }
    // A file of nothing but white space holds nothing worth keeping.
    if (bytes.data != nullptr && std::all_of(bytes.data, bytes.data + bytes.size, [](unsigned char byte) {
            return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r';
        }))
        return true;
    bool kept = false;
    if (bytes.data != nullptr) {
        if (FileHandle* handle = openFileWrite(badName.c_str())) {
            const PHYSFS_sint64 written = PHYSFS_writeBytes(handle, bytes.data, bytes.size);
            kept = closeFile(handle) && written == static_cast<PHYSFS_sint64>(bytes.size);
        }
    }
    if (kept) {
        logWarning("...%s could not be read, it is kept as %s", name, badName.c_str());
    } else {
        logError("Cannot keep a copy of %s, it will not be overwritten!", name);
    }
    return kept;
}

bool isInWriteDirectory(const char* name) {
    const char* writeDirectory = PHYSFS_getWriteDir();
    const char* realDirectory = name != nullptr ? PHYSFS_getRealDir(name) : nullptr;
    if (writeDirectory == nullptr || realDirectory == nullptr)
        return false;
    // The same folder may be named with or without a closing separator.
    std::string writePath = writeDirectory;
    std::string foundPath = realDirectory;
    const std::string separator = PHYSFS_getDirSeparator();
    for (std::string* path : {&writePath, &foundPath}) {
        while (path->size() > separator.size() &&
               path->compare(path->size() - separator.size(), separator.size(), separator) == 0)
            path->erase(path->size() - separator.size());
    }
    return writePath == foundPath;
}

std::vector<FolderEntry> listPlayersFolder(const char* folder) {
    std::vector<FolderEntry> entries;
    char** names = PHYSFS_enumerateFiles(folder);
    if (names == nullptr)
        return entries;
    for (char** name = names; *name != nullptr; ++name) {
        const std::string path = std::string(folder) + "/" + *name;
        PHYSFS_Stat status = {};
        if (!isInWriteDirectory(path.c_str()) || !PHYSFS_stat(path.c_str(), &status))
            continue;
        entries.push_back({*name, status.filetype == PHYSFS_FILETYPE_DIRECTORY, status.modtime});
    }
    PHYSFS_freeList(names);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

bool readFileBeneathWriteDirectory(const char* name, std::string& text) {
    // The player's folder leaves the search path for the moment of the read and goes back at its head.
    const std::string playersFolder = isInWriteDirectory(name) ? PHYSFS_getRealDir(name) : "";
    const bool hidden = !playersFolder.empty() && PHYSFS_unmount(playersFolder.c_str()) != 0;
    bool read = false;
    if (PHYSFS_File* file = openRegularFile(name)) {
        const PHYSFS_sint64 length = PHYSFS_fileLength(file);
        if (length >= 0) {
            const FileData bytes = readOpenFile(file, static_cast<std::uint64_t>(length));
            read = bytes.data != nullptr && bytes.size == static_cast<std::uint64_t>(length);
            if (read)
                text.assign(reinterpret_cast<const char*>(bytes.data), bytes.size);
        }
        PHYSFS_close(file);
    }
    if (hidden)
        PHYSFS_mount(playersFolder.c_str(), nullptr, 0);
    return read;
}

std::string writeDirectory() {
    const char* directory = PHYSFS_getWriteDir();
    return directory != nullptr ? directory : "";
}

std::string realDirectory(const char* name) {
    const char* directory = PHYSFS_getRealDir(name);
    return directory != nullptr ? directory : "";
}

const char* lastFileError() {
    return errorText();
}

bool readFileFrom(const std::string& archiveOrFolder, const char* name, std::uint64_t maxSize,
                  std::string& text, std::string& reason) {
    // A mount point of its own keeps the file apart from the game's files of the same name.
    static const std::string kMountPoint = "/.opened-from-outside";
    if (!mountsAsFolderOrArchive(archiveOrFolder.c_str()) ||
        !PHYSFS_mount(archiveOrFolder.c_str(), kMountPoint.c_str(), 0)) {
        reason = errorText();
        return false;
    }
    const std::string path = kMountPoint + "/" + name;
    PHYSFS_File* file = openRegularFile(path.c_str());
    bool read = false;
    if (file == nullptr) {
        reason = errorText();
    } else {
        const PHYSFS_sint64 length = PHYSFS_fileLength(file);
        if (length < 0 || static_cast<std::uint64_t>(length) > maxSize) {
            reason = "it is too large";
        } else {
            text.resize(static_cast<std::size_t>(length));
            read = PHYSFS_readBytes(file, &text[0], text.size()) == length;
            if (!read)
                reason = errorText();
        }
        PHYSFS_close(file);
    }
    PHYSFS_unmount(archiveOrFolder.c_str());
    return read;
}

std::string programDirectory() {
    const char* base = PHYSFS_isInit() ? PHYSFS_getBaseDir() : nullptr;
    return base != nullptr ? base : "./";
}

void toPortableSeparators(std::string& path) {
    replaceAll(path, PHYSFS_getDirSeparator(), "/");
}

void toPlatformSeparators(std::string& path) {
    replaceAll(path, "/", PHYSFS_getDirSeparator());
}

}  // namespace file
}  // namespace pentavel
