// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tiny sound and music files written by the audio tests.

#include <cstdint>
#include <string>

namespace test {

inline void putLittle(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A valid PCM WAV: mono, 8-bit, 22050 Hz, a quiet square wave of the given length.
inline std::string wavBytes(std::uint32_t samples = 22050) {
    std::string out = "RIFF";
    putLittle(out, 36 + samples, 4);
    out += "WAVEfmt ";
    putLittle(out, 16, 4);     // format chunk size
    putLittle(out, 1, 2);      // PCM
    putLittle(out, 1, 2);      // mono
    putLittle(out, 22050, 4);  // sample rate
    putLittle(out, 22050, 4);  // byte rate
    putLittle(out, 1, 2);      // block align
    putLittle(out, 8, 2);      // bits per sample
    out += "data";
    putLittle(out, samples, 4);
    for (std::uint32_t i = 0; i < samples; ++i)
        out.push_back(static_cast<char>((i / 50) % 2 ? 0x90 : 0x70));
    return out;
}

// Starts like a WAV but breaks off inside the format chunk.
inline std::string damagedWavBytes() {
    return wavBytes(64).substr(0, 20) + "garbage";
}

// A four-channel tracker module: one pattern, one short looping sample, no notes.
inline std::string modBytes() {
    std::string out(20, '\0');  // title
    for (int sample = 0; sample < 31; ++sample) {
        std::string header(30, '\0');
        if (sample == 0) {
            header[23] = 16;  // length in words, big-endian
            header[25] = 64;  // volume
            header[29] = 16;  // loop length in words
        }
        out += header;
    }
    out.push_back(1);               // song length
    out.push_back(127);             // restart position
    out += std::string(128, '\0');  // pattern order
    out += "M.K.";
    out += std::string(64 * 4 * 4, '\0');  // pattern 0
    for (int i = 0; i < 32; ++i)
        out.push_back(static_cast<char>(i % 2 ? 40 : -40));
    return out;
}

}  // namespace test
