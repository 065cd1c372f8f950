// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/editor/view/level_view.h"

#include <tinyxml.h>

#include <algorithm>

#include "engine/file/xml_document.h"
#include "game/display/hud.h"
#include "game/field/images.h"
#include "game/field/level.h"

namespace tezmola {
namespace editor {

using pentavel::graphics::Colour;
using pentavel::graphics::TextLabel;

namespace {

constexpr float kTopEdge = 0.75f;
constexpr float kBandBottom = 0.6208f;  // the game's top band, over the top row of pipes: two lines
constexpr float kStatusSize = 0.42f;
constexpr float kStatusY = 0.722f;
constexpr float kMessageSize = 0.4f;
constexpr float kInfoY = 0.676f;
constexpr float kMessageTop = -0.625f;  // under the brick bar
constexpr float kMessageStep = 0.045f;
constexpr float kStatusRoom = 1.98f;       // from the status line's left edge to as near the window's right
constexpr float kMessageRoom = 1.9f;       // from the messages' left edge to as far from the right as it is
constexpr float kSelectionDepth = -19.0f;  // under the text, over the field
constexpr float kHelpSize = 0.44f;
constexpr float kHelpTop = 0.6f;
constexpr float kHelpStep = 0.072f;
constexpr float kBandDepth = -5.0f;
constexpr float kTextDepth = -20.0f;
constexpr float kHelpDepth = -30.0f;

const Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};
const Colour kSelectionColour{0.2f, 0.5f, 1.0f, 1.0f};

Colour toneColour(Tone tone) {
    switch (tone) {
        case Tone::Good:
            return Colour{0.5f, 1.0f, 0.5f, 1.0f};
        case Tone::Warning:
            return Colour{1.0f, 1.0f, 0.0f, 1.0f};
        case Tone::Error:
            return Colour{1.0f, 0.4f, 0.3f, 1.0f};
        case Tone::Plain:
            break;
    }
    return kWhite;
}

void layOut(TextLabel& label, const pentavel::graphics::SpriteId* glyphs, const std::string& text, float x,
            float y, float size, float depth, int horizontal, int vertical) {
    label.horizontalAlignment = horizontal;
    label.verticalAlignment = vertical;
    label.setText(glyphs, text);
    label.setTextSize(size);
    label.setDepth(depth);
    label.setPosition(x, y);
}

// The message in the font's letters, with where its parts lie in that text.
FittedLine inFontText(const Message& message, const pentavel::graphics::SpriteId* glyphs) {
    FittedLine font;
    std::size_t from = 0;
    for (const TextSpan& span : message.parts) {
        const std::size_t begin = std::min(std::max(span.begin, from), message.text.size());
        const std::size_t end = std::min(std::max(span.end, begin), message.text.size());
        font.text += toFontText(message.text.substr(from, begin - from), glyphs);
        const std::size_t fontBegin = font.text.size();
        font.text += toFontText(message.text.substr(begin, end - begin), glyphs);
        font.parts.push_back(TextSpan{fontBegin, font.text.size(), span.selected});
        from = end;
    }
    font.text += toFontText(message.text.substr(from), glyphs);
    return font;
}

}  // namespace

const std::vector<std::string>& helpText() {
    static const std::vector<std::string> lines = {
        "F1: this help",
        "Left button: paint the brick    Right button: clear",
        "1 to 8, or a click on the bar: red, blue, yellow, green,",
        "    magenta, white, steel, empty",
        "+ and -: hit points of the brick chosen, 1 to 9",
        "Arrows: move the highlight    Space: paint it    Backspace: clear it",
        "G: grid on or off",
        "B, Shift+B: next, previous background",
        "Alt+R, Alt+G, Alt+B: more red, green, blue (Shift: less)",
        "Page Down, Page Up: next, previous level",
        "Insert: new level    Ctrl+D: duplicate    Delete: remove",
        "Ctrl+Up, Ctrl+Down: move the level up, down",
        "Ctrl+T, Ctrl+U: title, author of the level",
        "Ctrl+Z: undo    Ctrl+Y: redo",
        "T: play the level    P: prove it (F: faster)",
        "Ctrl+P: prove every level    Ctrl+G: play from here in the game",
        "Ctrl+S: save    Ctrl+Shift+S: save as    Ctrl+N: new set",
        "Ctrl+O: open the changes an earlier session kept",
        "Escape: quit (twice with unsaved changes)",
    };
    return lines;
}

LevelView::LevelView(const pentavel::graphics::SpriteId* glyphs)
    : glyphs_(glyphs),
      statusWidths_(glyphWidths(glyphs, kStatusSize)),
      messageWidths_(glyphWidths(glyphs, kMessageSize)),
      bar_(glyphs) {
    setUpGrid(grid_, cellAnimation_, tracker_);
    makeBackground(background_);
    topBand_.setSpriteByName(kTopBandImage);
    topBand_.setRectangle(-1.0f, kTopEdge, 1.0f, kBandBottom);
    topBand_.setColour(Colour{0.0f, 0.0f, 0.0f, 1.0f});
    topBand_.setDepth(kBandDepth);  // over the top row of pipes, which no level paints
    layOut(status_, glyphs_, "", -0.99f, kStatusY, kStatusSize, kTextDepth, TextLabel::kLeft,
           TextLabel::kMiddle);
    layOut(info_, glyphs_, "", -0.99f, kInfoY, kMessageSize, kTextDepth, TextLabel::kLeft,
           TextLabel::kMiddle);
    for (std::size_t line = 0; line < kMessageLines; ++line)
        layOut(messages_[line], glyphs_, "", -0.95f, kMessageTop - kMessageStep * static_cast<float>(line),
               kMessageSize, kTextDepth, TextLabel::kLeft, TextLabel::kMiddle);
    selection_.setSpriteByName(kBrickImage);  // a plain light image: the colour gives the tint
    selection_.setColour(kSelectionColour);
    selection_.setDepth(kSelectionDepth);
    selection_.setVisible(false);
    helpBack_.setSpriteByName(kTopBandImage);
    helpBack_.setRectangle(-0.97f, kHelpTop + 0.06f, 0.97f,
                           kHelpTop - kHelpStep * static_cast<float>(helpText().size()));
    helpBack_.setColour(Colour{0.0f, 0.0f, 0.0f, 0.85f});
    helpBack_.setDepth(kHelpDepth + 1.0f);
    float y = kHelpTop;
    for (const std::string& text : helpText()) {
        helpLines_.push_back(std::make_unique<TextLabel>());
        layOut(*helpLines_.back(), glyphs_, text, -0.92f, y, kHelpSize, kHelpDepth, TextLabel::kLeft,
               TextLabel::kMiddle);
        y -= kHelpStep;
    }
    showHelp(false);
}

LevelView::~LevelView() = default;

void LevelView::showLevel(const LevelDraft& level) {
    // Through the level file's text, so that the game's own reader lays it.
    TiXmlDocument document;
    const LevelDraft* alone = &level;
    pentavel::file::parseXmlDocument(document, writeLevelSet(std::vector<LevelDraft>(alone, alone + 1)));
    bricks_ = layLevel(grid_, background_, document.FirstChildElement("level")).bricks;
    steel_ = 0;
    for (const auto& row : grid_.cells)
        for (const BrickCell& cell : row)
            steel_ += cell.kind == BrickKind::Steel ? 1 : 0;
}

void LevelView::showMarks(bool grid, const FieldCursor& cursor, const Brush& brush) {
    marks_.showGrid(grid);
    marks_.showCursor(cursor, brush);
}

void LevelView::setStatus(const Message& status) {
    const FittedLine font = inFontText(status, glyphs_);
    const std::string text = fitLines(font.text, font.parts, kStatusRoom, statusWidths_, false).front().text;
    if (status_.text() != text)
        status_.setText(glyphs_, text);
}

void LevelView::setInfo(const std::string& text) {
    const std::string fitted =
        fitLines(toFontText(text, glyphs_), {}, kStatusRoom, messageWidths_, false).front().text;
    if (info_.text() != fitted)
        info_.setText(glyphs_, fitted);
}

void LevelView::setMessages(const std::vector<Message>& messages) {
    struct Line {
        FittedLine fitted;
        Tone tone = Tone::Plain;
    };
    std::vector<Line> lines;
    for (const Message& message : messages) {
        const FittedLine font = inFontText(message, glyphs_);
        for (FittedLine& fitted : fitLines(font.text, font.parts, kMessageRoom, messageWidths_))
            lines.push_back(Line{std::move(fitted), message.tone});
    }
    const std::size_t first = lines.size() - std::min(lines.size(), kMessageLines);
    selection_.setVisible(false);
    for (std::size_t line = 0; line < kMessageLines; ++line) {
        TextLabel& label = messages_[line];
        const Line shown = first + line < lines.size() ? lines[first + line] : Line();
        if (label.text() != shown.fitted.text)
            label.setText(glyphs_, shown.fitted.text);
        label.setColour(toneColour(shown.tone));
        label.layout();
        for (const TextSpan& span : shown.fitted.parts)
            if (span.selected && span.end > span.begin)
                showSelection(label, span);
    }
}

void LevelView::showSelection(const TextLabel& label, const TextSpan& span) {
    const pentavel::graphics::Sprite& from = label.glyphs()[span.begin];
    const pentavel::graphics::Sprite& to = label.glyphs()[span.end - 1];
    const float half = from.height() * 0.5f;
    selection_.setRectangle(from.x() - from.width() * 0.5f, label.y() + half, to.x() + to.width() * 0.5f,
                            label.y() - half);
    selection_.setVisible(true);
}

void LevelView::showHelp(bool shown) {
    helpShown_ = shown;
    helpBack_.setVisible(shown);
    for (auto& line : helpLines_) {
        line->setVisible(shown);
        line->layout();
    }
}

}  // namespace editor
}  // namespace tezmola
