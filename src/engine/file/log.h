// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The run-time log, log.html in the per-user directory: one time-stamped, coloured line per message.

#include <cstdarg>

namespace pentavel {

constexpr char kLogFileName[] = "log.html";  // the game's; a tool beside it names its own

// Opens (truncating) the log file in the write directory and writes the head and "=== BEGIN LOG ===".
// False, writing nothing, when the file cannot be opened.
bool openLog(const char* fileName = kLogFileName);
// Writes "=== END LOG ===" and the tail, closes the file; false when not open or the close failed.
bool closeLog();
bool isLogOpen();

// Levels 0 (progress), 1 (error, bold), 2 (warning), 3 (detail). Dropped while the log is closed.
void logMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Most verbose diagnostics: discarded.
void logDebug(const char* format, ...) __attribute__((format(printf, 1, 2)));
void writeLogLine(int level, const char* format, va_list arguments);

}  // namespace pentavel
