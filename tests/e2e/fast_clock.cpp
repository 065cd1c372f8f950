// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// A faster clock for the end-to-end tests, preloaded into the game by lib.sh's fast_clock: SDL's
// millisecond clock runs FAST_CLOCK times as fast as the real one, so that play which takes a player
// seconds takes a test a fraction of them. The game itself is not changed: it turns the clock's
// milliseconds into fixed 5 ms steps as ever, at most 50 of them a frame, so a loaded machine only slows
// the play down again.

#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace {

std::int64_t monotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::int64_t speedFactor() {
    const char* text = std::getenv("FAST_CLOCK");
    const long factor = text != nullptr ? std::strtol(text, nullptr, 10) : 1;
    return factor > 0 ? factor : 1;
}

}  // namespace

// Milliseconds since the first call, sped up; replaces SDL 1.2's function of the same name.
extern "C" std::uint32_t SDL_GetTicks() {
    static const std::int64_t factor = speedFactor();
    static const std::int64_t start = monotonicMilliseconds();
    return static_cast<std::uint32_t>((monotonicMilliseconds() - start) * factor);
}
