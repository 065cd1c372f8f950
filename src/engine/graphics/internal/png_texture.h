// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PNG files to OpenGL textures: decoded with libpng to 8-bit RGBA, top row first, resampled to a
// power-of-two size the driver accepts, uploaded without mipmaps, clamped to edge, linear filters.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/file/file_system.h"

namespace pentavel {
namespace graphics {
namespace internal {

// A side longer than this is refused before any pixel memory is allocated.
constexpr int kMaxPngSide = 16384;
// No sprite sheet comes near this; it keeps a stray huge file from exhausting memory.
constexpr std::int64_t kMaxPngFileBytes = std::int64_t{256} * 1024 * 1024;

// Why a picture was refused.
enum class PngFault { None, NotPng, Damaged, SideTooLarge, FileTooLarge, ReadFailed, OutOfMemory, Refused };

struct PngImage {
    int width = 0, height = 0;              // size of pixels
    int sourceWidth = 0, sourceHeight = 0;  // size declared by the file
    int depth = 0;                          // bits per channel in the file
    bool alpha = false;                     // the file carries alpha (channel or transparency chunk)
    std::vector<std::uint8_t> pixels;       // RGBA, 4 bytes a pixel, top row first
    PngFault fault = PngFault::None;        // set, with detail, when the picture was refused
    std::string detail;                     // the decoder's own words, sizes; may be empty
};

// Decodes a whole PNG held in memory to RGBA at its own size. Needs no OpenGL context. False (image
// emptied but for fault and detail) when the bytes are no PNG or damaged, a side exceeds kMaxPngSide, or
// the compressed picture data is too short to hold the pixels the header declares; in that last case no
// memory is taken for the pixels.
bool decodePng(const unsigned char* bytes, std::size_t size, PngImage& image);
// Why the picture was refused, as the rest of a sentence after its name ("is not a PNG file").
std::string describePngFault(const PngImage& image);
// The power of two at or above side, but no more than the largest power of two within maxSide.
int textureSide(int side, int maxSide);
// Bilinear resampling of an RGBA picture so that it spans width x height pixels.
std::vector<std::uint8_t> resampleRgba(const std::vector<std::uint8_t>& pixels, int sourceWidth,
                                       int sourceHeight, int width, int height);
// decodePng, then resampling to textureSide in both directions.
bool preparePngTexture(const unsigned char* bytes, std::size_t size, int maxSide, PngImage& image);
// Reads the rest of an open virtual-file-system file and prepares it; false on a read fault.
bool readPngTexture(file::FileHandle* file, int maxSide, PngImage& image);

// Needs a current OpenGL context. Returns the new texture name, 0 on failure; image describes the file.
unsigned int uploadTexture(const PngImage& image);
unsigned int loadPngTexture(file::FileHandle* file, PngImage& image);

}  // namespace internal
}  // namespace graphics
}  // namespace pentavel
