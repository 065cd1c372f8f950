// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/editor/fitted_text.h"

#include <algorithm>
#include <numeric>

namespace tezmola {
namespace editor {

namespace {

constexpr char kEllipsis[] = "...";
constexpr char kLeftOut[] = "/.../";
constexpr float kLeastPartShare = 0.25f;  // of the line: a part shortened keeps that much of it

float widthOf(char glyph, const GlyphWidths& widths) {
    return widths[static_cast<unsigned char>(glyph)];
}

// The number of bytes at the start (or the end) of text that are no wider than room together.
std::size_t fittingLength(const std::string& text, float room, const GlyphWidths& widths, bool fromEnd) {
    float width = 0.0f;
    std::size_t count = 0;
    for (; count < text.size(); ++count) {
        width += widthOf(fromEnd ? text[text.size() - 1 - count] : text[count], widths);
        if (width > room)
            break;
    }
    return count;
}

// Its start and its end, "..." between; the end, which holds a name's extension or what was typed last,
// keeps at least half of the room.
std::string cutInTheMiddle(const std::string& text, float room, const GlyphWidths& widths) {
    const float left = room - textWidth(kEllipsis, widths);
    if (left < 0.0f)
        return "";
    const std::string end = text.substr(text.size() - fittingLength(text, left * 0.5f, widths, true));
    const std::size_t start = fittingLength(text, left - textWidth(end, widths), widths, false);
    return text.substr(0, start) + kEllipsis + end;
}

std::string joined(const std::vector<std::string>& names, std::size_t first, std::size_t last) {
    std::string text;
    for (std::size_t index = first; index < last; ++index)
        text += (index > first ? "/" : "") + names[index];
    return text;
}

// How far a part may be shortened: to a quarter of the line, and a path, while keepNames holds, no
// further than ".../" and its last name.
float leastWidth(const std::string& part, float room, bool keepNames, const GlyphWidths& widths) {
    const std::size_t slash = part.find_last_of('/');
    const float quarter = room * kLeastPartShare;
    if (!keepNames || slash == std::string::npos)
        return quarter;
    return std::max(quarter, textWidth(std::string(kEllipsis) + part.substr(slash), widths));
}

// The line with its parts shortened, the widest first, each no further than leastWidth, until it fits;
// then cut at its end when cutEnd says so and it still does not.
FittedLine fitOneLine(const std::string& text, const std::vector<TextSpan>& parts, float room, bool keepNames,
                      const GlyphWidths& widths, bool cutEnd) {
    FittedLine line{text, parts};
    float excess = textWidth(text, widths) - room;
    std::vector<std::size_t> order(parts.size());
    std::iota(order.begin(), order.end(), 0);
    const auto partWidth = [&](std::size_t index) {
        const TextSpan& span = line.parts[index];
        return textWidth(line.text.substr(span.begin, span.end - span.begin), widths);
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return partWidth(a) > partWidth(b); });
    for (const std::size_t index : order) {
        if (excess <= 0.0f)
            break;
        const TextSpan span = line.parts[index];
        const std::string part = line.text.substr(span.begin, span.end - span.begin);
        const float width = textWidth(part, widths);
        // A part that fits its least width already comes back as it is.
        const std::string shortened =
            shortenedPath(part, std::max(leastWidth(part, room, keepNames, widths), width - excess), widths);
        line.text.replace(span.begin, span.end - span.begin, shortened);
        // The parts after it move with the text.
        for (TextSpan& other : line.parts)
            if (other.begin > span.begin) {
                other.begin = other.begin - part.size() + shortened.size();
                other.end = other.end - part.size() + shortened.size();
            }
        line.parts[index].end = span.begin + shortened.size();
        excess -= width - textWidth(shortened, widths);
    }
    if (excess > 0.0f && cutEnd) {
        const std::size_t kept = fittingLength(line.text, room - textWidth(kEllipsis, widths), widths, false);
        line.text = line.text.substr(0, kept) + kEllipsis;
        for (TextSpan& span : line.parts) {
            span.begin = std::min(span.begin, kept);
            span.end = std::min(span.end, kept);
        }
    }
    return line;
}

// The line of the bytes from begin of the text, with the parts that lie wholly inside.
FittedLine piece(const std::string& line, const std::vector<TextSpan>& parts, std::size_t begin) {
    FittedLine piece{line, std::vector<TextSpan>(parts.size())};
    for (std::size_t index = 0; index < parts.size(); ++index)
        if (parts[index].begin >= begin && parts[index].end <= begin + line.size())
            piece.parts[index] =
                TextSpan{parts[index].begin - begin, parts[index].end - begin, parts[index].selected};
    return piece;
}

bool insidePart(std::size_t at, const std::vector<TextSpan>& parts) {
    for (const TextSpan& span : parts)
        if (at >= span.begin && at < span.end)
            return true;
    return false;
}

// The space where the text breaks into two lines: the last outside the parts whose first line fits with
// its paths kept to their names; the first when none fits so; npos when there is none.
std::size_t lineBreak(const std::string& text, const std::vector<TextSpan>& parts, float room,
                      const GlyphWidths& widths) {
    std::size_t chosen = std::string::npos;
    for (std::size_t at = text.find(' '); at != std::string::npos; at = text.find(' ', at + 1)) {
        const std::size_t last = text.find_last_not_of(' ', at);
        if (last == std::string::npos || insidePart(at, parts))
            continue;
        const FittedLine first = piece(text.substr(0, last + 1), parts, 0);
        if (chosen != std::string::npos &&
            textWidth(fitOneLine(first.text, first.parts, room, true, widths, false).text, widths) > room)
            break;
        chosen = at;
    }
    return chosen;
}

}  // namespace

GlyphWidths glyphWidths(const pentavel::graphics::SpriteId* glyphs, float size) {
    GlyphWidths widths = {};
    pentavel::graphics::Sprite probe;
    probe.setVisible(false);
    std::transform(glyphs, glyphs + widths.size(), widths.begin(), [&](pentavel::graphics::SpriteId glyph) {
        probe.setSprite(glyph);
        probe.setScaleXY(size, size);
        return probe.width();
    });
    return widths;
}

float textWidth(const std::string& text, const GlyphWidths& widths) {
    float width = 0.0f;
    for (const char glyph : text)
        width += widthOf(glyph, widths);
    return width;
}

std::string shortenedPath(const std::string& path, float room, const GlyphWidths& widths) {
    if (textWidth(path, widths) <= room)
        return path;
    // The names between the slashes; a leading slash stays with the first.
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', start)) {
        names.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    names.push_back(path.substr(start));
    const std::size_t count = names.size();
    for (std::size_t kept = count - 1; kept >= 2; --kept) {
        const std::size_t back = (kept + 1) / 2;
        std::string shortened = joined(names, 0, kept - back) + kLeftOut + joined(names, count - back, count);
        if (textWidth(shortened, widths) <= room)
            return shortened;
    }
    // Without a slash the last name is the whole, which does not fit.
    std::string lastName = std::string(kEllipsis) + "/" + names.back();
    if (textWidth(lastName, widths) <= room)
        return lastName;
    if (textWidth(names.back(), widths) <= room)
        return names.back();
    return cutInTheMiddle(names.back(), room, widths);
}

std::vector<FittedLine> fitLines(const std::string& text, const std::vector<TextSpan>& parts, float room,
                                 const GlyphWidths& widths, bool twoLines) {
    FittedLine one = fitOneLine(text, parts, room, twoLines, widths, !twoLines);
    if (!twoLines || textWidth(one.text, widths) <= room)
        return {one};
    // The spaces at the break go.
    const std::size_t at = lineBreak(text, parts, room, widths);
    const std::size_t next = at == std::string::npos ? at : text.find_first_not_of(' ', at);
    if (next == std::string::npos)
        return {fitOneLine(text, parts, room, false, widths, true)};
    const FittedLine first = piece(text.substr(0, text.find_last_not_of(' ', at) + 1), parts, 0);
    const FittedLine second = piece(text.substr(next), parts, next);
    return {fitOneLine(first.text, first.parts, room, false, widths, true),
            fitOneLine(second.text, second.parts, room, false, widths, true)};
}

}  // namespace editor
}  // namespace tezmola
