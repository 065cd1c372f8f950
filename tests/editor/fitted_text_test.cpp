// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Text fitted into the window's width, measured in a font whose every glyph is one unit wide, so that a
// room of n holds n characters: paths shortened in their middle, lines broken and cut.
#include "tools/editor/fitted_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace tezmola::editor;

// One unit a glyph, but three for a W.
GlyphWidths unitWidths() {
    GlyphWidths widths;
    widths.fill(1.0f);
    widths['W'] = 3.0f;
    return widths;
}

// The lines' texts, each ended by "|".
std::string fittedTexts(const std::vector<FittedLine>& lines) {
    std::string all;
    for (const FittedLine& line : lines)
        all += line.text + "|";
    return all;
}

std::string partOf(const FittedLine& line, std::size_t part) {
    return line.text.substr(line.parts.at(part).begin, line.parts.at(part).end - line.parts.at(part).begin);
}

TEST(FittedText, APathLosesWholeFoldersFromItsMiddleThenAllButItsNameThenTheNamesMiddle) {
    const GlyphWidths widths = unitWidths();
    const std::string shelf = "/home/ann/My Games/Tezmola/levels/";  // 34 characters
    EXPECT_EQ(shortenedPath("/a/b.xml", 8.0f, widths), "/a/b.xml");
    EXPECT_EQ(shortenedPath(shelf + "Mine.xml", 41.0f, widths), "/home/ann/.../Tezmola/levels/Mine.xml");
    EXPECT_EQ(shortenedPath(shelf + "Mine.xml", 30.0f, widths), "/home/ann/.../levels/Mine.xml");
    EXPECT_EQ(shortenedPath(shelf + "Mine.xml", 20.0f, widths), "/home/.../Mine.xml");
    EXPECT_EQ(shortenedPath(shelf + "Mine.xml", 12.0f, widths), ".../Mine.xml");
    EXPECT_EQ(shortenedPath(shelf + "Mine.xml", 8.0f, widths), "Mine.xml");
    // A long name keeps its start and, in the larger share, its end.
    EXPECT_EQ(shortenedPath(shelf + "A Very Long Name Of A Set.xml", 20.0f, widths), "A Very Lo... Set.xml");
    EXPECT_EQ(shortenedPath("First Steps Into The Dark", 11.0f, widths), "Firs...Dark");
    EXPECT_EQ(shortenedPath("Wild Wet West.xml", 12.0f, widths), "Wil....xml");
    EXPECT_EQ(shortenedPath("Lost Caves Of The West", 11.0f, widths), "Lost ...est");
    EXPECT_EQ(shortenedPath("First Steps", 3.0f, widths), "...");
}

TEST(FittedText, ALineTooLongShortensItsPathsElseBreaksAtASpaceAndCutsWhatIsLeft) {
    const GlyphWidths widths = unitWidths();
    const std::string path = "/home/ann/My Games/Tezmola/levels/Mine.xml";
    const std::string saved = "Cannot save " + path + ": disk full";
    std::vector<FittedLine> lines = fitLines(saved, {{12, 12 + path.size()}}, 41.0f, widths);
    EXPECT_EQ(fittedTexts(lines), "Cannot save /home/.../Mine.xml: disk full|");
    EXPECT_EQ(partOf(lines[0], 0), "/home/.../Mine.xml");
    EXPECT_EQ(fittedTexts(fitLines(saved, {{12, 12 + path.size()}}, 70.0f, widths)), saved + "|");
    // Its name would be lost on one line: the path goes to a second, where it keeps its name.
    lines = fitLines(saved, {{12, 12 + path.size()}}, 24.0f, widths);
    EXPECT_EQ(fittedTexts(lines), "Cannot save|.../Mine.xml: disk full|");
    EXPECT_EQ(partOf(lines[1], 0), ".../Mine.xml");
    EXPECT_EQ(fittedTexts(fitLines("aaaa bbbb  cccc dddd eeee", {}, 9.0f, widths)), "aaaa bbbb|cccc d...|");
    lines = fitLines("aaaa bbbb  cccc dddd eeee", {{11, 15}}, 9.0f, widths, false);
    EXPECT_EQ(fittedTexts(lines), "aaaa b...|");
    EXPECT_EQ(lines[0].parts[0].begin, lines[0].parts[0].end);
    EXPECT_EQ(fittedTexts(fitLines("aaaaaaaaaaaa bb", {}, 10.0f, widths)), "aaaaaaa...|bb|");
    EXPECT_EQ(fittedTexts(fitLines("aaaaaaaaaaaa   ", {}, 10.0f, widths)), "aaaaaaa...|");
    // A part is never broken, not even at a space it begins with; the line may end right after it.
    lines = fitLines("Saved Mine.xml keeps it", {{6, 14}}, 14.0f, widths);
    EXPECT_EQ(fittedTexts(lines), "Saved Mine.xml|keeps it|");
    EXPECT_EQ(partOf(lines[0], 0), "Mine.xml");
    EXPECT_EQ(fittedTexts(fitLines("Waaa bbbb cccc", {}, 9.0f, widths)), "Waaa|bbbb cccc|");
    EXPECT_EQ(fittedTexts(fitLines("a b /x/nnnnnn zz", {{3, 13}}, 8.0f, widths)), "a|bn... zz|");
    // The widest part is shortened first (of two as wide, the first), the next as far as it must, and each
    // is found where it moved.
    const std::string status =
        "A Very Long Name Of A Set.xml \"Lost Caves Of The North\" is a level of the set";
    lines = fitLines(status, {{0, 29}, {31, 54}}, 60.0f, widths, false);
    EXPECT_EQ(fittedTexts(lines), "A Very...et.xml \"Lost Cave...he North\" is a level of the set|");
    EXPECT_EQ(partOf(lines[0], 1), "Lost Cave...he North");
    EXPECT_EQ(fittedTexts(fitLines("aaaaaaaa bbbbbbbb", {{0, 8}, {9, 17}}, 14.0f, widths, false)),
              "a...a bbbbbbbb|");
}

}  // namespace
