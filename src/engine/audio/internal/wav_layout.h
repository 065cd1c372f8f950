// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chunk layout of a RIFF WAVE file, checked against the bytes actually present before the mixer sees
// it: the mixer takes memory for whatever sizes and sample rate a header declares.

#include <cstddef>
#include <cstdint>
#include <string>

namespace pentavel {
namespace audio {
namespace internal {

struct WavLayout {
    std::string fault;  // empty when the layout is sound; otherwise why not, as a clause
    int channels = 0;
    std::uint32_t sampleRate = 0;  // frames a second
    int bitsPerSample = 0;         // as declared; 4 for ADPCM
    std::uint64_t dataBytes = 0;   // size of the first data chunk
};

// Reads the layout. Sound when the bytes are a RIFF WAVE file whose RIFF size and every chunk up to the
// first "data" chunk fit in size bytes, with a format chunk of at least 16 bytes, one channel or more and a
// sample rate above 0 before the data. Faults read like "not a RIFF WAVE file" or "its data chunk
// declares 4294967295 bytes but 200 follow".
WavLayout readWavLayout(const unsigned char* bytes, std::size_t size);
// An upper estimate of the bytes the sound takes once converted to the device's frequency (Hz), channel
// count and bytes per sample; a low declared sample rate multiplies it.
std::uint64_t playbackBytes(const WavLayout& layout, int frequency, int channels, int bytesPerSample);

}  // namespace internal
}  // namespace audio
}  // namespace pentavel
