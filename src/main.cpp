// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Program entry: start the engine, build and run the game, shut down in order.

#include <memory>

#include "engine/app/engine.h"
#include "engine/core/signal.h"
#include "game/game.h"

int main(int argc, char* argv[]) {
    using namespace pentavel;
    ConnectionTracker* engineHandle = createTracker();
    const char* programPath = argc > 0 ? argv[0] : nullptr;
    if (!startEngine(engineHandle, programPath, "Tezmola", "Pentavel", "Tezmola")) {
        releaseTracker(engineHandle);
        return 1;
    }
    int exitCode = 0;
    {
        auto game = std::make_unique<tezmola::Game>();
        if (game->initialise()) {
            runMainLoop();
        } else {
            exitCode = 1;
        }
    }
    releaseTracker(engineHandle);
    return exitCode;
}
