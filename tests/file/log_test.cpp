#include "engine/file/log.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "engine/file/file_system.h"
#include "support/test_support.h"

namespace {

// Whether text at "at" has ctime's fixed form, e.g. "Tue Dec  8 14:16:55 2026\n".
bool isTimeText(const std::string& text, std::size_t at) {
    const std::string shape = "Aaa Aaa _9 99:99:99 9999\n";
    if (text.size() < at + shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[at + i]);
        const bool fits = shape[i] == 'A'   ? std::isupper(c) != 0
                          : shape[i] == 'a' ? std::islower(c) != 0
                          : shape[i] == '9' ? std::isdigit(c) != 0
                          : shape[i] == '_' ? c == ' ' || std::isdigit(c) != 0
                                            : c == static_cast<unsigned char>(shape[i]);
        if (!fits)
            return false;
    }
    return true;
}

// The text with every "<i>" time stamp replaced by "TIME".
std::string withoutTimes(std::string text) {
    const std::size_t length = 25;
    for (std::size_t at = text.find("<i>"); at != std::string::npos; at = text.find("<i>", at + 1)) {
        if (isTimeText(text, at + 3))
            text.replace(at + 3, length, "TIME");
    }
    return text;
}

const char* const kHead =
    "<html><head>\n<title>Run-time log</title>\n</head><body>\n"
    "<style type=\"text/css\"><!--\n"
    ".L0 {color:black}\n.L1 {color:red}\n.L2 {color:darkorange}\n.L3 {color:darkblue}\n.L4 {color:green}\n"
    "--></style>\n";

std::string line(int level, const std::string& message) {
    return "<i>TIME:</i>\t<span class=\"L" + std::to_string(level) + "\">" + message + "</span><br>\n";
}

class LogTest : public ::testing::Test {
protected:
    void SetUp() override { test::mountOnly(dir.path()); }
    void TearDown() override {
        pentavel::closeLog();
        test::unmountAll();
    }
    // The log with every time stamp replaced by "TIME".
    std::string logText() const { return withoutTimes(dir.read("log.html")); }

    test::TempDir dir;
};

TEST_F(LogTest, WritesHeadLinesAndTailByteForByte) {
    ASSERT_TRUE(pentavel::openLog());
    EXPECT_TRUE(pentavel::isLogOpen());
    pentavel::logMessage("Loading settings from file: %s", "settings.xml");
    pentavel::logError("Cannot initialise the audio!");
    pentavel::logWarning("--- cannot prep joystick %d for use", 2);
    pentavel::logInfo("--- Bits per pixel: %d", 32);
    ASSERT_TRUE(pentavel::closeLog());
    EXPECT_FALSE(pentavel::isLogOpen());

    const std::string expected =
        std::string(kHead) + line(0, "=== BEGIN LOG ===") +
        line(0, "Loading settings from file: settings.xml") + "<b>" +
        line(1, "Cannot initialise the audio!") + "</b>" + line(2, "--- cannot prep joystick 2 for use") +
        line(3, "--- Bits per pixel: 32") + line(0, "=== END LOG ===") + "</body></html>";
    EXPECT_EQ(expected, logText());
}

TEST_F(LogTest, DebugMessagesNeverReachTheFile) {
    ASSERT_TRUE(pentavel::openLog());
    pentavel::logDebug("File Size of %s is %d", "secret.wav", 12);
    pentavel::closeLog();
    EXPECT_EQ(std::string::npos, dir.read("log.html").find("secret"));
}

TEST_F(LogTest, MessagesAreWrittenWithoutEscaping) {
    ASSERT_TRUE(pentavel::openLog());
    pentavel::logInfo("a < b && <tag>");
    pentavel::closeLog();
    EXPECT_NE(std::string::npos, logText().find(line(3, "a < b && <tag>")));
}

TEST_F(LogTest, AMessageLongerThanTheFormatBufferIsWrittenWhole) {
    const std::string message(3000, 'x');
    ASSERT_TRUE(pentavel::openLog());
    pentavel::logWarning("%s|end", message.c_str());
    pentavel::closeLog();
    EXPECT_NE(std::string::npos, logText().find(line(2, message + "|end")));
}

TEST_F(LogTest, MessagesWhileClosedAreDroppedAndClosingTwiceFails) {
    pentavel::logError("before opening");
    ASSERT_TRUE(pentavel::openLog());
    ASSERT_TRUE(pentavel::closeLog());
    pentavel::logError("after closing");
    EXPECT_FALSE(pentavel::closeLog());
    const std::string text = dir.read("log.html");
    EXPECT_EQ(std::string::npos, text.find("before opening"));
    EXPECT_EQ(std::string::npos, text.find("after closing"));
    EXPECT_EQ(text.size() - 14, text.rfind("</body></html>"));
}

TEST_F(LogTest, OpeningTruncatesTheOldLogAndFailsWithoutWriteDirectory) {
    dir.write("log.html", std::string(5000, 'o'));
    ASSERT_TRUE(pentavel::openLog());
    pentavel::closeLog();
    EXPECT_EQ(0u, dir.read("log.html").find("<html>"));
    EXPECT_EQ(std::string::npos, dir.read("log.html").find("ooo"));

    test::unmountAll();
    EXPECT_FALSE(pentavel::openLog());
    EXPECT_FALSE(pentavel::isLogOpen());
}

TEST(FilePrintf, ReturnsTheByteCountAndWritesLongPiecesWhole) {
    test::TempDir dir;
    test::mountOnly(dir.path());
    pentavel::file::FileHandle* handle = pentavel::file::openFileWrite("out.txt");
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(5, pentavel::file::filePrintf(handle, "%d-%s", 42, "ab"));
    const std::string longText(1023, 'y');
    EXPECT_EQ(1024, pentavel::file::filePrintf(handle, "%s|", longText.c_str()));
    EXPECT_EQ(0, pentavel::file::filePrintf(handle, "%s", ""));
    ASSERT_TRUE(pentavel::file::closeFile(handle));
    EXPECT_EQ("42-ab" + longText + "|", dir.read("out.txt"));
    EXPECT_EQ(-1, pentavel::file::filePrintf(nullptr, "x"));
    test::unmountAll();
}

}  // namespace
