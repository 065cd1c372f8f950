#include "engine/file/log.h"

#include <ctime>

#include "engine/file/file_system.h"

namespace pentavel {
namespace {

const char* const kLogFileName = "log.html";
const char* const kLevelColours[] = {"black", "red", "darkorange", "darkblue", "green"};
const int kLevelCount = 5;
const int kErrorLevel = 1;

file::FileHandle* logFile = nullptr;

void writeLevelLine(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
void writeLevelLine(int level, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    writeLogLine(level, format, arguments);
    va_end(arguments);
}

}  // namespace

bool openLog() {
    if (logFile != nullptr)
        return true;
    logFile = file::openFileWrite(kLogFileName);
    if (logFile == nullptr)
        return false;
    file::filePrintf(logFile, "<html><head>\n<title>Run-time log</title>\n</head><body>\n");
    file::filePrintf(logFile, "<style type=\"text/css\"><!--\n");
    for (int level = 0; level < kLevelCount; ++level) {
        file::filePrintf(logFile, ".L%d {color:%s}\n", level, kLevelColours[level]);
    }
    file::filePrintf(logFile, "--></style>\n");
    writeLevelLine(0, "=== BEGIN LOG ===");
    return true;
}

bool closeLog() {
    if (logFile == nullptr)
        return false;
    writeLevelLine(0, "=== END LOG ===");
    file::filePrintf(logFile, "</body></html>");
    file::FileHandle* handle = logFile;
    logFile = nullptr;
    return file::closeFile(handle);
}

bool isLogOpen() {
    return logFile != nullptr;
}

void writeLogLine(int level, const char* format, va_list arguments) {
    if (logFile == nullptr)
        return;
    const std::time_t now = std::time(nullptr);
    if (level == kErrorLevel)
        file::filePrintf(logFile, "<b>");
    // ctime's text ends in a line feed, so ":</i>" starts the next line of the file.
    const char* timeText = std::ctime(&now);
    file::filePrintf(logFile, "<i>%s:</i>", timeText != nullptr ? timeText : "?\n");
    file::filePrintf(logFile, "\t<span class=\"L%d\">", level);
    file::fileVprintf(logFile, format, arguments);
    file::filePrintf(logFile, "</span><br>\n");
    if (level == kErrorLevel)
        file::filePrintf(logFile, "</b>");
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
