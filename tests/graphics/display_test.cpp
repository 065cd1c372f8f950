// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/display.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/file/settings.h"
#include "engine/graphics/internal/display_geometry.h"
#include "engine/graphics/internal/graphics_resource_manager.h"
#include "engine/graphics/internal/graphics_system.h"
#include "engine/graphics/sprite.h"
#include "support/mounted_folder.h"

namespace {

using pentavel::graphics::internal::largeFirstWindow;
using pentavel::graphics::internal::pixelToPlayFieldX;
using pentavel::graphics::internal::pixelToPlayFieldY;
using pentavel::graphics::internal::snapToFourByThree;

void expectSnap(int width, int height, int expectedWidth, int expectedHeight) {
    const auto size = snapToFourByThree(width, height);
    EXPECT_EQ(expectedWidth, size.width) << width << " x " << height;
    EXPECT_EQ(expectedHeight, size.height) << width << " x " << height;
}

TEST(WindowSnap, TakesTheLargestFourByThreeSizeInside) {
    expectSnap(1000, 600, 800, 600);
    expectSnap(800, 900, 800, 600);
    expectSnap(640, 480, 640, 480);
    expectSnap(513, 384, 512, 384);
    expectSnap(101, 100, 101, 75);  // 75.75 truncated
    expectSnap(100, 74, 98, 74);    // 98.67 truncated
    // Sizes without room for a pixel snap to nothing.
    expectSnap(0, 0, 0, 0);
    expectSnap(0, 600, 0, 0);
    expectSnap(800, 0, 0, 0);
    expectSnap(-800, 600, 0, 0);
    expectSnap(1, 1, 0, 0);  // 1 x 0.75
    expectSnap(2, 2, 2, 1);
}

// Nine tenths of the desktop, 4:3; raised to the minimum only where the desktop holds it whole.
TEST(WindowSnap, ALargeFirstWindowFillsMostOfTheDesktop) {
    const auto expectLarge = [](int width, int height, int expectedWidth, int expectedHeight) {
        const auto size = largeFirstWindow(width, height, 1024, 768);
        EXPECT_EQ(expectedWidth, size.width) << width << " x " << height;
        EXPECT_EQ(expectedHeight, size.height) << width << " x " << height;
    };
    expectLarge(1920, 1080, 1296, 972);
    expectLarge(2560, 1600, 1920, 1440);
    expectLarge(1024, 768, 1024, 768);
    expectLarge(1280, 800, 1024, 768);  // 960 x 720 is under the minimum
    expectLarge(1023, 768, 920, 690);   // the minimum does not fit
    expectLarge(1024, 767, 920, 690);
    expectLarge(800, 600, 720, 540);
    expectLarge(0, 0, 0, 0);
}

TEST(PlayFieldConversion, WindowCornersAndCentreMapToTheFieldEdges) {
    EXPECT_FLOAT_EQ(-1.0f, pixelToPlayFieldX(0, 512));
    EXPECT_FLOAT_EQ(0.0f, pixelToPlayFieldX(256, 512));
    EXPECT_FLOAT_EQ(1.0f, pixelToPlayFieldX(512, 512));
    EXPECT_FLOAT_EQ(0.75f, pixelToPlayFieldY(0, 384));
    EXPECT_FLOAT_EQ(0.0f, pixelToPlayFieldY(192, 384));
    EXPECT_FLOAT_EQ(-0.75f, pixelToPlayFieldY(384, 384));
    // Pixels beyond the window (a dragged mouse) extend the field linearly.
    EXPECT_FLOAT_EQ(-1.25f, pixelToPlayFieldX(-64, 512));
    EXPECT_FLOAT_EQ(-0.9375f, pixelToPlayFieldY(432, 384));
}

TEST(PlayFieldConversion, ADisplayWithoutASizeGivesTheCentre) {
    EXPECT_EQ(0.0f, pixelToPlayFieldX(100, 0));
    EXPECT_EQ(0.0f, pixelToPlayFieldY(100, 0));
    EXPECT_EQ(0, pentavel::graphics::displayWidth());
    EXPECT_EQ(0.0f, pentavel::graphics::toPlayFieldX(100));
    EXPECT_EQ(0.0f, pentavel::graphics::toPlayFieldY(100));
}

// Without a display (the dummy video driver has no OpenGL) every mode is refused.
class DisplayWithoutOpenGl : public ::testing::Test {
protected:
    // Some SDL builds find an off-screen OpenGL driver when none is named; these tests need none.
    static void SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "dummy", 1); }

    bool contains(const std::string& text) const { return log.find(text) != std::string::npos; }
    // True when the texts appear in this order.
    bool inOrder(const std::vector<std::string>& texts) const {
        std::size_t from = 0;
        for (const std::string& text : texts) {
            from = log.find(text, from);
            if (from == std::string::npos)
                return false;
            from += text.size();
        }
        return true;
    }
    int graphicsSetting(const char* key, const char* attribute) const {
        TiXmlElement* element = pentavel::settingsSection("graphics")->FirstChildElement(key);
        int value = -12345;
        if (element != nullptr)
            element->QueryIntAttribute(attribute, &value);
        return value;
    }

    test::LoggedFolder folder;
    std::string log;
};

TEST_F(DisplayWithoutOpenGl, FirstStartWritesTheDefaultsAndGivesUpAfterTheFallBack) {
    EXPECT_FALSE(pentavel::graphics::startGraphics());
    EXPECT_EQ(0, graphicsSetting("goalfps", "value"));
    EXPECT_EQ(512, graphicsSetting("window_size", "width"));
    EXPECT_EQ(384, graphicsSetting("window_size", "height"));
    EXPECT_EQ(800, graphicsSetting("video_mode", "width"));
    EXPECT_EQ(600, graphicsSetting("video_mode", "height"));
    EXPECT_EQ(0, graphicsSetting("bbp", "value"));
    EXPECT_EQ(0, graphicsSetting("fullscreen", "value"));
    EXPECT_EQ(0, pentavel::graphics::displayWidth());
    EXPECT_EQ(0, pentavel::graphics::displayHeight());
    EXPECT_FALSE(pentavel::graphics::isFullscreen());

    log = folder.logText();
    EXPECT_TRUE(inOrder(
        {"---- Determining video capabilities", "---- Setting video mode and display surface...",
         "Cannot assign video mode of 512 by 384, Windowed Mode", "SDL Error:\t",
         "---- Attempting to use default graphics settings...", "Cannot work with default graphics settings",
         "Cannot assign video mode of 512 by 384, Windowed Mode", "SDL Error:\t",
         "Cannot assign video mode! Exiting..."}))
        << log;
    EXPECT_FALSE(contains("Video mode set to"));
    EXPECT_FALSE(contains("Cannot read in the settings"));
}

// A program that asks for a large first window gets one sized to the desktop, stored as its own setting;
// a size already stored stays.
TEST_F(DisplayWithoutOpenGl, ALargeFirstWindowIsAskedOnlyWhenNoSizeIsStored) {
    pentavel::graphics::preferLargeFirstWindow();
    struct Undo {
        ~Undo() { pentavel::graphics::preferLargeFirstWindow(false); }
    } undo;
    EXPECT_FALSE(pentavel::graphics::startGraphics());
    // The dummy driver of one SDL library reports a desktop, the other none (then the default stands).
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    ASSERT_NE(info, nullptr);
    pentavel::graphics::internal::WindowSize expected =
        largeFirstWindow(info->current_w, info->current_h, 1024, 768);
    if (expected.width == 0)
        expected = {512, 384};
    EXPECT_EQ(expected.width, graphicsSetting("window_size", "width"));
    EXPECT_EQ(expected.height, graphicsSetting("window_size", "height"));
    log = folder.logText();
    EXPECT_TRUE(contains("Cannot assign video mode of " + std::to_string(expected.width) + " by " +
                         std::to_string(expected.height) + ", Windowed Mode"))
        << log;

    pentavel::openLog();
    pentavel::setSetting("graphics", "window_size", "width", 640);
    pentavel::setSetting("graphics", "window_size", "height", 480);
    EXPECT_FALSE(pentavel::graphics::startGraphics());
    log = folder.logText();
    EXPECT_TRUE(contains("Cannot assign video mode of 640 by 480, Windowed Mode")) << log;
    EXPECT_EQ(640, graphicsSetting("window_size", "width"));
}

TEST_F(DisplayWithoutOpenGl, FullScreenAsksForTheVideoModeSizeAtTheDesktopDepth) {
    pentavel::setSetting("graphics", "fullscreen", "value", 1);
    pentavel::setSetting("graphics", "video_mode", "width", 1024);
    pentavel::setSetting("graphics", "video_mode", "height", 768);
    pentavel::setSetting("graphics", "bbp", "value", 7);
    EXPECT_FALSE(pentavel::graphics::startGraphics());
    log = folder.logText();
    EXPECT_TRUE(inOrder({"Cannot assign video mode of 1024 by 768, ", " BBP, Full Screen Mode",
                         "---- Attempting to use default graphics settings..."}))
        << log;
    EXPECT_FALSE(contains("7 BBP"));
    // The fall-back leaves the stored choice alone.
    EXPECT_EQ(1, graphicsSetting("fullscreen", "value"));
}

TEST_F(DisplayWithoutOpenGl, StoredSizesTooSmallOrNotNumbersGiveWayToTheDefaults) {
    pentavel::setSetting("graphics", "fullscreen", "value", 0);
    pentavel::setSetting("graphics", "window_size", "width", 64);
    pentavel::setSetting("graphics", "window_size", "height", 48);
    pentavel::setSetting("graphics", "video_mode", "width", std::string("abc"));
    pentavel::setSetting("graphics", "video_mode", "height", std::string("7x"));
    EXPECT_FALSE(pentavel::graphics::startGraphics());
    log = folder.logText();
    EXPECT_TRUE(inOrder({"---- Unusable full screen size abc by 7x in the settings, using 800 by 600",
                         "Cannot assign video mode of 64 by 48, Windowed Mode"}))
        << log;
    EXPECT_FALSE(contains("Unusable window size"));
    EXPECT_EQ(800, graphicsSetting("video_mode", "width"));
    EXPECT_EQ(600, graphicsSetting("video_mode", "height"));

    pentavel::openLog();
    pentavel::setSetting("graphics", "window_size", "width", 0);
    pentavel::setSetting("graphics", "fullscreen", "value", 1);
    EXPECT_FALSE(pentavel::graphics::startGraphics());
    log = folder.logText();
    EXPECT_TRUE(inOrder({"---- Unusable window size 0 by 48 in the settings, using 512 by 384",
                         "Cannot assign video mode of 800 by 600, "}))
        << log;
    EXPECT_EQ(512, graphicsSetting("window_size", "width"));
    EXPECT_EQ(384, graphicsSetting("window_size", "height"));
}

// A resize to nothing is ignored; one refused keeps the settings.
TEST_F(DisplayWithoutOpenGl, ResizeSetsTheSnappedSizeAndKeepsTheSettingsWhenRefused) {
    EXPECT_FALSE(pentavel::graphics::resizeWindow(0, 0));
    EXPECT_FALSE(pentavel::graphics::resizeWindow(1, 1));
    EXPECT_EQ(-12345, graphicsSetting("window_size", "width"));
    pentavel::setSetting("graphics", "window_size", "width", 640);
    EXPECT_FALSE(pentavel::graphics::resizeWindow(1000, 600));
    EXPECT_EQ(640, graphicsSetting("window_size", "width"));
    log = folder.logText();
    EXPECT_TRUE(inOrder({"Setting video mode", "Cannot assign video mode of 800 by 600, Windowed Mode",
                         "---- Attempting to use default graphics settings..."}))
        << log;
    EXPECT_EQ(std::string::npos, log.find("Setting video mode", log.find("Setting video mode") + 1)) << log;
}

TEST_F(DisplayWithoutOpenGl, ScanningSpriteSheetsNeedsNoDisplay) {
    folder.write("display_test.svg",
                 "<svg width=\"400\" height=\"400\"><g>"
                 "<rect id=\"display_test_marker\" x=\"0\" y=\"0\" width=\"40\" height=\"20\"/></g></svg>");
    folder.write("display_test.png", "a picture");
    pentavel::graphics::scanSpriteSheets();
    const pentavel::graphics::SpriteId marker = pentavel::graphics::lookupSprite("display_test_marker");
    ASSERT_NE(0, marker);
    EXPECT_FLOAT_EQ(0.1f, pentavel::graphics::internal::graphicsSystem().resources().naturalWidth(marker));
}

}  // namespace
