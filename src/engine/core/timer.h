// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Millisecond clock per loop iteration and the fixed 5 ms simulation step.

#include <cstdint>

#include "engine/core/signal.h"

namespace pentavel {

constexpr std::uint32_t kStepMilliseconds = 5;
constexpr float kStepSeconds = 0.005f;
// Most steps one gameTick catches up (0.25 s); older time is dropped.
constexpr std::uint32_t kMaxCatchUpSteps = 50;

// Emitted with dt = 0.005 s once per due step while the game is not paused; slots: the paddle, updateGame.
Signal<float>& updateSignal();

// Calls recordTicks once and connects it to tickSignal (untracked). Always true.
bool startTimers();
// tickSignal slot: lastTicks := SDL_GetTicks().
void recordTicks();
// Milliseconds recorded by the last recordTicks (unsigned, wraps after ~49.7 days).
std::uint32_t lastTicks();
// For tests and tools that drive the clock by hand.
void setLastTicks(std::uint32_t ticks);
// True when the clock reads earlier at now than at since (it was stepped back): a difference beyond half
// the counter's range. The counter's wrap is no step back; the unsigned difference counts across it.
bool clockSteppedBack(std::uint32_t since, std::uint32_t now);

// The game's tickSignal slot body: emits updateSignal for each 5 ms step that has come due since the last
// call, unless paused (the clock still advances while paused), at most kMaxCatchUpSteps of them. The first
// call only starts the clock; a clock stepped back counts as no time passed.
void gameTick(bool paused);
// The clock accounting of gameTick without the steps: the number of steps that gameTick would emit now,
// for a caller that runs them itself (a replay shown, which puts the record's commands before each).
std::uint32_t takeDueSteps(bool paused);
// How far the clock had run into the next step when the last due steps were taken, as a share of a step
// (0 to 0.8): where a picture drawn between the last two steps stands. Read for drawing alone: no step
// reads it.
float stepShare();
// Forgets the simulation clock so that the next gameTick starts it afresh (for tests).
void resetSimulationClock();

}  // namespace pentavel
