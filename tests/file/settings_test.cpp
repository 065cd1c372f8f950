// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/settings.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <tinyxml.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/file/log.h"
#include "engine/file/utf8.h"
#include "support/mounted_folder.h"

namespace {

using pentavel::getSetting;
using pentavel::setSetting;

class SettingsTest : public ::testing::Test {
protected:
    // The reads of the program's start-up, in its order.
    void readProgramSettings() {
        int goalFps = 0, windowWidth = 512, windowHeight = 384, modeWidth = 800, modeHeight = 600;
        int bitsPerPixel = 0, fullScreen = 0, soundActive = 1, musicActive = 1;
        float soundVolume = 1.0f, musicVolume = 1.0f;
        getSetting("graphics", "goalfps", goalFps);
        getSetting("graphics", "window_size", "width", windowWidth);
        getSetting("graphics", "window_size", "height", windowHeight);
        getSetting("graphics", "video_mode", "width", modeWidth);
        getSetting("graphics", "video_mode", "height", modeHeight);
        getSetting("graphics", "bbp", bitsPerPixel);
        getSetting("graphics", "fullscreen", fullScreen);
        getSetting("audio", "sound", "active", soundActive);
        getSetting("audio", "sound", "volume", soundVolume);
        getSetting("audio", "music", "active", musicActive);
        getSetting("audio", "music", "volume", musicVolume);
    }

    test::MountedFolder dir;
};

TEST_F(SettingsTest, FirstRunWritesEveryDefaultInTheOrderAskedFor) {
    ASSERT_TRUE(pentavel::loadSettings("settings.xml"));
    readProgramSettings();
    // A choice never made is looked for without being written.
    std::string chosen = "unchanged";
    EXPECT_FALSE(pentavel::findSetting("levels", "set", chosen));
    EXPECT_EQ("unchanged", chosen);
    pentavel::followSectionInFile("levels");
    ASSERT_TRUE(pentavel::saveSettings("settings.xml"));
    EXPECT_EQ(
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
        "<graphics>\n"
        "    <goalfps value=\"0\" />\n"
        "    <window_size width=\"512\" height=\"384\" />\n"
        "    <video_mode width=\"800\" height=\"600\" />\n"
        "    <bbp value=\"0\" />\n"
        "    <fullscreen value=\"0\" />\n"
        "</graphics>\n"
        "<audio>\n"
        "    <sound active=\"1\" volume=\"1.000000\" />\n"
        "    <music active=\"1\" volume=\"1.000000\" />\n"
        "</audio>\n",
        dir.read("settings.xml"));
}

// The importer chooses the next set while the game runs: the game's saves keep that choice until the player
// chooses in the game, whose choice then stands.
TEST_F(SettingsTest, AFollowedSectionIsSavedAsTheFileHoldsItUntilTheProgramSetsIt) {
    const std::string path = dir.path() + "/settings.xml";
    dir.write(
        "settings.xml",
        "<audio>\n    <sound active=\"1\" />\n</audio>\n<levels>\n    <set value=\"A\" />\n</levels>\n");
    pentavel::loadSettings("settings.xml");
    std::string chosen;
    EXPECT_TRUE(pentavel::findSetting("levels", "set", chosen));
    EXPECT_EQ("A", chosen);
    pentavel::followSectionInFile("levels");
    int sound = 1;
    getSetting("audio", "sound", "active", sound);
    std::string reason;
    ASSERT_TRUE(pentavel::rememberSettingInFile(path, "levels", "set", "B & C", reason)) << reason;
    setSetting("audio", "sound", "active", 0);
    ASSERT_TRUE(pentavel::saveSettings("settings.xml"));
    EXPECT_EQ(
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<audio>\n    <sound active=\"0\" />\n</audio>\n"
        "<levels>\n    <set value=\"B &amp; C\" />\n</levels>\n",
        dir.read("settings.xml"));
    // Gone from the file, gone from the save; set here, it stands whatever the file says.
    dir.write("settings.xml", "<audio />\n");
    pentavel::saveSettings("settings.xml");
    EXPECT_EQ(std::string::npos, dir.read("settings.xml").find("levels"));
    setSetting("levels", "set", std::string("D"));
    ASSERT_TRUE(pentavel::rememberSettingInFile(path, "levels", "set", "E", reason));
    pentavel::saveSettings("settings.xml");
    EXPECT_NE(std::string::npos, dir.read("settings.xml").find("<set value=\"D\" />"));
    // A file the game cannot read is not rewritten by another program; a missing one is made.
    dir.write("settings.xml", "<audio");
    EXPECT_FALSE(pentavel::rememberSettingInFile(path, "levels", "set", "F", reason));
    EXPECT_EQ("<audio", dir.read("settings.xml"));
    EXPECT_EQ("it is not a settings file the game reads", reason);
    // One that cannot even be opened (a socket where the file was) says so.
    std::filesystem::remove(path);
    const int socketDescriptor = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(0, bind(socketDescriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address));
    EXPECT_FALSE(pentavel::rememberSettingInFile(path, "levels", "set", "F", reason));
    EXPECT_EQ("it cannot be read", reason);
    close(socketDescriptor);
    std::filesystem::remove(path);
    // Only the player's own file is followed, never a copy further down the search path.
    test::TempDir beneath;
    beneath.write("settings.xml", "<levels>\n    <set value=\"beneath\" />\n</levels>\n");
    test::mountOnly(dir.path(), beneath.path());
    pentavel::followSectionInFile("levels");
    pentavel::saveSettings("settings.xml");
    EXPECT_NE(std::string::npos, dir.read("settings.xml").find("<set value=\"D\" />"));
    // A followed section that only the file holds (another program made it) joins the save.
    pentavel::resetSettings();
    dir.write("settings.xml", "<audio />\n");
    pentavel::loadSettings("settings.xml");
    pentavel::followSectionInFile("levels");
    dir.write("settings.xml", "<audio />\n<levels>\n    <set value=\"I\" />\n</levels>\n");
    pentavel::saveSettings("settings.xml");
    EXPECT_NE(std::string::npos, dir.read("settings.xml").find("<set value=\"I\" />"));
    // A new run follows nothing until told.
    pentavel::followSectionInFile("levels");
    pentavel::resetSettings();
    dir.write("settings.xml", "<audio />\n");
    pentavel::loadSettings("settings.xml");
    dir.write("settings.xml", "<levels>\n    <set value=\"H\" />\n</levels>\n");
    pentavel::saveSettings("settings.xml");
    EXPECT_EQ(std::string::npos, dir.read("settings.xml").find("levels"));
    EXPECT_TRUE(pentavel::rememberSettingInFile(dir.path() + "/new.xml", "levels", "set", "G", reason));
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<levels>\n    <set value=\"G\" />\n</levels>\n",
              dir.read("new.xml"));
}

TEST_F(SettingsTest, NumbersAreReadLikeAtoiAndAtofLeavingTheTextAlone) {
    dir.write("settings.xml",
              "<graphics><video_mode width=\"1024x768\" height=\"tall\" depth=\"1e2\" /></graphics>"
              "<audio><sound volume=\" 0.5db\" /><music volume=\"loud\" /></audio>");
    pentavel::loadSettings("settings.xml");
    int width = 0, height = 600, depth = 0;
    float soundVolume = 1.0f, musicVolume = 1.0f;
    getSetting("graphics", "video_mode", "width", width);
    getSetting("graphics", "video_mode", "height", height);
    getSetting("graphics", "video_mode", "depth", depth);
    getSetting("audio", "sound", "volume", soundVolume);
    getSetting("audio", "music", "volume", musicVolume);
    EXPECT_EQ(1024, width);
    EXPECT_EQ(0, height);
    EXPECT_EQ(1, depth);
    EXPECT_FLOAT_EQ(0.5f, soundVolume);
    EXPECT_FLOAT_EQ(0.0f, musicVolume);
    pentavel::saveSettings("settings.xml");
    EXPECT_NE(std::string::npos, dir.read("settings.xml").find("width=\"1024x768\" height=\"tall\""));
}

TEST_F(SettingsTest, SetValuesReplaceTextInPlaceAndFloatsUseSixDecimals) {
    pentavel::loadSettings("settings.xml");
    readProgramSettings();
    EXPECT_TRUE(setSetting("audio", "sound", "volume", 0.25f));
    EXPECT_TRUE(setSetting("graphics", "window_size", "width", 1280));
    const std::string tricky = "a \"quoted\" <name> &#x41; &amp;";
    EXPECT_TRUE(setSetting("misc", "name", tricky));
    std::string name;
    getSetting("misc", "name", name);
    EXPECT_EQ(tricky, name);
    pentavel::saveSettings("settings.xml");

    pentavel::resetSettings();
    pentavel::loadSettings("settings.xml");
    int width = 0;
    float volume = 0.0f;
    std::string reread;
    getSetting("graphics", "window_size", "width", width);
    getSetting("audio", "sound", "volume", volume);
    getSetting("misc", "name", reread);
    EXPECT_EQ(1280, width);
    EXPECT_FLOAT_EQ(0.25f, volume);
    EXPECT_EQ(tricky, reread);
    const std::string text = dir.read("settings.xml");
    EXPECT_NE(std::string::npos, text.find("<sound active=\"1\" volume=\"0.250000\" />"));
    EXPECT_NE(std::string::npos, text.find("<window_size width=\"1280\" height=\"384\" />"));
}

TEST_F(SettingsTest, StoredValuesOfEverySectionWinAndMissingAttributesAreAppended) {
    dir.write("settings.xml",
              "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<graphics>\r\n    <goalfps value=\"60\" />\r\n"
              "<window_size width=\"640\" />\r\n</graphics>\r\n<audio>\r\n    <sound active=\"0\" />\r\n"
              "</audio>\r\n<extra />\r\n");
    pentavel::loadSettings("settings.xml");
    int goalFps = 0, soundActive = 1, width = 512, height = 384;
    getSetting("graphics", "goalfps", goalFps);
    getSetting("graphics", "window_size", "width", width);
    getSetting("graphics", "window_size", "height", height);
    getSetting("audio", "sound", "active", soundActive);
    EXPECT_EQ(60, goalFps);
    EXPECT_EQ(640, width);
    EXPECT_EQ(384, height);
    EXPECT_EQ(0, soundActive);
    EXPECT_FALSE(dir.exists("settings.xml.bad"));
    pentavel::saveSettings("settings.xml");
    EXPECT_NE(std::string::npos,
              dir.read("settings.xml").find("<window_size width=\"640\" height=\"384\" />"));
}

TEST_F(SettingsTest, AMalformedFileIsKeptAsBadBeforeTheDefaultsReplaceIt) {
    const std::string malformed = "<graphics><goalfps value=\"60\"></graphics>";
    dir.write("settings.xml", malformed);
    dir.write("settings.xml.bad", "an older bad copy, longer than the new one");
    ASSERT_TRUE(pentavel::openLog());
    ASSERT_TRUE(pentavel::loadSettings("settings.xml"));
    EXPECT_EQ(malformed, dir.read("settings.xml.bad"));

    int goalFps = 0;
    getSetting("graphics", "goalfps", goalFps);
    EXPECT_EQ(0, goalFps);
    ASSERT_TRUE(pentavel::saveSettings("settings.xml"));
    EXPECT_NE(std::string::npos, dir.read("settings.xml").find("<goalfps value=\"0\" />"));
    EXPECT_EQ(malformed, dir.read("settings.xml.bad"));

    pentavel::closeLog();
    const std::string log = dir.read("log.html");
    EXPECT_NE(
        std::string::npos,
        log.find(
            "<span class=\"L2\">...settings.xml could not be read, it is kept as settings.xml.bad</span>"));
    EXPECT_NE(std::string::npos, log.find("...settings.xml does not exist, using default settings"));
}

// What settings and level files may hold: each length of UTF-8 up to its first and last character, and
// nothing just beyond (overlong forms, surrogates, past U+10FFFF, cut short).
TEST(Utf8, TakesEachLengthToItsEdgesAndNothingBeyond) {
    for (const std::string valid : {"\x7F", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF",
                                    "\xEE\x80\x80", "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"})
        EXPECT_EQ(valid.size(), pentavel::file::utf8CharacterLength(valid + "a", 0))
            << ::testing::PrintToString(valid);
    for (const std::string invalid :
         {"\x80", "\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF0\x8F\xBF\xBF",
          "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xE2\x82", "\xC3\x28"})
        EXPECT_EQ(0u, pentavel::file::utf8CharacterLength(invalid, 0)) << ::testing::PrintToString(invalid);
}

TEST_F(SettingsTest, AFileThatIsNotReadToItsEndIsKeptAsBad) {
    const std::string values = "<graphics><goalfps value=\"60\" /></graphics>\n";
    // The parser used to stop at each of these without an error, or read them but saved what it could
    // not read back: a reference without ";" in the declaration, bytes that are no UTF-8 after a
    // byte-order mark, text after the last element, a zero byte.
    for (const std::string& damaged : {"<?xml version=\"&#x0\"?>\n" + values,
                                       "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"\xC3\"?>\n" + values,
                                       values + "junk", values + std::string(1, '\0') + "<audio />"}) {
        SCOPED_TRACE(::testing::PrintToString(damaged));
        dir.write("settings.xml", damaged);
        ASSERT_TRUE(pentavel::openLog());
        pentavel::resetSettings();
        pentavel::loadSettings("settings.xml");
        int goalFps = 0;
        getSetting("graphics", "goalfps", goalFps);
        EXPECT_EQ(0, goalFps);
        EXPECT_EQ(damaged, dir.read("settings.xml.bad"));
        pentavel::closeLog();
        EXPECT_NE(std::string::npos,
                  dir.read("log.html").find("...settings.xml could not be read, it is kept as"));
    }
}

TEST_F(SettingsTest, AnEmptyFileIsReplacedWithoutKeepingIt) {
    for (const std::string& empty : {std::string(), std::string(" \r\n\t\n")}) {
        dir.write("settings.xml", empty);
        ASSERT_TRUE(pentavel::openLog());
        pentavel::resetSettings();
        pentavel::loadSettings("settings.xml");
        pentavel::closeLog();
        EXPECT_FALSE(dir.exists("settings.xml.bad"));
        EXPECT_EQ(std::string::npos, dir.read("log.html").find("class=\"L2\""));
        EXPECT_TRUE(pentavel::saveSettings("settings.xml"));
    }
}

TEST_F(SettingsTest, AMalformedFileThatCannotBeKeptIsNeverOverwritten) {
    const std::string malformed = "<graphics";
    dir.write("settings.xml", malformed);
    dir.write("settings.xml.bad/blocker", "a folder where the copy would go");
    ASSERT_TRUE(pentavel::loadSettings("settings.xml"));
    int goalFps = 7;
    getSetting("graphics", "goalfps", goalFps);
    EXPECT_EQ(7, goalFps);
    EXPECT_FALSE(pentavel::saveSettings("settings.xml"));
    EXPECT_EQ(malformed, dir.read("settings.xml"));
}

TEST_F(SettingsTest, AFailedSaveKeepsTheOldFileAndIsReportedOncePerReason) {
    ASSERT_TRUE(pentavel::openLog());
    const std::string old = "<graphics>\n    <goalfps value=\"0\" />\n</graphics>\n";
    dir.write("settings.xml", old);
    ASSERT_TRUE(pentavel::loadSettings("settings.xml"));
    // Far larger than the room left on the "disk", which the log's few new lines fit in.
    for (int key = 0; key < 2000; ++key)
        setSetting("graphics", ("key" + std::to_string(key)).c_str(), key);
    {
        test::DiskFullPast full(std::filesystem::file_size(dir.path() + "/log.html") + 16 * 1024);
        EXPECT_FALSE(pentavel::saveSettings("settings.xml"));
        EXPECT_FALSE(pentavel::saveSettings("settings.xml"));
    }
    dir.write("settings.xml.new/blocker", "a folder where the new file would go");
    EXPECT_FALSE(pentavel::saveSettings("settings.xml"));
    EXPECT_EQ(old, dir.read("settings.xml"));
    std::filesystem::remove_all(dir.path() + "/settings.xml.new");
    EXPECT_TRUE(pentavel::saveSettings("settings.xml"));
    pentavel::closeLog();
    const std::string log = dir.read("log.html");
    const std::string full = "...settings.xml could not be saved (";
    const std::size_t first = log.find(full);
    ASSERT_NE(std::string::npos, first);
    const std::size_t second = log.find(full, first + 1);
    ASSERT_NE(std::string::npos, second);
    EXPECT_EQ(std::string::npos, log.find(full, second + 1));
    EXPECT_LT(log.find("Saving settings to file: settings.xml"), first);
    EXPECT_NE(log.substr(first, log.find(')', first) - first),
              log.substr(second, log.find(')', second) - second));
}

TEST_F(SettingsTest, NothingIsSavedBeforeLoading) {
    int goalFps = 0;
    getSetting("graphics", "goalfps", goalFps);
    EXPECT_FALSE(pentavel::saveSettings("settings.xml"));
    EXPECT_FALSE(dir.exists("settings.xml"));
}

TEST_F(SettingsTest, LookupsCreateOnceAndRefuseANullElement) {
    pentavel::loadSettings("settings.xml");
    TiXmlElement* section = pentavel::settingsSection("graphics");
    ASSERT_NE(nullptr, section);
    EXPECT_EQ(section, pentavel::settingsSection("graphics"));
    TiXmlElement* key = pentavel::settingsChild(section, "bbp");
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(key, pentavel::settingsChild(section, "bbp"));
    EXPECT_EQ(nullptr, pentavel::settingsChild(nullptr, "bbp"));
}

}  // namespace
