// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/audio/internal/audio_resource_manager.h"

#include <physfs.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "engine/audio/audio.h"
#include "engine/audio/internal/wav_layout.h"
#include "engine/file/log.h"
#include "engine/file/settings.h"

namespace pentavel {
namespace audio {
namespace internal {

namespace {

constexpr int kFrequency = 22050;
constexpr Uint16 kFormat = 0x8010;  // signed 16-bit little-endian samples
constexpr int kOutputChannels = 2;
constexpr int kChunkSize = 1024;
constexpr int kMixingChannels = 8;
constexpr int kLoopForever = -1;
// No sound effect comes near this; larger files are refused before they are read.
constexpr std::int64_t kMaxSoundFileBytes = std::int64_t{64} * 1024 * 1024;
// Nor this once converted to the device's format (about 25 minutes at 22050 Hz, 16-bit stereo).
constexpr std::uint64_t kMaxPlaybackBytes = std::uint64_t{256} * 1024 * 1024;

// Lower extensions win: every mod file is registered before any s3m file of the same base name.
constexpr const char* kMusicExtensions[] = {"mod", "s3m", "it", "xm"};

// Registers each file of the extension under its base name unless that name is already taken.
template <typename Info>
void registerFiles(const char* extension, std::map<std::string, int>& codes,
                   std::vector<std::shared_ptr<Info>>& entries) {
    logDebug("---- List of %s files", extension);
    const std::size_t suffixLength = std::strlen(extension) + 1;  // the dot and the extension
    const file::FileList names = file::listFiles(extension);
    if (!names)
        return;
    for (const std::string& name : *names) {
        logDebug("-- %s", name.c_str());
        if (name.size() < suffixLength)
            continue;
        const std::string base = name.substr(0, name.size() - suffixLength);
        if (codes.count(base) != 0)
            continue;
        codes.emplace(base, static_cast<int>(entries.size()));
        entries.push_back(std::make_shared<Info>(name));
    }
}

// Null when the bytes cannot back a stream (an empty file, or one too large for the mixer's int sizes).
// Such a stream is released with SDL_RWclose: SDL_FreeRW would leave the compatibility library's inner
// stream behind on every load.
SDL_RWops* streamOver(file::FileData& bytes) {
    if (bytes.size == 0 || bytes.size > static_cast<std::uint32_t>(INT_MAX))
        return nullptr;
    return SDL_RWFromMem(bytes.data, static_cast<int>(bytes.size));
}

// Declared size of a file of the search path; -1 when it cannot be opened (reading it reports that).
std::int64_t fileLength(const char* name) {
    file::FileHandle* file = file::openFileRead(name);
    if (file == nullptr)
        return -1;
    const std::int64_t length = PHYSFS_fileLength(file);
    file::closeFile(file);
    return length;
}

float clampUnit(float value) {
    if (!(value > 0.0f))
        return 0.0f;  // NaN too
    return value > 1.0f ? 1.0f : value;
}

}  // namespace

AudioResourceManager::SoundInfo::~SoundInfo() {
    if (chunk != nullptr)
        Mix_FreeChunk(chunk);
}

AudioResourceManager::MusicInfo::~MusicInfo() {
    if (music != nullptr)
        Mix_FreeMusic(music);
    if (stream != nullptr)
        SDL_RWclose(stream);
}

AudioResourceManager& AudioResourceManager::instance() {
    // Its destructor is queued with the exit handlers when it is built, so it runs after Mix_CloseAudio
    // (registered later by openDevice): the device closes before the samples are freed.
    static AudioResourceManager manager;
    return manager;
}

AudioResourceManager::AudioResourceManager() {
    reset();
}

void AudioResourceManager::reset() {
    sounds_.clear();
    music_.clear();
    soundCodes_.clear();
    musicCodes_.clear();
    sounds_.push_back(std::make_shared<SoundInfo>(std::string()));
    music_.push_back(std::make_shared<MusicInfo>(std::string()));
    frequency_ = 0;
    format_ = 0;
    outputChannels_ = 0;
    mixingChannels_ = 0;
    soundVolume_ = 1.0f;
    musicVolume_ = 1.0f;
    soundEnabled_ = true;
    musicEnabled_ = true;
}

bool AudioResourceManager::openDevice() {
    if (Mix_OpenAudio(kFrequency, kFormat, kOutputChannels, kChunkSize) < 0) {
        logError("Cannot open audio system (frequency: %d, format: %d, num. channels: %d, chunk size: %d",
                 kFrequency, kFormat, kOutputChannels, kChunkSize);
        return false;
    }
    if (Mix_QuerySpec(&frequency_, &format_, &outputChannels_) == 0) {
        logError("Cannot query audio system (frequency: %d, format: %d, num. channels: %d, chunk size: %d",
                 kFrequency, kFormat, kOutputChannels, kChunkSize);
        Mix_CloseAudio();
        return false;
    }
    logInfo("Audio system initialised (frequency: %d, format: %d, num. channels: %d, chunk size: %d",
            frequency_, format_, outputChannels_, kChunkSize);
    std::atexit(Mix_CloseAudio);
    mixingChannels_ = kMixingChannels;
    Mix_AllocateChannels(mixingChannels_);
    return true;
}

void AudioResourceManager::registerSoundFiles() {
    registerFiles("wav", soundCodes_, sounds_);
}

void AudioResourceManager::registerMusicFiles() {
    for (const char* extension : kMusicExtensions)
        registerFiles(extension, musicCodes_, music_);
}

void AudioResourceManager::readSettings() {
    soundEnabled_ = true;
    musicEnabled_ = true;
    soundVolume_ = 1.0f;
    musicVolume_ = 1.0f;

    int active = soundEnabled_ ? 1 : 0;
    getSetting("audio", "sound", "active", active);
    soundEnabled_ = active != 0;
    getSetting("audio", "sound", "volume", soundVolume_);
    active = musicEnabled_ ? 1 : 0;
    getSetting("audio", "music", "active", active);
    musicEnabled_ = active != 0;
    getSetting("audio", "music", "volume", musicVolume_);
    applyMusicVolume();
}

int AudioResourceManager::soundCode(const std::string& name) {
    const auto found = soundCodes_.find(name);
    if (found == soundCodes_.end())
        return 0;
    soundChunk(found->second);
    return found->second;
}

int AudioResourceManager::musicCode(const std::string& name) {
    logDebug("Getting code for %s...", name.c_str());
    const auto found = musicCodes_.find(name);
    if (found == musicCodes_.end())
        return 0;
    musicTrack(found->second);
    logDebug("...code is %d, filename is %s", found->second, music_[found->second]->fileName.c_str());
    return found->second;
}

Mix_Chunk* AudioResourceManager::soundChunk(int code) {
    if (code <= 0 || code >= soundCount())
        return nullptr;
    SoundInfo& info = *sounds_[code];
    if (info.chunk == nullptr)
        info.chunk = loadWavFile(info.fileName);
    return info.chunk;
}

Mix_Music* AudioResourceManager::musicTrack(int code) {
    if (code <= 0 || code >= musicCount())
        return nullptr;
    MusicInfo& info = *music_[code];
    if (info.music == nullptr)
        loadMusicFile(info);
    return info.music;
}

int AudioResourceManager::playSound(int code, float volume, float position) {
    float effective = volume * soundVolume_;
    if (!soundEnabled_)
        return -1;
    if (!(effective > 0.0f))
        return -1;  // NaN plays nothing as well
    if (effective > 1.0f)
        effective = 1.0f;
    Mix_Chunk* chunk = soundChunk(code);
    if (chunk == nullptr)
        return -1;
    // With every channel busy the sound is dropped.
    const int channel = Mix_PlayChannelTimed(-1, chunk, 0, -1);
    if (channel < 0)
        return -1;
    unsigned char left = 0;
    unsigned char right = 0;
    panningGains(effective, position, left, right);
    Mix_SetPanning(channel, left, right);
    return channel;
}

bool AudioResourceManager::playMusic(int code) {
    if (!musicEnabled_)
        return false;
    Mix_Music* track = musicTrack(code);
    if (track == nullptr)
        return false;
    return Mix_PlayMusic(track, kLoopForever) == 0;
}

bool AudioResourceManager::setSoundEnabled(bool enabled) {
    soundEnabled_ = enabled;
    return setSetting("audio", "sound", "active", enabled ? 1 : 0);
}

bool AudioResourceManager::setMusicEnabled(bool enabled) {
    musicEnabled_ = enabled;
    return setSetting("audio", "music", "active", enabled ? 1 : 0);
}

bool AudioResourceManager::setSoundVolume(float volume) {
    soundVolume_ = clampUnit(volume);
    return setSetting("audio", "sound", "volume", soundVolume_);
}

bool AudioResourceManager::setMusicVolume(float volume) {
    musicVolume_ = clampUnit(volume);
    applyMusicVolume();
    return setSetting("audio", "music", "volume", musicVolume_);
}

const AudioResourceManager::SoundInfo* AudioResourceManager::sound(int code) const {
    if (code < 0 || code >= soundCount())
        return nullptr;
    return sounds_[code].get();
}

const AudioResourceManager::MusicInfo* AudioResourceManager::music(int code) const {
    if (code < 0 || code >= musicCount())
        return nullptr;
    return music_[code].get();
}

void AudioResourceManager::applyMusicVolume() const {
    // A value read from the settings file is not clamped when stored, so clamp it here.
    Mix_VolumeMusic(static_cast<int>(std::lround(clampUnit(musicVolume_) * MIX_MAX_VOLUME)));
}

Mix_Chunk* AudioResourceManager::loadWavFile(const std::string& fileName) const {
    const char* name = fileName.c_str();
    if (fileLength(name) > kMaxSoundFileBytes) {
        logError("Cannot load in WAV file %s (larger than %lld MB)!", name,
                 static_cast<long long>(kMaxSoundFileBytes >> 20));
        return nullptr;
    }
    file::FileData bytes = file::readFileToMemory(name);
    if (bytes.data == nullptr) {
        logError("Cannot load in WAV file %s!", name);
        return nullptr;
    }
    // The mixer would take memory for whatever sizes and rate the header declares.
    const WavLayout layout = readWavLayout(bytes.data, bytes.size);
    if (!layout.fault.empty()) {
        logError("Cannot load in WAV file %s (%s)!", name, layout.fault.c_str());
        return nullptr;
    }
    const std::uint64_t converted = playbackBytes(layout, frequency_, outputChannels_, (format_ & 0xFF) / 8);
    if (converted > kMaxPlaybackBytes) {
        logError("Cannot load in WAV file %s (converted for playing it would take %llu MB)!", name,
                 static_cast<unsigned long long>(converted >> 20));
        return nullptr;
    }
    SDL_RWops* stream = streamOver(bytes);
    if (stream == nullptr)
        return nullptr;
    // The mixer decodes into its own buffer, so the stream and the file bytes can go right away.
    Mix_Chunk* chunk = Mix_LoadWAV_RW(stream, 0);
    SDL_RWclose(stream);
    return chunk;
}

Mix_Music* AudioResourceManager::loadMusicFile(MusicInfo& info) {
    const char* name = info.fileName.c_str();
    logDebug("Loading in %s...", name);
    file::FileData bytes = file::readFileToMemory(name);
    if (bytes.data == nullptr) {
        logError("Cannot load in music file %s!", name);
        return nullptr;
    }
    SDL_RWops* stream = streamOver(bytes);
    if (stream == nullptr)
        return nullptr;
    Mix_Music* music = Mix_LoadMUS_RW(stream);
    if (music == nullptr) {
        SDL_RWclose(stream);
        return nullptr;
    }
    info.music = music;
    info.stream = stream;
    info.bytes = std::move(bytes);
    logDebug("Loaded in %s!", name);
    return music;
}

}  // namespace internal
}  // namespace audio
}  // namespace pentavel
