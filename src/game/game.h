// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The top-level game object: one GameStructure plus the pause state and the game's own slots.

#include "engine/core/signal.h"
#include "game/game_structure.h"

namespace tezmola {

class Game {
public:
    Game() = default;
    ~Game() = default;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Initialises the GameStructure, then connects the focus handler (activeSignal), the key handler
    // (keyDownSignal), the game tick (tickSignal) and the quit handler (quitSignal). False when the
    // GameStructure cannot start.
    bool initialise();

    bool paused() const { return paused_; }
    GameStructure& structure() { return structure_; }
    const GameStructure& structure() const { return structure_; }

    // activeSignal slot: losing input focus or being iconified pauses, getting it back resumes.
    void onActive(int which, bool gained);
    // keyDownSignal slot: Escape quits, Pause toggles the pause, Alt+Enter switches between the window and
    // full screen.
    void onKeyDown(int key);
    // tickSignal slot: runs the fixed simulation steps that have come due.
    void onTick();
    // quitSignal slot: the game in play ends with the program and is offered to the high-score table.
    void onQuit();

private:
    pentavel::ScopedTracker tracker_;
    GameStructure structure_;
    bool paused_ = false;
};

}  // namespace tezmola
