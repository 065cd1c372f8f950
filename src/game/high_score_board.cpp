// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/high_score_board.h"

#include "game/game_structure.h"
#include "game/high_score_file.h"
#include "game/hud.h"

namespace tezmola {

using pentavel::graphics::Colour;
using pentavel::graphics::TextLabel;

namespace {

// Half the size of the other labels: ten rows and a heading fit between the notice (its lower edge at
// about -0.04) and the paddle's top (about -0.615), legible at 512 x 384.
constexpr float kTextSize = 0.5f;
constexpr float kHeadingY = -0.09f;
constexpr float kRowStep = 0.05f;
constexpr float kRankRight = -0.56f;
constexpr float kNameLeft = -0.5f;
constexpr float kScoreRight = 0.4f;
constexpr float kLevelRight = 0.62f;
constexpr float kDepth = -12.0f;
const Colour kHeadingColour{0.75f, 0.75f, 0.75f, 1.0f};
const Colour kEntryColour{1.0f, 1.0f, 1.0f, 1.0f};
const Colour kNewEntryColour{1.0f, 1.0f, 0.0f, 1.0f};

void place(TextLabel& label, const pentavel::graphics::SpriteId* glyphs, const std::string& text, float x,
           float y, int horizontal, const Colour& colour) {
    label.horizontalAlignment = horizontal;
    label.verticalAlignment = TextLabel::kMiddle;
    label.setText(glyphs, text);
    label.setTextSize(kTextSize);
    label.setColour(colour);
    label.setDepth(kDepth);
    label.setPosition(x, y);
}

}  // namespace

void HighScoreBoard::open(const pentavel::graphics::SpriteId* glyphs, const CanDraw& canDraw,
                          const char* fileName) {
    glyphs_ = glyphs;
    fileName_ = fileName;
    HighScoreFile file = loadHighScores(fileName);
    entries_ = std::move(file.entries);
    writable_ = file.writable;
    // Names from the file are shown as the player's own would be.
    for (HighScore& entry : entries_)
        entry.name = fitName(entry.name, canDraw);
    playerName_ = fitName(tezmola::playerName(), canDraw);
    newEntry_ = -1;
    opened_ = true;
}

void HighScoreBoard::offer(std::int32_t score, std::uint32_t level, bool cheated, bool gameOver) {
    newEntry_ = -1;
    if (!opened_ || !mayEnterHighScores(cheated, gameOver, score))
        return;
    newEntry_ = insertHighScore(entries_, HighScore{score, level, todaysDate(), playerName_});
    if (newEntry_ >= 0 && writable_)
        saveHighScores(entries_, fileName_.c_str());
}

void HighScoreBoard::show() {
    if (entries_.empty()) {
        hide();
        return;
    }
    layOutRow(header_, 0, kHeadingColour, nullptr);
    for (std::size_t index = 0; index < rows_.size(); ++index) {
        const bool used = index < entries_.size();
        const Colour& colour = static_cast<int>(index) == newEntry_ ? kNewEntryColour : kEntryColour;
        layOutRow(rows_[index], static_cast<int>(index) + 1, colour, used ? &entries_[index] : nullptr);
    }
    shown_ = true;
}

void HighScoreBoard::hide() {
    if (!shown_)
        return;
    setRowVisible(header_, false);
    for (Row& row : rows_)
        setRowVisible(row, false);
    shown_ = false;
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

void openHighScores(HighScoreBoard& board, const pentavel::graphics::SpriteId* glyphs) {
    board.open(
        glyphs, [glyphs](unsigned char code) { return hasOwnGlyph(glyphs, code); }, kHighScoreFileName);
}

void endGame(GameStructure& game, bool gameOver) {
    if (!game.gameEnded) {
        game.gameEnded = true;
        game.highScores.offer(game.score, game.levelNumber, hasCheatMark(game.hud), gameOver);
    }
    if (gameOver)
        game.highScores.show();
}

}  // namespace tezmola
