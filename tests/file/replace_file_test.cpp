// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Files replaced whole beside the virtual file system: backups that never make an older file unreachable
// and keep the mode of the file they keep, devices and pipes written where they are, the old file's mode
// and group carried over.
#include "engine/file/replace_file.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace {

// Another program that saves at the same moment: while named, that name is made by "the other program"
// just before this process links a file to it, between the look that found it free and the claim.
std::string takenJustBeforeLink;

// A device that reports a lost write only when it is closed (as a network disk may): while set, the next
// fclose() in this process fails, after closing the file all the same.
bool nextCloseFails = false;

}  // namespace

extern "C" int fclose(std::FILE* file) {
    static const auto closeForReal = reinterpret_cast<int (*)(std::FILE*)>(dlsym(RTLD_NEXT, "fclose"));
    const int result = closeForReal(file);
    if (!nextCloseFails)
        return result;
    nextCloseFails = false;
    errno = EIO;
    return EOF;
}

// Stands in for the C library's link() in this test program, so that the moment can be met every time.
extern "C" int link(const char* from, const char* to) noexcept {
    if (!takenJustBeforeLink.empty() && takenJustBeforeLink == to) {
        takenJustBeforeLink.clear();
        if (std::FILE* file = std::fopen(to, "wx")) {
            std::fputs("the other program's", file);
            std::fclose(file);
        }
    }
    return static_cast<int>(syscall(SYS_linkat, AT_FDCWD, from, AT_FDCWD, to, 0));
}

namespace {

using pentavel::file::claimName;
using pentavel::file::createFile;
using pentavel::file::keepBackup;
using pentavel::file::keepModeAndGroup;
using pentavel::file::ReadResult;
using pentavel::file::readWholeFile;
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
    // A name taken by another program between the look and the claim: the next free one keeps the file.
    dir.write("level.xml", "at the same moment");
    takenJustBeforeLink = path + ".bak.4";
    ASSERT_TRUE(keepBackup(path, kept, reason)) << reason;
    EXPECT_EQ(path + ".bak.5", kept.string());
    EXPECT_EQ("the other program's", dir.read("level.xml.bak.4"));
    EXPECT_EQ("at the same moment", dir.read("level.xml.bak.5"));
    EXPECT_TRUE(takenJustBeforeLink.empty());
    // Nothing to keep: no backup, and the name says so.
    ASSERT_TRUE(keepBackup(dir.path() + "/missing.xml", kept, reason));
    EXPECT_TRUE(kept.empty());
}

// Sets or clears the file system's flag that forbids any change to a file (root may set it on most disks).
bool setImmutable(const std::string& path, bool on) {
    const int descriptor = open(path.c_str(), O_RDONLY);
    int flags = 0;
    bool done = descriptor >= 0 && ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ioctl(descriptor, FS_IOC_SETFLAGS, &flags) == 0;
    if (descriptor >= 0)
        close(descriptor);
    return done;
}

TEST(ReplaceFile, ANameIsClaimedOnlyWhileFreeAndARenameStandsInForARefusedLink) {
    test::TempDir dir;
    const std::string fresh = dir.write("level.xml.bak.new", "fresh");
    const std::string held = dir.write("level.xml.bak", "held");
    std::string reason;
    bool taken = false;
    EXPECT_FALSE(claimName(fresh, held, taken, reason));
    EXPECT_TRUE(taken);
    EXPECT_EQ("held", dir.read("level.xml.bak"));
    EXPECT_EQ("fresh", dir.read("level.xml.bak.new"));
    // A folder has no hard links: the rename onto the free name names it.
    const std::string folder = dir.path() + "/made";
    std::filesystem::create_directory(folder);
    taken = false;
    EXPECT_TRUE(claimName(folder, dir.path() + "/named", taken, reason)) << reason;
    EXPECT_FALSE(taken);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() + "/named"));
    EXPECT_FALSE(dir.exists("made"));
    // A link refused, then a name found taken: it stays as it was.
    taken = false;
    EXPECT_FALSE(claimName(dir.path() + "/missing", held, taken, reason));
    EXPECT_TRUE(taken);
    EXPECT_EQ("held", dir.read("level.xml.bak"));
    EXPECT_FALSE(dir.exists("missing"));
    // Nothing to name: the system's words.
    taken = false;
    reason.clear();
    EXPECT_FALSE(claimName(dir.path() + "/missing", dir.path() + "/free", taken, reason));
    EXPECT_FALSE(taken);
    EXPECT_EQ(std::strerror(ENOENT), reason);
    EXPECT_FALSE(dir.exists("free"));
}

// A whole file, more than one piece long, replaces what the string held; a file that fails while read
// (memory the system will not give) or cannot be opened says why, never throws; a pipe without a writer, a
// device and a folder are refused unread, without waiting.
TEST(ReplaceFile, WholeFilesAreReadOrSayWhyNot) {
    test::TempDir dir;
    const std::string bytes = std::string(65536, 'a') + "b";
    const std::string path = dir.write("whole.xml", bytes);
    std::string read = "stale";
    std::string reason;
    EXPECT_EQ(ReadResult::Read, readWholeFile(path, read, reason));
    EXPECT_EQ(bytes, read);
    EXPECT_EQ(ReadResult::NotRead, readWholeFile("/proc/self/mem", read, reason));
    EXPECT_EQ(std::strerror(EIO), reason);
    EXPECT_EQ(ReadResult::NotOpened, readWholeFile(dir.path() + "/missing.xml", read, reason));
    EXPECT_EQ(std::strerror(ENOENT), reason);
    const std::string pipe = dir.path() + "/pipe.xml";
    ASSERT_EQ(0, mkfifo(pipe.c_str(), 0600));
    for (const std::string& path : {pipe, std::string("/dev/zero")}) {
        EXPECT_EQ(ReadResult::NotRegular, readWholeFile(path, read, reason)) << path;
        EXPECT_EQ("Not a regular file", reason);
        EXPECT_EQ("", read);
    }
    EXPECT_EQ(ReadResult::NotRegular, readWholeFile(dir.path(), read, reason));
    EXPECT_EQ(std::strerror(EISDIR), reason);
    // Started without standard input (as some launchers do), the file opens on descriptor 0.
    EXPECT_EXIT(
        {
            close(0);  // whether it was open or not, 0 is now the lowest free descriptor
            std::exit(readWholeFile(path, read, reason) == ReadResult::Read ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// A thousand backups are kept, then none more; a name too long for the disk says so and leaves nothing.
TEST(ReplaceFile, BackupsStopAtAThousand) {
    test::TempDir dir;
    for (const std::string& name : {std::string("level.xml"), std::string(243, 'n') + ".xml"}) {
        dir.write(name + ".bak", "backup 1");
        for (int number = 2; number < 1000; ++number)
            dir.write(name + ".bak." + std::to_string(number), "backup " + std::to_string(number));
    }
    const std::string path = dir.write("level.xml", "kept last");
    std::filesystem::path kept;
    std::string reason;
    ASSERT_TRUE(keepBackup(path, kept, reason)) << reason;
    EXPECT_EQ(path + ".bak.1000", kept.string());
    EXPECT_EQ("kept last", dir.read("level.xml.bak.1000"));
    dir.write("level.xml", "no room");
    EXPECT_FALSE(keepBackup(path, kept, reason));
    EXPECT_EQ("no free name for a backup", reason);
    EXPECT_TRUE(kept.empty());
    EXPECT_FALSE(dir.exists("level.xml.bak.new"));

    const std::string longName = std::string(243, 'n') + ".xml";
    const std::string longPath = dir.write(longName, "too long");
    reason.clear();
    EXPECT_FALSE(keepBackup(longPath, kept, reason));
    EXPECT_EQ(std::strerror(ENAMETOOLONG), reason);
    EXPECT_FALSE(dir.exists(longName + ".bak.new"));
    EXPECT_EQ("too long", dir.read(longName));
}

TEST(ReplaceFile, AFileThatCannotBeReadGetsNoBackupAndIsNotReplaced) {
    test::TempDir dir;
    const std::string path = dir.write("level.xml", "old");
    std::filesystem::path kept;
    std::string reason;
    // No descriptor left to read it with.
    const int lowest = dup(0);
    ASSERT_GE(lowest, 0);
    close(lowest);
    rlimit saved = {};
    ASSERT_EQ(0, getrlimit(RLIMIT_NOFILE, &saved));
    rlimit none = saved;
    none.rlim_cur = static_cast<rlim_t>(lowest);
    ASSERT_EQ(0, setrlimit(RLIMIT_NOFILE, &none));
    const bool backedUp = keepBackup(path, kept, reason);
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_FALSE(backedUp);
    EXPECT_EQ(std::strerror(EMFILE), reason);
    EXPECT_TRUE(kept.empty());
    EXPECT_FALSE(dir.exists("level.xml.bak"));
}

TEST(ReplaceFile, AFileThatRefusesAnyChangeStaysAndNothingIsLeftBeside) {
    test::TempDir dir;
    const std::string path = dir.write("level.xml", "old");
    if (!setImmutable(path, true))
        GTEST_SKIP() << "the file system keeps no such flag here";
    std::string reason;
    const bool replaced = replaceFile(path, "new", reason);
    setImmutable(path, false);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(std::strerror(EPERM), reason);
    EXPECT_EQ("old", dir.read("level.xml"));
    EXPECT_FALSE(dir.exists("level.xml.new"));
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
    // The set-user bit stays where the group is the same already (a change of owner would clear it).
    const std::string program = dir.write("program", "old");
    const std::string copy = dir.write("copy", "new");
    chmod(program.c_str(), 04755);
    keepModeAndGroup(program, copy);
    EXPECT_EQ(04755u, modeOf(copy));
    // Only a file's mode is carried over, never a folder's.
    const std::string folder = dir.path() + "/folder";
    std::filesystem::create_directory(folder);
    chmod(folder.c_str(), 0711);
    chmod(copy.c_str(), 0640);
    keepModeAndGroup(folder, copy);
    EXPECT_EQ(0640u, modeOf(copy));
}

TEST(ReplaceFile, AWriteCutShortLeavesTheOldFileAndNothingBeside) {
    test::TempDir dir;
    const std::string path = dir.write("level.xml", "old");
    std::filesystem::path kept;
    std::string reason;
    bool taken = true;
    {
        const test::DiskFullPast full(100);
        EXPECT_FALSE(replaceFileKeepingBackup(path, std::string(1000, 'x'), kept, reason));
        EXPECT_FALSE(createFile(dir.path() + "/new.tzr", std::string(1000, 'x'), taken, reason));
    }
    EXPECT_FALSE(reason.empty() || taken);
    EXPECT_EQ("old", dir.read("level.xml"));
    EXPECT_EQ("old", dir.read("level.xml.bak"));
    EXPECT_FALSE(dir.exists("level.xml.new"));
    // A new file never takes the place of one there, and leaves nothing beside either way.
    EXPECT_FALSE(createFile(path, "new", taken, reason));
    EXPECT_TRUE(taken);
    EXPECT_TRUE(createFile(dir.path() + "/new.tzr", "new", taken, reason));
    EXPECT_FALSE(taken);
    EXPECT_EQ("old", dir.read("level.xml"));
    EXPECT_EQ("new", dir.read("new.tzr"));
    EXPECT_EQ(3u, static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.path()),
                                                         std::filesystem::directory_iterator())));
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
        EXPECT_EQ("", reason);
        EXPECT_TRUE(std::filesystem::is_character_file(null));
        EXPECT_TRUE(std::filesystem::is_symlink(dir.path() + "/discard.xml"));
        // A device that refuses the bytes: false, with the system's words.
        EXPECT_FALSE(replaceFile(full, "no room", reason));
        EXPECT_EQ(std::strerror(ENOSPC), reason);
        EXPECT_TRUE(std::filesystem::is_character_file(full));
        // More bytes than a buffer holds are refused on the first write already.
        reason.clear();
        EXPECT_FALSE(replaceFile(full, std::string(1 << 20, 'x'), reason));
        EXPECT_EQ(std::strerror(ENOSPC), reason);
        // Bytes lost on the way are said even when only the close tells.
        nextCloseFails = true;
        reason.clear();
        EXPECT_FALSE(replaceFile(null, "lost", reason));
        EXPECT_EQ(std::strerror(EIO), reason);
        EXPECT_FALSE(nextCloseFails);
        // A device no driver answers for cannot even be opened.
        const std::string dead = dir.path() + "/dead";
        ASSERT_EQ(0, mknod(dead.c_str(), S_IFCHR | 0666, makedev(1, 6)));
        reason.clear();
        EXPECT_FALSE(replaceFile(dead, "nobody", reason));
        EXPECT_NE("", reason);
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
