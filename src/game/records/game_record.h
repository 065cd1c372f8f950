// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the player reaches a game in play. Keys, pointer, joystick and the autopilot turn what they do
// into commands, applied at once where they come; a game is then its levels, the state it started from and
// its commands, each tied to the number of 5 ms steps run before it, and playing those again repeats it.

#include <cstdint>
#include <vector>

namespace tezmola {

enum class CommandKind : std::uint8_t {
    Launch = 1,      // frees every ball resting on the paddle
    Pointer = 2,     // the paddle to x (and to y while it is free), play-field units
    Steer = 3,       // the paddle's direction becomes `direction` (a PaddleDirection)
    FreePaddle = 4,  // cheat: the paddle follows the pointer in y too, or no longer
    DropBall = 5,    // cheat: one spare ball fewer
    Revive = 6,      // cheat: a finished game plays on, and one spare ball more
    LevelDown = 7,   // cheat: the level before (level 1 is built again)
    LevelUp = 8,     // cheat: the next level
};
constexpr std::uint8_t kLastCommandKind = 8;

struct PlayerCommand {
    CommandKind kind = CommandKind::Launch;
    std::int32_t direction = 0;  // Steer
    float x = 0.0f;              // Pointer
    float y = 0.0f;
};

// A command and the number of steps the game had run when it came.
struct TimedCommand {
    std::uint32_t step = 0;
    PlayerCommand command;
};

// Longest record kept: hours of a pointer that never rests; a longer game is played on but not recorded.
constexpr std::size_t kMaxRecordedCommands = std::size_t{1} << 21;

// A game from its start to its end (a game over, a new game, the program's end).
struct GameRecord {
    std::uint32_t seed = 0;  // the capsule draw's state at the start
    std::uint32_t startingLevel = 1;
    // The paddle as the new game found it: a game does not move it back to the middle.
    float paddleX = 0.0f;
    float paddleY = 0.0f;
    std::int32_t direction = 0;
    bool freePaddle = false;
    std::uint32_t steps = 0;  // run before the game ended
    std::vector<TimedCommand> commands;
    // False when the game cannot be played again: too long a record, or a first level that could not be
    // built (the game then kept balls and capsules of the game before).
    bool complete = true;
};

// Where a game stands (at its end, the result it reached): its score, its level and the spare balls left.
struct GameResult {
    std::int32_t score = 0;
    std::uint32_t level = 0;
    std::uint32_t balls = 0;
};
inline bool operator==(const GameResult& a, const GameResult& b) {
    return a.score == b.score && a.level == b.level && a.balls == b.balls;
}

}  // namespace tezmola
