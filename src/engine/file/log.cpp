// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/log.h"

#include <fcntl.h>
#include <physfs.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/file/file_system.h"

namespace pentavel {
namespace {

const char* const kLevelColours[] = {"black", "red", "darkorange", "darkblue", "green"};
const int kLevelCount = 5;
const int kErrorLevel = 1;
const int kWarningLevel = 2;
// A message is written this many times in a run; later copies are only counted, so a fault that repeats
// every frame or step cannot fill the disk. Messages that differ only in their numbers count as copies
// ("Level 7 is malformed", "Level 8 is malformed"); names with digits (beep1.wav, beep2.wav) stay apart.
const int kMaxCopies = 20;
// log.html never grows beyond this, its tail included.
const std::int64_t kMaxLogBytes = std::int64_t{16} * 1024 * 1024;
// Kept free below the limit for the line saying the log is full, the last line and the tail.
const std::int64_t kClosingRoom = 1024;
const std::size_t kFormatBufferSize = 1024;
// Copies of a program running at once, each with a log of its own, before the last one shares its log.
const int kMaxLogCopies = 9;

struct Copies {
    int written = 0;
    long long dropped = 0;
    std::string firstDropped;  // the text of the first copy not written
};

struct LogFile {
    file::FileHandle* handle = nullptr;
    std::string name;
    std::int64_t bytes = 0;  // written so far
    bool full = false;       // the size limit was reached: nothing but the tail is written any more
    std::unordered_map<std::string, Copies> copies;  // by copyKey
    std::vector<std::string> droppedKeys;            // keys of copies, in the order of their first drop
    int lock = -1;  // held on the file while it is written, so that another copy takes another name
};

LogFile logFile;

std::string formatMessage(const char* format, va_list arguments) {
    va_list again;
    va_copy(again, arguments);
    char buffer[kFormatBufferSize];
    const int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    std::string message;
    if (length >= 0 && static_cast<std::size_t>(length) < sizeof buffer) {
        message.assign(buffer, static_cast<std::size_t>(length));
    } else if (length >= 0) {
        std::vector<char> large(static_cast<std::size_t>(length) + 1);
        if (std::vsnprintf(large.data(), large.size(), format, again) == length)
            message.assign(large.data(), static_cast<std::size_t>(length));
    }
    va_end(again);
    return message;
}

void writeText(const std::string& text) {
    if (text.empty())
        return;
    PHYSFS_writeBytes(logFile.handle, text.data(), text.size());
    logFile.bytes += static_cast<std::int64_t>(text.size());
}

// One time-stamped line in its pieces. Unless it is part of the closing, a line that would leave too
// little room for the closing is replaced by the one line saying that the log is full.
void writeLine(int level, const std::string& message, bool closing = false) {
    if (logFile.handle == nullptr || (logFile.full && !closing))
        return;
    const std::time_t now = std::time(nullptr);
    // ctime's text ends in a line feed, so ":</i>" starts the next line of the file.
    const char* timeText = std::ctime(&now);
    const std::string bold = level == kErrorLevel ? "<b>" : "";
    const std::string stamp = std::string("<i>") + (timeText != nullptr ? timeText : "?\n") + ":</i>";
    const std::string span = "\t<span class=\"L" + std::to_string(level) + "\">";
    const std::string end = "</span><br>\n";
    const std::string unbold = level == kErrorLevel ? "</b>" : "";
    const std::size_t length =
        bold.size() + stamp.size() + span.size() + message.size() + end.size() + unbold.size();
    if (!closing && logFile.bytes + static_cast<std::int64_t>(length) > kMaxLogBytes - kClosingRoom) {
        logFile.full = true;
        writeLine(kWarningLevel,
                  "---- " + logFile.name + " has reached " + std::to_string(kMaxLogBytes >> 20) +
                      " MB: later messages are not written",
                  true);
        return;
    }
    writeText(bold);
    writeText(stamp);
    writeText(span);
    writeText(message);
    writeText(end);
    writeText(unbold);
}

void writeHead() {
    writeText("<html><head>\n<title>Run-time log</title>\n</head><body>\n");
    writeText("<style type=\"text/css\"><!--\n");
    for (int level = 0; level < kLevelCount; ++level)
        writeText(".L" + std::to_string(level) + " {color:" + kLevelColours[level] + "}\n");
    writeText("--></style>\n");
}

// The level and the message with each number as "#". Digits joined to letters belong to a name
// (beep1.wav) and are kept.
std::string copyKey(int level, const std::string& message) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    std::string key = std::to_string(level) + ':';
    for (std::size_t at = 0; at < message.size();) {
        std::size_t end = at;
        while (end < message.size() && isDigit(message[end]))
            ++end;
        if (end == at) {
            key.push_back(message[at++]);
            continue;
        }
        const bool named =
            (at > 0 && isLetter(message[at - 1])) || (end < message.size() && isLetter(message[end]));
        key.append(named ? message.substr(at, end - at) : std::string("#"));
        at = end;
    }
    return key;
}

// The count of every message whose later copies were not written.
void writeDroppedCounts() {
    for (const std::string& key : logFile.droppedKeys) {
        const Copies& copies = logFile.copies[key];
        writeLine(kWarningLevel,
                  "---- " + std::to_string(copies.dropped) +
                      " further copies of this message were not written: " + copies.firstDropped);
    }
}

// "log.html" for the first copy, "log-2.html" for the second...
std::string copyName(const std::string& fileName, int copy) {
    if (copy == 1)
        return fileName;
    const std::size_t dot = fileName.rfind('.');
    const std::size_t at = dot == std::string::npos ? fileName.size() : dot;
    return fileName.substr(0, at) + "-" + std::to_string(copy) + fileName.substr(at);
}

// A lock on the log of that name in the write directory, taken before the file is emptied: -1 when another
// copy of the program holds it. Where the folder knows no locks, the name is taken without one.
int lockLogFile(const std::string& name, bool& held) {
    held = false;
    const char* directory = PHYSFS_getWriteDir();
    if (directory == nullptr)
        return -1;
    const std::string path = std::string(directory) + PHYSFS_getDirSeparator() + name;
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return -1;
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        close(descriptor);
        held = true;
        return -1;
    }
    return descriptor;
}

}  // namespace

bool openLog(const char* fileName) {
    if (logFile.handle != nullptr)
        return true;
    std::string name = fileName;
    int lock = -1;
    for (int copy = 1; copy <= kMaxLogCopies; ++copy) {
        bool held = false;
        lock = lockLogFile(copyName(fileName, copy), held);
        if (!held) {
            name = copyName(fileName, copy);
            break;
        }
    }
    file::FileHandle* handle = file::openFileWrite(name.c_str());
    if (handle == nullptr) {
        if (lock >= 0)
            close(lock);
        return false;
    }
    logFile = LogFile();
    logFile.handle = handle;
    logFile.name = name;
    logFile.lock = lock;
    writeHead();
    writeLine(0, "=== BEGIN LOG ===");
    if (name != fileName)
        writeLine(
            0, "Another copy of the program writes " + std::string(fileName) + ": this copy writes " + name);
    return true;
}

bool closeLog() {
    if (logFile.handle == nullptr)
        return false;
    writeDroppedCounts();
    writeLine(0, "=== END LOG ===", true);
    writeText("</body></html>");
    file::FileHandle* handle = logFile.handle;
    const int lock = logFile.lock;
    logFile = LogFile();
    const bool closed = file::closeFile(handle);
    if (lock >= 0)
        close(lock);
    return closed;
}

bool isLogOpen() {
    return logFile.handle != nullptr;
}

void writeLogLine(int level, const char* format, va_list arguments) {
    if (logFile.handle == nullptr || logFile.full)
        return;
    const std::string message = formatMessage(format, arguments);
    const std::string key = copyKey(level, message);
    Copies& copies = logFile.copies[key];
    if (copies.written < kMaxCopies) {
        ++copies.written;
        writeLine(level, message);
    } else if (copies.dropped++ == 0) {
        copies.firstDropped = message;
        logFile.droppedKeys.push_back(key);
        writeLine(kWarningLevel, "---- Further copies of this message are not written: " + message);
    }
}

void logMessage(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    writeLogLine(0, format, arguments);
    va_end(arguments);
}

void logError(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    writeLogLine(1, format, arguments);
    va_end(arguments);
}

void logWarning(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    writeLogLine(2, format, arguments);
    va_end(arguments);
}

void logInfo(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    writeLogLine(3, format, arguments);
    va_end(arguments);
}

void logDebug(const char* /*format*/, ...) {}

}  // namespace pentavel
