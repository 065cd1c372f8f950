// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/internal/graphics_system.h"

#include <cstdlib>

#include "engine/graphics/internal/draw_list.h"
#include "engine/graphics/internal/graphics_resource_manager.h"

namespace pentavel {
namespace graphics {
namespace internal {
namespace {

GraphicsSystem* theGraphicsSystem = nullptr;

void destroyGraphicsSystem() {
    delete theGraphicsSystem;
    theGraphicsSystem = nullptr;
}

}  // namespace

GraphicsSystem::GraphicsSystem()
    : drawList_(std::make_unique<DrawList>()), resources_(std::make_unique<GraphicsResourceManager>()) {}

GraphicsSystem::~GraphicsSystem() = default;

GraphicsSystem& graphicsSystem() {
    if (theGraphicsSystem == nullptr) {
        theGraphicsSystem = new GraphicsSystem();
        std::atexit(destroyGraphicsSystem);
    }
    return *theGraphicsSystem;
}

bool graphicsSystemExists() {
    return theGraphicsSystem != nullptr;
}

}  // namespace internal
}  // namespace graphics
}  // namespace pentavel
