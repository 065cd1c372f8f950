// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Typed signals and slots. Signals, connections and trackers are all one fixed-size block from the
// process-wide SlotPool; connecting and disconnecting never touch the general heap, and emission is a
// plain walk of an intrusive list with one indirect call per slot.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

namespace pentavel {

struct Connection;

// Pool of fixed-size blocks for signals, connections and trackers. Mutex-guarded, grows 32 blocks at a
// time, never returns memory before exit.
namespace SlotPool {
// One block of at least sizeof(Connection) bytes. Never null (throws std::bad_alloc like new).
Connection* allocate();
void release(Connection* block);
// Blocks currently handed out (for tests and leak checks).
std::size_t blocksInUse();
// Blocks owned by the pool, free or not.
std::size_t blocksOwned();
}  // namespace SlotPool

// One pool block. As a slot it sits in a signal's list and (when tracked) in its tracker's list; as a
// signal head it is the sentinel of the signal's circular list; as a tracker it heads a list of the
// connections it owns.
struct Connection {
    static constexpr std::size_t kMethodSize = 2 * sizeof(void*);
    using Invoker = void (*)();  // type-erased; the Signal casts it back to its own invoker type

    // callable: receiver (or free function), member pointer bytes and the typed trampoline
    void* object = nullptr;
    alignas(void*) unsigned char method[kMethodSize] = {};
    Invoker invoker = nullptr;
    std::int32_t referenceCount = 0;    // only used by trackers
    std::int32_t callDepth = 0;         // slots: calls of this slot under way
    Connection* trackerBack = nullptr;  // previous in the tracker's list (the tracker for the first)
    Connection* trackerNext = nullptr;  // next connection owned by the same tracker
    Connection* previous = nullptr;     // previous in the signal's list (head for the first slot)
    Connection* next = nullptr;         // next in the signal's list; the head closes the circle
};

// A receiver's record of its connections: all go when it is released.
using ConnectionTracker = Connection;

// A new tracker with reference count 1 and no connections.
ConnectionTracker* createTracker();
// Adds one reference.
void retainTracker(ConnectionTracker* tracker);
// Drops one reference; at zero every connection of the tracker leaves its signal and the block is freed.
// Null is ignored.
void releaseTracker(ConnectionTracker* tracker);
// Number of connections the tracker owns.
std::size_t trackedConnectionCount(const ConnectionTracker* tracker);
// Takes one connection off its signal and its tracker. A slot may remove itself while its signal emits: it
// is not called again and leaves the list once its call returns. Null is ignored.
void disconnect(Connection* slot);

// Owns a tracker for the lifetime of a receiving object; keep it as the object's first member.
class ScopedTracker {
public:
    ScopedTracker() : tracker_(createTracker()) {}
    ~ScopedTracker() { releaseTracker(tracker_); }
    ScopedTracker(const ScopedTracker&) = delete;
    ScopedTracker& operator=(const ScopedTracker&) = delete;
    ConnectionTracker* get() const { return tracker_; }
    operator ConnectionTracker*() const { return tracker_; }

private:
    ConnectionTracker* tracker_;
};

namespace detail {
// Signal-independent list operations (signal.cpp).
Connection* createHead();
void destroySignal(Connection* head);
// Links the slot in before position (the head: at the end) and into the tracker's list.
void insertSlot(Connection* position, Connection* slot, ConnectionTracker* tracker);
// Unlinks a slot from its signal and returns it to the pool.
void removeSlot(Connection* slot);
std::size_t countSlots(const Connection* head);
}  // namespace detail

// A typed list of slots; every slot takes exactly Args. Not copyable.
template <typename... Args>
class Signal {
    using Call = void (*)(Connection*, Args...);

public:
    Signal() : head_(detail::createHead()) {}
    ~Signal() { detail::destroySignal(head_); }
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    // Appends receiver->method as the last slot, or puts it before the slot given; the connection dies
    // with the tracker (null: with the signal) or by disconnect. A virtual method resolves to the
    // receiver's override at call time. Returns the new connection.
    template <class Object, class Receiver, class Result>
    Connection* connect(Object* object, Result (Receiver::*method)(Args...), ConnectionTracker* tracker,
                        Connection* before = nullptr) {
        using Method = Result (Receiver::*)(Args...);
        static_assert(sizeof(Method) <= Connection::kMethodSize, "member pointer too large");
        Receiver* receiver = object;
        Connection* slot = SlotPool::allocate();
        slot->object = receiver;
        std::memcpy(slot->method, &method, sizeof(Method));
        Call call = [](Connection* self, Args... args) {
            Method m;
            std::memcpy(&m, self->method, sizeof(Method));
            (static_cast<Receiver*>(self->object)->*m)(args...);
        };
        slot->invoker = reinterpret_cast<Connection::Invoker>(call);
        detail::insertSlot(before != nullptr ? before : head_, slot, tracker);
        return slot;
    }

    // Appends a free function as an untracked slot; it lives until the signal is destroyed.
    template <class Result>
    Connection* connect(Result (*function)(Args...)) {
        using Function = Result (*)(Args...);
        Connection* slot = SlotPool::allocate();
        std::memcpy(slot->method, &function, sizeof(Function));
        Call call = [](Connection* self, Args... args) {
            Function f;
            std::memcpy(&f, self->method, sizeof(Function));
            f(args...);
        };
        slot->invoker = reinterpret_cast<Connection::Invoker>(call);
        detail::insertSlot(head_, slot, nullptr);
        return slot;
    }

    // Calls every slot in list order; returns how many were called. A slot may disconnect itself (it
    // leaves once its call returns) and others, but must not release a tracker that owns it.
    int emit(Args... args) {
        int called = 0;
        for (Connection* node = head_->next; node != head_;) {
            // No invoker: disconnected during a call of it that is still under way.
            if (node->invoker != nullptr) {
                ++node->callDepth;
                reinterpret_cast<Call>(node->invoker)(node, args...);
                --node->callDepth;
                ++called;
            }
            Connection* following = node->next;
            if (node->invoker == nullptr && node->callDepth == 0)
                detail::removeSlot(node);
            node = following;
        }
        return called;
    }

    std::size_t slotCount() const { return detail::countSlots(head_); }
    // The last slot, or the head when there is none.
    const Connection* tail() const { return head_->previous; }
    const Connection* head() const { return head_; }

private:
    Connection* head_;
};

}  // namespace pentavel
