// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/internal/draw_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "engine/graphics/internal/graphics_system.h"
#include "engine/graphics/internal/sprite_state.h"
#include "engine/graphics/sprite.h"

namespace {

using pentavel::graphics::Sprite;
using pentavel::graphics::SpriteState;
using pentavel::graphics::internal::allocateSpriteState;
using pentavel::graphics::internal::DrawList;
using pentavel::graphics::internal::DrawsBefore;
using pentavel::graphics::internal::graphicsSystem;
using pentavel::graphics::internal::releaseSpriteState;

// The order the list must keep: a stable sort by draw order after every change.
class ReferenceOrder {
public:
    void create(SpriteState* state) {
        order_.insert(order_.begin(), state);
        sort();
    }
    void remove(SpriteState* state) { order_.erase(std::find(order_.begin(), order_.end(), state)); }
    void sort() {
        std::stable_sort(order_.begin(), order_.end(), [](const SpriteState* a, const SpriteState* b) {
            return DrawsBefore()(a->depth, b->depth);
        });
    }
    const std::vector<SpriteState*>& order() const { return order_; }

private:
    std::vector<SpriteState*> order_;
};

std::vector<SpriteState*> listed(const DrawList& list) {
    std::vector<SpriteState*> states;
    for (SpriteState* state : list)
        states.push_back(state);
    return states;
}

// The states of the given sprites in the order the global draw list holds them.
std::vector<const SpriteState*> globalOrderOf(const std::vector<const Sprite*>& sprites) {
    std::vector<const SpriteState*> order;
    for (const SpriteState* state : graphicsSystem().drawList()) {
        for (const Sprite* sprite : sprites) {
            if (sprite->state() == state)
                order.push_back(state);
        }
    }
    return order;
}

TEST(DrawList, MatchesStableSortOverLongRandomSequences) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    // Few distinct depths, so most changes land in long runs of equal depth.
    const std::vector<float> depths = {0.0f,   -0.0f,       1.0f, -1.0f,    2.5f,
                                       100.0f, -1000000.0f, nan,  infinity, -infinity};
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::mt19937 random(seed);
        DrawList list;
        ReferenceOrder reference;
        std::vector<SpriteState*> live;
        for (int step = 0; step < 6000; ++step) {
            const unsigned action = random() % 10;
            if (live.empty() || (action < 3 && live.size() < 300)) {
                SpriteState* state = allocateSpriteState();
                list.insert(state);
                reference.create(state);
                live.push_back(state);
            } else if (action < 5) {
                const std::size_t index = random() % live.size();
                list.remove(live[index]);
                reference.remove(live[index]);
                releaseSpriteState(live[index]);
                live.erase(live.begin() + index);
            } else {
                SpriteState* state = live[random() % live.size()];
                list.setDepth(state, depths[random() % depths.size()]);
                reference.sort();
            }
            ASSERT_EQ(listed(list), reference.order()) << "seed " << seed << " step " << step;
            ASSERT_TRUE(list.checkConsistency()) << "seed " << seed << " step " << step;
        }
        for (SpriteState* state : live) {
            list.remove(state);
            releaseSpriteState(state);
        }
        EXPECT_TRUE(list.empty());
        EXPECT_EQ(list.runCount(), 0u);
    }
}

TEST(DrawList, NaNDepthsDrawFirstAndStayConsistent) {
    DrawList list;
    SpriteState* a = allocateSpriteState();
    SpriteState* b = allocateSpriteState();
    list.insert(a);
    list.insert(b);
    list.setDepth(a, std::nanf(""));
    list.setDepth(b, std::numeric_limits<float>::infinity());
    EXPECT_EQ(listed(list), (std::vector<SpriteState*>{a, b}));
    list.setDepth(b, std::nanf(""));  // joins the end of the NaN run
    EXPECT_EQ(listed(list), (std::vector<SpriteState*>{a, b}));
    EXPECT_EQ(list.runCount(), 1u);
    EXPECT_TRUE(list.checkConsistency());
    list.remove(a);
    list.remove(b);
    list.remove(b);  // a second removal is ignored
    EXPECT_TRUE(list.empty());
    releaseSpriteState(a);
    releaseSpriteState(b);
}

TEST(DrawList, LaterSpriteOfEqualDepthIsDrawnBeneathEarlierOne) {
    Sprite first;
    Sprite second;
    EXPECT_EQ(globalOrderOf({&first, &second}),
              (std::vector<const SpriteState*>{second.state(), first.state()}));
}

TEST(DrawList, SpriteMovesWhereAStableResortPutsIt) {
    Sprite a, b, c;  // drawn c, b, a
    a.setDepth(-1.0f);
    b.setDepth(-1.0f);  // came from a greater depth: in front of a among depth -1
    EXPECT_EQ(globalOrderOf({&a, &b, &c}),
              (std::vector<const SpriteState*>{c.state(), b.state(), a.state()}));
    c.setDepth(-2.0f);
    c.changeDepth(1.0f);  // came from a smaller depth: behind b and a
    EXPECT_EQ(c.depth(), -1.0f);
    EXPECT_EQ(globalOrderOf({&a, &b, &c}),
              (std::vector<const SpriteState*>{b.state(), a.state(), c.state()}));
    Sprite top;
    top.setDepth(-1000000.0f);
    EXPECT_EQ(globalOrderOf({&a, &top}).back(), top.state());
    EXPECT_TRUE(graphicsSystem().drawList().checkConsistency());
}

}  // namespace
