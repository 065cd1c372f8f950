// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/core/input.h"

#include <cstdlib>
#include <vector>

#include "engine/file/log.h"

namespace pentavel {
namespace {

// Pixels pass through unchanged until start-up hands down the display's mapping.
float unmappedPixel(int pixel) {
    return static_cast<float>(pixel);
}
PixelToPlayField pointerToX = unmappedPixel;
PixelToPlayField pointerToY = unmappedPixel;

// The modifiers of the key event being emitted. SDL's own modifier state already holds every event pumped so
// far, so a quick Alt+Enter could read as a plain Enter there once Alt's release is queued too.
SDLMod keyEventModifiers = KMOD_NONE;
bool inKeyEvent = false;

void emitKey(Signal<int>& signal, const SDL_KeyboardEvent& key) {
    keyEventModifiers = key.keysym.mod;
    inKeyEvent = true;
    signal.emit(key.keysym.sym);
    inKeyEvent = false;
}

// Opened at start-up; a null entry is a device that could not be opened.
std::vector<SDL_Joystick*>* joysticks = nullptr;

void freeJoystickTable() {
    if (joysticks == nullptr)
        return;
    for (SDL_Joystick* joystick : *joysticks) {
        if (joystick != nullptr)
            SDL_JoystickClose(joystick);
    }
    delete joysticks;
    joysticks = nullptr;
}

void closeJoysticks() {
    SDL_JoystickEventState(SDL_IGNORE);
    freeJoystickTable();
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

void startJoysticks() {
    logMessage("Initialising Joysticks...");
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0) {
        logError("--- cannot initialise joystick system");
        return;
    }
    // A second start-up (tests) reopens the devices rather than leaking the first table.
    static const bool exitHandlerRegistered = std::atexit(closeJoysticks) == 0;
    (void)exitHandlerRegistered;
    freeJoystickTable();
    int count = SDL_NumJoysticks();
    if (count < 0)
        count = 0;
    logInfo("--- %d joystick/s detected", count);
    joysticks = new std::vector<SDL_Joystick*>(static_cast<std::size_t>(count), nullptr);
    for (int i = 0; i < count; ++i) {
        const char* name = SDL_JoystickName(i);
        SDL_Joystick* joystick = SDL_JoystickOpen(i);
        (*joysticks)[static_cast<std::size_t>(i)] = joystick;
        if (joystick == nullptr) {
            logWarning("--- cannot prep joystick %d for use", i + 1);
            continue;
        }
        logInfo("----- Joystick %d: %s (%d axes, %d buttons, %d hats, %d balls)", i + 1,
                name != nullptr ? name : "", SDL_JoystickNumAxes(joystick), SDL_JoystickNumButtons(joystick),
                SDL_JoystickNumHats(joystick), SDL_JoystickNumBalls(joystick));
    }
    SDL_JoystickEventState(SDL_ENABLE);
}

}  // namespace

// Built in this order on first use and destroyed at exit in the reverse order.
Signal<int>& keyDownSignal() {
    static Signal<int> signal;
    return signal;
}

Signal<int>& keyUpSignal() {
    static Signal<int> signal;
    return signal;
}

Signal<float, float>& mouseMotionSignal() {
    static Signal<float, float> signal;
    return signal;
}

Signal<int, float, float>& mouseButtonDownSignal() {
    static Signal<int, float, float> signal;
    return signal;
}

Signal<int, float, float>& mouseButtonUpSignal() {
    static Signal<int, float, float> signal;
    return signal;
}

Signal<int, int, int>& joyAxisSignal() {
    static Signal<int, int, int> signal;
    return signal;
}

Signal<int, int>& joyButtonDownSignal() {
    static Signal<int, int> signal;
    return signal;
}

Signal<int, int>& joyButtonUpSignal() {
    static Signal<int, int> signal;
    return signal;
}

void setPointerMapping(PixelToPlayField toX, PixelToPlayField toY) {
    pointerToX = toX != nullptr ? toX : unmappedPixel;
    pointerToY = toY != nullptr ? toY : unmappedPixel;
}

bool startInput() {
    // Make the signals now so that they outlive the joystick exit handler registered below.
    keyDownSignal();
    keyUpSignal();
    mouseMotionSignal();
    mouseButtonDownSignal();
    mouseButtonUpSignal();
    joyAxisSignal();
    joyButtonDownSignal();
    joyButtonUpSignal();
    startJoysticks();
    return true;
}

bool altKeyHeld() {
    return (keyModifiers() & KMOD_ALT) != 0;
}

int keyModifiers() {
    return inKeyEvent ? keyEventModifiers : SDL_GetModState();
}

int mouseButtonCode(int sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT:
            return 0;
        case SDL_BUTTON_RIGHT:
            return 2;
        case SDL_BUTTON_WHEELUP:
            return 3;
        case SDL_BUTTON_WHEELDOWN:
            return 4;
        default:
            return 1;
    }
}

void translateEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
            emitKey(keyDownSignal(), event.key);
            break;
        case SDL_KEYUP:
            emitKey(keyUpSignal(), event.key);
            break;
        case SDL_MOUSEMOTION:
            mouseMotionSignal().emit(pointerToX(event.motion.x), pointerToY(event.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
            mouseButtonDownSignal().emit(mouseButtonCode(event.button.button), pointerToX(event.button.x),
                                         pointerToY(event.button.y));
            break;
        case SDL_MOUSEBUTTONUP:
            mouseButtonUpSignal().emit(mouseButtonCode(event.button.button), pointerToX(event.button.x),
                                       pointerToY(event.button.y));
            break;
        case SDL_JOYAXISMOTION:
            joyAxisSignal().emit(event.jaxis.which, event.jaxis.axis, event.jaxis.value);
            break;
        case SDL_JOYBUTTONDOWN:
            joyButtonDownSignal().emit(event.jbutton.which, event.jbutton.button);
            break;
        case SDL_JOYBUTTONUP:
            joyButtonUpSignal().emit(event.jbutton.which, event.jbutton.button);
            break;
        default:
            break;  // joystick ball and hat motion are not used
    }
}

}  // namespace pentavel
