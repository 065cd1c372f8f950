// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "engine/file/file_system.h"
#include "file/environment_guard.h"
#include "support/test_support.h"

namespace {

using pentavel::file::documentsFolder;

class DocumentsFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        home = dir.path() + "/home";
        dir.write("home/.keep", "");
        environment.set("HOME", home);
        environment.unset("XDG_DOCUMENTS_DIR");
        environment.unset("XDG_CONFIG_HOME");
    }
    test::TempDir dir;
    test::EnvironmentGuard environment;
    std::string home;
};

TEST_F(DocumentsFolderTest, WithoutConfigurationTheHomeFolderServes) {
    EXPECT_EQ(home, documentsFolder());
    environment.set("HOME", home + "//");
    EXPECT_EQ(home, documentsFolder());
}

TEST_F(DocumentsFolderTest, TheEnvironmentVariableWinsWhenItsFolderExists) {
    dir.write("Docs/.keep", "");
    dir.write("home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Other\"\n");
    dir.write("home/Other/.keep", "");
    environment.set("XDG_DOCUMENTS_DIR", dir.path() + "/Docs/");
    EXPECT_EQ(dir.path() + "/Docs", documentsFolder());

    environment.set("XDG_DOCUMENTS_DIR", dir.path() + "/Missing");
    EXPECT_EQ(home, documentsFolder());
}

TEST_F(DocumentsFolderTest, TheUserDirsFileIsReadWithHomeExpanded) {
    dir.write("home/Dokumente/.keep", "");
    dir.write("home/.config/user-dirs.dirs",
              "# written by the desktop\n"
              "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
              "  XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\r\n");
    EXPECT_EQ(home + "/Dokumente", documentsFolder());
}

TEST_F(DocumentsFolderTest, XdgConfigHomeChoosesTheUserDirsFile) {
    dir.write("home/Papers/.keep", "");
    dir.write("home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/nowhere/at/all\"\n");
    dir.write("config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"${HOME}/Papers\"\n");
    environment.set("XDG_CONFIG_HOME", dir.path() + "/config");
    EXPECT_EQ(home + "/Papers", documentsFolder());
}

TEST_F(DocumentsFolderTest, AConfiguredFolderThatIsMissingOrRelativeFallsBackToHome) {
    dir.write("home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Gone\"\n");
    EXPECT_EQ(home, documentsFolder());
    dir.write("home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"home\"\n");
    EXPECT_EQ(home, documentsFolder());
}

TEST_F(DocumentsFolderTest, WithoutHomeThePasswordDatabaseServes) {
    environment.unset("HOME");
    EXPECT_FALSE(documentsFolder().empty());
}

}  // namespace
