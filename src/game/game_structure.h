// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The whole of one running game: play field, balls, paddle, capsules, counters and display. Built once as
// part of the Game and reused from game to game; all play runs in updateGame, one call per 5 ms step.

#include <tinyxml.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/signal.h"
#include "engine/graphics/sprite.h"
#include "game/ball.h"
#include "game/balls.h"
#include "game/brick_grid.h"
#include "game/collisions.h"
#include "game/game_record.h"
#include "game/guard.h"
#include "game/high_score_board.h"
#include "game/hud.h"
#include "game/level.h"
#include "game/level_banner.h"
#include "game/paddle.h"
#include "game/power_up.h"
#include "game/shelf.h"

namespace tezmola {

constexpr std::size_t kMaxBalls = 32;
constexpr float kLossLine = -0.875f;    // the bottom edge less 0.125: balls and capsules below it are gone
constexpr float kOuterLine = 0.875f;    // the top edge plus the same margin: balls above it left the field
constexpr float kOuterColumn = 1.125f;  // the side edges plus that margin: balls beyond it left the field

class GameStructure final : public CollisionListener {
public:
    GameStructure();
    ~GameStructure();
    GameStructure(const GameStructure&) = delete;
    GameStructure& operator=(const GameStructure&) = delete;

    // Slots, connected by initialiseGameStructure.
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

    pentavel::ScopedTracker tracker;
    BrickGrid grid;
    std::int32_t bricksLeft = 0;  // breakable bricks left in the level
    bool freePaddle = false;      // the paddle follows the pointer in y too
    Paddle paddle;
    std::vector<Ball> balls;  // at most kMaxBalls
    std::vector<PowerUp> powerUps;
    std::vector<pentavel::graphics::Sprite> background;
    pentavel::graphics::GlyphTable glyphs = {};
    SpareBalls spareBalls;
    pentavel::Signal<float> cellAnimation;  // emitted once per step with dt; the cells spring back on it
    TiXmlDocument levelDocument;
    LevelContents levelContents;   // of levelDocument's levels built so far
    std::uint64_t levelsLaid = 0;  // builds that laid the grid: what building has cost
    std::uint32_t levelNumber = 1;
    std::int32_t levelCount = 0;
    Hud hud;  // the labels, the top band and the frame-rate counter
    std::int32_t score = 0;
    bool showFrameRate = false;
    bool playing = false;
    bool pausedShown = false;
    std::int32_t scoreMultiplier = 1;
    bool multiplierArmed = false;
    Guard guard;                      // its glow and the hits it has left
    int soundPaddle = 0;              // "beep5"
    int soundBrickHit = 0;            // "beep2"
    int soundBrickDestroyed = 0;      // "beep3"
    int soundWall = 0;                // "beep4"
    int soundCatch = 0;               // "beep1"
    HighScoreBoard highScores;        // the best games, shown during "GAME OVER"
    bool gameEnded = false;           // the game in play has been offered to the table
    ShelfSet levelSet;                // the set played, whose table the board keeps
    bool setChosen = false;           // chosen (F3, an install, --levels) rather than played by default
    std::uint32_t startingLevel = 1;  // where a new game starts
    bool practice = false;            // the game started past level 1, or onlyPractice: it enters no table
    bool onlyPractice = false;        // every game is practice (--practice)
    bool inputHeld = false;           // the shelf is open: the player's commands go to it alone
    LevelBanner banner;               // the set and level shown when a level starts
    // The commands of each game are kept in record, and its replay in the player's folder as it ends.
    bool recording = false;
    GameRecord record;            // the game in play (or the last one, once it ended)
    bool replayLossTold = false;  // a replay that could not be written was told in the log
    // A replay or a demo plays: the devices reach no command, and the game it plays enters no table.
    bool watching = false;
};

// Once, from the Game: paddle, level file, glyphs, background, labels, guard, grid, slots, new game.
// False (after logging why) when the level file cannot be read. The game reads "level.xml"; the level
// checker names the file it was given.
bool initialiseGameStructure(GameStructure& game, const char* levelFile = kLevelFileName);
// The same for a game that a level author tries out: the levels come from the text of a level file, and the
// high-score table is never read nor offered a game. False when the text is not a well-formed level file.
bool initialiseTrialGame(GameStructure& game, const std::string& levelFile);
// The same with the levels already in the game's level document (a set from the shelf): the table is the
// set's own.
void initialiseWithLevels(GameStructure& game, const std::string& highScoreFile);
// The same for a game played again from its record: the levels already in the level document, no table.
void initialiseReplayGame(GameStructure& game);
// Level 1, score 0, four spare balls, first level built; its record started.
void newGame(GameStructure& game);
// One fixed step of dt seconds: balls, losses, serve, capsules, cell animation, guard glow, next level.
void updateGame(GameStructure& game, float dt);
// Applies the effect of a caught capsule.
void applyPowerUp(GameStructure& game, PowerUpKind kind);
// Mirrors the Game's pause for the display: cursor shown only while paused, state label refreshed.
void setPausedShown(GameStructure& game, bool paused);

}  // namespace tezmola
