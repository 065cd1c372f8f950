// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/audio/audio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "audio/sound_files.h"
#include "engine/audio/internal/audio_resource_manager.h"
#include "engine/file/log.h"
#include "engine/file/settings.h"
#include "support/mounted_folder.h"

namespace audio = pentavel::audio;
using pentavel::audio::internal::AudioResourceManager;

namespace {

struct Gains {
    int left;
    int right;
};

Gains gainsFor(float volume, float position) {
    unsigned char left = 0;
    unsigned char right = 0;
    audio::panningGains(volume, position, left, right);
    return {left, right};
}

// F6 and F7 step the sound volume in tenths: a volume between two goes to the next one first, and the ends
// hold.
TEST(SteppedVolume, GoesByTenthsWithinZeroAndOne) {
    const struct {
        float volume;
        int tenths;
        float stepped;
    } cases[] = {
        {0.7f, 1, 0.8f}, {0.7f, -1, 0.6f},  {0.65f, 1, 0.7f}, {0.65f, -1, 0.6f}, {0.95f, 1, 1.0f},
        {1.0f, 1, 1.0f}, {0.05f, -1, 0.0f}, {0.0f, -1, 0.0f}, {0.3f, 3, 0.6f},   {NAN, 1, 0.1f},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(c.stepped, audio::steppedVolume(c.volume, c.tenths))
            << c.volume << " by " << c.tenths;
}

TEST(PanningGains, FollowTheSquaredFalloffOnEachSideUpToTheEdges) {
    const struct {
        float volume, position;
        int left, right;
    } cases[] = {
        {1.0f, 0.0f, 191, 191},
        {1.0f, -1.0f, 255, 0},
        {1.0f, 1.0f, 0, 255},
        {0.5f, 0.0f, 111, 111},
        {1.0f, 0.5f, 111, 239},
        {1.0f, -0.5f, 239, 111},
        {0.5f, 1.0f, 0, 191},
        {0.0f, 0.0f, 0, 0},
        {0.25f, 0.0f, 59, 59},
        // Worked in double precision these would give 61 and 104 on the left.
        {0.143f, -0.787f, 60, 7},
        {0.418f, -0.115f, 105, 85},
        // Positions beyond the edges count as the edges; no position at all as the centre.
        {1.0f, 3.0f, 0, 255},
        {1.0f, -7.0f, 255, 0},
        {1.0f, NAN, 191, 191},
    };
    for (const auto& c : cases) {
        const Gains gains = gainsFor(c.volume, c.position);
        EXPECT_EQ(gains.left, c.left) << "volume " << c.volume << " position " << c.position;
        EXPECT_EQ(gains.right, c.right) << "volume " << c.volume << " position " << c.position;
    }
}

class AudioSystem : public ::testing::Test {
protected:
    void SetUp() override { AudioResourceManager::instance().reset(); }
    void TearDown() override {
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
        AudioResourceManager::instance().reset();
    }

    void loadSettingsFile(const std::string& xml) {
        dir.write("settings.xml", xml);
        pentavel::loadSettings("settings.xml");
    }

    int intSetting(const char* key, const char* attribute) {
        int value = -1;
        pentavel::getSetting("audio", key, attribute, value);
        return value;
    }

    test::MountedFolder dir;
};

TEST_F(AudioSystem, StartsWithoutAnySoundFilesWritingTheDefaultsIntoTheSettings) {
    pentavel::loadSettings("settings.xml");
    ASSERT_TRUE(audio::startAudio());
    EXPECT_EQ(audio::soundCode("beep1"), 0);
    EXPECT_EQ(audio::musicCode("beep1"), 0);
    audio::playSound(0, 1.0f, 0.0f);
    audio::playSoundByName("beep1", 1.0f, 0.0f);
    audio::playMusicByName("beep1");
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_FALSE(Mix_PlayingMusic());
    EXPECT_TRUE(audio::soundEnabled());
    EXPECT_TRUE(audio::musicEnabled());
    EXPECT_EQ(audio::soundVolume(), 1.0f);
    EXPECT_EQ(audio::musicVolume(), 1.0f);
    ASSERT_TRUE(pentavel::saveSettings("settings.xml"));
    const std::string saved = dir.read("settings.xml");
    EXPECT_NE(saved.find("<sound active=\"1\" volume=\"1.000000\" />"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<music active=\"1\" volume=\"1.000000\" />"), std::string::npos) << saved;
}

TEST_F(AudioSystem, ReadsSwitchesAndVolumesFromTheSettingsUnclamped) {
    loadSettingsFile(
        "<audio><sound active=\"0\" volume=\"0.5\" /><music active=\"0\" volume=\"2.5\" /></audio>");
    ASSERT_TRUE(audio::startAudio());
    EXPECT_FALSE(audio::soundEnabled());
    EXPECT_FALSE(audio::musicEnabled());
    EXPECT_EQ(audio::soundVolume(), 0.5f);
    EXPECT_EQ(audio::musicVolume(), 2.5f);
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);
}

TEST_F(AudioSystem, MusicSwitchedOffInTheSettingsKeepsPlayMusicSilent) {
    dir.write("tune.mod", test::modBytes());
    loadSettingsFile("<audio><music active=\"0\" /></audio>");
    ASSERT_TRUE(audio::startAudio());
    const int tune = audio::musicCode("tune");
    ASSERT_EQ(tune, 1);
    audio::playMusic(tune);
    EXPECT_FALSE(Mix_PlayingMusic());

    audio::toggleMusic();
    EXPECT_EQ(intSetting("music", "active"), 1);
    audio::playMusicByName("tune");
    EXPECT_TRUE(Mix_PlayingMusic());
}

TEST_F(AudioSystem, ToggleSoundTwiceLeavesSoundOnInTheSavedSettings) {
    dir.write("beep1.wav", test::wavBytes());
    pentavel::loadSettings("settings.xml");
    ASSERT_TRUE(audio::startAudio());
    EXPECT_TRUE(audio::toggleSound());
    EXPECT_FALSE(audio::soundEnabled());
    EXPECT_EQ(intSetting("sound", "active"), 0);
    // Saved at once, so that a crash cannot lose the switch.
    EXPECT_NE(dir.read("settings.xml").find("<sound active=\"0\""), std::string::npos);
    EXPECT_TRUE(audio::toggleSound());
    EXPECT_TRUE(audio::soundEnabled());
    EXPECT_TRUE(audio::toggleMusic());
    EXPECT_EQ(intSetting("music", "active"), 0);
    EXPECT_TRUE(audio::toggleMusic());
    EXPECT_EQ(intSetting("music", "active"), 1);
    ASSERT_TRUE(pentavel::saveSettings("settings.xml"));

    pentavel::resetSettings();
    pentavel::loadSettings("settings.xml");
    EXPECT_EQ(intSetting("sound", "active"), 1);
}

TEST_F(AudioSystem, SoundVolumeZeroSilencesFullVolumeRequests) {
    dir.write("beep1.wav", test::wavBytes());
    loadSettingsFile("<audio><sound volume=\"0.0\" /></audio>");
    ASSERT_TRUE(audio::startAudio());
    SDL_PauseAudio(1);
    const int code = audio::soundCode("beep1");
    ASSERT_EQ(code, 1);
    audio::playSound(code, 1.0f, 0.0f);
    EXPECT_EQ(Mix_Playing(-1), 0);
    audio::setSoundVolume(0.5f);
    audio::playSoundByName("beep1", 1.0f, -0.3f);
    EXPECT_EQ(Mix_Playing(-1), 1);
}

TEST_F(AudioSystem, LogsTheDeviceAndEachFailedLoad) {
    dir.write("beep1.wav", test::wavBytes());
    ASSERT_TRUE(pentavel::openLog());
    pentavel::loadSettings("settings.xml");
    ASSERT_TRUE(audio::startAudio());
    std::filesystem::remove(dir.path() + "/beep1.wav");
    EXPECT_EQ(audio::soundCode("beep1"), 1);
    audio::playSound(1, 1.0f, 0.0f);
    pentavel::closeLog();

    const std::string log = dir.read("log.html");
    EXPECT_NE(log.find("Audio system initialised (frequency: 22050, format: 32784, num. channels: 2, "
                       "chunk size: 1024</span>"),
              std::string::npos)
        << log;
    const std::string failure = "Cannot load in WAV file beep1.wav!";
    const std::size_t first = log.find(failure);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_NE(log.find(failure, first + 1), std::string::npos) << "a failed file is retried on each request";
}

}  // namespace
