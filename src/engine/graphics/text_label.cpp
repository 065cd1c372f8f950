// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/text_label.h"

#include <cmath>

namespace pentavel {
namespace graphics {
namespace {

constexpr double kPi = 3.141592654;

}  // namespace

void TextLabel::setText(const SpriteId* glyphs, const std::string& text) {
    text_ = text;
    glyphs_.clear();
    glyphs_.reserve(text.size());
    for (char character : text) {
        glyphs_.emplace_back();
        // Without a table every glyph is blank rather than a read through null.
        glyphs_.back().setSprite(glyphs != nullptr ? glyphs[static_cast<unsigned char>(character)] : 0);
    }
    layout();
}

void TextLabel::layout() {
    for (Sprite& glyph : glyphs_) {
        glyph.setScaleXY(scaleX_, scaleY_);
        glyph.setDepth(depth_);
        glyph.setColour(colour_);
        glyph.setVisible(visible_);
    }

    const float totalWidth = width();
    const float firstHeight = height();
    if (horizontalAlignment == kLeft) {
        xOffset_ = 0.0f;
    } else if (horizontalAlignment == kRight) {
        xOffset_ = -totalWidth;
    } else {
        xOffset_ = -0.5f * totalWidth;
    }
    if (verticalAlignment == kTop) {
        yOffset_ = -0.5f * firstHeight;
    } else if (verticalAlignment == kBottom) {
        yOffset_ = 0.5f * firstHeight;
    } else {
        yOffset_ = 0.0f;
    }

    const double radians = rotation_ * kPi / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    float advance = xOffset_;
    for (Sprite& glyph : glyphs_) {
        const float halfWidth = glyph.width() * 0.5f;
        advance += halfWidth;
        glyph.setPositionAndRotation(static_cast<float>(x_ + advance * c - yOffset_ * s),
                                     static_cast<float>(y_ + advance * s + yOffset_ * c), rotation_);
        advance += halfWidth;
    }
}

void TextLabel::setPosition(float x, float y) {
    x_ = x;
    y_ = y;
    layout();
}

void TextLabel::setPositionAndRotation(float x, float y, float angle) {
    x_ = x;
    y_ = y;
    rotation_ = normaliseAngle(angle);
    layout();
}

void TextLabel::move(float dx, float dy) {
    x_ += dx;
    y_ += dy;
    layout();
}

void TextLabel::rotate(float delta) {
    rotation_ = normaliseAngle(rotation_ + delta);
    layout();
}

void TextLabel::scaleBy(float factor) {
    scaleX_ *= factor;
    scaleY_ *= factor;
    layout();
}

void TextLabel::setTextSize(float size) {
    scaleX_ = size;
    scaleY_ = size;
    layout();
}

float TextLabel::textSize() const {
    return (scaleX_ + scaleY_) * 0.5f;
}

void TextLabel::setDepth(float depth) {
    depth_ = depth;
    layout();
}

void TextLabel::changeDepth(float delta) {
    depth_ += delta;
    layout();
}

float TextLabel::width() const {
    float sum = 0.0f;
    for (const Sprite& glyph : glyphs_)
        sum += glyph.width();
    return sum;
}

float TextLabel::height() const {
    return glyphs_.empty() ? 0.0f : glyphs_.front().height();
}

void TextLabel::getSize(float& width, float& height) const {
    width = this->width();
    height = this->height();
}

// The factor scales the current size, so the label ends up exactly as wide as asked whatever its size was.
void TextLabel::setWidth(float width) {
    const float current = this->width();
    if (current != 0.0f)
        scaleX_ *= width / current;
    layout();
}

void TextLabel::setHeight(float height) {
    const float current = this->height();
    if (current != 0.0f)
        scaleY_ *= height / current;
    layout();
}

void TextLabel::setSize(float width, float height) {
    setWidth(width);
    setHeight(height);
}

void TextLabel::setColour(const Colour& colour) {
    colour_ = colour;
    layout();
}

void TextLabel::setVisible(bool visible) {
    visible_ = visible;
    for (Sprite& glyph : glyphs_)
        glyph.setVisible(visible);
}

void writeDigits(char* buffer, unsigned int n, int count) {
    if (buffer == nullptr)
        return;
    for (int i = count - 1; i >= 0; --i) {
        buffer[i] = static_cast<char>('0' + n % 10);
        n /= 10;
    }
}

void writeDigits(std::string& text, unsigned int n, int count) {
    // A text shorter than asked gets only as many of the low digits as it can hold.
    const int fit = count < static_cast<int>(text.size()) ? count : static_cast<int>(text.size());
    if (fit > 0)
        writeDigits(&text[text.size() - fit], n, fit);
}

}  // namespace graphics
}  // namespace pentavel
