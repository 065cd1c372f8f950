// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/display/shelf_view.h"

#include <algorithm>

#include "game/display/hud.h"

namespace tezmola {

using pentavel::graphics::Colour;
using pentavel::graphics::TextLabel;

namespace {

enum Key {
    kKeyReturn = 13,
    kKeyEscape = 27,
    kKeyUp = 273,
    kKeyDown = 274,
    kKeyRight = 275,
    kKeyLeft = 276,
    kKeyHome = 278,
    kKeyEnd = 279,
    kKeyPageUp = 280,
    kKeyPageDown = 281,
    kKeyKeypadEnter = 271,
    kKeyF3 = 284,
};
constexpr int kLeftButton = 0;
constexpr int kWheelUp = 3;
constexpr int kWheelDown = 4;

constexpr float kDepth = -21.0f;  // over every label of the game
constexpr float kTitleY = 0.6f;
constexpr float kHeadingY = 0.53f;
constexpr float kFirstRowY = 0.47f;
constexpr float kRowStep = 0.05f;
constexpr float kNameLeft = -0.92f;
constexpr float kLevelsRight = 0.4f;
constexpr float kProvenRight = 0.66f;
constexpr float kBestRight = 0.93f;
constexpr std::size_t kLongestName = 30;
const Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};
const Colour kYellow{1.0f, 1.0f, 0.0f, 1.0f};
const Colour kGrey{0.6f, 0.6f, 0.6f, 1.0f};
const Colour kRed{1.0f, 0.45f, 0.35f, 1.0f};

void place(TextLabel& label, const pentavel::graphics::SpriteId* glyphs, const std::string& text, float x,
           float y, int horizontal, const Colour& colour) {
    placeLabel(label, glyphs, text, x, y, horizontal, colour, kDepth);
    label.setVisible(true);
}

void placeRow(const pentavel::graphics::SpriteId* glyphs, TextLabel* const (&labels)[4],
              const std::array<std::string, 4>& texts, float y, const Colour& colour) {
    place(*labels[0], glyphs, texts[0], kNameLeft, y, TextLabel::kLeft, colour);
    place(*labels[1], glyphs, texts[1], kLevelsRight, y, TextLabel::kRight, colour);
    place(*labels[2], glyphs, texts[2], kProvenRight, y, TextLabel::kRight, colour);
    place(*labels[3], glyphs, texts[3], kBestRight, y, TextLabel::kRight, colour);
}

}  // namespace

std::array<std::string, 4> shelfLine(const ShelfSet& set) {
    std::array<std::string, 4> line;
    line[0] = set.name.size() > kLongestName ? set.name.substr(0, kLongestName - 3) + "..." : set.name;
    if (!set.read) {
        line[1] = line[2] = line[3] = "...";
    } else if (!set.problem.empty()) {
        line[1] = "BAD";
    } else {
        line[1] = std::to_string(set.levels);
        line[2] = std::to_string(set.proven);
        line[3] = set.best >= 0 ? std::to_string(set.best) : "-";
    }
    return line;
}

std::string shelfPosition(int top, int count) {
    const int last = std::min(top + kShelfRowsShown, count);
    return std::to_string(top + 1) + "-" + std::to_string(last) + " OF " + std::to_string(count);
}

int setOfLetter(const std::vector<ShelfSet>& sets, int from, int key) {
    const char letter = plainLetter(key);
    const int count = static_cast<int>(sets.size());
    if (letter == '\0' || count == 0)
        return -1;
    for (int step = 1; step <= count; ++step) {
        const int index = (from + step) % count;
        const std::string name = toPlainText(sets[static_cast<std::size_t>(index)].name);
        if (!name.empty() && plainLetter(static_cast<unsigned char>(name[0])) == letter)
            return index;
    }
    return -1;
}

void ShelfView::setUp(const pentavel::graphics::SpriteId* glyphs) {
    glyphs_ = glyphs;
    setUpBackdrop(backdrop_, 0.75f, -0.75f, 0.94f, kDepth + 0.5f);
}

void ShelfView::open(const std::vector<ShelfSet>* sets, int playing) {
    sets_ = sets;
    playing_ = playing;
    chosen_ = std::max(0, playing);
    top_ = 0;
    startingLevel_ = 1;
    message_.setText(glyphs_, "");
    choose(chosen_);
}

void ShelfView::close() {
    sets_ = nullptr;
    backdrop_.setVisible(false);
    for (TextLabel* label : {&title_, &position_, &levelLine_, &keysLine_, &message_})
        label->setVisible(false);
    for (Row& row : rows_)
        for (TextLabel* label : {&row.name, &row.levels, &row.proven, &row.best})
            label->setVisible(false);
    for (TextLabel* label : {&heading_.name, &heading_.levels, &heading_.proven, &heading_.best})
        label->setVisible(false);
}

void ShelfView::choose(int index) {
    const int count = static_cast<int>(sets_->size());
    chosen_ = std::clamp(index, 0, count - 1);
    if (chosen_ < top_)
        top_ = chosen_;
    else if (chosen_ >= top_ + kShelfRowsShown)
        top_ = chosen_ - kShelfRowsShown + 1;
    refresh();
}

void ShelfView::refresh() {
    if (sets_ == nullptr)
        return;
    backdrop_.setVisible(true);
    place(title_, glyphs_, "LEVEL SETS", 0.0f, kTitleY, TextLabel::kCentre, kWhite);
    place(position_, glyphs_, shelfPosition(top_, static_cast<int>(sets_->size())), kBestRight, kTitleY,
          TextLabel::kRight, kGrey);
    placeRow(glyphs_, {&heading_.name, &heading_.levels, &heading_.proven, &heading_.best},
             {"SET", "LEVELS", "PROVEN", "BEST"}, kHeadingY, kGrey);
    for (int line = 0; line < kShelfRowsShown; ++line) {
        Row& row = rows_[line];
        const int index = top_ + line;
        const float y = kFirstRowY - kRowStep * static_cast<float>(line);
        if (index >= static_cast<int>(sets_->size())) {
            for (TextLabel* label : {&row.name, &row.levels, &row.proven, &row.best})
                label->setVisible(false);
            continue;
        }
        const ShelfSet& set = (*sets_)[index];
        std::array<std::string, 4> texts = shelfLine(set);
        texts[0] = toFontText((index == playing_ ? "> " : "  ") + texts[0], glyphs_);
        const Colour& colour = index == chosen_ ? kYellow : set.problem.empty() ? kWhite : kGrey;
        placeRow(glyphs_, {&row.name, &row.levels, &row.proven, &row.best}, texts, y, colour);
    }
    const ShelfSet& chosen = (*sets_)[chosen_];
    std::string level = "START AT LEVEL " + std::to_string(startingLevel_);
    if (startingLevel_ > 1)
        level += " (PRACTICE)";
    place(levelLine_, glyphs_,
          chosen.problem.empty() ? level + "  - LEFT/RIGHT" : toFontText(chosen.problem, glyphs_), 0.0f,
          -0.56f, TextLabel::kCentre, chosen.problem.empty() ? kWhite : kRed);
    place(keysLine_, glyphs_, "UP/DOWN CHOOSE   ENTER PLAYS   ESCAPE RETURNS", 0.0f, -0.62f,
          TextLabel::kCentre, kGrey);
    place(message_, glyphs_, message_.text(), 0.0f, -0.68f, TextLabel::kCentre, kRed);
}

ShelfView::Command ShelfView::onKey(int key) {
    const ShelfSet& chosen = (*sets_)[chosen_];
    switch (key) {
        case kKeyEscape:
        case kKeyF3:
            return Command::Close;
        case kKeyReturn:
        case kKeyKeypadEnter:
            return Command::Start;
        case kKeyUp:
        case kKeyDown:
        case kKeyPageUp:
        case kKeyPageDown:
        case kKeyHome:
        case kKeyEnd: {
            const int count = static_cast<int>(sets_->size());
            const int moves[] = {-1, 1, -kShelfRowsShown, kShelfRowsShown, -count, count};
            const int keys[] = {kKeyUp, kKeyDown, kKeyPageUp, kKeyPageDown, kKeyHome, kKeyEnd};
            const int move = moves[std::find(std::begin(keys), std::end(keys), key) - std::begin(keys)];
            startingLevel_ = 1;
            choose(chosen_ + move);
            return Command::None;
        }
        case kKeyLeft:
            if (startingLevel_ > 1)
                --startingLevel_;
            refresh();
            return Command::None;
        case kKeyRight:
            if (chosen.read && chosen.problem.empty() &&
                startingLevel_ < static_cast<std::uint32_t>(chosen.levels))
                ++startingLevel_;
            refresh();
            return Command::None;
        default: {
            const int found = setOfLetter(*sets_, chosen_, key);
            if (found >= 0) {
                startingLevel_ = 1;
                choose(found);
            }
            return Command::None;
        }
    }
}

int ShelfView::rowAt(float y) const {
    const float offset = (kFirstRowY + kRowStep * 0.5f - y) / kRowStep;
    if (offset < 0.0f)
        return -1;
    const int line = static_cast<int>(offset);
    const int index = top_ + line;
    return line < kShelfRowsShown && index < static_cast<int>(sets_->size()) ? index : -1;
}

ShelfView::Command ShelfView::onButton(int button, float /*x*/, float y) {
    if (button == kWheelUp || button == kWheelDown) {
        startingLevel_ = 1;
        choose(chosen_ + (button == kWheelUp ? -1 : 1));
        return Command::None;
    }
    if (button == kLeftButton && rowAt(y) >= 0) {
        if (rowAt(y) != chosen_)
            startingLevel_ = 1;
        choose(rowAt(y));
        return Command::Start;
    }
    return Command::None;
}

void ShelfView::onPointer(float /*x*/, float y) {
    const int index = rowAt(y);
    if (index >= 0 && index != chosen_) {
        startingLevel_ = 1;
        choose(index);
    }
}

void ShelfView::say(const std::string& message) {
    message_.setText(glyphs_, toFontText(message, glyphs_));
    refresh();
}

}  // namespace tezmola
