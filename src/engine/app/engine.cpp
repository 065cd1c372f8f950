// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/app/engine.h"

#include <csignal>
#include <cstdlib>

#include "engine/app/internal/display_loss.h"
#include "engine/audio/audio.h"
#include "engine/core/engine_signals.h"
#include "engine/core/input.h"
#include "engine/core/timer.h"
#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/graphics/display.h"

namespace pentavel {
namespace {

bool quitRequested = false;

// Between iterations while nothing new would be seen: short enough that a resume shows at once.
constexpr Uint32 kIdleWaitMilliseconds = 10;

void requestQuit() {
    quitRequested = true;
}

// A hang-up (the terminal the game was started from closes) is a quit request, as SDL makes of SIGTERM and
// SIGINT: the handler only counts it, and the event pump passes on each count it has not passed on yet.
// Only the handler writes the count: a flag that the pump cleared could be cleared just after a signal
// set it again.
volatile std::sig_atomic_t hangUpsReceived = 0;
std::sig_atomic_t hangUpsPassedOn = 0;

void onHangUp(int) {
    hangUpsReceived = hangUpsReceived + 1;
}

// The pump is a free function, but a tracked connection needs a receiver: this empty one stands in.
struct EventPump {
    void pump() { pumpEvents(); }
};
EventPump eventPump;

void emitActive(const SDL_ActiveEvent& active) {
    const bool gained = active.gain != 0;
    if ((active.state & SDL_APPMOUSEFOCUS) != 0)
        activeSignal().emit(1, gained);
    if ((active.state & SDL_APPINPUTFOCUS) != 0)
        activeSignal().emit(2, gained);
    if ((active.state & SDL_APPACTIVE) != 0)
        activeSignal().emit(3, gained);
}

// Pointer and stick motion alone change nothing on a still frame (the paddle follows only in play).
bool mayChangeTheFrame(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEMOTION:
        case SDL_JOYAXISMOTION:
        case SDL_JOYBALLMOTION:
        case SDL_JOYHATMOTION:
            return false;
        default:
            return true;
    }
}

}  // namespace

void listenForHangUp() {
    struct sigaction action {};
    // Left alone when ignored, as under nohup.
    if (sigaction(SIGHUP, nullptr, &action) != 0 || action.sa_handler != SIG_DFL)
        return;
    action.sa_handler = &onHangUp;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGHUP, &action, nullptr);
}

bool startEngine(ConnectionTracker* engineHandle, const char* programPath, const char* caption,
                 const char* organisation, const char* application, const char* logFile,
                 const char* settingsFile) {
    // Reports its own failures (on standard error while there is no log).
    if (!file::setUpFileSystem(programPath, organisation, application, logFile, settingsFile))
        return false;

    // Build the engine signals before any exit handler below, so that they outlive every handler.
    tickSignal();
    quitSignal();
    activeSignal();

    logMessage("Initialising SDL...");
    // A failing video subsystem, or one that would show nothing, is caught and reported by graphics start-up.
    SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO);
    std::atexit(SDL_Quit);
    listenForHangUp();

    logMessage("Setting window name...");
    SDL_WM_SetCaption(caption, caption);

    tickSignal().connect(&eventPump, &EventPump::pump, engineHandle);

    if (!startTimers()) {
        logError("Cannot initialise the timers!");
        return false;
    }
    setPointerMapping(graphics::toPlayFieldX, graphics::toPlayFieldY);
    if (!startInput()) {
        logError("Cannot initialise the input!");
        return false;
    }
    if (!graphics::startGraphics()) {
        logError("Cannot initialise the graphics!");
        return false;
    }
    internal::guardAgainstDisplayLoss();
    if (!audio::startAudio()) {
        logError("Cannot initialise the audio!");
        return false;
    }
    return true;
}

void runMainLoop() {
    quitRequested = false;
    // One quit slot for the life of the process, however often the loop is run.
    static const bool quitSlotConnected = (quitSignal().connect(&requestQuit), true);
    (void)quitSlotConnected;
    while (true) {
        const int called = tickSignal().emit();
        if (quitRequested || called == 0)
            break;
        // Paused or iconified, the loop waits a little instead of spinning; in play it never waits.
        if (graphics::displayIsIdle())
            SDL_Delay(kIdleWaitMilliseconds);
    }
}

void pumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        dispatchEvent(event);
        // A still frame is drawn again only when something may have changed it (keys, focus, exposure).
        if (mayChangeTheFrame(event))
            graphics::markFrameChanged();
    }
    const std::sig_atomic_t received = hangUpsReceived;
    if (received != hangUpsPassedOn) {
        hangUpsPassedOn = received;
        quitSignal().emit();
    }
}

void dispatchEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_ACTIVEEVENT:
            emitActive(event.active);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_JOYAXISMOTION:
        case SDL_JOYBALLMOTION:
        case SDL_JOYHATMOTION:
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            translateEvent(event);
            break;
        case SDL_QUIT:
            quitSignal().emit();
            break;
        case SDL_VIDEORESIZE:
            graphics::resizeWindow(event.resize.w, event.resize.h);
            break;
        default:
            break;  // user and window-manager events are not used
    }
}

}  // namespace pentavel
