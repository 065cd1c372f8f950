// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The player's commands to the GameStructure: keys, pointer, joystick buttons, and the cheat keys.

#include <cmath>
#include <string>

#include "engine/audio/audio.h"
#include "engine/file/settings.h"
#include "game/display/hud.h"
#include "game/field/paddle.h"
#include "game/play/game_commands.h"
#include "game/play/game_step.h"
#include "game/play/game_structure.h"
#include "game/records/game_record.h"

namespace tezmola {

namespace {

enum Key {
    kKeySpace = 32,
    kKeyF1 = 282,
    kKeyF2 = 283,
    kKeyF5 = 286,
    kKeyF6 = 287,
    kKeyF7 = 288,
    kKeyF8 = 289,
    kKeyF9 = 290,
    kKeyF10 = 291,
    kKeyF11 = 292,
    kKeyF12 = 293,
};
constexpr int kLeftButton = 0;

// F6 and F7: the sound a tenth softer or louder, kept in the settings at once as F2's choice is.
void changeSoundVolume(Hud& hud, int tenths) {
    pentavel::audio::setSoundVolume(pentavel::audio::steppedVolume(pentavel::audio::soundVolume(), tenths));
    pentavel::saveChangedSettings();
    const int percent = static_cast<int>(std::lround(pentavel::audio::soundVolume() * 100.0f));
    flashWord(hud,
              "SOUND " + std::to_string(percent) + "%" + (pentavel::audio::soundEnabled() ? "" : " (OFF)"));
}

}  // namespace

// A key or an axis that leaves the paddle's direction as it was is no command.
void GameStructure::steer(std::int32_t direction) {
    if (direction == paddle.direction)
        return;
    PlayerCommand command;
    command.kind = CommandKind::Steer;
    command.direction = direction;
    applyCommand(*this, command);
}

void GameStructure::onKeyDown(int key) {
    // A game watched plays its record's commands alone.
    if (watching)
        return;
    // The arrows steer even while the shelf holds the other keys.
    steer(steerOnKeyDown(paddle.direction, key));
    if (inputHeld)
        return;
    switch (key) {
        case kKeySpace:
            applyCommand(*this, PlayerCommand{CommandKind::Launch});
            return;
        case kKeyF1:
            newGame(*this);
            return;
        case kKeyF2:
            pentavel::audio::toggleSound();
            flashWord(hud, pentavel::audio::soundEnabled() ? "SOUND ON" : "SOUND OFF");
            return;
        case kKeyF6:
        case kKeyF7:
            changeSoundVolume(hud, key == kKeyF7 ? 1 : -1);
            return;
        case kKeyF5:
            showFrameRate = !showFrameRate;
            return;
        case kKeyF8:
            applyCommand(*this, PlayerCommand{CommandKind::FreePaddle});
            return;
        case kKeyF9:
            applyCommand(*this, PlayerCommand{CommandKind::DropBall});
            return;
        case kKeyF10:
            applyCommand(*this, PlayerCommand{CommandKind::Revive});
            return;
        case kKeyF11:
            applyCommand(*this, PlayerCommand{CommandKind::LevelDown});
            return;
        case kKeyF12:
            applyCommand(*this, PlayerCommand{CommandKind::LevelUp});
            return;
        default:
            return;
    }
}

void GameStructure::onKeyUp(int key) {
    if (watching)
        return;
    steer(steerOnKeyUp(paddle.direction, key));
}

void GameStructure::onMouseButtonDown(int button, float /*x*/, float /*y*/) {
    if (watching)
        return;
    if (button == kLeftButton && !inputHeld)
        applyCommand(*this, PlayerCommand{CommandKind::Launch});
}

void GameStructure::onMouseMotion(float x, float y) {
    if (watching)
        return;
    if (pausedShown)
        return;
    PlayerCommand command;
    command.kind = CommandKind::Pointer;
    command.x = x;
    command.y = y;
    applyCommand(*this, command);
}

void GameStructure::onJoyAxis(int /*joystick*/, int axis, int value) {
    if (watching)
        return;
    steer(steerOnAxis(paddle.direction, axis, value));
}

void GameStructure::onJoyButtonDown(int /*joystick*/, int /*button*/) {
    if (watching)
        return;
    if (!inputHeld)
        applyCommand(*this, PlayerCommand{CommandKind::Launch});
}

}  // namespace tezmola
