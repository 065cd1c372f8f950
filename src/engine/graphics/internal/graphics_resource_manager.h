// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sprite sheets (name.svg naming rectangles on name.png) and their textures.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/sprite.h"

namespace pentavel {
namespace graphics {
namespace internal {

class GraphicsResourceManager {
public:
    struct ImageInfo {
        std::string name;          // the PNG's file name in the root of the virtual file system
        unsigned int texture = 0;  // OpenGL texture name; keeps the deleted name after an unload
        bool loaded = false;
        bool failed = false;  // the last load failed; not tried again until the next reloadTextures
    };
    struct SpriteInfo {
        float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;  // texture coordinates, t downwards
        float width = 0.0f, height = 0.0f;                           // play-field units (sheet units / 400)
        ImageId image = 0;
        bool valid = false;
    };

    // Only the two placeholders (image 0 and sprite 0).
    GraphicsResourceManager();

    // Pairs name.svg with name.png in the root of the virtual file system and reads their sprites.
    void scanSpriteSheets();
    bool loadSpriteSheet(const std::string& svgName, ImageId image);
    // 0 for an unknown name; logs nothing.
    SpriteId findSprite(const std::string& name) const;
    // The names of the sprites that begin with prefix, sorted byte-wise.
    std::vector<std::string> spriteNames(const std::string& prefix) const;
    // Loads the sprite's texture on first use; false when the sprite is invalid or the load failed. A load
    // that failed is not tried again (nor logged again) until the next reloadTextures.
    bool ensureImageLoaded(SpriteId sprite);
    bool loadImage(ImageId image);
    void unloadImage(ImageId image);
    // Unloads and reloads every loaded texture (after a mode change or re-activation); images whose load
    // failed are tried again at their next draw.
    bool reloadTextures();
    // False (writing nothing) when the image has no texture; each output only when non-null.
    bool getDrawInfo(SpriteId sprite, unsigned int* texture, float* left, float* top, float* right,
                     float* bottom, float* width, float* height) const;
    void getNaturalSize(SpriteId sprite, float& width, float& height) const;
    float naturalWidth(SpriteId sprite) const;
    float naturalHeight(SpriteId sprite) const;
    int imageCount() const { return static_cast<int>(images_.size()); }
    int spriteCount() const { return static_cast<int>(sprites_.size()); }
    // Out-of-range ids read as 0 (no image).
    const SpriteInfo& spriteInfo(SpriteId sprite) const;
    const ImageInfo& imageInfo(ImageId image) const;

private:
    std::vector<std::shared_ptr<ImageInfo>> images_;
    std::vector<std::shared_ptr<SpriteInfo>> sprites_;
    std::map<std::string, SpriteId> names_;
};

}  // namespace internal
}  // namespace graphics
}  // namespace pentavel
