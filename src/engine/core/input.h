// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Input devices: joysticks opened at start-up, SDL input events turned into the eight input signals.
// No key state, dead zone or mapping: receivers interpret the raw values.

#include <SDL/SDL.h>

#include "engine/core/signal.h"

namespace pentavel {

Signal<int>& keyDownSignal();               // SDL key symbol
Signal<int>& keyUpSignal();                 // SDL key symbol
Signal<float, float>& mouseMotionSignal();  // x, y in play-field units
Signal<int, float, float>&
mouseButtonDownSignal();  // button (0 left, 1 middle/other, 2 right, 3 and 4 wheel up and down), x, y
Signal<int, float, float>& mouseButtonUpSignal();
Signal<int, int, int>& joyAxisSignal();   // joystick, axis, value -32768..32767
Signal<int, int>& joyButtonDownSignal();  // joystick, button
Signal<int, int>& joyButtonUpSignal();

// Turns a window pixel coordinate into play-field units. The display sits above input, so start-up hands
// its mapping down; null restores the unmapped default (pixels as they are).
using PixelToPlayField = float (*)(int pixel);
void setPointerMapping(PixelToPlayField toX, PixelToPlayField toY);

// Opens and logs every joystick; true in every case (a joystick failure is logged, play goes on).
bool startInput();
// Emits the signal for one of the ten SDL event types from SDL_KEYDOWN to SDL_JOYBUTTONUP; joystick ball
// and hat events emit nothing.
void translateEvent(const SDL_Event& event);
// True while either Alt key is held: as the key event being emitted says, else SDL's modifier state.
bool altKeyHeld();
// The SDL modifier bits (KMOD_CTRL, KMOD_SHIFT, ...) as altKeyHeld reads them.
int keyModifiers();
// Maps an SDL mouse button (1 left, 3 right, others) to the game's button number.
int mouseButtonCode(int sdlButton);

}  // namespace pentavel
