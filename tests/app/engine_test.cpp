// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/app/engine.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <vector>

#include "app/event_recorder.h"
#include "engine/core/engine_signals.h"
#include "support/test_support.h"

namespace {

using Events = std::vector<std::string>;

SDL_Event activeEvent(Uint8 state, bool gained) {
    SDL_Event event{};
    event.type = SDL_ACTIVEEVENT;
    event.active.state = state;
    event.active.gain = gained ? 1 : 0;
    return event;
}

// An active event emits once per bit, in focus order; a quit request emits quit; unused events are dropped.
TEST(EventPump, EmitsActiveEventsPerBitAndQuitRequestsAndDropsTheRest) {
    test::EventRecorder recorder;
    pentavel::dispatchEvent(activeEvent(SDL_APPINPUTFOCUS | SDL_APPACTIVE, false));
    pentavel::dispatchEvent(activeEvent(SDL_APPACTIVE | SDL_APPMOUSEFOCUS | SDL_APPINPUTFOCUS, true));
    pentavel::dispatchEvent(activeEvent(0, true));
    SDL_Event event{};
    for (const Uint8 type : {SDL_QUIT, SDL_USEREVENT, SDL_SYSWMEVENT, SDL_JOYHATMOTION, SDL_VIDEOEXPOSE}) {
        event.type = type;
        pentavel::dispatchEvent(event);
    }
    EXPECT_EQ(recorder.events,
              (Events{"active 2 0", "active 3 0", "active 1 1", "active 2 1", "active 3 1", "quit"}));
}

class EventQueue : public ::testing::Test {
protected:
    void SetUp() override {
        SDL_Init(SDL_INIT_VIDEO);
        pentavel::pumpEvents();  // whatever the video start queued
    }
    void TearDown() override { SDL_Quit(); }
};

TEST_F(EventQueue, PumpDrainsTheQueueInArrivalOrder) {
    test::EventRecorder recorder;
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = SDLK_SPACE;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
    SDL_Event active = activeEvent(SDL_APPINPUTFOCUS | SDL_APPACTIVE, true);
    ASSERT_EQ(SDL_PushEvent(&active), 0);
    event.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
    pentavel::pumpEvents();
    EXPECT_EQ(recorder.events, (Events{"key-down 32", "active 2 1", "active 3 1", "quit"}));
    EXPECT_EQ(SDL_PollEvent(nullptr), 0);
}

// Each hang-up is passed on once as a quit request; hang-ups that come together are one request; an
// ignored hang-up is left ignored.
TEST_F(EventQueue, AHangUpIsPassedOnOnceAsAQuitRequest) {
    test::EventRecorder recorder;
    signal(SIGHUP, SIG_IGN);  // as under nohup: ignored it stays
    pentavel::listenForHangUp();
    raise(SIGHUP);
    pentavel::pumpEvents();
    EXPECT_EQ(recorder.events, Events{});
    struct sigaction plain {};  // no flags of its own, unlike signal()'s
    plain.sa_handler = SIG_DFL;
    sigaction(SIGHUP, &plain, nullptr);
    pentavel::listenForHangUp();
    raise(SIGHUP);
    pentavel::pumpEvents();
    pentavel::pumpEvents();
    EXPECT_EQ(recorder.events, (Events{"quit"}));
    raise(SIGHUP);
    raise(SIGHUP);
    pentavel::pumpEvents();
    pentavel::pumpEvents();
    // A read that a hang-up interrupts goes on (the game's own reads of files, sockets...).
    int ends[2] = {-1, -1};
    ASSERT_EQ(0, pipe(ends));
    const pthread_t reader = pthread_self();
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pthread_kill(reader, SIGHUP);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(1, write(ends[1], "x", 1));
    });
    char byte = 0;
    EXPECT_EQ(1, read(ends[0], &byte, 1));
    writer.join();
    close(ends[0]);
    close(ends[1]);
    signal(SIGHUP, SIG_DFL);
    pentavel::pumpEvents();
    EXPECT_EQ(recorder.events, (Events{"quit", "quit", "quit"}));
}

// Stands in for the game: asks to quit on the third iteration.
class LoopDriver {
public:
    LoopDriver() {
        pentavel::tickSignal().connect(this, &LoopDriver::early, tracker_);
        pentavel::tickSignal().connect(this, &LoopDriver::late, tracker_);
    }
    void early() {
        if (++earlyCalls == 3)
            pentavel::quitSignal().emit();
    }
    void late() { ++lateCalls; }
    int earlyCalls = 0;
    int lateCalls = 0;

private:
    pentavel::ScopedTracker tracker_;
};

TEST(MainLoop, QuitRequestEndsTheLoopAfterTheWholeIteration) {
    ASSERT_EQ(pentavel::tickSignal().slotCount(), 0u);
    {
        LoopDriver driver;
        pentavel::runMainLoop();
        EXPECT_EQ(driver.earlyCalls, 3);
        EXPECT_EQ(driver.lateCalls, 3);
    }
    {
        LoopDriver again;  // a second run starts with the request cleared
        pentavel::runMainLoop();
        EXPECT_EQ(again.lateCalls, 3);
    }
    EXPECT_EQ(pentavel::quitSignal().slotCount(), 1u);
    // With no slot left on the tick signal the loop ends by itself.
    ASSERT_EQ(pentavel::tickSignal().slotCount(), 0u);
    pentavel::runMainLoop();
}

// Run in a child process: start-up leaves process-wide state behind.
TEST(EngineStartUp, FailedPlatformServicesStopBeforeSdlStarts) {
    test::TempDir home;
    home.write("My Games", "a file where the folder should be");
    EXPECT_EXIT(
        {
            SDL_Quit();
            setenv("HOME", home.path().c_str(), 1);
            unsetenv("XDG_CONFIG_HOME");
            pentavel::ConnectionTracker* handle = pentavel::createTracker();
            const bool started =
                pentavel::startEngine(handle, "/nowhere/tezmola", "Tezmola", "Pentavel", "Tezmola");
            const bool sdlUntouched = SDL_WasInit(SDL_INIT_EVERYTHING) == 0;
            const bool nothingConnected = pentavel::tickSignal().slotCount() == 0;
            std::_Exit(!started && sdlUntouched && nothingConnected ? 3 : 4);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_FALSE(home.exists("My Games/Tezmola/log.html"));
}

}  // namespace
