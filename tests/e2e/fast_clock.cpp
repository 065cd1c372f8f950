// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// A faster clock for the end-to-end tests, preloaded into the game by lib.sh's fast_clock: SDL's
// millisecond clock runs FAST_CLOCK times as fast as the real one, so that play which takes a player
// seconds takes a test a fraction of them. FAST_CLOCK_FILE, when set, names a file whose factor replaces
// it while the game runs (lib.sh's clock_speed). The game itself is not changed: it turns the clock's
// milliseconds into fixed 5 ms steps as ever, at most 50 of them a frame, so a loaded machine only slows
// the play down again.

#include <cstdint>
#include <cstdio>
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

// The factor that FAST_CLOCK_FILE holds (a test rewrites it to change the pace while the game runs), else
// the one in force.
std::int64_t factorInFile(const char* path, std::int64_t current) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr)
        return current;
    long factor = 0;
    const bool read = std::fscanf(file, "%ld", &factor) == 1 && factor > 0;
    std::fclose(file);
    return read ? factor : current;
}

}  // namespace

// Milliseconds since the first call, sped up; replaces SDL 1.2's function of the same name. A new factor
// goes on from where the clock stands.
extern "C" std::uint32_t SDL_GetTicks() {
    static std::int64_t factor = speedFactor();
    static std::int64_t start = monotonicMilliseconds();
    static std::int64_t reached = 0;  // sped-up milliseconds at start
    static const char* const path = std::getenv("FAST_CLOCK_FILE");
    const std::int64_t now = monotonicMilliseconds();
    if (path != nullptr) {
        const std::int64_t wanted = factorInFile(path, factor);
        if (wanted != factor) {
            reached += (now - start) * factor;
            start = now;
            factor = wanted;
        }
    }
    return static_cast<std::uint32_t>(reached + (now - start) * factor);
}
