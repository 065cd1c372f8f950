// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of a program beside the game that takes at most one file: --help, --version, "--" and
// one operand, with the usage errors worded alike for each.

#include <cstdio>
#include <cstring>
#include <string>

namespace tezmola {
namespace tools {

constexpr int kUsageError = 2;

// Prints "<program>: <complaint><argument>" and the hint to --help on standard error; returns kUsageError.
inline int usageError(const char* program, const char* complaint, const char* argument) {
    std::fprintf(stderr, "%s: %s%s\nTry '%s --help' for more information.\n", program, complaint, argument,
                 program);
    return kUsageError;
}

// Reads the options every program beside the game shares: --help, --version and "--"; ignored names one
// more option that is taken as read (or is null). Each operand goes to take, which returns false when it
// has told a usage error. -1 to go on; otherwise the exit status, after printing the help, the version
// ("<program> (Tezmola) <version>") or a usage error.
template <typename TakeOperand>
int readArguments(int argc, char* argv[], const char* program, const char* help, const char* version,
                  const char* ignored, TakeOperand take) {
    bool optionsEnded = false;
    for (int index = 1; index < argc; ++index) {
        const char* argument = argv[index];
        if (!optionsEnded && std::strcmp(argument, "--help") == 0) {
            std::fputs(help, stdout);
            return 0;
        }
        if (!optionsEnded && std::strcmp(argument, "--version") == 0) {
            std::printf("%s (Tezmola) %s\n", program, version);
            return 0;
        }
        if (!optionsEnded && std::strcmp(argument, "--") == 0)
            optionsEnded = true;
        else if (!optionsEnded && ignored != nullptr && std::strcmp(argument, ignored) == 0)
            continue;
        else if (!optionsEnded && argument[0] == '-' && argument[1] != '\0')
            return usageError(program, "unknown option ", argument);
        else if (!take(argument))
            return kUsageError;
    }
    return -1;
}

// Reads the arguments into file, which stays null when none is given, as readArguments does.
inline int readSingleFileArguments(int argc, char* argv[], const char* program, const char* help,
                                   const char* version, const char*& file, const char* ignored = nullptr) {
    return readArguments(argc, argv, program, help, version, ignored, [&](const char* argument) {
        if (file != nullptr) {
            usageError(program, "more than one file: ", argument);
            return false;
        }
        file = argument;
        return true;
    });
}

// True when the option stands before any "--".
inline bool hasOption(int argc, char* argv[], const char* option) {
    for (int index = 1; index < argc && std::strcmp(argv[index], "--") != 0; ++index)
        if (std::strcmp(argv[index], option) == 0)
            return true;
    return false;
}

// True for a path that names a game archive ("*.pak").
inline bool hasPakExtension(const std::string& path) {
    const std::string extension = ".pak";
    return path.size() > extension.size() &&
           path.compare(path.size() - extension.size(), extension.size(), extension) == 0;
}

}  // namespace tools
}  // namespace tezmola
