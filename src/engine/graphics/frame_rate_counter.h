// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Counts main-loop iterations and shows "FPS: nnnn" once per second of real time.

#include <cstdint>

#include "engine/core/signal.h"
#include "engine/graphics/text_label.h"

namespace pentavel {
namespace graphics {

class FrameRateCounter {
public:
    FrameRateCounter() = default;
    FrameRateCounter(const FrameRateCounter&) = delete;
    FrameRateCounter& operator=(const FrameRateCounter&) = delete;

    // Copies the glyph table, shows "FPS: 0000" at the top-left corner (yellow, depth -1000000) and
    // connects the tick slot to tickSignal.
    void setUp(const SpriteId* glyphs, float textSize);
    // tickSignal slot.
    void tick();

    TextLabel& label() { return label_; }
    std::uint32_t frameCount() const { return frameCount_; }
    std::uint32_t lastUpdate() const { return lastUpdate_; }

private:
    ScopedTracker tracker_;
    std::uint32_t lastUpdate_ = 0;
    GlyphTable glyphs_ = {};
    TextLabel label_;
    std::uint32_t frameCount_ = 0;
};

}  // namespace graphics
}  // namespace pentavel
