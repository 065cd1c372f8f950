// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Draws sprites of the test sheets that tests/e2e/sprites_test.sh writes into the per-user folder, at
// known play-field positions, until Escape, a close request or a minute has passed, so that the test can
// check the pixels. R reloads the textures as a re-activated application does; a window resize goes
// through resizeWindow. Sprites from broken sheets are placed where they would be seen if drawn.

#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/core/engine_signals.h"
#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/graphics/colour.h"
#include "engine/graphics/display.h"
#include "engine/graphics/sprite.h"

namespace {

using pentavel::graphics::Colour;
using pentavel::graphics::Sprite;

constexpr Uint32 kLifetimeMs = 240000;  // never outlive a test that lost track of the program

struct Placement {
    const char* name;
    float x, y, depth;
    Colour colour;
};

constexpr Colour kWhite = {1.0f, 1.0f, 1.0f, 1.0f};

// Every sprite is drawn at its natural size (0.4 x 0.4 for the test sheets' 160-unit squares).
const Placement kPlacements[] = {
    {"e2e_red", -0.7f, 0.45f, 0.0f, kWhite},
    {"e2e_white", -0.2f, 0.45f, 0.0f, {1.0f, 1.0f, 0.0f, 1.0f}},  // tinted yellow
    {"e2e_white", 0.3f, 0.45f, 0.0f, {1.0f, 1.0f, 1.0f, 0.25f}},  // discarded by the alpha test
    {"e2e_split", 0.75f, 0.45f, 0.0f, kWhite},                    // magenta top half, cyan bottom half
    // Made before the red one, so that only the depths decide which lies on top where they overlap.
    {"e2e_green", -0.35f, -0.35f, 0.5f, kWhite},
    {"e2e_red", -0.6f, -0.35f, 1.0f, kWhite},
    {"e2e_clear", 0.1f, -0.35f, 0.0f, kWhite},
    {"e2e_orange", 0.6f, -0.35f, 0.0f, kWhite},  // its PNG is taken away while the program runs
    // Broken sheets: the JPEG one is tried first (larger depth), so it is the one the draw pass reports.
    {"e2e_jpeg", -0.5f, 0.05f, 3.0f, kWhite},
    {"e2e_truncated", 0.0f, 0.05f, 2.0f, kWhite},
    {"e2e_unpaired", 0.5f, 0.05f, 2.0f, kWhite},
};

Sprite makeSprite(const Placement& placement) {
    Sprite sprite;
    if (sprite.setSpriteByName(placement.name) == 0)
        std::fprintf(stderr, "no sprite named %s\n", placement.name);
    sprite.setScale(1.0f);
    sprite.setPosition(placement.x, placement.y);
    sprite.setDepth(placement.depth);
    sprite.setColour(placement.colour);
    return sprite;
}

// False when the program should end.
bool handleEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_QUIT:
                pentavel::logMessage("draw_sheet: quit request");
                return false;
            case SDL_KEYDOWN:
                if (event.key.keysym.sym == SDLK_ESCAPE) {
                    pentavel::logMessage("draw_sheet: Escape");
                    return false;
                }
                if (event.key.keysym.sym == SDLK_r) {
                    pentavel::logMessage("draw_sheet: reloading textures");
                    pentavel::activeSignal().emit(3, true);
                }
                break;
            case SDL_VIDEORESIZE:
                pentavel::graphics::resizeWindow(event.resize.w, event.resize.h);
                break;
            default:
                break;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (!pentavel::file::setUpFileSystem(argc > 0 ? argv[0] : "draw_sheet", "Pentavel", "Tezmola"))
        return 1;
    // The engine signals are built before any exit handler, so that they outlive every handler.
    pentavel::tickSignal();
    pentavel::activeSignal();
    SDL_Init(SDL_INIT_TIMER);
    std::atexit(SDL_Quit);
    SDL_WM_SetCaption("Tezmola", "Tezmola");
    if (!pentavel::graphics::startGraphics())
        return 1;
    char driver[32] = "";
    SDL_VideoDriverName(driver, sizeof driver);
    pentavel::logMessage("draw_sheet: video driver %s", driver);

    std::vector<Sprite> sprites;
    for (const Placement& placement : kPlacements)
        sprites.push_back(makeSprite(placement));

    const Uint32 start = SDL_GetTicks();
    while (handleEvents()) {
        if (SDL_GetTicks() - start >= kLifetimeMs) {
            std::fprintf(stderr, "draw_sheet: ending after %u ms without being asked to\n", kLifetimeMs);
            return 1;
        }
        pentavel::tickSignal().emit();
        SDL_Delay(10);
    }
    return 0;
}
