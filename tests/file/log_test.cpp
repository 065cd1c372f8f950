// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/file/file_system.h"
#include "support/mounted_folder.h"

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
    // The log with every time stamp replaced by "TIME".
    std::string logText() const { return withoutTimes(dir.read("log.html")); }

    test::MountedFolder dir;
};

TEST_F(LogTest, WritesHeadLinesAndTailByteForByte) {
    ASSERT_TRUE(pentavel::openLog());
    EXPECT_TRUE(pentavel::isLogOpen());
    pentavel::logMessage("Loading settings from file: %s", "settings.xml");
    pentavel::logError("Cannot initialise the audio!");
    pentavel::logWarning("--- cannot prep joystick %d for use", 2);
    pentavel::logInfo("--- Bits per pixel: %d < 64 && <tag>", 32);  // written as it is, not escaped
    pentavel::logDebug("File Size of %s is %d", "secret.wav", 12);  // never written
    ASSERT_TRUE(pentavel::closeLog());
    EXPECT_FALSE(pentavel::isLogOpen());

    const std::string expected =
        std::string(kHead) + line(0, "=== BEGIN LOG ===") +
        line(0, "Loading settings from file: settings.xml") + "<b>" +
        line(1, "Cannot initialise the audio!") + "</b>" + line(2, "--- cannot prep joystick 2 for use") +
        line(3, "--- Bits per pixel: 32 < 64 && <tag>") + line(0, "=== END LOG ===") + "</body></html>";
    EXPECT_EQ(expected, logText());
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

    if (fcntl(STDIN_FILENO, F_GETFD) == -1)
        open("/dev/null", O_RDONLY);  // takes the lowest free descriptor, 0
    // Neither a folder in the log's place nor a missing write directory closes a descriptor of the program's.
    std::filesystem::remove(dir.path() + "/log.html");
    dir.write("log.html/blocker", "");
    EXPECT_FALSE(pentavel::openLog());
    EXPECT_NE(-1, fcntl(STDIN_FILENO, F_GETFD));
    test::unmountAll();
    EXPECT_FALSE(pentavel::openLog());
    EXPECT_FALSE(pentavel::isLogOpen());
    EXPECT_NE(-1, fcntl(STDIN_FILENO, F_GETFD));  // a failed open closes nothing of the program's
}

// The log is locked while it is written; a second copy of the program finds it locked and writes
// log-2.html, saying why, and the first copy's log stays as it is.
TEST_F(LogTest, ASecondCopyWritesALogOfItsOwn) {
    const std::string path = dir.path() + "/log.html";
    ASSERT_TRUE(pentavel::openLog());
    const mode_t mask = umask(0);
    umask(mask);
    struct stat status = {};
    ASSERT_EQ(0, stat(path.c_str(), &status));
    EXPECT_EQ(0666u & ~mask, status.st_mode & 07777u);  // as the file library makes a file
    const int other = open(path.c_str(), O_RDONLY);
    ASSERT_GE(other, 0);
    EXPECT_NE(0, flock(other, LOCK_EX | LOCK_NB));
    pentavel::closeLog();
    ASSERT_EQ(0, flock(other, LOCK_EX | LOCK_NB));
    const std::string first = dir.read("log.html");
    ASSERT_TRUE(pentavel::openLog());
    pentavel::logMessage("second");
    pentavel::closeLog();
    close(other);
    EXPECT_EQ(first, dir.read("log.html"));
    const std::string second = withoutTimes(dir.read("log-2.html"));
    EXPECT_NE(
        std::string::npos,
        second.find(line(0, "Another copy of the program writes log.html: this copy writes log-2.html") +
                    line(0, "second")));
}

// The lock holds whatever descriptor it gets, 0 too (a program started with standard input closed), and is
// given up when the log is closed or cannot be opened.
TEST_F(LogTest, TheLockHoldsOnDescriptorZeroAndIsGivenUp) {
    const int input = dup(STDIN_FILENO);
    close(STDIN_FILENO);
    ASSERT_TRUE(pentavel::openLog());
    const int other = open((dir.path() + "/log.html").c_str(), O_RDONLY);
    EXPECT_NE(0, flock(other, LOCK_EX | LOCK_NB));
    pentavel::closeLog();
    EXPECT_EQ(0, flock(other, LOCK_EX | LOCK_NB));
    close(other);
    // A name the file library refuses, though the folder takes it.
    ASSERT_EQ(-1, fcntl(STDIN_FILENO, F_GETFD));
    EXPECT_FALSE(pentavel::openLog("bad:name.html"));
    const int refused = open((dir.path() + "/bad:name.html").c_str(), O_RDONLY);
    EXPECT_EQ(0, flock(refused, LOCK_EX | LOCK_NB));
    close(refused);
    if (input >= 0) {
        dup2(input, STDIN_FILENO);
        close(input);
    } else {
        open("/dev/null", O_RDONLY);  // takes the lowest free descriptor, 0
    }
}

// Nine copies write logs of their own; a tenth shares the first one's name and closes nothing of its own.
TEST_F(LogTest, TheNinthCopyIsTheLast) {
    if (fcntl(STDIN_FILENO, F_GETFD) == -1)
        open("/dev/null", O_RDONLY);  // takes the lowest free descriptor, 0
    std::vector<int> held;
    for (const char* name : {"log.html", "log-2.html", "log-3.html", "log-4.html", "log-5.html", "log-6.html",
                             "log-7.html", "log-8.html"}) {
        held.push_back(open((dir.path() + "/" + name).c_str(), O_WRONLY | O_CREAT, 0644));
        ASSERT_EQ(0, flock(held.back(), LOCK_EX | LOCK_NB));
    }
    ASSERT_TRUE(pentavel::openLog());
    pentavel::closeLog();
    EXPECT_TRUE(dir.exists("log-9.html"));
    held.push_back(open((dir.path() + "/log-9.html").c_str(), O_WRONLY | O_CREAT, 0644));
    ASSERT_EQ(0, flock(held.back(), LOCK_EX | LOCK_NB));
    ASSERT_TRUE(pentavel::openLog());
    pentavel::closeLog();
    EXPECT_FALSE(dir.exists("log-10.html"));
    EXPECT_NE(-1, fcntl(STDIN_FILENO, F_GETFD));
    for (const int descriptor : held)
        close(descriptor);
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

TEST_F(LogTest, AMessageIsWrittenTwentyTimesAndItsFurtherCopiesAreCountedAtTheEnd) {
    ASSERT_TRUE(pentavel::openLog());
    for (int frame = 0; frame < 20; ++frame) {
        pentavel::logError("Error loading in PNG file [%s] to OpenGL texture!", "sprites.png");
        pentavel::logWarning("Error loading in PNG file [%s] to OpenGL texture!", "sprites.png");
    }
    const std::string twenty = dir.read("log.html");
    for (int step = 1; step <= 1000; ++step) {
        pentavel::logError("Error loading in PNG file [%s] to OpenGL texture!", "sprites.png");
        pentavel::logError("Level %d is malformed", step);  // differing only in numbers: copies too
        if (step <= 25) {
            pentavel::logError("Cannot load in WAV file beep%d.wav!", step);  // names stay apart
            pentavel::logError("Cannot read %dD.png!", step);
        }
    }
    pentavel::logMessage("Saving settings to file: %s", "settings.xml");
    ASSERT_TRUE(pentavel::closeLog());
    const std::string text = logText();

    EXPECT_EQ(std::string::npos, twenty.find("copies")) << "a message written 20 times is not yet cut short";
    const std::string message = "Error loading in PNG file [sprites.png] to OpenGL texture!";
    EXPECT_EQ(20u, count(text, "<span class=\"L1\">" + message));
    EXPECT_EQ(20u, count(text, "<span class=\"L2\">" + message));  // the same text at another level
    EXPECT_EQ(1u, count(text, line(2, "---- Further copies of this message are not written: " + message)));
    EXPECT_EQ(20u, count(text, "<span class=\"L1\">Level "));
    EXPECT_NE(std::string::npos, text.find(line(1, "Level 20 is malformed")));
    EXPECT_EQ(1u, count(text, "are not written: Level 21 is malformed</span>"));
    EXPECT_NE(std::string::npos, text.find(line(1, "Cannot load in WAV file beep25.wav!")));
    EXPECT_NE(std::string::npos, text.find(line(1, "Cannot read 25D.png!")));
    const std::string tail =
        line(0, "Saving settings to file: settings.xml") +
        line(2, "---- 1000 further copies of this message were not written: " + message) +
        line(2, "---- 980 further copies of this message were not written: Level 21 is malformed") +
        line(0, "=== END LOG ===") + "</body></html>";
    EXPECT_EQ(text.size() - tail.size(), text.rfind(tail));
}

TEST_F(LogTest, StopsAtSixteenMegabytesWithALastLineAndItsTail) {
    const std::size_t limit = 16 * 1024 * 1024;
    const std::string filler(3000, 'x');
    const std::string path = dir.path() + "/log.html";
    ASSERT_TRUE(pentavel::openLog());
    // Distinct messages (numbers alone would not do) up to a few kilobytes below the limit.
    for (int i = 0; std::filesystem::file_size(path) < limit - 8 * 1024; ++i) {
        const char name[] = {static_cast<char>('a' + i % 26), static_cast<char>('a' + i / 26 % 26),
                             static_cast<char>('a' + i / 676), '\0'};
        pentavel::logWarning("%s %s", name, filler.c_str());
    }
    // A line ending at the limit itself would leave no room for the closing lines.
    const std::size_t frame = line(2, "").size() - std::string("TIME").size() + 25;
    pentavel::logWarning("%s", std::string(limit - std::filesystem::file_size(path) - frame, 'y').c_str());
    pentavel::logWarning("after the limit");
    ASSERT_TRUE(pentavel::closeLog());
    const std::string raw = dir.read("log.html");
    EXPECT_LE(raw.size(), limit);
    EXPECT_GT(raw.size(), limit - 8 * 1024);
    EXPECT_EQ(0u, raw.find(kHead));
    const std::string end = withoutTimes(raw.substr(raw.size() - 1000));
    const std::string tail = line(2, "---- log.html has reached 16 MB: later messages are not written") +
                             line(0, "=== END LOG ===") + "</body></html>";
    EXPECT_EQ(end.size() - tail.size(), end.rfind(tail));
}

TEST(FilePrintf, ReturnsTheByteCountAndWritesLongPiecesWhole) {
    test::MountedFolder dir;
    pentavel::file::FileHandle* handle = pentavel::file::openFileWrite("out.txt");
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(5, pentavel::file::filePrintf(handle, "%d-%s", 42, "ab"));
    const std::string longText(1023, 'y');
    EXPECT_EQ(1024, pentavel::file::filePrintf(handle, "%s|", longText.c_str()));
    EXPECT_EQ(0, pentavel::file::filePrintf(handle, "%s", ""));
    ASSERT_TRUE(pentavel::file::closeFile(handle));
    EXPECT_EQ("42-ab" + longText + "|", dir.read("out.txt"));
    EXPECT_EQ(-1, pentavel::file::filePrintf(nullptr, "x"));
}

}  // namespace
