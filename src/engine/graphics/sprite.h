// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sprites: shared handles to a textured, tinted, rotatable rectangle placed in play-field units.
// Every live sprite is in the draw list, ordered by depth (larger depth drawn first).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/graphics/colour.h"

namespace pentavel {
namespace graphics {

using SpriteId = std::int32_t;  // 0: no image, never drawn
using ImageId = std::int32_t;

struct SpriteState;

// The id of a named sprite from the sprite sheets; 0 for an unknown name.
SpriteId lookupSprite(const char* name);
// The names of the sprite sheets' sprites that begin with prefix ("bg_": the backgrounds), sorted.
std::vector<std::string> spriteNames(const char* prefix);

// Rotation kept in [0, 360): angles outside it become angle - floor(angle / 360) * 360.
float normaliseAngle(float degrees);

class Sprite {
public:
    // A new sprite: no image, centre (0, 0), size (0, 0), depth 0, white, visible, beneath older depth-0
    // ones.
    Sprite();
    Sprite(const Sprite& other);
    Sprite& operator=(const Sprite& other);
    ~Sprite();

    SpriteId sprite() const;
    void setSprite(SpriteId id);  // ids outside the sprite table are treated as 0
    // Takes the named image when it exists, else keeps the current one; returns the looked-up id.
    SpriteId setSpriteByName(const char* name);

    void getPosition(float& x, float& y) const;
    void getPositionAndRotation(float& x, float& y, float& rotation) const;
    void setPosition(float x, float y);
    void setPositionAndRotation(float x, float y, float angle);
    // Centre between the corners, size x2 - x1 by y2 - y1 (negative height mirrors), rotation 0.
    void setRectangle(float x1, float y1, float x2, float y2);
    float x() const;
    float y() const;
    void setX(float x);
    void setY(float y);
    void move(float dx, float dy);

    void rotate(float delta);
    void setRotation(float angle);
    float rotation() const;

    // Scale relative to the image's natural size in its sheet.
    void scaleBy(float factor);
    void setScale(float factor);
    float scale() const;
    void setScaleXY(float sx, float sy);
    // Leaves a destination untouched when that natural size is 0.
    void getScaleXY(float& sx, float& sy) const;

    void setDepth(float depth);
    void changeDepth(float delta);
    float depth() const;

    float width() const;
    float height() const;
    void setWidth(float width);
    void setHeight(float height);
    void getSize(float& width, float& height) const;
    void setSize(float width, float height);

    void setColour(const Colour& colour);
    Colour& colour();
    const Colour& colour() const;
    void setVisible(bool visible);
    bool visible() const;

    // The shared state (for the draw list and tests).
    const SpriteState* state() const { return state_; }

private:
    SpriteState* state_;
};

// Draws every visible sprite with an image, in draw-list order (OpenGL context required).
void drawSprites();
// Number of live sprite states.
std::size_t liveSpriteCount();

}  // namespace graphics
}  // namespace pentavel
