// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The draw list: every live sprite state, ordered by depth descending (larger depth drawn first).
// The order is exactly what a stable sort by depth after every creation and depth change would give,
// kept without sorting: an intrusive doubly linked list of states plus an ordered index of the runs of
// equal depth, so a depth change costs one index look-up and removal costs O(1).

#include <cstddef>
#include <map>

namespace pentavel {
namespace graphics {

struct SpriteState;

namespace internal {

struct DrawListNode;

// The first and last node of the states that share one depth.
struct DrawRun {
    DrawListNode* first = nullptr;
    DrawListNode* last = nullptr;
};

// Draw order of depths: larger first. NaN sorts before every number (drawn first, so beneath everything)
// and all NaNs count as one depth, so a bad depth never breaks the ordering.
struct DrawsBefore {
    bool operator()(float a, float b) const {
        if (a != a)
            return b == b;
        if (b != b)
            return false;
        return a > b;
    }
};

using DrawRunIndex = std::map<float, DrawRun, DrawsBefore>;

// A state's place in the draw list; the sentinel of the list is a bare node.
struct DrawListNode {
    DrawListNode* previous = nullptr;
    DrawListNode* next = nullptr;
    DrawRunIndex::iterator run{};  // the run holding this node (unused in the sentinel)
};

class DrawList {
public:
    DrawList();
    ~DrawList();
    DrawList(const DrawList&) = delete;
    DrawList& operator=(const DrawList&) = delete;

    // Enters a new state (at its current depth) in front of the other states of that depth.
    void insert(SpriteState* state);
    // Takes a state out in constant time; a state not in the list is ignored.
    void remove(SpriteState* state);
    // Stores the new depth and moves the state where a stable re-sort would put it: to the front of its
    // new depth's run when it moves towards the back (smaller depth), to the end when it moves forward,
    // nowhere when the depths compare equal.
    void setDepth(SpriteState* state, float depth);

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Number of distinct depths present.
    std::size_t runCount() const { return runs_.size(); }

    class Iterator {
    public:
        explicit Iterator(const DrawListNode* node) : node_(node) {}
        SpriteState* operator*() const;
        Iterator& operator++() {
            node_ = node_->next;
            return *this;
        }
        bool operator==(const Iterator& other) const { return node_ == other.node_; }
        bool operator!=(const Iterator& other) const { return node_ != other.node_; }

    private:
        const DrawListNode* node_;
    };

    // States in draw order.
    Iterator begin() const { return Iterator(sentinel_.next); }
    Iterator end() const { return Iterator(&sentinel_); }

    // Walks the list and the index and checks that they agree (for tests); true when consistent.
    bool checkConsistency() const;

private:
    void linkBefore(DrawListNode* node, DrawListNode* position);
    void linkAtRunFront(DrawListNode* node, float depth);
    void linkAtRunBack(DrawListNode* node, float depth);
    void unlink(DrawListNode* node);

    DrawListNode sentinel_;
    DrawRunIndex runs_;
    std::size_t size_ = 0;
};

}  // namespace internal
}  // namespace graphics
}  // namespace pentavel
