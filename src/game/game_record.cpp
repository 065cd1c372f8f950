// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/game_record.h"

#include "engine/core/timer.h"
#include "game/balls.h"
#include "game/collisions.h"
#include "game/game_structure.h"
#include "game/hud.h"
#include "game/level.h"
#include "game/paddle.h"

namespace tezmola {

namespace {

// F10 brings a finished game back and gives one more spare ball.
void revive(GameStructure& game) {
    if (!game.playing) {
        game.playing = true;
        game.highScores.hide();
        // Refreshed rather than hidden, so that a paused game keeps showing "PAUSED".
        refreshStateLabel(game.hud, game.pausedShown, game.playing);
    }
    if (game.spareBalls.lives < kMaxLives)
        addSpareBall(game.spareBalls);
}

void changeLevel(GameStructure& game, int delta) {
    if (delta < 0 && game.levelNumber >= 2)
        --game.levelNumber;
    else if (delta > 0)
        ++game.levelNumber;
    buildLevel(game);
}

void record(GameRecord& record, const PlayerCommand& command) {
    std::vector<TimedCommand>& commands = record.commands;
    // Of pointer moves in one step with nothing between them only the last one counts: each sets the same
    // coordinates afresh.
    if (command.kind == CommandKind::Pointer && !commands.empty() && commands.back().step == record.steps &&
        commands.back().command.kind == CommandKind::Pointer) {
        commands.back().command = command;
        return;
    }
    if (commands.size() >= kMaxRecordedCommands) {
        record.complete = false;
        return;
    }
    commands.push_back(TimedCommand{record.steps, command});
}

}  // namespace

void applyCommand(GameStructure& game, const PlayerCommand& command) {
    if (game.recording && !game.gameEnded && game.record.complete)
        record(game.record, command);
    switch (command.kind) {
        case CommandKind::Launch:
            launchBalls(game.balls, game.paddle);
            return;
        case CommandKind::Pointer:
            game.paddle.x = command.x;
            if (game.freePaddle)
                game.paddle.y = command.y;
            placePaddle(game.paddle);
            return;
        case CommandKind::Steer:
            game.paddle.direction = command.direction;
            return;
        case CommandKind::FreePaddle:
            game.freePaddle = !game.freePaddle;
            break;
        case CommandKind::DropBall:
            removeSpareBall(game.spareBalls);
            break;
        case CommandKind::Revive:
            revive(game);
            break;
        case CommandKind::LevelDown:
            changeLevel(game, -1);
            break;
        case CommandKind::LevelUp:
            changeLevel(game, +1);
            break;
    }
    setTitleCheatMark(game.hud);
}

GameResult resultOf(const GameStructure& game) {
    return GameResult{game.score, game.levelNumber, game.spareBalls.lives};
}

bool operator==(const GameResult& a, const GameResult& b) {
    return a.score == b.score && a.level == b.level && a.balls == b.balls;
}

void startRecord(GameStructure& game) {
    GameRecord& record = game.record;
    record.seed = dropGeneratorState();
    record.startingLevel = game.startingLevel;
    record.paddleX = game.paddle.x;
    record.paddleY = game.paddle.y;
    record.direction = game.paddle.direction;
    record.freePaddle = game.freePaddle;
    record.steps = 0;
    record.commands.clear();
    record.complete = true;
}

void startRecordedGame(GameStructure& game, const GameRecord& record) {
    game.startingLevel = record.startingLevel;
    game.paddle.x = record.paddleX;
    game.paddle.y = record.paddleY;
    game.paddle.direction = record.direction;
    game.freePaddle = record.freePaddle;
    placePaddle(game.paddle);
    seedDropGenerator(record.seed);
    newGame(game);
}

bool applyRecordedStep(GameStructure& game, const GameRecord& record, std::uint32_t step, std::size_t& next) {
    while (next < record.commands.size() && record.commands[next].step == step)
        applyCommand(game, record.commands[next++].command);
    return step < record.steps;
}

void replayRecord(GameStructure& game, const GameRecord& record) {
    startRecordedGame(game, record);
    std::size_t next = 0;
    for (std::uint32_t step = 0; applyRecordedStep(game, record, step, next); ++step)
        pentavel::updateSignal().emit(pentavel::kStepSeconds);
}

}  // namespace tezmola
