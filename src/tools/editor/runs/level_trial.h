// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// T and P: the level on screen alone, as a level file, in the game's own simulation, played by the author
// or proven by the autopilot as it plays, with a label over the game's title that says which and how it
// ends.

#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/signal.h"
#include "engine/graphics/sprite.h"
#include "engine/graphics/text_label.h"
#include "game/checks/autopilot.h"
#include "game/checks/level_check.h"
#include "game/play/game_structure.h"
#include "game/play/motion_blend.h"
#include "game/records/level_set.h"
#include "tools/editor/document/level_proof.h"

namespace tezmola {
namespace editor {

class LevelTrial {
public:
    // glyphs is the game's font, kept by address.
    explicit LevelTrial(const pentavel::graphics::SpriteId* glyphs);
    ~LevelTrial();
    LevelTrial(const LevelTrial&) = delete;
    LevelTrial& operator=(const LevelTrial&) = delete;

    // Starts the game on the level, for the author to play or (proving) for the autopilot to prove; false
    // when the level cannot be proven, whose verdict finishProof then gives at once.
    bool start(const LevelDraft& level, bool proving);
    // Ends the game and takes the label down.
    void stop();

    // The author's play: the 5 ms steps that have come due, none while paused, drawn as the game draws
    // them (blended between the last two).
    void play();
    void setPaused(bool paused);
    bool paused() const { return paused_; }
    // The proof: as many 5 ms steps as real time allows, or a slice of a frame's worth of play when fast;
    // true once the proof has finished.
    bool stepProof();
    void setFast(bool fast) { fast_ = fast; }
    bool fast() const { return fast_; }
    // The proof's verdict for the level numbered (from 1), as the checker prints it, with the proof.
    std::string finishProof(std::uint32_t number, LevelProof& proof);

    // The game in play (null when there is none), and the label over it, for tests.
    const GameStructure* game() const { return trial_.get(); }
    const pentavel::graphics::TextLabel& label() const { return modeLabel_; }
    const pentavel::graphics::Sprite& back() const { return modeBack_; }

private:
    void showMode(const char* text);
    void onBeforeDraw();

    const pentavel::graphics::SpriteId* glyphs_;
    std::unique_ptr<GameStructure> trial_;  // the level in play, for T and P
    pentavel::graphics::Sprite modeBack_;
    pentavel::graphics::TextLabel modeLabel_;  // what the trial is and how it ends
    std::unique_ptr<LevelPlay> proofPlay_;
    LevelReport proofReport_;
    bool paused_ = false;
    bool fast_ = false;
    bool playing_ = false;  // the author plays: the picture is blended
    std::uint32_t proofClock_ = 0;
    MotionBlend motion_;
    pentavel::ScopedTracker tracker_;
};

}  // namespace editor
}  // namespace tezmola
