// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The display's arithmetic, apart from SDL and OpenGL: window snapping and pixel to play-field
// conversion, in the precision the display uses.

namespace pentavel {
namespace graphics {
namespace internal {

struct WindowSize {
    int width = 0;
    int height = 0;
};

// The largest 4:3 size inside width x height (sides truncated toward zero); 0 x 0 when the given size
// or the result has a side below one pixel.
WindowSize snapToFourByThree(int width, int height);

// A first window as large as a desktop of that size comfortably holds: the largest 4:3 size within nine
// tenths of it, or at least minWidth x minHeight when the desktop holds that whole; 0 x 0 for a desktop of
// no size.
WindowSize largeFirstWindow(int desktopWidth, int desktopHeight, int minWidth, int minHeight);

// Window pixel (from the top-left corner) to play-field units in single precision: 0 maps to -1 (x) and
// 0.75 (y), the window size to 1 and -0.75. A display without a size maps everything to the centre.
float pixelToPlayFieldX(int pixelX, int windowWidth);
float pixelToPlayFieldY(int pixelY, int windowHeight);

}  // namespace internal
}  // namespace graphics
}  // namespace pentavel
