// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main loop's signals. Each exists from first use to process exit.

#include "engine/core/signal.h"

namespace pentavel {

// Emitted once per main-loop iteration; slots: pumpEvents, recordTicks, renderFrame, the frame-rate
// counter, gameTick.
Signal<>& tickSignal();
// Emitted on a window close request, SIGTERM, SIGINT or SIGHUP, and by the game's Escape key; ends the
// main loop. Emitted too when the display is lost, just before the process ends.
Signal<>& quitSignal();
// which: 1 mouse focus, 2 input focus, 3 application active; gained: true when won back.
Signal<int, bool>& activeSignal();
// Emitted by the present step just before it draws the sprites and just after: a slot may move sprites for
// the picture alone, and puts them back before anything else reads them.
Signal<>& beforeDrawSignal();
Signal<>& afterDrawSignal();

}  // namespace pentavel
