// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The registry of sound and music files by base name, their codes, and playback through the mixer.

#include <SDL/SDL_mixer.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/file/file_system.h"

namespace pentavel {
namespace audio {
namespace internal {

class AudioResourceManager {
public:
    struct SoundInfo {
        std::string fileName;        // full name in the root of the virtual file system, e.g. beep1.wav
        Mix_Chunk* chunk = nullptr;  // null until loaded

        explicit SoundInfo(std::string name) : fileName(std::move(name)) {}
        ~SoundInfo();
        SoundInfo(const SoundInfo&) = delete;
        SoundInfo& operator=(const SoundInfo&) = delete;
    };
    struct MusicInfo {
        std::string fileName;
        Mix_Music* music = nullptr;  // null until loaded
        // The mixer streams some formats from the stream it was given, so the stream and its bytes
        // live as long as the music.
        SDL_RWops* stream = nullptr;
        file::FileData bytes;

        explicit MusicInfo(std::string name) : fileName(std::move(name)) {}
        ~MusicInfo();
        MusicInfo(const MusicInfo&) = delete;
        MusicInfo& operator=(const MusicInfo&) = delete;
    };

    // The module-wide manager, made on first use; destroyed at process exit.
    static AudioResourceManager& instance();

    // Empty: only the two placeholders (code 0), no names, switches on, volumes 1.0.
    AudioResourceManager();
    AudioResourceManager(const AudioResourceManager&) = delete;
    AudioResourceManager& operator=(const AudioResourceManager&) = delete;

    // Forgets every file (freeing what was loaded) and returns to the empty state.
    void reset();

    // Opens the mixer (22050 Hz, signed 16-bit, stereo, chunks of 1024), records what it reports,
    // registers Mix_CloseAudio at exit and allocates the mixing channels. False when it cannot.
    bool openDevice();
    // Gives every wav file in the root a code by base name; nothing is loaded.
    void registerSoundFiles();
    // The same for mod, then s3m, it and xm files; the first file of a base name wins.
    void registerMusicFiles();
    // Reads the "audio" switches and volumes, each defaulting to its current value.
    void readSettings();

    // 0 when no such name; otherwise the code, loading the file if it is not loaded yet.
    int soundCode(const std::string& name);
    int musicCode(const std::string& name);
    // Null for code 0 or an unknown code; an unloaded file is tried again on each request.
    Mix_Chunk* soundChunk(int code);
    Mix_Music* musicTrack(int code);

    // Plays the sound once at volume (times the sound volume) and position -1..1; returns the mixing
    // channel used, or -1 when nothing plays.
    int playSound(int code, float volume, float position);
    // Starts the music looping forever; false when music is off or the code has no music.
    bool playMusic(int code);

    // Each stores the value and writes it to the "audio" settings; returns the store's result.
    bool setSoundEnabled(bool enabled);
    bool setMusicEnabled(bool enabled);
    // Clamped to 0..1.
    bool setSoundVolume(float volume);
    bool setMusicVolume(float volume);

    bool soundEnabled() const { return soundEnabled_; }
    bool musicEnabled() const { return musicEnabled_; }
    float soundVolume() const { return soundVolume_; }
    float musicVolume() const { return musicVolume_; }
    int frequency() const { return frequency_; }
    Uint16 format() const { return format_; }
    int outputChannels() const { return outputChannels_; }
    int mixingChannels() const { return mixingChannels_; }
    // Including the placeholder at code 0.
    int soundCount() const { return static_cast<int>(sounds_.size()); }
    int musicCount() const { return static_cast<int>(music_.size()); }
    // Null for a code out of range.
    const SoundInfo* sound(int code) const;
    const MusicInfo* music(int code) const;

private:
    // Gives the mixer its music volume (0..1 scaled to the mixer's 0..128).
    void applyMusicVolume() const;
    // Null, after its error lines, for a file that cannot be read, is over 64 MB, has a damaged layout or
    // would take more than 256 MB once converted for the device.
    Mix_Chunk* loadWavFile(const std::string& fileName) const;
    // Fills info.music (null on failure), keeping the stream and bytes the mixer reads from.
    static Mix_Music* loadMusicFile(MusicInfo& info);

    std::vector<std::shared_ptr<SoundInfo>> sounds_;
    std::vector<std::shared_ptr<MusicInfo>> music_;
    std::map<std::string, int> soundCodes_;
    std::map<std::string, int> musicCodes_;
    int frequency_ = 0;
    Uint16 format_ = 0;
    int outputChannels_ = 0;
    int mixingChannels_ = 0;
    float soundVolume_ = 1.0f;
    float musicVolume_ = 1.0f;
    bool soundEnabled_ = true;
    bool musicEnabled_ = true;
};

}  // namespace internal
}  // namespace audio
}  // namespace pentavel
