// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The whole of one running game: play field, balls, paddle, capsules, counters and display. Built once as
// part of the Game and reused from game to game; all play runs in updateGame (game_step.h), one call per
// 5 ms step.

#include <tinyxml.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/signal.h"
#include "engine/graphics/sprite.h"
#include "game/display/high_score_board.h"
#include "game/display/hud.h"
#include "game/display/level_banner.h"
#include "game/field/ball.h"
#include "game/field/balls.h"
#include "game/field/brick_grid.h"
#include "game/field/collision_listener.h"
#include "game/field/guard.h"
#include "game/field/level.h"
#include "game/field/paddle.h"
#include "game/field/power_up.h"
#include "game/records/game_record.h"
#include "game/records/shelf.h"

namespace tezmola {

constexpr std::size_t kMaxBalls = 32;

// What happened in a step that the step itself does not act on.
struct StepEvents {
    bool gameOver = false;  // the last ball was lost with no spare ball left
};

// The GameStructure is made of these parts, so that a function says which of them it touches.

// The field and what is in play on it: bricks, paddle, balls, capsules, guard, the spare balls, and the
// counters of the game in play.
struct PlayField {
    BrickGrid grid;
    std::int32_t bricksLeft = 0;  // breakable bricks left in the level
    bool freePaddle = false;      // the paddle follows the pointer in y too
    Paddle paddle;
    std::vector<Ball> balls;  // at most kMaxBalls
    std::vector<PowerUp> powerUps;
    std::vector<pentavel::graphics::Sprite> background;
    SpareBalls spareBalls;
    pentavel::Signal<float> cellAnimation;  // emitted once per step with dt; the cells spring back on it
    std::uint32_t levelNumber = 1;
    std::uint32_t startingLevel = 1;  // where a new game starts
    std::int32_t score = 0;
    bool playing = false;
    std::int32_t scoreMultiplier = 1;
    bool multiplierArmed = false;
    Guard guard;  // its glow and the hits it has left
    // What the last step reported, for the layer above it to act on.
    StepEvents events;
};

// Where the levels come from: the document of the set played and the builds read from it.
struct LevelSource {
    TiXmlDocument levelDocument;
    LevelContents levelContents;   // of levelDocument's levels built so far
    std::uint64_t levelsLaid = 0;  // builds that laid the grid: what building has cost
    std::int32_t levelCount = 0;
    ShelfSet levelSet;       // the set played, whose table the board keeps
    bool setChosen = false;  // chosen (F3, an install, --levels) rather than played by default
};

// What the player sees around the field.
struct GameDisplay {
    pentavel::graphics::GlyphTable glyphs = {};
    Hud hud;  // the labels, the top band and the frame-rate counter
    bool showFrameRate = false;
    bool pausedShown = false;
    bool inputHeld = false;  // the shelf or the help is open: the player's keys go to it alone
    LevelBanner banner;      // the set and level shown when a level starts
};

struct GameSounds {
    int soundPaddle = 0;          // "beep5"
    int soundBrickHit = 0;        // "beep2"
    int soundBrickDestroyed = 0;  // "beep3"
    int soundWall = 0;            // "beep4"
    int soundCatch = 0;           // "beep1"
};

// What is kept of the games played: the table, and the record of the game in play for its replay.
struct GameKeeping {
    HighScoreBoard highScores;  // the best games, shown during "GAME OVER"
    bool gameEnded = false;     // the game in play has been offered to the table
    bool practice = false;      // the game started past level 1, or onlyPractice: it enters no table
    bool onlyPractice = false;  // every game is practice (--practice)
    // The commands of each game are kept in record, and its replay in the player's folder as it ends.
    bool recording = false;
    GameRecord record;            // the game in play (or the last one, once it ended)
    bool replayLossTold = false;  // a replay that could not be written was told in the log
    // A replay or a demo plays: the devices reach no command, and the game it plays enters no table.
    bool watching = false;
};

class GameStructure final : public CollisionListener,
                            public PlayField,
                            public LevelSource,
                            public GameDisplay,
                            public GameSounds,
                            public GameKeeping {
public:
    GameStructure();
    ~GameStructure();
    GameStructure(const GameStructure&) = delete;
    GameStructure& operator=(const GameStructure&) = delete;

    // Connects the slots below to the engine's signals, tracked by tracker; once, while initialising.
    void connectSlots();
    // Slots.
    void update(float dt);  // updateSignal: updateGame
    void onKeyDown(int key);
    void onKeyUp(int key);
    void onMouseButtonDown(int button, float x, float y);
    void onMouseMotion(float x, float y);
    void onJoyAxis(int joystick, int axis, int value);
    void onJoyButtonDown(int joystick, int button);

    // What the balls' collisions report: sounds, the bricks left, the score, capsules, the guard and the
    // multiplier.
    void brickDamaged(float x) override;
    void brickDestroyed(BrickKind kind, std::int32_t points, float x) override;
    void capsuleDropped(PowerUpKind kind, float x, float y) override;
    void pipeHit(float x) override;
    void guardHit(float x) override;
    void paddleTouched(float x) override;

    // Members go before the parts: the slots are disconnected before any part is released.
    pentavel::ScopedTracker tracker;

private:
    void steer(std::int32_t direction);
};

// Where the game in play stands: its score, its level and the spare balls left.
GameResult resultOf(const PlayField& field);
// What the heads-up display shows of the game in play.
HudFigures figuresOf(const PlayField& field, const GameDisplay& display);

}  // namespace tezmola
