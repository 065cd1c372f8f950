// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace pentavel {
namespace graphics {

// Red, green, blue, alpha, each meaningful in 0..1; multiplied into a sprite's texture.
struct Colour {
    float red = 1.0f;
    float green = 1.0f;
    float blue = 1.0f;
    float alpha = 1.0f;
};

inline bool operator==(const Colour& a, const Colour& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

}  // namespace graphics
}  // namespace pentavel
