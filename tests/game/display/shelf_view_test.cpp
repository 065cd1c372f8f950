// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Finding one's way on a long shelf: the sets the letter keys jump to.

#include <gtest/gtest.h>

#include <utility>

#include "game/display/hud.h"
#include "game/display/shelf_view.h"

namespace {

using namespace tezmola;

std::vector<ShelfSet> setsNamed(const std::vector<std::string>& names) {
    std::vector<ShelfSet> sets(names.size());
    for (std::size_t index = 0; index < names.size(); ++index)
        sets[index].name = names[index];
    return sets;
}

// In the shelf's order: three of B in the middle, E with and without its accent (UTF-8, and a Latin-1
// byte of a file name that is no UTF-8), and a letter the first set alone starts with.
TEST(ShelfLetters, ALetterJumpsToTheNextSetOfItsInitialRoundFromTheFirst) {
    const std::vector<ShelfSet> sets = setsNamed(
        {"Tezmola", "alpha", "Beta", "Blue", "bravo", "echo", "Zulu", "\303\211clair", "\xe9t\xe9", "1st"});
    EXPECT_EQ(4, setOfLetter(sets, 3, 'b'));   // from the middle of the B's, the next one
    EXPECT_EQ(2, setOfLetter(sets, 4, 'b'));   // past the last, round to the first
    EXPECT_EQ(7, setOfLetter(sets, 5, 'e'));   // an accent is no other letter
    EXPECT_EQ(8, setOfLetter(sets, 7, 'e'));   // nor is a name that is Latin-1
    EXPECT_EQ(5, setOfLetter(sets, 8, 0xc9));  // nor a key that types the accent
    EXPECT_EQ(0, setOfLetter(sets, 8, 't'));   // Tezmola's own, first, is reached round too
    EXPECT_EQ(-1, setOfLetter(sets, 3, 'q'));  // no set of that letter
    EXPECT_EQ(-1, setOfLetter(sets, 3, 273));  // Up is no letter, and jumps to no set of a figure
    EXPECT_EQ(0, setOfLetter(setsNamed({"Tezmola"}), 0, 't'));  // a set alone is its letter's next
    EXPECT_EQ(-1, setOfLetter(sets, 3, 0xd7));  // nor is the times sign, whatever the font writes for it
}

// The letter of a key or of a name's first byte: both ends of each run of letters, and of Latin-1's.
TEST(ShelfLetters, EveryLetterCountsAsItsPlainSmallLetter) {
    const std::pair<int, char> letters[] = {{'A', 'a'},   {'Z', 'z'},  {'a', 'a'},   {'z', 'z'},  {'@', '\0'},
                                            {'[', '\0'},  {'`', '\0'}, {'{', '\0'},  {0xC0, 'a'}, {0xC7, 'c'},
                                            {0xBF, '\0'}, {0xFF, 'y'}, {0x100, '\0'}};
    for (const auto& [code, letter] : letters)
        EXPECT_EQ(letter, plainLetter(code)) << code;
}

}  // namespace
