// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A sound file through the audio registry as the game uses it: registered by base name, loaded when the
// game asks for its code, played once. The mixer runs on SDL's dummy audio driver.

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <cstdint>

#include "engine/audio/internal/audio_resource_manager.h"
#include "fuzz_support.h"

using pentavel::audio::internal::AudioResourceManager;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::useDummyDrivers();
    if (!AudioResourceManager::instance().openDevice())
        fuzz::fail("cannot open the dummy audio device: %s", SDL_GetError());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeScratchFile("beep1.wav", data, size);
    fuzz::mountScratch();
    AudioResourceManager& audio = AudioResourceManager::instance();
    audio.registerSoundFiles();
    const int code = audio.soundCode("beep1");
    if (code != 1)
        fuzz::fail("beep1.wav has code %d", code);
    audio.playSound(code, 1.0f, -0.5f);
    Mix_HaltChannel(-1);
    audio.reset();
    fuzz::unmountScratch();
    return 0;
}
