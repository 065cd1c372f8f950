// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/log.h"

#include <physfs.h>

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

}  // namespace

bool openLog(const char* fileName) {
    if (logFile.handle != nullptr)
        return true;
    file::FileHandle* handle = file::openFileWrite(fileName);
    if (handle == nullptr)
        return false;
    logFile = LogFile();
    logFile.handle = handle;
    logFile.name = fileName;
    writeHead();
    writeLine(0, "=== BEGIN LOG ===");
    return true;
}

bool closeLog() {
    if (logFile.handle == nullptr)
        return false;
    writeDroppedCounts();
    writeLine(0, "=== END LOG ===", true);
    writeText("</body></html>");
    file::FileHandle* handle = logFile.handle;
    logFile = LogFile();
    return file::closeFile(handle);
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
