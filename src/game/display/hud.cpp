// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/display/hud.h"

#include <string>

#include "game/field/images.h"
namespace tezmola {

using pentavel::graphics::Colour;
using pentavel::graphics::lookupSprite;
using pentavel::graphics::TextLabel;

namespace {

constexpr float kTextSize = 0.75f;
constexpr float kBoardTextSize = 0.5f;  // the lines of the high-score board and of the shelf
constexpr float kTopEdge = 0.75f;
constexpr float kBottomEdge = -0.75f;
constexpr float kBandBottom = 0.64995f;
constexpr float kMultiplierX = 0.93333334f;
constexpr float kNoticeSize = 0.5f;
constexpr float kFlashY = 0.58f;  // a line below the notice's
constexpr float kFlashSeconds = 2.0f;
const Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};
const Colour kYellow{1.0f, 1.0f, 0.0f, 1.0f};
const char* const kTitle = "TEZMOLA";
const char* const kCheatTitle = "ZORPLEX";

struct LabelLayout {
    float x;
    float y;
    Colour colour;
    int horizontal;
    int vertical;
    float depth;
};

void layOut(Hud& hud, TextLabel& label, const LabelLayout& layout, const std::string& text) {
    label.horizontalAlignment = layout.horizontal;
    label.verticalAlignment = layout.vertical;
    label.setText(hud.glyphs, text);
    label.setTextSize(kTextSize);
    label.setColour(layout.colour);
    label.setDepth(layout.depth);
    label.setPosition(layout.x, layout.y);
}

// Replacing a text with itself would only churn the glyph sprites.
void setTextIfChanged(Hud& hud, TextLabel& label, const std::string& text) {
    if (label.text() != text)
        label.setText(hud.glyphs, text);
}

}  // namespace

void buildGlyphTable(pentavel::graphics::GlyphTable& glyphs) {
    const pentavel::graphics::SpriteId fallback = lookupSprite(kFallbackGlyphImage);
    for (int code = 0; code < 256; ++code) {
        glyphs[code] = fallback;
        if (const pentavel::graphics::SpriteId id =
                lookupSprite(glyphImageName(static_cast<unsigned char>(code)).c_str()))
            glyphs[code] = id;
    }
}

void setUpLabels(Hud& hud, const pentavel::graphics::SpriteId* glyphs) {
    hud.glyphs = glyphs;
    layOut(hud, hud.titleLabel, {0.0f, kTopEdge, kWhite, TextLabel::kCentre, TextLabel::kTop, -10.0f},
           kTitle);
    layOut(hud, hud.scoreLabel, {1.0f, kTopEdge, kYellow, TextLabel::kRight, TextLabel::kTop, -11.0f},
           "00000000");
    hud.topBand.setSpriteByName(kTopBandImage);
    hud.topBand.setRectangle(-1.0f, kTopEdge, 1.0f, kBandBottom);
    hud.topBand.setColour(Colour{0.0f, 0.0f, 0.0f, 1.0f});
    hud.topBand.setDepth(0.0f);
    layOut(hud, hud.multiplierLabel,
           {kMultiplierX, kBottomEdge, kWhite, TextLabel::kRight, TextLabel::kBottom, -11.0f}, "X1");
    layOut(hud, hud.stateLabel, {0.0f, 0.0f, kWhite, TextLabel::kCentre, TextLabel::kMiddle, -12.0f}, "");
    hud.stateLabel.setVisible(false);
}

void showNotice(Hud& hud, const std::string& text) {
    layOut(hud, hud.noticeLabel, {0.0f, kBandBottom, kYellow, TextLabel::kCentre, TextLabel::kTop, -12.0f},
           text);
    hud.noticeLabel.setTextSize(kNoticeSize);
}

void flashWord(Hud& hud, const std::string& text) {
    layOut(hud, hud.flashLabel, {0.0f, kFlashY, kWhite, TextLabel::kCentre, TextLabel::kTop, -12.0f}, text);
    hud.flashLabel.setTextSize(kNoticeSize);
    hud.flashLabel.setVisible(true);
    hud.flashLeft = kFlashSeconds;
}

void ageFlash(Hud& hud, float dt) {
    if (hud.flashLeft <= 0.0f)
        return;
    hud.flashLeft -= dt;
    if (hud.flashLeft <= 0.0f)
        hud.flashLabel.setVisible(false);
}

void showPracticeMark(Hud& hud, bool practice) {
    if (!practice && hud.practiceLabel.text().empty())
        return;
    layOut(hud, hud.practiceLabel,
           {0.0f, kBottomEdge, kYellow, TextLabel::kCentre, TextLabel::kBottom, -11.0f},
           practice ? "PRACTICE" : "");
    hud.practiceLabel.setTextSize(kNoticeSize);
}

void setUpBackdrop(pentavel::graphics::Sprite& backdrop, float top, float bottom, float alpha, float depth) {
    backdrop.setSpriteByName(kTopBandImage);
    backdrop.setRectangle(-1.0f, top, 1.0f, bottom);
    backdrop.setColour(Colour{0.0f, 0.0f, 0.0f, alpha});
    backdrop.setDepth(depth);
    backdrop.setVisible(false);
}

void refreshLevelLabel(Hud& hud, bool showFrameRate, std::uint32_t levelNumber) {
    if (showFrameRate) {
        hud.frameRateCounter.label().setVisible(true);
        hud.levelLabel.setVisible(false);
        return;
    }
    std::string text = "LEVEL 00";
    pentavel::graphics::writeDigits(text, levelNumber % 100u, 2);
    hud.frameRateCounter.label().setVisible(false);
    // Laid out once; from then on only its text changes, which a level change may leave as it was.
    if (hud.levelLabel.text().empty())
        layOut(hud, hud.levelLabel, {-1.0f, kTopEdge, kYellow, TextLabel::kLeft, TextLabel::kTop, -11.0f},
               text);
    else
        setTextIfChanged(hud, hud.levelLabel, text);
    hud.levelLabel.setVisible(true);
}

void refreshStateLabel(Hud& hud, bool paused, bool playing) {
    if (paused) {
        setTextIfChanged(hud, hud.stateLabel, "PAUSED");
        hud.stateLabel.setVisible(true);
    } else if (!playing) {
        setTextIfChanged(hud, hud.stateLabel, "GAME OVER");
        hud.stateLabel.setVisible(true);
    } else {
        hud.stateLabel.setVisible(false);
    }
}

void setTitleCheatMark(Hud& hud) {
    setTextIfChanged(hud, hud.titleLabel, kCheatTitle);
}

bool hasCheatMark(const Hud& hud) {
    return hud.titleLabel.text() == kCheatTitle;
}

bool hasOwnGlyph(const pentavel::graphics::SpriteId* glyphs, unsigned char code) {
    const pentavel::graphics::SpriteId glyph = glyphs[code];
    return glyph != 0 && glyph != lookupSprite(kFallbackGlyphImage);
}

namespace {

// ASCII for the Latin-1 letters from 0xC0 on, where the font lacks their glyphs.
const char* const kLatin1Letters[64] = {
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I",  "I",  //
    "D", "N", "O", "O", "O", "O", "O",  "x", "O", "U", "U", "U", "U", "Y", "TH", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",  //
    "d", "n", "o", "o", "o", "o", "o",  "/", "o", "u", "u", "u", "u", "y", "th", "y"};

// toFontText, or toPlainText when there are no glyphs.
std::string fontOrPlainText(const std::string& text, const pentavel::graphics::SpriteId* glyphs) {
    std::string result;
    for (std::size_t index = 0; index < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[index]);
        unsigned int code = lead;
        std::size_t length = 1;
        if (lead >= 0xC0 && lead < 0xF8 && index + 1 < text.size() &&
            (static_cast<unsigned char>(text[index + 1]) & 0xC0) == 0x80) {
            length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            if (index + length > text.size()) {
                length = 1;
            } else {
                code = lead & (0x7F >> length);
                for (std::size_t next = 1; next < length; ++next)
                    code = (code << 6) | (static_cast<unsigned char>(text[index + next]) & 0x3F);
            }
        }
        index += length;
        if (code < 0x80 ||
            (code <= 0xFF && glyphs != nullptr && hasOwnGlyph(glyphs, static_cast<unsigned char>(code))))
            result += static_cast<char>(code);
        else if (code >= 0xC0 && code <= 0xFF)
            result += kLatin1Letters[code - 0xC0];
        else
            result += code == 0xA0 ? ' ' : '?';
    }
    return result;
}

}  // namespace

void placeLabel(pentavel::graphics::TextLabel& label, const pentavel::graphics::SpriteId* glyphs,
                const std::string& text, float x, float y, int horizontal,
                const pentavel::graphics::Colour& colour, float depth) {
    label.horizontalAlignment = horizontal;  // vertically, labels are centred from the start
    label.setText(glyphs, text);
    label.setTextSize(kBoardTextSize);
    label.setColour(colour);
    label.setDepth(depth);
    label.setPosition(x, y);
}

std::string toFontText(const std::string& text, const pentavel::graphics::SpriteId* glyphs) {
    return fontOrPlainText(text, glyphs);
}

std::string toPlainText(const std::string& text) {
    return fontOrPlainText(text, nullptr);
}

char plainLetter(int code) {
    constexpr int kTimes = 0xD7;
    constexpr int kDivide = 0xF7;
    if (code >= 0xC0 && code <= 0xFF && code != kTimes && code != kDivide)
        code = static_cast<unsigned char>(kLatin1Letters[code - 0xC0][0]);
    if (code >= 'A' && code <= 'Z')
        return static_cast<char>(code - 'A' + 'a');
    return code >= 'a' && code <= 'z' ? static_cast<char>(code) : '\0';
}

void clearTitleCheatMark(Hud& hud) {
    setTextIfChanged(hud, hud.titleLabel, kTitle);
}

void showScore(Hud& hud, std::int32_t score) {
    std::string text = "00000000";
    pentavel::graphics::writeDigits(text, static_cast<unsigned int>(score), 8);
    hud.scoreLabel.setText(hud.glyphs, text);
}

void showMultiplier(Hud& hud, std::int32_t multiplier) {
    std::string text = "X1";
    text[1] = static_cast<char>('0' + multiplier % 10);
    setTextIfChanged(hud, hud.multiplierLabel, text);
}

void showFigures(Hud& hud, const HudFigures& figures) {
    const bool all = !hud.shown.has_value();
    const HudFigures shown = hud.shown.value_or(figures);
    if (all || figures.score != shown.score)
        showScore(hud, figures.score);
    if (all || figures.multiplier != shown.multiplier)
        showMultiplier(hud, figures.multiplier);
    if (all || figures.levelNumber != shown.levelNumber || figures.showFrameRate != shown.showFrameRate)
        refreshLevelLabel(hud, figures.showFrameRate, figures.levelNumber);
    if (all || figures.paused != shown.paused || figures.playing != shown.playing ||
        figures.underView != shown.underView) {
        refreshStateLabel(hud, figures.paused, figures.playing);
        if (figures.underView)
            hud.stateLabel.setVisible(false);
    }
    hud.shown = figures;
}

}  // namespace tezmola
