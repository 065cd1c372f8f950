// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Engine start-up, the main loop and the event pump.

#include <SDL/SDL.h>

#include "engine/core/signal.h"
#include "engine/file/file_system.h"

namespace pentavel {

// Starts every engine module in its fixed order (file system, SDL, caption, event pump, timers, input,
// graphics, audio); the log and settings files in the per-user directory take the names given. False after
// one error line in the log (or on standard error before the log exists).
bool startEngine(ConnectionTracker* engineHandle, const char* programPath, const char* caption,
                 const char* organisation, const char* application, const char* logFile = kLogFileName,
                 const char* settingsFile = file::kSettingsFileName);

// Emits tickSignal until a quit request arrives or the signal has no slot left.
void runMainLoop();

// tickSignal slot: drains the SDL event queue into the engine signals.
void pumpEvents();
// Makes a hang-up a quit request that pumpEvents passes on, unless hang-ups are ignored (called by
// startEngine; exposed for tests).
void listenForHangUp();
// Dispatches one SDL event as pumpEvents does (exposed for tests).
void dispatchEvent(const SDL_Event& event);

}  // namespace pentavel
