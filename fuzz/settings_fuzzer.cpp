// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// settings.xml through the settings store as the game uses it: load, the game's reads and writes, save at
// exit, load again at the next start. Whatever the game saved must read back with the same values, and
// every attribute the file held must survive the trip unchanged.

#include <tinyxml.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "engine/file/settings.h"
#include "fuzz_support.h"

namespace {

const char* const kFileName = "settings.xml";

// The game's reads, in its order: graphics start-up, then audio start-up.
struct Read {
    const char* section;
    const char* key;
    const char* attribute;
    bool isFloat;
    double fallback;
};
const Read kReads[] = {
    {"graphics", "goalfps", "value", false, 0},        {"graphics", "window_size", "width", false, 512},
    {"graphics", "window_size", "height", false, 384}, {"graphics", "video_mode", "width", false, 800},
    {"graphics", "video_mode", "height", false, 600},  {"graphics", "bbp", "value", false, 0},
    {"graphics", "fullscreen", "value", false, 0},     {"audio", "sound", "active", false, 1},
    {"audio", "sound", "volume", true, 1.0},           {"audio", "music", "active", false, 1},
    {"audio", "music", "volume", true, 1.0},
};
constexpr std::size_t kWindowWidth = 1;  // indices into kReads
constexpr std::size_t kSoundActive = 7;

// Each value as its bits, so that a NaN read from the file compares equal to itself.
std::vector<std::uint32_t> readAsTheGame(double fallbackShift) {
    std::vector<std::uint32_t> values;
    for (const Read& read : kReads) {
        if (read.isFloat) {
            float value = static_cast<float>(read.fallback + fallbackShift);
            pentavel::getSetting(read.section, read.key, read.attribute, value);
            std::uint32_t bits;
            std::memcpy(&bits, &value, sizeof bits);
            values.push_back(std::isnan(value) ? 0x7FC00000u : bits);
        } else {
            int value = static_cast<int>(read.fallback + fallbackShift);
            pentavel::getSetting(read.section, read.key, read.attribute, value);
            values.push_back(static_cast<std::uint32_t>(value));
        }
    }
    return values;
}

using Attributes = std::map<std::tuple<std::string, std::string, std::string>, std::string>;

// Every attribute of every key, first element of each name only (the store reads no other).
Attributes keyAttributes() {
    Attributes attributes;
    TiXmlElement* probe = pentavel::settingsSection("graphics");  // the document, through a section
    TiXmlNode* document = probe->Parent();
    for (TiXmlElement* section = document->FirstChildElement(); section != nullptr;
         section = section->NextSiblingElement()) {
        if (pentavel::settingsSection(section->Value()) != section)
            continue;
        for (TiXmlElement* key = section->FirstChildElement(); key != nullptr;
             key = key->NextSiblingElement()) {
            if (pentavel::settingsChild(section, key->Value()) != key)
                continue;
            for (TiXmlAttribute* attribute = key->FirstAttribute(); attribute != nullptr;
                 attribute = attribute->Next()) {
                attributes.emplace(
                    std::make_tuple(section->ValueStr(), key->ValueStr(), attribute->NameTStr()),
                    attribute->ValueStr());
            }
        }
    }
    return attributes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeScratchFile(kFileName, data, size);
    std::remove((fuzz::scratchPath() + "/settings.xml.bad").c_str());
    fuzz::mountScratch();

    pentavel::resetSettings();
    pentavel::loadSettings(kFileName);
    std::vector<std::uint32_t> expected = readAsTheGame(0.0);
    // The game's writes: a window resize and the sound switch, with values it could have chosen.
    const int width = static_cast<int>(expected[kWindowWidth] % 4096);
    pentavel::setSetting("graphics", "window_size", "width", width);
    pentavel::setSetting("graphics", "window_size", "height", width * 3 / 4);
    pentavel::setSetting("audio", "sound", "active", expected[kSoundActive] == 0 ? 1 : 0);
    expected = readAsTheGame(0.0);
    const Attributes saved = keyAttributes();
    const bool written = pentavel::saveSettings(kFileName);

    if (written) {
        std::remove((fuzz::scratchPath() + "/settings.xml.bad").c_str());
        pentavel::resetSettings();
        pentavel::loadSettings(kFileName);
        if (std::FILE* bad = std::fopen((fuzz::scratchPath() + "/settings.xml.bad").c_str(), "rb")) {
            std::fclose(bad);
            fuzz::fail("the saved settings were refused at the next load");
        }
        // Other fallbacks than the first time, so that a value lost on the way shows.
        const std::vector<std::uint32_t> reread = readAsTheGame(-7777.0);
        for (std::size_t index = 0; index < reread.size(); ++index) {
            if (reread[index] != expected[index]) {
                fuzz::fail("%s/%s/%s was %u and reads back as %u", kReads[index].section, kReads[index].key,
                           kReads[index].attribute, expected[index], reread[index]);
            }
        }
        const Attributes reloaded = keyAttributes();
        for (const auto& [where, value] : saved) {
            const auto found = reloaded.find(where);
            if (found == reloaded.end() || found->second != value) {
                fuzz::fail("%s/%s/%s was \"%s\" and reads back as \"%s\"", std::get<0>(where).c_str(),
                           std::get<1>(where).c_str(), std::get<2>(where).c_str(), value.c_str(),
                           found == reloaded.end() ? "(missing)" : found->second.c_str());
            }
        }
    }
    pentavel::resetSettings();
    fuzz::unmountScratch();
    return 0;
}
