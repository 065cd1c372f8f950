// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/editor/editor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "engine/core/engine_signals.h"
#include "engine/core/input.h"
#include "engine/core/timer.h"
#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/graphics/display.h"
#include "game/checks/level_check.h"
#include "game/display/hud.h"

namespace tezmola {
namespace editor {

namespace {

constexpr float kTintStep = 0.05f;
constexpr std::size_t kOpeningNotesShown = 2;
constexpr int kLeftButton = 0;
constexpr int kRightButton = 2;
constexpr int kInputFocus = 2;
constexpr int kApplicationActive = 3;
constexpr char kChecker[] = "tezmola-check-levels";
constexpr std::uint32_t kMessageMilliseconds = 8000;  // a message left alone goes after this

const char* const kKindNames[] = {"empty", "red", "blue", "yellow", "green", "magenta", "white", "steel"};

}  // namespace

Editor::Editor(OpenedSet opened, SetFile file)
    : document_(std::move(opened.levels), opened.proofs, std::move(file)) {
    for (const Message& note : opened.notes)
        pentavel::logWarning("%s: %s", document_.file().name.c_str(), note.text.c_str());
    // What the game would log comes first on screen.
    std::stable_partition(opened.notes.begin(), opened.notes.end(),
                          [](const Message& note) { return note.tone == Tone::Error; });
    const std::size_t shown = std::min(opened.notes.size(), kOpeningNotesShown);
    messages_.assign(opened.notes.begin(), opened.notes.begin() + static_cast<std::ptrdiff_t>(shown));
    if (opened.notes.size() > shown)
        say(formatLine("and %zu more notes: the editor's log lists them all", opened.notes.size() - shown),
            Tone::Warning);
}

Editor::~Editor() = default;

void Editor::initialise() {
    buildGlyphTable(glyphs_);
    backgrounds_ = pentavel::graphics::spriteNames("bg_");
    view_ = std::make_unique<LevelView>(glyphs_);
    view_->showLevel(edits().level());
    saidAt_ = pentavel::lastTicks();
    pentavel::keyDownSignal().connect(this, &Editor::onKeyDown, tracker_);
    pentavel::mouseButtonDownSignal().connect(this, &Editor::onMouseButtonDown, tracker_);
    pentavel::mouseButtonUpSignal().connect(this, &Editor::onMouseButtonUp, tracker_);
    pentavel::mouseMotionSignal().connect(this, &Editor::onMouseMotion, tracker_);
    pentavel::activeSignal().connect(this, &Editor::onActive, tracker_);
    pentavel::tickSignal().connect(this, &Editor::onTick, tracker_);
    pentavel::quitSignal().connect(this, &Editor::onQuit, tracker_);
    pentavel::graphics::showCursor(true);
    // Nothing moves while editing: a frame is drawn when something changed.
    pentavel::graphics::holdStillFrame(true);
    refresh();
}

void Editor::onMouseButtonDown(int button, float x, float y) {
    if (mode_ != Mode::Editing || strokeButton_ >= 0 || (button != kLeftButton && button != kRightButton))
        return;
    act();
    quitAsked_ = false;
    const int slot = BrickBar::slotAt(x, y);
    if (slot >= 0) {
        if (button == kLeftButton)
            bar_.select(slot);
        refresh();
        return;
    }
    strokeButton_ = button;
    edits().beginStroke();
    paintAt(x, y);
}

void Editor::onMouseButtonUp(int button, float /*x*/, float /*y*/) {
    if (button != strokeButton_)
        return;
    strokeButton_ = -1;
    edits().endStroke();
    refresh();
}

// A quick drag reports points far apart: the stroke paints every cell on the way.
void Editor::onMouseMotion(float x, float y) {
    if (mode_ != Mode::Editing)
        return;
    const FieldCursor before = cursor_;
    if (cursor_.pointAt(x, y) && (cursor_.row != before.row || cursor_.column != before.column))
        refresh();
    if (strokeButton_ < 0)
        return;
    const float fromX = strokeX_;
    const float fromY = strokeY_;
    const float dx = x - fromX;
    const float dy = y - fromY;
    const int steps = 1 + static_cast<int>(std::max(std::fabs(dx) / (kCellWidth * 0.5f),
                                                    std::fabs(dy) / (kCellHeight * 0.5f)));
    for (int step = 1; step <= steps; ++step) {
        const float part = static_cast<float>(step) / static_cast<float>(steps);
        paintAt(fromX + dx * part, fromY + dy * part);
    }
}

void Editor::paintAt(float x, float y) {
    strokeX_ = x;
    strokeY_ = y;
    const int row = cellRow(y);
    const int column = cellColumn(x);
    if (!isPaintable(row, column) || y > kGridTop || x < kGridLeft)
        return;
    const CellCode code = strokeButton_ == kLeftButton ? brushCode(bar_.brush()) : emptyCode();
    if (edits().level().map[row][column] == code)
        return;
    edits().paint(row, column, code);
    view_->showLevel(edits().level());
    refresh();
}

void Editor::paintCursor(const CellCode& code) {
    if (edits().level().map[cursor_.row][cursor_.column] == code)
        return;
    edits().beginStroke();
    edits().paint(cursor_.row, cursor_.column, code);
    edits().endStroke();
    changed();
}

void Editor::act() {
    messages_.clear();
}

void Editor::goTo(std::size_t index) {
    edits().goTo(index);
    changed();
}

void Editor::cycleBackground(int direction) {
    if (backgrounds_.empty())
        return;
    const auto found = std::find(backgrounds_.begin(), backgrounds_.end(), edits().level().background);
    const long count = static_cast<long>(backgrounds_.size());
    long index = found == backgrounds_.end() ? (direction > 0 ? -1 : 0) : found - backgrounds_.begin();
    index = ((index + direction) % count + count) % count;
    edits().setBackground(backgrounds_[static_cast<std::size_t>(index)]);
    changed();
}

void Editor::changeTint(int channel, int direction) {
    const LevelDraft& level = edits().level();
    float tint[3] = {level.red, level.green, level.blue};
    // Steps of 0.05 from the value as it stands, kept on the steps so that they read back short.
    tint[channel] = static_cast<float>(std::lround(tint[channel] / kTintStep) + direction) * kTintStep;
    edits().setTint(tint[0], tint[1], tint[2]);
    changed();
}

void Editor::changed() {
    quitAsked_ = false;
    if (view_ != nullptr)
        view_->showLevel(edits().level());
    refresh();
}

void Editor::say(const std::string& text, Tone tone) {
    say(Message{text, tone});
}

void Editor::say(const Message& message) {
    messages_.push_back(message);
    saidAt_ = pentavel::lastTicks();
    if (messages_.size() > kMessageLines)
        messages_.erase(messages_.begin());
    if (message.tone == Tone::Error)
        pentavel::logError("%s", message.text.c_str());
}

void Editor::refresh() {
    pentavel::graphics::markFrameChanged();
    if (view_ == nullptr)
        return;
    view_->setStatus(statusText());
    view_->showBrickBar(bar_);
    view_->showMarks(gridShown_, cursor_, bar_.brush());
    view_->setInfo(infoText());
    view_->setMessages(shownMessages());
}

// The line under the map about the level shown: background, tint, proof.
std::string Editor::infoText() const {
    const LevelDraft& level = edits().level();
    std::string info =
        formatLine("%s  tint %.2f %.2f %.2f", level.background.c_str(), level.red, level.green, level.blue);
    const auto proof = document_.proofs().find(proofKey(level));
    if (proof == document_.proofs().end())
        info += "  not proven yet";
    else
        info += (proof->second.verdict == LevelVerdict::Cleared ? "  PROVEN: " : "  NOT PROVEN: ") +
                proof->second.result;
    return info;
}

std::vector<Message> Editor::shownMessages() const {
    // What holds only while it is true is said here, from the state, never left behind it.
    std::vector<Message> shown = messages_;
    if (setProof_.running())
        shown.push_back(Message{
            formatLine("Proving %zu of %zu levels in the background%s", setProof_.proven(), setProof_.total(),
                       saveAfterProof_ ? " before saving: Ctrl+S again saves at once" : "")});
    if (game_.running())
        shown.push_back(
            Message{formatLine("The game plays this set from level %zu as it was at Ctrl+G, as "
                               "practice: no high score",
                               gameLevel_)});
    if (newSetAsked_ && edits().modified())
        shown.push_back(
            Message{"Unsaved changes: Ctrl+N again starts a new set without saving them, Ctrl+S saves",
                    Tone::Warning});
    if (quitAsked_ && edits().modified())
        shown.push_back(
            Message{"Unsaved changes: Escape again quits without saving, Ctrl+S saves", Tone::Warning});
    if (mode_ == Mode::Typing) {
        static const char* const kPrompts[] = {"Save as: ", "Title: ", "Author: ", "New set's name: "};
        static const char* const kAnswers[] = {"saves in ", "keeps", "keeps", "starts it"};
        const int prompt = static_cast<int>(prompt_);
        Message line{kPrompts[prompt], Tone::Warning};
        line.addPart(typed_, typedSelected_).add(std::string("_   (Enter ") + kAnswers[prompt]);
        if (prompt_ == Prompt::SaveAs)
            line.addPart(document_.saveAsFolder().string());
        line.add(", Escape cancels)");
        shown.push_back(line);
    }
    return shown;
}

Message Editor::statusText() const {
    const Brush chosen = bar_.brush();
    std::string brush = kKindNames[static_cast<int>(chosen.kind)];
    if (isColourBrick(chosen.kind))
        brush += formatLine(" %d", chosen.hitPoints);
    Message status{formatLine("Level %zu/%zu  %d to clear  %d steel  brush: %s  ", edits().current() + 1,
                              edits().count(), view_->bricks(), view_->steel(), brush.c_str())};
    status.addPart(document_.file().name).add(edits().modified() ? " *" : "");
    const LevelDraft& level = edits().level();
    if (!level.title.empty())
        status.add("  \"").addPart(level.title).add("\"");
    if (!level.author.empty())
        status.add("  by ").addPart(level.author);
    return status;
}

void Editor::onActive(int which, bool gained) {
    if (mode_ == Mode::Playing && (which == kInputFocus || which == kApplicationActive))
        trial_.setPaused(!gained);
}

void Editor::onQuit() {
    if (!discardConfirmed_)
        document_.keepUnsavedChanges();
}

void Editor::openRecoverable() {
    Message said;
    if (document_.openRecoverable(said))
        view_->showLevel(edits().level());
    say(said);
}

void Editor::onTick() {
    if (stopTrialDue_) {
        stopTrialDue_ = false;
        stopTrial();
    }
    if (mode_ == Mode::Playing)
        trial_.play();
    else if (mode_ == Mode::Proving && trial_.stepProof())
        finishProof();
    pollSetProof();
    pollGame();
    if (mode_ == Mode::Editing && !messages_.empty() &&
        pentavel::lastTicks() - saidAt_ >= kMessageMilliseconds) {
        messages_.clear();
        refresh();
    }
}

// The editor's view makes way for the game.
void Editor::startTrial(bool proving) {
    edits().endStroke();
    strokeButton_ = -1;
    view_.reset();
    mode_ = proving ? Mode::Proving : Mode::Playing;
    if (!trial_.start(edits().level(), proving))
        finishProof();
}

void Editor::stopTrial() {
    trial_.stop();
    mode_ = Mode::Editing;
    view_ = std::make_unique<LevelView>(glyphs_);
    view_->showLevel(edits().level());
    pentavel::graphics::showCursor(true);
    pentavel::graphics::holdStillFrame(true);
    refresh();
}

void Editor::finishProof() {
    LevelProof proof;
    const std::string verdict = trial_.finishProof(static_cast<std::uint32_t>(edits().current() + 1), proof);
    document_.proofs()[proofKey(edits().level())] = proof;
    say(verdict, proof.verdict == LevelVerdict::Cleared ? Tone::Good : Tone::Warning);
    stopTrialDue_ = true;
}

// The set as it stands, unsaved changes too, from the level on screen: the game's own window opens beside
// the editor's, which stays in use.
void Editor::playInGame() {
    if (game_.running()) {
        say("The game is playing this set already: quit it before Ctrl+G starts it again", Tone::Warning);
        return;
    }
    const char* path = std::getenv("PATH");
    const std::string program =
        findGameProgram(pentavel::file::programDirectory(), path != nullptr ? path : "");
    if (program.empty()) {
        say(formatLine("Cannot start the game: there is no %s beside the editor or on the PATH",
                       kGameProgram),
            Tone::Error);
        return;
    }
    std::string reason;
    if (!game_.start(program, writeLevelSet(edits().levels()), document_.file().name, edits().current() + 1,
                     reason)) {
        say(Message{"Cannot start the game ", Tone::Error}.addPart(program).add(": " + reason));
        return;
    }
    gameLevel_ = edits().current() + 1;
    pentavel::logMessage("Playing level %zu in the game %s, as practice, on %s", gameLevel_, program.c_str(),
                         game_.levelFile().c_str());
}

void Editor::pollGame() {
    std::string ending;
    if (!game_.running() || game_.poll(ending))
        return;
    if (ending.empty()) {
        pentavel::logMessage("The game has ended");
        say("The game has ended");
    } else {
        say(ending, Tone::Error);
    }
    refresh();
}

// Every level whose content has no proof yet goes to the checker; the rest keep the proof they have.
void Editor::proveSet(bool thenSave) {
    if (setProof_.running()) {
        if (thenSave && saveAfterProof_) {
            // A second Ctrl+S does not wait: the levels not proven yet are saved as they are.
            setProof_.stop();
            saveAfterProof_ = false;
            writeSet(document_.file().target);
        } else {
            saveAfterProof_ = saveAfterProof_ || thenSave;
        }
        return;
    }
    std::vector<LevelDraft> unproven;
    setProofKeys_.clear();
    for (std::size_t index = 0; index < edits().count(); ++index) {
        const std::uint64_t key = proofKey(edits().levels()[index]);
        if (document_.proofs().count(key) == 0 &&
            std::find(setProofKeys_.begin(), setProofKeys_.end(), key) == setProofKeys_.end()) {
            unproven.push_back(edits().levels()[index]);
            setProofKeys_.push_back(key);
        }
    }
    saveAfterProof_ = thenSave;
    std::string reason;
    if (!unproven.empty() &&
        setProof_.start(unproven, pentavel::file::programDirectory() + kChecker, reason)) {
        pentavel::logMessage("Proving in the background, levels: %zu", unproven.size());
        refresh();
        return;
    }
    if (!unproven.empty())
        say("Cannot start the level checker: " + reason, Tone::Error);
    finishSetProof();
}

void Editor::pollSetProof() {
    if (!setProof_.running())
        return;
    std::vector<std::pair<std::size_t, LevelProof>> done;
    const std::size_t before = setProof_.proven();
    const bool running = setProof_.poll(done);
    for (const auto& result : done)
        document_.proofs()[setProofKeys_[result.first]] = result.second;
    if (!running)
        finishSetProof();
    else if (setProof_.proven() != before)
        refresh();
}

// The summary of the whole set, then the save that waited for it.
void Editor::finishSetProof() {
    setProofKeys_.clear();
    const std::vector<std::size_t> unproven = document_.unprovenLevels();
    if (unproven.empty())
        say(formatLine("%zu levels, every one cleared", edits().count()), Tone::Good);
    else
        say(formatLine("%zu levels, %zu cleared; not cleared: %s", edits().count(),
                       edits().count() - unproven.size(), levelList(unproven).c_str()),
            Tone::Warning);
    if (saveAfterProof_) {
        saveAfterProof_ = false;
        writeSet(document_.file().target);
    }
    refresh();
}

void Editor::save() {
    if (document_.file().target.empty()) {
        say("This set came from an archive: Ctrl+Shift+S saves it as a level file", Tone::Warning);
        return;
    }
    proveSet(true);
}

void Editor::writeSet(const std::filesystem::path& target) {
    const bool confirmed = overwriteConfirmed_;
    overwriteConfirmed_ = false;
    if (document_.changedOnDisk(target) && !confirmed) {
        overwriteAsked_ = true;
        pentavel::logWarning(
            "%s changed on disk since it was opened or saved here: the save waits for "
            "the author's answer",
            target.string().c_str());
        say(Message{"", Tone::Warning}
                .addPart(document_.file().name)
                .add(" changed on disk since it was opened or saved here: Ctrl+S saves anyway (keeping "
                     "that version as a backup), any other key cancels"));
        refresh();
        return;
    }
    say(document_.writeSet(target, confirmed));
    refresh();
}

}  // namespace editor
}  // namespace tezmola
