// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/internal/png_texture.h"

#include <GL/gl.h>
#include <physfs.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <utility>

namespace pentavel {
namespace graphics {
namespace internal {
namespace {

constexpr int kMinTextureSide = 64;  // every OpenGL implementation accepts this much
constexpr std::size_t kSignatureBytes = 8;
constexpr std::size_t kPngHeaderBytes = 33;  // signature, then the header chunk (length, type, 13 bytes, CRC)
// Deflate cannot expand its input more than this, so picture data shorter than the declared pixels divided
// by it cannot hold them.
constexpr std::uint64_t kMaxInflateRatio = 1032;

std::uint32_t bigEndian32(const unsigned char* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

void refuse(PngImage& image, PngFault fault, std::string detail = std::string()) {
    image = PngImage();
    image.fault = fault;
    image.detail = std::move(detail);
}

std::string sizeText(std::uint32_t width, std::uint32_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// The header chunk (after the signature) declares a side beyond kMaxPngSide.
bool declaresHugeSide(const unsigned char* chunk, std::uint32_t& width, std::uint32_t& height) {
    if (std::memcmp(chunk + 4, "IHDR", 4) != 0)
        return false;
    width = bigEndian32(chunk + 8);
    height = bigEndian32(chunk + 12);
    constexpr auto kMaxSide = static_cast<std::uint32_t>(kMaxPngSide);
    return width > kMaxSide || height > kMaxSide;
}

// Bytes of compressed picture data present in the file: every IDAT chunk, as much of it as is there.
std::uint64_t pictureDataBytes(const unsigned char* bytes, std::size_t size) {
    std::uint64_t total = 0;
    std::size_t at = kSignatureBytes;
    while (size - at >= 8) {
        const std::uint64_t length = bigEndian32(bytes + at);
        const bool pictureData = std::memcmp(bytes + at + 4, "IDAT", 4) == 0;
        at += 8;
        const std::uint64_t present = std::min<std::uint64_t>(length, size - at);
        if (pictureData)
            total += present;
        if (present < length || size - at - present < 4)
            break;
        at += static_cast<std::size_t>(present) + 4;  // the data and its CRC
    }
    return total;
}

struct MemorySource {
    const unsigned char* bytes;
    std::size_t size;
    std::size_t offset;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (length > source->size - source->offset)
        png_error(png, "read past the end of the PNG data");
    std::memcpy(out, source->bytes + source->offset, length);
    source->offset += length;
}

// libpng's last error message, kept without allocating inside its callback.
struct PngError {
    char message[160] = {};
};

void onPngError(png_structp png, png_const_charp message) {
    auto* error = static_cast<PngError*>(png_get_error_ptr(png));
    if (error != nullptr && message != nullptr)
        std::snprintf(error->message, sizeof error->message, "%s", message);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// Row pointers live outside the frame that calls setjmp, so a longjmp out of libpng skips no destructor
// and leaves no local in an indeterminate state.
struct DecodeWork {
    PngImage* image;
    std::vector<png_bytep> rows;
    std::uint64_t pictureBytes;  // compressed picture data present in the file
    bool tooShort;               // set when that cannot hold the declared pixels
};

// libpng reports every fault by a longjmp back into this frame, which holds only trivial locals.
bool decodeWithLibpng(png_structp png, png_infop info, MemorySource* source, DecodeWork* work) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, source, readFromMemory);
    // Sides beyond the limit fail while reading the header, before anything is allocated for them.
    png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    const bool alpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS);
    work->image->sourceWidth = static_cast<int>(width);
    work->image->sourceHeight = static_cast<int>(height);
    work->image->depth = png_get_bit_depth(png, info);
    work->image->alpha = alpha;

    // A header may declare far more pixels than its file holds; the pixel memory is only taken for data
    // that could inflate to them.
    const std::uint64_t declaredBits = std::uint64_t{width} * height * png_get_channels(png, info) *
                                       static_cast<std::uint64_t>(png_get_bit_depth(png, info));
    if (work->pictureBytes * kMaxInflateRatio < declaredBits / 8) {
        work->tooShort = true;
        return false;
    }

    // Everything becomes 8-bit RGBA; pictures without alpha are opaque.
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    if (!alpha)
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    if (png_get_rowbytes(png, info) != rowBytes)
        png_error(png, "unexpected row layout");

    work->image->pixels.resize(rowBytes * height);
    work->rows.resize(height);
    for (png_uint_32 row = 0; row < height; ++row)
        work->rows[row] = &work->image->pixels[row * rowBytes];
    png_read_image(png, work->rows.data());
    work->image->width = static_cast<int>(width);
    work->image->height = static_cast<int>(height);
    return true;
}

struct Tap {
    int index;
    float weight;
};

// The source samples that make up each target sample along one axis: a tent filter that widens with the
// reduction, so enlarging interpolates bilinearly and shrinking averages every source pixel.
std::vector<std::vector<Tap>> filterTaps(int sourceSize, int targetSize) {
    const double scale = static_cast<double>(sourceSize) / targetSize;
    const double radius = std::max(1.0, scale);
    std::vector<std::vector<Tap>> taps(targetSize);
    for (int target = 0; target < targetSize; ++target) {
        const double centre = (target + 0.5) * scale - 0.5;
        const int first = static_cast<int>(std::ceil(centre - radius));
        const int last = static_cast<int>(std::floor(centre + radius));
        double total = 0.0;
        for (int s = first; s <= last; ++s) {
            const double weight = 1.0 - std::fabs(s - centre) / radius;
            if (weight <= 0.0)
                continue;
            taps[target].push_back({std::clamp(s, 0, sourceSize - 1), static_cast<float>(weight)});
            total += weight;
        }
        for (Tap& tap : taps[target])
            tap.weight = static_cast<float>(tap.weight / total);
    }
    return taps;
}

}  // namespace

bool decodePng(const unsigned char* bytes, std::size_t size, PngImage& image) {
    image = PngImage();
    if (bytes == nullptr || size == 0 || png_sig_cmp(bytes, 0, std::min(size, kSignatureBytes)) != 0) {
        refuse(image, PngFault::NotPng);
        return false;
    }
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (size >= kPngHeaderBytes && declaresHugeSide(bytes + kSignatureBytes, width, height)) {
        refuse(image, PngFault::SideTooLarge, sizeText(width, height));
        return false;
    }
    if (size < kPngHeaderBytes) {
        refuse(image, PngFault::Damaged, "cut short in its header");
        return false;
    }
    PngError error;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, onPngError, onPngWarning);
    if (png == nullptr) {
        refuse(image, PngFault::OutOfMemory);
        return false;
    }
    png_infop info = png_create_info_struct(png);
    bool decoded = false;
    bool outOfMemory = info == nullptr;
    DecodeWork work{&image, {}, pictureDataBytes(bytes, size), false};
    if (info != nullptr) {
        MemorySource source{bytes, size, 0};
        try {
            decoded = decodeWithLibpng(png, info, &source, &work);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
    }
    png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    if (decoded)
        return true;
    if (outOfMemory) {
        refuse(image, PngFault::OutOfMemory);
    } else if (work.tooShort) {
        refuse(image, PngFault::Damaged,
               "its picture data is too short for the " +
                   sizeText(static_cast<std::uint32_t>(image.sourceWidth),
                            static_cast<std::uint32_t>(image.sourceHeight)) +
                   " pixels it declares");
    } else {
        refuse(image, PngFault::Damaged, error.message);
    }
    return false;
}

std::string describePngFault(const PngImage& image) {
    const std::string detail = image.detail.empty() ? std::string() : ": " + image.detail;
    switch (image.fault) {
        case PngFault::None:
            return "was not refused";
        case PngFault::NotPng:
            return "is not a PNG file";
        case PngFault::Damaged:
            return "is damaged" + detail;
        case PngFault::SideTooLarge:
            return "is too large: " + image.detail + " pixels, more than " + std::to_string(kMaxPngSide) +
                   " on a side";
        case PngFault::FileTooLarge:
            return "is too large: " + image.detail + " bytes, more than " +
                   std::to_string(kMaxPngFileBytes >> 20) + " MB";
        case PngFault::ReadFailed:
            return "cannot be read" + detail;
        case PngFault::OutOfMemory:
            return "needs more memory than is free";
        case PngFault::Refused:
            return "was refused by the OpenGL driver";
    }
    return std::string();
}

int textureSide(int side, int maxSide) {
    int limit = kMinTextureSide;
    while (limit <= maxSide / 2)
        limit *= 2;
    int result = 1;
    while (result < side && result < limit)
        result *= 2;
    return result;
}

std::vector<std::uint8_t> resampleRgba(const std::vector<std::uint8_t>& pixels, int sourceWidth,
                                       int sourceHeight, int width, int height) {
    const std::vector<std::vector<Tap>> columns = filterTaps(sourceWidth, width);
    const std::vector<std::vector<Tap>> rows = filterTaps(sourceHeight, height);
    // Horizontal pass into floats, then vertical pass into bytes.
    std::vector<float> across(static_cast<std::size_t>(width) * sourceHeight * 4, 0.0f);
    for (int y = 0; y < sourceHeight; ++y) {
        for (int x = 0; x < width; ++x) {
            float* out = &across[(static_cast<std::size_t>(y) * width + x) * 4];
            for (const Tap& tap : columns[x]) {
                const std::uint8_t* in = &pixels[(static_cast<std::size_t>(y) * sourceWidth + tap.index) * 4];
                for (int c = 0; c < 4; ++c)
                    out[c] += tap.weight * in[c];
            }
        }
    }
    std::vector<std::uint8_t> result(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float sum[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            for (const Tap& tap : rows[y]) {
                const float* in = &across[(static_cast<std::size_t>(tap.index) * width + x) * 4];
                for (int c = 0; c < 4; ++c)
                    sum[c] += tap.weight * in[c];
            }
            std::uint8_t* out = &result[(static_cast<std::size_t>(y) * width + x) * 4];
            for (int c = 0; c < 4; ++c)
                out[c] = static_cast<std::uint8_t>(std::clamp(sum[c] + 0.5f, 0.0f, 255.0f));
        }
    }
    return result;
}

namespace {

// Resamples in place to the power-of-two size the texture needs.
bool fitToTexture(PngImage& image, int maxSide) {
    const int width = textureSide(image.width, maxSide);
    const int height = textureSide(image.height, maxSide);
    if (width == image.width && height == image.height)
        return true;
    try {
        image.pixels = resampleRgba(image.pixels, image.width, image.height, width, height);
    } catch (const std::bad_alloc&) {
        refuse(image, PngFault::OutOfMemory);
        return false;
    }
    image.width = width;
    image.height = height;
    return true;
}

// The signature and the header chunk, which every PNG starts with. A file that is no PNG or declares a
// side beyond kMaxPngSide is refused here, before the rest of it is read, so a large foreign file is not
// read in whole.
bool readPngHeader(file::FileHandle* file, unsigned char (&header)[kPngHeaderBytes], PngImage& image) {
    const PHYSFS_sint64 signature = PHYSFS_readBytes(file, header, kSignatureBytes);
    if (signature < 0) {
        refuse(image, PngFault::ReadFailed, file::lastFileError());
        return false;
    }
    if (signature == 0 || png_sig_cmp(header, 0, static_cast<std::size_t>(signature)) != 0) {
        refuse(image, PngFault::NotPng);
        return false;
    }
    constexpr std::size_t kChunkBytes = kPngHeaderBytes - kSignatureBytes;
    if (signature != static_cast<PHYSFS_sint64>(kSignatureBytes) ||
        PHYSFS_readBytes(file, header + kSignatureBytes, kChunkBytes) !=
            static_cast<PHYSFS_sint64>(kChunkBytes)) {
        refuse(image, PngFault::Damaged, "cut short in its header");
        return false;
    }
    const unsigned char* chunk = header + kSignatureBytes;  // length, type, width, height, ...
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (declaresHugeSide(chunk, width, height)) {
        refuse(image, PngFault::SideTooLarge, sizeText(width, height));
        return false;
    }
    if (std::memcmp(chunk + 4, "IHDR", 4) != 0) {
        refuse(image, PngFault::Damaged, "no header chunk");
        return false;
    }
    return true;
}

// Decodes the rest of an open file without resampling.
bool readPng(file::FileHandle* file, PngImage& image) {
    image = PngImage();
    if (file == nullptr) {
        refuse(image, PngFault::ReadFailed);
        return false;
    }
    const PHYSFS_sint64 length = PHYSFS_fileLength(file);
    if (length > kMaxPngFileBytes) {
        refuse(image, PngFault::FileTooLarge, std::to_string(length));
        return false;
    }
    unsigned char header[kPngHeaderBytes];
    if (!readPngHeader(file, header, image))
        return false;
    std::vector<unsigned char> bytes;
    try {
        if (length > 0)
            bytes.reserve(static_cast<std::size_t>(length));
        bytes.assign(header, header + kPngHeaderBytes);
        unsigned char chunk[64 * 1024];
        for (;;) {
            const PHYSFS_sint64 count = PHYSFS_readBytes(file, chunk, sizeof chunk);
            if (count < 0) {
                refuse(image, PngFault::ReadFailed, file::lastFileError());
                return false;
            }
            if (count == 0)
                break;
            bytes.insert(bytes.end(), chunk, chunk + count);
            if (static_cast<std::int64_t>(bytes.size()) > kMaxPngFileBytes) {
                refuse(image, PngFault::FileTooLarge, std::to_string(bytes.size()));
                return false;
            }
        }
    } catch (const std::bad_alloc&) {
        refuse(image, PngFault::OutOfMemory);
        return false;
    }
    return decodePng(bytes.data(), bytes.size(), image);
}

}  // namespace

bool preparePngTexture(const unsigned char* bytes, std::size_t size, int maxSide, PngImage& image) {
    return decodePng(bytes, size, image) && fitToTexture(image, maxSide);
}

bool readPngTexture(file::FileHandle* file, int maxSide, PngImage& image) {
    return readPng(file, image) && fitToTexture(image, maxSide);
}

unsigned int uploadTexture(const PngImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4) {
        return 0;
    }
    for (int stale = 0; stale < 16 && glGetError() != GL_NO_ERROR; ++stale) {
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    if (texture == 0)
        return 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // The first row given becomes t = 0, so the picture's top row lies at t = 0.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.pixels.data());
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &texture);
        return 0;
    }
    return texture;
}

unsigned int loadPngTexture(file::FileHandle* file, PngImage& image) {
    // Decode before asking OpenGL anything, so a bad file costs no driver work.
    if (!readPng(file, image))
        return 0;
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    if (!fitToTexture(image, maxSide))
        return 0;
    const unsigned int texture = uploadTexture(image);
    if (texture == 0)
        image.fault = PngFault::Refused;
    return texture;
}

}  // namespace internal
}  // namespace graphics
}  // namespace pentavel
