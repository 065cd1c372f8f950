// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/frame_rate_counter.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "engine/core/engine_signals.h"
#include "engine/core/timer.h"
#include "graphics/sprite_test_sheet.h"

namespace {

using pentavel::setLastTicks;
using pentavel::graphics::Colour;
using pentavel::graphics::FrameRateCounter;

// Runs `count` loop iterations spread evenly over the milliseconds after `start`, the last at
// start + span.
void runIterations(FrameRateCounter& counter, std::uint32_t start, std::uint32_t span, int count) {
    for (int i = 1; i <= count; ++i) {
        setLastTicks(start + static_cast<std::uint32_t>(static_cast<std::uint64_t>(span) * i / count));
        counter.tick();
    }
}

class FrameRateCounterTest : public ::testing::Test {
protected:
    void setUpAt(std::uint32_t ticks) {
        setLastTicks(ticks);
        counter.setUp(test::testSheet().glyphs, 0.75f);
    }
    FrameRateCounter counter;
};

TEST_F(FrameRateCounterTest, StartsAsYellowZeroInTheTopLeftCornerOverEverything) {
    setUpAt(5000);
    auto& label = counter.label();
    EXPECT_EQ(label.text(), "FPS: 0000");
    EXPECT_EQ(counter.lastUpdate(), 5000u);
    EXPECT_EQ(label.colour(), (Colour{1.0f, 1.0f, 0.0f, 1.0f}));
    EXPECT_EQ(label.depth(), -1000000.0f);
    EXPECT_FLOAT_EQ(label.textSize(), 0.75f);
    const auto& first = label.glyphs().front();
    EXPECT_NEAR(first.x() - first.width() * 0.5f, -1.0f, 1e-6f);
    EXPECT_NEAR(first.y() + first.height() * 0.5f, 0.75f, 1e-6f);
}

TEST_F(FrameRateCounterTest, ShowsTheIterationsOfTheLastSecond) {
    setUpAt(5000);
    runIterations(counter, 5000, 999, 59);
    EXPECT_EQ(counter.label().text(), "FPS: 0000");
    runIterations(counter, 5999, 1, 1);  // the iteration completing the second counts in it
    EXPECT_EQ(counter.label().text(), "FPS: 0060");
    EXPECT_EQ(counter.lastUpdate(), 6000u);
    EXPECT_EQ(counter.frameCount(), 0u);
    runIterations(counter, 6000, 1000, 30);
    EXPECT_EQ(counter.label().text(), "FPS: 0030");
}

TEST_F(FrameRateCounterTest, CapsTheRateAtFourDigits) {
    setUpAt(0);
    runIterations(counter, 0, 1000, 12000);
    EXPECT_EQ(counter.label().text(), "FPS: 9999");
}

TEST_F(FrameRateCounterTest, StallShowsZeroAndKeepsWholeSecondSteps) {
    setUpAt(10000);
    runIterations(counter, 10000, 1000, 50);
    EXPECT_EQ(counter.label().text(), "FPS: 0050");
    runIterations(counter, 11000, 400, 10);
    setLastTicks(11400 + 3500);
    counter.tick();
    EXPECT_EQ(counter.label().text(), "FPS: 0000");
    EXPECT_EQ(counter.lastUpdate(), 14000u);
}

TEST_F(FrameRateCounterTest, AClockSteppedBackCountsAsNoTime) {
    setUpAt(100000);
    runIterations(counter, 100000, 500, 20);
    setLastTicks(100500 - 60000);
    counter.tick();
    EXPECT_EQ(counter.label().text(), "FPS: 0000");
    EXPECT_EQ(counter.lastUpdate(), 40500u);
    runIterations(counter, 40500, 1000, 9);
    EXPECT_EQ(counter.label().text(), "FPS: 0030");  // every iteration since the last update
}

TEST_F(FrameRateCounterTest, KeepsCountingAcrossTheClocksWrap) {
    const std::uint32_t start = 0xFFFFFFFFu - 400;
    setUpAt(start);
    runIterations(counter, start, 1000, 25);
    EXPECT_EQ(counter.label().text(), "FPS: 0025");
    EXPECT_EQ(counter.lastUpdate(), start + 1000u);
}

TEST_F(FrameRateCounterTest, HiddenTextStaysCurrentAndHidden) {
    setUpAt(0);
    counter.label().setVisible(false);
    runIterations(counter, 0, 1000, 42);
    EXPECT_EQ(counter.label().text(), "FPS: 0042");
    for (const auto& glyph : counter.label().glyphs())
        EXPECT_FALSE(glyph.visible());
}

TEST(FrameRateCounter, TickSlotLivesAsLongAsTheCounter) {
    const std::size_t before = pentavel::tickSignal().slotCount();
    {
        FrameRateCounter counter;
        counter.setUp(test::testSheet().glyphs, 0.75f);
        counter.setUp(test::testSheet().glyphs, 0.75f);
        EXPECT_EQ(pentavel::tickSignal().slotCount(), before + 1);
    }
    EXPECT_EQ(pentavel::tickSignal().slotCount(), before);
}

}  // namespace
