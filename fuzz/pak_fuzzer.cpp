// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A "pak" archive in the player's folder through the virtual file system: mounted as at start-up, every
// file in its root listed, read into memory, and its XML documents parsed as the game's readers do.

#include <tinyxml.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "engine/file/file_system.h"
#include "engine/file/xml_document.h"
#include "fuzz_support.h"

namespace {

const char* const kArchiveName = "aaa.pak";
constexpr int kMaxFilesRead = 32;

bool endsWith(const std::string& name, const char* suffix) {
    const std::size_t length = std::strlen(suffix);
    return name.size() >= length && name.compare(name.size() - length, length, suffix) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeScratchFile(kArchiveName, data, size);
    fuzz::mountScratch();
    pentavel::file::mountArchive(kArchiveName);
    const pentavel::file::FileList names = pentavel::file::listFiles("");
    int read = 0;
    for (const std::string& name : *names) {
        if (name == kArchiveName || name == "log.html")
            continue;  // the scratch folder's own files
        if (++read > kMaxFilesRead)
            break;
        const pentavel::file::FileData bytes = pentavel::file::readFileToMemory(name.c_str());
        if (bytes.data == nullptr && bytes.size != 0)
            fuzz::fail("%s: %u bytes without data", name.c_str(), bytes.size);
        if (endsWith(name, ".xml") || endsWith(name, ".svg")) {
            TiXmlDocument document;
            pentavel::file::loadXmlDocument(document, name.c_str());
        }
    }
    fuzz::unmountScratch();
    return 0;
}
