// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/display.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <tinyxml.h>

#include <strings.h>

#include <cstdlib>
#include <string>

#include "engine/core/engine_signals.h"
#include "engine/file/log.h"
#include "engine/file/settings.h"
#include "engine/graphics/internal/display_geometry.h"
#include "engine/graphics/internal/graphics_resource_manager.h"
#include "engine/graphics/internal/graphics_system.h"
#include "engine/graphics/sprite.h"

namespace pentavel {
namespace graphics {
namespace {

constexpr int kDefaultWindowWidth = 512;
constexpr int kDefaultWindowHeight = 384;
constexpr int kDefaultScreenWidth = 800;
constexpr int kDefaultScreenHeight = 600;
constexpr int kLargeWindowWidth = 1024;  // the least a large first window has where the desktop holds it
constexpr int kLargeWindowHeight = 768;
constexpr double kAspect = 0.75;  // height / width of the play field
constexpr Uint32 kFullscreenFlags = SDL_FULLSCREEN | SDL_OPENGL | SDL_HWSURFACE;
constexpr Uint32 kWindowedFlags = SDL_ANYFORMAT | SDL_RESIZABLE | SDL_OPENGL | SDL_HWSURFACE;
constexpr const char* kSection = "graphics";
// The smallest stored size that still makes a window the player can use.
constexpr int kMinimumWidth = 64;
constexpr int kMinimumHeight = 48;

struct DisplayState {
    int width = 0;
    int height = 0;
    bool fullscreen = false;
    int bitsPerPixel = 0;
    int goalFrameRate = 0;  // read and kept; nothing paces to it
    SDL_Surface* surface = nullptr;
    // The game's wish, kept across mode changes; shown at first, as every windowed mode starts.
    bool cursorWanted = true;
    // While held still the present step redraws only a changed frame.
    bool stillFrame = false;
    bool frameChanged = true;
    bool largeWindow = false;  // preferLargeFirstWindow's wish
    std::string caption;
};

DisplayState display;

void quitVideo() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// Without a display a library may fall back to a video driver that shows nothing, and the game would run
// unseen. Such a driver is kept only when the player chose the driver; the decision rests on the driver the
// library reports it opened, whichever library that is. False, with the SDL error set, for an unwanted one.
bool requireVisibleDriver() {
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    if (chosen != nullptr && chosen[0] != '\0')
        return true;
    char driver[32] = "";
    if (SDL_VideoDriverName(driver, sizeof driver) == nullptr)
        return true;
    for (const char* invisible : {"dummy", "offscreen", "evdev"}) {
        if (strcasecmp(driver, invisible) == 0) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            SDL_SetError("No display: the %s video driver shows nothing", driver);
            return false;
        }
    }
    return true;
}

const char* notIfAbsent(Uint32 capability) {
    return capability != 0 ? "" : "not ";
}

bool readSettings(int& windowWidth, int& windowHeight, int& screenWidth, int& screenHeight) {
    int fullscreen = display.fullscreen ? 1 : 0;
    const bool read = getSetting(kSection, "goalfps", "value", display.goalFrameRate) &&
                      getSetting(kSection, "window_size", "width", windowWidth) &&
                      getSetting(kSection, "window_size", "height", windowHeight) &&
                      getSetting(kSection, "video_mode", "width", screenWidth) &&
                      getSetting(kSection, "video_mode", "height", screenHeight) &&
                      getSetting(kSection, "bbp", "value", display.bitsPerPixel) &&
                      getSetting(kSection, "fullscreen", "value", fullscreen);
    display.fullscreen = fullscreen != 0;
    return read;
}

std::string storedText(const char* key, const char* attribute) {
    std::string text;
    getSetting(kSection, key, attribute, text);
    return text;
}

// A stored size too small for a window (or no number at all) is replaced by the default, in the settings
// too, with one warning line.
void keepUsableSize(const char* key, const char* what, int& width, int& height, int defaultWidth,
                    int defaultHeight) {
    if (width >= kMinimumWidth && height >= kMinimumHeight)
        return;
    logWarning("---- Unusable %s size %s by %s in the settings, using %d by %d", what,
               storedText(key, "width").c_str(), storedText(key, "height").c_str(), defaultWidth,
               defaultHeight);
    width = defaultWidth;
    height = defaultHeight;
    setSetting(kSection, key, "width", width);
    setSetting(kSection, key, "height", height);
}

// Never shown in full screen.
void applyCursor(bool fullscreen) {
    SDL_ShowCursor(display.cursorWanted && !fullscreen ? SDL_ENABLE : SDL_DISABLE);
}

void logVideoCapabilities() {
    logInfo("---- Determining video capabilities");
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (info == nullptr)
        return;
    logInfo("--- Hardware %savailable", notIfAbsent(info->hw_available));
    logInfo("--- Window manager %savailable", notIfAbsent(info->wm_available));
    logInfo("--- Hardware to hardware blits %saccelerated", notIfAbsent(info->blit_hw));
    logInfo("--- Hardware to hardware colour key blits %saccelerated", notIfAbsent(info->blit_hw_CC));
    logInfo("--- Hardware to hardware alpha blits %saccelerated", notIfAbsent(info->blit_hw_A));
    logInfo("--- Software to hardware blits %saccelerated", notIfAbsent(info->blit_sw));
    logInfo("--- Software to hardware colour key blits %saccelerated", notIfAbsent(info->blit_sw_CC));
    logInfo("--- Software to hardware alpha blits %saccelerated", notIfAbsent(info->blit_sw_A));
    logInfo("--- Colour fills %saccelerated", notIfAbsent(info->blit_fill));
    logInfo("--- Total amount of video memory: %d kb", static_cast<int>(info->video_mem));
    logInfo("--- Bits per pixel: %d", info->vfmt != nullptr ? info->vfmt->BitsPerPixel : 0);
}

void listVideoModes() {
    internal::VideoModeList& list = internal::graphicsSystem().videoModes();
    list.modes.clear();
    SDL_Rect** modes = SDL_ListModes(nullptr, kFullscreenFlags);
    // SDL answers "any mode" with the pointer value -1.
    SDL_Rect** const anyMode = reinterpret_cast<SDL_Rect**>(-1);  // NOLINT(performance-no-int-to-ptr)
    if (modes == nullptr) {
        list.kind = 0;
    } else if (modes == anyMode) {
        list.kind = 1;
    } else {
        list.kind = 2;
        for (SDL_Rect** mode = modes; *mode != nullptr; ++mode)
            list.modes.emplace_back((*mode)->w, (*mode)->h);
    }
    logDebug("***** VIDEO MODES AVAILABLE");
    if (list.kind == 1) {
        logDebug("*** Any video mode available");
    } else if (list.kind == 2) {
        logDebug("*** Available modes:");
        for (const auto& mode : list.modes)
            logDebug("*** %d x %d", mode.first, mode.second);
    } else {
        logDebug("*** No video modes available");
    }
}

void logStackDepths() {
    GLfloat modelView = 0.0f;
    GLfloat projection = 0.0f;
    glGetFloatv(GL_MAX_MODELVIEW_STACK_DEPTH, &modelView);
    glGetFloatv(GL_MAX_PROJECTION_STACK_DEPTH, &projection);
    logDebug("--- Maximum OpenGL Modelview Stack Depth: %d", static_cast<int>(modelView));
    logDebug("--- Maximum OpenGL Projection Stack Depth: %d", static_cast<int>(projection));
}

// The requested mode, or the default window when SDL refuses it. False when both are refused.
bool openSurface(int& width, int& height, bool& fullscreen, int depth) {
    display.surface = SDL_SetVideoMode(width, height, depth, fullscreen ? kFullscreenFlags : kWindowedFlags);
    if (display.surface != nullptr)
        return true;
    if (fullscreen) {
        logError("Cannot assign video mode of %d by %d, %d BBP, Full Screen Mode", width, height, depth);
    } else {
        logError("Cannot assign video mode of %d by %d, Windowed Mode", width, height);
    }
    logError("SDL Error:\t%s", SDL_GetError());
    logWarning("---- Attempting to use default graphics settings...");
    display.surface = SDL_SetVideoMode(kDefaultWindowWidth, kDefaultWindowHeight, 0, kWindowedFlags);
    if (display.surface == nullptr) {
        logError("Cannot work with default graphics settings");
        logError("Cannot assign video mode of %d by %d, Windowed Mode", kDefaultWindowWidth,
                 kDefaultWindowHeight);
        logError("SDL Error:\t%s", SDL_GetError());
        return false;
    }
    width = kDefaultWindowWidth;
    height = kDefaultWindowHeight;
    fullscreen = false;
    return true;
}

// The fixed state all drawing relies on; depth testing stays off, the draw order decides.
void setFixedOpenGlState() {
    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT, GL_FILL);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.25f);
}

}  // namespace

namespace internal {

WindowSize largeFirstWindow(int desktopWidth, int desktopHeight, int minWidth, int minHeight) {
    constexpr int kComfortTenths = 9;  // room for panels and the window's own title bar
    WindowSize size =
        snapToFourByThree(desktopWidth * kComfortTenths / 10, desktopHeight * kComfortTenths / 10);
    if ((size.width < minWidth || size.height < minHeight) && desktopWidth >= minWidth &&
        desktopHeight >= minHeight)
        size = WindowSize{minWidth, minHeight};
    return size;
}

WindowSize snapToFourByThree(int width, int height) {
    if (width <= 0 || height <= 0)
        return {};
    const double ratio = static_cast<double>(height) / width;
    WindowSize size;
    if (ratio < kAspect) {
        size.width = static_cast<int>(height / kAspect);
        size.height = height;
    } else {
        size.width = width;
        size.height = static_cast<int>(width * kAspect);
    }
    if (size.width < 1 || size.height < 1)
        return {};
    return size;
}

float pixelToPlayFieldX(int pixelX, int windowWidth) {
    if (windowWidth <= 0)
        return 0.0f;
    return (static_cast<float>(pixelX) / static_cast<float>(windowWidth) - 0.5f) * 2.0f;
}

float pixelToPlayFieldY(int pixelY, int windowHeight) {
    if (windowHeight <= 0)
        return 0.0f;
    return (static_cast<float>(pixelY) / static_cast<float>(windowHeight) - 0.5f) * -1.5f;
}

}  // namespace internal

namespace {

// The desktop's size is known once video is up and before the first mode is set.
void chooseLargeFirstWindow(int& windowWidth, int& windowHeight) {
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (!display.largeWindow || info == nullptr)
        return;
    const internal::WindowSize size =
        internal::largeFirstWindow(info->current_w, info->current_h, kLargeWindowWidth, kLargeWindowHeight);
    if (size.width == 0)
        return;
    windowWidth = size.width;
    windowHeight = size.height;
    setSetting(kSection, "window_size", "width", windowWidth);
    setSetting(kSection, "window_size", "height", windowHeight);
}

}  // namespace

void preferLargeFirstWindow(bool large) {
    display.largeWindow = large;
}

bool startGraphics() {
    internal::graphicsSystem();
    int windowWidth = kDefaultWindowWidth;
    int windowHeight = kDefaultWindowHeight;
    int screenWidth = kDefaultScreenWidth;
    int screenHeight = kDefaultScreenHeight;
    const TiXmlElement* section = settingsSection(kSection);
    const bool sizeStored = section == nullptr || section->FirstChildElement("window_size") != nullptr;
    if (!readSettings(windowWidth, windowHeight, screenWidth, screenHeight)) {
        logError("Cannot read in the settings to set up the graphics system!");
        return false;
    }
    keepUsableSize("window_size", "window", windowWidth, windowHeight, kDefaultWindowWidth,
                   kDefaultWindowHeight);
    keepUsableSize("video_mode", "full screen", screenWidth, screenHeight, kDefaultScreenWidth,
                   kDefaultScreenHeight);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == -1 || !requireVisibleDriver()) {
        logError("Cannot initialise SDL video subsystem!");
        logError("SDL Error:\t%s", SDL_GetError());
        return false;
    }
    if (!sizeStored)
        chooseLargeFirstWindow(windowWidth, windowHeight);
    const int width = display.fullscreen ? screenWidth : windowWidth;
    const int height = display.fullscreen ? screenHeight : windowHeight;
    static bool quitRegistered = false;
    if (!quitRegistered) {
        quitRegistered = true;
        std::atexit(quitVideo);
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    logVideoCapabilities();
    listVideoModes();

    if (!setVideoMode(width, height, display.fullscreen)) {
        logError("Cannot assign video mode! Exiting...");
        return false;
    }
    logStackDepths();
    internal::graphicsSystem().resources().scanSpriteSheets();
    activeSignal().connect(onApplicationActive);
    tickSignal().connect(renderFrame);
    return true;
}

bool setVideoMode(int width, int height, bool fullscreen) {
    internal::graphicsSystem();
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (info != nullptr && info->vfmt != nullptr)
        display.bitsPerPixel = info->vfmt->BitsPerPixel;
    const int depth = fullscreen ? display.bitsPerPixel : 0;

    logInfo("---- Setting video mode and display surface...");
    if (!openSurface(width, height, fullscreen, depth))
        return false;
    // The new mode follows the game's wish, whatever the mode before it showed.
    applyCursor(fullscreen);
    if (fullscreen) {
        logInfo("--- Video mode set to %d by %d, %d BBP, Full Screen Mode", width, height, depth);
    } else {
        logInfo("--- Video mode set to %d by %d, Windowed Mode", width, height);
    }

    setFixedOpenGlState();
    display.width = width;
    display.height = height;
    display.fullscreen = fullscreen;
    setUpView();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The context may not survive a mode change, so every texture is made again.
    if (!internal::graphicsSystem().resources().reloadTextures()) {
        logError("Cannot reload sprites!");
        return false;
    }
    display.frameChanged = true;
    renderFrame();
    return true;
}

void setUpView() {
    // The projection lives on the model-view matrix; the draw pass pushes and pops around each sprite.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, display.width, display.height);
    glOrtho(-1.0, 1.0, -0.75, 0.75, -1.0, 1.0);
}

void renderFrame() {
    if (SDL_GetAppState() == 0)
        return;
    if (display.stillFrame && !display.frameChanged)
        return;
    display.frameChanged = false;
    beforeDrawSignal().emit();
    drawSprites();
    afterDrawSignal().emit();
    SDL_GL_SwapBuffers();
    glClearColor(0.0f, 0.0f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

bool resizeWindow(int width, int height) {
    // A minimised or collapsed window reports sizes that snap to nothing; keep the current mode.
    const internal::WindowSize size = internal::snapToFourByThree(width, height);
    if (size.width == 0)
        return false;
    if (!setVideoMode(size.width, size.height, false))
        return false;
    setSetting(kSection, "window_size", "width", size.width);
    setSetting(kSection, "window_size", "height", size.height);
    saveChangedSettings();
    return true;
}

bool toggleFullscreen() {
    const bool wasFullscreen = display.fullscreen;
    const char* sizeKey = wasFullscreen ? "window_size" : "video_mode";
    int width = wasFullscreen ? kDefaultWindowWidth : kDefaultScreenWidth;
    int height = wasFullscreen ? kDefaultWindowHeight : kDefaultScreenHeight;
    getSetting(kSection, sizeKey, "width", width);
    getSetting(kSection, sizeKey, "height", height);
    const bool set = setVideoMode(width, height, !wasFullscreen);
    // A refused mode falls back to the default window; what is stored is the mode the player now sees.
    if (display.fullscreen != wasFullscreen) {
        setSetting(kSection, "fullscreen", "value", display.fullscreen ? 1 : 0);
        // The player's choice is kept at once rather than only at exit.
        saveChangedSettings();
    }
    return set;
}

void onApplicationActive(int which, bool gained) {
    if (which != 3 || !gained)
        return;
    if (!internal::graphicsSystem().resources().reloadTextures())
        logError("Cannot reload sprites!");
}

void setWindowCaption(const std::string& caption) {
    display.caption = caption;
    SDL_WM_SetCaption(caption.c_str(), caption.c_str());
}

const std::string& windowCaption() {
    return display.caption;
}

void showCursor(bool show) {
    display.cursorWanted = show;
    applyCursor(display.fullscreen);
}

void holdStillFrame(bool still) {
    if (still != display.stillFrame)
        display.frameChanged = true;
    display.stillFrame = still;
}

void markFrameChanged() {
    display.frameChanged = true;
}

bool displayIsIdle() {
    return display.stillFrame || (SDL_GetAppState() & SDL_APPACTIVE) == 0;
}

float toPlayFieldX(int pixelX) {
    return internal::pixelToPlayFieldX(pixelX, display.width);
}

float toPlayFieldY(int pixelY) {
    return internal::pixelToPlayFieldY(pixelY, display.height);
}

int displayWidth() {
    return display.width;
}

int displayHeight() {
    return display.height;
}

bool isFullscreen() {
    return display.fullscreen;
}

void scanSpriteSheets() {
    internal::graphicsSystem().resources().scanSpriteSheets();
}

}  // namespace graphics
}  // namespace pentavel
