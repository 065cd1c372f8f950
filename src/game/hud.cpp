// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/hud.h"

#include <cstdio>
#include <string>

#include "game/game_structure.h"

namespace tezmola {

using pentavel::graphics::Colour;
using pentavel::graphics::lookupSprite;
using pentavel::graphics::TextLabel;

namespace {

constexpr float kTextSize = 0.75f;
constexpr float kTopEdge = 0.75f;
constexpr float kBottomEdge = -0.75f;
constexpr float kBandBottom = 0.64995f;
constexpr float kMultiplierX = 0.93333334f;
const Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};
const Colour kYellow{1.0f, 1.0f, 0.0f, 1.0f};
const char* const kTitle = "TEZMOLA";
const char* const kCheatTitle = "ZORPLEX";
const char* const kFallbackGlyph = "conduit_nc";

struct LabelLayout {
    float x;
    float y;
    Colour colour;
    int horizontal;
    int vertical;
    float depth;
};

void layOut(GameStructure& game, TextLabel& label, const LabelLayout& layout, const std::string& text) {
    label.horizontalAlignment = layout.horizontal;
    label.verticalAlignment = layout.vertical;
    label.setText(game.glyphs, text);
    label.setTextSize(kTextSize);
    label.setColour(layout.colour);
    label.setDepth(layout.depth);
    label.setPosition(layout.x, layout.y);
}

// Replacing a text with itself would only churn the glyph sprites.
void setTextIfChanged(GameStructure& game, TextLabel& label, const std::string& text) {
    if (label.text() != text)
        label.setText(game.glyphs, text);
}

}  // namespace

void buildGlyphTable(GameStructure& game) {
    const pentavel::graphics::SpriteId fallback = lookupSprite(kFallbackGlyph);
    char name[16];
    for (int code = 0; code < 256; ++code) {
        game.glyphs[code] = fallback;
        std::snprintf(name, sizeof name, "conduit_%03d", code);
        if (const pentavel::graphics::SpriteId id = lookupSprite(name))
            game.glyphs[code] = id;
    }
}

void setUpLabels(GameStructure& game) {
    layOut(game, game.titleLabel, {0.0f, kTopEdge, kWhite, TextLabel::kCentre, TextLabel::kTop, -10.0f},
           kTitle);
    layOut(game, game.scoreLabel, {1.0f, kTopEdge, kYellow, TextLabel::kRight, TextLabel::kTop, -11.0f},
           "00000000");
    game.topBand.setSpriteByName("tile_pyramid");
    game.topBand.setRectangle(-1.0f, kTopEdge, 1.0f, kBandBottom);
    game.topBand.setColour(Colour{0.0f, 0.0f, 0.0f, 1.0f});
    game.topBand.setDepth(0.0f);
    layOut(game, game.multiplierLabel,
           {kMultiplierX, kBottomEdge, kWhite, TextLabel::kRight, TextLabel::kBottom, -11.0f}, "X1");
    layOut(game, game.stateLabel, {0.0f, 0.0f, kWhite, TextLabel::kCentre, TextLabel::kMiddle, -12.0f}, "");
    game.stateLabel.setVisible(false);
}

void refreshLevelLabel(GameStructure& game) {
    if (game.showFrameRate) {
        game.frameRateCounter.label().setVisible(true);
        game.levelLabel.setVisible(false);
        return;
    }
    std::string text = "LEVEL 00";
    pentavel::graphics::writeDigits(text, game.levelNumber % 100u, 2);
    game.frameRateCounter.label().setVisible(false);
    layOut(game, game.levelLabel, {-1.0f, kTopEdge, kYellow, TextLabel::kLeft, TextLabel::kTop, -11.0f},
           text);
    game.levelLabel.setVisible(true);
}

void refreshStateLabel(GameStructure& game) {
    if (game.playing)
        game.highScores.hide();
    if (game.pausedShown) {
        setTextIfChanged(game, game.stateLabel, "PAUSED");
        game.stateLabel.setVisible(true);
    } else if (!game.playing) {
        setTextIfChanged(game, game.stateLabel, "GAME OVER");
        game.stateLabel.setVisible(true);
    } else {
        game.stateLabel.setVisible(false);
    }
}

void setTitleCheatMark(GameStructure& game) {
    setTextIfChanged(game, game.titleLabel, kCheatTitle);
}

bool hasCheatMark(const GameStructure& game) {
    return game.titleLabel.text() == kCheatTitle;
}

bool hasOwnGlyph(const GameStructure& game, unsigned char code) {
    const pentavel::graphics::SpriteId glyph = game.glyphs[code];
    return glyph != 0 && glyph != lookupSprite(kFallbackGlyph);
}

void clearTitleCheatMark(GameStructure& game) {
    setTextIfChanged(game, game.titleLabel, kTitle);
}

void showScore(GameStructure& game) {
    std::string text = "00000000";
    pentavel::graphics::writeDigits(text, static_cast<unsigned int>(game.score), 8);
    game.scoreLabel.setText(game.glyphs, text);
}

void showMultiplier(GameStructure& game) {
    std::string text = "X1";
    text[1] = static_cast<char>('0' + game.scoreMultiplier % 10);
    setTextIfChanged(game, game.multiplierLabel, text);
}

void addScore(GameStructure& game, std::int32_t points) {
    game.score = static_cast<std::int32_t>(static_cast<std::uint32_t>(game.score) +
                                           static_cast<std::uint32_t>(points));
    showScore(game);
}

}  // namespace tezmola
