// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A level set as its author edits it: the levels, the one shown, and every change undoable. Plain data:
// the window, the game and the file are the caller's.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "game/field/brick_grid.h"
#include "game/records/level_set.h"

namespace tezmola {
namespace editor {

constexpr std::size_t kUndoSteps = 256;  // changes kept for undo; older ones are forgotten
constexpr int kMaxHitPoints = 9;

// What the left button paints: a colour brick with its hit points, steel, or an empty cell.
struct Brush {
    BrickKind kind = BrickKind::Red;
    int hitPoints = 1;  // 1..9, colour bricks only
};

// The map code of a brush: "R1" to "W9", "SS" for steel, ".." for empty.
CellCode brushCode(const Brush& brush);
// The code of an empty cell, "..".
CellCode emptyCode();
// True for the cells a brick may be painted on: rows 1..18, columns 1..14 (the frame is not painted).
bool isPaintable(int row, int column);

class LevelSetEdits {
public:
    // The levels to edit; none gives one empty level (a set keeps at least one).
    explicit LevelSetEdits(std::vector<LevelDraft> levels);

    const std::vector<LevelDraft>& levels() const { return levels_; }
    std::size_t count() const { return levels_.size(); }
    std::size_t current() const { return current_; }
    const LevelDraft& level() const { return levels_[current_]; }
    // Shows another level (clamped to the set); not a change.
    void goTo(std::size_t index);

    // A stroke gathers every paint between begin and end into one change.
    void beginStroke();
    // Sets one paintable cell of the current level; false (nothing done) off the paintable cells.
    bool paint(int row, int column, CellCode code);
    void endStroke();

    void setBackground(const std::string& sprite);
    // The level's title and author, UTF-8; an empty one is none.
    void setTitle(const std::string& title);
    void setAuthor(const std::string& author);
    // Tint of the background, each kept within 0..1.
    void setTint(float red, float green, float blue);
    // An empty level after the current one, which it then shows.
    void insertLevel();
    // A copy of the current level after it, which it then shows.
    void duplicateLevel();
    // Removes the current level unless it is the last one left; false when it is.
    bool deleteLevel();
    // Moves the current level one place up (-1) or down (+1); false at the end of the set.
    bool moveLevel(int direction);

    // Take back the last change, or make again the last one taken back; false when there is none. The
    // level that changed is shown.
    bool undo();
    bool redo();
    std::size_t undoSteps() const { return undo_.size(); }

    // True when the levels differ from what was opened or last saved (as far as the changes tell).
    bool modified() const { return state() != savedState_; }
    void markSaved() { savedState_ = state(); }
    // Counts the levels as changed until they are saved (levels that came from elsewhere than the file).
    void markUnsaved() { savedState_ = ~std::uint64_t{0}; }

private:
    enum class Change { Replace, Insert, Remove, Move };
    struct Step {
        Change change;
        std::size_t index;  // the level changed, inserted, removed, or moved from
        std::size_t other;  // where a move took it
        LevelDraft before;  // Replace, Remove: the level before; Insert: the level inserted
        LevelDraft after;   // Replace: the level after
        std::uint64_t serial;
    };

    void record(Step step);
    void replaceCurrent(const LevelDraft& after);
    void apply(const Step& step, bool forward);
    bool replay(std::deque<Step>& from, std::deque<Step>& to, bool forward);
    std::uint64_t state() const { return undo_.empty() ? baseState_ : undo_.back().serial; }

    std::vector<LevelDraft> levels_;
    std::size_t current_ = 0;
    std::deque<Step> undo_;
    std::deque<Step> redo_;
    std::uint64_t nextSerial_ = 1;
    std::uint64_t baseState_ = 0;  // the state before the oldest change kept
    std::uint64_t savedState_ = 0;
    bool inStroke_ = false;
    LevelDraft strokeBefore_;
};

}  // namespace editor
}  // namespace tezmola
