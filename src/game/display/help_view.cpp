// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/display/help_view.h"

#include "game/display/hud.h"

namespace tezmola {

using pentavel::graphics::Colour;
using pentavel::graphics::TextLabel;

namespace {

constexpr float kDepth = -21.0f;              // over every label of the game, as the shelf
constexpr float kCapsuleDepthShift = -20.0f;  // the capsules' sprites come over the backdrop so
constexpr float kTitleY = 0.69f;
constexpr float kFirstLineY = 0.625f;
constexpr float kLineStep = 0.049f;
constexpr float kCapsuleStep = 0.064f;  // a capsule's height and a little
constexpr float kKeyLeft = -0.95f;
constexpr float kTextLeft = -0.5f;
constexpr float kCapsuleX = -0.85f;
constexpr float kCapsuleTextLeft = -0.74f;
constexpr float kFooterY = -0.722f;
const Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};
const Colour kYellow{1.0f, 1.0f, 0.0f, 1.0f};
const Colour kGrey{0.6f, 0.6f, 0.6f, 1.0f};

struct HelpLine {
    const char* key;
    const char* text;
};

// Every key the game takes in play, in the order a new player needs them.
const HelpLine kHelpLines[] = {
    {"LEFT, RIGHT", "MOVE THE PADDLE (OR THE MOUSE, A JOYSTICK)"},
    {"SPACE", "LAUNCH THE BALL (OR A CLICK, A JOY BUTTON)"},
    {"PAUSE", "PAUSE AND RESUME (LEAVING THE WINDOW PAUSES)"},
    {"H", "THIS HELP"},
    {"F1", "NEW GAME"},
    {"F2", "SOUND ON OR OFF"},
    {"F3", "THE SHELF OF LEVEL SETS: CHOOSE A SET AND"},
    {"", "THE LEVEL TO START AT, ENTER PLAYS IT"},
    {"F5", "FRAMES PER SECOND FOR THE LEVEL NUMBER"},
    {"F6, F7", "SOUND SOFTER, LOUDER"},
    {"ALT+ENTER", "WINDOW OR FULL SCREEN"},
    {"ESCAPE", "QUIT"},
    {"UP, DOWN", "ON THE GAME OVER BOARD: CHOOSE A GAME,"},
    {"ENTER", "WATCH ITS REPLAY"},
    {"F8 - F12", "CHEATS: FREE PADDLE, ONE BALL LESS, ONE"},
    {"", "BALL MORE OR REVIVE, LEVEL BACK, LEVEL ON"},
    {"ZORPLEX", "THE TITLE OF A GAME WITH A CHEAT USED:"},
    {"", "IT ENTERS NO TABLE OF HIGH SCORES"},
};
static_assert(sizeof(kHelpLines) / sizeof(kHelpLines[0]) == HelpView::kLines, "one label pair a line");

struct CapsuleLine {
    PowerUpKind kind;
    const char* text;
};

const CapsuleLine kCapsuleLines[HelpView::kCapsules] = {
    {PowerUpKind::Red, "FIRE: THE BALL BREAKS ANY COLOUR BRICK AT ONCE"},
    {PowerUpKind::Blue, "SPLIT: EACH BALL IN FLIGHT BECOMES TWO"},
    {PowerUpKind::Yellow, "POWER: THE BALL GOES ON THROUGH WHAT IT BREAKS"},
    {PowerUpKind::Green, "GUARD: A ROW ALONG THE BOTTOM SAVES A BALL"},
    {PowerUpKind::Magenta, "SCORE MULTIPLIER ONE HIGHER, UP TO X9"},
    {PowerUpKind::White, "ONE SPARE BALL MORE"},
};

void place(TextLabel& label, const pentavel::graphics::SpriteId* glyphs, const char* text, float x, float y,
           int horizontal, const Colour& colour) {
    placeLabel(label, glyphs, text, x, y, horizontal, colour, kDepth);
    label.setVisible(true);
}

void shiftDepth(pentavel::graphics::Sprite& sprite) {
    sprite.setDepth(sprite.depth() + kCapsuleDepthShift);
}

}  // namespace

void HelpView::setUp(const pentavel::graphics::SpriteId* glyphs) {
    glyphs_ = glyphs;
}

void HelpView::open() {
    open_ = true;
    setUpBackdrop(backdrop_, 0.75f, -0.75f, 0.94f, kDepth + 0.5f);
    backdrop_.setVisible(true);
    place(title_, glyphs_, "HOW TO PLAY", 0.0f, kTitleY, TextLabel::kCentre, kWhite);
    for (std::size_t line = 0; line < kLines; ++line) {
        const float y = kFirstLineY - kLineStep * static_cast<float>(line);
        place(keys_[line], glyphs_, kHelpLines[line].key, kKeyLeft, y, TextLabel::kLeft, kYellow);
        place(texts_[line], glyphs_, kHelpLines[line].text, kTextLeft, y, TextLabel::kLeft, kWhite);
    }
    layOutCapsules();
    place(footer_, glyphs_, "H OR ESCAPE GOES BACK TO THE GAME", 0.0f, kFooterY, TextLabel::kCentre, kGrey);
}

// Each capsule is made as play drops one, then lifted over the backdrop with its parts kept in order.
void HelpView::layOutCapsules() {
    const float headingY = kFirstLineY - kLineStep * static_cast<float>(kLines) - 0.02f;
    place(capsuleHeading_, glyphs_, "CAPSULES: CATCH THEM WITH THE PADDLE", 0.0f, headingY,
          TextLabel::kCentre, kYellow);
    for (std::size_t line = 0; line < kCapsules; ++line) {
        const float y = headingY - kCapsuleStep * static_cast<float>(line + 1);
        dropPowerUp(capsules_, kCapsuleLines[line].kind, kCapsuleX, y);
        PowerUp& capsule = capsules_.back();
        for (pentavel::graphics::Sprite* sprite :
             {&capsule.capsule, &capsule.faceplate, &capsule.glyph, &capsule.shadow})
            shiftDepth(*sprite);
        place(capsuleTexts_[line], glyphs_, kCapsuleLines[line].text, kCapsuleTextLeft, y, TextLabel::kLeft,
              kWhite);
    }
}

void HelpView::close() {
    open_ = false;
    backdrop_.setVisible(false);
    for (TextLabel* label : {&title_, &capsuleHeading_, &footer_})
        label->setVisible(false);
    for (std::size_t line = 0; line < kLines; ++line) {
        keys_[line].setVisible(false);
        texts_[line].setVisible(false);
    }
    for (TextLabel& label : capsuleTexts_)
        label.setVisible(false);
    capsules_.clear();
}

}  // namespace tezmola
