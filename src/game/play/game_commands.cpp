// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/play/game_commands.h"

#include <algorithm>

#include "engine/core/timer.h"
#include "game/display/hud.h"
#include "game/field/balls.h"
#include "game/field/collisions.h"
#include "game/field/level.h"
#include "game/field/paddle.h"
#include "game/play/game_step.h"
#include "game/play/game_structure.h"
#include "game/play/level_build.h"

namespace tezmola {

namespace {

// F10 brings a finished game back and gives one more spare ball.
void revive(bool& playing, HighScoreBoard& board, SpareBalls& spares) {
    if (!playing) {
        playing = true;
        board.hide();
    }
    if (spares.lives < kMaxLives)
        addSpareBall(spares);
}

bool isLevelChange(const PlayerCommand& command) {
    return command.kind == CommandKind::LevelDown || command.kind == CommandKind::LevelUp;
}

// The level before (level 1 stays) or the next.
std::uint32_t changedLevel(std::uint32_t level, CommandKind kind) {
    if (kind == CommandKind::LevelDown)
        return level >= 2 ? level - 1 : level;
    return level + 1;
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
            revive(game.playing, game.highScores, game.spareBalls);
            break;
        case CommandKind::LevelDown:
        case CommandKind::LevelUp:
            game.levelNumber = changedLevel(game.levelNumber, command.kind);
            buildLevel(game);
            break;
    }
    setTitleCheatMark(game.hud);
}

RecordedRun::RecordedRun(GameStructure& game, const GameRecord& record) : game_(game), record_(record) {
    game.startingLevel = record.startingLevel;
    game.paddle.x = record.paddleX;
    game.paddle.y = record.paddleY;
    game.paddle.direction = record.direction;
    game.freePaddle = record.freePaddle;
    placePaddle(game.paddle);
    seedDropGenerator(record.seed);
    newGame(game);
}

// Level changes of one step with nothing between them: those before the last whose build lays the game
// afresh are only logged, since that build leaves the same game whatever theirs laid.
void RecordedRun::changeLevels(const TimedCommand* changes, std::size_t count) {
    LevelOutlook outlook(game_, game_.grid);
    std::uint32_t level = game_.levelNumber;
    std::size_t afresh = 0;
    for (std::size_t index = 0; index < count; ++index) {
        level = changedLevel(level, changes[index].command.kind);
        if (outlook.laysAfresh(level))
            afresh = index;
    }
    for (std::size_t index = 0; index < afresh; ++index) {
        game_.levelNumber = changedLevel(game_.levelNumber, changes[index].command.kind);
        outlook.logBuild(game_.levelNumber);
    }
    for (std::size_t index = afresh; index < count; ++index)
        applyCommand(game_, changes[index].command);
}

bool RecordedRun::applyStep(std::uint32_t step) {
    const std::vector<TimedCommand>& commands = record_.commands;
    std::size_t& next = next_;
    while (next < commands.size() && commands[next].step == step) {
        const auto first = commands.begin() + static_cast<std::ptrdiff_t>(next);
        const auto changes = static_cast<std::size_t>(std::find_if(first, commands.end(),
                                                                   [step](const TimedCommand& timed) {
                                                                       return timed.step != step ||
                                                                              !isLevelChange(timed.command);
                                                                   }) -
                                                      first);
        // A game that records takes each command into its record as it comes.
        if (changes > 1 && !game_.recording) {
            changeLevels(&*first, changes);
            next += changes;
        } else {
            applyCommand(game_, commands[next++].command);
        }
    }
    return step < record_.steps;
}

void RecordedRun::runToEnd() {
    for (std::uint32_t step = 0; applyStep(step); ++step)
        pentavel::updateSignal().emit(pentavel::kStepSeconds);
}

}  // namespace tezmola
