// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped sound effects: short 22050 Hz 16-bit WAVs that start and end in silence, peak near -3 dBFS,
// differ from one another, and decode through SDL as the mixer will.

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "data/shipped_data.h"
#include "support/test_support.h"

namespace {

struct Wav {
    bool ok = false;
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<std::int16_t> samples;
};

std::uint32_t le32(const std::string& b, size_t at) {
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}
std::uint16_t le16(const std::string& b, size_t at) {
    return std::uint16_t(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}

// Walks the RIFF chunks; any size that runs past the end makes the file not ok.
Wav parseWav(const std::string& bytes) {
    Wav wav;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return wav;
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const std::uint32_t size = le32(bytes, at + 4);
        if (size > bytes.size() - at - 8)
            return wav;
        if (id == "fmt " && size >= 16) {
            wav.format = le16(bytes, at + 8);
            wav.channels = le16(bytes, at + 10);
            wav.rate = static_cast<int>(le32(bytes, at + 12));
            wav.bits = le16(bytes, at + 22);
            haveFormat = true;
        } else if (id == "data" && haveFormat) {
            wav.samples.resize(size / 2);
            std::memcpy(wav.samples.data(), bytes.data() + at + 8, wav.samples.size() * 2);
            wav.ok = true;
        }
        at += 8 + size + (size & 1);
    }
    return wav;
}

const char* const kSounds[] = {"beep1", "beep2", "beep3", "beep4", "beep5"};

Wav loadSound(const std::string& name) {
    return parseWav(test::readWholeFile(test::dataDir() + "/" + name + ".wav"));
}

TEST(SoundFiles, AreShortMono22050Hz16BitPcm) {
    for (const char* name : kSounds) {
        const Wav wav = loadSound(name);
        ASSERT_TRUE(wav.ok) << name;
        EXPECT_EQ(wav.format, 1) << name;
        EXPECT_EQ(wav.channels, 1) << name;
        EXPECT_EQ(wav.rate, 22050) << name;
        EXPECT_EQ(wav.bits, 16) << name;
        EXPECT_GT(wav.samples.size(), 22050u * 30 / 1000) << name << " is too short to hear";
        EXPECT_LT(wav.samples.size(), 22050u * 200 / 1000) << name;
    }
}

TEST(SoundFiles, PeakNearMinusThreeDecibelsAndStartAndEndInSilence) {
    for (const char* name : kSounds) {
        const Wav wav = loadSound(name);
        ASSERT_TRUE(wav.ok) << name;
        int peak = 0;
        for (std::int16_t s : wav.samples)
            peak = std::max(peak, std::abs(int(s)));
        const double dbfs = 20.0 * std::log10(peak / 32768.0);
        EXPECT_NEAR(dbfs, -3.0, 0.5) << name;
        // No click: the sound rises from silence over a few samples and has faded out by its end.
        EXPECT_LT(std::abs(int(wav.samples.front())), peak / 50) << name << " starts with a click";
        for (size_t i = 0; i < 11; ++i)
            EXPECT_LT(std::abs(int(wav.samples[i])), peak / 2) << name << " starts with a click";
        for (size_t i = 0; i < 22; ++i)
            EXPECT_LT(std::abs(int(wav.samples[wav.samples.size() - 1 - i])), peak / 8)
                << name << " ends with a click";
        EXPECT_LT(std::abs(int(wav.samples.back())), 64) << name;
    }
}

// Zero crossings per second as a rough pitch: the five sounds must not be mistaken for one another.
TEST(SoundFiles, DifferFromOneAnother) {
    std::vector<std::pair<double, size_t>> signatures;
    for (const char* name : kSounds) {
        const Wav wav = loadSound(name);
        ASSERT_TRUE(wav.ok) << name;
        int crossings = 0;
        for (size_t i = 1; i < wav.samples.size(); ++i)
            crossings += (wav.samples[i - 1] < 0) != (wav.samples[i] < 0);
        signatures.emplace_back(crossings * 22050.0 / wav.samples.size(), wav.samples.size());
    }
    for (size_t i = 0; i < signatures.size(); ++i)
        for (size_t j = 0; j < i; ++j) {
            const bool pitchDiffers = std::abs(signatures[i].first - signatures[j].first) >
                                      0.15 * std::max(signatures[i].first, signatures[j].first);
            const bool lengthDiffers = std::abs(double(signatures[i].second) - double(signatures[j].second)) >
                                       0.25 * std::max(signatures[i].second, signatures[j].second);
            EXPECT_TRUE(pitchDiffers || lengthDiffers) << kSounds[i] << " sounds like " << kSounds[j];
        }
}

TEST(SoundFiles, DecodeThroughSdl) {
    for (const char* name : kSounds) {
        const std::string bytes = test::readWholeFile(test::dataDir() + "/" + name + ".wav");
        SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
        ASSERT_NE(stream, nullptr);
        SDL_AudioSpec audioFormat;
        Uint8* buffer = nullptr;
        Uint32 length = 0;
        ASSERT_NE(SDL_LoadWAV_RW(stream, 1, &audioFormat, &buffer, &length), nullptr)
            << name << ": " << SDL_GetError();
        EXPECT_EQ(audioFormat.freq, 22050) << name;
        EXPECT_EQ(audioFormat.format, AUDIO_S16LSB) << name;
        EXPECT_EQ(length, loadSound(name).samples.size() * 2) << name;
        SDL_FreeWAV(buffer);
    }
}

// The parser above must not be fooled by the damaged files a player might drop in the per-user folder.
TEST(SoundFiles, DamagedWavIsRecognisedAsSuch) {
    const std::string good = test::readWholeFile(test::dataDir() + "/beep1.wav");
    EXPECT_TRUE(parseWav(good).ok);
    EXPECT_FALSE(parseWav(good.substr(0, 30)).ok);
    std::string lying = good;
    lying[40] = '\xff';
    lying[41] = '\xff';
    lying[42] = '\xff';
    EXPECT_FALSE(parseWav(lying).ok);
    EXPECT_FALSE(parseWav("").ok);
}

}  // namespace
