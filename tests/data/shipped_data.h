// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the shipped data lives at build time, and small readers for its files.

#include <tinyxml.h>

#include <cstdint>
#include <string>
#include <vector>

#ifndef TEZMOLA_DATA_DIR
#error "cmake/data.cmake passes TEZMOLA_DATA_DIR, TEZMOLA_PAK and TEZMOLA_SOURCE_DIR"
#endif

namespace test {

inline std::string dataDir() {
    return TEZMOLA_DATA_DIR;
}
inline std::string pakPath() {
    return TEZMOLA_PAK;
}
inline std::string sourceDir() {
    return TEZMOLA_SOURCE_DIR;
}

// Plain file names in the data folder with that extension, sorted.
std::vector<std::string> dataFiles(const std::string& extension);

struct SheetRect {
    std::string id;
    double x = 0, y = 0, width = 0, height = 0;
};

// An SVG sprite sheet as the game reads it: the canvas of the first "svg" and the named rectangles of
// its first "g".
struct SheetSvg {
    bool ok = false;
    double width = 0, height = 0;
    std::vector<SheetRect> rects;
};
SheetSvg readSheetSvg(const std::string& path);

// An RGBA picture decoded from a PNG file; empty on failure.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    const std::uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};
Picture readPng(const std::string& path);

std::uint32_t fileCrc32(const std::string& path);

// Mounts a fresh writable folder and the built archive as the only search path; the engine scans the
// archive's sprite sheets on the first call of the process.
// Returns the writable folder (where the log goes).
const std::string& useShippedArchive();

}  // namespace test
