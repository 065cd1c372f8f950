// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Where the editor finds the game, what it says of the game's end, and the copy of the set the game plays,
// which never outlives it.
#include "tools/editor/runs/game_launch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include "file/environment_guard.h"
#include "support/test_support.h"

namespace {

using tezmola::editor::findGameProgram;
using tezmola::editor::gameEnding;
using tezmola::editor::GameLaunch;

std::string program(const test::TempDir& folder, const std::string& relative, mode_t mode) {
    const std::string path = folder.write(relative, "#!/bin/sh\n");
    chmod(path.c_str(), mode);
    return path;
}

TEST(GameLaunch, TheGameBesideTheEditorComesFirstThenTheFirstOnThePathThatRuns) {
    test::TempDir own;
    test::TempDir a;
    test::TempDir b;
    test::TempDir c;
    program(a, "tezmola", 0644);    // cannot be run
    b.write("tezmola/inside", "");  // a folder
    const std::string onPath = program(c, "tezmola", 0755);
    program(a, "bin/tezmola", 0755);
    // An empty entry is not the current folder, where a game could be run.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(a.path() + "/bin");
    const std::string path =
        "/nonexistent:" + a.path() + "::" + b.path() + ":" + c.path() + ":" + a.path() + "/bin";
    EXPECT_EQ(onPath, findGameProgram(own.path(), path));
    EXPECT_EQ(onPath, findGameProgram(own.path(), c.path()));
    EXPECT_EQ("", findGameProgram(own.path(), a.path() + ":" + b.path()));
    EXPECT_EQ("", findGameProgram(own.path(), ""));
    std::filesystem::current_path(before);
    const std::string beside = program(own, "tezmola", 0755);
    EXPECT_EQ(beside, findGameProgram(own.path(), path));
    EXPECT_EQ(beside, findGameProgram(own.path() + "/", ""));
}

TEST(GameLaunch, AnEndOtherThanTheNormalOneIsSaid) {
    EXPECT_EQ("", gameEnding(W_EXITCODE(0, 0)));
    EXPECT_EQ("The game could not start: its log, log.html in the player's folder, says why",
              gameEnding(W_EXITCODE(1, 0)));
    EXPECT_EQ("The game ended with exit status 2", gameEnding(W_EXITCODE(2, 0)));
    EXPECT_EQ("The game was ended by signal 9 (Killed)", gameEnding(W_EXITCODE(0, 9)));
}

// The copy is named after the set, and goes when the game ends or cannot start.
TEST(GameLaunch, TheCopyOfTheSetLivesAsLongAsTheGame) {
    test::TempDir temporary;
    test::EnvironmentGuard environment;
    environment.set("TMPDIR", temporary.path());
    const auto empty = [&] { return std::filesystem::is_empty(temporary.path()); };
    GameLaunch game;
    std::string reason;
    EXPECT_FALSE(game.start(temporary.path() + "/nothing", "<level/>", "set.xml", 1, reason));
    EXPECT_EQ("No such file or directory", reason);
    EXPECT_TRUE(empty());
    {
        const test::DiskFullPast full(4);
        EXPECT_FALSE(game.start("/bin/true", "<level/>", "set.xml", 1, reason));
    }
    EXPECT_EQ(0u,
              reason.find("the set could not be written to " + temporary.path() + "/tezmola-editor-play-"));
    EXPECT_TRUE(empty());

    // A game that cannot start: the copy is there until its end is known.
    ASSERT_TRUE(game.start("/bin/false", "<level/>", "", 1, reason)) << reason;
    EXPECT_TRUE(game.running());
    EXPECT_EQ("level.xml", std::filesystem::path(game.levelFile()).filename());
    EXPECT_EQ("<level/>", test::readWholeFile(game.levelFile()));
    std::string ending;
    for (int wait = 0; wait < 500 && game.poll(ending); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(game.running());
    EXPECT_EQ(0u, ending.find("The game could not start"));
    EXPECT_EQ("", game.levelFile());
    EXPECT_TRUE(empty());
    EXPECT_FALSE(game.poll(ending));

    // A game that another waiter took (here the system, as the children's end is ignored) ended normally
    // for all the editor knows; a folder made later under the copy's name is another's and stays.
    const auto before = std::signal(SIGCHLD, SIG_IGN);
    ASSERT_TRUE(game.start("/bin/false", "<level/>", "set.xml", 1, reason)) << reason;
    const std::filesystem::path copy = std::filesystem::path(game.levelFile()).parent_path();
    for (int wait = 0; wait < 500 && game.poll(ending); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::signal(SIGCHLD, before);
    EXPECT_EQ("", ending);
    std::filesystem::create_directory(copy);
    EXPECT_FALSE(game.start(temporary.path() + "/nothing", "<level/>", "set.xml", 1, reason));
    EXPECT_TRUE(std::filesystem::exists(copy));
}

TEST(GameLaunch, WithoutATemporaryFolderTheGameDoesNotStart) {
    for (const char* folder : {"/nonexistent", "/proc"}) {  // none at all; none that can be made there
        test::EnvironmentGuard environment;
        environment.set("TMPDIR", folder);
        GameLaunch game;
        std::string reason;
        EXPECT_FALSE(game.start("/bin/true", "<level/>", "set.xml", 1, reason));
        EXPECT_FALSE(reason.empty()) << folder;
        EXPECT_FALSE(game.running());
    }
}

}  // namespace
