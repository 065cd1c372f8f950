// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The switch of the generated mutants (scripts/mutants.py). A source file in the mutation check's build
// carries all its mutants at once, each behind a test of its number; TEZMOLA_MUTANT names the one that is
// on in this process (none when unset), so one build serves every mutant. With TEZMOLA_MUTANT_TRACE set to
// a folder, each process writes there at exit which mutants each test reached (the trace listener names
// the tests), and each mutant is then tried against those tests alone.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace tezmola_mutants {

struct State {
    int active = 0;
    std::string traceFolder;
    std::vector<std::string> tests{std::string()};  // index 0: outside any test
    int test = 0;
    std::vector<int> lastTest;                 // by mutant: the last test that reached it, plus one
    std::vector<std::pair<int, int>> reached;  // (test, mutant)
};

void writeTrace();

// Made on first use and never destroyed: a mutant may be reached while static objects are destroyed.
inline State& state() {
    static State* const made = [] {
        auto* s = new State;
        if (const char* active = std::getenv("TEZMOLA_MUTANT"))
            s->active = std::atoi(active);
        if (const char* folder = std::getenv("TEZMOLA_MUTANT_TRACE"); folder != nullptr && *folder != '\0') {
            s->traceFolder = folder;
            std::atexit(writeTrace);
        }
        return s;
    }();
    return *made;
}

inline void writeTrace() {
    State& s = state();
    const std::string path = s.traceFolder + "/trace." + std::to_string(getpid());
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr)
        return;
    for (const auto& [test, mutant] : s.reached)
        std::fprintf(file, "%d %s\n", mutant, s.tests[test].c_str());
    std::fclose(file);
}

// Called by the trace listener as each test starts (name "Suite.Test") and ends (empty name).
inline void startTest(const std::string& name) {
    State& s = state();
    if (name.empty()) {
        s.test = 0;
        return;
    }
    s.tests.push_back(name);
    s.test = static_cast<int>(s.tests.size()) - 1;
}

// True when mutant `id` is the one switched on; records that the running test reached it.
inline bool on(int id) {
    State& s = state();
    if (!s.traceFolder.empty()) {
        if (static_cast<int>(s.lastTest.size()) <= id)
            s.lastTest.resize(id + 1, 0);
        if (s.lastTest[id] != s.test + 1) {
            s.lastTest[id] = s.test + 1;
            s.reached.emplace_back(s.test, id);
        }
    }
    return s.active == id;
}

template <class T>
bool negate(int id, T&& condition) {
    return on(id) != static_cast<bool>(condition);
}

// Each operator with the one that a slip puts in its place.
#define TEZMOLA_MUTANT_OPERATOR(name, op, into)         \
    template <class A, class B>                         \
    auto name(int id, A&& a, B&& b)->decltype(a op b) { \
        if (on(id))                                     \
            return a into b;                            \
        return a op b;                                  \
    }
TEZMOLA_MUTANT_OPERATOR(less, <, <=)
TEZMOLA_MUTANT_OPERATOR(lessEqual, <=, <)
TEZMOLA_MUTANT_OPERATOR(greater, >, >=)
TEZMOLA_MUTANT_OPERATOR(greaterEqual, >=, >)
TEZMOLA_MUTANT_OPERATOR(equal, ==, !=)
TEZMOLA_MUTANT_OPERATOR(notEqual, !=, ==)
TEZMOLA_MUTANT_OPERATOR(plus, +, -)
TEZMOLA_MUTANT_OPERATOR(minus, -, +)
TEZMOLA_MUTANT_OPERATOR(times, *, /)
TEZMOLA_MUTANT_OPERATOR(divides, /, *)
TEZMOLA_MUTANT_OPERATOR(bitAnd, &, |)
TEZMOLA_MUTANT_OPERATOR(bitOr, |, &)
#undef TEZMOLA_MUTANT_OPERATOR

#define TEZMOLA_MUTANT_ASSIGNMENT(name, op, into)      \
    template <class A, class B>                        \
    auto name(int id, A& a, B&& b)->decltype(a op b) { \
        if (on(id))                                    \
            return a into b;                           \
        return a op b;                                 \
    }
TEZMOLA_MUTANT_ASSIGNMENT(plusAssign, +=, -=)
TEZMOLA_MUTANT_ASSIGNMENT(minusAssign, -=, +=)
TEZMOLA_MUTANT_ASSIGNMENT(timesAssign, *=, /=)
TEZMOLA_MUTANT_ASSIGNMENT(dividesAssign, /=, *=)
#undef TEZMOLA_MUTANT_ASSIGNMENT

}  // namespace tezmola_mutants
