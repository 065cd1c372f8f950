// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the level editor shows: the level laid into a brick grid and background exactly as the game lays
// it, the grid and the highlighted cell over it, a status line and the level's line in the top band, the
// brick bar and message lines below the map, and the help overlay.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/signal.h"
#include "engine/graphics/sprite.h"
#include "engine/graphics/text_label.h"
#include "game/field/brick_grid.h"
#include "game/records/level_set.h"
#include "tools/editor/document/message.h"
#include "tools/editor/view/brick_bar.h"
#include "tools/editor/view/field_marks.h"
#include "tools/editor/view/fitted_text.h"

namespace tezmola {
namespace editor {

constexpr std::size_t kMessageLines = 3;

class LevelView {
public:
    // glyphs is the game's font, kept by address.
    explicit LevelView(const pentavel::graphics::SpriteId* glyphs);
    ~LevelView();
    LevelView(const LevelView&) = delete;
    LevelView& operator=(const LevelView&) = delete;

    // Lays the level into the grid and tints the background as a level build in the game does.
    void showLevel(const LevelDraft& level);
    // Colour bricks to clear and steel bricks of the level shown.
    int bricks() const { return bricks_; }
    int steel() const { return steel_; }

    // Each line of text is fitted into the window's width (fitLines): the status line and the level's
    // line cut short if they must, a message broken onto a second line.
    void setStatus(const Message& status);
    // The line under the map about the level shown: background, tint, proof.
    void setInfo(const std::string& text);
    // The last kMessageLines lines of the messages, oldest first.
    void setMessages(const std::vector<Message>& messages);
    void showHelp(bool shown);
    bool helpShown() const { return helpShown_; }
    void showBrickBar(const BrickBar& bar) { bar_.show(bar); }
    void showMarks(bool grid, const FieldCursor& cursor, const Brush& brush);

    // What is drawn, for tests.
    const pentavel::graphics::TextLabel& status() const { return status_; }
    const pentavel::graphics::TextLabel& info() const { return info_; }
    const pentavel::graphics::TextLabel& message(std::size_t line) const { return messages_[line]; }
    // Behind the selected part of a message: the text that typing replaces.
    const pentavel::graphics::Sprite& selection() const { return selection_; }
    const pentavel::graphics::Sprite& topBand() const { return topBand_; }
    const BrickBarView& brickBar() const { return bar_; }
    const FieldMarks& marks() const { return marks_; }

private:
    // Behind the glyphs of the span, which the label's text holds.
    void showSelection(const pentavel::graphics::TextLabel& label, const TextSpan& span);

    pentavel::ScopedTracker tracker_;
    const pentavel::graphics::SpriteId* glyphs_;
    BrickGrid grid_;
    std::vector<pentavel::graphics::Sprite> background_;
    pentavel::graphics::Sprite topBand_;
    pentavel::graphics::TextLabel status_;
    pentavel::graphics::TextLabel info_;
    std::array<pentavel::graphics::TextLabel, kMessageLines> messages_;
    pentavel::graphics::Sprite selection_;
    GlyphWidths statusWidths_ = {};
    GlyphWidths messageWidths_ = {};
    pentavel::graphics::Sprite helpBack_;
    std::vector<std::unique_ptr<pentavel::graphics::TextLabel>> helpLines_;
    pentavel::Signal<float> cellAnimation_;  // never emitted: the grid stands still
    BrickBarView bar_;
    FieldMarks marks_;
    int bricks_ = 0;
    int steel_ = 0;
    bool helpShown_ = false;
};

// The help overlay's lines: every key of the editor.
const std::vector<std::string>& helpText();

}  // namespace editor
}  // namespace tezmola
