// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/core/timer.h"

#include <SDL/SDL.h>

#include "engine/core/engine_signals.h"

namespace pentavel {
namespace {

// Plain values with no destructor, so readers stay safe however late in shut-down they run.
std::uint32_t recordedTicks = 0;
std::uint32_t simulatedTicks = 0;
bool simulationStarted = false;
std::uint32_t millisecondsIntoStep = 0;  // at the last steps taken: what stepShare tells

}  // namespace

Signal<float>& updateSignal() {
    static Signal<float> signal;
    return signal;
}

bool startTimers() {
    recordTicks();
    tickSignal().connect(&recordTicks);
    return true;
}

void recordTicks() {
    recordedTicks = SDL_GetTicks();
}

std::uint32_t lastTicks() {
    return recordedTicks;
}

void setLastTicks(std::uint32_t ticks) {
    recordedTicks = ticks;
}

bool clockSteppedBack(std::uint32_t since, std::uint32_t now) {
    return now - since > UINT32_MAX / 2;
}

std::uint32_t takeDueSteps(bool paused) {
    if (!simulationStarted || clockSteppedBack(simulatedTicks, recordedTicks)) {
        simulatedTicks = recordedTicks;
        simulationStarted = true;
    }
    // Unsigned difference: correct across the wrap of the millisecond counter.
    std::uint32_t due = (recordedTicks - simulatedTicks) / kStepMilliseconds;
    if (paused) {
        // The clock still advances, so resuming brings no burst of stored-up steps.
        simulatedTicks += due * kStepMilliseconds;
        return 0;
    }
    if (due > kMaxCatchUpSteps) {
        // After a stall (a stopped process, a debugger) the lost time is dropped as a pause drops it,
        // rather than played unseen in one burst.
        simulatedTicks += (due - kMaxCatchUpSteps) * kStepMilliseconds;
        due = kMaxCatchUpSteps;
    }
    // The steps run are the caller's; the clock counts them taken.
    simulatedTicks += kStepMilliseconds * due;
    millisecondsIntoStep = recordedTicks - simulatedTicks;
    return due;
}

float stepShare() {
    return static_cast<float>(millisecondsIntoStep) / static_cast<float>(kStepMilliseconds);
}

void gameTick(bool paused) {
    for (std::uint32_t due = takeDueSteps(paused); due > 0; --due)
        updateSignal().emit(kStepSeconds);
}

void resetSimulationClock() {
    simulationStarted = false;
    simulatedTicks = 0;
    millisecondsIntoStep = 0;
}

}  // namespace pentavel
