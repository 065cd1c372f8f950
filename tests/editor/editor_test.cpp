// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The editor driven as an author drives it, by keys and pointer, without a window: what it would keep of
// the edits when the session ends unconfirmed (editor-unsaved.xml) shows what each key and stroke did.
#include "tools/editor/editor.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/timer.h"
#include "engine/file/log.h"
#include "engine/file/xml_document.h"
#include "file/environment_guard.h"
#include "game/display/hud.h"
#include "game/field/brick_grid.h"
#include "game/game_sheet.h"
#include "game/records/proof_record.h"
#include "support/mounted_folder.h"
#include "tools/editor/view/brick_bar.h"

namespace {

using namespace tezmola;
using editor::Brush;

constexpr int kLeft = 0;
constexpr int kRight = 2;

class EditorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::scanGameSheet(); }

    void open(std::size_t count = 3, editor::SetFile file = {}) { open(levels(count), {}, std::move(file)); }
    void open(std::vector<LevelDraft> levels, std::vector<ProofRecord> proofs = {}, editor::SetFile file = {},
              std::vector<editor::Message> notes = {}) {
        editor::OpenedSet opened;
        opened.levels = std::move(levels);
        opened.proofs = std::move(proofs);
        opened.notes = std::move(notes);
        original = opened.levels;
        file.name = "set.xml";
        file.unsaved = folder.path() + "/unsaved.xml";
        editor = std::make_unique<editor::Editor>(std::move(opened), std::move(file));
        editor->initialise();
    }
    void click(int button, float x, float y) {
        editor->onMouseButtonDown(button, x, y);
        editor->onMouseButtonUp(button, x, y);
    }
    static std::vector<LevelDraft> levels(std::size_t count) {
        std::vector<LevelDraft> drafts(count);
        for (std::size_t index = 0; index < count; ++index)
            drafts[index].comment = "level " + std::to_string(index + 1);
        return drafts;
    }
    void key(int code, int modifiers = KMOD_NONE) {
        SDL_SetModState(static_cast<SDLMod>(modifiers));
        editor->onKeyDown(code);
        SDL_SetModState(KMOD_NONE);
    }
    void keys(std::initializer_list<int> codes) {
        for (const int code : codes)
            key(code);
    }
    // The letters of a text as typed, capitals with Shift, then Enter.
    void type(const std::string& text) {
        for (const char c : text)
            key(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c, c >= 'A' && c <= 'Z' ? KMOD_SHIFT : KMOD_NONE);
        key(SDLK_RETURN);
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
    // The first line under the bar.
    std::string shown() const { return editor->view()->message(0).text(); }
    // The save-as prompt with the name typed and the folder, whose middle a long path loses.
    void expectSaveAs(const std::string& typed, const std::string& lastFolder) const {
        EXPECT_EQ(shown().rfind("Save as: " + typed + "_   (Enter saves in /", 0), 0u) << shown();
        const std::string end = "/" + lastFolder + ", Escape cancels)";
        EXPECT_EQ(shown().substr(shown().size() - std::min(end.size(), shown().size())), end);
    }
    // The last message said.
    std::string said() const { return editor->messages().back().text; }
    // The lines of messages under the bar, each ended by "|".
    std::string messages() const {
        std::string all;
        for (std::size_t line = 0; line < editor::kMessageLines; ++line)
            all += editor->view()->message(line).text() + "|";
        return all;
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
    // Yellow at 3 hit points; 9 is no brush, the third kind stays.
    keys({SDLK_3, SDLK_PLUS, SDLK_PLUS, SDLK_PLUS, SDLK_MINUS, SDLK_9});
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
}

TEST_F(EditorTest, LevelKeysMoveTintAndTakeBackTheLevel) {
    open();
    key(SDLK_PAGEDOWN);
    key(SDLK_r, KMOD_LALT);                // red up: at 1.0, it stays
    key(SDLK_r, KMOD_RALT | KMOD_LSHIFT);  // then down a step
    for (int step = 0; step < 3; ++step) {
        key(SDLK_g, KMOD_LALT | KMOD_LSHIFT);  // green and blue down three
        key(SDLK_b, KMOD_RALT | KMOD_LSHIFT);
    }
    key(SDLK_b, KMOD_LALT);      // and blue up one
    key(SDLK_DOWN, KMOD_LCTRL);  // the second level becomes the third
    key(SDLK_DOWN, KMOD_LCTRL);  // and goes no further
    key(SDLK_HOME);
    key(SDLK_r, KMOD_LALT | KMOD_LSHIFT);  // the first: red down, then taken back
    key(SDLK_z, KMOD_LCTRL);

    const std::vector<LevelDraft> levels = kept();
    ASSERT_EQ(levels.size(), 3u);
    EXPECT_EQ(levels[0], original[0]);
    EXPECT_EQ(levels[1], original[2]);
    EXPECT_FLOAT_EQ(levels[2].red, 0.95f);
    EXPECT_FLOAT_EQ(levels[2].green, 0.85f);
    EXPECT_FLOAT_EQ(levels[2].blue, 0.9f);
}

TEST_F(EditorTest, NothingIsKeptWithoutAChangeOrAfterTheQuitWasConfirmed) {
    open();
    EXPECT_TRUE(kept().empty());
    stroke(kLeft, 4, 4, 4, 4);
    key(SDLK_ESCAPE);
    key(SDLK_ESCAPE);  // the second Escape: the author lets the changes go
    EXPECT_TRUE(kept().empty());
}

// Each kind on the bar keeps its own hit points, and choosing one (by key or click) is no change to undo.
TEST_F(EditorTest, TheBrickBarKeepsHitPointsPerKindAndAChoiceIsNoEdit) {
    const float barY = -0.56f;
    EXPECT_EQ(editor::BrickBar::slotAt(editor::BrickBar::slotX(0), barY), 0);
    EXPECT_EQ(editor::BrickBar::slotAt(editor::BrickBar::slotX(0) - 0.07f, barY + 0.03f), 0);
    EXPECT_EQ(editor::BrickBar::slotAt(editor::BrickBar::slotX(0) - 0.09f, barY), -1);
    EXPECT_EQ(editor::BrickBar::slotAt(editor::BrickBar::slotX(3) + 0.15f, barY - 0.03f), 3);
    EXPECT_EQ(editor::BrickBar::slotAt(editor::BrickBar::slotX(7) + 0.17f, barY), -1);
    EXPECT_EQ(editor::BrickBar::slotAt(editor::BrickBar::slotX(2), barY + 0.05f), -1);
    EXPECT_EQ(editor::BrickBar::slotAt(editor::BrickBar::slotX(2), barY - 0.05f), -1);

    open();
    keys({SDLK_3, SDLK_PLUS, SDLK_PLUS});
    stroke(kLeft, 2, 1, 2, 1);  // yellow 3
    key(SDLK_2);
    stroke(kLeft, 2, 2, 2, 2);  // blue: its own 1, not yellow's 3
    key(SDLK_3);
    stroke(kLeft, 2, 3, 2, 3);                        // yellow kept its 3
    click(kLeft, editor::BrickBar::slotX(5), barY);   // white, on the bar: nothing painted under it
    click(kRight, editor::BrickBar::slotX(0), barY);  // the right button chooses nothing
    key(SDLK_MINUS);                                  // white stays at 1
    stroke(kLeft, 2, 4, 2, 4);
    click(kLeft, editor::BrickBar::slotX(0), barY);  // red, the first
    keys({SDLK_PLUS, SDLK_1});                       // red still
    stroke(kLeft, 3, 4, 3, 4);
    keys({SDLK_7, SDLK_PLUS});  // steel has no hit points to change
    stroke(kLeft, 2, 5, 2, 5);
    key(SDLK_8);  // the empty cell: the left button clears
    stroke(kLeft, 2, 1, 2, 1);

    std::vector<LevelDraft> levels = kept();
    ASSERT_EQ(levels.size(), 3u);
    LevelDraft expected = original[0];
    expected.map[2][2] = CellCode{'B', '1'};
    expected.map[2][3] = CellCode{'Y', '3'};
    expected.map[2][4] = CellCode{'W', '1'};
    expected.map[3][4] = CellCode{'R', '2'};
    expected.map[2][5] = CellCode{'S', 'S'};
    EXPECT_EQ(levels[0], expected);
    // Seven strokes, seven changes: no choice on the bar among them.
    for (int step = 0; step < 7; ++step)
        key(SDLK_z, KMOD_LCTRL);
    std::filesystem::remove(folder.path() + "/unsaved.xml");
    EXPECT_TRUE(kept().empty());
}

// Without a mouse: the arrows move the highlight within the frame, from the top-left cell inside it; Space
// paints the highlighted cell and Backspace clears it. The pointer moves it too, but never onto the frame.
TEST_F(EditorTest, TheArrowsSpaceAndBackspacePaintTheHighlightedCell) {
    open();
    keys({SDLK_4, SDLK_SPACE, SDLK_UP, SDLK_LEFT, SDLK_RIGHT, SDLK_SPACE});
    for (int step = 0; step < 30; ++step)
        keys({SDLK_DOWN, SDLK_RIGHT});
    keys({SDLK_SPACE, SDLK_UP, SDLK_LEFT, SDLK_LEFT, SDLK_SPACE});
    editor->onMouseMotion(cellCentreX(7), cellCentreY(5));
    keys({SDLK_SPACE, SDLK_DOWN, SDLK_SPACE, SDLK_UP});
    editor->onMouseMotion(cellCentreX(9), cellCentreY(0));   // the frame: the highlight stays
    editor->onMouseMotion(cellCentreX(15), cellCentreY(9));  // the frame: the highlight stays
    key(SDLK_BACKSPACE);
    editor->onMouseMotion(cellCentreX(1), cellCentreY(1));
    key(SDLK_BACKSPACE);

    const std::vector<LevelDraft> levels = kept();
    ASSERT_EQ(levels.size(), 3u);
    LevelDraft expected = original[0];
    expected.map[1][2] = CellCode{'G', '1'};
    expected.map[18][14] = CellCode{'G', '1'};
    expected.map[17][12] = CellCode{'G', '1'};
    expected.map[6][7] = CellCode{'G', '1'};  // down a row and back up, where Backspace cleared
    EXPECT_EQ(levels[0], expected);
}

// A save writes the proof of every level still as proven, however it came back to it, and none for a
// level changed since or whose record was no longer current when it was opened.
TEST_F(EditorTest, ASaveKeepsTheProofOfEveryLevelStillAsProven) {
    const char result[] = "cleared in 1.5 s simulated with 0 balls lost";
    std::vector<LevelDraft> set = levels(3);
    for (std::size_t index = 0; index < set.size(); ++index)
        set[index].map[2][1 + index] = CellCode{'R', '1'};  // three levels of different content
    const char notProven[] = "not proven with 1 brick left after 600.0 s simulated (0 balls lost)";
    const std::vector<ProofRecord> proofs = {ProofRecord{levelContent(set[0]), result},
                                             ProofRecord{levelContent(set[1]), notProven},
                                             ProofRecord{levelContent(set[2]) + 1, result}};
    pentavel::openLog();
    editor::SetFile file;
    file.target = folder.path() + "/set.xml";
    open(set, proofs, std::move(file));
    EXPECT_NE(folder.logText().find("2 of 3 levels keep the proof saved with them"), std::string::npos);
    key(SDLK_PAGEDOWN);
    stroke(kLeft, 4, 4, 4, 4);
    // The checker is not beside the tests: what is unproven stays unproven, and the save follows.
    const auto saved = [&](std::size_t expectedRecords) {
        std::vector<ProofRecord> records;
        for (int tick = 0; tick < 200; ++tick) {
            editor->onTick();
            if (folder.exists("set.xml")) {
                TiXmlDocument document;
                if (pentavel::file::parseXmlDocument(document, folder.read("set.xml")))
                    records = readProofRecords(document);
                std::size_t kept = 0;
                for (const ProofRecord& record : records)
                    kept += record.result.empty() ? 0 : 1;
                if (kept == expectedRecords)
                    break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return records;
    };
    key(SDLK_s, KMOD_LCTRL);
    // While the proof runs, the line under the bar says so, until it ends.
    EXPECT_EQ(shown(), "Proving 0 of 2 levels in the background before saving: Ctrl+S again saves at once");
    std::vector<ProofRecord> records = saved(1);
    EXPECT_EQ(shown().find("Proving"), std::string::npos);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].result, result);
    EXPECT_TRUE(records[1].result.empty());
    EXPECT_TRUE(records[2].result.empty());

    key(SDLK_z, KMOD_LCTRL);  // the second level as proven again
    key(SDLK_s, KMOD_LCTRL);
    records = saved(2);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].result, notProven);     // a play's verdict, kept though it is not a clear
    EXPECT_FALSE(folder.exists("set.xml.bak"));  // there was no file to keep before the first save
}

// Ctrl+P sends every level without a proof of its content to the checker (none is beside the tests), then
// sums up the set.
TEST_F(EditorTest, CtrlPProvesTheLevelsWithoutAProofAndSumsUpTheSet) {
    std::vector<LevelDraft> set = levels(3);
    for (std::size_t index = 0; index < set.size(); ++index)
        set[index].map[2][1 + index] = CellCode{'R', '1'};
    open(set,
         {ProofRecord{}, ProofRecord{levelContent(set[1]), "cleared in 1.5 s simulated with 0 balls lost"}});
    key(SDLK_p, KMOD_LCTRL);
    EXPECT_EQ(shown(), "Proving 0 of 2 levels in the background");
    settle([&] { return shown().find("Proving") == std::string::npos; });
    EXPECT_EQ("3 levels, 1 cleared; not cleared: 1, 3", said());
}

// The lines on screen say what holds now: each level's proof, the brush, and messages that go at the next
// key (not at a modifier alone) or once they are no longer true.
TEST_F(EditorTest, TheLinesOnScreenSayWhatHoldsNowAndNoLonger) {
    std::vector<LevelDraft> set = levels(3);
    for (std::size_t index = 0; index < set.size(); ++index)
        set[index].map[2][1 + index] = CellCode{'R', '1'};
    // A record more than there are levels is no harm.
    open(set, {ProofRecord{levelContent(set[0]), "cleared in 1.5 s simulated with 0 balls lost"},
               ProofRecord{levelContent(set[1]), "not proven with 1 brick left after 600.0 s simulated"},
               ProofRecord{}, ProofRecord{levelContent(set[0]), "cleared"}});
    const editor::LevelView& view = *editor->view();
    const auto info = [&] { return view.info().text(); };
    const auto status = [&] { return view.status().text(); };
    const std::string::size_type none = std::string::npos;
    EXPECT_NE(info().find("  PROVEN: cleared in 1.5 s"), none) << info();
    key(SDLK_PAGEDOWN);
    EXPECT_NE(info().find("  NOT PROVEN: not proven with 1 brick"), none) << info();
    key(SDLK_PAGEDOWN);
    EXPECT_NE(info().find("  not proven yet"), none) << info();

    keys({SDLK_3, SDLK_1, SDLK_PLUS});
    EXPECT_NE(status().find("brush: red 2  set.xml"), none) << status();
    keys({SDLK_MINUS, SDLK_MINUS, SDLK_MINUS});
    EXPECT_NE(status().find("brush: red 1  set.xml"), none) << status();
    key(SDLK_PLUS);
    key(SDLK_7);
    EXPECT_NE(status().find("brush: steel  set.xml"), none) << status();
    key(SDLK_8);
    EXPECT_NE(status().find("brush: empty  set.xml"), none) << status();

    key(SDLK_z, KMOD_LCTRL);
    EXPECT_NE(messages().find("Nothing to undo"), none);
    keys({SDLK_LSHIFT, SDLK_RSHIFT, SDLK_LCTRL, SDLK_RCTRL, SDLK_LALT, SDLK_RALT});
    EXPECT_NE(messages().find("Nothing to undo"), none);
    key(SDLK_g);
    EXPECT_EQ(messages(), "|||");
    EXPECT_FALSE(view.marks().lines().front().visible());  // G hid the grid

    key(SDLK_2);
    stroke(kLeft, 5, 5, 5, 5);
    key(SDLK_ESCAPE);
    EXPECT_NE(messages().find("Unsaved changes: Escape again quits"), none);
    key(SDLK_z, KMOD_LCTRL);  // nothing is unsaved any more
    EXPECT_EQ(messages().find("Unsaved changes"), none);

    // The highlight follows the pointer along a row and along a column.
    const auto highlighted = [&](int row, int column) {
        float x = 0.0f;
        float y = 0.0f;
        view.marks().preview().brick.getPosition(x, y);
        EXPECT_NEAR(x, cellCentreX(column), 1e-4f);
        EXPECT_NEAR(y, cellCentreY(row), 1e-4f);
    };
    editor->onMouseMotion(cellCentreX(3), cellCentreY(4));
    highlighted(4, 3);
    editor->onMouseMotion(cellCentreX(9), cellCentreY(4));
    highlighted(4, 9);
    editor->onMouseMotion(cellCentreX(9), cellCentreY(10));
    highlighted(10, 9);
}

// Ctrl+T and Ctrl+U type the level's title and author, which the status line shows in the font's own
// letters; Enter keeps the text (an empty one removes it), Escape cancels, and each kept text is one change.
TEST_F(EditorTest, CtrlTAndCtrlUTypeTheTitleAndTheAuthorOfTheLevel) {
    std::vector<LevelDraft> set = levels(2);
    set[1].title = "Caf\xc3\xa9";
    open(set);
    const editor::LevelView& view = *editor->view();
    const auto status = [&] { return view.status().text(); };
    key(SDLK_u, KMOD_CTRL);
    key(SDLK_m);
    EXPECT_EQ(shown(), "Author: m_   (Enter keeps, Escape cancels)");
    key(SDLK_ESCAPE);
    key(SDLK_t, KMOD_CTRL);
    key(SDLK_RETURN);  // the same text: no change
    EXPECT_TRUE(kept().empty());
    EXPECT_EQ(shown(), "");

    key(SDLK_t, KMOD_CTRL);
    keys({SDLK_t, SDLK_SPACE, SDLK_QUOTE, SDLK_COMMA, SDLK_MINUS, SDLK_0, SDLK_9, SDLK_SEMICOLON});
    key(SDLK_b, KMOD_SHIFT);
    key(SDLK_KP_ENTER);
    key(SDLK_u, KMOD_CTRL);
    type("a");
    EXPECT_NE(status().find(R"(  set.xml *  "t ',-09B"  by a)"), std::string::npos) << status();
    std::vector<LevelDraft> levels = kept();
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_EQ(levels[0].title, "t ',-09B");
    EXPECT_EQ(levels[0].author, "a");
    key(SDLK_z, KMOD_CTRL);
    EXPECT_EQ(kept()[0].author, "");

    // An imported title, in UTF-8, is shown in the font's letters; Backspace takes a whole letter.
    key(SDLK_PAGEDOWN);
    pentavel::graphics::GlyphTable glyphs = {};
    buildGlyphTable(glyphs);
    EXPECT_EQ(status().substr(status().size() - 6), "\"" + toFontText("Caf\xc3\xa9", glyphs) + "\"");
    key(SDLK_t, KMOD_CTRL);
    key(SDLK_BACKSPACE);
    EXPECT_EQ(shown(), "Title: Caf_   (Enter keeps, Escape cancels)");
    key(SDLK_RETURN);
    EXPECT_EQ(kept()[1].title, "Caf");
    key(SDLK_t, KMOD_CTRL);
    keys({SDLK_BACKSPACE, SDLK_BACKSPACE, SDLK_BACKSPACE, SDLK_BACKSPACE, SDLK_RETURN});
    EXPECT_EQ(status().find('"'), std::string::npos) << status();
    EXPECT_EQ(kept()[1].title, "");

    // The text a prompt begins with is selected, the selection drawn over it: the first letter typed (a
    // Shift pressed before it) replaces it, End keeps it to type on, Delete removes it; with Ctrl held a
    // letter types nothing.
    key(SDLK_t, KMOD_CTRL);
    type("First");
    key(SDLK_t, KMOD_CTRL);
    const pentavel::graphics::Sprite& selection = view.selection();
    const std::vector<pentavel::graphics::Sprite>& letters = editor->view()->message(0).glyphs();
    ASSERT_TRUE(selection.visible());
    EXPECT_NEAR(selection.x() - selection.width() * 0.5f, letters[7].x() - letters[7].width() * 0.5f, 1e-4f);
    EXPECT_NEAR(selection.x() + selection.width() * 0.5f, letters[11].x() + letters[11].width() * 0.5f,
                1e-4f);
    EXPECT_NEAR(selection.y(), editor->view()->message(0).y(), 1e-4f);
    EXPECT_NEAR(std::fabs(selection.height()), letters[7].height(), 1e-4f);
    EXPECT_NE(selection.sprite(), 0u);
    EXPECT_GT(selection.colour().blue, selection.colour().red);  // under yellow letters
    EXPECT_GT(selection.depth(), letters[7].depth());            // drawn under them, over the field
    EXPECT_LT(selection.depth(), 0.0f);
    key(SDLK_LSHIFT);
    EXPECT_TRUE(selection.visible());
    key(SDLK_s, KMOD_SHIFT);
    EXPECT_FALSE(selection.visible());
    type("econd");
    EXPECT_EQ(kept()[1].title, "Second");
    key(SDLK_u, KMOD_CTRL);
    type("Zoe");
    for (const int edit : {SDLK_LEFT, SDLK_RIGHT, SDLK_HOME, SDLK_END, SDLK_BACKSPACE}) {
        key(SDLK_u, KMOD_CTRL);
        key(edit);
        type("s");
    }
    key(SDLK_t, KMOD_CTRL);
    key(SDLK_DELETE);
    key(SDLK_t, KMOD_CTRL);
    type("Ax");
    EXPECT_EQ(kept()[1].title + " by " + kept()[1].author, "Ax by Zoessss");
}

// A message left alone goes eight seconds after it was said; a note of the opening, eight seconds after the
// window showed it.
TEST_F(EditorTest, AMessageLeftAloneGoesAfterEightSeconds) {
    pentavel::setLastTicks(100000);
    pentavel::openLog();
    open({}, {}, {}, {editor::Message{"a note"}});
    EXPECT_NE(folder.logText().find("set.xml: a note"), std::string::npos);
    editor->onTick();
    EXPECT_EQ(shown(), "a note");
    pentavel::setLastTicks(101000);
    key(SDLK_z, KMOD_LCTRL);
    pentavel::setLastTicks(108999);
    editor->onTick();
    EXPECT_EQ(shown(), "Nothing to undo");
    pentavel::setLastTicks(109000);
    editor->onTick();
    EXPECT_EQ(shown(), "");
    pentavel::setLastTicks(0);
}

// Over the game's own title, a trial says what it is and how it ends, and the label goes with it.
TEST_F(EditorTest, ATrialIsLabelledOverTheGamesTitleUntilItEnds) {
    std::vector<LevelDraft> set = levels(1);
    set[0].map[5][5] = CellCode{'R', '1'};
    open(set);
    for (const bool proving : {false, true}) {
        key(proving ? SDLK_p : SDLK_t);
        ASSERT_EQ(editor->view(), nullptr);
        const pentavel::graphics::TextLabel& label = editor->modeLabel();
        EXPECT_EQ(label.text(), proving ? "PROVING  F faster  Esc stops" : "TEST PLAY  Esc returns");
        const pentavel::graphics::Sprite& back = editor->modeBack();
        EXPECT_TRUE(back.visible());
        EXPECT_NE(back.sprite(), 0u);
        EXPECT_EQ(back.colour().red, 0.0f);  // black over the title
        EXPECT_NEAR(back.x(), 0.0f, 1e-4f);
        // In the top band, above the field; the level's number and the score stay clear.
        EXPECT_GT(back.y() - std::fabs(back.height()) * 0.5f, cellTop(1));
        EXPECT_LT(std::fabs(back.width()), 1.0f);
        ASSERT_NE(editor->trial(), nullptr);
        EXPECT_LT(back.depth(), editor->trial()->hud.titleLabel.depth());  // over the title
        for (const pentavel::graphics::Sprite& glyph : label.glyphs()) {
            EXPECT_LT(std::fabs(glyph.x() - back.x()), std::fabs(back.width()) * 0.5f);
            EXPECT_LT(std::fabs(glyph.y() - back.y()), std::fabs(back.height()) * 0.5f);
            EXPECT_LT(glyph.depth(), back.depth());
            EXPECT_EQ(glyph.colour().blue, 0.0f);  // yellow
        }
        key(SDLK_ESCAPE);
        editor->onTick();
        ASSERT_NE(editor->view(), nullptr);
        EXPECT_EQ(editor->modeLabel().text(), "");
        EXPECT_FALSE(editor->modeBack().visible());
    }
}

// T plays the level on screen until Escape, paused by Pause or when the window loses the focus; P proves
// it (F: as fast as it goes, the clock standing still here) and says the verdict, which the level keeps.
TEST_F(EditorTest, ATrialPlaysTheLevelShownAndAProofSaysItsVerdict) {
    std::vector<LevelDraft> set = levels(3);
    set[1].map[5][5] = CellCode{'R', '1'};
    set[1].map[5][6] = CellCode{'R', '1'};
    open(set);
    editor->onActive(2, false);  // editing: no game to pause
    key(SDLK_PAGEDOWN);
    key(SDLK_t);
    editor->onTick();
    ASSERT_NE(editor->trial(), nullptr);
    EXPECT_EQ(editor->trial()->bricksLeft, 2);
    for (const bool paused : {true, false}) {
        key(SDLK_PAUSE);
        EXPECT_EQ(editor->trial()->pausedShown, paused);
    }
    editor->onActive(2, false);
    EXPECT_TRUE(editor->trial()->pausedShown);
    editor->onActive(3, true);
    EXPECT_FALSE(editor->trial()->pausedShown);
    key(SDLK_ESCAPE);
    editor->onTick();
    ASSERT_NE(editor->view(), nullptr);

    pentavel::setLastTicks(5000);
    key(SDLK_p);
    key(SDLK_f);
    ASSERT_NE(editor->trial(), nullptr);
    EXPECT_EQ(editor->trial()->levelNumber, 1u);  // the level file holds this level alone
    for (int tick = 0; tick < 2000 && editor->view() == nullptr; ++tick)
        editor->onTick();
    ASSERT_NE(editor->view(), nullptr);
    pentavel::setLastTicks(0);
    EXPECT_EQ(said().rfind("Level 2: 2 bricks to clear, 0 steel: cleared in ", 0), 0u) << said();
    EXPECT_EQ(editor->messages().back().tone, editor::Tone::Good);
    EXPECT_NE(editor->view()->info().text().find("  PROVEN: cleared in "), std::string::npos);
    // A level with nothing to clear cannot be proven: its verdict comes at once.
    key(SDLK_PAGEDOWN);
    key(SDLK_p);
    editor->onTick();
    ASSERT_NE(editor->view(), nullptr);
    EXPECT_EQ(said().rfind("Level 3: ", 0), 0u) << said();
    EXPECT_EQ(editor->messages().back().tone, editor::Tone::Warning);
}

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
    keys({SDLK_LSHIFT, SDLK_RSHIFT, SDLK_LCTRL, SDLK_RCTRL, SDLK_LALT, SDLK_RALT});
    save([&] { return folder.exists("set.xml.bak"); });
    EXPECT_NE(std::string::npos, folder.read("set.xml").find("<level>"));
    EXPECT_EQ("other", folder.read("set.xml.bak"));
    EXPECT_EQ("Saved set.xml; the version on disk before is kept as set.xml.bak", said());
    stroke(kRight, 5, 2, 5, 3);
    save([&] { return folder.read("set.xml").find("R1") == std::string::npos; });
    EXPECT_FALSE(folder.exists("set.xml.bak.2"));  // nothing changed on disk since: no question, no backup
    // No checker beside the tests: the level is not proven.
    EXPECT_EQ("Saved set.xml, but 1 levels are not proven: 1", said());
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
    earlier[0].map[3][3] = CellCode{'R', '1'};
    earlier[1].comment = "kept earlier";
    editor::SetFile file;
    file.target = folder.path() + "/set.xml";
    file.recoverable = folder.write("earlier.xml", writeLevelSet(earlier));
    open(3, file);
    key(SDLK_o);  // O alone opens nothing
    EXPECT_TRUE(kept().empty());
    key(SDLK_o, KMOD_CTRL);
    EXPECT_EQ("Opened the unsaved changes of an earlier session: Ctrl+S saves them into set.xml", said());
    EXPECT_EQ(1, editor->view()->bricks());
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
    EXPECT_EQ("No unsaved changes of an earlier session are kept for set.xml", said());

    // A kept copy that cannot be read says why, and changes nothing.
    file.recoverable = folder.write("bad.xml", "<level>");
    std::filesystem::remove(folder.path() + "/unsaved.xml");
    open(1, file);
    key(SDLK_o, KMOD_CTRL);
    EXPECT_EQ(0u, said().rfind("The kept unsaved changes cannot be read: bad.xml:", 0)) << said();
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
    expectSaveAs("new.xml", std::filesystem::path(folder.path()).filename().string());
    for (int erased = 0; erased < 7; ++erased)
        key(SDLK_BACKSPACE);
    type("b.xml");
    settle([&] { return folder.exists("b.xml.bak"); });
    EXPECT_EQ("Saved b.xml, but 1 levels are not proven: 1", said());
    EXPECT_EQ("another's", folder.read("b.xml.bak"));
    EXPECT_NE(std::string::npos, folder.read("b.xml").find("<level>"));

    folder.write("b.xml", "other");
    stroke(kLeft, 7, 2, 7, 3);
    save();
    EXPECT_EQ("other", folder.read("b.xml"));
}

// Ctrl+N asks for a name the shelf takes and starts a set of one empty level that its first save puts on
// the shelf, making the folder; unsaved changes are dropped only at a second Ctrl+N.
TEST_F(EditorTest, CtrlNStartsANewSetOnTheShelf) {
    const auto newSet = [&](const std::string& text) {
        key(SDLK_n, KMOD_CTRL);
        type(text);
    };
    const auto saveAs = [&](const std::string& text) {
        key(SDLK_s, KMOD_CTRL | KMOD_SHIFT);
        for (int erased = 0; erased < 10; ++erased)
            key(SDLK_BACKSPACE);
        type(text);
    };
    editor::SetFile file;
    file.target = folder.path() + "/set.xml";
    open(2, file);
    key(SDLK_n, KMOD_CTRL);  // no player's folder: no shelf
    EXPECT_EQ(shown(), "There is no player's folder to keep a new set in");
    saveAs("c");  // nor does save as put a name on it
    settle([&] { return folder.exists("c"); });
    EXPECT_TRUE(folder.exists("c"));
    file.playerFolder = folder.path();
    file.recoverable = folder.write("earlier.xml", writeLevelSet(levels(3)));
    open(2, file);
    saveAs("first");  // from a set beside the shelf, onto it
    settle([&] { return folder.exists("levels/first.xml"); });
    EXPECT_TRUE(folder.exists("levels/first.xml"));
    open(2, file);  // what is on disk unknown
    stroke(kLeft, 5, 2, 5, 3);
    key(SDLK_n, KMOD_CTRL);
    EXPECT_EQ(shown(), "Unsaved changes: Ctrl+N again starts a new set without saving them, Ctrl+S saves");
    key(SDLK_b, KMOD_CTRL);  // any other key: the next Ctrl+N asks again
    newSet("Mine");
    EXPECT_EQ(2u, kept().size());
    key(SDLK_n, KMOD_CTRL);
    newSet("a/b");
    EXPECT_EQ("No new set a/b: its name holds a slash", said());
    EXPECT_EQ(2u, kept().size());

    key(SDLK_n, KMOD_CTRL);
    newSet("My Set");
    EXPECT_EQ("New set My Set: Ctrl+S puts it on the shelf, " + folder.path() + "/levels/My Set.xml", said());
    EXPECT_EQ(editor->view()->status().text().rfind("Level 1/1  0 to clear", 0), 0u);
    EXPECT_NE(editor->view()->status().text().find("  My Set.xml *"), std::string::npos);
    key(SDLK_o, KMOD_CTRL);  // what an earlier session kept was the other set's
    EXPECT_EQ("No unsaved changes of an earlier session are kept for My Set.xml", said());
    stroke(kLeft, 4, 4, 4, 4);
    // Another program made the file meanwhile: the save asks, and keeps that version.
    folder.write("levels/My Set.xml", "another's");
    save();
    EXPECT_EQ("another's", folder.read("levels/My Set.xml"));
    save([&] { return folder.exists("levels/My Set.xml.bak"); });
    TiXmlDocument document;
    ASSERT_TRUE(pentavel::file::parseXmlDocument(document, folder.read("levels/My Set.xml")));
    const std::vector<LevelDraft> saved = readLevelSet(document);
    ASSERT_EQ(1u, saved.size());
    LevelDraft expected;
    expected.map[4][4] = editor::brushCode(Brush{});
    EXPECT_EQ(expected, saved[0]);
    newSet("My Set");  // saved: no question, and that name is taken
    EXPECT_EQ("No new set My Set: a set of that name is on the shelf already", said());
    newSet("Two");  // after a set on disk, a new one is saved without a question
    stroke(kLeft, 6, 4, 6, 4);
    editor->onQuit();  // the new set's unsaved changes go under a name of its own
    EXPECT_TRUE(folder.exists(editor::unsavedFileName(folder.path() + "/levels/Two.xml")));
    save([&] { return folder.exists("levels/Two.xml"); });
    EXPECT_TRUE(folder.exists("levels/Two.xml"));

    // Save as: a name without a folder goes on the shelf, as a set's file.
    key(SDLK_s, KMOD_CTRL | KMOD_SHIFT);
    expectSaveAs("Two.xml", "levels");
    key(SDLK_ESCAPE);
    saveAs("Tezmola.xml");
    EXPECT_EQ("Not saved: no set on the shelf can be named Tezmola, as Tezmola's own levels have that name",
              said());
    saveAs("copy");
    settle([&] { return folder.exists("levels/copy.xml"); });
    EXPECT_NE(std::string::npos, folder.read("levels/copy.xml").find("R1"));
    saveAs("sub/b.xml");  // a name with a folder: beside the set, as before
    settle([&] { return folder.exists("levels/sub/b.xml"); });
    EXPECT_TRUE(folder.exists("levels/sub/b.xml"));
}

// Ctrl+G plays the set as the editor shows it, unsaved changes too, in the game found on the PATH (none is
// beside the tests), from the level on screen, as practice; the status says while the game runs.
TEST_F(EditorTest, CtrlGPlaysTheSetAsItStandsInTheGameFromThisLevel) {
    test::TempDir bin;
    // A game that keeps what it was given and waits for a word (or ten seconds).
    const std::string game = bin.write("tezmola", "#!/bin/sh\ncd '" + bin.path() + R"('
printf '%s\n' "$@" >arguments
/bin/cp "$2" played.xml
for wait in $(/bin/seq 1000); do [ -e go ] && break; /bin/sleep 0.01; done
)");
    chmod(game.c_str(), 0755);
    test::EnvironmentGuard environment;
    environment.set("PATH", "/nonexistent:" + bin.path());
    pentavel::openLog();
    open(3);
    key(SDLK_PAGEDOWN);
    stroke(kLeft, 5, 5, 5, 5);
    key(SDLK_g, KMOD_LCTRL);
    EXPECT_EQ(messages(),
              "The game plays this set from level 2 as it was at Ctrl+G, as practice: no high score|||");
    EXPECT_TRUE(editor->view()->marks().lines().front().visible());  // Ctrl+G is no G
    key(SDLK_g, KMOD_LCTRL);
    EXPECT_EQ("The game is playing this set already: quit it before Ctrl+G starts it again", said());
    const auto ended = [&] {
        for (int tick = 0; tick < 1000 && messages().find("The game plays") != std::string::npos; ++tick) {
            editor->onTick();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return editor->messages().back();
    };
    bin.write("go", "");
    EXPECT_EQ("The game has ended", ended().text);
    const std::string arguments = bin.read("arguments");  // one a line
    const std::string file = arguments.substr(9, arguments.find('\n', 9) - 9);
    EXPECT_EQ("--levels\n" + file + "\n--level\n2\n--practice\n", arguments);
    EXPECT_EQ("set.xml", std::filesystem::path(file).filename());
    EXPECT_NE(folder.logText().find("Playing level 2 in the game " + game + ", as practice, on " + file),
              std::string::npos);
    TiXmlDocument played;
    ASSERT_TRUE(pentavel::file::parseXmlDocument(played, bin.read("played.xml")));
    EXPECT_EQ(kept(), readLevelSet(played));

    environment.set("PATH", "/nonexistent");
    key(SDLK_g, KMOD_LCTRL);
    EXPECT_EQ("Cannot start the game: there is no tezmola beside the editor or on the PATH", said());
}

}  // namespace
