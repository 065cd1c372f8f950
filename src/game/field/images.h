// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names of the images the game looks up in the sprite sheets, each written here once.

#include <string>
#include <vector>

namespace tezmola {

constexpr char kBallImage[] = "ball";  // also the spare-ball icons
constexpr char kPowerNimbusImage[] = "ball_nimbus_power";
constexpr char kFireNimbusImage[] = "ball_nimbus_fire";
constexpr char kUltraNimbusImage[] = "ball_nimbus_ultra";
constexpr char kPaddleImage[] = "paddle";
constexpr char kBrickImage[] = "brick";  // also pipes and guard cells until they get their own
constexpr char kIce1Image[] = "brick_ice1";
constexpr char kIce2Image[] = "brick_ice2";
constexpr char kIce3Image[] = "brick_ice3";
constexpr char kSteelImage[] = "brick_steel";
constexpr char kVerticalPipeImage[] = "pipe_vertical";
constexpr char kHorizontalPipeImage[] = "pipe_horizontal";
constexpr char kPipeCornerImage[] = "pipe_corner";
constexpr char kCapsuleImage[] = "powerup";
constexpr char kFaceplateImage[] = "powerup_faceplate";
constexpr char kGuardGlowImage[] = "guard_glow";
constexpr char kTopBandImage[] = "tile_pyramid";
constexpr char kFallbackGlyphImage[] = "conduit_nc";

// The glyph image of a character: "conduit_" and its code in three decimal digits.
std::string glyphImageName(unsigned char code);

// Every image the game looks up, each named once: what the sprite sheets must hold for everything the game
// shows to be drawn. The glyphs are those of the characters the game can show. The level backgrounds,
// which the level file names, are not among them.
std::vector<std::string> gameImageNames();

}  // namespace tezmola
