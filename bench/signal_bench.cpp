// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Signal emission and connection costs. ns_per_slot is the time of one slot call within an emission.

#include <benchmark/benchmark.h>

#include "engine/core/signal.h"

namespace {

struct Receiver {
    int total = 0;
    void add(int value) { total += value; }
};

int freeTotal = 0;
void freeAdd(int value) {
    freeTotal += value;
}

constexpr int kSlots = 5;

benchmark::Counter perSlot() {
    return benchmark::Counter(kSlots,
                              benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void EmitFiveMemberSlots(benchmark::State& state) {
    Receiver receivers[kSlots];
    pentavel::ScopedTracker tracker;
    pentavel::Signal<int> signal;
    for (Receiver& receiver : receivers)
        signal.connect(&receiver, &Receiver::add, tracker);
    for (auto _ : state) {
        benchmark::DoNotOptimize(signal.emit(1));
    }
    benchmark::DoNotOptimize(receivers[0].total);
    state.counters["s_per_slot"] = perSlot();
}
BENCHMARK(EmitFiveMemberSlots);

void EmitFiveFreeSlots(benchmark::State& state) {
    pentavel::Signal<int> signal;
    for (int i = 0; i < kSlots; ++i)
        signal.connect(&freeAdd);
    for (auto _ : state) {
        benchmark::DoNotOptimize(signal.emit(1));
    }
    benchmark::DoNotOptimize(freeTotal);
    state.counters["s_per_slot"] = perSlot();
}
BENCHMARK(EmitFiveFreeSlots);

// One receiver's life: a tracker, one connection, and the release that removes it.
void ConnectAndReleaseTracker(benchmark::State& state) {
    Receiver receiver;
    pentavel::Signal<int> signal;
    for (auto _ : state) {
        pentavel::ConnectionTracker* tracker = pentavel::createTracker();
        signal.connect(&receiver, &Receiver::add, tracker);
        pentavel::releaseTracker(tracker);
    }
    benchmark::DoNotOptimize(receiver.total);
}
BENCHMARK(ConnectAndReleaseTracker);

}  // namespace
