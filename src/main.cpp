// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Program entry: read the options, start the engine, build and run the game, shut down in order.

#include <cstdio>

#include "engine/app/engine.h"
#include "engine/core/signal.h"
#include "game/command_line.h"
#include "game/game.h"
#include "game/records/shelf.h"

int main(int argc, char* argv[]) {
    using namespace pentavel;
    const tezmola::GameOptions options = tezmola::readGameOptions(argc, argv);
    const char* programPath = argc > 0 ? argv[0] : nullptr;
    switch (options.action) {
        case tezmola::GameOptions::Action::Help:
            std::fputs(tezmola::gameHelp(), stdout);
            return 0;
        case tezmola::GameOptions::Action::Version:
            std::printf("tezmola (Tezmola) %s\n", TEZMOLA_VERSION);
            return 0;
        case tezmola::GameOptions::Action::UsageError:
            return tezmola::reportUsageError(options.complaint);
        case tezmola::GameOptions::Action::ListLevels:
            return tezmola::printShelf(programPath);
        case tezmola::GameOptions::Action::Play:
            break;
    }
    ConnectionTracker* engineHandle = createTracker();
    if (!startEngine(engineHandle, programPath, "Tezmola", "Pentavel", "Tezmola")) {
        releaseTracker(engineHandle);
        return 1;
    }
    const int exitCode = tezmola::playGame(options, runMainLoop);
    releaseTracker(engineHandle);
    return exitCode;
}
