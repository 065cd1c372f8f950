// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/internal/png_texture.h"

#include <gtest/gtest.h>
#include <physfs.h>
#include <png.h>
#include <zlib.h>

#include <sys/resource.h>

#include <chrono>
#include <csetjmp>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/mounted_folder.h"

namespace {

using pentavel::graphics::internal::decodePng;
using pentavel::graphics::internal::describePngFault;
using pentavel::graphics::internal::PngImage;
using pentavel::graphics::internal::preparePngTexture;
using pentavel::graphics::internal::textureSide;

struct PngPicture {
    int width = 1;
    int height = 1;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<std::uint8_t> samples;  // rows top first, in the file's own layout (16-bit big-endian)
    std::vector<png_color> palette;
    std::vector<png_byte> transparency;
};

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}

// Encodes with libpng, as a paint program would.
std::string encodePng(const PngPicture& picture) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const std::size_t rowBytes = picture.samples.size() / picture.height;
    std::vector<png_bytep> rows(picture.height);
    for (int row = 0; row < picture.height; ++row) {
        rows[row] = const_cast<png_bytep>(&picture.samples[row * rowBytes]);
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::string();
    }
    png_set_write_fn(png, &out, appendBytes, nullptr);
    png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colourType,
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!picture.palette.empty()) {
        png_set_PLTE(png, info, picture.palette.data(), static_cast<int>(picture.palette.size()));
    }
    if (!picture.transparency.empty()) {
        png_set_tRNS(png, info, picture.transparency.data(), static_cast<int>(picture.transparency.size()),
                     nullptr);
    }
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

void appendBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>(value >> shift));
}

// A chunk of the given type and data, with its length and a correct checksum.
std::string pngChunk(const std::string& type, const std::string& data) {
    std::string out;
    appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string body = type + data;
    out += body;
    appendBigEndian(out,
                    crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    return out;
}

// A signature and a lone header chunk declaring the given size.
std::string headerOnlyPng(std::uint32_t width, std::uint32_t height) {
    std::string data;
    appendBigEndian(data, width);
    appendBigEndian(data, height);
    return std::string("\x89PNG\r\n\x1a\n", 8) +
           pngChunk("IHDR", data + std::string("\x08\x02\x00\x00\x00", 5));
}

bool decode(const std::string& bytes, PngImage& image) {
    return decodePng(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), image);
}

bool prepare(const PngPicture& picture, int maxSide, PngImage& image) {
    const std::string bytes = encodePng(picture);
    return preparePngTexture(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), maxSide,
                             image);
}

// Reads the file through the virtual file system as a texture no wider than 2048.
bool readTexture(const char* name, PngImage& image, PHYSFS_sint64* bytesRead = nullptr) {
    PHYSFS_File* file = PHYSFS_openRead(name);
    EXPECT_NE(nullptr, file) << name;
    const bool read = pentavel::graphics::internal::readPngTexture(file, 2048, image);
    if (file != nullptr) {
        if (bytesRead != nullptr)
            *bytesRead = PHYSFS_tell(file);
        PHYSFS_close(file);
    }
    return read;
}

std::vector<std::uint8_t> pixel(const PngImage& image, int x, int y) {
    const auto at = image.pixels.begin() + (static_cast<std::size_t>(y) * image.width + x) * 4;
    return std::vector<std::uint8_t>(at, at + 4);
}

using Rgba = std::vector<std::uint8_t>;

TEST(PngDecode, RgbBecomesOpaqueRgbaWithTheTopRowFirst) {
    PngPicture picture;
    picture.width = 2;
    picture.height = 2;
    picture.samples = {255, 0, 0,   0,  255, 0,  // top row: red, green
                       0,   0, 255, 10, 20,  30};
    PngImage image;
    ASSERT_TRUE(decode(encodePng(picture), image));
    EXPECT_EQ(2, image.width);
    EXPECT_EQ(2, image.height);
    EXPECT_EQ(8, image.depth);
    EXPECT_FALSE(image.alpha);
    EXPECT_EQ(Rgba({255, 0, 0, 255}), pixel(image, 0, 0));
    EXPECT_EQ(Rgba({0, 255, 0, 255}), pixel(image, 1, 0));
    EXPECT_EQ(Rgba({0, 0, 255, 255}), pixel(image, 0, 1));
    EXPECT_EQ(Rgba({10, 20, 30, 255}), pixel(image, 1, 1));
}

TEST(PngDecode, KeepsTheFilesOwnAlpha) {
    PngPicture picture;
    picture.width = 2;
    picture.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    picture.samples = {1, 2, 3, 0, 4, 5, 6, 128};
    PngImage image;
    ASSERT_TRUE(decode(encodePng(picture), image));
    EXPECT_TRUE(image.alpha);
    EXPECT_EQ(Rgba({1, 2, 3, 0}), pixel(image, 0, 0));
    EXPECT_EQ(Rgba({4, 5, 6, 128}), pixel(image, 1, 0));
}

TEST(PngDecode, GreyPicturesSpreadToAllThreeColours) {
    PngPicture grey;
    grey.width = 2;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.samples = {0, 200};
    PngImage image;
    ASSERT_TRUE(decode(encodePng(grey), image));
    EXPECT_EQ(Rgba({200, 200, 200, 255}), pixel(image, 1, 0));

    PngPicture greyAlpha;
    greyAlpha.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    greyAlpha.samples = {90, 40};
    ASSERT_TRUE(decode(encodePng(greyAlpha), image));
    EXPECT_TRUE(image.alpha);
    EXPECT_EQ(Rgba({90, 90, 90, 40}), pixel(image, 0, 0));

    PngPicture twoBit;
    twoBit.width = 4;
    twoBit.colourType = PNG_COLOR_TYPE_GRAY;
    twoBit.bitDepth = 2;
    twoBit.samples = {0x1B};  // 0, 1, 2, 3
    ASSERT_TRUE(decode(encodePng(twoBit), image));
    EXPECT_EQ(2, image.depth);
    EXPECT_EQ(Rgba({0, 0, 0, 255}), pixel(image, 0, 0));
    EXPECT_EQ(Rgba({85, 85, 85, 255}), pixel(image, 1, 0));
    EXPECT_EQ(Rgba({255, 255, 255, 255}), pixel(image, 3, 0));
}

TEST(PngDecode, PaletteEntriesTakeTheirTransparencyWhenGiven) {
    PngPicture picture;
    picture.width = 3;
    picture.colourType = PNG_COLOR_TYPE_PALETTE;
    picture.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    picture.samples = {2, 0, 1};
    PngImage image;
    ASSERT_TRUE(decode(encodePng(picture), image));
    EXPECT_FALSE(image.alpha);
    EXPECT_EQ(Rgba({0, 0, 255, 255}), pixel(image, 0, 0));
    EXPECT_EQ(Rgba({0, 255, 0, 255}), pixel(image, 2, 0));

    picture.transparency = {0, 100};  // entry 2 has none listed: opaque
    ASSERT_TRUE(decode(encodePng(picture), image));
    EXPECT_TRUE(image.alpha);
    EXPECT_EQ(Rgba({0, 0, 255, 255}), pixel(image, 0, 0));
    EXPECT_EQ(Rgba({255, 0, 0, 0}), pixel(image, 1, 0));
    EXPECT_EQ(Rgba({0, 255, 0, 100}), pixel(image, 2, 0));
}

TEST(PngDecode, SixteenBitSamplesAreReducedToEight) {
    PngPicture picture;
    picture.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    picture.bitDepth = 16;
    picture.samples = {0xFF, 0xFF, 0x00, 0x00, 0x80, 0x80, 0x40, 0x40};
    PngImage image;
    ASSERT_TRUE(decode(encodePng(picture), image));
    EXPECT_EQ(16, image.depth);
    EXPECT_EQ(Rgba({255, 0, 128, 64}), pixel(image, 0, 0));
}

TEST(PngDecode, InterlacedPicturesDecodeLikePlainOnes) {
    PngPicture picture;
    picture.width = 5;
    picture.height = 3;
    for (int i = 0; i < 15 * 3; ++i)
        picture.samples.push_back(static_cast<std::uint8_t>(i * 5));
    PngImage plain;
    ASSERT_TRUE(decode(encodePng(picture), plain));
    picture.interlaced = true;
    PngImage interlaced;
    ASSERT_TRUE(decode(encodePng(picture), interlaced));
    EXPECT_EQ(plain.pixels, interlaced.pixels);
}

TEST(PngDecode, RefusesDamagedAndForeignBytesSayingWhy) {
    PngPicture picture;
    picture.width = 8;
    picture.height = 8;
    picture.samples.assign(8 * 8 * 3, 77);
    const std::string whole = encodePng(picture);
    PngImage image;
    for (std::size_t keep :
         {whole.size() / 2, std::size_t{40}, std::size_t{8}, std::size_t{3}, std::size_t{0}}) {
        EXPECT_FALSE(decode(whole.substr(0, keep), image)) << keep << " bytes";
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(0, image.width);
    }
    EXPECT_EQ("is not a PNG file", describePngFault(image));
    const char jpegStart[] = "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xFF\xD9";
    EXPECT_FALSE(decode(std::string(jpegStart, sizeof jpegStart - 1), image));
    EXPECT_EQ("is not a PNG file", describePngFault(image));
    EXPECT_FALSE(decodePng(nullptr, 0, image));
    EXPECT_FALSE(decode(whole.substr(0, 5), image));
    EXPECT_EQ("is damaged: cut short in its header", describePngFault(image));
    EXPECT_FALSE(decode(whole.substr(0, whole.size() - 20), image));
    EXPECT_EQ(0u, describePngFault(image).find("is damaged: ")) << describePngFault(image);
    EXPECT_GT(describePngFault(image).size(), std::string("is damaged: ").size());
    std::string corrupted = whole;
    corrupted[whole.size() / 2] ^= 0x55;  // inside the compressed pixels: checksum or inflate fails
    EXPECT_FALSE(decode(corrupted, image));
    EXPECT_FALSE(decode(headerOnlyPng(20000, 3), image));
    EXPECT_EQ("is too large: 20000 x 3 pixels, more than 16384 on a side", describePngFault(image));
}

TEST(PngDecode, RefusesHugeSidesBeforeAllocatingForThem) {
    PngImage image;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(decode(headerOnlyPng(20000, 20000), image));
    EXPECT_FALSE(decode(headerOnlyPng(1, 20000), image));
    // 20000 x 20000 RGBA would be 1.6 GB; refusing it is immediate.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(image.pixels.empty());
    // The widest side allowed is read by PngPrepare.ReadsThroughTheVirtualFileSystem.
    PngPicture widest;
    widest.width = 16385;
    widest.colourType = PNG_COLOR_TYPE_GRAY;
    widest.samples.assign(16385, 9);
    EXPECT_FALSE(decode(encodePng(widest), image));
    EXPECT_TRUE(image.pixels.empty());
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// 16384 x 16384 declared, a few bytes of picture data: refused before 1 GiB is taken for the pixels.
TEST(PngDecode, PictureDataTooShortForTheDeclaredSizeTakesNoPixelMemory) {
    const std::string bytes = headerOnlyPng(16384, 16384) +
                              pngChunk("IDAT", std::string("\x78\x9c\x63\x60\x00\x00\x00\x02\x00\x01", 10));
    const long before = peakKilobytes();
    PngImage image;
    EXPECT_FALSE(decode(bytes, image));
    EXPECT_LT(peakKilobytes() - before, 256 * 1024);
    EXPECT_EQ(pentavel::graphics::internal::PngFault::Damaged, image.fault);
    EXPECT_EQ("is damaged: its picture data is too short for the 16384 x 16384 pixels it declares",
              describePngFault(image));
    EXPECT_TRUE(image.pixels.empty());
}

TEST(TextureSide, RoundsUpToAPowerOfTwoWithinTheLimit) {
    EXPECT_EQ(1, textureSide(1, 2048));
    EXPECT_EQ(4, textureSide(3, 2048));
    EXPECT_EQ(64, textureSide(64, 2048));
    EXPECT_EQ(128, textureSide(65, 2048));
    EXPECT_EQ(4096, textureSide(5000, 4096));
    EXPECT_EQ(4096, textureSide(5000, 6000));  // a limit that is no power of two
    EXPECT_EQ(64, textureSide(100, 0));        // no answer from the driver: the guaranteed minimum
}

TEST(PngPrepare, ResamplesOddSizesToPowersOfTwoCoveringTheWholePicture) {
    PngPicture picture;
    picture.width = 3;
    picture.height = 5;
    picture.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    // Left column red, the rest blue; top row transparent.
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t alpha = y == 0 ? 0 : 255;
            picture.samples.insert(picture.samples.end(),
                                   {static_cast<std::uint8_t>(x == 0 ? 255 : 0), 0,
                                    static_cast<std::uint8_t>(x == 0 ? 0 : 255), alpha});
        }
    }
    PngImage image;
    ASSERT_TRUE(prepare(picture, 2048, image));
    EXPECT_EQ(4, image.width);
    EXPECT_EQ(8, image.height);
    EXPECT_EQ(3, image.sourceWidth);
    EXPECT_EQ(5, image.sourceHeight);
    ASSERT_EQ(4u * 8u * 4u, image.pixels.size());
    EXPECT_EQ(Rgba({255, 0, 0, 0}), pixel(image, 0, 0));  // corners keep their colours
    EXPECT_EQ(Rgba({0, 0, 255, 255}), pixel(image, 3, 7));
    EXPECT_EQ(Rgba({255, 0, 0, 255}), pixel(image, 0, 7));
    EXPECT_EQ(255, pixel(image, 2, 4)[2]);
    EXPECT_EQ(0, pixel(image, 2, 4)[0]);
    // Between the pixel centres, worked out by hand: target column 1 of 4 is centred on source column
    // 0.625 of 3, three eighths red; target row 1 of 8 on source row 0.4375 of 5, 7/16 opaque.
    EXPECT_EQ(96, pixel(image, 1, 7)[0]);
    EXPECT_EQ(112, pixel(image, 3, 1)[3]);
}

TEST(PngPrepare, ShrinksPicturesBeyondTheLimitByAveraging) {
    PngPicture picture;
    picture.width = 128;
    picture.colourType = PNG_COLOR_TYPE_GRAY;
    for (int x = 0; x < 128; ++x)
        picture.samples.push_back(x % 2 == 0 ? 0 : 200);  // fine stripes
    PngImage image;
    ASSERT_TRUE(prepare(picture, 64, image));
    EXPECT_EQ(64, image.width);
    EXPECT_EQ(1, image.height);
    for (int x = 1; x < 63; ++x)
        EXPECT_NEAR(100, pixel(image, x, 0)[0], 1) << x;
}

TEST(PngPrepare, PowerOfTwoPicturesKeepEveryByte) {
    PngPicture picture;
    picture.width = 4;
    picture.height = 2;
    picture.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    for (int i = 0; i < 32; ++i)
        picture.samples.push_back(static_cast<std::uint8_t>(i * 7));
    PngImage image;
    ASSERT_TRUE(prepare(picture, 2048, image));
    EXPECT_EQ(picture.samples, image.pixels);
}

// A failed picture is tried again every frame, so a large file that cannot be a usable PNG is given up
// after its first bytes.
TEST(PngPrepare, ReadsThroughTheVirtualFileSystemGivingUpOnBadFilesAfterTheirHeader) {
    test::MountedFolder dir;
    PngPicture picture;
    picture.width = 2;
    picture.samples = {9, 8, 7, 6, 5, 4};
    dir.write("sheet.png", encodePng(picture));
    dir.write("broken.png", encodePng(picture).substr(0, 30));
    const std::string bulk(4 * 1024 * 1024, '\x5a');
    dir.write("photo.png", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10) + bulk);
    dir.write("huge.png", headerOnlyPng(1, 20000) + bulk);
    dir.write("headless.png", std::string("\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIDAT", 16) + bulk);
    picture.width = 16384;
    picture.colourType = PNG_COLOR_TYPE_GRAY;
    picture.samples.assign(16384, 3);
    dir.write("widest.png", encodePng(picture));
    dir.write("sparse.png", "");
    std::filesystem::resize_file(dir.path() + "/sparse.png", 300 * 1024 * 1024);  // nothing is written

    PngImage image;
    EXPECT_TRUE(readTexture("sheet.png", image));
    EXPECT_EQ(2, image.width);
    EXPECT_EQ(Rgba({6, 5, 4, 255}), pixel(image, 1, 0));
    for (const char* name : {"broken.png", "photo.png", "huge.png", "headless.png"}) {
        PHYSFS_sint64 bytesRead = 0;
        EXPECT_FALSE(readTexture(name, image, &bytesRead)) << name;
        EXPECT_LE(bytesRead, 33) << name;
        EXPECT_TRUE(image.pixels.empty()) << name;
    }
    EXPECT_FALSE(pentavel::graphics::internal::readPngTexture(nullptr, 2048, image));
    EXPECT_FALSE(readTexture("sparse.png", image));
    EXPECT_EQ("is too large: 314572800 bytes, more than 256 MB", describePngFault(image));
    // The largest side allowed still passes the header and is shrunk to the texture limit.
    EXPECT_TRUE(readTexture("widest.png", image));
    EXPECT_EQ(2048, image.width);
}

}  // namespace
