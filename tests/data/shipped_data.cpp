// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/shipped_data.h"

#include <dirent.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>

#include "engine/graphics/display.h"
#include "support/test_support.h"

namespace test {

std::vector<std::string> dataFiles(const std::string& extension) {
    std::vector<std::string> names;
    DIR* dir = opendir(dataDir().c_str());
    if (!dir)
        return names;
    const std::string suffix = "." + extension;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

SheetSvg readSheetSvg(const std::string& path) {
    SheetSvg sheet;
    TiXmlDocument document;
    if (!document.LoadFile(path.c_str()))
        return sheet;
    const TiXmlElement* svg = document.FirstChildElement("svg");
    if (!svg || !svg->Attribute("width") || !svg->Attribute("height"))
        return sheet;
    sheet.width = std::atof(svg->Attribute("width"));
    sheet.height = std::atof(svg->Attribute("height"));
    sheet.ok = true;
    const TiXmlElement* group = svg->FirstChildElement("g");
    if (!group)
        return sheet;
    for (const TiXmlElement* rect = group->FirstChildElement("rect"); rect;
         rect = rect->NextSiblingElement("rect")) {
        const char* id = rect->Attribute("id");
        if (!id || !rect->Attribute("x") || !rect->Attribute("y") || !rect->Attribute("width") ||
            !rect->Attribute("height"))
            continue;
        sheet.rects.push_back({id, std::atof(rect->Attribute("x")), std::atof(rect->Attribute("y")),
                               std::atof(rect->Attribute("width")), std::atof(rect->Attribute("height"))});
    }
    return sheet;
}

Picture readPng(const std::string& path) {
    Picture picture;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return picture;
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return picture;
    }
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgba = std::move(pixels);
    return picture;
}

std::uint32_t fileCrc32(const std::string& path) {
    const std::string bytes = readWholeFile(path);
    return static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

const std::string& useShippedArchive() {
    static TempDir writable;
    mountOnly(writable.path(), pakPath());
    static const bool scanned = (pentavel::graphics::scanSpriteSheets(), true);
    (void)scanned;
    return writable.path();
}

}  // namespace test
