// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Read by tests/mutants/generator_test.py: every site of this file is named there, and every mutant
// changes what the program prints or returns. Comments (a < b, x = 1;) and strings are never sites.
#include <cstdio>
#include <vector>

namespace {

constexpr int kLimit = 3;  // a constant expression: no site

struct Tally {
    int total = 0;
    std::vector<int> kept;
    bool add(int value);
};

bool Tally::add(int value) {
    if (value < kLimit || value == 7)
        return false;
    kept.push_back(value);
    total += value;
    return true;
}

int mix(int first, int second) {
    return first * 10 - second;
}

}  // namespace

int main() {
    const char* text = "a < b && c = 1;";
    char buffer[4] = {};
    Tally tally;
    for (int value = 0; value < 9; ++value)
        std::printf("%d", tally.add(value) ? 1 : 0);
    std::printf(" %d %d %d %s %zu\n", tally.total, static_cast<int>(tally.kept.size()), mix(tally.total, 2),
                text, sizeof buffer);
    return 0;
}
