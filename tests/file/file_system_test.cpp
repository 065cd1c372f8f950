// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/file_system.h"

#include <gtest/gtest.h>
#include <physfs.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/file/log.h"
#include "engine/file/settings.h"
#include "file/environment_guard.h"
#include "file/zip_writer.h"
#include "support/mounted_folder.h"

namespace {

using pentavel::file::FileData;
using pentavel::file::listFiles;
using pentavel::file::readFileToMemory;

std::string readText(const char* name) {
    FileData file = readFileToMemory(name);
    if (file.data == nullptr)
        return "<unreadable>";
    return std::string(reinterpret_cast<const char*>(file.data), file.size);
}

// A valid archive of the older "PACK" format, which must not be taken for a data archive.
std::string packArchive(const std::string& name, const std::string& content) {
    auto put32 = [](std::string& out, std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            out += static_cast<char>((value >> shift) & 0xFF);
    };
    std::string archive = "PACK";
    put32(archive, static_cast<std::uint32_t>(12 + content.size()));
    put32(archive, 64);
    archive += content;
    std::string entryName = name;
    entryName.resize(56, '\0');
    archive += entryName;
    put32(archive, 12);
    put32(archive, static_cast<std::uint32_t>(content.size()));
    return archive;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

std::vector<std::string> searchPath() {
    std::vector<std::string> entries;
    char** list = PHYSFS_getSearchPath();
    for (char** entry = list; entry != nullptr && *entry != nullptr; ++entry)
        entries.emplace_back(*entry);
    PHYSFS_freeList(list);
    return entries;
}

void mountArchivesLikeStartUp() {
    const pentavel::file::FileList archives = listFiles("pak");
    for (const std::string& name : *archives)
        pentavel::file::mountArchive(name.c_str());
}

class FileServicesTest : public ::testing::Test {
protected:
    test::TempDir program;
    test::MountedFolder user{program.path()};
};

TEST_F(FileServicesTest, ListingFiltersByExactExtensionAndSorts) {
    for (const char* name :
         {"c.wav", "wav", "b.wav", "a.WAV", ".pak", "A.PAK", "a.pak", "pak", "x.wavs", "xwav", "c.wab"}) {
        user.write(name, "");
    }
    user.write("x.wav/inside.wav", "");
    program.write("B.wav", "");
    program.write("b.wav", "a second copy");

    EXPECT_EQ((std::vector<std::string>{"B.wav", "b.wav", "c.wav"}), *listFiles("wav"));
    EXPECT_EQ((std::vector<std::string>{".pak", "a.pak"}), *listFiles("pak"));
    const std::vector<std::string> everything = *listFiles("");
    EXPECT_EQ((std::vector<std::string>{".pak", "A.PAK", "B.wav", "a.WAV", "a.pak", "b.wav", "c.wab", "c.wav",
                                        "pak", "wav", "x.wavs", "xwav"}),
              everything);
    EXPECT_EQ(everything, *listFiles(nullptr));
}

TEST_F(FileServicesTest, OverridesRunUserThenProgramThenArchivesInNameOrder) {
    user.write("user.txt", "user");
    program.write("user.txt", "program");
    program.write("program.txt", "program");
    program.write("a.pak", test::zipArchive({{"user.txt", "a"},
                                             {"program.txt", "a"},
                                             {"ab.txt", "a"},
                                             {"abz.txt", "a"},
                                             {"a-only.txt", "a"}}));
    user.write("b.pak", test::zipArchive({{"ab.txt", "b"}, {"b-only.txt", "b"}}));
    program.write("Z.pak", test::zipArchive({{"abz.txt", "Z"}}));
    mountArchivesLikeStartUp();

    EXPECT_EQ("user", readText("user.txt"));
    EXPECT_EQ("program", readText("program.txt"));
    EXPECT_EQ("a", readText("ab.txt"));
    EXPECT_EQ("Z", readText("abz.txt"));
    EXPECT_EQ("a", readText("a-only.txt"));
    EXPECT_EQ("b", readText("b-only.txt"));
}

TEST_F(FileServicesTest, ArchivesThatAreNotZipFilesAreNotMounted) {
    user.write("empty.pak", "");
    user.write("junk.pak", std::string(3000, '\x50'));
    user.write("old.pak", packArchive("old.txt", "old"));
    user.write("truncated.pak", test::zipArchive({{"cut.txt", "cut"}}).substr(0, 40));
    user.write("good.pak", test::zipArchive({{"good.txt", "good"}}));
    ASSERT_TRUE(pentavel::openLog());
    pentavel::file::mountArchive("missing.pak");
    mountArchivesLikeStartUp();

    EXPECT_EQ("good", readText("good.txt"));
    EXPECT_FALSE(PHYSFS_exists("old.txt"));
    EXPECT_FALSE(PHYSFS_exists("cut.txt"));
    EXPECT_EQ(3u, searchPath().size());
    pentavel::closeLog();
    const std::string log = user.read("log.html");
    for (const char* name : {"empty.pak", "junk.pak", "old.pak", "truncated.pak"}) {
        const std::string line = "Cannot mount the archive " + user.path() + "/" + name + " (";
        EXPECT_EQ(1u, occurrences(log, line)) << name;
    }
    EXPECT_EQ(4u, occurrences(log, "class=\"L1\""));
}

TEST_F(FileServicesTest, ADamagedArchiveNoLongerHidesOneOfTheSameNameFurtherOn) {
    user.write("data.pak", test::zipArchive({{"level.xml", "user"}}).substr(0, 30));
    program.write("data.pak", test::zipArchive({{"level.xml", "shipped"}}));
    mountArchivesLikeStartUp();
    EXPECT_EQ("shipped", readText("level.xml"));
    EXPECT_EQ(program.path() + "/data.pak", searchPath().back());
}

// Whole files come back byte for byte, an empty one too (no error); a missing file, an archive's entry that
// claims more bytes than the archive holds (it reads short) and a file of four gibibytes (refused rather
// than truncated) come back as nothing, with one error line each.
TEST_F(FileServicesTest, ReadingAFileIntoMemory) {
    const std::string binary("\0\x01\xFFtext\0", 8);
    user.write("binary.dat", binary);
    user.write("empty.dat", "");
    std::vector<const char*> unreadable = {"missing.dat", "short.dat", "piped.dat"};
    ASSERT_EQ(0, mkfifo((user.path() + "/piped.dat").c_str(), 0600));
    std::error_code error;  // sparse: takes no disk space, where it can be made at all
    std::filesystem::resize_file(user.write("huge.dat", ""), std::uint64_t{1} << 32, error);
    if (!error)
        unreadable.push_back("huge.dat");
    std::string archive = test::zipArchive({{"short.dat", "0123456789"}});
    const std::size_t directory = archive.find("PK\x01\x02");
    for (std::size_t at : {std::size_t{18}, std::size_t{22}, directory + 20, directory + 24})
        archive.replace(at, 4, std::string("\xE8\x03\0\0", 4));  // 1000
    program.write("short.pak", archive);
    ASSERT_TRUE(pentavel::openLog());
    mountArchivesLikeStartUp();

    EXPECT_EQ(binary, readText("binary.dat"));
    EXPECT_EQ("", readText("empty.dat"));
    for (const char* name : unreadable) {
        const FileData data = readFileToMemory(name);
        EXPECT_EQ(nullptr, data.data) << name;
        EXPECT_EQ(0u, data.size) << name;
    }
    std::string text = "unchanged";
    EXPECT_FALSE(pentavel::file::readFileBeneathWriteDirectory("short.dat", text));
    EXPECT_EQ("unchanged", text);
    // A pipe is refused without waiting for a writer: in a folder of the search path, as a folder or an
    // archive read from outside, or in one.
    program.write("outside/keep", "");
    ASSERT_EQ(0, mkfifo((program.path() + "/outside/level.xml").c_str(), 0600));
    std::string reason;
    for (const std::string& outside : {program.path() + "/outside", user.path() + "/piped.dat"}) {
        EXPECT_FALSE(pentavel::file::readFileFrom(outside, "level.xml", 100, text, reason)) << outside;
        EXPECT_EQ("not a file", reason);
    }

    pentavel::closeLog();
    const std::string log = user.read("log.html");
    EXPECT_NE(std::string::npos,
              log.find("<span class=\"L1\">Cannot open file missing.dat for reading into memory!</span>"));
    EXPECT_NE(std::string::npos, log.find("Error reading in short.dat ("));
    EXPECT_EQ(error ? 0u : 1u, occurrences(log, "Cannot allocate memory for file huge.dat!"));
    EXPECT_EQ(1u, occurrences(log, "Cannot read " + program.path() + "/outside/level.xml!</span>"));
    EXPECT_EQ(2u, occurrences(log, "...it is not a regular file"));
    EXPECT_EQ(unreadable.size() + 4, occurrences(log, "<b>"));
}

class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (PHYSFS_isInit())
            PHYSFS_deinit();
        pentavel::resetSettings();
        environment.set("HOME", dir.path() + "/home");
        environment.unset("XDG_DOCUMENTS_DIR");
        environment.unset("XDG_CONFIG_HOME");
        dir.write("home/.keep", "");
        userDirectory = "home/My Games/Tezmola";
    }
    void TearDown() override {
        pentavel::file::shutDownFileSystem();
        pentavel::resetSettings();
    }
    bool startUp() { return pentavel::file::setUpFileSystem("tezmola", "Pentavel", "Tezmola"); }
    // A start that fails says why in one line on standard error, which names the path given.
    void expectFailedStartNaming(const std::string& path) {
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(startUp());
        const std::string message = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(std::string::npos, message.find(path)) << message;
        EXPECT_EQ(1, std::count(message.begin(), message.end(), '\n'));
    }

    test::TempDir dir;
    test::EnvironmentGuard environment;
    std::string userDirectory;
};

TEST_F(StartUpTest, FirstRunCreatesTheUserDirectoryWithLogAndSettings) {
    ASSERT_TRUE(startUp());
    EXPECT_TRUE(pentavel::isLogOpen());
    EXPECT_EQ(dir.path() + "/" + userDirectory + "/", std::string(PHYSFS_getWriteDir()) + "/");
    int goalFps = 0;
    pentavel::getSetting("graphics", "goalfps", goalFps);

    pentavel::file::shutDownFileSystem();
    EXPECT_FALSE(PHYSFS_isInit());
    EXPECT_FALSE(pentavel::isLogOpen());
    EXPECT_NE(std::string::npos, dir.read(userDirectory + "/settings.xml").find("<goalfps value=\"0\" />"));
    const std::string log = dir.read(userDirectory + "/log.html");
    const std::size_t loading = log.find("Loading settings from file: settings.xml");
    const std::size_t saving = log.find("Saving settings to file: settings.xml");
    const std::size_t end = log.find("=== END LOG ===");
    EXPECT_LT(loading, saving);
    EXPECT_LT(saving, end);
    EXPECT_NE(std::string::npos, end);
}

TEST_F(StartUpTest, TheExitHandlerSavesTheSettingsAndClosesTheLog) {
    EXPECT_EXIT(
        {
            if (!startUp())
                std::exit(2);
            int goalFps = 5;
            pentavel::getSetting("graphics", "goalfps", goalFps);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_NE(std::string::npos, dir.read(userDirectory + "/settings.xml").find("<goalfps value=\"5\" />"));
    const std::string log = dir.read(userDirectory + "/log.html");
    EXPECT_EQ(log.size() - 14, log.rfind("</body></html>"));
}

TEST_F(StartUpTest, UserFilesAndArchivesOfTheUserDirectoryAreOnTheSearchPath) {
    dir.write(userDirectory + "/settings.xml", "<graphics><goalfps value=\"30\" /></graphics>");
    dir.write(userDirectory + "/shared.txt", "user");
    dir.write(userDirectory + "/a.pak", test::zipArchive({{"shared.txt", "a"}, {"level.txt", "a"}}));
    dir.write(userDirectory + "/b.pak", test::zipArchive({{"level.txt", "b"}, {"b.txt", "b"}}));
    ASSERT_TRUE(startUp());
    int goalFps = 0;
    pentavel::getSetting("graphics", "goalfps", goalFps);
    EXPECT_EQ(30, goalFps);
    EXPECT_EQ("user", readText("shared.txt"));
    EXPECT_EQ("a", readText("level.txt"));
    EXPECT_EQ("b", readText("b.txt"));
    EXPECT_EQ(dir.path() + "/" + userDirectory, searchPath().front());  // the program's folder after it
}

TEST_F(StartUpTest, AnUnusableUserDirectoryIsReportedOnStandardError) {
    dir.write("plain-file", "the player's");
    environment.set("HOME", dir.path() + "/plain-file");
    expectFailedStartNaming(dir.path() + "/plain-file/My Games/Tezmola");
    EXPECT_FALSE(pentavel::isLogOpen());
    EXPECT_EQ("the player's", dir.read("plain-file"));
}

TEST_F(StartUpTest, ALogThatCannotBeOpenedIsReportedOnStandardError) {
    dir.write(userDirectory + "/log.html/blocker", "");
    expectFailedStartNaming(userDirectory + "/log.html");
    pentavel::file::shutDownFileSystem();
    EXPECT_FALSE(dir.exists(userDirectory + "/settings.xml"));
}

// In a child process that cannot write the player's folder (HOME read-only, or the folder itself), the
// program starts all the same: one line on standard error, no log, the files as they were; a writable
// folder started next in the same process is written again. Root, for whom modes do not count, makes
// the folder read-only by a mount of its own (the file system then refuses) and also runs as "nobody"
// (the modes refuse); anyone else sees the modes refuse.
void expectStartWithoutSaving(const std::string& home, const std::string& writable, bool mount) {
    EXPECT_EXIT(
        {
            if (mount &&
                (unshare(CLONE_NEWNS) != 0 ||
                 ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                 ::mount(home.c_str(), home.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
                 ::mount(nullptr, home.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0))
                std::exit(4);
            if (!mount && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                std::exit(5);
            setenv("HOME", home.c_str(), 1);
            const bool unsaved = pentavel::file::setUpFileSystem("tezmola", "Pentavel", "Tezmola") &&
                                 pentavel::file::isUserDirectoryUnwritable() && !pentavel::isLogOpen();
            pentavel::file::shutDownFileSystem();
            setenv("HOME", writable.c_str(), 1);
            const bool saved = pentavel::file::setUpFileSystem("tezmola", "Pentavel", "Tezmola") &&
                               !pentavel::file::isUserDirectoryUnwritable() && pentavel::isLogOpen();
            pentavel::file::shutDownFileSystem();
            std::exit(unsaved && saved ? 0 : 3);
        },
        ::testing::ExitedWithCode(0),
        "^The per-user directory [^\n]*/Tezmola cannot be written \\([^\n]*\\): nothing will be saved\n$");
}

TEST_F(StartUpTest, AFolderThatCannotBeWrittenStartsWithoutSavingAndSaysSoOnce) {
    const std::string home = dir.path() + "/home";
    dir.write(userDirectory + "/settings.xml", "<graphics><goalfps value=\"30\" /></graphics>\n");
    const std::string settings = dir.read(userDirectory + "/settings.xml");
    // A writable home of its own for each child, which the child's user may write.
    int children = 0;
    const auto writable = [&] {
        const std::string path = dir.path() + "/writable" + std::to_string(++children);
        std::filesystem::create_directory(path);
        chmod(path.c_str(), 0777);
        return path;
    };
    chmod(dir.path().c_str(), 0755);
    chmod((home + "/My Games").c_str(), 0755);
    if (geteuid() == 0)
        expectStartWithoutSaving(home + "/My Games/Tezmola", writable(), true);
    chmod((dir.path() + "/" + userDirectory).c_str(), 0555);
    expectStartWithoutSaving(home, writable(), false);
    EXPECT_EQ(settings, dir.read(userDirectory + "/settings.xml"));
    EXPECT_FALSE(dir.exists(userDirectory + "/log.html"));
    // A home in which the folder cannot even be made.
    chmod((dir.path() + "/" + userDirectory).c_str(), 0755);
    std::filesystem::remove_all(home + "/My Games");
    chmod(home.c_str(), 0555);
    expectStartWithoutSaving(home, writable(), false);
    chmod(home.c_str(), 0755);
    EXPECT_FALSE(std::filesystem::exists(home + "/My Games"));
}

// A home that cannot even be looked at (behind a folder closed to the player) is no folder that refuses
// writes: the program stops and says why, rather than starting without saving.
TEST_F(StartUpTest, AHomeThatCannotBeReachedStopsTheStart) {
    const std::string closed = dir.path() + "/closed";
    std::filesystem::create_directories(closed + "/home");
    chmod(dir.path().c_str(), 0755);
    chmod(closed.c_str(), 0700);
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                std::exit(5);
            setenv("HOME", (closed + "/home").c_str(), 1);
            const bool started = pentavel::file::setUpFileSystem("tezmola", "Pentavel", "Tezmola");
            std::exit(!started && !pentavel::file::isUserDirectoryUnwritable() ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "^Cannot select or create the per-user directory [^\n]*/closed/home/");
}

}  // namespace
