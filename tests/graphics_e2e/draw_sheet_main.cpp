// Draws a few sprites of the sheet "e2e_sheet" (placed in the per-user folder by the end-to-end test) at
// known play-field positions until Escape or a close request, so that the test can check the pixels.
// R reloads the textures as a re-activated application does; a window resize goes through resizeWindow.

#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>

#include "engine/core/engine_signals.h"
#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/graphics/colour.h"
#include "engine/graphics/display.h"
#include "engine/graphics/sprite.h"

namespace {

using pentavel::graphics::Colour;
using pentavel::graphics::Sprite;

constexpr Uint32 kLifetimeMs = 60000;  // never outlive a test that lost track of the program

Sprite makeSprite(const char* name, float x, float y, float depth, const Colour& colour) {
    Sprite sprite;
    if (sprite.setSpriteByName(name) == 0) std::fprintf(stderr, "no sprite named %s\n", name);
    sprite.setScale(1.0f);
    sprite.setPosition(x, y);
    sprite.setDepth(depth);
    sprite.setColour(colour);
    return sprite;
}

// False when the program should end.
bool handleEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_QUIT:
                return false;
            case SDL_KEYDOWN:
                if (event.key.keysym.sym == SDLK_ESCAPE) return false;
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
    if (!pentavel::file::setUpFileSystem(argc > 0 ? argv[0] : "draw_sheet", "Pentavel", "Tezmola")) return 1;
    pentavel::tickSignal();
    pentavel::activeSignal();
    SDL_Init(SDL_INIT_TIMER);
    std::atexit(SDL_Quit);
    SDL_WM_SetCaption("Tezmola", "Tezmola");
    if (!pentavel::graphics::startGraphics()) return 1;

    const Colour white = {1.0f, 1.0f, 1.0f, 1.0f};
    // Made before the red one so that only the depths, not the order of making, decide the overlap.
    const Sprite front = makeSprite("e2e_green", 0.0f, -0.35f, 0.5f, white);
    const Sprite back = makeSprite("e2e_red", -0.3f, -0.35f, 1.0f, white);
    const Sprite plain = makeSprite("e2e_red", -0.6f, 0.4f, 0.0f, white);
    const Sprite tinted = makeSprite("e2e_white", 0.0f, 0.4f, 0.0f, {1.0f, 1.0f, 0.0f, 1.0f});
    const Sprite faint = makeSprite("e2e_white", 0.6f, 0.4f, 0.0f, {1.0f, 1.0f, 1.0f, 0.25f});
    const Sprite hole = makeSprite("e2e_clear", 0.6f, -0.35f, 0.0f, white);

    const Uint32 start = SDL_GetTicks();
    while (handleEvents() && SDL_GetTicks() - start < kLifetimeMs) {
        pentavel::tickSignal().emit();
        SDL_Delay(10);
    }
    return 0;
}
