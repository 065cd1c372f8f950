// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The level editor on the engine: the author's keys and pointer edit the set, T plays the level with the
// game's own simulation, P lets the autopilot prove it on screen, Ctrl+P proves the whole set in the
// background, Ctrl+S saves it after proving what is unproven. The editor ties its parts together: the
// document (the set, its edits and its file), the view, and the runs (test play, proofs, the game).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/signal.h"
#include "engine/graphics/text_label.h"
#include "game/play/game_structure.h"
#include "tools/editor/document/message.h"
#include "tools/editor/document/set_document.h"
#include "tools/editor/document/set_file.h"
#include "tools/editor/runs/game_launch.h"
#include "tools/editor/runs/level_trial.h"
#include "tools/editor/runs/set_proof.h"
#include "tools/editor/view/brick_bar.h"
#include "tools/editor/view/field_marks.h"
#include "tools/editor/view/level_view.h"

namespace tezmola {
namespace editor {

class Editor {
public:
    Editor(OpenedSet opened, SetFile file);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Builds the font, finds the backgrounds, shows the first level and connects the slots.
    void initialise();

    void onKeyDown(int key);
    void onMouseButtonDown(int button, float x, float y);
    void onMouseButtonUp(int button, float x, float y);
    void onMouseMotion(float x, float y);
    void onActive(int which, bool gained);
    // quitSignal slot: a quit the author did not confirm (the window closed, a signal, the display lost)
    // keeps unsaved changes in the player's folder instead of dropping them.
    void onQuit();
    // tickSignal slot: plays or proves the steps that have come due, reads the background proof, redraws.
    void onTick();

    // What the editor shows (null during a trial), and the label over a trial, for tests.
    const LevelView* view() const { return view_.get(); }
    const pentavel::graphics::TextLabel& modeLabel() const { return trial_.label(); }
    const pentavel::graphics::Sprite& modeBack() const { return trial_.back(); }
    const GameStructure* trial() const { return trial_.game(); }
    // The message lines under the level, the newest last.
    const std::vector<Message>& messages() const { return messages_; }

private:
    enum class Mode { Editing, Typing, Playing, Proving };
    // What the text typed at the prompt becomes.
    enum class Prompt { SaveAs, Title, Author, NewSet };
    // A plain edit key: the modifiers it wants held and those it wants not held (kControl, kAlt), and what
    // it does, given whether Shift is held. Of kEditKeys, the first entry that matches a key acts.
    struct EditKey {
        int key;
        int with;
        int without;
        void (*action)(Editor& editor, bool shift);
    };
    static constexpr int kControl = 1;
    static constexpr int kAlt = 2;
    static const EditKey kEditKeys[];

    LevelSetEdits& edits() { return document_.edits(); }
    const LevelSetEdits& edits() const { return document_.edits(); }

    void editKey(int key, bool control, bool alt, bool shift);
    // What a key (not a modifier alone) answers of what was asked; false when it cancels a save over
    // another version and does nothing else.
    bool answer(int key, bool control, bool shift);
    void askNewSet();
    void escape();
    void playingKey(int key);
    void provingKey(int key);
    void ask(Prompt prompt, const std::string& text);
    void typeKey(int key, bool shift, bool command);
    void takeTyped();
    void saveAs(const std::string& name);
    void startNewSet(const std::string& name);
    void goTo(std::size_t index);
    void paintAt(float x, float y);
    void paintCursor(const CellCode& code);
    // A key or a click: what was said before it is no longer news.
    void act();
    void cycleBackground(int direction);
    void changeTint(int channel, int direction);
    void changed();
    void say(const std::string& text, Tone tone = Tone::Plain);
    void say(const Message& message);
    void refresh();
    Message statusText() const;
    std::string infoText() const;
    // The messages said, and under them what holds only while it is true, said from the state.
    std::vector<Message> shownMessages() const;

    void startTrial(bool proving);
    void stopTrial();
    void finishProof();

    void playInGame();
    void pollGame();

    void proveSet(bool thenSave);
    void pollSetProof();
    void finishSetProof();
    void save();
    void writeSet(const std::filesystem::path& target);
    void openRecoverable();

    pentavel::ScopedTracker tracker_;
    SetDocument document_;
    pentavel::graphics::GlyphTable glyphs_ = {};
    std::unique_ptr<LevelView> view_;  // gone while a trial game is on screen
    std::vector<std::string> backgrounds_;
    std::vector<Message> messages_;
    BrickBar bar_;
    FieldCursor cursor_;
    bool gridShown_ = true;
    std::uint32_t saidAt_ = 0;  // when the newest message was said
    Mode mode_ = Mode::Editing;
    int strokeButton_ = -1;  // the button held down for a stroke, -1 for none
    float strokeX_ = 0.0f;   // where the stroke last painted
    float strokeY_ = 0.0f;
    bool quitAsked_ = false;
    bool newSetAsked_ = false;         // Ctrl+N with unsaved changes: the next one drops them
    bool discardConfirmed_ = false;    // the second Escape: unsaved changes go
    bool overwriteAsked_ = false;      // the file changed on disk: the next Ctrl+S saves anyway
    bool overwriteConfirmed_ = false;  // that Ctrl+S came
    Prompt prompt_ = Prompt::SaveAs;
    std::string typed_;           // UTF-8
    bool typedSelected_ = false;  // the text the prompt began with, which the first letter typed replaces

    LevelTrial trial_{glyphs_};  // T and P
    bool stopTrialDue_ = false;

    SetProof setProof_;
    std::vector<std::uint64_t> setProofKeys_;  // the content of each level sent to the checker
    bool saveAfterProof_ = false;

    GameLaunch game_;            // Ctrl+G: the game on a copy of the set
    std::size_t gameLevel_ = 0;  // the level it started on
};

}  // namespace editor
}  // namespace tezmola
