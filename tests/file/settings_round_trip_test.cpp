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
#include "support/test_support.h"

namespace {

using Triple = std::tuple<std::string, std::string, std::string>;

// Pieces that TinyXML has mishandled: references without ";", references to no character, bytes that are
// no UTF-8, white space that reading condenses, entities it does not know.
const std::vector<std::string> kValues = {
    "640",      "1.000000",   "&amp;",    "&#x41;",       "&amp;#x41;", "&#x0;",    "&#x0",
    "&#xD800;", "&#x110000;", "&lt;&gt;", "a  b",         " ",          "\t",       "&#x20;x&#x20;",
    "&#xZ;",    "&foo;",      "&#12a;",   "\xC3",         "\xFF",       "\xC3\xA9", "&apos;",
    "&quot;",   "&amp;amp;",  "x&#x9;y",  "\xEF\xBB\xBF", "&#xFEFF;a"};
const std::vector<std::string> kNames = {"graphics", "audio", "window_size",
                                         "sound",    "a-b.c", "\xC3\xA9t\xC3\xA9"};
const std::vector<std::string> kDeclarations = {"<?xml version=\"1.0\" encoding=\"utf-8\" ?>",
                                                "<?xml version=\"&#x0\"?>",
                                                "<?xml version=\"1.0\" encoding=\"\xC3\"?>",
                                                "<?xml version=\"1.0\" encoding=\"\xFF\"?>",
                                                "<?xml version=\"&quot;\"?>",
                                                "<?xml encoding=\"ISO-8859-1\"?>",
                                                "<?xml version=\"1.0\"",
                                                ""};

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    std::string settingsFile() {
        std::string text = chance(4) ? "\xEF\xBB\xBF" : "";
        text += pick(kDeclarations) + pick({"\n", "\r\n", "", "\r"});
        const int sections = below(4);
        for (int s = 0; s < sections; ++s)
            text += section();
        if (chance(8))
            text += pick({"junk", std::string(1, '\0') + "<x/>", "<!-- c -->", "<!DOCTYPE d>", "\n"});
        return chance(6) ? mutate(text) : text;
    }

private:
    std::string section() {
        const std::string name = pick(kNames);
        std::string text = "<" + name + ">";
        const int keys = below(4);
        for (int k = 0; k < keys; ++k) {
            text += "<" + pick(kNames);
            const int attributes = below(3);
            for (int a = 0; a < attributes; ++a)
                text += " " + pick({"value", "width", "height", "volume"}) + "=\"" + value() + "\"";
            text += chance(3) ? ">" + value() + "</" + kNames[0] + ">" : "/>";
        }
        if (chance(4))
            text += pick({value(), "<![CDATA[" + value() + "]]>", "<!--" + value() + "-->"});
        return text + "</" + name + ">\n";
    }

    std::string value() { return below(3) == 0 ? pick(kValues) + pick(kValues) : pick(kValues); }

    std::string mutate(std::string text) {
        if (text.empty())
            return text;
        const std::size_t at = random_() % text.size();
        switch (below(3)) {
            case 0:
                text.erase(at, 1);
                break;
            case 1:
                text.insert(at, 1, static_cast<char>(random_() % 256));
                break;
            default:
                text[at] = static_cast<char>(random_() % 256);
        }
        return text;
    }

    int below(int bound) { return static_cast<int>(random_() % static_cast<unsigned>(bound)); }
    bool chance(int oneIn) { return below(oneIn) == 0; }
    std::string pick(const std::vector<std::string>& from) { return from[random_() % from.size()]; }

    std::mt19937 random_;
};

bool isUtf8(const std::string& bytes) {
    iconv_t converter = iconv_open("UTF-32LE", "UTF-8");
    std::string in = bytes;
    std::vector<char> out(4 * bytes.size() + 4);
    char* inPointer = in.data();
    char* outPointer = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const bool converted =
        iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) != static_cast<size_t>(-1);
    iconv_close(converter);
    return converted;
}

// Every (section, key, attribute) of a saved file that the store can address (the first section and key
// of each name), as plain TinyXML finds them.
std::vector<Triple> triplesOf(const std::string& text) {
    TiXmlDocument document;
    document.Parse(text.c_str());
    std::vector<Triple> triples;
    for (const TiXmlElement* section = document.FirstChildElement(); section != nullptr;
         section = section->NextSiblingElement()) {
        if (document.FirstChildElement(section->ValueStr()) != section)
            continue;
        for (const TiXmlElement* key = section->FirstChildElement(); key != nullptr;
             key = key->NextSiblingElement()) {
            if (section->FirstChildElement(key->ValueStr()) != key)
                continue;
            for (const TiXmlAttribute* a = key->FirstAttribute(); a != nullptr; a = a->Next())
                triples.emplace_back(section->ValueStr(), key->ValueStr(), a->NameTStr());
        }
    }
    return triples;
}

// What the game reads for each triple.
std::vector<std::string> valuesOf(const std::vector<Triple>& triples) {
    std::vector<std::string> values;
    for (const auto& [section, key, attribute] : triples) {
        std::string value = "<absent>";
        pentavel::getSetting(section.c_str(), key.c_str(), attribute.c_str(), value);
        values.push_back(value);
    }
    return values;
}

// The game's own reads, which add every missing default.
void readProgramSettings() {
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
    test::TempDir dir;
    test::mountOnly(dir.path());
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n";
    Generator generator(20261208);
    for (int round = 0; round < 500; ++round) {
        const std::string input = generator.settingsFile();
        SCOPED_TRACE("input: " + ::testing::PrintToString(input));
        dir.write("settings.xml", input);
        pentavel::resetSettings();
        pentavel::loadSettings("settings.xml");
        readProgramSettings();
        ASSERT_TRUE(pentavel::saveSettings("settings.xml"));
        const std::string saved = dir.read("settings.xml");
        const std::size_t mark = saved.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        ASSERT_EQ(declaration, saved.substr(mark, declaration.size())) << saved;
        ASSERT_TRUE(isUtf8(saved.substr(mark))) << saved;
        const std::vector<Triple> triples = triplesOf(saved);
        const std::vector<std::string> before = valuesOf(triples);

        std::filesystem::remove(dir.path() + "/settings.xml.bad");
        pentavel::resetSettings();
        pentavel::loadSettings("settings.xml");
        EXPECT_FALSE(dir.exists("settings.xml.bad")) << saved;
        EXPECT_EQ(before, valuesOf(triples)) << saved;
        readProgramSettings();
        ASSERT_TRUE(pentavel::saveSettings("settings.xml"));
        ASSERT_EQ(saved, dir.read("settings.xml"));
    }
    pentavel::resetSettings();
    test::unmountAll();
}

}  // namespace
