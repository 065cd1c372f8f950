// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window or full screen as an OpenGL surface, the play-field coordinate system and the present step.
// Play field: x -1..1 left to right, y -0.75..0.75 bottom to top.

#include <string>

namespace pentavel {
namespace graphics {

// Reads the "graphics" settings, opens the display, scans the sprite sheets, connects renderFrame. A stored
// size below 64 x 48 is replaced by the default (in the settings too) with a warning.
bool startGraphics();
// For a program worked in for long (the level editor): when no window size is stored yet, startGraphics
// opens a window as large as the desktop comfortably holds, at least 1024 x 768 where it fits, and stores
// that size. False takes the wish back.
void preferLargeFirstWindow(bool large = true);
// Sets a mode (falling back to 512 x 384 windowed), the fixed OpenGL state and the view, reloads textures
// and presents one frame. The cursor follows the last showCursor wish.
bool setVideoMode(int width, int height, bool fullscreen);
void setUpView();
// tickSignal slot: draws every sprite, swaps, clears to dark blue. Nothing while the application is hidden,
// nor while the frame is held still and unchanged.
void renderFrame();
// Snaps to the largest 4:3 size inside width x height, windowed, and stores it in "window_size" (saved at
// once).
bool resizeWindow(int width, int height);
// Switches between the window ("window_size") and full screen ("video_mode") through setVideoMode and
// stores the mode that resulted in "fullscreen". False when setVideoMode failed.
bool toggleFullscreen();
// activeSignal slot: reloads textures when the application becomes active again.
void onApplicationActive(int which, bool gained);
// Shows the mouse cursor when asked and windowed; hides it otherwise. The wish holds for later modes too.
void showCursor(bool show);
// The window's caption (UTF-8).
void setWindowCaption(const std::string& caption);
// The caption last asked for through setWindowCaption; empty before the first.
const std::string& windowCaption();

// Nothing on screen moves (the game is paused): the present step then redraws only after
// markFrameChanged (an event, a mode change), and the main loop may wait between iterations.
void holdStillFrame(bool still);
void markFrameChanged();
// True while the frame is held still or the application is iconified: nothing new would be seen.
bool displayIsIdle();

// Window pixel (from the top-left corner) to play-field units.
float toPlayFieldX(int pixelX);
float toPlayFieldY(int pixelY);

int displayWidth();
int displayHeight();
bool isFullscreen();

// Finds the sprite sheets in the root of the virtual file system (no OpenGL needed; startGraphics calls it).
void scanSpriteSheets();

}  // namespace graphics
}  // namespace pentavel
