// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shelf drawn over the field: one line per set with its name, levels, proven levels and best score,
// the chosen line in yellow, scrolled to keep it in sight, where it stands beside the title; below, the
// starting level and the keys. A letter key jumps to the next set of that initial.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/graphics/sprite.h"
#include "engine/graphics/text_label.h"
#include "game/records/shelf.h"

namespace tezmola {

constexpr int kShelfRowsShown = 20;

class ShelfView {
public:
    enum class Command { None, Start, Close };

    void setUp(const pentavel::graphics::SpriteId* glyphs);
    // Opens on the sets (kept by address until closed), the playing one chosen (-1: none of them plays,
    // the first is chosen).
    void open(const std::vector<ShelfSet>* sets, int playing);
    void close();
    bool isOpen() const { return sets_ != nullptr; }
    // Lays the lines out again (a set was read in the meantime).
    void refresh();

    Command onKey(int key);
    // Wheel buttons move the choice; the left button on a line starts it.
    Command onButton(int button, float x, float y);
    void onPointer(float x, float y);

    int chosen() const { return chosen_; }
    int top() const { return top_; }
    std::uint32_t startingLevel() const { return startingLevel_; }
    // A line under the keys, such as why a set cannot be played.
    void say(const std::string& message);
    const std::string& message() const { return message_.text(); }

    // What is drawn, for tests to look at.
    struct Row {
        pentavel::graphics::TextLabel name;
        pentavel::graphics::TextLabel levels;
        pentavel::graphics::TextLabel proven;
        pentavel::graphics::TextLabel best;
    };
    const pentavel::graphics::Sprite& backdrop() const { return backdrop_; }
    const pentavel::graphics::TextLabel& title() const { return title_; }
    const pentavel::graphics::TextLabel& positionLine() const { return position_; }
    const Row& heading() const { return heading_; }
    const Row& row(int line) const { return rows_[static_cast<std::size_t>(line)]; }
    const pentavel::graphics::TextLabel& levelLine() const { return levelLine_; }
    const pentavel::graphics::TextLabel& keysLine() const { return keysLine_; }
    const pentavel::graphics::TextLabel& messageLine() const { return message_; }

private:
    void choose(int index);
    int rowAt(float y) const;

    const pentavel::graphics::SpriteId* glyphs_ = nullptr;
    const std::vector<ShelfSet>* sets_ = nullptr;
    int chosen_ = 0;
    int top_ = 0;
    int playing_ = 0;
    std::uint32_t startingLevel_ = 1;
    pentavel::graphics::Sprite backdrop_;
    pentavel::graphics::TextLabel title_;
    pentavel::graphics::TextLabel position_;
    Row heading_;
    std::array<Row, kShelfRowsShown> rows_;
    pentavel::graphics::TextLabel levelLine_;
    pentavel::graphics::TextLabel keysLine_;
    pentavel::graphics::TextLabel message_;
};

// The line of a set as the shelf shows it: name, levels, proven, best ("-" for none). A set not read yet
// shows "..." and a bad one "BAD" in place of its numbers.
std::array<std::string, 4> shelfLine(const ShelfSet& set);
// Which lines of how many the view shows from the line top on (from 0): "21-40 OF 114".
std::string shelfPosition(int top, int count);
// The set a key jumps to: the first after from, round from the first after the last, whose name starts with
// the key's letter, letter case and accents aside; -1 when the key is no letter or no name starts with it.
int setOfLetter(const std::vector<ShelfSet>& sets, int from, int key);

}  // namespace tezmola
