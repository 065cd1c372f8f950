// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The graphics module's one process-wide object: video modes, the draw list and the resource manager.

#include <memory>
#include <utility>
#include <vector>

namespace pentavel {
namespace graphics {
namespace internal {

class DrawList;
class GraphicsResourceManager;

struct VideoModeList {
    int kind = 0;  // 0 no full-screen mode, 1 any size, 2 listed sizes
    std::vector<std::pair<int, int>> modes;
};

class GraphicsSystem {
public:
    GraphicsSystem();
    ~GraphicsSystem();
    GraphicsSystem(const GraphicsSystem&) = delete;
    GraphicsSystem& operator=(const GraphicsSystem&) = delete;

    VideoModeList& videoModes() { return videoModes_; }
    DrawList& drawList() { return *drawList_; }
    GraphicsResourceManager& resources() { return *resources_; }

private:
    VideoModeList videoModes_;
    std::unique_ptr<DrawList> drawList_;
    std::unique_ptr<GraphicsResourceManager> resources_;
};

// Made on first use; destroyed by a process-exit handler registered at that moment.
GraphicsSystem& graphicsSystem();
bool graphicsSystemExists();

}  // namespace internal
}  // namespace graphics
}  // namespace pentavel
