// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small linear-congruential generator for game decisions that need no statistical quality.

#include <cstdint>

namespace pentavel {

class RandomGenerator {
public:
    RandomGenerator();  // seeded from the processor clock
    explicit RandomGenerator(std::uint32_t seed) : state_(seed) {}

    void seed(std::uint32_t value) { state_ = value; }
    void seedFromClock();
    std::uint32_t state() const { return state_; }

    // Advances once; the upper 16 bits of the new state, 0..65535.
    std::uint32_t next();
    // next() mod n, 0..n-1; n = 0 yields 0 (and still draws).
    std::uint32_t below(std::uint32_t n);
    // lo..hi inclusive; an empty or full 32-bit range yields lo + next().
    std::uint32_t between(std::uint32_t lo, std::uint32_t hi);
    // True one time in n.
    bool oneIn(std::uint32_t n);
    // next() / 65536: 0 <= result < 1.
    float unit();
    float scaled(float x);
    float betweenFloat(float lo, float hi);

private:
    std::uint32_t state_;
};

}  // namespace pentavel
