// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/editor/document/level_edits.h"

#include <algorithm>
#include <utility>

namespace tezmola {
namespace editor {

namespace {

char letterOf(BrickKind kind) {
    switch (kind) {
        case BrickKind::Red:
            return 'R';
        case BrickKind::Blue:
            return 'B';
        case BrickKind::Yellow:
            return 'Y';
        case BrickKind::Green:
            return 'G';
        case BrickKind::Magenta:
            return 'M';
        case BrickKind::White:
            return 'W';
        default:
            return 'S';
    }
}

float clampedTint(float value) {
    return std::min(1.0f, std::max(0.0f, value));
}

}  // namespace

CellCode brushCode(const Brush& brush) {
    if (brush.kind == BrickKind::Empty)
        return emptyCode();
    if (!isColourBrick(brush.kind))
        return CellCode{'S', 'S'};
    const int hitPoints = std::min(kMaxHitPoints, std::max(1, brush.hitPoints));
    return CellCode{letterOf(brush.kind), static_cast<char>('0' + hitPoints)};
}

CellCode emptyCode() {
    return CellCode{'.', '.'};
}

bool isPaintable(int row, int column) {
    return row >= 1 && row < kMapRows && column >= 1 && column < kGridColumns - 1;
}

LevelSetEdits::LevelSetEdits(std::vector<LevelDraft> levels) : levels_(std::move(levels)) {
    if (levels_.empty())
        levels_.emplace_back();
}

void LevelSetEdits::goTo(std::size_t index) {
    endStroke();
    current_ = std::min(index, levels_.size() - 1);
}

void LevelSetEdits::beginStroke() {
    endStroke();
    inStroke_ = true;
    strokeBefore_ = level();
}

bool LevelSetEdits::paint(int row, int column, CellCode code) {
    if (!isPaintable(row, column))
        return false;
    if (!inStroke_) {
        LevelDraft after = level();
        after.map[row][column] = code;
        replaceCurrent(after);
        return true;
    }
    levels_[current_].map[row][column] = code;
    return true;
}

void LevelSetEdits::endStroke() {
    if (!inStroke_)
        return;
    inStroke_ = false;
    if (level() != strokeBefore_)
        record(Step{Change::Replace, current_, 0, strokeBefore_, level(), 0});
}

void LevelSetEdits::setBackground(const std::string& sprite) {
    LevelDraft after = level();
    after.background = sprite;
    replaceCurrent(after);
}

void LevelSetEdits::setTitle(const std::string& title) {
    LevelDraft after = level();
    after.title = title;
    replaceCurrent(after);
}

void LevelSetEdits::setAuthor(const std::string& author) {
    LevelDraft after = level();
    after.author = author;
    replaceCurrent(after);
}

void LevelSetEdits::setTint(float red, float green, float blue) {
    LevelDraft after = level();
    after.red = clampedTint(red);
    after.green = clampedTint(green);
    after.blue = clampedTint(blue);
    replaceCurrent(after);
}

void LevelSetEdits::insertLevel() {
    endStroke();
    Step step{Change::Insert, current_ + 1, 0, LevelDraft(), LevelDraft(), 0};
    apply(step, true);
    record(std::move(step));
}

void LevelSetEdits::duplicateLevel() {
    endStroke();
    Step step{Change::Insert, current_ + 1, 0, level(), LevelDraft(), 0};
    apply(step, true);
    record(std::move(step));
}

bool LevelSetEdits::deleteLevel() {
    endStroke();
    if (levels_.size() <= 1)
        return false;
    Step step{Change::Remove, current_, 0, level(), LevelDraft(), 0};
    apply(step, true);
    record(std::move(step));
    return true;
}

bool LevelSetEdits::moveLevel(int direction) {
    endStroke();
    if ((direction < 0 && current_ == 0) || (direction > 0 && current_ + 1 >= levels_.size()))
        return false;
    Step step{Change::Move, current_,     direction < 0 ? current_ - 1 : current_ + 1,
              LevelDraft(), LevelDraft(), 0};
    apply(step, true);
    record(std::move(step));
    return true;
}

bool LevelSetEdits::undo() {
    return replay(undo_, redo_, false);
}

bool LevelSetEdits::redo() {
    return replay(redo_, undo_, true);
}

// Takes the last step of one list, applies it (or its reverse) and puts it on the other.
bool LevelSetEdits::replay(std::deque<Step>& from, std::deque<Step>& to, bool forward) {
    endStroke();
    if (from.empty())
        return false;
    Step step = std::move(from.back());
    from.pop_back();
    apply(step, forward);
    to.push_back(std::move(step));
    return true;
}

// A change is kept once done; it drops the changes taken back, and the oldest beyond the limit.
void LevelSetEdits::record(Step step) {
    step.serial = nextSerial_++;
    undo_.push_back(std::move(step));
    redo_.clear();
    if (undo_.size() > kUndoSteps) {
        baseState_ = undo_.front().serial;
        undo_.pop_front();
    }
}

void LevelSetEdits::replaceCurrent(const LevelDraft& after) {
    endStroke();
    if (after == level())
        return;
    Step step{Change::Replace, current_, 0, level(), after, 0};
    apply(step, true);
    record(std::move(step));
}

void LevelSetEdits::apply(const Step& step, bool forward) {
    const auto at = [this](std::size_t index) {
        return levels_.begin() + static_cast<std::ptrdiff_t>(index);
    };
    switch (step.change) {
        case Change::Replace:
            levels_[step.index] = forward ? step.after : step.before;
            current_ = step.index;
            break;
        case Change::Insert:
            if (forward) {
                levels_.insert(at(step.index), step.before);
                current_ = step.index;
            } else {
                levels_.erase(at(step.index));
                current_ = step.index - 1;
            }
            break;
        case Change::Remove:
            if (forward) {
                levels_.erase(at(step.index));
                current_ = std::min(step.index, levels_.size() - 1);
            } else {
                levels_.insert(at(step.index), step.before);
                current_ = step.index;
            }
            break;
        case Change::Move:
            std::swap(levels_[step.index], levels_[step.other]);
            current_ = forward ? step.other : step.index;
            break;
    }
}

}  // namespace editor
}  // namespace tezmola
