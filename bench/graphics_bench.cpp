// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Sprite bookkeeping at the game's scale: 1,200 live sprites (800 cell sprites, 99 background tiles,
// labels, balls and the rest), depth changes, label layout and the CPU side of one draw pass.

#include <benchmark/benchmark.h>
#include <physfs.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/internal/draw_list.h"
#include "engine/graphics/internal/graphics_resource_manager.h"
#include "engine/graphics/internal/graphics_system.h"
#include "engine/graphics/internal/sprite_state.h"
#include "engine/graphics/sprite.h"
#include "engine/graphics/text_label.h"

namespace {

using pentavel::graphics::GlyphTable;
using pentavel::graphics::Sprite;
using pentavel::graphics::SpriteId;
using pentavel::graphics::SpriteState;
using pentavel::graphics::TextLabel;
using pentavel::graphics::internal::DrawsBefore;
using pentavel::graphics::internal::graphicsSystem;

constexpr std::size_t kLiveSprites = 1200;

// One sheet with a cell image and a glyph, scanned from a temporary folder (no OpenGL needed).
struct BenchSheet {
    SpriteId cell = 0;
    SpriteId glyph = 0;
};

BenchSheet scanBenchSheet() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tezmola-graphics-bench";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "bench_sheet.svg")
        << "<svg width=\"800\" height=\"600\"><g>"
           "<rect id=\"bench_cell\" x=\"0\" y=\"0\" width=\"53\" height=\"27\"/>"
           "<rect id=\"bench_glyph\" x=\"60\" y=\"0\" width=\"20\" height=\"32\"/>"
           "</g></svg>";
    std::ofstream(folder / "bench_sheet.png") << "never loaded";
    if (!PHYSFS_isInit())
        PHYSFS_init("tezmola-bench");
    PHYSFS_mount(folder.c_str(), nullptr, 1);
    auto& resources = graphicsSystem().resources();
    resources.scanSpriteSheets();
    PHYSFS_unmount(folder.c_str());
    std::filesystem::remove_all(folder);
    return BenchSheet{resources.findSprite("bench_cell"), resources.findSprite("bench_glyph")};
}

// The live sprites of a busy level, at the game's depths.
struct Scene {
    std::vector<Sprite> sprites;
    std::vector<std::unique_ptr<TextLabel>> labels;
    GlyphTable glyphs = {};
    BenchSheet sheet;

    Scene() {
        sheet = scanBenchSheet();
        std::fill(std::begin(glyphs), std::end(glyphs), sheet.glyph);
        sprites.reserve(kLiveSprites);
        addSprites(99, 100.0f);  // background tiles
        for (int i = 0; i < 400; ++i) {
            addSprites(1, 1.0f);  // brick
            addSprites(1, 0.5f);  // its shadow
        }
        const char* texts[] = {"SCORE 00012345", "LEVEL 07", "BALLS 3", "FPS: 0060"};
        const float depths[] = {-10.0f, -11.0f, -12.0f, -1000000.0f};
        std::size_t labelSprites = 0;
        for (int i = 0; i < 4; ++i) {
            labels.push_back(std::make_unique<TextLabel>());
            labels.back()->setDepth(depths[i]);
            labels.back()->setText(glyphs, texts[i]);
            labelSprites += labels.back()->glyphs().size();
        }
        const float others[] = {2.0f, 0.5f, 0.0f, -1.0f, -2.0f, -3.0f, -4.0f};
        for (std::size_t i = 0; sprites.size() + labelSprites < kLiveSprites; ++i)
            addSprites(1, others[i % 7]);
    }

    void addSprites(int count, float depth) {
        for (int i = 0; i < count; ++i) {
            sprites.emplace_back();
            sprites.back().setSprite(sheet.cell);
            sprites.back().setSize(0.13333334f, 0.06666667f);
            sprites.back().setDepth(depth);
        }
    }
};

Scene& scene() {
    static Scene* instance = new Scene;  // lives to exit, like the game's sprites
    return *instance;
}

void BM_DepthChangeBetweenExistingDepths(benchmark::State& state) {
    Sprite& brick = scene().sprites[99 + 400];  // a brick in the middle of the cells
    bool raised = false;
    for (auto _ : state) {
        brick.setDepth(raised ? 1.0f : 0.5f);
        raised = !raised;
    }
    brick.setDepth(1.0f);
    state.counters["live"] = static_cast<double>(pentavel::graphics::liveSpriteCount());
}
BENCHMARK(BM_DepthChangeBetweenExistingDepths);

void BM_DepthChangeToANewDepth(benchmark::State& state) {
    Sprite& brick = scene().sprites[99 + 400];
    bool lifted = false;
    for (auto _ : state) {
        brick.setDepth(lifted ? 1.0f : 1.25f);  // opens and closes a run of its own
        lifted = !lifted;
    }
    brick.setDepth(1.0f);
}
BENCHMARK(BM_DepthChangeToANewDepth);

void BM_LabelLayoutOf8Characters(benchmark::State& state) {
    TextLabel label;
    label.setDepth(-10.0f);
    label.setText(scene().glyphs, "00012345");
    label.horizontalAlignment = TextLabel::kRight;
    float x = 0.9f;
    for (auto _ : state) {
        label.setPosition(x, 0.7f);
        x = -x;
    }
}
BENCHMARK(BM_LabelLayoutOf8Characters);

void BM_LabelSetTextOf8Characters(benchmark::State& state) {
    TextLabel label;
    label.setDepth(-10.0f);
    for (auto _ : state)
        label.setText(scene().glyphs, "00012345");
}
BENCHMARK(BM_LabelSetTextOf8Characters);

// What the draw pass does per frame besides the OpenGL calls: walk the list, skip hidden and blank
// sprites, fetch each drawn sprite's sheet rectangle and gather its vertex data.
struct DrawRecord {
    float x, y, rotation, halfWidth, halfHeight;
    float left, top, right, bottom;
    pentavel::graphics::Colour colour;
};

void BM_DrawPassWalk(benchmark::State& state) {
    scene();
    auto& system = graphicsSystem();
    auto& resources = system.resources();
    std::vector<DrawRecord> records;
    records.reserve(kLiveSprites);
    for (auto _ : state) {
        records.clear();
        for (const SpriteState* sprite : system.drawList()) {
            if (!sprite->visible || sprite->sprite <= 0 || sprite->sprite >= resources.spriteCount())
                continue;
            const auto& info = resources.spriteInfo(sprite->sprite);
            records.push_back(DrawRecord{sprite->x, sprite->y, sprite->rotation, sprite->width * 0.5f,
                                         sprite->height * 0.5f, info.left, info.top, info.right, info.bottom,
                                         sprite->colour});
        }
        benchmark::DoNotOptimize(records.data());
    }
    state.counters["drawn"] = static_cast<double>(records.size());
}
BENCHMARK(BM_DrawPassWalk);

// For comparison: a depth change followed by a full stable sort of 1,200 states, as a sorted vector
// would need.
void BM_StableSortOf1200States(benchmark::State& state) {
    scene();
    std::vector<SpriteState*> order;
    for (SpriteState* sprite : graphicsSystem().drawList())
        order.push_back(sprite);
    std::vector<SpriteState> copies;
    copies.reserve(order.size());
    for (SpriteState* sprite : order)
        copies.push_back(*sprite);
    std::vector<SpriteState*> sorted;
    for (SpriteState& copy : copies)
        sorted.push_back(&copy);
    SpriteState* moving = sorted[sorted.size() / 2];
    bool raised = false;
    for (auto _ : state) {
        moving->depth = raised ? 1.0f : 0.5f;
        raised = !raised;
        std::stable_sort(sorted.begin(), sorted.end(), [](const SpriteState* a, const SpriteState* b) {
            return DrawsBefore()(a->depth, b->depth);
        });
    }
    state.counters["states"] = static_cast<double>(sorted.size());
}
BENCHMARK(BM_StableSortOf1200States);

}  // namespace
