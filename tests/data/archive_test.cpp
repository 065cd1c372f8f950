// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The built archive carries every data file unchanged, and a damaged copy of it is refused without harm.

#include <gtest/gtest.h>
#include <physfs.h>

#include <cstring>

#include "data/shipped_data.h"
#include "engine/file/file_system.h"
#include "support/mounted_folder.h"

namespace {

std::vector<std::string> allDataFiles() {
    std::vector<std::string> files;
    for (const char* extension : {"svg", "png", "wav", "xml"})
        for (const std::string& name : test::dataFiles(extension))
            files.push_back(name);
    return files;
}

TEST(DataArchive, HoldsEveryDataFileByteForByteAndNothingElse) {
    test::useShippedArchive();
    const std::vector<std::string> files = allDataFiles();
    ASSERT_FALSE(files.empty());
    for (const std::string& name : files) {
        const pentavel::file::FileData packed = pentavel::file::readFileToMemory(name.c_str());
        ASSERT_NE(packed.data, nullptr) << name;
        const std::string loose = test::readWholeFile(test::dataDir() + "/" + name);
        ASSERT_EQ(packed.size, loose.size()) << name;
        EXPECT_EQ(std::memcmp(packed.data, loose.data(), loose.size()), 0) << name;
    }
    const pentavel::file::FileList listed = pentavel::file::listFiles("");
    EXPECT_EQ(listed->size(), files.size());
    test::unmountAll();
}

TEST(DataArchive, TruncatedCopyIsNotMountedAndLeavesTheSearchPathUsable) {
    test::MountedFolder folder;
    const std::string whole = test::readWholeFile(test::pakPath());
    ASSERT_FALSE(whole.empty());
    folder.write("broken.pak", whole.substr(0, whole.size() / 2));
    folder.write("level.xml", "<level/>");
    pentavel::file::mountArchive("broken.pak");
    char** searchPath = PHYSFS_getSearchPath();
    int entries = 0;
    while (searchPath[entries])
        ++entries;
    PHYSFS_freeList(searchPath);
    EXPECT_EQ(entries, 1);
    const pentavel::file::FileData level = pentavel::file::readFileToMemory("level.xml");
    EXPECT_EQ(level.size, 8u);
    EXPECT_EQ(pentavel::file::readFileToMemory("sprites.svg").data, nullptr);
}

}  // namespace
