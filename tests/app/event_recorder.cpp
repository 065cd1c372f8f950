// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/event_recorder.h"

#include <cstdarg>
#include <cstdio>

#include "engine/core/engine_signals.h"
#include "engine/core/input.h"

namespace test {
namespace {

std::string text(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string text(const char* format, ...) {
    char buffer[128];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    return buffer;
}

std::string floatText(float value) {
    return text("%g", static_cast<double>(value));
}

float pointerX(int pixel) {
    return static_cast<float>(pixel) * 0.5f;
}

float pointerY(int pixel) {
    return static_cast<float>(pixel) * -0.25f - 1.0f;
}

}  // namespace

EventRecorder::EventRecorder() {
    using namespace pentavel;
    setPointerMapping(pointerX, pointerY);
    keyDownSignal().connect(this, &EventRecorder::onKeyDown, tracker_);
    keyUpSignal().connect(this, &EventRecorder::onKeyUp, tracker_);
    mouseMotionSignal().connect(this, &EventRecorder::onMotion, tracker_);
    mouseButtonDownSignal().connect(this, &EventRecorder::onButtonDown, tracker_);
    mouseButtonUpSignal().connect(this, &EventRecorder::onButtonUp, tracker_);
    joyAxisSignal().connect(this, &EventRecorder::onAxis, tracker_);
    joyButtonDownSignal().connect(this, &EventRecorder::onJoyButtonDown, tracker_);
    joyButtonUpSignal().connect(this, &EventRecorder::onJoyButtonUp, tracker_);
    activeSignal().connect(this, &EventRecorder::onActive, tracker_);
    quitSignal().connect(this, &EventRecorder::onQuit, tracker_);
}

EventRecorder::~EventRecorder() {
    pentavel::setPointerMapping(nullptr, nullptr);
}

void EventRecorder::onKeyDown(int key) {
    record(text("key-down %d", key));
}
void EventRecorder::onKeyUp(int key) {
    record(text("key-up %d", key));
}
void EventRecorder::onMotion(float x, float y) {
    record("motion " + floatText(x) + " " + floatText(y));
}
void EventRecorder::onButtonDown(int button, float x, float y) {
    record(text("button-down %d ", button) + floatText(x) + " " + floatText(y));
}
void EventRecorder::onButtonUp(int button, float x, float y) {
    record(text("button-up %d ", button) + floatText(x) + " " + floatText(y));
}
void EventRecorder::onAxis(int joystick, int axis, int value) {
    record(text("axis %d %d %d", joystick, axis, value));
}
void EventRecorder::onJoyButtonDown(int joystick, int button) {
    record(text("joy-down %d %d", joystick, button));
}
void EventRecorder::onJoyButtonUp(int joystick, int button) {
    record(text("joy-up %d %d", joystick, button));
}
void EventRecorder::onActive(int which, bool gained) {
    record(text("active %d %d", which, gained ? 1 : 0));
}
void EventRecorder::onQuit() {
    record("quit");
}

}  // namespace test
