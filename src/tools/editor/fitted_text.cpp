// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/editor/fitted_text.h"

#include <algorithm>

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
    for (std::size_t index = 0; index < order.size(); ++index)
        order[index] = index;
    const auto partWidth = [&](std::size_t index) {
        const TextSpan& span = line.parts[index];
        return textWidth(line.text.substr(span.begin, span.end - span.begin), widths);
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return partWidth(a) > partWidth(b); });
    for (const std::size_t index : order) {
        const TextSpan span = line.parts[index];
        const std::string part = line.text.substr(span.begin, span.end - span.begin);
        const float width = textWidth(part, widths);
        const float target = std::max(leastWidth(part, room, keepNames, widths), width - excess);
        if (excess <= 0.0f || target >= width)
            continue;
        const std::string shortened = shortenedPath(part, target, widths);
        line.text.replace(span.begin, span.end - span.begin, shortened);
        for (TextSpan& other : line.parts)
            if (other.begin >= span.end && other.end > other.begin) {
                other.begin = other.begin - (span.end - span.begin) + shortened.size();
                other.end = other.end - (span.end - span.begin) + shortened.size();
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

// The bytes [begin, end) of the text as a line of its own, with the parts that lie wholly inside.
FittedLine piece(const std::string& text, const std::vector<TextSpan>& parts, std::size_t begin,
                 std::size_t end) {
    FittedLine line{text.substr(begin, end - begin), std::vector<TextSpan>(parts.size())};
    for (std::size_t index = 0; index < parts.size(); ++index)
        if (parts[index].begin >= begin && parts[index].end <= end && parts[index].end > parts[index].begin)
            line.parts[index] = TextSpan{parts[index].begin - begin, parts[index].end - begin};
    return line;
}

bool insidePart(std::size_t at, const std::vector<TextSpan>& parts) {
    for (const TextSpan& span : parts)
        if (at >= span.begin && at < span.end)
            return true;
    return false;
}

}  // namespace

GlyphWidths glyphWidths(const pentavel::graphics::SpriteId* glyphs, float size) {
    GlyphWidths widths = {};
    pentavel::graphics::Sprite probe;
    probe.setVisible(false);
    for (std::size_t code = 0; code < widths.size(); ++code) {
        probe.setSprite(glyphs != nullptr ? glyphs[code] : 0);
        probe.setScaleXY(size, size);
        widths[code] = probe.width();
    }
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
    for (std::size_t kept = count - 1; kept >= 2 && kept < count; --kept) {
        const std::size_t back = (kept + 1) / 2;
        const std::string shortened =
            joined(names, 0, kept - back) + kLeftOut + joined(names, count - back, count);
        if (textWidth(shortened, widths) <= room)
            return shortened;
    }
    const std::string lastName = std::string(kEllipsis) + "/" + names.back();
    if (count > 1 && textWidth(lastName, widths) <= room)
        return lastName;
    if (count > 1 && textWidth(names.back(), widths) <= room)
        return names.back();
    return cutInTheMiddle(names.back(), room, widths);
}

std::vector<FittedLine> fitLines(const std::string& text, const std::vector<TextSpan>& parts, float room,
                                 const GlyphWidths& widths, bool twoLines) {
    FittedLine one = fitOneLine(text, parts, room, twoLines, widths, !twoLines);
    if (!twoLines || textWidth(one.text, widths) <= room)
        return {one};
    // The first line as long as it fits, ending before a space outside the parts; the spaces go.
    std::size_t end = 0;
    std::size_t next = 0;
    for (std::size_t at = text.find(' '); at != std::string::npos; at = text.find(' ', at + 1)) {
        std::size_t lineEnd = at;
        while (lineEnd > 0 && text[lineEnd - 1] == ' ')
            --lineEnd;
        if (lineEnd == 0 || insidePart(at, parts))
            continue;
        const FittedLine first = piece(text, parts, 0, lineEnd);
        if (end > 0 &&
            textWidth(fitOneLine(first.text, first.parts, room, true, widths, false).text, widths) > room)
            break;
        end = lineEnd;
        next = at;
    }
    while (next < text.size() && text[next] == ' ')
        ++next;
    if (end == 0 || next == text.size())
        return {fitOneLine(text, parts, room, false, widths, true)};
    const FittedLine first = piece(text, parts, 0, end);
    const FittedLine second = piece(text, parts, next, text.size());
    return {fitOneLine(first.text, first.parts, room, false, widths, true),
            fitOneLine(second.text, second.parts, room, false, widths, true)};
}

}  // namespace editor
}  // namespace tezmola
