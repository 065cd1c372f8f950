// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help drawn over the paused field: the keys and the mouse, each capsule as it falls with what it
// does, the cheats' mark on the title and the shelf. The Game opens and closes it; it only shows.

#include <array>
#include <cstddef>
#include <vector>

#include "engine/graphics/sprite.h"
#include "engine/graphics/text_label.h"
#include "game/field/power_up.h"

namespace tezmola {

class HelpView {
public:
    static constexpr std::size_t kLines = 18;    // of keys and notes, each a key and its text
    static constexpr std::size_t kCapsules = 6;  // one line each, beside its capsule

    HelpView() = default;
    HelpView(const HelpView&) = delete;
    HelpView& operator=(const HelpView&) = delete;

    // Keeps the font glyphs by address; nothing is laid out before the first open.
    void setUp(const pentavel::graphics::SpriteId* glyphs);
    void open();
    void close();
    bool isOpen() const { return open_; }

    // What it shows, for tests.
    const pentavel::graphics::Sprite& backdrop() const { return backdrop_; }
    const pentavel::graphics::TextLabel& key(std::size_t line) const { return keys_[line]; }
    const pentavel::graphics::TextLabel& text(std::size_t line) const { return texts_[line]; }
    const std::vector<PowerUp>& capsules() const { return capsules_; }
    const pentavel::graphics::TextLabel& capsuleText(std::size_t line) const { return capsuleTexts_[line]; }

private:
    void layOutCapsules();

    const pentavel::graphics::SpriteId* glyphs_ = nullptr;
    bool open_ = false;
    pentavel::graphics::Sprite backdrop_;
    pentavel::graphics::TextLabel title_;
    std::array<pentavel::graphics::TextLabel, kLines> keys_;
    std::array<pentavel::graphics::TextLabel, kLines> texts_;
    pentavel::graphics::TextLabel capsuleHeading_;
    std::array<pentavel::graphics::TextLabel, kCapsules> capsuleTexts_;
    std::vector<PowerUp> capsules_;
    pentavel::graphics::TextLabel footer_;
};

}  // namespace tezmola
