// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/display/high_score_board.h"

#include <algorithm>

#include "engine/file/log.h"
#include "engine/file/write_directory_lock.h"
#include "game/display/hud.h"
#include "game/records/high_score_file.h"

namespace tezmola {

using pentavel::graphics::Colour;
using pentavel::graphics::TextLabel;

namespace {

// Half the size of the other labels: ten rows and a heading fit between the notice (its lower edge at
// about -0.04) and the paddle's top (about -0.615), legible at 512 x 384.
constexpr float kHeadingY = -0.09f;
constexpr float kRowStep = 0.05f;
constexpr float kRankRight = -0.56f;
constexpr float kNameLeft = -0.5f;
constexpr float kScoreRight = 0.4f;
constexpr float kLevelRight = 0.62f;
constexpr float kNotSavedLeft = 0.65f;
constexpr float kCaptionY = 0.09f;  // above the notice, whose upper edge is at about 0.04
constexpr float kNoteY = 0.14f;
const char* const kNotSavedText = "NOT SAVED";
constexpr float kChosenRight = -0.66f;  // the mark of the entry chosen, left of its rank
constexpr float kDepth = -12.0f;
// Behind the board's lines and "GAME OVER", over the field and its bricks: from above the note to below the
// last row, which the paddle's top just clears.
constexpr float kBackdropTop = 0.2f;
constexpr float kBackdropBottom = -0.625f;
constexpr float kBackdropDepth = -11.5f;
const Colour kHeadingColour{0.75f, 0.75f, 0.75f, 1.0f};
const Colour kEntryColour{1.0f, 1.0f, 1.0f, 1.0f};
const Colour kNewEntryColour{1.0f, 1.0f, 0.0f, 1.0f};

void place(TextLabel& label, const pentavel::graphics::SpriteId* glyphs, const std::string& text, float x,
           float y, int horizontal, const Colour& colour) {
    placeLabel(label, glyphs, text, x, y, horizontal, colour, kDepth);
}

}  // namespace

void HighScoreBoard::open(const pentavel::graphics::SpriteId* glyphs, const CanDraw& canDraw,
                          const char* fileName) {
    glyphs_ = glyphs;
    canDraw_ = canDraw;
    fileName_ = fileName;
    HighScoreFile file = loadHighScores(fileName);
    entries_ = std::move(file.entries);
    writable_ = file.writable;
    quietReread_ = file.reported;
    fitNames(entries_);
    known_ = entries_;
    playerName_ = fitName(tezmola::playerName(), canDraw);
    unsaved_.clear();
    newEntry_ = -1;
    notSaved_ = false;
    opened_ = true;
    setUpBackdrop(backdrop_, kBackdropTop, kBackdropBottom, 0.7f, kBackdropDepth);
}

void HighScoreBoard::offer(std::int32_t score, std::uint32_t level, bool cheated, bool gameOver,
                           const std::string& replay, const std::string& date) {
    newEntry_ = -1;
    chosen_ = -1;
    notSaved_ = false;
    if (!opened_)
        return;
    const HighScore entry{score, level, date, playerName_, replay};
    const bool offered = mayEnterHighScores(cheated, gameOver, score);
    if (offered)
        unsaved_.push_back(entry);
    if (unsaved_.empty())
        return;
    notSaved_ = !saveUnsaved();
    if (offered)
        newEntry_ = findHighScore(entries_, entry);
}

// True when nothing is left unsaved. The table shown is the merged one in every case.
bool HighScoreBoard::saveUnsaved() {
    if (!writable_)
        return showUnsaved();
    const pentavel::file::WriteDirectoryLock lock(lockWaitMilliseconds);
    if (!lock.held()) {
        pentavel::logWarning("...%s is being written by another copy of the game, the new entry waits",
                             fileName_.c_str());
        return showUnsaved();
    }
    HighScoreFile file = loadHighScores(fileName_.c_str(), !quietReread_);
    fitNames(file.entries);
    entries_ = file.entries;
    const bool entered = mergeHighScores(entries_, unsaved_);
    known_ = std::move(file.entries);
    if (!file.writable) {
        writable_ = false;
        return false;
    }
    // Faults of the file are told once; a table written here has none.
    quietReread_ = quietReread_ || file.reported;
    if (entered) {
        if (!saveHighScores(entries_, fileName_.c_str()))
            return false;
        quietReread_ = false;
    }
    known_ = entries_;
    unsaved_.clear();
    return true;
}

// The file could not be read again: the unsaved entries are shown in the table last seen. Always false.
bool HighScoreBoard::showUnsaved() {
    entries_ = known_;
    mergeHighScores(entries_, unsaved_);
    return false;
}

void HighScoreBoard::saveBeforeQuit() {
    if (!opened_ || unsaved_.empty())
        return;
    if (saveUnsaved())
        return;
    for (const HighScore& entry : unsaved_)
        pentavel::logError("The high-score entry of %s (%d points, level %u) could not be saved and is lost!",
                           entry.name.c_str(), entry.score, entry.level);
    unsaved_.clear();
}

void HighScoreBoard::fitNames(std::vector<HighScore>& entries) const {
    // Names from the file are shown as the player's own would be.
    for (HighScore& entry : entries)
        entry.name = fitName(entry.name, canDraw_);
}

void HighScoreBoard::show(const std::string& caption, const std::string& note, const std::string& empty) {
    if (!opened_)
        return;
    for (auto line : {std::make_pair(&captionLabel_, &caption), std::make_pair(&noteLabel_, &note)}) {
        place(*line.first, glyphs_, *line.second, 0.0f, line.first == &captionLabel_ ? kCaptionY : kNoteY,
              TextLabel::kCentre, kHeadingColour);
        line.first->setVisible(!line.second->empty());
    }
    backdrop_.setVisible(true);
    if (entries_.empty()) {
        hideTable();
        place(emptyLabel_, glyphs_, empty, 0.0f, kHeadingY - kRowStep, TextLabel::kCentre, kEntryColour);
        emptyLabel_.setVisible(!empty.empty());
        shown_ = true;
        return;
    }
    emptyLabel_.setVisible(false);
    layOutRow(header_, 0, kHeadingColour, nullptr);
    for (std::size_t index = 0; index < rows_.size(); ++index) {
        const bool used = index < entries_.size();
        const Colour& colour = static_cast<int>(index) == newEntry_ ? kNewEntryColour : kEntryColour;
        layOutRow(rows_[index], static_cast<int>(index) + 1, colour, used ? &entries_[index] : nullptr);
    }
    if (notSaved_ && newEntry_ >= 0) {
        place(notSavedLabel_, glyphs_, kNotSavedText, kNotSavedLeft,
              kHeadingY - kRowStep * static_cast<float>(newEntry_ + 1), TextLabel::kLeft, kNewEntryColour);
        notSavedLabel_.setVisible(true);
    } else {
        notSavedLabel_.setVisible(false);
    }
    showChoice();
    shown_ = true;
}

void HighScoreBoard::showChoice() {
    // A choice lasts until the next game is offered: the table it chose in stays as it is.
    const bool marked = chosen_ >= 0;
    if (marked)
        place(chosenLabel_, glyphs_, ">", kChosenRight,
              kHeadingY - kRowStep * static_cast<float>(chosen_ + 1), TextLabel::kRight, kNewEntryColour);
    chosenLabel_.setVisible(marked);
}

void HighScoreBoard::choose(int delta) {
    if (!shown_ || entries_.empty())
        return;
    const int last = static_cast<int>(entries_.size()) - 1;
    if (chosen_ < 0)
        chosen_ = newEntry_ >= 0 ? newEntry_ : 0;
    else
        chosen_ = std::max(0, std::min(last, chosen_ + delta));
    showChoice();
}

void HighScoreBoard::say(const std::string& text) {
    if (!shown_)
        return;
    place(noteLabel_, glyphs_, text, 0.0f, kNoteY, TextLabel::kCentre, kHeadingColour);
    noteLabel_.setVisible(true);
}

void HighScoreBoard::hide() {
    if (!shown_)
        return;
    hideTable();
    captionLabel_.setVisible(false);
    noteLabel_.setVisible(false);
    emptyLabel_.setVisible(false);
    backdrop_.setVisible(false);
    shown_ = false;
}

void HighScoreBoard::hideTable() {
    setRowVisible(header_, false);
    for (Row& row : rows_)
        setRowVisible(row, false);
    notSavedLabel_.setVisible(false);
    chosenLabel_.setVisible(false);
}

void HighScoreBoard::setRowVisible(Row& row, bool visible) {
    for (TextLabel* label : {&row.rank, &row.name, &row.score, &row.level})
        label->setVisible(visible);
}

void HighScoreBoard::layOutRow(Row& row, int index, const Colour& colour, const HighScore* entry) {
    const float y = kHeadingY - kRowStep * static_cast<float>(index);
    const bool heading = index == 0;
    std::string rank;
    std::string name = heading ? "NAME" : "";
    std::string score = heading ? "SCORE" : "";
    std::string level = heading ? "LEVEL" : "";
    if (entry != nullptr) {
        rank = std::to_string(index) + ".";
        name = entry->name;
        score = "00000000";
        pentavel::graphics::writeDigits(score, static_cast<unsigned int>(entry->score), 8);
        level = std::to_string(entry->level);
    }
    place(row.rank, glyphs_, rank, kRankRight, y, TextLabel::kRight, colour);
    place(row.name, glyphs_, name, kNameLeft, y, TextLabel::kLeft, colour);
    place(row.score, glyphs_, score, kScoreRight, y, TextLabel::kRight, colour);
    place(row.level, glyphs_, level, kLevelRight, y, TextLabel::kRight, colour);
    setRowVisible(row, true);
}

void openHighScores(HighScoreBoard& board, const pentavel::graphics::SpriteId* glyphs, const char* fileName) {
    board.open(
        glyphs, [glyphs](unsigned char code) { return hasOwnGlyph(glyphs, code); }, fileName);
}

}  // namespace tezmola
