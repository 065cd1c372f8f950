// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/core/input.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/event_recorder.h"

namespace {

using Events = std::vector<std::string>;

SDL_Event mouseButton(Uint8 type, Uint8 button, Uint16 x, Uint16 y) {
    SDL_Event event{};
    event.type = type;
    event.button.button = button;
    event.button.x = x;
    event.button.y = y;
    return event;
}

TEST(Input, KeysArriveAsTheirKeySymbols) {
    test::EventRecorder recorder;
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = SDLK_LEFT;
    event.key.keysym.mod = KMOD_LSHIFT;
    pentavel::translateEvent(event);
    event.type = SDL_KEYUP;
    event.key.keysym.sym = SDLK_ESCAPE;
    pentavel::translateEvent(event);
    EXPECT_EQ(recorder.events, (Events{"key-down 276", "key-up 27"}));
}

// A key's slots see the Alt state of its own event, not SDL's state after every event pumped so far.
TEST(Input, AltIsReadFromTheKeyEventBeingEmitted) {
    std::vector<bool> altSeen;
    struct Receiver {
        std::vector<bool>* seen;
        void onKey(int /*key*/) { seen->push_back(pentavel::altKeyHeld()); }
    } receiver{&altSeen};
    pentavel::ConnectionTracker* tracker = pentavel::createTracker();
    pentavel::keyDownSignal().connect(&receiver, &Receiver::onKey, tracker);
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = SDLK_RETURN;
    for (const SDLMod mod : {KMOD_LALT, KMOD_NONE, KMOD_RALT, KMOD_LCTRL}) {
        event.key.keysym.mod = mod;
        pentavel::translateEvent(event);
    }
    pentavel::releaseTracker(tracker);
    EXPECT_EQ(altSeen, (std::vector<bool>{true, false, true, false}));
}

TEST(Input, MouseButtonsMapLeftToZeroRightToTwoAndTheRestToOne) {
    EXPECT_EQ(pentavel::mouseButtonCode(SDL_BUTTON_LEFT), 0);
    EXPECT_EQ(pentavel::mouseButtonCode(SDL_BUTTON_MIDDLE), 1);
    EXPECT_EQ(pentavel::mouseButtonCode(SDL_BUTTON_RIGHT), 2);
    EXPECT_EQ(pentavel::mouseButtonCode(SDL_BUTTON_WHEELUP), 3);
    EXPECT_EQ(pentavel::mouseButtonCode(SDL_BUTTON_WHEELDOWN), 4);
    EXPECT_EQ(pentavel::mouseButtonCode(0), 1);
}

TEST(Input, MouseEventsCarryTheButtonCodeAndPlayFieldPosition) {
    test::EventRecorder recorder;
    pentavel::translateEvent(mouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 10, 20));
    pentavel::translateEvent(mouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_WHEELDOWN, 30, 40));
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 256;
    motion.motion.y = 0;
    motion.motion.xrel = 99;
    motion.motion.yrel = -99;
    pentavel::translateEvent(motion);
    EXPECT_EQ(recorder.events, (Events{"button-down 2 5 -6", "button-up 4 15 -11", "motion 128 -1"}));
}

// Axis values arrive unscaled; hat and ball motion emit nothing.
TEST(Input, JoystickAxesAndButtonsArriveWithTheirDevice) {
    test::EventRecorder recorder;
    SDL_Event event{};
    event.type = SDL_JOYAXISMOTION;
    event.jaxis.which = 1;
    event.jaxis.axis = 0;
    event.jaxis.value = -32768;
    pentavel::translateEvent(event);
    event.jaxis.axis = 2;
    event.jaxis.value = 32767;
    pentavel::translateEvent(event);
    event = SDL_Event{};
    event.type = SDL_JOYBUTTONDOWN;
    event.jbutton.button = 5;
    pentavel::translateEvent(event);
    event.type = SDL_JOYBUTTONUP;
    pentavel::translateEvent(event);
    event.type = SDL_JOYHATMOTION;
    event.jhat.value = SDL_HAT_UP;
    pentavel::translateEvent(event);
    event.type = SDL_JOYBALLMOTION;
    event.jball.xrel = 4;
    pentavel::translateEvent(event);
    EXPECT_EQ(recorder.events, (Events{"axis 1 0 -32768", "axis 1 2 32767", "joy-down 0 5", "joy-up 0 5"}));
}

}  // namespace
