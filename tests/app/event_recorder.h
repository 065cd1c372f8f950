// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Records every emission of the engine and input signals as readable text, in emission order. While it
// lives the pointer maps pixel x to x / 2 and pixel y to -y / 4 - 1: scales that differ, so that a
// coordinate handed to the other axis's conversion shows.

#include <string>
#include <vector>

#include "engine/core/signal.h"

namespace test {

class EventRecorder {
public:
    EventRecorder();
    ~EventRecorder();
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

}  // namespace test
