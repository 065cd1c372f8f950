// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// An LBreakout2 level set through the importer's reader, brick mapping and level-set writer: whatever the
// bytes, the written file is UTF-8 without control characters and parses as the game reads it, with one
// level per level read and every map whole.

#include <tinyxml.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/file/utf8.h"
#include "engine/file/xml_document.h"
#include "fuzz_support.h"
#include "game/field/level.h"
#include "game/records/level_set.h"
#include "tools/import/brick_mapping.h"
#include "tools/import/lbreakout_set.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tezmola;
    const import::LevelSet set = import::readLevelSet(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<LevelDraft> drafts;
    for (const import::SetLevel& level : set.levels) {
        std::string approximated;
        drafts.push_back(
            import::importLevel(level, "fuzz", static_cast<int>(drafts.size()) + 1, approximated));
        import::chooseBackground(drafts.back(), drafts.size() - 1);
    }
    const std::string written = writeLevelSet(drafts);
    // XML 1.0 allows no control character but the line feed here, and the file says it is UTF-8.
    for (const char c : written)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\n')
            fuzz::fail("the written file holds the control character 0x%02x", static_cast<unsigned>(c));
    if (!pentavel::file::isValidUtf8(written))
        fuzz::fail("the written file is not UTF-8");
    TiXmlDocument document;
    if (!pentavel::file::parseXmlDocument(document, written))
        fuzz::fail("the written file does not parse: %s", document.ErrorDesc());
    if (countLevels(document) != static_cast<std::int32_t>(drafts.size()))
        fuzz::fail("%d levels written, %zu read", countLevels(document), drafts.size());
    for (const TiXmlElement* level = document.FirstChildElement("level"); level != nullptr;
         level = level->NextSiblingElement("level")) {
        BrickMapReader reader(level->FirstChildElement("tezm")->GetText());
        MapCode code;
        while (reader.next(code)) {
        }
        if (!reader.full())
            fuzz::fail("a written map ends before row %d", kLastMapRow);
    }
    return 0;
}
