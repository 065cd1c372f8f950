// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The set's file as the editor opens it: the levels with the checker's notes, the bytes on disk, the
// unsaved changes an earlier session kept, and the set the game would play.
#include "tools/editor/document/set_file.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "file/zip_writer.h"
#include "game/field/brick_grid.h"
#include "game/records/proof_record.h"
#include "support/mounted_folder.h"
#include "support/test_support.h"

namespace {

using namespace tezmola;

// Each level is checked alone, as the game would read it, and named in its notes.
TEST(SetFileTest, AnOpenedFileNamesTheLevelsTheGameWouldComplainAbout) {
    std::vector<LevelDraft> levels(3);
    for (LevelDraft& level : levels) {
        level.background = "tile_test";
        level.map[2][2] = CellCode{'R', '1'};
    }
    levels[1].map[3][3] = CellCode{'Q', '1'};
    const editor::OpenedSet opened = editor::openLevelFile(writeLevelSet(levels), "set.xml");
    EXPECT_EQ(opened.levels.size(), 3u);
    ASSERT_FALSE(opened.notes.empty());
    for (const editor::Message& note : opened.notes)
        EXPECT_EQ(note.text.rfind("Level 2: ", 0), 0u) << note.text;

    const editor::OpenedSet recorded = editor::openLevelFile(
        writeLevelSet(levels, {"", proofRecordText(ProofRecord{42, "cleared"})}), "set.xml");
    ASSERT_EQ(recorded.proofs.size(), 3u);
    EXPECT_EQ(recorded.proofs[1].content, 42u);
    EXPECT_EQ(recorded.proofs[1].result, "cleared");

    // Cut short inside an element: the parser names no place, the note names the line the text ends on.
    const editor::OpenedSet unreadable = editor::openLevelFile("\n<level>\n<tezm>\n+. --\n", "bad.xml");
    EXPECT_TRUE(unreadable.levels.empty());
    ASSERT_FALSE(unreadable.notes.empty());
    EXPECT_EQ(unreadable.notes[0].text.rfind("bad.xml:4: error: Cannot read level file!", 0), 0u)
        << unreadable.notes[0].text;
    // A place the parser names, on the first line too, is named as it is.
    const editor::OpenedSet misnested = editor::openLevelFile("<level><tezm></level>", "one.xml");
    ASSERT_FALSE(misnested.notes.empty());
    EXPECT_EQ(misnested.notes[0].text.rfind("one.xml:1:14: error: Cannot read level file!", 0), 0u)
        << misnested.notes[0].text;
}

// The bytes on disk as the editor opens the set: known for a file and for no file, unknown when the path
// cannot be looked at or there is nothing to write back.
TEST(SetFileTest, TheBytesOnDiskAreKnownOrSaidUnknown) {
    test::TempDir folder;
    const auto disk = [](const std::filesystem::path& target) {
        editor::SetFile file;
        file.target = target;
        editor::rememberDisk(file);
        return std::string(file.diskKnown ? "known" : "unknown") + (file.existed ? ": " + file.onDisk : "");
    };
    EXPECT_EQ("known: bytes", disk(folder.write("set.xml", "bytes")));
    const std::string missing = folder.path() + "/new.xml";
    EXPECT_EQ("known", disk(missing));
    const std::string loop = folder.path() + "/loop.xml";
    ASSERT_EQ(0, symlink("loop.xml", loop.c_str()));
    EXPECT_EQ("unknown", disk(loop));
    EXPECT_EQ("unknown", disk({}));  // an archive: nothing to write back to

    // As the game reads: up to 64 MB.
    const std::string large = folder.write("large.xml", "");
    std::filesystem::resize_file(large, editor::kMaxLevelFileSize + 1);
    std::string text;
    std::string reason;
    EXPECT_FALSE(editor::readPlainFile(large, text, reason));
    EXPECT_EQ("it is larger than 64 MB", reason);
    std::filesystem::resize_file(large, editor::kMaxLevelFileSize);
    EXPECT_TRUE(editor::readPlainFile(large, text, reason));
    EXPECT_EQ(editor::kMaxLevelFileSize, text.size());
    EXPECT_FALSE(editor::readPlainFile(missing, text, reason));
    EXPECT_EQ(std::strerror(ENOENT), reason);
}

// Unsaved changes are kept in the player's folder under the absolute path of the set written back (else of
// the path opened), "%" and "/" escaped so that no two sets share a name; what is kept is offered.
TEST(SetFileTest, UnsavedChangesHaveTheSetsOwnNameAndAreOfferedWhenKept) {
    EXPECT_EQ("editor-unsaved-%2Fa%25b%2Fc.xml.xml", editor::unsavedFileName("/a%b/c.xml"));
    test::TempDir player;
    const std::filesystem::path here = std::filesystem::current_path();
    editor::SetFile file;
    file.target = "sets/../set.xml";
    editor::OpenedSet opened;
    editor::keepUnsavedChangesIn(player.path(), "sets", file, opened);
    EXPECT_EQ(std::filesystem::path(player.path()) / editor::unsavedFileName(here / "set.xml"), file.unsaved);

    player.write(file.unsaved.filename().string(), "kept");
    player.write(editor::kUnsavedFileName, "kept by an earlier version");
    editor::SetFile again;
    again.target = file.target;
    opened.notes.push_back(editor::Message{"the checker's note", editor::Tone::Error});
    editor::keepUnsavedChangesIn(player.path(), "sets", again, opened);
    EXPECT_EQ(file.unsaved, again.recoverable);
    ASSERT_EQ(3u, opened.notes.size());
    EXPECT_EQ("Unsaved changes of an earlier session are kept in editor-unsaved.xml in the player's folder",
              opened.notes[0].text);
    EXPECT_EQ("Unsaved changes of an earlier session on " + (here / "set.xml").string() +
                  " are kept: Ctrl+O opens them",
              opened.notes[1].text);

    editor::SetFile archive;
    editor::keepUnsavedChangesIn(player.path(), "x.pak", archive, opened);
    EXPECT_EQ(std::filesystem::path(player.path()) / editor::unsavedFileName(here / "x.pak"),
              archive.unsaved);
    editor::SetFile nowhere;
    editor::keepUnsavedChangesIn("", "x.pak", nowhere, opened);
    EXPECT_TRUE(nowhere.unsaved.empty());
}

// A file, a folder that holds level.xml, an archive (never written back), a name not there yet, or
// nothing: the player's level.xml through the game's search path, written back into the player's folder.
TEST(SetFileTest, ASetIsOpenedFromAFileAFolderAnArchiveOrIsNew) {
    test::MountedFolder player;
    player.write("level.xml", writeLevelSet(std::vector<LevelDraft>(1)));
    player.write("folder/level.xml", writeLevelSet(std::vector<LevelDraft>(2)));
    player.write("plain.xml", writeLevelSet(std::vector<LevelDraft>(3)));
    player.write("set.pak", test::zipArchive({{"level.xml", writeLevelSet(std::vector<LevelDraft>(4))}}));
    std::filesystem::create_directory(player.path() + "/empty");
    std::filesystem::create_directories(player.path() + "/broken/level.xml");  // there, but no file
    struct Case {
        std::string path;  // empty: none given
        std::string folder;
        std::size_t levels;
        std::string name, target, note;
    };
    const std::string at = player.path() + "/";
    for (const Case& one :
         {Case{"", player.path(), 1, "level.xml", at + "level.xml", ""}, Case{"", "", 1, "level.xml", "", ""},
          Case{at + "folder", player.path(), 2, "level.xml", at + "folder/level.xml", ""},
          Case{at + "empty", player.path(), 0, "level.xml", at + "empty/level.xml", ""},
          Case{at + "broken", player.path(), 0, "level.xml", at + "broken/level.xml",
               "level.xml: error: Cannot read level file! "},
          Case{at + "plain.xml", player.path(), 3, "plain.xml", at + "plain.xml", ""},
          Case{at + "set.pak", player.path(), 4, "set.pak", "", ""},
          Case{at + "new.xml", player.path(), 0, "new.xml", at + "new.xml",
               "new.xml is new: Ctrl+S makes it"}}) {
        editor::OpenedSet opened;
        editor::SetFile file;
        editor::openForEditing(one.path.empty() ? nullptr : one.path.c_str(), one.folder, opened, file);
        EXPECT_EQ(one.levels, opened.levels.size()) << one.path;
        EXPECT_EQ(one.name, file.name) << one.path;
        EXPECT_EQ(one.target, file.target.string()) << one.path;
        const auto says = [&](const std::string& words) {
            return std::any_of(opened.notes.begin(), opened.notes.end(),
                               [&](const editor::Message& note) { return note.text.rfind(words, 0) == 0; });
        };
        EXPECT_EQ(one.note.find(" is new: ") != std::string::npos, says("new.xml is new: ")) << one.path;
        EXPECT_TRUE(one.note.empty() || says(one.note)) << one.path;
    }
}

// Without a file the editor opens the set the game would play next, as the game's settings remember it:
// a set of the shelf, or a file named by its path; Tezmola's own levels and the player's level.xml are
// opened as always, and a set that has gone is said.
TEST(SetFileTest, TheSetTheGameWouldPlayIsTheOneItsSettingsRemember) {
    test::MountedFolder player;
    std::vector<editor::Message> notes;
    EXPECT_TRUE(editor::rememberedSetFile(player.path(), notes).empty());  // no settings yet
    const auto remember = [&](const std::string& name) {
        player.write("settings.xml",
                     "<?xml version=\"1.0\"?>\n<video/>\n<levels><set value=\"" + name + "\"/></levels>\n");
        return editor::rememberedSetFile(player.path(), notes);
    };
    std::filesystem::create_directory(player.path() + "/levels");
    const std::string arcade = player.write("levels/Arcade.xml", "<level/>");
    player.write("levels/Tezmola.xml", "<level/>");
    player.write("levels/level.xml.xml", "<level/>");
    EXPECT_EQ(arcade, remember("Arcade"));
    EXPECT_TRUE(remember("Tezmola").empty());
    EXPECT_TRUE(remember("level.xml").empty());
    EXPECT_EQ(arcade, remember(arcade));
    EXPECT_TRUE(notes.empty());
    EXPECT_TRUE(remember("Gone").empty());
    ASSERT_EQ(1u, notes.size());
    EXPECT_EQ("The level set Gone the game would play has gone (" + player.path() +
                  "/levels/Gone.xml): editing the levels the game plays without it",
              notes[0].text);
    EXPECT_TRUE(remember("levels").empty());      // a folder is no set
    EXPECT_TRUE(remember("Arcade.xml").empty());  // a file name, as the game reads it, not a set's name
    EXPECT_TRUE(remember(".xml").empty());        // too short to name a file
    ASSERT_EQ(4u, notes.size());
    EXPECT_NE(std::string::npos, notes[2].text.find(" (Arcade.xml): ")) << notes[2].text;
    EXPECT_NE(std::string::npos, notes[3].text.find(" (" + player.path() + "/levels/.xml.xml): "));
    // Opening without a file edits the remembered set and knows the player's folder; a set that has gone
    // is said first, before what the levels the game plays without it say.
    std::vector<LevelDraft> two(2);
    player.write("levels/Arcade.xml", writeLevelSet(two));
    remember("Arcade");
    editor::OpenedSet opened;
    editor::SetFile file;
    editor::openForEditing(nullptr, player.path(), opened, file);
    EXPECT_EQ(arcade, file.target.string());
    EXPECT_EQ(player.path(), file.playerFolder.string());
    EXPECT_EQ(2u, opened.levels.size());
    remember("Gone");
    opened = editor::OpenedSet();
    editor::openForEditing(nullptr, player.path(), opened, file);
    EXPECT_EQ("level.xml", file.name);
    ASSERT_EQ(2u, opened.notes.size());  // the folder holds no level.xml of the game's
    EXPECT_EQ(0u, opened.notes[0].text.find("The level set Gone the game would play has gone"));
    EXPECT_EQ(0u, opened.notes[1].text.find("level.xml: error: Cannot read level file!"));
    notes.resize(4);
    player.write("settings.xml", "<levels><set value=\"Arcade\"/>");  // cut short
    EXPECT_TRUE(editor::rememberedSetFile(player.path(), notes).empty());
    EXPECT_EQ(4u, notes.size());
}

}  // namespace
