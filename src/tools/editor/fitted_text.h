// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A line of the editor's text fitted into the width of the window: a path shortened in its middle, a
// line too long broken onto a second, or cut at its end, "..." marking every cut. All text here is the
// font's, one glyph a byte (toFontText), so that no cut falls inside a character.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "engine/graphics/sprite.h"

namespace tezmola {
namespace editor {

// The width of each of the font's 256 glyphs (a table of 256, never null) at a text size, in play-field
// units.
using GlyphWidths = std::array<float, 256>;
GlyphWidths glyphWidths(const pentavel::graphics::SpriteId* glyphs, float size);
float textWidth(const std::string& text, const GlyphWidths& widths);

// A part of a text, as byte offsets [begin, end); empty when begin == end. A part selected is shown so.
struct TextSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool selected = false;
};

// The path shortened to room: as it is when it fits; else whole folders left out of its middle for
// "...", then only ".../" and its last name, then that name alone, then with "..." in its middle.
std::string shortenedPath(const std::string& path, float room, const GlyphWidths& widths);

struct FittedLine {
    std::string text;
    std::vector<TextSpan> parts;  // where each part of the text given lies in this line; empty: not here
};

// The text in at most two lines of room: one as it is when it fits, or with its parts (paths, names,
// what is typed) shortened as paths, each to no less than a quarter of the line and a path to no less
// than its last name; else broken at the last space outside a part that leaves a first line that fits
// so, each line then fitted with its parts shortened further if they must, and cut at its end if that is
// not enough. One line only (twoLines false) is fitted so at once.
std::vector<FittedLine> fitLines(const std::string& text, const std::vector<TextSpan>& parts, float room,
                                 const GlyphWidths& widths, bool twoLines = true);

}  // namespace editor
}  // namespace tezmola
