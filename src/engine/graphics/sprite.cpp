// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/sprite.h"

#include <GL/gl.h>

#include <cmath>

#include "engine/file/log.h"
#include "engine/graphics/internal/draw_list.h"
#include "engine/graphics/internal/graphics_resource_manager.h"
#include "engine/graphics/internal/graphics_system.h"
#include "engine/graphics/internal/sprite_state.h"

namespace pentavel {
namespace graphics {
namespace {

using internal::graphicsSystem;
using ResourceManager = internal::GraphicsResourceManager;

// Set by the first sprite that cannot be drawn; later failures of the run are not reported.
bool drawErrorReported = false;

bool inSpriteTable(SpriteId id) {
    return id > 0 && id < graphicsSystem().resources().spriteCount();
}

// Natural size in the sheet; ids outside the sprite table read as sprite 0.
const ResourceManager::SpriteInfo& sheetInfo(SpriteId id) {
    return graphicsSystem().resources().spriteInfo(id);
}

void retain(SpriteState* state) {
    ++state->referenceCount;
}

void release(SpriteState* state) {
    if (--state->referenceCount > 0)
        return;
    // The draw list goes with the graphics system at exit; a handle that outlives it only frees its block.
    if (internal::graphicsSystemExists())
        graphicsSystem().drawList().remove(state);
    internal::releaseSpriteState(state);
}

void drawState(const SpriteState& state, ResourceManager& resources) {
    glEnable(GL_TEXTURE_2D);
    glPushMatrix();
    glTranslatef(state.x, state.y, 0.0f);
    glRotatef(state.rotation, 0.0f, 0.0f, 1.0f);

    unsigned int texture = 0;
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
    resources.getDrawInfo(state.sprite, &texture, &left, &top, &right, &bottom, nullptr, nullptr);

    const float hw = state.width * 0.5f;
    const float hh = state.height * 0.5f;
    // A negative height reverses the winding; back faces are culled, so flip the front face for this quad.
    if (hh < 0.0f)
        glFrontFace(GL_CW);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glColor4f(state.colour.red, state.colour.green, state.colour.blue, state.colour.alpha);
    glTexCoord2f(left, top);
    glVertex2f(-hw, hh);
    glTexCoord2f(left, bottom);
    glVertex2f(-hw, -hh);
    glTexCoord2f(right, bottom);
    glVertex2f(hw, -hh);
    glTexCoord2f(right, top);
    glVertex2f(hw, hh);
    glEnd();
    if (hh < 0.0f)
        glFrontFace(GL_CCW);

    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
}

}  // namespace

SpriteId lookupSprite(const char* name) {
    if (name == nullptr)
        return 0;
    return graphicsSystem().resources().findSprite(name);
}

std::vector<std::string> spriteNames(const char* prefix) {
    return graphicsSystem().resources().spriteNames(prefix);
}

float normaliseAngle(float degrees) {
    if (degrees >= 0.0f && degrees < 360.0f)
        return degrees;
    if (!std::isfinite(degrees))
        return 0.0f;
    const double angle = degrees;
    const float normalised = static_cast<float>(angle - std::floor(angle / 360.0) * 360.0);
    // A tiny negative angle rounds up to exactly 360 in single precision.
    return normalised < 360.0f ? normalised : 0.0f;
}

Sprite::Sprite() : state_(internal::allocateSpriteState()) {
    graphicsSystem().drawList().insert(state_);
}

Sprite::Sprite(const Sprite& other) : state_(other.state_) {
    retain(state_);
}

// Self-assignment shares the state already held, which the state comparison skips.
Sprite& Sprite::operator=(const Sprite& other) {  // NOLINT(bugprone-unhandled-self-assignment)
    if (other.state_ != state_) {
        retain(other.state_);
        release(state_);
        state_ = other.state_;
    }
    return *this;
}

Sprite::~Sprite() {
    release(state_);
}

SpriteId Sprite::sprite() const {
    return state_->sprite;
}

void Sprite::setSprite(SpriteId id) {
    state_->sprite = id;
}

SpriteId Sprite::setSpriteByName(const char* name) {
    const SpriteId id = lookupSprite(name);
    if (id != 0)
        state_->sprite = id;
    return id;
}

void Sprite::getPosition(float& x, float& y) const {
    x = state_->x;
    y = state_->y;
}

void Sprite::getPositionAndRotation(float& x, float& y, float& rotation) const {
    x = state_->x;
    y = state_->y;
    rotation = state_->rotation;
}

void Sprite::setPosition(float x, float y) {
    state_->x = x;
    state_->y = y;
}

void Sprite::setPositionAndRotation(float x, float y, float angle) {
    state_->x = x;
    state_->y = y;
    state_->rotation = normaliseAngle(angle);
}

void Sprite::setRectangle(float x1, float y1, float x2, float y2) {
    state_->x = (x1 + x2) * 0.5f;
    state_->y = (y1 + y2) * 0.5f;
    state_->width = x2 - x1;
    state_->height = y2 - y1;
    state_->rotation = 0.0f;
}

float Sprite::x() const {
    return state_->x;
}
float Sprite::y() const {
    return state_->y;
}
void Sprite::setX(float x) {
    state_->x = x;
}
void Sprite::setY(float y) {
    state_->y = y;
}

void Sprite::move(float dx, float dy) {
    state_->x += dx;
    state_->y += dy;
}

void Sprite::rotate(float delta) {
    state_->rotation = normaliseAngle(state_->rotation + delta);
}
void Sprite::setRotation(float angle) {
    state_->rotation = normaliseAngle(angle);
}
float Sprite::rotation() const {
    return state_->rotation;
}

void Sprite::scaleBy(float factor) {
    state_->width *= factor;
    state_->height *= factor;
}

void Sprite::setScale(float factor) {
    setScaleXY(factor, factor);
}

float Sprite::scale() const {
    const auto& info = sheetInfo(state_->sprite);
    return (state_->width / info.width + state_->height / info.height) * 0.5f;
}

void Sprite::setScaleXY(float sx, float sy) {
    const auto& info = sheetInfo(state_->sprite);
    state_->width = info.width * sx;
    state_->height = info.height * sy;
}

void Sprite::getScaleXY(float& sx, float& sy) const {
    const auto& info = sheetInfo(state_->sprite);
    if (info.width != 0.0f)
        sx = state_->width / info.width;
    if (info.height != 0.0f)
        sy = state_->height / info.height;
}

void Sprite::setDepth(float depth) {
    if (internal::graphicsSystemExists()) {
        graphicsSystem().drawList().setDepth(state_, depth);
    } else {
        state_->depth = depth;
    }
}

void Sprite::changeDepth(float delta) {
    setDepth(state_->depth + delta);
}
float Sprite::depth() const {
    return state_->depth;
}

float Sprite::width() const {
    return state_->width;
}
float Sprite::height() const {
    return state_->height;
}
void Sprite::setWidth(float width) {
    state_->width = width;
}
void Sprite::setHeight(float height) {
    state_->height = height;
}

void Sprite::getSize(float& width, float& height) const {
    width = state_->width;
    height = state_->height;
}

void Sprite::setSize(float width, float height) {
    state_->width = width;
    state_->height = height;
}

void Sprite::setColour(const Colour& colour) {
    state_->colour = colour;
}
Colour& Sprite::colour() {
    return state_->colour;
}
const Colour& Sprite::colour() const {
    return state_->colour;
}
void Sprite::setVisible(bool visible) {
    state_->visible = visible;
}
bool Sprite::visible() const {
    return state_->visible;
}

void drawSprites() {
    internal::GraphicsSystem& system = graphicsSystem();
    ResourceManager& resources = system.resources();
    for (SpriteState* state : system.drawList()) {
        if (!state->visible || !inSpriteTable(state->sprite))
            continue;
        if (!resources.ensureImageLoaded(state->sprite)) {
            if (!drawErrorReported) {
                logError("Cannot draw sprite of type %d!", state->sprite);
                logError("(ignoring all further errors of this type)");
                drawErrorReported = true;
            }
            continue;
        }
        drawState(*state, resources);
    }
}

std::size_t liveSpriteCount() {
    return internal::spriteStatesInUse();
}

}  // namespace graphics
}  // namespace pentavel
