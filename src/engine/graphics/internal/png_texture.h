#pragma once
// PNG files to OpenGL textures: decoded with libpng to 8-bit RGBA, top row first, resampled to a
// power-of-two size the driver accepts, uploaded without mipmaps, clamped to edge, linear filters.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/file/file_system.h"

namespace pentavel {
namespace graphics {
namespace internal {

// A side longer than this is refused before any pixel memory is allocated.
constexpr int kMaxPngSide = 16384;

struct PngImage {
    int width = 0, height = 0;              // size of pixels
    int sourceWidth = 0, sourceHeight = 0;  // size declared by the file
    int depth = 0;                          // bits per channel in the file
    bool alpha = false;                     // the file carries alpha (channel or transparency chunk)
    std::vector<std::uint8_t> pixels;       // RGBA, 4 bytes a pixel, top row first
};

// Decodes a whole PNG held in memory to RGBA at its own size. False (image emptied) when libpng rejects
// the bytes or a side exceeds kMaxPngSide.
bool decodePng(const unsigned char* bytes, std::size_t size, PngImage& image);
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
