// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Property: whatever settings file the player has, what the game saves from it reads back with the same
// values, is UTF-8 with the standard declaration, and saves again to the same bytes.

#include <gtest/gtest.h>
#include <iconv.h>
#include <tinyxml.h>

#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "engine/file/settings.h"
#include "support/mounted_folder.h"

namespace {

using Strings = std::vector<std::string>;

// Pieces that TinyXML has mishandled: references without ";" or to no character, bytes that are no UTF-8,
// white space that reading condenses, entities it does not know, declarations it stops in.
const Strings kValues = {"640",           "&amp;",      "&#x41;",       "&amp;#x41;", "&#x0;", "&#x0",
                         "&#xD800;",      "&#x110000;", "&lt;",         "a  b",       " ",     "\t",
                         "&#x20;x&#x20;", "&#xZ;",      "&foo;",        "\xC3",       "\xFF",  "\xC3\xA9",
                         "&quot;",        "&amp;amp;",  "\xEF\xBB\xBF", "&#xFEFF;a"};
const Strings kNames = {"graphics", "audio", "window_size", "sound", "a-b.c", "\xC3\xA9t\xC3\xA9"};
const Strings kDeclarations = {"<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n",
                               "<?xml version=\"&#x0\"?>",
                               "<?xml version=\"1.0\" encoding=\"\xC3\"?>\r\n",
                               "<?xml encoding=\"\xFF\"?>",
                               "<?xml version=\"&quot;\"?>\r",
                               "<?xml version=\"1.0\"",
                               ""};

// A settings-like file built from those pieces, sometimes with one byte changed.
std::string generatedFile(std::mt19937& random) {
    auto pick = [&](const Strings& from) { return from[random() % from.size()]; };
    auto below = [&](unsigned bound) { return random() % bound; };
    std::string text = (below(4) == 0 ? "\xEF\xBB\xBF" : "") + pick(kDeclarations);
    for (unsigned s = below(4); s > 0; --s) {
        const std::string section = pick(kNames);
        text += "<" + section + ">";
        for (unsigned k = below(4); k > 0; --k) {
            text += "<" + pick(kNames);
            for (unsigned a = below(3); a > 0; --a)
                text +=
                    " " + pick({"value", "width", "volume"}) + "=\"" + pick(kValues) + pick(kValues) + "\"";
            text += below(3) == 0 ? ">" + pick(kValues) + "</" + kNames[0] + ">" : "/>";
        }
        if (below(4) == 0)
            text +=
                pick({pick(kValues), "<![CDATA[" + pick(kValues) + "]]>", "<!--" + pick(kValues) + "-->"});
        text += "</" + section + ">\n";
    }
    if (below(8) == 0)
        text += pick({"junk", std::string(1, '\0'), "<!DOCTYPE d>"});
    if (below(6) == 0 && !text.empty())
        text[random() % text.size()] = static_cast<char>(random());
    return text;
}

bool isUtf8(std::string bytes) {
    iconv_t converter = iconv_open("UTF-32LE", "UTF-8");
    std::vector<char> out(4 * bytes.size() + 4);
    char* in = bytes.data();
    char* to = out.data();
    std::size_t inLeft = bytes.size(), outLeft = out.size();
    const bool converted = iconv(converter, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    return converted;
}

// What the game reads for every attribute of a saved file that the store can address (the first section
// and key of each name), found there by plain TinyXML.
Strings valuesOf(const std::string& saved) {
    TiXmlDocument document;
    document.Parse(saved.c_str());
    Strings values;
    for (const TiXmlElement* section = document.FirstChildElement(); section != nullptr;
         section = section->NextSiblingElement()) {
        for (const TiXmlElement* key = section->FirstChildElement(); key != nullptr;
             key = key->NextSiblingElement()) {
            if (document.FirstChildElement(section->ValueStr()) != section ||
                section->FirstChildElement(key->ValueStr()) != key)
                continue;
            for (const TiXmlAttribute* a = key->FirstAttribute(); a != nullptr; a = a->Next()) {
                std::string value = "<absent>";
                pentavel::getSetting(section->Value(), key->Value(), a->Name(), value);
                values.push_back(value);
            }
        }
    }
    return values;
}

// The game's own reads, which add every missing default.
void loadLikeTheGame() {
    pentavel::resetSettings();
    pentavel::loadSettings("settings.xml");
    int number = 0;
    float volume = 1.0f;
    for (const char* key : {"goalfps", "bbp", "fullscreen"})
        pentavel::getSetting("graphics", key, number);
    for (const char* key : {"window_size", "video_mode"}) {
        pentavel::getSetting("graphics", key, "width", number);
        pentavel::getSetting("graphics", key, "height", number);
    }
    for (const char* key : {"sound", "music"}) {
        pentavel::getSetting("audio", key, "active", number);
        pentavel::getSetting("audio", key, "volume", volume);
    }
}

TEST(SettingsRoundTrip, WhatIsSavedReadsBackWithTheSameValues) {
    test::MountedFolder dir;
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n";
    std::mt19937 random(20261208);
    for (int round = 0; round < 500; ++round) {
        const std::string input = generatedFile(random);
        SCOPED_TRACE("input: " + ::testing::PrintToString(input));
        dir.write("settings.xml", input);
        loadLikeTheGame();
        ASSERT_TRUE(pentavel::saveSettings("settings.xml"));
        const std::string saved = dir.read("settings.xml");
        const std::size_t mark = saved.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        ASSERT_EQ(declaration, saved.substr(mark, declaration.size())) << saved;
        ASSERT_TRUE(isUtf8(saved.substr(mark))) << saved;
        const Strings before = valuesOf(saved);

        std::filesystem::remove(dir.path() + "/settings.xml.bad");
        loadLikeTheGame();
        EXPECT_FALSE(dir.exists("settings.xml.bad")) << saved;
        EXPECT_EQ(before, valuesOf(saved)) << saved;
        ASSERT_TRUE(pentavel::saveSettings("settings.xml"));
        ASSERT_EQ(saved, dir.read("settings.xml"));
    }
}

}  // namespace
