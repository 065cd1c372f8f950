// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/core/signal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <new>
#include <random>
#include <vector>

// Counts every heap allocation of the test program, so that emission can be shown to allocate nothing.
namespace {
std::size_t heapAllocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    ++heapAllocations;
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

using pentavel::ConnectionTracker;
using pentavel::Signal;
namespace SlotPool = pentavel::SlotPool;

namespace {

// What a slot call leaves behind: receiver (-1 for a free function), method or free function index, argument.
using Call = std::array<int, 3>;

std::vector<Call> calls;

class Receiver {
public:
    explicit Receiver(int id) : id_(id) {}
    virtual ~Receiver() = default;
    void first(int value) { calls.push_back({id_, 0, value}); }
    int second(int value) {
        calls.push_back({id_, 1, value});
        return value;
    }
    virtual void third(int value) { calls.push_back({id_, 2, value}); }

protected:
    int id_;
};

// Reached through the base class's member pointer, the override must run.
class OverridingReceiver : public Receiver {
public:
    using Receiver::Receiver;
    void third(int value) override { calls.push_back({id_, 3, value}); }
};

template <int Index>
void freeSlot(int value) {
    calls.push_back({-1, Index, value});
}
void (*const freeSlots[])(int) = {&freeSlot<0>, &freeSlot<1>, &freeSlot<2>};

// Reference model: per signal, the ordered slots; per tracker, its reference count and liveness.
// Receiver i's slots are tracked by tracker i; free functions (receiver -1) are untracked.
struct ModelSlot {
    int receiver;
    int method;
    pentavel::Connection* real;
};

struct ModelSignal {
    std::unique_ptr<Signal<int>> real;
    std::vector<ModelSlot> slots;
};

struct ModelTracker {
    ConnectionTracker* real = nullptr;
    int references = 0;
};

class SignalModel {
public:
    explicit SignalModel(unsigned seed) : random_(seed) {
        for (int i = 0; i < kReceivers; ++i) {
            receivers_.push_back(i % 2 == 0 ? std::make_unique<Receiver>(i)
                                            : std::make_unique<OverridingReceiver>(i));
            trackers_.push_back({});
        }
        signals_.resize(kSignals);
    }

    void step() {
        static constexpr void (SignalModel::*kOperations[])() = {
            &SignalModel::toggleSignal,  &SignalModel::createTracker, &SignalModel::releaseTracker,
            &SignalModel::connectMember, &SignalModel::connectMember, &SignalModel::connectFree,
            &SignalModel::disconnect,    &SignalModel::emit,          &SignalModel::emit};
        (this->*kOperations[pick(9)])();
        check();
    }

    void tearDown() {
        for (auto& tracker : trackers_) {
            while (tracker.references > 0) {
                pentavel::releaseTracker(tracker.real);
                --tracker.references;
            }
        }
        for (auto& signal : signals_)
            signal.real.reset();
    }

private:
    static constexpr int kSignals = 4;
    static constexpr int kReceivers = 5;

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

    ModelSignal* anySignal() {
        ModelSignal& signal = signals_[static_cast<std::size_t>(pick(kSignals))];
        return signal.real ? &signal : nullptr;
    }

    void toggleSignal() {
        ModelSignal& signal = signals_[static_cast<std::size_t>(pick(kSignals))];
        signal.slots.clear();
        if (signal.real)
            signal.real.reset();
        else
            signal.real = std::make_unique<Signal<int>>();
    }

    void createTracker() {
        ModelTracker& tracker = trackers_[static_cast<std::size_t>(pick(kReceivers))];
        if (tracker.references++ > 0)
            pentavel::retainTracker(tracker.real);
        else
            tracker.real = pentavel::createTracker();
    }

    void releaseTracker() {
        const int index = pick(kReceivers);
        ModelTracker& tracker = trackers_[static_cast<std::size_t>(index)];
        if (tracker.references == 0)
            return;
        pentavel::releaseTracker(tracker.real);
        if (--tracker.references > 0)
            return;
        tracker.real = nullptr;
        for (auto& signal : signals_) {
            auto& slots = signal.slots;
            slots.erase(std::remove_if(slots.begin(), slots.end(),
                                       [index](const ModelSlot& slot) { return slot.receiver == index; }),
                        slots.end());
        }
    }

    // At the end, or (one time in three) before a slot picked at random.
    void connectMember() {
        ModelSignal* signal = anySignal();
        const int index = pick(kReceivers);
        if (signal == nullptr || trackers_[static_cast<std::size_t>(index)].references == 0)
            return;
        Receiver* receiver = receivers_[static_cast<std::size_t>(index)].get();
        ConnectionTracker* tracker = trackers_[static_cast<std::size_t>(index)].real;
        std::size_t at = signal->slots.size();
        if (pick(3) == 0 && at > 0)
            at = static_cast<std::size_t>(pick(static_cast<int>(at)));
        pentavel::Connection* before = at < signal->slots.size() ? signal->slots[at].real : nullptr;
        int method = pick(3);
        pentavel::Connection* real = nullptr;
        switch (method) {
            case 0:
                real = signal->real->connect(receiver, &Receiver::first, tracker, before);
                break;
            case 1:
                real = signal->real->connect(receiver, &Receiver::second, tracker, before);
                break;
            default:
                real = signal->real->connect(receiver, &Receiver::third, tracker, before);
                if (index % 2 == 1)
                    method = 3;
                break;
        }
        signal->slots.insert(signal->slots.begin() + static_cast<std::ptrdiff_t>(at),
                             ModelSlot{index, method, real});
    }

    void disconnect() {
        ModelSignal* signal = anySignal();
        if (signal == nullptr || signal->slots.empty())
            return;
        const auto at = signal->slots.begin() + pick(static_cast<int>(signal->slots.size()));
        pentavel::disconnect(at->real);
        signal->slots.erase(at);
    }

    void connectFree() {
        ModelSignal* signal = anySignal();
        if (signal == nullptr)
            return;
        const int function = pick(3);
        pentavel::Connection* real = signal->real->connect(freeSlots[function]);
        signal->slots.push_back({-1, function, real});
    }

    void emit() {
        ModelSignal* signal = anySignal();
        if (signal == nullptr)
            return;
        const int argument = ++emissions_;
        calls.clear();
        signal->real->emit(argument);
        std::vector<Call> expected;
        for (const ModelSlot& slot : signal->slots)
            expected.push_back({slot.receiver, slot.method, argument});
        ASSERT_EQ(calls, expected);
    }

    void check() {
        std::size_t blocks = 0;
        for (const ModelSignal& signal : signals_) {
            if (!signal.real)
                continue;
            blocks += 1 + signal.slots.size();
            ASSERT_EQ(signal.real->slotCount(), signal.slots.size());
        }
        for (const ModelTracker& tracker : trackers_)
            blocks += tracker.references > 0 ? 1 : 0;
        ASSERT_EQ(SlotPool::blocksInUse(), baseline_ + blocks);
    }

    std::mt19937 random_;
    std::vector<std::unique_ptr<Receiver>> receivers_;
    std::vector<ModelTracker> trackers_;
    std::vector<ModelSignal> signals_;
    int emissions_ = 0;
    const std::size_t baseline_ = SlotPool::blocksInUse();
};

TEST(Signal, RandomOperationsMatchTheReferenceModel) {
    const std::size_t before = SlotPool::blocksInUse();
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        SignalModel model(seed);
        for (int i = 0; i < 400; ++i) {
            model.step();
            if (::testing::Test::HasFatalFailure())
                return;
        }
        model.tearDown();
        ASSERT_EQ(SlotPool::blocksInUse(), before);
    }
}

// A slot that leaves during its own call is not called again and its block goes back once the call is
// over; it may take out the slot after it, and the emission goes on with the rest. The last slot's method
// sits in a second base, so its receiver pointer must be adjusted. Emission allocates nothing.
struct Padding {
    virtual ~Padding() = default;
    int filler = 0;
};
struct Counter {
    int total = 0;
    void add(int value) { total += value; }
};
struct Composite : Padding, Counter {};

struct Leaver {
    pentavel::Connection* own = nullptr;
    pentavel::Connection* next = nullptr;
    int calls = 0;
    void leave(int) {
        ++calls;
        pentavel::disconnect(own);
        pentavel::disconnect(next);
    }
};

TEST(Signal, SlotsMayLeaveWhileTheirSignalEmits) {
    const std::size_t before = SlotPool::blocksInUse();
    pentavel::ScopedTracker tracker;
    Signal<int> signal;
    Leaver leaver;
    Counter skipped;
    Composite kept;
    leaver.own = signal.connect(&leaver, &Leaver::leave, tracker);
    leaver.next = signal.connect(&skipped, &Counter::add, tracker);
    signal.connect(&kept, &Counter::add, tracker);
    EXPECT_EQ(signal.emit(1), 2);
    const std::size_t allocations = heapAllocations;
    int called = 0;
    for (int i = 0; i < 100; ++i)
        called += signal.emit(3);
    EXPECT_EQ(heapAllocations, allocations);
    EXPECT_EQ(called, 100);
    EXPECT_EQ(leaver.calls, 1);
    EXPECT_EQ(skipped.total, 0);
    EXPECT_EQ(kept.total, 301);
    EXPECT_EQ(kept.filler, 0);
    EXPECT_EQ(signal.slotCount(), 1u);
    EXPECT_EQ(pentavel::trackedConnectionCount(tracker), 1u);
    EXPECT_EQ(SlotPool::blocksInUse(), before + 3);  // the tracker, the signal's head and one slot
}

// Taking every free block and one more adds exactly one chunk of 32; the second round reuses the freed
// blocks instead of growing again.
TEST(SlotPool, GrowsThirtyTwoBlocksAtATimeAndReusesFreedBlocks) {
    pentavel::releaseTracker(nullptr);  // no tracker: nothing to release, nothing freed
    const std::size_t owned = SlotPool::blocksOwned();
    const std::size_t inUse = SlotPool::blocksInUse();
    std::vector<pentavel::Connection*> blocks(owned - inUse + 1);
    for (int round = 0; round < 2; ++round) {
        for (pentavel::Connection*& block : blocks)
            block = SlotPool::allocate();
        EXPECT_EQ(SlotPool::blocksOwned(), owned + 32);
        for (pentavel::Connection* block : blocks)
            SlotPool::release(block);
        EXPECT_EQ(SlotPool::blocksInUse(), inUse);
    }
}

}  // namespace
