// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/util/random.h"

#include <ctime>

namespace pentavel {

namespace {
constexpr std::uint32_t kMultiplier = 1664525u;
constexpr std::uint32_t kIncrement = 1013904223u;
constexpr float kUnitFactor = 1.52587890625e-05f;  // 2^-16
}  // namespace

RandomGenerator::RandomGenerator() : state_(0) {
    seedFromClock();
}

void RandomGenerator::seedFromClock() {
    state_ = static_cast<std::uint32_t>(std::clock());
}

std::uint32_t RandomGenerator::next() {
    state_ = state_ * kMultiplier + kIncrement;
    return state_ >> 16;
}

std::uint32_t RandomGenerator::below(std::uint32_t n) {
    const std::uint32_t value = next();
    return n == 0 ? 0 : value % n;
}

std::uint32_t RandomGenerator::between(std::uint32_t lo, std::uint32_t hi) {
    const std::uint32_t span = hi - lo + 1;
    const std::uint32_t value = next();
    return span == 0 ? lo + value : lo + value % span;
}

bool RandomGenerator::oneIn(std::uint32_t n) {
    return below(n) == 0;
}

float RandomGenerator::unit() {
    return static_cast<float>(next()) * kUnitFactor;
}

float RandomGenerator::scaled(float x) {
    return unit() * x;
}

float RandomGenerator::betweenFloat(float lo, float hi) {
    const float difference = hi - lo;
    return lo + scaled(difference);
}

}  // namespace pentavel
