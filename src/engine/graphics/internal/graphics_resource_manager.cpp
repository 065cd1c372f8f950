// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/internal/graphics_resource_manager.h"

#include <GL/gl.h>
#include <tinyxml.h>

#include <cmath>
#include <cstdlib>
#include <set>

#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/file/xml_document.h"
#include "engine/graphics/internal/png_texture.h"

namespace pentavel {
namespace graphics {
namespace internal {
namespace {

// Sheet drawings are authored at this many units per play-field unit.
constexpr double kSheetUnitsPerPlayField = 400.0;
constexpr std::size_t kExtensionLength = 4;  // ".svg", ".png"

std::string stem(const std::string& name) {
    return name.size() >= kExtensionLength ? name.substr(0, name.size() - kExtensionLength) : std::string();
}

std::set<std::string> stems(const std::vector<std::string>& names) {
    std::set<std::string> result;
    for (const std::string& name : names)
        result.insert(stem(name));
    return result;
}

void reportHiddenPair(const std::string& pairStem, const std::string& hider) {
    logWarning("---- Sprite sheet [%s.svg] with [%s.png] not loaded: hidden by [%s]", pairStem.c_str(),
               pairStem.c_str(), hider.c_str());
}

// A present canvas side that reads as a positive, finite number (atof rules).
bool readCanvasSide(const TiXmlElement& svg, const char* attribute, double& side) {
    const char* text = svg.Attribute(attribute);
    if (text == nullptr)
        return false;
    side = std::atof(text);
    return std::isfinite(side) && side > 0.0;
}

}  // namespace

GraphicsResourceManager::GraphicsResourceManager() {
    images_.reserve(1);
    sprites_.reserve(1);
    images_.push_back(std::make_shared<ImageInfo>());
    sprites_.push_back(std::make_shared<SpriteInfo>());
}

void GraphicsResourceManager::scanSpriteSheets() {
    const file::FileList svgs = file::listFiles("svg");
    const file::FileList pngs = file::listFiles("png");
    logDebug("---- List of SVG files");
    for (const std::string& name : *svgs)
        logDebug("-- %s", name.c_str());
    logDebug("---- List of PNG files");
    for (const std::string& name : *pngs)
        logDebug("-- %s", name.c_str());
    logDebug("---- Search for matching pairs");

    // Both lists are sorted by full name while stems are compared; a pair can be stepped past when a
    // longer name sharing the stem sorts before it (a-b.png before a.png). Such a pair stays unloaded, and
    // the name that hid it is reported once.
    const std::set<std::string> svgStems = stems(*svgs);
    const std::set<std::string> pngStems = stems(*pngs);
    std::set<std::string> hidden;
    auto svg = svgs->begin();
    auto png = pngs->begin();
    while (svg != svgs->end() && png != pngs->end()) {
        const int order = stem(*svg).compare(stem(*png));
        if (order < 0) {
            if (pngStems.count(stem(*svg)) != 0 && hidden.insert(stem(*svg)).second)
                reportHiddenPair(stem(*svg), *png);
            ++svg;
        } else if (order > 0) {
            if (svgStems.count(stem(*png)) != 0 && hidden.insert(stem(*png)).second)
                reportHiddenPair(stem(*png), *svg);
            ++png;
        } else {
            logDebug("-- Pair: %s\t%s", svg->c_str(), png->c_str());
            const ImageId image = imageCount();
            auto info = std::make_shared<ImageInfo>();
            info->name = *png;
            images_.push_back(info);
            loadSpriteSheet(*svg, image);
            ++svg;
            ++png;
        }
    }
}

bool GraphicsResourceManager::loadSpriteSheet(const std::string& svgName, ImageId image) {
    TiXmlDocument document;
    if (!file::loadXmlDocument(document, svgName.c_str())) {
        logError("---- No SVG file: [%s]", svgName.c_str());
        return false;
    }
    logInfo("---- Loading SVG: [%s]", svgName.c_str());
    const TiXmlElement* svg = document.FirstChildElement("svg");
    if (svg == nullptr)
        return true;
    double canvasWidth = 0.0;
    double canvasHeight = 0.0;
    // A zero or negative canvas would turn every texture coordinate into a division by zero.
    if (!readCanvasSide(*svg, "width", canvasWidth) || !readCanvasSide(*svg, "height", canvasHeight)) {
        logError("SVG file [%s] badly formed: no width or height", svgName.c_str());
        return false;
    }
    const TiXmlElement* group = svg->FirstChildElement("g");
    if (group == nullptr)
        return true;

    const std::string& imageName = imageInfo(image).name;
    for (const TiXmlElement* rect = group->FirstChildElement("rect"); rect != nullptr;
         rect = rect->NextSiblingElement("rect")) {
        const char* x = rect->Attribute("x");
        const char* y = rect->Attribute("y");
        const char* width = rect->Attribute("width");
        const char* height = rect->Attribute("height");
        const char* id = rect->Attribute("id");
        if (x == nullptr || y == nullptr || width == nullptr || height == nullptr || id == nullptr)
            continue;
        if (names_.count(id) != 0)
            continue;

        const double left = std::atof(x);
        const double top = std::atof(y);
        const double w = std::atof(width);
        const double h = std::atof(height);
        auto info = std::make_shared<SpriteInfo>();
        info->left = static_cast<float>(left / canvasWidth);
        info->top = static_cast<float>(top / canvasHeight);
        info->right = static_cast<float>((left + w) / canvasWidth);
        info->bottom = static_cast<float>((top + h) / canvasHeight);
        info->width = static_cast<float>(w / kSheetUnitsPerPlayField);
        info->height = static_cast<float>(h / kSheetUnitsPerPlayField);
        info->image = image;
        info->valid = true;

        const SpriteId sprite = spriteCount();
        names_[id] = sprite;
        sprites_.push_back(info);
        logDebug("------ (%d: %d, %s)\t%s:\t%f, %f, %f, %f", sprite, image, imageName.c_str(), id, left, top,
                 w, h);
    }
    return true;
}

SpriteId GraphicsResourceManager::findSprite(const std::string& name) const {
    const auto found = names_.find(name);
    return found != names_.end() ? found->second : 0;
}

std::vector<std::string> GraphicsResourceManager::spriteNames(const std::string& prefix) const {
    std::vector<std::string> names;
    for (auto entry = names_.lower_bound(prefix);
         entry != names_.end() && entry->first.compare(0, prefix.size(), prefix) == 0; ++entry)
        names.push_back(entry->first);
    return names;
}

bool GraphicsResourceManager::ensureImageLoaded(SpriteId sprite) {
    const SpriteInfo& info = spriteInfo(sprite);
    // A picture that failed waits for the next reload: retrying it at every draw of every sprite would
    // repeat the work and the log lines each frame.
    return info.valid && !imageInfo(info.image).failed && loadImage(info.image);
}

bool GraphicsResourceManager::loadImage(ImageId image) {
    // Image 0 is the placeholder: there is no file behind it.
    if (image <= 0 || image >= imageCount())
        return false;
    const std::shared_ptr<ImageInfo> info = images_[image];
    if (info->loaded)
        return true;
    logMessage("Loading image texture for [%s]...", info->name.c_str());
    info->failed = true;
    file::FileHandle* file = file::openFileRead(info->name.c_str());
    if (file == nullptr) {
        logError("Error opening [%s], %s", info->name.c_str(), file::lastFileError());
        return false;
    }
    PngImage png;
    info->texture = loadPngTexture(file, png);
    if (info->texture == 0) {
        logError("Error loading in PNG file [%s] to OpenGL texture!", info->name.c_str());
        logError("---- [%s] %s", info->name.c_str(), describePngFault(png).c_str());
        file::closeFile(file);
        return false;
    }
    logDebug("Size=(%i, %i) Depth=%i Alpha=%i\n", png.sourceWidth, png.sourceHeight, png.depth,
             png.alpha ? 1 : 0);
    if (!file::closeFile(file)) {
        logError("Error closing [%s], %s", info->name.c_str(), file::lastFileError());
        // The texture would never be used: the image stays not loaded and is made again next time.
        glDeleteTextures(1, &info->texture);
        return false;
    }
    logDebug("...The OpenGL ID number for this texture is [%d]", info->texture);
    info->loaded = true;
    info->failed = false;
    return true;
}

void GraphicsResourceManager::unloadImage(ImageId image) {
    if (image < 0 || image >= imageCount())
        return;
    ImageInfo& info = *images_[image];
    if (!info.loaded)
        return;
    logInfo("Unloading image texture for [%s]...", info.name.c_str());
    glDeleteTextures(1, &info.texture);
    info.loaded = false;
}

bool GraphicsResourceManager::reloadTextures() {
    const int count = imageCount();
    std::vector<bool> wasLoaded(count);
    for (int i = 0; i < count; ++i) {
        wasLoaded[i] = images_[i]->loaded;
        images_[i]->failed = false;
    }
    for (int i = 0; i < count; ++i) {
        if (wasLoaded[i])
            unloadImage(i);
    }
    for (int i = 0; i < count; ++i) {
        if (wasLoaded[i] && !loadImage(i))
            return false;
    }
    return true;
}

bool GraphicsResourceManager::getDrawInfo(SpriteId sprite, unsigned int* texture, float* left, float* top,
                                          float* right, float* bottom, float* width, float* height) const {
    const SpriteInfo& info = spriteInfo(sprite);
    const unsigned int name = imageInfo(info.image).texture;
    if (texture != nullptr)
        *texture = name;
    if (name == 0)
        return false;
    if (left != nullptr)
        *left = info.left;
    if (top != nullptr)
        *top = info.top;
    if (right != nullptr)
        *right = info.right;
    if (bottom != nullptr)
        *bottom = info.bottom;
    if (width != nullptr)
        *width = info.width;
    if (height != nullptr)
        *height = info.height;
    return true;
}

void GraphicsResourceManager::getNaturalSize(SpriteId sprite, float& width, float& height) const {
    const SpriteInfo& info = spriteInfo(sprite);
    width = info.width;
    height = info.height;
}

float GraphicsResourceManager::naturalWidth(SpriteId sprite) const {
    return spriteInfo(sprite).width;
}

float GraphicsResourceManager::naturalHeight(SpriteId sprite) const {
    return spriteInfo(sprite).height;
}

const GraphicsResourceManager::SpriteInfo& GraphicsResourceManager::spriteInfo(SpriteId sprite) const {
    return *sprites_[sprite > 0 && sprite < spriteCount() ? sprite : 0];
}

const GraphicsResourceManager::ImageInfo& GraphicsResourceManager::imageInfo(ImageId image) const {
    return *images_[image > 0 && image < imageCount() ? image : 0];
}

}  // namespace internal
}  // namespace graphics
}  // namespace pentavel
