// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/core/timer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using pentavel::gameTick;
using pentavel::setLastTicks;

// Counts the fixed steps that gameTick emits.
class StepCounter {
public:
    StepCounter() {
        pentavel::resetSimulationClock();
        pentavel::updateSignal().connect(this, &StepCounter::onUpdate, tracker_);
    }
    void onUpdate(float dt) {
        ++steps;
        lastDt = dt;
    }
    // Sets the clock and runs one main-loop iteration; returns the steps it ran.
    int tickAt(std::uint32_t ticks, bool paused = false) {
        const int before = steps;
        setLastTicks(ticks);
        gameTick(paused);
        return steps - before;
    }
    int steps = 0;
    float lastDt = 0.0f;

private:
    pentavel::ScopedTracker tracker_;
};

TEST(GameTick, FirstCallOnlyStartsTheClock) {
    StepCounter counter;
    EXPECT_EQ(counter.tickAt(123456), 0);
    EXPECT_EQ(counter.tickAt(123461), 1);
    EXPECT_EQ(counter.lastDt, 0.005f);
}

TEST(GameTick, StepsOnlyWhenFiveMillisecondsHaveComeDue) {
    StepCounter counter;
    counter.tickAt(1000);
    EXPECT_EQ(counter.tickAt(1004), 0);
    EXPECT_EQ(counter.tickAt(1005), 1);
    EXPECT_EQ(counter.tickAt(1005), 0);
}

TEST(GameTick, SlowFrameRunsCatchUpStepsAndCarriesTheRemainder) {
    StepCounter counter;
    counter.tickAt(2000);
    EXPECT_EQ(counter.tickAt(2023), 4);  // 3 ms carried
    EXPECT_EQ(counter.tickAt(2024), 0);
    EXPECT_EQ(counter.tickAt(2025), 1);
    EXPECT_EQ(counter.tickAt(2025 + 250), 50);
}

TEST(GameTick, StallCatchesUpAQuarterSecondAndDropsTheRest) {
    StepCounter counter;
    counter.tickAt(3000);
    EXPECT_EQ(counter.tickAt(3000 + 10003), 50);  // 2000 steps due, 3 ms over
    // The dropped time is gone for good; the remainder still carries.
    EXPECT_EQ(counter.tickAt(13003 + 1), 0);
    EXPECT_EQ(counter.tickAt(13003 + 2), 1);
}

TEST(GameTick, AClockSteppedBackCountsAsNoTimeAndTheWrapCountsAsItsFewMilliseconds) {
    StepCounter counter;
    counter.tickAt(100000);
    EXPECT_EQ(counter.tickAt(100000 - 60000), 0);
    EXPECT_EQ(counter.tickAt(40004), 0);  // the clock restarts where it now reads
    EXPECT_EQ(counter.tickAt(40005), 1);
    StepCounter wrapping;
    wrapping.tickAt(0xFFFFFFFEu);
    EXPECT_EQ(wrapping.tickAt(8), 2);  // 10 ms across the wrap
}

TEST(GameTick, PauseLetsTheClockRunWithoutStoringSteps) {
    StepCounter counter;
    counter.tickAt(5000);
    for (std::uint32_t t = 5016; t <= 15016; t += 16)
        EXPECT_EQ(counter.tickAt(t, true), 0);
    EXPECT_EQ(counter.steps, 0);
    // Only the steps that fell due since the last (paused) iteration run after the resume.
    EXPECT_EQ(counter.tickAt(15016 + 17), 3);
}

TEST(GameTick, PauseKeepsTheSubStepRemainder) {
    StepCounter counter;
    counter.tickAt(0);
    EXPECT_EQ(counter.tickAt(13, true), 0);  // two steps skipped, 3 ms carried
    EXPECT_EQ(counter.tickAt(15), 1);
}

TEST(GameTick, SurvivesTheWrapOfTheMillisecondCounter) {
    StepCounter counter;
    counter.tickAt(0xFFFFFFFEu);
    EXPECT_EQ(counter.tickAt(0xFFFFFFFFu), 0);
    EXPECT_EQ(counter.tickAt(3), 1);  // 5 ms after the start, across zero
    EXPECT_EQ(counter.tickAt(23), 4);
}

TEST(Timers, RecordTicksReadsTheMillisecondClock) {
    setLastTicks(0xFFFFFFF0u);
    pentavel::recordTicks();
    EXPECT_LT(pentavel::lastTicks(), 0xFFFFFFF0u);  // SDL counts from its start; tests run for far less
}

}  // namespace
