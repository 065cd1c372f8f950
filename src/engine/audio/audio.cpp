// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/audio/audio.h"

#include <algorithm>
#include <cmath>

#include "engine/audio/internal/audio_resource_manager.h"
#include "engine/file/settings.h"

namespace pentavel {
namespace audio {

namespace {

internal::AudioResourceManager& manager() {
    return internal::AudioResourceManager::instance();
}

// One side's gain for its distance factor (1 - position on the left, 1 + position on the right): every
// step is rounded to single precision, then scaled to 0..255 and truncated.
unsigned char sideGain(float distance, float halfVolume) {
    const float share = distance * halfVolume;
    const float remainder = 1.0f - share;
    const float gain = 1.0f - remainder * remainder;
    return static_cast<unsigned char>(gain * 255.0);
}

}  // namespace

bool startAudio() {
    internal::AudioResourceManager& audio = manager();
    if (!audio.openDevice())
        return false;
    audio.registerSoundFiles();
    audio.registerMusicFiles();
    audio.readSettings();
    return true;
}

int soundCode(const char* name) {
    return name == nullptr ? 0 : manager().soundCode(name);
}

int musicCode(const char* name) {
    return name == nullptr ? 0 : manager().musicCode(name);
}

void playSound(int code, float volume, float position) {
    manager().playSound(code, volume, position);
}

void playSoundByName(const char* name, float volume, float position) {
    playSound(soundCode(name), volume, position);
}

void playMusic(int code) {
    manager().playMusic(code);
}

void playMusicByName(const char* name) {
    playMusic(musicCode(name));
}

bool setSoundEnabled(bool enabled) {
    return manager().setSoundEnabled(enabled);
}

bool setMusicEnabled(bool enabled) {
    return manager().setMusicEnabled(enabled);
}

bool toggleSound() {
    const bool switched = setSoundEnabled(!soundEnabled());
    saveChangedSettings();
    return switched;
}

bool toggleMusic() {
    const bool switched = setMusicEnabled(!musicEnabled());
    saveChangedSettings();
    return switched;
}

bool setSoundVolume(float volume) {
    return manager().setSoundVolume(volume);
}

bool setMusicVolume(float volume) {
    return manager().setMusicVolume(volume);
}

bool soundEnabled() {
    return manager().soundEnabled();
}

bool musicEnabled() {
    return manager().musicEnabled();
}

float soundVolume() {
    return manager().soundVolume();
}

float musicVolume() {
    return manager().musicVolume();
}

float steppedVolume(float volume, int tenths) {
    if (!(volume > 0.0f))
        volume = 0.0f;  // NaN too
    // A stored 0.7 reads as 0.69999...: within a thousandth of a tenth counts as on it.
    const float scaled = volume * 10.0f;
    const float onTenth = std::round(scaled);
    float from = std::fabs(scaled - onTenth) < 0.001f ? onTenth
                                                      : (tenths > 0 ? std::floor(scaled) : std::ceil(scaled));
    from += static_cast<float>(tenths);
    return std::min(std::max(from, 0.0f), 10.0f) / 10.0f;
}

void panningGains(float volume, float position, unsigned char& left, unsigned char& right) {
    float v = volume > 1.0f ? 1.0f : volume;
    if (!(v > 0.0f))
        v = 0.0f;
    // NaN counts as the centre.
    float p = position != position ? 0.0f : position;
    if (p < -1.0f)
        p = -1.0f;
    if (p > 1.0f)
        p = 1.0f;
    const float halfVolume = v * 0.5f;
    left = sideGain(1.0f - p, halfVolume);
    right = sideGain(1.0f + p, halfVolume);
}

}  // namespace audio
}  // namespace pentavel
