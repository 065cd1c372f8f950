// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/frame_rate_counter.h"

#include <algorithm>
#include <string>

#include "engine/core/engine_signals.h"
#include "engine/core/timer.h"

namespace pentavel {
namespace graphics {
namespace {

constexpr std::uint32_t kUpdateMilliseconds = 1000;
constexpr std::uint32_t kHighestRate = 9999;
constexpr float kDepth = -1000000.0f;
const char kBlankText[] = "FPS: 0000";

}  // namespace

void FrameRateCounter::setUp(const SpriteId* glyphs, float textSize) {
    frameCount_ = 0;
    if (glyphs != nullptr) {
        std::copy(glyphs, glyphs + 256, glyphs_);
    } else {
        std::fill(glyphs_, glyphs_ + 256, 0);
    }
    lastUpdate_ = lastTicks();

    label_.setText(glyphs_, kBlankText);
    label_.setColour(Colour{1.0f, 1.0f, 0.0f, 1.0f});
    label_.setPosition(-1.0f, 0.75f);
    label_.setDepth(kDepth);
    label_.horizontalAlignment = TextLabel::kLeft;
    label_.verticalAlignment = TextLabel::kTop;
    label_.layout();
    label_.setTextSize(textSize);

    // A second set-up must not count every iteration twice.
    if (trackedConnectionCount(tracker_) == 0)
        tickSignal().connect(this, &FrameRateCounter::tick, tracker_);
}

void FrameRateCounter::tick() {
    ++frameCount_;
    // A clock stepped back counts as no time passed; the unsigned difference survives the wrap.
    if (clockSteppedBack(lastUpdate_, lastTicks()))
        lastUpdate_ = lastTicks();
    const std::uint32_t seconds = (lastTicks() - lastUpdate_) / kUpdateMilliseconds;
    if (seconds == 0)
        return;
    // Whole seconds are taken off, so the updates never drift against the clock. Of several seconds at
    // once only the last is shown, and no iteration ended in it.
    lastUpdate_ += seconds * kUpdateMilliseconds;
    const std::uint32_t rate = seconds == 1 ? std::min(frameCount_, kHighestRate) : 0;
    frameCount_ = 0;
    std::string text = kBlankText;
    writeDigits(text, rate, 4);
    label_.setText(glyphs_, text);
}

}  // namespace graphics
}  // namespace pentavel
