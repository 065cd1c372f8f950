// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A line of text drawn as one sprite per character through a 256-entry glyph table.

#include <string>
#include <vector>

#include "engine/graphics/sprite.h"

namespace pentavel {
namespace graphics {

using GlyphTable = SpriteId[256];

class TextLabel {
public:
    enum HorizontalAlignment { kLeft = 0, kCentre = 1, kRight = 2 };
    enum VerticalAlignment { kTop = 0, kMiddle = 1, kBottom = 2 };

    TextLabel() = default;
    TextLabel(const TextLabel&) = delete;
    TextLabel& operator=(const TextLabel&) = delete;

    // Replaces the glyphs: one sprite per character, image glyphs[code] (code taken as unsigned); lays out.
    void setText(const SpriteId* glyphs, const std::string& text);
    const std::string& text() const { return text_; }
    // Applies position, alignment, rotation, size, depth, colour and visibility to the glyphs.
    void layout();

    void setPosition(float x, float y);
    void setPositionAndRotation(float x, float y, float angle);
    void move(float dx, float dy);
    void rotate(float delta);
    void scaleBy(float factor);
    void setTextSize(float size);
    float textSize() const;
    void setDepth(float depth);
    void changeDepth(float delta);
    float depth() const { return depth_; }
    float width() const;   // sum of the glyphs' widths
    float height() const;  // the first glyph's height; 0 for an empty text
    void getSize(float& width, float& height) const;
    void setWidth(float width);
    void setHeight(float height);
    void setSize(float width, float height);
    void setColour(const Colour& colour);
    Colour& colour() { return colour_; }
    void setVisible(bool visible);  // no layout
    bool visible() const { return visible_; }

    float x() const { return x_; }
    float y() const { return y_; }
    float rotation() const { return rotation_; }
    const std::vector<Sprite>& glyphs() const { return glyphs_; }

    // Set directly by the owner, who then calls layout(). 0 left, 2 right, other centre; 0 top, 2 bottom,
    // other middle.
    int horizontalAlignment = kLeft;
    int verticalAlignment = kMiddle;

private:
    std::string text_;
    std::vector<Sprite> glyphs_;
    float x_ = 0.0f;
    float y_ = 0.0f;
    float rotation_ = 0.0f;
    float depth_ = 0.0f;
    float scaleX_ = 1.0f;
    float scaleY_ = 1.0f;
    float xOffset_ = 0.0f;
    float yOffset_ = 0.0f;
    Colour colour_;
    bool visible_ = true;
};

// The last `count` decimal digits of n, right-aligned with leading zeros, into count characters (no
// terminating zero is written).
void writeDigits(char* buffer, unsigned int n, int count);
// The same into the last `count` characters of text, which must hold at least count characters.
void writeDigits(std::string& text, unsigned int n, int count);

}  // namespace graphics
}  // namespace pentavel
