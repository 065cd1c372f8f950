#include "engine/file/file_system.h"

#include <physfs.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/file/log.h"
#include "engine/file/settings.h"

namespace pentavel {
namespace file {
namespace {

const char* const kArchiveExtension = "pak";
const char* const kMyGamesFolder = "My Games";
const char* const kSettingsFileName = "settings.xml";
const char* const kLogFileName = "log.html";
const char* const kRootDirectory = "/";
const char* const kBadSuffix = ".bad";
// The archives are ZIP files; other readers the library may have been built with stay unused.
const char* const kArchiveType = "ZIP";
const std::size_t kFormatBufferSize = 1024;

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

bool fileSystemRegistered = false;

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

bool setUpFileSystem(const char* programPath, const char* organisation, const char* application) {
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
    if (!setUpUserDirectory(organisation, application))
        return false;
    if (!openLog()) {
        const char* writeDirectory = PHYSFS_getWriteDir();
        std::fprintf(stderr, "Cannot open the log file %s%s%s: %s\n",
                     writeDirectory != nullptr ? writeDirectory : "",
                     writeDirectory != nullptr ? PHYSFS_getDirSeparator() : "", kLogFileName, errorText());
        return false;
    }
    if (!loadSettings(kSettingsFileName))
        return false;
    PHYSFS_mount(PHYSFS_getBaseDir(), nullptr, 1);
    FileList archives = listFiles(kArchiveExtension);
    for (const std::string& name : *archives)
        mountArchive(name.c_str());
    return true;
}

void shutDownFileSystem() {
    if (!PHYSFS_isInit())
        return;
    saveSettings(kSettingsFileName);
    closeLog();
    PHYSFS_deinit();
}

bool setUpUserDirectory(const char* /*organisation*/, const char* application) {
    const std::string documents = documentsFolder();
    if (documents.empty()) {
        std::fputs("Cannot get home documents directory!\n", stderr);
        return true;
    }
    const std::string separator = PHYSFS_getDirSeparator();
    const std::string fullPath = documents + separator + kMyGamesFolder + separator + application;
    const std::string relativePath = std::string(kMyGamesFolder) + "/" + application;
    if (!PHYSFS_setWriteDir(fullPath.c_str())) {
        if (!PHYSFS_setWriteDir(documents.c_str()) || !PHYSFS_mkdir(relativePath.c_str()) ||
            !PHYSFS_setWriteDir(fullPath.c_str())) {
            std::fprintf(stderr, "Cannot select or create the per-user directory %s: %s\n", fullPath.c_str(),
                         errorText());
            PHYSFS_setWriteDir(nullptr);
            return false;
        }
    }
    PHYSFS_mount(fullPath.c_str(), nullptr, 0);
    return true;
}

void mountArchive(const char* name) {
    const char* directory = PHYSFS_getRealDir(name);
    if (directory == nullptr)
        return;
    keepOnlyZipArchiver();
    const std::string path = std::string(directory) + PHYSFS_getDirSeparator() + name;
    PHYSFS_mount(path.c_str(), nullptr, 1);
}

FileHandle* openFileRead(const char* name) {
    return PHYSFS_openRead(name);
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

FileData readFileToMemory(const char* name) {
    FileData result;
    PHYSFS_File* file = PHYSFS_openRead(name);
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
    // The record's size is 32-bit; a larger file is refused rather than truncated.
    const bool fits = static_cast<std::uint64_t>(length) <= UINT32_MAX;
    // One byte at least, so that an empty file still yields a non-null block.
    void* block = fits ? std::malloc(length > 0 ? static_cast<std::size_t>(length) : 1) : nullptr;
    if (block == nullptr) {
        logError("Cannot allocate memory for file %s!", name);
        PHYSFS_close(file);
        return result;
    }
    const PHYSFS_sint64 read = PHYSFS_readBytes(file, block, static_cast<PHYSFS_uint64>(length));
    if (read >= length) {
        result.size = static_cast<std::uint32_t>(length);
        result.data = static_cast<unsigned char*>(block);
    } else {
        logError("Error reading in %s (%s)!", name, lastFileError());
        std::free(block);
    }
    PHYSFS_close(file);
    return result;
}

bool keepBadCopy(const char* name) {
    const std::string badName = std::string(name) + kBadSuffix;
    FileData bytes = readFileToMemory(name);
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

const char* lastFileError() {
    return errorText();
}

void toPortableSeparators(std::string& path) {
    replaceAll(path, PHYSFS_getDirSeparator(), "/");
}

void toPlatformSeparators(std::string& path) {
    replaceAll(path, "/", PHYSFS_getDirSeparator());
}

}  // namespace file
}  // namespace pentavel
