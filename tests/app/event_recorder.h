// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Records every emission of the engine and input signals as readable text, in emission order.

#include <string>
#include <vector>

#include "engine/core/signal.h"

namespace test {

class EventRecorder {
public:
    EventRecorder();
    std::vector<std::string> events;

private:
    void record(const std::string& line) { events.push_back(line); }
    void onKeyDown(int key);
    void onKeyUp(int key);
    void onMotion(float x, float y);
    void onButtonDown(int button, float x, float y);
    void onButtonUp(int button, float x, float y);
    void onAxis(int joystick, int axis, int value);
    void onJoyButtonDown(int joystick, int button);
    void onJoyButtonUp(int joystick, int button);
    void onActive(int which, bool gained);
    void onQuit();

    pentavel::ScopedTracker tracker_;
};

// The play-field conversion of a pixel written as text, so that positions compare exactly.
std::string position(int pixelX, int pixelY);

}  // namespace test
