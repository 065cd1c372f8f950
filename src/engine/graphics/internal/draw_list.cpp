// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/internal/draw_list.h"

#include "engine/graphics/internal/sprite_state.h"

namespace pentavel {
namespace graphics {
namespace internal {
namespace {

bool sameDepth(float a, float b) {
    DrawsBefore before;
    return !before(a, b) && !before(b, a);
}

}  // namespace

SpriteState* DrawList::Iterator::operator*() const {
    return stateOfNode(node_);
}

DrawList::DrawList() {
    sentinel_.previous = &sentinel_;
    sentinel_.next = &sentinel_;
}

// States still alive at this point belong to handles that outlive the graphics system; they are cut
// loose so that their later release does not touch the freed list.
DrawList::~DrawList() {
    for (DrawListNode* node = sentinel_.next; node != &sentinel_;) {
        DrawListNode* next = node->next;
        node->previous = nullptr;
        node->next = nullptr;
        node = next;
    }
}

void DrawList::insert(SpriteState* state) {
    if (state == nullptr || state->listPosition.next != nullptr)
        return;
    linkAtRunFront(&state->listPosition, state->depth);
    ++size_;
}

void DrawList::remove(SpriteState* state) {
    if (state == nullptr || state->listPosition.next == nullptr)
        return;
    unlink(&state->listPosition);
    --size_;
}

void DrawList::setDepth(SpriteState* state, float depth) {
    const float old = state->depth;
    state->depth = depth;
    DrawListNode* node = &state->listPosition;
    if (node->next == nullptr || sameDepth(old, depth))
        return;
    unlink(node);
    // Sorted before the change, the state stood ahead of every state of the new depth when its old depth
    // drew earlier, and behind them otherwise; a stable sort keeps that.
    if (DrawsBefore()(old, depth)) {
        linkAtRunFront(node, depth);
    } else {
        linkAtRunBack(node, depth);
    }
}

void DrawList::linkBefore(DrawListNode* node, DrawListNode* position) {
    node->next = position;
    node->previous = position->previous;
    position->previous->next = node;
    position->previous = node;
}

void DrawList::linkAtRunFront(DrawListNode* node, float depth) {
    auto run = runs_.lower_bound(depth);
    if (run != runs_.end() && sameDepth(run->first, depth)) {
        linkBefore(node, run->second.first);
        run->second.first = node;
    } else {
        linkBefore(node, run == runs_.end() ? &sentinel_ : run->second.first);
        run = runs_.emplace_hint(run, depth, DrawRun{node, node});
    }
    node->run = run;
}

void DrawList::linkAtRunBack(DrawListNode* node, float depth) {
    auto run = runs_.lower_bound(depth);
    if (run != runs_.end() && sameDepth(run->first, depth)) {
        linkBefore(node, run->second.last->next);
        run->second.last = node;
        node->run = run;
    } else {
        linkAtRunFront(node, depth);
    }
}

void DrawList::unlink(DrawListNode* node) {
    DrawRun& run = node->run->second;
    if (run.first == node && run.last == node) {
        runs_.erase(node->run);
    } else if (run.first == node) {
        run.first = node->next;
    } else if (run.last == node) {
        run.last = node->previous;
    }
    node->previous->next = node->next;
    node->next->previous = node->previous;
    node->previous = nullptr;
    node->next = nullptr;
    node->run = DrawRunIndex::iterator();
}

bool DrawList::checkConsistency() const {
    std::size_t count = 0;
    auto run = runs_.begin();
    for (const DrawListNode* node = sentinel_.next; node != &sentinel_; node = node->next) {
        if (node->next->previous != node || run == runs_.end())
            return false;
        if (node->run != run || !sameDepth(stateOfNode(node)->depth, run->first))
            return false;
        if (node->previous == &sentinel_ || node->previous->run != run) {
            if (run->second.first != node)
                return false;
        }
        if (node->next == &sentinel_ || node->next->run != run) {
            if (run->second.last != node)
                return false;
            ++run;
        }
        ++count;
    }
    return run == runs_.end() && count == size_;
}

}  // namespace internal
}  // namespace graphics
}  // namespace pentavel
