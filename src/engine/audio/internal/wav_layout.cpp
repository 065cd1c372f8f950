// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/audio/internal/wav_layout.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pentavel {
namespace audio {
namespace internal {
namespace {

constexpr std::size_t kRiffHeaderBytes = 12;  // "RIFF", size, "WAVE"
constexpr std::size_t kChunkHeaderBytes = 8;  // identifier, size
constexpr std::uint64_t kMinFormatBytes = 16;
constexpr int kFewestBitsPerSample = 4;  // ADPCM

std::uint32_t littleEndian32(const unsigned char* bytes) {
    return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) | (std::uint32_t{bytes[2]} << 16) |
           (std::uint32_t{bytes[3]} << 24);
}

int littleEndian16(const unsigned char* bytes) {
    return bytes[0] | (bytes[1] << 8);
}

std::string chunkName(const unsigned char* bytes) {
    std::string name;
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = bytes[i];
        name.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
    }
    return name;
}

std::string tooLong(const std::string& what, std::uint64_t declared, std::uint64_t present) {
    return "its " + what + " declares " + std::to_string(declared) + " bytes but " + std::to_string(present) +
           " follow";
}

// The fields of a format chunk the size estimate needs; a fault when they cannot describe any sound.
std::string readFormat(const unsigned char* chunk, std::uint64_t length, WavLayout& layout) {
    if (length < kMinFormatBytes)
        return "its format chunk is only " + std::to_string(length) + " bytes long";
    layout.channels = littleEndian16(chunk + 2);
    layout.sampleRate = littleEndian32(chunk + 4);
    layout.bitsPerSample = littleEndian16(chunk + 14);
    if (layout.channels == 0)
        return "its format chunk declares no channels";
    if (layout.sampleRate == 0)
        return "its format chunk declares a sample rate of 0";
    return std::string();
}

WavLayout faulty(std::string fault) {
    WavLayout layout;
    layout.fault = std::move(fault);
    return layout;
}

}  // namespace

WavLayout readWavLayout(const unsigned char* bytes, std::size_t size) {
    if (bytes == nullptr || size < kRiffHeaderBytes || std::memcmp(bytes, "RIFF", 4) != 0 ||
        std::memcmp(bytes + 8, "WAVE", 4) != 0) {
        return faulty("not a RIFF WAVE file");
    }
    // A size counts the pad byte after an odd-sized last chunk, which some writers leave out.
    const std::uint64_t riffSize = littleEndian32(bytes + 4);
    if (riffSize > size - kChunkHeaderBytes + 1)
        return faulty(tooLong("RIFF header", riffSize, size - kChunkHeaderBytes));
    // A size of 0 comes from writers that could not go back to fill it in: the file's end counts.
    const std::size_t end =
        riffSize == 0 ? size
                      : static_cast<std::size_t>(std::min<std::uint64_t>(riffSize + kChunkHeaderBytes, size));
    WavLayout layout;
    bool format = false;
    // A RIFF size below 4 ends inside the header itself: then no chunk is read.
    for (std::size_t at = kRiffHeaderBytes; at <= end && end - at >= kChunkHeaderBytes;) {
        const std::string name = chunkName(bytes + at);
        const std::uint64_t length = littleEndian32(bytes + at + 4);
        at += kChunkHeaderBytes;
        if (length > end - at)
            return faulty(tooLong(name + " chunk", length, end - at));
        if (name == "fmt ") {
            std::string fault = readFormat(bytes + at, length, layout);
            if (!fault.empty())
                return faulty(std::move(fault));
            format = true;
        } else if (name == "data") {
            if (!format)
                return faulty("its data chunk comes before any format chunk");
            layout.dataBytes = length;
            // The mixer's conversion of more than two channels writes past its buffer when the samples
            // hold less than two frames; such a sound is too short to be heard anyway.
            const std::uint64_t frameBytes =
                std::uint64_t(layout.channels) * ((layout.bitsPerSample + 7) / 8);
            if (layout.channels > 2 && layout.bitsPerSample >= 8 && length < 2 * frameBytes)
                return faulty("it has more than two channels and less than two sample frames");
            // Its rate conversion writes past the buffer, too, when the samples end inside the first frame.
            if (layout.bitsPerSample >= 8 && length > 0 && length < frameBytes)
                return faulty("its data chunk ends inside the first sample frame");
            return layout;
        }
        at += static_cast<std::size_t>(std::min<std::uint64_t>(length + (length & 1), end - at));
    }
    return faulty(format ? "it has no data chunk" : "it has no format chunk");
}

std::uint64_t playbackBytes(const WavLayout& layout, int frequency, int channels, int bytesPerSample) {
    if (layout.channels <= 0 || layout.sampleRate == 0 || frequency <= 0)
        return 0;
    const std::uint64_t bitsPerFrame =
        std::uint64_t(layout.channels) * std::max(layout.bitsPerSample, kFewestBitsPerSample);
    const std::uint64_t frames = (layout.dataBytes * 8) / bitsPerFrame + 1;
    // At most 2^35 frames times a frequency below 2^32 fits in 64 bits.
    const std::uint64_t converted = frames * static_cast<std::uint64_t>(frequency) / layout.sampleRate + 1;
    return converted * static_cast<std::uint64_t>(std::max(channels, 1)) *
           static_cast<std::uint64_t>(std::max(bytesPerSample, 1));
}

}  // namespace internal
}  // namespace audio
}  // namespace pentavel
