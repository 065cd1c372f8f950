// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/field/images.h"

#include <algorithm>
#include <cstdio>

#include "game/field/power_up_kind.h"

namespace tezmola {

namespace {

// The labels show printable ASCII; players' names are shown in upper case, so lower-case letters never are.
bool isShownCharacter(int code) {
    return code >= ' ' && code <= '~' && !(code >= 'a' && code <= 'z');
}

}  // namespace

std::string glyphImageName(unsigned char code) {
    char name[16];
    std::snprintf(name, sizeof name, "conduit_%03d", code);
    return name;
}

std::vector<std::string> gameImageNames() {
    std::vector<std::string> names = {
        kBallImage,         kPowerNimbusImage,    kFireNimbusImage,   kUltraNimbusImage, kPaddleImage,
        kBrickImage,        kIce1Image,           kIce2Image,         kIce3Image,        kSteelImage,
        kVerticalPipeImage, kHorizontalPipeImage, kPipeCornerImage,   kCapsuleImage,     kFaceplateImage,
        kGuardGlowImage,    kTopBandImage,        kFallbackGlyphImage};
    for (int code = 0; code < 256; ++code)
        if (isShownCharacter(code))
            names.push_back(glyphImageName(static_cast<unsigned char>(code)));
    for (PowerUpKind kind : {PowerUpKind::Red, PowerUpKind::Blue, PowerUpKind::Yellow, PowerUpKind::Green,
                             PowerUpKind::Magenta, PowerUpKind::White}) {
        const std::string letter = glyphImageName(static_cast<unsigned char>(powerUpLetter(kind)));
        if (std::find(names.begin(), names.end(), letter) == names.end())
            names.push_back(letter);
    }
    return names;
}

}  // namespace tezmola
