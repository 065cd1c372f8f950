// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The top-level game object: one GameStructure plus the pause state, the shelf of level sets and the
// game's own slots.

#include <cstdint>
#include <functional>
#include <string>

#include "engine/core/signal.h"
#include "game/command_line.h"
#include "game/display/help_view.h"
#include "game/display/shelf_view.h"
#include "game/play/game_structure.h"
#include "game/play/motion_blend.h"
#include "game/records/shelf.h"
#include "game/replay_watch.h"

namespace tezmola {

// The GAME OVER board left alone this long (engine time) plays the demo.
constexpr std::uint32_t kDemoDelayMilliseconds = 20000;

class Game {
public:
    Game() = default;
    ~Game() = default;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Initialises the GameStructure with the set the options name, else the one remembered, else the
    // levels the game has always read; then connects the focus handler (activeSignal), the key handler
    // (keyDownSignal), the pointer, the game tick (tickSignal) and the quit handler (quitSignal). False
    // when the GameStructure cannot start.
    bool initialise(const GameOptions& options = GameOptions());

    bool paused() const { return paused_; }
    GameStructure& structure() { return structure_; }
    const GameStructure& structure() const { return structure_; }
    Shelf& shelf() { return shelf_; }
    const ShelfView& shelfView() const { return shelfView_; }
    const HelpView& helpView() const { return helpView_; }

    // activeSignal slot: losing input focus or being iconified pauses, getting it back resumes.
    void onActive(int which, bool gained);
    // keyDownSignal slot: Escape quits, Pause toggles the pause, Alt+Enter switches between the window and
    // full screen, F3 opens the shelf, H the help of a game in play; while the shelf is open its keys go
    // to it, while the help is open H and Escape close it and the other keys do nothing.
    void onKeyDown(int key);
    void onMouseButtonDown(int button, float x, float y);
    void onMouseMotion(float x, float y);
    // tickSignal slot: runs the fixed simulation steps that have come due, and reads one set of the shelf
    // ahead of its opening.
    void onTick();
    // quitSignal slot: the game in play ends with the program and is offered to the high-score table.
    void onQuit();
    // joyButtonDownSignal slot: ends the demo.
    void onJoyButtonDown(int joystick, int button);

    const ReplayWatch& watch() const { return watch_; }

private:
    void openShelf();
    void closeShelf();
    void openHelp();
    void closeHelp();
    // The shelf or the help over the game: paused as Pause pauses it, the devices held from it. Gives
    // the pause it had.
    bool holdUnderView();
    // The view closed: the devices reach the game again, which is paused again as it was.
    void releaseFromView(bool pausedBefore);
    void startChosenSet();
    void readChosenSet();
    void showCaption();
    bool initialiseReplay(const std::string& file);
    void connectSlots();
    void onWatchKey(int key);
    bool onBoardKey(int key);
    void playChosenReplay();
    void startDemo();
    void stopWatching();
    void runWatchedSteps();
    void countIdleTime();
    // beforeDrawSignal and afterDrawSignal slots: the moving things shown between the last two steps, and
    // put back after the draw.
    void onBeforeDraw();
    void onAfterDraw();

    pentavel::ScopedTracker tracker_;
    GameStructure structure_;
    bool paused_ = false;
    Shelf shelf_;
    ShelfView shelfView_;
    HelpView helpView_;
    bool pausedBeforeView_ = false;  // the pause that closing the shelf or the help gives back
    std::uint32_t bannerClock_ = 0;
    bool bannerClockStarted_ = false;
    ReplayWatch watch_{structure_};
    MotionBlend motion_;
    bool quitAfterWatch_ = false;  // --replay: Escape quits rather than going back to a board
    // The time the GAME OVER board has been left alone, for the demo.
    bool idleCounting_ = false;
    std::uint32_t idleSince_ = 0;
};

// Plays a game with the options: initialises it, then runs the main loop until the player quits. 0 after
// a game, 1 (the loop never run) when the game cannot start.
int playGame(const GameOptions& options, const std::function<void()>& mainLoop);

}  // namespace tezmola
