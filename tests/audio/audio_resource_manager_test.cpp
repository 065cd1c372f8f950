// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/audio/internal/audio_resource_manager.h"

#include <SDL/SDL.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "audio/sound_files.h"
#include "engine/audio/internal/wav_layout.h"
#include "engine/file/log.h"
#include "engine/file/settings.h"
#include "support/mounted_folder.h"

using pentavel::audio::internal::AudioResourceManager;

namespace {

// The blocks the SDL 2 library beneath the SDL 1.2 compatibility library holds now; -1 under the original
// SDL 1.2, which does not count them.
int sdlAllocations() {
    void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr)
        return -1;
    auto* count = reinterpret_cast<int (*)()>(dlsym(library, "SDL_GetNumAllocations"));
    const int blocks = count != nullptr ? count() : -1;
    dlclose(library);
    return blocks;
}

class AudioRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(manager.openDevice());
        // Frozen output: whatever starts playing stays on its channel until halted.
        SDL_PauseAudio(1);
    }
    void TearDown() override { Mix_HaltChannel(-1); }

    void registerAll() {
        manager.registerSoundFiles();
        manager.registerMusicFiles();
    }

    test::MountedFolder dir;
    AudioResourceManager manager;
};

TEST_F(AudioRegistry, WithoutWavFilesEveryCodeIsZeroAndPlayingIsSilent) {
    dir.write("readme.txt", "no sounds here");
    registerAll();
    EXPECT_EQ(manager.soundCount(), 1);
    EXPECT_EQ(manager.musicCount(), 1);
    EXPECT_EQ(manager.soundCode("beep1"), 0);
    EXPECT_EQ(manager.soundCode("readme"), 0);
    EXPECT_EQ(manager.soundCode(""), 0);
    EXPECT_EQ(manager.playSound(0, 1.0f, 0.0f), -1);
    EXPECT_EQ(manager.playSound(1, 1.0f, 0.0f), -1);
    EXPECT_EQ(manager.playSound(-3, 1.0f, 0.0f), -1);
    EXPECT_FALSE(manager.playMusic(0));
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(AudioRegistry, SoundCodesFollowSortedBaseNamesAndLoadOnFirstRequest) {
    dir.write("b.wav", test::wavBytes());
    dir.write("a.wav", test::wavBytes());
    dir.write("a.WAV", test::wavBytes());
    dir.write("wav", test::wavBytes());
    std::filesystem::create_directory(dir.path() + "/dir.wav");
    registerAll();

    ASSERT_EQ(manager.soundCount(), 3);
    EXPECT_EQ(manager.sound(1)->fileName, "a.wav");
    EXPECT_EQ(manager.sound(2)->fileName, "b.wav");
    EXPECT_EQ(manager.soundCode("b"), 2);
    EXPECT_NE(manager.sound(2)->chunk, nullptr);
    EXPECT_EQ(manager.sound(1)->chunk, nullptr);
    EXPECT_EQ(manager.soundCode("a"), 1);
    EXPECT_EQ(manager.soundCode("a.wav"), 0);
    EXPECT_EQ(manager.soundCode("dir"), 0);
}

TEST_F(AudioRegistry, MusicCodesGoByExtensionOrderAndTheFirstFileOfABaseNameWins) {
    dir.write("x.xm", "x");
    dir.write("b.s3m", "b");
    dir.write("a.mod", "a");
    dir.write("song.xm", "late");
    dir.write("song.mod", "early");
    dir.write("c.it", "c");
    registerAll();

    ASSERT_EQ(manager.musicCount(), 6);
    const char* expected[] = {"", "a.mod", "song.mod", "b.s3m", "c.it", "x.xm"};
    for (int code = 1; code < 6; ++code)
        EXPECT_EQ(manager.music(code)->fileName, expected[code]);
    EXPECT_EQ(manager.soundCount(), 1);
}

TEST_F(AudioRegistry, DamagedWavKeepsItsCodeButPlaysNothingAndIsRetried) {
    dir.write("broken.wav", test::damagedWavBytes());
    dir.write("empty.wav", "");
    registerAll();

    EXPECT_EQ(manager.soundCode("broken"), 1);
    EXPECT_EQ(manager.sound(1)->chunk, nullptr);
    EXPECT_EQ(manager.soundChunk(1), nullptr);
    EXPECT_EQ(manager.playSound(1, 1.0f, 0.0f), -1);
    EXPECT_EQ(manager.soundCode("empty"), 2);
    EXPECT_EQ(manager.playSound(2, 1.0f, 0.0f), -1);
    EXPECT_EQ(Mix_Playing(-1), 0);

    // The retries leave nothing behind in the library.
    const int blocks = sdlAllocations();
    for (int retry = 0; retry < 3; ++retry)
        EXPECT_EQ(manager.soundChunk(1), nullptr);
    if (blocks >= 0) {
        EXPECT_EQ(sdlAllocations(), blocks);
    }

    // Repaired on disk: the next request loads it.
    dir.write("broken.wav", test::wavBytes());
    EXPECT_GE(manager.playSound(1, 1.0f, 0.0f), 0);
    EXPECT_NE(manager.sound(1)->chunk, nullptr);
}

// Headers that promise more than the file holds would make the mixer take that much memory.
TEST_F(AudioRegistry, RefusesWavsWhoseHeadersPromiseMoreThanTheFileHoldsWithOneLineNamingThem) {
    std::string huge = test::wavBytes(192);   // 236 bytes
    huge.replace(40, 4, "\xF0\xFF\xFF\xFF");  // data chunk: 4294967280 bytes
    dir.write("huge.wav", huge);
    std::string slow = test::wavBytes(20000);
    slow.replace(24, 8, std::string("\x01\x00\x00\x00\x01\x00\x00\x00", 8));  // 1 frame a second
    dir.write("slow.wav", slow);
    dir.write("long.wav", "");
    std::filesystem::resize_file(dir.path() + "/long.wav", 65 * 1024 * 1024);  // sparse: nothing is written
    std::string unsized = test::wavBytes(64);
    unsized.replace(4, 4, std::string(4, '\0'));  // writers that cannot seek back leave the RIFF size 0
    dir.write("unsized.wav", unsized);
    std::string unpadded = test::wavBytes(63);  // its RIFF size counts the pad byte after the data, left out
    unpadded.replace(4, 1, "\x64");
    dir.write("unpadded.wav", unpadded);
    std::string overrun = test::wavBytes(62);  // a RIFF size two bytes past the file: more than a pad byte
    overrun.replace(4, 1, "\x64");
    dir.write("overrun.wav", overrun);
    dir.write("cut.wav", std::string("RIFF\x01\0\0\0WAVEfmt ", 16));  // a RIFF size inside its own header
    std::string surround = test::wavBytes(10);                        // one frame of five 16-bit channels
    surround.replace(22, 2, std::string("\x05\0", 2));
    surround.replace(32, 4, std::string("\x0A\0\x10\0", 4));
    dir.write("surround.wav", surround);
    std::string partial = test::wavBytes(3);  // three bytes of a 16-bit stereo frame at 11025 Hz
    partial.replace(22, 6, std::string("\x02\0\x11\x2B\0\0", 6));
    partial.replace(32, 4, std::string("\x01\0\x10\0", 4));
    dir.write("partial.wav", partial);
    ASSERT_TRUE(pentavel::openLog());
    registerAll();

    for (const char* name : {"huge", "long", "slow", "cut", "surround", "partial", "overrun"}) {
        const int code = manager.soundCode(name);
        EXPECT_GT(code, 0) << name;
        EXPECT_EQ(manager.sound(code)->chunk, nullptr) << name;
    }
    EXPECT_NE(manager.sound(manager.soundCode("unsized"))->chunk, nullptr);
    EXPECT_NE(manager.sound(manager.soundCode("unpadded"))->chunk, nullptr);
    pentavel::closeLog();
    const std::string log = dir.read("log.html");
    for (const char* line :
         {"Cannot load in WAV file huge.wav (its data chunk declares 4294967280 bytes but 192 follow)!<",
          "Cannot load in WAV file long.wav (larger than 64 MB)!<",
          "Cannot load in WAV file slow.wav (converted for playing it would take 1682 MB)!<",
          "Cannot load in WAV file cut.wav (it has no format chunk)!<",
          "Cannot load in WAV file surround.wav (it has more than two channels and less than two sample "
          "frames)!<",
          "Cannot load in WAV file partial.wav (its data chunk ends inside the first sample frame)!<",
          "Cannot load in WAV file overrun.wav (its RIFF header declares 100 bytes but 98 follow)!<"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    }
    EXPECT_EQ(log.find("class=\"L1\">Cannot open"), std::string::npos) << log;
}

// A chunk of odd size is followed by a pad byte, and the next chunk starts after it: twice, so that a
// walk that loses a byte once does not find its way back.
TEST(WavLayout, ChunksOfOddSizeAreFollowedByAPadByte) {
    std::string wav = test::wavBytes(6);
    const std::string note = std::string("LIST\x03\0\0\0abc\0", 12) + std::string("note\x01\0\0\0x\0", 10);
    wav.insert(36, note);                             // after the format chunk
    wav.replace(4, 4, std::string("\x40\0\0\0", 4));  // 42 + 22
    const pentavel::audio::internal::WavLayout layout = pentavel::audio::internal::readWavLayout(
        reinterpret_cast<const unsigned char*>(wav.data()), wav.size());
    EXPECT_EQ(layout.fault, "");
    EXPECT_EQ(layout.dataBytes, 6u);
}

TEST_F(AudioRegistry, PlaysOnAFreeChannelAndDropsSoundsWhenAllEightAreBusy) {
    dir.write("beep.wav", test::wavBytes());
    registerAll();
    const int code = manager.soundCode("beep");
    for (int i = 0; i < 8; ++i) {
        const int channel = manager.playSound(code, 1.0f, 0.0f);
        ASSERT_GE(channel, 0);
        EXPECT_TRUE(Mix_Playing(channel));
    }
    EXPECT_EQ(manager.playSound(code, 1.0f, 0.0f), -1);
    EXPECT_EQ(Mix_Playing(-1), 8);
}

TEST_F(AudioRegistry, SilentWhenTheEffectiveVolumeIsNotPositive) {
    dir.write("beep.wav", test::wavBytes());
    registerAll();
    const int code = manager.soundCode("beep");
    EXPECT_EQ(manager.playSound(code, 0.0f, 0.0f), -1);
    EXPECT_EQ(manager.playSound(code, -0.5f, 0.0f), -1);
    EXPECT_EQ(manager.playSound(code, NAN, 0.0f), -1);
    manager.setSoundVolume(0.0f);
    EXPECT_EQ(manager.playSound(code, 1.0f, 0.0f), -1);
    EXPECT_EQ(Mix_Playing(-1), 0);

    // Loud requests are capped rather than dropped; odd positions still play.
    manager.setSoundVolume(1.0f);
    EXPECT_GE(manager.playSound(code, 5.0f, 3.0f), 0);
    EXPECT_GE(manager.playSound(code, 1.0f, NAN), 0);
}

TEST_F(AudioRegistry, SwitchedOffSoundPlaysAndLoadsNothing) {
    dir.write("beep.wav", test::wavBytes());
    registerAll();
    manager.setSoundEnabled(false);
    EXPECT_EQ(manager.playSound(1, 1.0f, 0.0f), -1);
    EXPECT_EQ(manager.sound(1)->chunk, nullptr);
    manager.setSoundEnabled(true);
    EXPECT_GE(manager.playSound(1, 1.0f, 0.0f), 0);
    EXPECT_NE(manager.sound(1)->chunk, nullptr);
}

TEST_F(AudioRegistry, MusicLoopsUntilReplacedAndStaysOffWhenSwitchedOff) {
    dir.write("tune.mod", test::modBytes());
    dir.write("noise.xm", "not a module");
    registerAll();
    const int tune = manager.musicCode("tune");
    ASSERT_EQ(tune, 1);
    ASSERT_NE(manager.music(tune)->music, nullptr);
    EXPECT_EQ(manager.musicCode("noise"), 2);
    EXPECT_EQ(manager.music(2)->music, nullptr);
    EXPECT_FALSE(manager.playMusic(2));

    EXPECT_TRUE(manager.playMusic(tune));
    EXPECT_TRUE(Mix_PlayingMusic());
    Mix_HaltMusic();

    manager.setMusicEnabled(false);
    EXPECT_FALSE(manager.playMusic(tune));
    EXPECT_FALSE(Mix_PlayingMusic());
}

TEST_F(AudioRegistry, StreamedMusicKeepsReadingFromItsOwnBytes) {
    // The mixer streams a WAV whatever the extension says; under a memory checker a freed buffer shows.
    dir.write("wave.xm", test::wavBytes(44100));
    registerAll();
    ASSERT_TRUE(manager.playMusic(manager.musicCode("wave")));
    SDL_PauseAudio(0);
    SDL_Delay(100);
    EXPECT_TRUE(Mix_PlayingMusic());
    Mix_HaltMusic();
}

TEST_F(AudioRegistry, VolumesAreClampedAndStoredInTheSettings) {
    EXPECT_TRUE(manager.setSoundVolume(1.5f));
    EXPECT_EQ(manager.soundVolume(), 1.0f);
    EXPECT_TRUE(manager.setSoundVolume(-0.25f));
    EXPECT_EQ(manager.soundVolume(), 0.0f);
    EXPECT_TRUE(manager.setMusicVolume(0.25f));
    EXPECT_EQ(manager.musicVolume(), 0.25f);
    EXPECT_EQ(Mix_VolumeMusic(-1), 32);

    float stored = -1.0f;
    pentavel::getSetting("audio", "sound", "volume", stored);
    EXPECT_EQ(stored, 0.0f);
    pentavel::getSetting("audio", "music", "volume", stored);
    EXPECT_EQ(stored, 0.25f);
    manager.setMusicVolume(1.0f);
}

TEST_F(AudioRegistry, ResetForgetsEveryFile) {
    dir.write("beep.wav", test::wavBytes());
    dir.write("tune.mod", test::modBytes());
    registerAll();
    ASSERT_EQ(manager.soundCode("beep"), 1);
    ASSERT_GE(manager.playSound(1, 1.0f, 0.0f), 0);
    manager.setSoundEnabled(false);
    manager.reset();
    EXPECT_EQ(manager.soundCount(), 1);
    EXPECT_EQ(manager.musicCount(), 1);
    EXPECT_EQ(manager.soundCode("beep"), 0);
    EXPECT_TRUE(manager.soundEnabled());
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(manager.mixingChannels(), 0);  // and the device with its channels
}

}  // namespace
