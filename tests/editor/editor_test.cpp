// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The editor driven as an author drives it, by keys and pointer, without a window: what it would keep of
// the edits when the session ends unconfirmed (editor-unsaved.xml) shows what each key and stroke did.
#include "tools/editor/editor.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/file/xml_document.h"
#include "game/brick_grid.h"
#include "game/game_sheet.h"
#include "support/mounted_folder.h"

namespace {

using namespace tezmola;
using editor::Brush;

constexpr int kLeft = 0;
constexpr int kRight = 2;

class EditorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::scanGameSheet(); }

    void open(std::size_t levels = 3, editor::SetFile file = {}) {
        editor::OpenedSet opened;
        opened.levels.resize(levels);
        for (std::size_t index = 0; index < levels; ++index)
            opened.levels[index].comment = "level " + std::to_string(index + 1);
        original = opened.levels;
        file.name = "set.xml";
        file.unsaved = folder.path() + "/unsaved.xml";
        editor = std::make_unique<editor::Editor>(std::move(opened), std::move(file));
        editor->initialise();
    }
    void key(int code, int modifiers = KMOD_NONE) {
        SDL_SetModState(static_cast<SDLMod>(modifiers));
        editor->onKeyDown(code);
        SDL_SetModState(KMOD_NONE);
    }
    // Ctrl+S, then the ticks that read the background proof (no checker beside the tests: it ends at once)
    // until done holds, or for a fifth of a second.
    void save(const std::function<bool()>& done = [] { return false; }) {
        key(SDLK_s, KMOD_CTRL);
        settle(done);
    }
    void settle(const std::function<bool()>& done) {
        for (int tick = 0; tick < 400 && !done(); ++tick) {
            editor->onTick();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (tick == 40 && !done())
                break;
        }
    }
    // A stroke with the button from one cell to another, the pointer reported only at its two ends.
    void stroke(int button, int row, int column, int toRow, int toColumn) {
        editor->onMouseButtonDown(button, cellCentreX(column), cellCentreY(row));
        editor->onMouseMotion(cellCentreX(toColumn), cellCentreY(toRow));
        editor->onMouseButtonUp(button, cellCentreX(toColumn), cellCentreY(toRow));
    }
    // The levels the editor keeps when the session ends unconfirmed; none when it keeps nothing.
    std::vector<LevelDraft> kept() {
        editor->onQuit();
        if (!folder.exists("unsaved.xml"))
            return {};
        TiXmlDocument document;
        EXPECT_TRUE(pentavel::file::parseXmlDocument(document, folder.read("unsaved.xml")));
        return readLevelSet(document);
    }

    test::MountedFolder folder;
    std::vector<LevelDraft> original;
    std::unique_ptr<editor::Editor> editor;
};

TEST_F(EditorTest, KeysChooseTheBrushAndAStrokePaintsEveryCellOnItsWay) {
    open();
    key(SDLK_3);
    key(SDLK_PLUS);
    key(SDLK_PLUS);
    key(SDLK_PLUS);
    key(SDLK_MINUS);
    key(SDLK_9);  // no brush: the third kind stays
    const CellCode brush = editor::brushCode(Brush{static_cast<BrickKind>(3), 3});
    stroke(kLeft, 5, 2, 5, 9);                              // a quick drag across
    stroke(kLeft, 3, 12, 9, 12);                            // and down
    stroke(kLeft, 16, 3, 16, 3);                            // low rows lie inside the frame too
    editor->onMouseMotion(cellCentreX(1), cellCentreY(1));  // the button is up: nothing more is painted
    stroke(kRight, 5, 4, 5, 4);                             // the right button empties
    editor->onMouseButtonDown(kLeft, cellCentreX(0), cellCentreY(7));  // the frame is not painted
    editor->onMouseButtonUp(kRight, 0.0f, 0.0f);  // not the button that is down: the stroke goes on
    editor->onMouseMotion(cellCentreX(1), cellCentreY(7));
    editor->onMouseButtonUp(kLeft, 0.0f, 0.0f);

    const std::vector<LevelDraft> levels = kept();
    ASSERT_EQ(levels.size(), 3u);
    LevelDraft expected = original[0];
    for (int column = 2; column <= 9; ++column)
        expected.map[5][column] = brush;
    for (int row = 3; row <= 9; ++row)
        expected.map[row][12] = brush;
    expected.map[5][4] = LevelDraft().map[5][4];
    expected.map[7][1] = brush;
    expected.map[16][3] = brush;
    EXPECT_EQ(levels[0], expected);
    EXPECT_EQ(levels[1], original[1]);
}

TEST_F(EditorTest, LevelKeysMoveTintAndTakeBackTheLevel) {
    open();
    key(SDLK_PAGEDOWN);
    key(SDLK_r, KMOD_LCTRL);                // red up: at 1.0, it stays
    key(SDLK_g, KMOD_LCTRL | KMOD_LSHIFT);  // green down a step
    for (int step = 0; step < 3; ++step)
        key(SDLK_b, KMOD_LCTRL | KMOD_LSHIFT);  // blue down three
    key(SDLK_DOWN, KMOD_LCTRL);                 // the second level becomes the third
    key(SDLK_DOWN, KMOD_LCTRL);                 // and goes no further
    key(SDLK_HOME);
    key(SDLK_r, KMOD_LCTRL | KMOD_LSHIFT);  // the first: red down, then taken back
    key(SDLK_z, KMOD_LCTRL);

    const std::vector<LevelDraft> levels = kept();
    ASSERT_EQ(levels.size(), 3u);
    EXPECT_EQ(levels[0], original[0]);
    EXPECT_EQ(levels[1], original[2]);
    EXPECT_EQ(levels[2].comment, "level 2");
    EXPECT_FLOAT_EQ(levels[2].red, 1.0f);
    EXPECT_FLOAT_EQ(levels[2].green, 0.95f);
    EXPECT_FLOAT_EQ(levels[2].blue, 0.85f);
}

TEST_F(EditorTest, NothingIsKeptWithoutAChangeOrAfterTheQuitWasConfirmed) {
    open();
    EXPECT_TRUE(kept().empty());
    stroke(kLeft, 4, 4, 4, 4);
    key(SDLK_ESCAPE);
    key(SDLK_ESCAPE);  // the second Escape: the author lets the changes go
    EXPECT_TRUE(kept().empty());
}

// Each level is checked alone, as the game would read it, and named in its notes.
// Another program (a second editor) wrote the set since it was opened: Ctrl+S asks, a second Ctrl+S saves and
// keeps that version as a backup, any other key cancels and the next Ctrl+S asks again.
TEST_F(EditorTest, ASaveAsksWhenTheFileChangedOnDiskAndKeepsTheOtherVersion) {
    editor::SetFile file;
    file.target = folder.write("set.xml", "opened");
    file.diskKnown = true;
    file.existed = true;
    file.onDisk = "opened";
    open(1, file);
    pentavel::openLog();
    stroke(kLeft, 5, 2, 5, 3);
    folder.write("set.xml", "other");
    save();
    EXPECT_EQ("other", folder.read("set.xml"));
    // The keys of Ctrl+S come one by one: a modifier alone neither answers nor cancels.
    for (const int modifier : {SDLK_LSHIFT, SDLK_RSHIFT, SDLK_LCTRL, SDLK_RCTRL})
        key(modifier);
    save([&] { return folder.exists("set.xml.bak"); });
    EXPECT_NE(std::string::npos, folder.read("set.xml").find("<level>"));
    EXPECT_EQ("other", folder.read("set.xml.bak"));
    EXPECT_EQ("Saved set.xml; the version on disk before is kept as set.xml.bak",
              editor->messages().back().text);
    stroke(kRight, 5, 2, 5, 3);
    save([&] { return folder.read("set.xml").find("R1") == std::string::npos; });
    EXPECT_FALSE(folder.exists("set.xml.bak.2"));  // nothing changed on disk since: no question, no backup
    // No checker beside the tests: the level is not proven.
    EXPECT_EQ("Saved set.xml, but 1 levels are not proven: 1", editor->messages().back().text);
    const std::string log = folder.logText();
    EXPECT_NE(std::string::npos,
              log.find("The version of " + folder.path() + "/set.xml on disk before is kept as " +
                       folder.path() + "/set.xml.bak"))
        << log;
    EXPECT_EQ(log.find("on disk before is kept as"), log.rfind("on disk before is kept as"));  // once

    folder.write("set.xml", "third");
    stroke(kLeft, 7, 2, 7, 3);
    save();
    key(SDLK_ESCAPE);  // cancels the save, and is no quit: the next Escape only asks
    key(SDLK_ESCAPE);
    save();
    key(SDLK_s);  // S without Ctrl cancels too
    save();
    EXPECT_EQ("third", folder.read("set.xml"));
    EXPECT_EQ(1u, kept().size());  // still unsaved
}

// The changes an earlier session kept for the set: Ctrl+O opens them as unsaved changes, and saving them
// removes the kept copy.
TEST_F(EditorTest, CtrlOOpensTheChangesAnEarlierSessionKept) {
    std::vector<LevelDraft> earlier(2);
    earlier[1].comment = "kept earlier";
    editor::SetFile file;
    file.target = folder.path() + "/set.xml";
    file.recoverable = folder.write("earlier.xml", writeLevelSet(earlier));
    open(3, file);
    key(SDLK_o);  // O alone opens nothing
    EXPECT_TRUE(kept().empty());
    key(SDLK_o, KMOD_CTRL);
    ::testing::internal::CaptureStderr();
    const std::vector<LevelDraft> levels = kept();
    EXPECT_EQ("tezmola-editor: unsaved changes kept in " + folder.path() + "/unsaved.xml\n",
              ::testing::internal::GetCapturedStderr());
    ASSERT_EQ(2u, levels.size());
    EXPECT_EQ("kept earlier", levels[1].comment);
    save([&] { return folder.exists("set.xml"); });
    EXPECT_NE(std::string::npos, folder.read("set.xml").find("kept earlier"));
    EXPECT_FALSE(folder.exists("earlier.xml"));
    // What is kept under that name from now on is another session's, offered at the next start.
    folder.write("earlier.xml", writeLevelSet(earlier));
    key(SDLK_o, KMOD_CTRL);
    EXPECT_EQ("No unsaved changes of an earlier session are kept for set.xml",
              editor->messages().back().text);

    // A kept copy that cannot be read says why, and changes nothing.
    file.recoverable = folder.write("bad.xml", "<level>");
    std::filesystem::remove(folder.path() + "/unsaved.xml");
    open(1, file);
    key(SDLK_o, KMOD_CTRL);
    EXPECT_EQ(0u,
              editor->messages().back().text.rfind("The kept unsaved changes cannot be read: bad.xml:", 0))
        << editor->messages().back().text;
    EXPECT_TRUE(kept().empty());
}

// A new file is made at the first save without a question, and so is a file named by "save as", whose
// bytes are kept as a backup; what another program writes after that save is noticed at the next.
TEST_F(EditorTest, ANewFileOrOneNamedBySaveAsIsWrittenWithoutAQuestion) {
    editor::SetFile file;
    file.target = folder.path() + "/new.xml";
    file.diskKnown = true;  // known not to be there
    open(1, file);
    stroke(kLeft, 5, 2, 5, 3);
    save([&] { return folder.exists("new.xml"); });
    ASSERT_TRUE(folder.exists("new.xml"));
    const std::string first = folder.read("new.xml");
    stroke(kLeft, 6, 2, 6, 3);
    save([&] { return folder.read("new.xml") != first; });
    EXPECT_NE(first, folder.read("new.xml"));
    EXPECT_FALSE(folder.exists("new.xml.bak"));

    folder.write("b.xml", "another's");
    key(SDLK_s, KMOD_CTRL | KMOD_SHIFT);
    for (int erased = 0; erased < 7; ++erased)
        key(SDLK_BACKSPACE);
    for (const int typed : {SDLK_b, SDLK_PERIOD, SDLK_x, SDLK_m, SDLK_l})
        key(typed);
    key(SDLK_RETURN);
    settle([&] { return folder.exists("b.xml.bak"); });
    EXPECT_EQ("another's", folder.read("b.xml.bak"));
    EXPECT_NE(std::string::npos, folder.read("b.xml").find("<level>"));

    folder.write("b.xml", "other");
    stroke(kLeft, 7, 2, 7, 3);
    save();
    EXPECT_EQ("other", folder.read("b.xml"));
}

TEST_F(EditorTest, AnOpenedFileNamesTheLevelsTheGameWouldComplainAbout) {
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
    EXPECT_EQ(unreadable.notes[0].tone, editor::Tone::Error);
}

// The bytes on disk as the editor opens the set: known for a file and for no file, unknown when the path
// cannot be looked at or there is nothing to write back.
TEST(SetFileTest, TheBytesOnDiskAreKnownOrSaidUnknown) {
    test::TempDir folder;
    editor::SetFile file;
    file.target = folder.write("set.xml", "bytes");
    editor::rememberDisk(file);
    EXPECT_TRUE(file.diskKnown);
    EXPECT_TRUE(file.existed);
    EXPECT_EQ("bytes", file.onDisk);

    editor::SetFile missing;
    missing.target = folder.path() + "/new.xml";
    editor::rememberDisk(missing);
    EXPECT_TRUE(missing.diskKnown);
    EXPECT_FALSE(missing.existed);

    editor::SetFile loop;
    loop.target = folder.path() + "/loop.xml";
    ASSERT_EQ(0, symlink("loop.xml", loop.target.c_str()));
    editor::rememberDisk(loop);
    EXPECT_FALSE(loop.diskKnown);

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
    EXPECT_FALSE(editor::readPlainFile(missing.target.string(), text, reason));
    EXPECT_EQ(std::strerror(ENOENT), reason);

    editor::SetFile archive;  // nothing to write back to
    editor::rememberDisk(archive);
    EXPECT_FALSE(archive.diskKnown);
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
    EXPECT_TRUE(file.recoverable.empty());
    EXPECT_TRUE(opened.notes.empty());

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

}  // namespace
