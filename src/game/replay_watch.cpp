// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/replay_watch.h"

#include <cstdio>

#include "engine/core/timer.h"
#include "engine/graphics/text_label.h"
#include "game/checks/autopilot.h"
#include "game/display/high_score_board.h"
#include "game/display/hud.h"
#include "game/display/level_banner.h"
#include "game/field/collisions.h"
#include "game/field/level.h"
#include "game/play/game_commands.h"
#include "game/play/game_end.h"
#include "game/play/game_step.h"
#include "game/play/game_structure.h"
#include "game/play/level_build.h"
#include "game/records/replay_file.h"

namespace tezmola {

namespace {

// In the bottom band, between the spare balls and the multiplier, below the paddle.
constexpr float kLabelY = -0.72f;
constexpr float kLabelDepth = -12.0f;
const pentavel::graphics::Colour kLabelColour{0.0f, 1.0f, 1.0f, 1.0f};

void setSpareBalls(SpareBalls& spares, std::uint32_t count) {
    while (spares.lives > 0)
        removeSpareBall(spares);
    while (spares.lives < count)
        addSpareBall(spares);
}

}  // namespace

ReplayWatch::ReplayWatch(GameStructure& game) : game_(game) {}
ReplayWatch::~ReplayWatch() = default;

void ReplayWatch::begin(WatchKind kind) {
    GameStructure& game = game_;
    kind_ = kind;
    finished_ = false;
    fast_ = false;
    step_ = 0;
    run_.reset();
    saved_.score = game.score;
    saved_.level = game.levelNumber;
    saved_.balls = game.spareBalls.lives;
    saved_.startingLevel = game.startingLevel;
    saved_.practice = game.practice;
    saved_.freePaddle = game.freePaddle;
    saved_.cheated = hasCheatMark(game.hud);
    saved_.multiplier = game.scoreMultiplier;
    saved_.direction = game.paddle.direction;
    saved_.paddleX = game.paddle.x;
    saved_.paddleY = game.paddle.y;
    saved_.dropState = dropGeneratorState();
    // newGame starts the watched game's record afresh; the finished game's own waits here.
    saved_.record = std::move(game.record);
    game.watching = true;
}

void ReplayWatch::startReplay(const Replay& replay) {
    begin(WatchKind::Replay);
    record_ = replay.record;
    char score[16];
    std::snprintf(score, sizeof score, "%08u", static_cast<unsigned int>(replay.claim.score));
    caption_ = "REPLAY  " + replay.player + "  " + score + "  " + replay.date;
    run_ = std::make_unique<RecordedRun>(game_, record_);
    showLabel();
}

void ReplayWatch::startDemo(const Replay* replay) {
    begin(WatchKind::Demo);
    caption_ = "DEMO";
    if (replay != nullptr) {
        record_ = replay->record;
        run_ = std::make_unique<RecordedRun>(game_, record_);
    } else {
        GameStructure& game = game_;
        game.startingLevel = 1;
        newGame(game);
        pilot_ =
            std::make_unique<Autopilot>(game.grid, game.bricksLeft, game.paddle, game.balls, game.powerUps);
    }
    showLabel();
}

bool ReplayWatch::step() {
    if (finished_)
        return false;
    GameStructure& game = game_;
    if (run_ != nullptr)
        finished_ = !run_->applyStep(step_);
    else
        finished_ = game.levelNumber != 1 || !game.playing || step_ == kLongestDemoSteps;
    if (finished_)
        return false;
    if (run_ == nullptr) {
        if (pilot_->launches())
            applyCommand(game, PlayerCommand{CommandKind::Launch});
        PlayerCommand pointer;
        pointer.kind = CommandKind::Pointer;
        pointer.x = pilot_->pointerX();
        pointer.y = game.paddle.y;
        applyCommand(game, pointer);
    }
    pentavel::updateSignal().emit(pentavel::kStepSeconds);
    ++step_;
    return true;
}

void ReplayWatch::toggleFast() {
    fast_ = !fast_;
    showLabel();
}

void ReplayWatch::showLabel() {
    placeLabel(label_, game_.glyphs, toFontText(caption_ + (fast_ ? "  4X" : ""), game_.glyphs), 0.0f,
               kLabelY, pentavel::graphics::TextLabel::kCentre, kLabelColour, kLabelDepth);
    label_.setVisible(true);
}

void ReplayWatch::stop() {
    if (!active())
        return;
    GameStructure& game = game_;
    label_.setVisible(false);
    kind_ = WatchKind::None;
    game.watching = false;
    game.record = std::move(saved_.record);
    game.startingLevel = saved_.startingLevel;
    game.practice = saved_.practice;
    game.freePaddle = saved_.freePaddle;
    game.paddle.x = saved_.paddleX;
    game.paddle.y = saved_.paddleY;
    game.paddle.direction = saved_.direction;
    placePaddle(game.paddle);
    seedDropGenerator(saved_.dropState);
    // The level the game ended on, laid afresh, without a ball or the banner.
    game.playing = false;
    game.levelNumber = saved_.level;
    buildLevel(game);
    hideBanner(game.banner);
    game.score = saved_.score;
    setSpareBalls(game.spareBalls, saved_.balls);
    game.scoreMultiplier = saved_.multiplier;
    if (saved_.cheated)
        setTitleCheatMark(game.hud);
    else
        clearTitleCheatMark(game.hud);
    game.gameEnded = true;
    endGame(game, true);
}

}  // namespace tezmola
