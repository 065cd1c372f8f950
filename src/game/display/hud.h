// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The heads-up display: title, score, level, multiplier and state labels, and the top band. It shows the
// values it is given; the counters themselves belong to the game.

#include <cstdint>
#include <optional>
#include <string>

#include "engine/graphics/frame_rate_counter.h"
#include "engine/graphics/sprite.h"
#include "engine/graphics/text_label.h"

namespace tezmola {

// What the labels around the field show of the game in play, given them once a frame before the draw.
struct HudFigures {
    std::int32_t score = 0;
    std::int32_t multiplier = 1;
    std::uint32_t levelNumber = 1;
    bool showFrameRate = false;
    bool paused = false;
    bool playing = false;
    bool underView = false;  // a view over the field (the shelf, the help) says it all: no state label
};

// The labels around the play field, all in the game's font.
struct Hud {
    const pentavel::graphics::SpriteId* glyphs = nullptr;   // the font, kept by address by setUpLabels
    pentavel::graphics::FrameRateCounter frameRateCounter;  // its text can take the level label's place
    pentavel::graphics::TextLabel titleLabel;
    pentavel::graphics::TextLabel scoreLabel;
    pentavel::graphics::Sprite topBand;
    pentavel::graphics::TextLabel levelLabel;
    pentavel::graphics::TextLabel stateLabel;
    pentavel::graphics::TextLabel multiplierLabel;
    pentavel::graphics::TextLabel noticeLabel;  // below the top band; empty unless showNotice was called
    pentavel::graphics::TextLabel flashLabel;   // a passing word below the notice's line (the sound's state)
    float flashLeft = 0.0f;                     // seconds of frames it stays on the screen
    pentavel::graphics::TextLabel practiceLabel;  // at the bottom: the game in play enters no table
    std::optional<HudFigures> shown;              // what the figures' labels show, once showFigures ran
};

// Builds the glyph table from the "conduit_" sprites, "conduit_nc" where one is missing.
void buildGlyphTable(pentavel::graphics::GlyphTable& glyphs);
// Makes the title, score, top band, multiplier and state labels with their layout in the font glyphs, which
// the display keeps by address.
void setUpLabels(Hud& hud, const pentavel::graphics::SpriteId* glyphs);
// "LEVEL nn" with the level number's last two digits, or the frame-rate text in its place while
// showFrameRate is set.
void refreshLevelLabel(Hud& hud, bool showFrameRate, std::uint32_t levelNumber);
// "PAUSED" while paused, else "GAME OVER" when the game is not being played, else hidden.
void refreshStateLabel(Hud& hud, bool paused, bool playing);
// The title reads "ZORPLEX" until the next new game.
void setTitleCheatMark(Hud& hud);
// True while the title shows the cheat mark: a cheat key was used in this game.
bool hasCheatMark(const Hud& hud);
// True when the character has a glyph of its own in the font (not the fallback).
bool hasOwnGlyph(const pentavel::graphics::SpriteId* glyphs, unsigned char code);
// UTF-8 text as the font's bytes: a Latin-1 character is its own byte when the font has its glyph, else
// the nearest ASCII letters; a byte that is no UTF-8 is taken as Latin-1; other characters become "?".
std::string toFontText(const std::string& text, const pentavel::graphics::SpriteId* glyphs);
// The same with the nearest ASCII letters for every Latin-1 letter, as a font without any of them shows it.
std::string toPlainText(const std::string& text);
// The lower-case ASCII letter of a character code (Latin-1), accents aside ('e' for 0xC9, 'E' and 'e');
// 0 for a code that is no letter.
char plainLetter(int code);
// Gives a label its text at the size of the boards' lines, centred on y and aligned on x as asked, in the
// colour and at the depth given.
void placeLabel(pentavel::graphics::TextLabel& label, const pentavel::graphics::SpriteId* glyphs,
                const std::string& text, float x, float y, int horizontal,
                const pentavel::graphics::Colour& colour, float depth);
// The title reads "TEZMOLA".
void clearTitleCheatMark(Hud& hud);
// The score label shows the score as eight digits.
void showScore(Hud& hud, std::int32_t score);
// A line below the top band, for the whole run (that nothing will be saved).
void showNotice(Hud& hud, const std::string& text);
// Shows the word for two seconds, below the notice's line.
void flashWord(Hud& hud, const std::string& text);
// Counts the word's time down by dt seconds of frames; it goes at zero.
void ageFlash(Hud& hud, float dt);
// "PRACTICE" at the bottom while practice is set: the game in play enters no table.
void showPracticeMark(Hud& hud, bool practice);
// A dark band across the field from top to bottom (top > bottom), hidden until shown: it dims what lies
// behind a board laid over the field.
void setUpBackdrop(pentavel::graphics::Sprite& backdrop, float top, float bottom, float alpha, float depth);
// The multiplier label shows "X" and the multiplier's digit.
void showMultiplier(Hud& hud, std::int32_t multiplier);
// The score, multiplier, level and state labels show the figures; labels whose figures have not changed
// since the last call are left as they are.
void showFigures(Hud& hud, const HudFigures& figures);

}  // namespace tezmola
