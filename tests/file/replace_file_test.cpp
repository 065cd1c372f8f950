// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Files replaced whole beside the virtual file system: backups that never make an older file unreachable
// and keep the mode of the file they keep, devices and pipes written where they are, the old file's mode
// and group carried over.
#include "engine/file/replace_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace {

using pentavel::file::keepBackup;
using pentavel::file::replaceFile;
using pentavel::file::replaceFileKeepingBackup;

unsigned modeOf(const std::string& path) {
    struct stat status = {};
    return stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

TEST(ReplaceFile, ABackupNeverReplacesADifferentOlderOneAndHasTheModeOfTheFileItKeeps) {
    test::TempDir dir;
    const std::string path = dir.write("level.xml", "hand-made");
    const std::string old = dir.write("level.xml.bak", "older backup");
    chmod(path.c_str(), 0600);
    chmod(old.c_str(), 0644);
    std::filesystem::path kept;
    std::string reason;
    ASSERT_TRUE(replaceFileKeepingBackup(path, "first", kept, reason)) << reason;
    EXPECT_EQ(path + ".bak.2", kept.string());
    ASSERT_TRUE(replaceFileKeepingBackup(path, "second", kept, reason)) << reason;
    EXPECT_EQ(path + ".bak.3", kept.string());
    EXPECT_EQ("older backup", dir.read("level.xml.bak"));
    EXPECT_EQ("hand-made", dir.read("level.xml.bak.2"));
    EXPECT_EQ("first", dir.read("level.xml.bak.3"));
    EXPECT_EQ("second", dir.read("level.xml"));
    EXPECT_EQ(0600u, modeOf(path + ".bak.2"));
    EXPECT_EQ(0600u, modeOf(path));
    // Bytes that a backup holds already are not kept twice: that backup is named.
    dir.write("level.xml", "hand-made");
    ASSERT_TRUE(keepBackup(path, kept, reason));
    EXPECT_EQ(path + ".bak.2", kept.string());
    EXPECT_FALSE(dir.exists("level.xml.bak.4"));
    EXPECT_FALSE(dir.exists("level.xml.bak.new"));
    // Nothing to keep: no backup, and the name says so.
    ASSERT_TRUE(keepBackup(dir.path() + "/missing.xml", kept, reason));
    EXPECT_TRUE(kept.empty());
}

TEST(ReplaceFile, TheOldFilesModeAndGroupStay) {
    test::TempDir dir;
    const std::string path = dir.write("settings.xml", "old");
    chmod(path.c_str(), 0741);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(0, chown(path.c_str(), static_cast<uid_t>(-1), 4242));
    }
    std::string reason;
    ASSERT_TRUE(replaceFile(path, "new", reason)) << reason;
    struct stat status = {};
    ASSERT_EQ(0, stat(path.c_str(), &status));
    EXPECT_EQ(0741u, status.st_mode & 07777);
    if (root) {
        EXPECT_EQ(4242u, status.st_gid);
    }
    EXPECT_EQ("new", dir.read("settings.xml"));
}

TEST(ReplaceFile, AWriteCutShortLeavesTheOldFileAndNothingBeside) {
    test::TempDir dir;
    const std::string path = dir.write("level.xml", "old");
    std::filesystem::path kept;
    std::string reason;
    {
        const test::DiskFullPast full(100);
        EXPECT_FALSE(replaceFileKeepingBackup(path, std::string(1000, 'x'), kept, reason));
    }
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ("old", dir.read("level.xml"));
    EXPECT_EQ("old", dir.read("level.xml.bak"));
    EXPECT_FALSE(dir.exists("level.xml.new"));
}

// The devices are nodes of the test's own (the system's /dev/null and /dev/full, made again), never the
// system's: a fault here must not replace them. Making a node needs root; others test the pipe only.
TEST(ReplaceFile, DevicesAndPipesTakeTheBytesInPlaceAndOtherNonFilesAreRefused) {
    test::TempDir dir;
    std::string reason;
    std::filesystem::path kept;
    const std::string null = dir.path() + "/null";
    const std::string full = dir.path() + "/full";
    if (mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
        mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
        std::filesystem::create_symlink("null", dir.path() + "/discard.xml");
        EXPECT_TRUE(replaceFileKeepingBackup(dir.path() + "/discard.xml", "gone", kept, reason)) << reason;
        EXPECT_TRUE(kept.empty());
        EXPECT_TRUE(std::filesystem::is_character_file(null));
        EXPECT_TRUE(std::filesystem::is_symlink(dir.path() + "/discard.xml"));
        // A device that refuses the bytes: false, with the system's words.
        EXPECT_FALSE(replaceFile(full, "no room", reason));
        EXPECT_EQ(std::strerror(ENOSPC), reason);
        EXPECT_TRUE(std::filesystem::is_character_file(full));
    }

    const std::string pipe = dir.path() + "/pipe";
    ASSERT_EQ(0, mkfifo(pipe.c_str(), 0600));
    const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(replaceFile(pipe, "through", reason)) << reason;
    char bytes[16] = {};
    EXPECT_EQ(7, read(reader, bytes, sizeof bytes));
    EXPECT_EQ("through", std::string(bytes));
    close(reader);
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));

    const std::string folder = dir.path() + "/folder";
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(replaceFile(folder, "x", reason));
    EXPECT_EQ("it is not a regular file", reason);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_FALSE(dir.exists("folder.new"));
}

}  // namespace
