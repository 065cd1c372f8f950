// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sound effects and music through the mixer, named by base name (beep1.wav is "beep1").

namespace pentavel {
namespace audio {

// Opens the device (22050 Hz, signed 16-bit, stereo, 1024), registers every sound and music file and reads
// the "audio" settings. False when the device cannot be opened or queried.
bool startAudio();

// 0 when no such sound; otherwise its code, loading the file on first request.
int soundCode(const char* name);
int musicCode(const char* name);
// Plays the sound once: volume 0..1 (times the sound volume), position -1 (left) .. 1 (right).
void playSound(int code, float volume, float position);
void playSoundByName(const char* name, float volume, float position);
void playMusic(int code);
void playMusicByName(const char* name);

bool setSoundEnabled(bool enabled);
bool setMusicEnabled(bool enabled);
// The player's switches: each stores its choice in the settings and saves them at once.
bool toggleSound();
bool toggleMusic();
bool setSoundVolume(float volume);
bool setMusicVolume(float volume);
bool soundEnabled();
bool musicEnabled();
float soundVolume();
float musicVolume();

// The volume a number of tenths up (or down, when negative) from volume, on the tenths and within 0..1: a
// volume between two tenths goes first to the next one in that direction.
float steppedVolume(float volume, int tenths);

// The stereo gains playSound gives the mixer for an effective volume v and a position (each 0..255).
void panningGains(float volume, float position, unsigned char& left, unsigned char& right);

}  // namespace audio
}  // namespace pentavel
