// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/util/random.h"

#include <gtest/gtest.h>

#include <algorithm>

using pentavel::RandomGenerator;

TEST(RandomGenerator, FollowsTheLinearCongruentialSequenceFromZero) {
    RandomGenerator generator(0);
    EXPECT_EQ(generator.next(), 15470u);
    EXPECT_EQ(generator.state(), 1013904223u);
    EXPECT_EQ(generator.next(), 18256u);
    EXPECT_EQ(generator.state(), 1196435762u);
    EXPECT_EQ(generator.next(), 53708u);
    EXPECT_EQ(generator.state(), 3519870697u);
}

TEST(RandomGenerator, EveryDrawAdvancesTheStateByExactlyOneStep) {
    RandomGenerator reference(1234);
    RandomGenerator drawn(1234);
    drawn.below(7);
    drawn.between(3, 9);
    drawn.oneIn(3);
    drawn.unit();
    drawn.scaled(2.0f);
    drawn.betweenFloat(-1.0f, 1.0f);
    for (int i = 0; i < 6; ++i)
        reference.next();
    EXPECT_EQ(drawn.state(), reference.state());
}

TEST(RandomGenerator, DegenerateRangesStayInRange) {
    RandomGenerator generator(99);
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(generator.below(1), 0u);
        EXPECT_TRUE(generator.oneIn(1));
        EXPECT_EQ(generator.between(5, 5), 5u);
        const std::uint32_t value = generator.between(10, 20);
        EXPECT_GE(value, 10u);
        EXPECT_LE(value, 20u);
    }
    // Ranges the callers never pass must not divide by zero.
    EXPECT_EQ(generator.below(0), 0u);
    EXPECT_GE(generator.between(0, 0xFFFFFFFFu), 0u);
}

TEST(RandomGenerator, UnitStaysBelowOne) {
    RandomGenerator generator(0);
    float largest = 0.0f;
    for (int i = 0; i < 200000; ++i) {
        const float value = generator.unit();
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 1.0f);
        largest = std::max(largest, value);
    }
    EXPECT_LE(largest, 65535.0f / 65536.0f);
}

TEST(RandomGenerator, CopiesAndEqualSeedsRepeatTheSequence) {
    RandomGenerator a(42);
    a.next();
    RandomGenerator copy = a;
    RandomGenerator b(42);
    b.next();
    for (int i = 0; i < 100; ++i) {
        const std::uint32_t value = a.next();
        EXPECT_EQ(copy.next(), value);
        EXPECT_EQ(b.next(), value);
    }
}

TEST(RandomGenerator, OneInThreeIsRoughlyAThird) {
    RandomGenerator generator(7);
    int hits = 0;
    for (int i = 0; i < 30000; ++i)
        hits += generator.oneIn(3) ? 1 : 0;
    EXPECT_NEAR(hits, 10000, 600);
}
