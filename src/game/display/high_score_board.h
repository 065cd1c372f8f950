// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The high-score table as the player meets it: read at start-up, offered every game that ends, merged into
// the file as it is on disk when a game enters (other copies of the game may share it), and shown below
// the "GAME OVER" notice with the game's font.

#include <array>
#include <string>
#include <vector>

#include "engine/graphics/sprite.h"
#include "engine/graphics/text_label.h"
#include "game/records/high_scores.h"

namespace tezmola {

class HighScoreBoard {
public:
    HighScoreBoard() = default;
    HighScoreBoard(const HighScoreBoard&) = delete;
    HighScoreBoard& operator=(const HighScoreBoard&) = delete;

    // Reads the player's table and name. glyphs is the game's font, kept by address; canDraw tells which
    // characters it has.
    void open(const pentavel::graphics::SpriteId* glyphs, const CanDraw& canDraw, const char* fileName);
    // Offers a game that ended (the cheat rule decides). The file is read again under the folder's lock,
    // this copy's unsaved entries are merged in, and the table is written when one enters; entries that
    // could not be written wait for the next offer. The entry's index in the merged table is kept for the
    // display: -1 when it did not enter. The entry, of that date, refers to the replay named (none when
    // empty).
    void offer(std::int32_t score, std::uint32_t level, bool cheated, bool gameOver,
               const std::string& replay = "", const std::string& date = todaysDate());
    // Lays the table out below the notice, the last offered game's entry in yellow (with "NOT SAVED"
    // beside it when it could not be written), and shows it; the caption (whose table it is) and the note
    // go above the notice, shown even over an empty table, in whose place the line empty says why it is.
    void show(const std::string& caption = "", const std::string& note = "", const std::string& empty = "");
    void hide();
    // Up (-1) and Down (+1) on the board shown: the first press chooses the last offered game's entry (else
    // the best), the next ones move the choice, marked beside its row, within the table.
    void choose(int delta);
    // The entry chosen, or -1 while none is.
    int chosen() const { return chosen_; }
    const pentavel::graphics::TextLabel& chosenMark() const { return chosenLabel_; }
    // Says the text in the note's place, over what the note said.
    void say(const std::string& text);
    // The program ends: entries that wait for a save are tried once more, and each one still not written
    // is told lost in the log.
    void saveBeforeQuit();

    // How long a save waits while another copy of the game writes the player's folder, which it holds no
    // longer than it takes to write a file.
    std::uint32_t lockWaitMilliseconds = 1000;

    const std::vector<HighScore>& entries() const { return entries_; }
    int newEntry() const { return newEntry_; }
    bool newEntrySaved() const { return !notSaved_; }
    bool shown() const { return shown_; }
    // True once a table was opened: the games are offered to it.
    bool opened() const { return opened_; }
    const std::string& playerName() const { return playerName_; }
    const pentavel::graphics::TextLabel& caption() const { return captionLabel_; }
    const pentavel::graphics::TextLabel& note() const { return noteLabel_; }
    const pentavel::graphics::TextLabel& emptyLine() const { return emptyLabel_; }
    const pentavel::graphics::Sprite& backdrop() const { return backdrop_; }

private:
    struct Row {
        pentavel::graphics::TextLabel rank;
        pentavel::graphics::TextLabel name;
        pentavel::graphics::TextLabel score;
        pentavel::graphics::TextLabel level;
    };

    static void setRowVisible(Row& row, bool visible);
    void hideTable();
    void showChoice();
    void layOutRow(Row& row, int index, const pentavel::graphics::Colour& colour, const HighScore* entry);
    bool saveUnsaved();
    bool showUnsaved();
    void fitNames(std::vector<HighScore>& entries) const;

    const pentavel::graphics::SpriteId* glyphs_ = nullptr;
    CanDraw canDraw_;
    std::string fileName_;
    std::vector<HighScore> entries_;
    std::vector<HighScore> known_;    // the table as the file held it when last read or written here
    std::vector<HighScore> unsaved_;  // this copy's games that entered but are not in the file yet
    std::string playerName_;
    int newEntry_ = -1;
    bool opened_ = false;
    bool writable_ = false;
    bool quietReread_ = false;  // the file's faults were told when it was read; reading it again says nothing
    bool notSaved_ = false;
    bool shown_ = false;
    Row header_;
    std::array<Row, kHighScoreCount> rows_;
    pentavel::graphics::TextLabel notSavedLabel_;
    pentavel::graphics::TextLabel captionLabel_;
    pentavel::graphics::TextLabel noteLabel_;
    pentavel::graphics::TextLabel chosenLabel_;
    pentavel::graphics::TextLabel emptyLabel_;  // in the first row's place while the table is empty
    pentavel::graphics::Sprite backdrop_;       // dims the field behind the board while it is shown
    int chosen_ = -1;
};

// Reads the player's table of that name for the board, shown in the font glyphs.
void openHighScores(HighScoreBoard& board, const pentavel::graphics::SpriteId* glyphs, const char* fileName);

}  // namespace tezmola
