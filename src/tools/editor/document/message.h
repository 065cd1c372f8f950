// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the editor says to the author: a line in a tone, with the parts of it that the window may shorten.
// Opening a set says things too, before anything is drawn, so the line is no part of the view.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace tezmola {
namespace editor {

enum class Tone { Plain, Good, Warning, Error };

// A part of a text, as byte offsets [begin, end); empty when begin == end. A part selected is shown so.
struct TextSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool selected = false;
};

struct Message {
    Message() = default;
    Message(std::string text, Tone tone = Tone::Plain)  // not explicit: {"a line"} is a message
        : text(std::move(text)), tone(tone) {}

    std::string text;
    Tone tone = Tone::Plain;
    // Parts of the text that may be shortened, as a path is, to fit the window: paths, names, what is
    // typed (a part selected is shown so).
    std::vector<TextSpan> parts;

    Message& add(const std::string& more);
    Message& addPart(const std::string& part, bool selected = false);
};

}  // namespace editor
}  // namespace tezmola
