// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/core/signal.h"

#include "engine/util/block_pool.h"

namespace pentavel {
namespace {

// Made on first use; signals allocate from it in their constructors, so it outlives every static signal.
BlockPool<Connection>& pool() {
    static BlockPool<Connection> instance;
    return instance;
}

void unlinkFromTracker(Connection* slot) {
    if (slot->trackerBack == nullptr)
        return;
    slot->trackerBack->trackerNext = slot->trackerNext;
    if (slot->trackerNext != nullptr)
        slot->trackerNext->trackerBack = slot->trackerBack;
    slot->trackerBack = nullptr;
    slot->trackerNext = nullptr;
}

}  // namespace

namespace SlotPool {
Connection* allocate() {
    return pool().allocate();
}
void release(Connection* block) {
    pool().release(block);
}
std::size_t blocksInUse() {
    return pool().inUse();
}
std::size_t blocksOwned() {
    return pool().owned();
}
}  // namespace SlotPool

ConnectionTracker* createTracker() {
    ConnectionTracker* tracker = SlotPool::allocate();
    tracker->referenceCount = 1;
    return tracker;
}

void retainTracker(ConnectionTracker* tracker) {
    if (tracker != nullptr)
        ++tracker->referenceCount;
}

void releaseTracker(ConnectionTracker* tracker) {
    if (tracker == nullptr || --tracker->referenceCount > 0)
        return;
    // Unlinking from the circular signal list keeps the signal's tail (head->previous) correct.
    for (Connection* slot = tracker->trackerNext; slot != nullptr;) {
        Connection* following = slot->trackerNext;
        detail::removeSlot(slot);
        slot = following;
    }
    SlotPool::release(tracker);
}

void disconnect(Connection* slot) {
    if (slot == nullptr)
        return;
    unlinkFromTracker(slot);
    if (slot->callDepth > 0) {
        slot->invoker = nullptr;  // the emission that is calling it takes it out after the call
        return;
    }
    detail::removeSlot(slot);
}

std::size_t trackedConnectionCount(const ConnectionTracker* tracker) {
    std::size_t count = 0;
    for (const Connection* slot = tracker->trackerNext; slot != nullptr; slot = slot->trackerNext)
        ++count;
    return count;
}

namespace detail {

Connection* createHead() {
    Connection* head = SlotPool::allocate();
    head->next = head;
    head->previous = head;
    return head;
}

void destroySignal(Connection* head) {
    for (Connection* node = head->next; node != head;) {
        Connection* following = node->next;
        unlinkFromTracker(node);
        SlotPool::release(node);
        node = following;
    }
    SlotPool::release(head);
}

void insertSlot(Connection* position, Connection* slot, ConnectionTracker* tracker) {
    Connection* previous = position->previous;
    previous->next = slot;
    slot->previous = previous;
    slot->next = position;
    position->previous = slot;
    if (tracker == nullptr)
        return;
    slot->trackerNext = tracker->trackerNext;
    slot->trackerBack = tracker;
    if (tracker->trackerNext != nullptr)
        tracker->trackerNext->trackerBack = slot;
    tracker->trackerNext = slot;
}

void removeSlot(Connection* slot) {
    slot->next->previous = slot->previous;
    slot->previous->next = slot->next;
    SlotPool::release(slot);
}

std::size_t countSlots(const Connection* head) {
    std::size_t count = 0;
    for (const Connection* node = head->next; node != head; node = node->next)
        count += node->invoker != nullptr ? 1 : 0;
    return count;
}

}  // namespace detail
}  // namespace pentavel
