// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/editor/runs/level_trial.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <vector>

#include "engine/core/engine_signals.h"
#include "engine/core/timer.h"
#include "engine/graphics/display.h"
#include "game/field/images.h"
#include "game/play/game_step.h"
#include "tools/editor/runs/set_proof.h"

namespace tezmola {
namespace editor {

namespace {

constexpr std::uint32_t kFastSliceMilliseconds = 25;  // of play per frame when fast-forwarding a proof
constexpr float kModeY = 0.7f;                        // over the game's title in its top band
constexpr float kModeSize = 0.5f;
constexpr float kModeDepth = -40.0f;

const char kTestPlayLabel[] = "TEST PLAY  Esc returns";
const char kProvingLabel[] = "PROVING  F faster  Esc stops";

}  // namespace

LevelTrial::LevelTrial(const pentavel::graphics::SpriteId* glyphs) : glyphs_(glyphs) {
    pentavel::beforeDrawSignal().connect(this, &LevelTrial::onBeforeDraw, tracker_);
    pentavel::afterDrawSignal().connect(&motion_, &MotionBlend::restore, tracker_);
}

LevelTrial::~LevelTrial() = default;

bool LevelTrial::start(const LevelDraft& level, bool proving) {
    const std::string text = writeLevelSet(std::vector<LevelDraft>(1, level));
    trial_ = makeTrialGame(text);
    if (trial_ == nullptr)
        return false;
    paused_ = false;
    fast_ = false;
    playing_ = !proving;
    motion_ = MotionBlend();
    pentavel::graphics::holdStillFrame(false);
    if (!proving) {
        showMode(kTestPlayLabel);
        pentavel::resetSimulationClock();
        return true;
    }
    showMode(kProvingLabel);
    if (!beginLevelCheck(*trial_, 1, proofReport_))
        return false;
    proofPlay_ = std::make_unique<LevelPlay>(*trial_, kProofSeconds);
    proofClock_ = pentavel::lastTicks();
    return true;
}

// Over the game's own title, which names the game and not the trial.
void LevelTrial::showMode(const char* text) {
    modeLabel_.horizontalAlignment = pentavel::graphics::TextLabel::kCentre;
    modeLabel_.verticalAlignment = pentavel::graphics::TextLabel::kMiddle;
    modeLabel_.setText(glyphs_, text);
    modeLabel_.setTextSize(kModeSize);
    modeLabel_.setDepth(kModeDepth);
    modeLabel_.setPosition(0.0f, kModeY);
    modeLabel_.setColour(pentavel::graphics::Colour{1.0f, 1.0f, 0.0f, 1.0f});
    modeLabel_.setVisible(true);
    modeLabel_.layout();
    const float half = modeLabel_.width() * 0.5f + 0.03f;
    modeBack_.setSpriteByName(kTopBandImage);
    modeBack_.setRectangle(-half, 0.75f, half, 0.655f);
    modeBack_.setColour(pentavel::graphics::Colour{0.0f, 0.0f, 0.0f, 1.0f});
    modeBack_.setDepth(kModeDepth + 1.0f);
    modeBack_.setVisible(true);
}

void LevelTrial::stop() {
    motion_.restore();
    proofPlay_.reset();
    trial_.reset();
    modeLabel_.setText(glyphs_, "");
    modeBack_.setVisible(false);
}

void LevelTrial::play() {
    runDueSteps(motion_, *trial_, paused_);
}

// The steps place no sprite of what moves and set no label: the picture of each frame is made here.
void LevelTrial::onBeforeDraw() {
    if (trial_ == nullptr)
        return;
    motion_.place(*trial_, playing_ && !paused_ ? pentavel::stepShare() : 1.0f);
    showFigures(trial_->hud, figuresOf(*trial_, *trial_));
}

void LevelTrial::setPaused(bool paused) {
    paused_ = paused;
    setPausedShown(*trial_, paused_);
}

bool LevelTrial::stepProof() {
    if (proofPlay_ == nullptr)
        return false;
    const std::uint32_t now = pentavel::lastTicks();
    if (fast_) {
        const std::uint32_t start = SDL_GetTicks();
        while (SDL_GetTicks() - start < kFastSliceMilliseconds && proofPlay_->step()) {
        }
    } else {
        std::uint32_t due = std::min<std::uint32_t>((now - proofClock_) / pentavel::kStepMilliseconds,
                                                    pentavel::kMaxCatchUpSteps);
        while (due-- > 0 && proofPlay_->step()) {
        }
    }
    proofClock_ = now;
    return proofPlay_->finished();
}

std::string LevelTrial::finishProof(std::uint32_t number, LevelProof& proof) {
    if (proofPlay_ != nullptr)
        endLevelCheck(proofReport_, proofPlay_->result());
    proofReport_.number = number;
    proof.verdict = proofReport_.verdict;
    std::size_t parsed = 0;
    parseLevelLine(describeLevel(proofReport_), parsed, proof);
    for (const LevelNote& note : proofReport_.notes)
        proof.notes.push_back((note.error ? "error: " : "warning: ") + note.text);
    return describeLevel(proofReport_);
}

}  // namespace editor
}  // namespace tezmola
