// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A sprite sheet's PNG read through the virtual file system, decoded and resampled to a texture size, as
// the texture loader does before it hands the pixels to OpenGL.

#include <cstdint>

#include "engine/file/file_system.h"
#include "engine/graphics/internal/png_texture.h"
#include "fuzz_support.h"

namespace {

// Small, so that resampling stays cheap; pictures larger than this are reduced, smaller ones enlarged.
constexpr int kMaxTextureSide = 256;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeScratchFile("sheet.png", data, size);
    fuzz::mountScratch();
    pentavel::file::FileHandle* file = pentavel::file::openFileRead("sheet.png");
    if (file == nullptr)
        fuzz::fail("cannot open the picture");
    pentavel::graphics::internal::PngImage image;
    if (pentavel::graphics::internal::readPngTexture(file, kMaxTextureSide, image) &&
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4) {
        fuzz::fail("%d x %d pixels in %zu bytes", image.width, image.height, image.pixels.size());
    }
    pentavel::file::closeFile(file);
    fuzz::unmountScratch();
    return 0;
}
