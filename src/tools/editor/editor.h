// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The level editor on the engine: the author's keys and pointer edit the set, T plays the level with the
// game's own simulation, P lets the autopilot prove it on screen, Ctrl+P proves the whole set in the
// background, Ctrl+S saves it after proving what is unproven.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/core/signal.h"
#include "engine/graphics/text_label.h"
#include "game/autopilot.h"
#include "game/game_structure.h"
#include "game/level_check.h"
#include "game/proof_record.h"
#include "tools/editor/brick_bar.h"
#include "tools/editor/field_marks.h"
#include "tools/editor/game_launch.h"
#include "tools/editor/level_edits.h"
#include "tools/editor/level_view.h"
#include "tools/editor/set_proof.h"

namespace tezmola {
namespace editor {

// Where the set came from and where Ctrl+S writes it.
struct SetFile {
    std::string name;              // as the status line shows it
    std::filesystem::path target;  // empty: the set cannot be written back (it came from an archive)
    std::filesystem::path
        unsaved;  // where a quit the author did not confirm keeps unsaved changes; empty: none
    std::filesystem::path recoverable;   // changes an earlier session kept for this set, offered; empty: none
    std::filesystem::path playerFolder;  // where a new set goes on the shelf; empty: no new set
    bool diskKnown = false;              // target's content as this editor last read or wrote it is known:
    bool existed = false;                // whether there was a file,
    std::string onDisk;                  // and its bytes
};

// The name an earlier version gave the unsaved changes of every set; still offered when it is there.
constexpr char kUnsavedFileName[] = "editor-unsaved.xml";
// The name, in the player's folder, of the unsaved changes of the set at that absolute path: the path
// itself with "%" and "/" written as "%25" and "%2F", so that each set's changes stay apart and say whose
// they are; a name too long for a file keeps the beginning of the path and a digest of the whole.
std::string unsavedFileName(const std::filesystem::path& set);

// The set as opened: its levels, the proofs kept with them, and what the level checker says about the
// file, in its own words.
struct OpenedSet {
    std::vector<LevelDraft> levels;
    std::vector<ProofRecord> proofs;  // by level; a record no longer current is not taken
    std::vector<Message> notes;
};

constexpr std::uint64_t kMaxLevelFileSize = std::uint64_t{64} * 1024 * 1024;  // as the game reads
// A level file's bytes, as the game would read them; false, with the reason, when it cannot be read or is
// larger than the game reads.
bool readPlainFile(const std::string& path, std::string& text, std::string& reason);
// What the set's file holds now, so that a save can tell whether another program wrote it meanwhile.
void rememberDisk(SetFile& file);
// A quit the author did not confirm keeps unsaved changes in the player's folder (none when it is empty),
// under a name of the set's own (the file written back, else the path opened); the changes an earlier
// session kept for this set are offered when the editor opens.
void keepUnsavedChangesIn(const std::string& folder, const char* path, SetFile& file, OpenedSet& opened);

// The level file of the set the game would play next, as the game's settings file in the player's folder
// remembers it: a set on the shelf (levels/NAME.xml there) or a file named by its path. Empty when none
// is remembered, for Tezmola's own levels and the player's level.xml (the editor opens those without a
// file anyway), and when the file has gone, which a note then says.
std::filesystem::path rememberedSetFile(const std::string& folder, std::vector<Message>& notes);
// Opens the set to edit: the file, folder or archive given, else the set the game would play (the shelf's
// choice in the player's folder), else the player's level.xml or the shipped levels; with the notes to
// show first, what the file held on disk, and the unsaved changes an earlier session kept for it.
void openForEditing(const char* path, const std::string& playerFolder, OpenedSet& opened, SetFile& file);

// Reads a level file's text as the editor opens it: the levels, and the checker's errors and warnings for
// each level (without proving it). A text the game cannot read gives no level and the reason.
OpenedSet openLevelFile(const std::string& text, const std::string& name);

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
    const pentavel::graphics::TextLabel& modeLabel() const { return modeLabel_; }
    const pentavel::graphics::Sprite& modeBack() const { return modeBack_; }
    const GameStructure* trial() const { return trial_.get(); }
    // The message lines under the level, the newest last.
    const std::vector<Message>& messages() const { return messages_; }

private:
    enum class Mode { Editing, Typing, Playing, Proving };
    // What the text typed at the prompt becomes.
    enum class Prompt { SaveAs, Title, Author, NewSet };

    void editKey(int key, bool control, bool alt, bool shift);
    void ask(Prompt prompt, const std::string& text);
    void typeKey(int key, bool shift, bool command);
    void takeTyped();
    std::filesystem::path saveAsFolder() const;
    void saveAs(const std::string& name);
    void startNewSet(const std::string& name);
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

    void startTrial(bool proving);
    void stopTrial();
    void stepProof();
    void finishProof();
    void showMode(const char* text);

    void playInGame();
    void pollGame();

    void proveSet(bool thenSave);
    void pollSetProof();
    void finishSetProof();
    std::vector<std::size_t> unprovenLevels() const;
    void save();
    void writeSet(const std::filesystem::path& target);
    bool changedOnDisk(const std::filesystem::path& target) const;
    void openRecoverable();
    // The set as the file keeps it: each level with the record of its proof, when it has one.
    std::string setText() const;

    pentavel::ScopedTracker tracker_;
    LevelSetEdits edits_;
    SetFile file_;
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
    bool newSetAsked_ = false;       // Ctrl+N with unsaved changes: the next one drops them
    bool discardConfirmed_ = false;  // the second Escape: unsaved changes go
    bool backupKept_ = false;
    bool overwriteAsked_ = false;      // the file changed on disk: the next Ctrl+S saves anyway
    bool overwriteConfirmed_ = false;  // that Ctrl+S came
    bool recovered_ = false;           // the unsaved changes of an earlier session are being edited
    Prompt prompt_ = Prompt::SaveAs;
    std::string typed_;           // UTF-8
    bool typedSelected_ = false;  // the text the prompt began with, which the first letter typed replaces

    std::unique_ptr<GameStructure> trial_;  // the level in play, for T and P
    pentavel::graphics::Sprite modeBack_;
    pentavel::graphics::TextLabel modeLabel_;  // what the trial is and how it ends
    std::unique_ptr<LevelPlay> proofPlay_;
    LevelReport proofReport_;
    bool stopTrialDue_ = false;
    bool paused_ = false;
    bool fast_ = false;
    std::uint32_t proofClock_ = 0;

    std::unordered_map<std::uint64_t, LevelProof> proofs_;  // by the level's content
    SetProof setProof_;
    std::vector<std::uint64_t> setProofKeys_;  // the content of each level sent to the checker
    bool saveAfterProof_ = false;

    GameLaunch game_;            // Ctrl+G: the game on a copy of the set
    std::size_t gameLevel_ = 0;  // the level it started on
};

// A level's content as a key for its proof: its map and background (its comment is no part of it).
inline std::uint64_t proofKey(const LevelDraft& level) {
    return levelContent(level);
}

}  // namespace editor
}  // namespace tezmola
