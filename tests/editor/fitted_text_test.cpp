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

GlyphWidths unitWidths() {
    GlyphWidths widths;
    widths.fill(1.0f);
    return widths;
}

// The lines' texts, each ended by "|".
std::string fittedTexts(const std::vector<FittedLine>& lines) {
    std::string all;
    for (const FittedLine& line : lines)
        all += line.text + "|";
    return all;
}

TEST(FittedText, APathLosesWholeFoldersFromItsMiddleThenAllButItsNameThenTheNamesMiddle) {
    const GlyphWidths widths = unitWidths();
    const std::string shelf = "/home/ann/My Games/Tezmola/levels/";  // 34 characters
    EXPECT_EQ(shortenedPath("/a/b.xml", 8.0f, widths), "/a/b.xml");
    EXPECT_EQ(shortenedPath(shelf + "Mine.xml", 41.0f, widths), "/home/ann/.../Tezmola/levels/Mine.xml");
    EXPECT_EQ(shortenedPath(shelf + "Mine.xml", 30.0f, widths), "/home/ann/.../levels/Mine.xml");
    EXPECT_EQ(shortenedPath(shelf + "Mine.xml", 20.0f, widths), "/home/.../Mine.xml");
    EXPECT_EQ(shortenedPath(shelf + "Mine.xml", 12.0f, widths), ".../Mine.xml");
    EXPECT_EQ(shortenedPath(shelf + "Mine.xml", 9.0f, widths), "Mine.xml");
    // A long name keeps its start and, in the larger share, its end.
    EXPECT_EQ(shortenedPath(shelf + "A Very Long Name Of A Set.xml", 20.0f, widths), "A Very Lo... Set.xml");
    EXPECT_EQ(shortenedPath("First Steps Into The Dark", 11.0f, widths), "Firs...Dark");
}

TEST(FittedText, ALineTooLongShortensItsPathsElseBreaksAtASpaceAndCutsWhatIsLeft) {
    const GlyphWidths widths = unitWidths();
    const std::string path = "/home/ann/My Games/Tezmola/levels/Mine.xml";
    const std::string saved = "Cannot save " + path + ": disk full";
    std::vector<FittedLine> lines = fitLines(saved, {{12, 12 + path.size()}}, 41.0f, widths);
    EXPECT_EQ(fittedTexts(lines), "Cannot save /home/.../Mine.xml: disk full|");
    ASSERT_EQ(lines[0].parts.size(), 1u);
    EXPECT_EQ(lines[0].text.substr(lines[0].parts[0].begin, lines[0].parts[0].end - lines[0].parts[0].begin),
              "/home/.../Mine.xml");
    EXPECT_EQ(fittedTexts(fitLines(saved, {{12, 12 + path.size()}}, 70.0f, widths)), saved + "|");
    // Its name would be lost on one line: the path goes to a second, where it keeps its name.
    EXPECT_EQ(fittedTexts(fitLines(saved, {{12, 12 + path.size()}}, 24.0f, widths)),
              "Cannot save|.../Mine.xml: disk full|");
    EXPECT_EQ(fittedTexts(fitLines("aaaa bbbb cccc dddd eeee", {}, 10.0f, widths)), "aaaa bbbb|cccc dd...|");
    EXPECT_EQ(fittedTexts(fitLines("aaaa bbbb cccc dddd eeee", {}, 10.0f, widths, false)), "aaaa bb...|");
    // The widest part is shortened first, and the parts after it are found where they have moved.
    const std::string status = "Set A Very Long Name Of A Set.xml \"Lost Caves\"";
    lines = fitLines(status, {{4, 33}, {35, 45}}, 30.0f, widths, false);
    EXPECT_EQ(fittedTexts(lines), "Set A Ver...t.xml \"Lost Caves\"|");
    EXPECT_EQ(lines[0].text.substr(lines[0].parts[1].begin, lines[0].parts[1].end - lines[0].parts[1].begin),
              "Lost Caves");
}

}  // namespace
