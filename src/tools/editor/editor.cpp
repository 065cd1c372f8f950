// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/editor/editor.h"

#include <SDL/SDL.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "engine/core/engine_signals.h"
#include "engine/core/input.h"
#include "engine/core/timer.h"
#include "engine/file/file_name.h"
#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/file/replace_file.h"
#include "engine/file/xml_document.h"
#include "engine/graphics/display.h"
#include "game/hud.h"
#include "game/images.h"
#include "game/shelf.h"

namespace tezmola {
namespace editor {

namespace {

constexpr float kTintStep = 0.05f;
constexpr std::uint32_t kFastSliceMilliseconds = 25;  // of play per frame when fast-forwarding a proof
constexpr std::size_t kNamedLevels = 5;               // level numbers listed in a summary
constexpr std::size_t kOpeningNotesShown = 2;
constexpr int kLeftButton = 0;
constexpr int kRightButton = 2;
constexpr int kInputFocus = 2;
constexpr int kApplicationActive = 3;
constexpr char kChecker[] = "tezmola-check-levels";
constexpr std::uint32_t kMessageMilliseconds = 8000;  // a message left alone goes after this
constexpr float kModeY = 0.7f;                        // over the game's title in its top band
constexpr float kModeSize = 0.5f;
constexpr float kModeDepth = -40.0f;

const char kTestPlayLabel[] = "TEST PLAY  Esc returns";
const char kProvingLabel[] = "PROVING  F faster  Esc stops";

const char* const kKindNames[] = {"empty", "red", "blue", "yellow", "green", "magenta", "white", "steel"};

// What a function of the checker prints, as lines.
std::vector<std::string> printedLines(const std::function<void(std::FILE*)>& print) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    if (out == nullptr)
        return {};
    print(out);
    std::fclose(out);
    std::vector<std::string> lines;
    std::string text(buffer, size);
    std::free(buffer);
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

Tone noteTone(bool error) {
    return error ? Tone::Error : Tone::Warning;
}

// "4, 9, 12 and 3 more".
std::string levelList(const std::vector<std::size_t>& numbers) {
    std::string list;
    for (std::size_t index = 0; index < numbers.size() && index < kNamedLevels; ++index)
        list += (index > 0 ? ", " : "") + std::to_string(numbers[index]);
    if (numbers.size() > kNamedLevels)
        list += formatLine(" and %zu more", numbers.size() - kNamedLevels);
    return list;
}

// The whole file; false when there is none or it cannot be read.
bool readWholeFile(const std::filesystem::path& path, std::string& bytes) {
    std::string reason;
    return pentavel::file::readWholeFile(path, bytes, reason) == pentavel::file::ReadResult::Read;
}

}  // namespace

std::string unsavedFileName(const std::filesystem::path& set) {
    std::string name = "editor-unsaved-";
    for (const char c : set.string()) {
        if (c == '%')
            name += "%25";
        else if (c == '/')
            name += "%2F";
        else
            name += c;
    }
    return pentavel::file::fittingFileName(name, ".xml", pentavel::file::kBackupSuffixBytes);
}

OpenedSet openLevelFile(const std::string& text, const std::string& name) {
    OpenedSet opened;
    TiXmlDocument document;
    if (!pentavel::file::parseXmlDocument(document, text)) {
        for (const std::string& line :
             printedLines([&](std::FILE* out) { reportUnreadableFile(document, name, out, &text); }))
            opened.notes.push_back(Message{line, Tone::Error});
        return opened;
    }
    opened.levels = readLevelSet(document);
    opened.proofs = readProofRecords(document);
    // The game's rules start on a level of their own; the file's levels then take its place one by one.
    auto game = std::make_unique<GameStructure>();
    if (!initialiseTrialGame(*game, writeLevelSet(std::vector<LevelDraft>(1))))
        return opened;
    if (opened.levels.empty()) {
        game->levelDocument = document;
        game->levelCount = 0;
        for (const std::string& line :
             printedLines([&](std::FILE* out) { checkLevelFile(*game, name, out); }))
            opened.notes.push_back(Message{line, Tone::Error});
        return opened;
    }
    // Each level is checked in a document of its own, where the game finds it at once (in the whole file it
    // walks every level before it). A copy keeps the lines of the file; level n of a file of one is that one.
    std::uint32_t number = 0;
    for (const TiXmlElement* level = document.FirstChildElement("level"); level != nullptr;
         level = level->NextSiblingElement("level")) {
        game->levelDocument.Clear();
        game->levelDocument.InsertEndChild(*level);
        game->levelCount = 1;
        LevelReport report;
        beginLevelCheck(*game, ++number, report);
        for (const LevelNote& note : report.notes)
            opened.notes.push_back(
                Message{formatLine("Level %u: %s", number, note.text.c_str()), noteTone(note.error)});
    }
    return opened;
}

Editor::Editor(OpenedSet opened, SetFile file) : edits_(std::move(opened.levels)), file_(std::move(file)) {
    // A proof kept with a level holds while its content is the one proven.
    std::size_t kept = 0;
    for (std::size_t index = 0; index < opened.proofs.size() && index < edits_.count(); ++index) {
        const ProofRecord& record = opened.proofs[index];
        if (isCurrent(record, edits_.levels().at(index))) {
            proofs_[record.content] = LevelProof{playVerdict(record.result), record.result, {}};
            ++kept;
        }
    }
    pentavel::logMessage("%zu of %zu levels keep the proof saved with them", kept, edits_.count());
    for (const Message& note : opened.notes)
        pentavel::logWarning("%s: %s", file_.name.c_str(), note.text.c_str());
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
    view_->showLevel(edits_.level());
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

void Editor::onKeyDown(int key) {
    const int modifiers = pentavel::keyModifiers();
    const bool control = (modifiers & KMOD_CTRL) != 0;
    const bool alt = (modifiers & KMOD_ALT) != 0;
    const bool shift = (modifiers & KMOD_SHIFT) != 0;
    switch (mode_) {
        case Mode::Editing:
            editKey(key, control, alt, shift);
            break;
        case Mode::Typing:
            typeKey(key, shift, control || alt);
            break;
        case Mode::Playing:
            if (key == SDLK_ESCAPE) {
                stopTrialDue_ = true;
            } else if (key == SDLK_PAUSE) {
                paused_ = !paused_;
                setPausedShown(*trial_, paused_);
            }
            break;
        case Mode::Proving:
            if (key == SDLK_ESCAPE) {
                say("Proof stopped");
                stopTrialDue_ = true;
            } else if (key == SDLK_f) {
                fast_ = !fast_;
            } else if (key == SDLK_F1 || (key >= SDLK_F8 && key <= SDLK_F12)) {
                // The game's own keys (new game, cheats) would change the play under the proof.
                say("Proof stopped: a key of the game was pressed", Tone::Warning);
                stopTrialDue_ = true;
            }
            break;
    }
}

void Editor::editKey(int key, bool control, bool alt, bool shift) {
    const bool modifierOnly = key == SDLK_LSHIFT || key == SDLK_RSHIFT || key == SDLK_LCTRL ||
                              key == SDLK_RCTRL || key == SDLK_LALT || key == SDLK_RALT;
    if (!modifierOnly)
        act();
    if (key != SDLK_ESCAPE && !modifierOnly)
        quitAsked_ = false;
    if (!(key == SDLK_n && control) && !modifierOnly)
        newSetAsked_ = false;
    if (overwriteAsked_ && !modifierOnly) {
        // Only the Ctrl+S asked for saves over the other version; any other key cancels.
        overwriteAsked_ = false;
        overwriteConfirmed_ = key == SDLK_s && control && !shift;
        if (!overwriteConfirmed_) {
            say(Message{"Not saved: "}.addPart(file_.name).add(" keeps the version on disk"));
            pentavel::logMessage("Not saved: %s keeps the version on disk", file_.name.c_str());
            if (key == SDLK_ESCAPE) {
                refresh();
                return;
            }
        }
    }
    if (key >= SDLK_1 && key < SDLK_1 + kBarSlots && !control) {
        bar_.select(key - SDLK_1);
    } else if (key == SDLK_PLUS || key == SDLK_EQUALS || key == SDLK_KP_PLUS) {
        bar_.changeHitPoints(1);
    } else if (key == SDLK_MINUS || key == SDLK_KP_MINUS) {
        bar_.changeHitPoints(-1);
    } else if ((key == SDLK_r || key == SDLK_g || key == SDLK_b) && alt) {
        changeTint(key == SDLK_r ? 0 : key == SDLK_g ? 1 : 2, shift ? -1 : 1);
    } else if (key == SDLK_g && !control) {
        gridShown_ = !gridShown_;
    } else if ((key == SDLK_UP || key == SDLK_DOWN || key == SDLK_LEFT || key == SDLK_RIGHT) && !control) {
        cursor_.move(key == SDLK_UP     ? -1
                     : key == SDLK_DOWN ? 1
                                        : 0,
                     key == SDLK_LEFT    ? -1
                     : key == SDLK_RIGHT ? 1
                                         : 0);
    } else if (key == SDLK_SPACE || key == SDLK_BACKSPACE) {
        paintCursor(key == SDLK_SPACE ? brushCode(bar_.brush()) : emptyCode());
    } else if (key == SDLK_b && !control) {
        cycleBackground(shift ? -1 : 1);
    } else if (key == SDLK_g && control) {
        playInGame();
    } else if (key == SDLK_PAGEDOWN) {
        edits_.goTo(edits_.current() + 1);
        changed();
    } else if (key == SDLK_PAGEUP) {
        edits_.goTo(edits_.current() > 0 ? edits_.current() - 1 : 0);
        changed();
    } else if (key == SDLK_HOME || key == SDLK_END) {
        edits_.goTo(key == SDLK_HOME ? 0 : edits_.count() - 1);
        changed();
    } else if (key == SDLK_INSERT) {
        edits_.insertLevel();
        changed();
    } else if (key == SDLK_d && control) {
        edits_.duplicateLevel();
        changed();
    } else if (key == SDLK_DELETE) {
        if (!edits_.deleteLevel())
            say("A level set keeps at least one level", Tone::Warning);
        changed();
    } else if ((key == SDLK_UP || key == SDLK_DOWN) && control) {
        edits_.moveLevel(key == SDLK_UP ? -1 : 1);
        changed();
    } else if (key == SDLK_z && control) {
        if (!edits_.undo())
            say("Nothing to undo");
        changed();
    } else if (key == SDLK_y && control) {
        if (!edits_.redo())
            say("Nothing to redo");
        changed();
    } else if (key == SDLK_t && !control) {
        startTrial(false);
    } else if (key == SDLK_p) {
        if (control)
            proveSet(false);
        else
            startTrial(true);
    } else if (key == SDLK_s && control) {
        if (shift)
            ask(Prompt::SaveAs, file_.target.filename().string());
        else
            save();
    } else if (key == SDLK_t && control) {
        ask(Prompt::Title, edits_.level().title);
    } else if (key == SDLK_u && control) {
        ask(Prompt::Author, edits_.level().author);
    } else if (key == SDLK_n && control) {
        if (file_.playerFolder.empty()) {
            say("There is no player's folder to keep a new set in", Tone::Warning);
        } else if (edits_.modified() && !newSetAsked_) {
            newSetAsked_ = true;  // refresh says what the next Ctrl+N does
        } else {
            newSetAsked_ = false;
            ask(Prompt::NewSet, "");
        }
    } else if (key == SDLK_o && control) {
        openRecoverable();
    } else if (key == SDLK_F1) {
        view_->showHelp(!view_->helpShown());
    } else if (key == SDLK_ESCAPE) {
        if (view_->helpShown()) {
            view_->showHelp(false);
        } else if (edits_.modified() && !quitAsked_) {
            quitAsked_ = true;  // refresh says what the next Escape does
        } else {
            discardConfirmed_ = true;
            pentavel::quitSignal().emit();
        }
    }
    refresh();
}

void Editor::ask(Prompt prompt, const std::string& text) {
    mode_ = Mode::Typing;
    prompt_ = prompt;
    typed_ = text;
    typedSelected_ = !text.empty();
}

// Letters, digits and the characters of a path, typed in the window; a title or an author also takes
// spaces, commas and apostrophes. The text the prompt begins with is selected, as in a text field: the
// first character typed replaces it, Delete removes it, Backspace and the arrows, Home and End edit it.
// A letter with Ctrl or Alt (a second Ctrl+N) types nothing.
void Editor::typeKey(int key, bool shift, bool command) {
    const bool typing =
        !command &&
        ((key >= SDLK_a && key <= SDLK_z) || (key >= SDLK_0 && key <= SDLK_9) || key == SDLK_PERIOD ||
         key == SDLK_SLASH || key == SDLK_MINUS ||
         ((key == SDLK_SPACE || key == SDLK_COMMA || key == SDLK_QUOTE) && prompt_ != Prompt::SaveAs));
    const bool editing = key == SDLK_BACKSPACE || key == SDLK_DELETE || key == SDLK_LEFT ||
                         key == SDLK_RIGHT || key == SDLK_HOME || key == SDLK_END;
    if (typedSelected_ && (typing || key == SDLK_DELETE))
        typed_.clear();
    if (typing || editing)
        typedSelected_ = false;
    if (key == SDLK_ESCAPE) {
        mode_ = Mode::Editing;
    } else if (key == SDLK_RETURN || key == SDLK_KP_ENTER) {
        mode_ = Mode::Editing;
        takeTyped();
    } else if (key == SDLK_BACKSPACE) {
        // A whole character: the continuation bytes of UTF-8 go with the byte that leads them.
        while (!typed_.empty() && (static_cast<unsigned char>(typed_.back()) & 0xC0) == 0x80)
            typed_.pop_back();
        if (!typed_.empty())
            typed_.pop_back();
    } else if (typing && key >= SDLK_a && key <= SDLK_z) {
        typed_ += static_cast<char>(shift ? key - 'a' + 'A' : key);
    } else if (typing && key == SDLK_MINUS) {
        typed_ += shift ? '_' : '-';
    } else if (typing) {
        typed_ += static_cast<char>(key);
    }
    refresh();
}

void Editor::takeTyped() {
    switch (prompt_) {
        case Prompt::SaveAs:
            saveAs(typed_);
            return;
        case Prompt::Title:
            edits_.setTitle(typed_);
            break;
        case Prompt::Author:
            edits_.setAuthor(typed_);
            break;
        case Prompt::NewSet:
            startNewSet(typed_);
            return;
    }
    changed();
}

// One empty level, saved on the shelf under that name, where the game lists it at once.
void Editor::startNewSet(const std::string& name) {
    std::string problem = shelfNameProblem(name);
    const std::filesystem::path target = file_.playerFolder / shelfFileOfSet(name);
    std::error_code error;
    if (problem.empty() && std::filesystem::exists(target, error))
        problem = "a set of that name is on the shelf already";
    if (!problem.empty()) {
        say(Message{"No new set ", Tone::Warning}.addPart(name).add(": " + problem));
        refresh();
        return;
    }
    edits_ = LevelSetEdits({});
    edits_.markUnsaved();
    file_.target = target;
    file_.name = target.filename().string();
    file_.unsaved = file_.playerFolder / unsavedFileName(target);
    file_.recoverable.clear();
    file_.diskKnown = true;
    file_.existed = false;
    pentavel::logMessage("A new level set, %s", target.string().c_str());
    say(Message{"New set ", Tone::Good}
            .addPart(name)
            .add(": Ctrl+S puts it on the shelf, ")
            .addPart(target.string()));
    changed();
}

// Where a name typed without a folder is saved: on the shelf in the player's folder, else beside the set.
std::filesystem::path Editor::saveAsFolder() const {
    if (!file_.playerFolder.empty())
        return file_.playerFolder / kShelfFolder;
    return file_.target.empty() ? std::filesystem::current_path() : file_.target.parent_path();
}

void Editor::saveAs(const std::string& name) {
    if (name.empty())
        return;
    std::filesystem::path target = name;
    const bool onShelf = name.find('/') == std::string::npos && !file_.playerFolder.empty();
    if (onShelf && target.extension() != ".xml")
        target += ".xml";
    if (onShelf && !shelfNameProblem(target.stem().string()).empty()) {
        say(Message{"Not saved: no set on the shelf can be named ", Tone::Warning}
                .addPart(target.stem().string())
                .add(", as " + shelfNameProblem(target.stem().string())));
        return;
    }
    if (onShelf)
        target = saveAsFolder() / target;
    else if (target.is_relative())
        target =
            (file_.target.empty() ? std::filesystem::current_path() : file_.target.parent_path()) / target;
    file_.target = target;
    file_.name = target.filename().string();
    file_.diskKnown = false;
    backupKept_ = false;
    save();
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
    edits_.beginStroke();
    paintAt(x, y);
}

void Editor::onMouseButtonUp(int button, float /*x*/, float /*y*/) {
    if (button != strokeButton_)
        return;
    strokeButton_ = -1;
    edits_.endStroke();
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
    if (edits_.level().map[row][column] == code)
        return;
    edits_.paint(row, column, code);
    view_->showLevel(edits_.level());
    refresh();
}

void Editor::paintCursor(const CellCode& code) {
    if (edits_.level().map[cursor_.row][cursor_.column] == code)
        return;
    edits_.beginStroke();
    edits_.paint(cursor_.row, cursor_.column, code);
    edits_.endStroke();
    changed();
}

void Editor::act() {
    messages_.clear();
}

void Editor::cycleBackground(int direction) {
    if (backgrounds_.empty())
        return;
    const auto found = std::find(backgrounds_.begin(), backgrounds_.end(), edits_.level().background);
    const long count = static_cast<long>(backgrounds_.size());
    long index = found == backgrounds_.end() ? (direction > 0 ? -1 : 0) : found - backgrounds_.begin();
    index = ((index + direction) % count + count) % count;
    edits_.setBackground(backgrounds_[static_cast<std::size_t>(index)]);
    changed();
}

void Editor::changeTint(int channel, int direction) {
    const LevelDraft& level = edits_.level();
    float tint[3] = {level.red, level.green, level.blue};
    // Steps of 0.05 from the value as it stands, kept on the steps so that they read back short.
    tint[channel] = static_cast<float>(std::lround(tint[channel] / kTintStep) + direction) * kTintStep;
    edits_.setTint(tint[0], tint[1], tint[2]);
    changed();
}

void Editor::changed() {
    quitAsked_ = false;
    if (view_ != nullptr)
        view_->showLevel(edits_.level());
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
    const LevelDraft& level = edits_.level();
    std::string info =
        formatLine("%s  tint %.2f %.2f %.2f", level.background.c_str(), level.red, level.green, level.blue);
    const auto proof = proofs_.find(proofKey(level));
    if (proof == proofs_.end())
        info += "  not proven yet";
    else
        info += (proof->second.verdict == LevelVerdict::Cleared ? "  PROVEN: " : "  NOT PROVEN: ") +
                proof->second.result;
    view_->setInfo(info);
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
    if (newSetAsked_ && edits_.modified())
        shown.push_back(
            Message{"Unsaved changes: Ctrl+N again starts a new set without saving them, Ctrl+S saves",
                    Tone::Warning});
    if (quitAsked_ && edits_.modified())
        shown.push_back(
            Message{"Unsaved changes: Escape again quits without saving, Ctrl+S saves", Tone::Warning});
    if (mode_ == Mode::Typing) {
        static const char* const kPrompts[] = {"Save as: ", "Title: ", "Author: ", "New set's name: "};
        static const char* const kAnswers[] = {"saves in ", "keeps", "keeps", "starts it"};
        const int prompt = static_cast<int>(prompt_);
        Message line{kPrompts[prompt], Tone::Warning};
        line.addPart(typed_, typedSelected_).add(std::string("_   (Enter ") + kAnswers[prompt]);
        if (prompt_ == Prompt::SaveAs)
            line.addPart(saveAsFolder().string());
        line.add(", Escape cancels)");
        shown.push_back(line);
    }
    view_->setMessages(shown);
}

Message Editor::statusText() const {
    const Brush chosen = bar_.brush();
    std::string brush = kKindNames[static_cast<int>(chosen.kind)];
    if (isColourBrick(chosen.kind))
        brush += formatLine(" %d", chosen.hitPoints);
    Message status{formatLine("Level %zu/%zu  %d to clear  %d steel  brush: %s  ", edits_.current() + 1,
                              edits_.count(), view_->bricks(), view_->steel(), brush.c_str())};
    status.addPart(file_.name).add(edits_.modified() ? " *" : "");
    const LevelDraft& level = edits_.level();
    if (!level.title.empty())
        status.add("  \"").addPart(level.title).add("\"");
    if (!level.author.empty())
        status.add("  by ").addPart(level.author);
    return status;
}

void Editor::onActive(int which, bool gained) {
    if (mode_ == Mode::Playing && (which == kInputFocus || which == kApplicationActive)) {
        paused_ = !gained;
        setPausedShown(*trial_, paused_);
    }
}

void Editor::onQuit() {
    if (!edits_.modified() || discardConfirmed_ || file_.unsaved.empty())
        return;
    std::string reason;
    // Changes an earlier session kept under this name, and has not been saved, are kept beside it.
    std::filesystem::path kept;
    if (!pentavel::file::replaceFileKeepingBackup(file_.unsaved, writeLevelSet(edits_.levels()), kept,
                                                  reason)) {
        pentavel::logError("Cannot keep the unsaved changes in %s: %s", file_.unsaved.string().c_str(),
                           reason.c_str());
        return;
    }
    pentavel::logWarning("Unsaved changes kept in %s", file_.unsaved.string().c_str());
    std::fprintf(stderr, "tezmola-editor: unsaved changes kept in %s\n", file_.unsaved.string().c_str());
}

void Editor::openRecoverable() {
    std::string text;
    if (file_.recoverable.empty() || !readWholeFile(file_.recoverable, text)) {
        say(Message{"No unsaved changes of an earlier session are kept for "}.addPart(file_.name));
        return;
    }
    OpenedSet opened = openLevelFile(text, file_.recoverable.filename().string());
    if (opened.levels.empty()) {
        say("The kept unsaved changes cannot be read: " +
                (opened.notes.empty() ? std::string("no level") : opened.notes.front().text),
            Tone::Error);
        return;
    }
    edits_ = LevelSetEdits(std::move(opened.levels));
    edits_.markUnsaved();
    recovered_ = true;
    view_->showLevel(edits_.level());
    say(Message{"Opened the unsaved changes of an earlier session: Ctrl+S saves them into ", Tone::Good}
            .addPart(file_.name));
}

void Editor::onTick() {
    if (stopTrialDue_) {
        stopTrialDue_ = false;
        stopTrial();
    }
    if (mode_ == Mode::Playing)
        pentavel::gameTick(paused_);
    else if (mode_ == Mode::Proving)
        stepProof();
    pollSetProof();
    pollGame();
    if (mode_ == Mode::Editing && !messages_.empty() &&
        pentavel::lastTicks() - saidAt_ >= kMessageMilliseconds) {
        messages_.clear();
        refresh();
    }
}

// The level alone, as a level file, in the game's own simulation; the editor's view makes way for it.
void Editor::startTrial(bool proving) {
    edits_.endStroke();
    strokeButton_ = -1;
    const std::string text = writeLevelSet(std::vector<LevelDraft>(1, edits_.level()));
    view_.reset();
    trial_ = std::make_unique<GameStructure>();
    initialiseTrialGame(*trial_, text);
    paused_ = false;
    fast_ = false;
    pentavel::graphics::holdStillFrame(false);
    if (!proving) {
        mode_ = Mode::Playing;
        showMode(kTestPlayLabel);
        pentavel::resetSimulationClock();
        return;
    }
    mode_ = Mode::Proving;
    showMode(kProvingLabel);
    if (!beginLevelCheck(*trial_, 1, proofReport_)) {
        finishProof();
        return;
    }
    proofPlay_ = std::make_unique<LevelPlay>(*trial_, kProofSeconds);
    proofClock_ = pentavel::lastTicks();
}

// Over the game's own title, which names the game and not the trial.
void Editor::showMode(const char* text) {
    modeLabel_.horizontalAlignment = pentavel::graphics::TextLabel::kCentre;
    modeLabel_.verticalAlignment = pentavel::graphics::TextLabel::kMiddle;
    modeLabel_.setText(glyphs_, text);
    modeLabel_.setTextSize(kModeSize);
    modeLabel_.setDepth(kModeDepth);
    modeLabel_.setPosition(0.0f, kModeY);
    modeLabel_.setColour(pentavel::graphics::Colour{1.0f, 1.0f, 0.0f, 1.0f});
    modeLabel_.setVisible(true);
    modeLabel_.layout();
    const float half = modeLabel_.width() * 0.5f + 0.03f;
    modeBack_.setSpriteByName(kTopBandImage);
    modeBack_.setRectangle(-half, 0.75f, half, 0.655f);
    modeBack_.setColour(pentavel::graphics::Colour{0.0f, 0.0f, 0.0f, 1.0f});
    modeBack_.setDepth(kModeDepth + 1.0f);
    modeBack_.setVisible(true);
}

void Editor::stopTrial() {
    proofPlay_.reset();
    trial_.reset();
    modeLabel_.setText(glyphs_, "");
    modeBack_.setVisible(false);
    mode_ = Mode::Editing;
    view_ = std::make_unique<LevelView>(glyphs_);
    view_->showLevel(edits_.level());
    pentavel::graphics::showCursor(true);
    pentavel::graphics::holdStillFrame(true);
    refresh();
}

// As many 5 ms steps as real time allows, or a slice of a frame's worth of play when fast.
void Editor::stepProof() {
    if (proofPlay_ == nullptr)
        return;
    const std::uint32_t now = pentavel::lastTicks();
    if (fast_) {
        const std::uint32_t start = SDL_GetTicks();
        while (SDL_GetTicks() - start < kFastSliceMilliseconds && proofPlay_->step()) {
        }
    } else {
        std::uint32_t due = std::min<std::uint32_t>((now - proofClock_) / pentavel::kStepMilliseconds,
                                                    pentavel::kMaxCatchUpSteps);
        while (due-- > 0 && proofPlay_->step()) {
        }
    }
    proofClock_ = now;
    if (proofPlay_->finished())
        finishProof();
}

void Editor::finishProof() {
    if (proofPlay_ != nullptr)
        endLevelCheck(proofReport_, proofPlay_->result());
    proofReport_.number = static_cast<std::uint32_t>(edits_.current() + 1);
    LevelProof proof;
    proof.verdict = proofReport_.verdict;
    std::size_t number = 0;
    parseLevelLine(describeLevel(proofReport_), number, proof);
    for (const LevelNote& note : proofReport_.notes)
        proof.notes.push_back((note.error ? "error: " : "warning: ") + note.text);
    proofs_[proofKey(edits_.level())] = proof;
    say(describeLevel(proofReport_), proof.verdict == LevelVerdict::Cleared ? Tone::Good : Tone::Warning);
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
    if (!game_.start(program, writeLevelSet(edits_.levels()), file_.name, edits_.current() + 1, reason)) {
        say(Message{"Cannot start the game ", Tone::Error}.addPart(program).add(": " + reason));
        return;
    }
    gameLevel_ = edits_.current() + 1;
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
            writeSet(file_.target);
        } else {
            saveAfterProof_ = saveAfterProof_ || thenSave;
        }
        return;
    }
    std::vector<LevelDraft> unproven;
    setProofKeys_.clear();
    for (std::size_t index = 0; index < edits_.count(); ++index) {
        const std::uint64_t key = proofKey(edits_.levels()[index]);
        if (proofs_.count(key) == 0 &&
            std::find(setProofKeys_.begin(), setProofKeys_.end(), key) == setProofKeys_.end()) {
            unproven.push_back(edits_.levels()[index]);
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
        proofs_[setProofKeys_[result.first]] = result.second;
    if (!running)
        finishSetProof();
    else if (setProof_.proven() != before)
        refresh();
}

// The summary of the whole set, then the save that waited for it.
void Editor::finishSetProof() {
    setProofKeys_.clear();
    const std::vector<std::size_t> unproven = unprovenLevels();
    if (unproven.empty())
        say(formatLine("%zu levels, every one cleared", edits_.count()), Tone::Good);
    else
        say(formatLine("%zu levels, %zu cleared; not cleared: %s", edits_.count(),
                       edits_.count() - unproven.size(), levelList(unproven).c_str()),
            Tone::Warning);
    if (saveAfterProof_) {
        saveAfterProof_ = false;
        writeSet(file_.target);
    }
    refresh();
}

std::vector<std::size_t> Editor::unprovenLevels() const {
    std::vector<std::size_t> unproven;
    for (std::size_t index = 0; index < edits_.count(); ++index) {
        const auto proof = proofs_.find(proofKey(edits_.levels()[index]));
        if (proof == proofs_.end() || proof->second.verdict != LevelVerdict::Cleared)
            unproven.push_back(index + 1);
    }
    return unproven;
}

void Editor::save() {
    if (file_.target.empty()) {
        say("This set came from an archive: Ctrl+Shift+S saves it as a level file", Tone::Warning);
        return;
    }
    proveSet(true);
}

// True when another program (another editor, an import) wrote the file since this editor read or wrote it.
bool Editor::changedOnDisk(const std::filesystem::path& target) const {
    if (!file_.diskKnown || target != file_.target)
        return false;
    std::string bytes;
    const bool exists = readWholeFile(target, bytes);
    return exists != file_.existed || (exists && bytes != file_.onDisk);
}

void Editor::writeSet(const std::filesystem::path& target) {
    const bool confirmed = overwriteConfirmed_;
    overwriteConfirmed_ = false;
    if (changedOnDisk(target) && !confirmed) {
        overwriteAsked_ = true;
        pentavel::logWarning(
            "%s changed on disk since it was opened or saved here: the save waits for "
            "the author's answer",
            target.string().c_str());
        say(Message{"", Tone::Warning}
                .addPart(file_.name)
                .add(" changed on disk since it was opened or saved here: Ctrl+S saves anyway (keeping "
                     "that version as a backup), any other key cancels"));
        refresh();
        return;
    }
    std::string reason;
    const std::string bytes = setText();
    // The shelf's folder of a player's first set is made by its first save.
    std::error_code folderError;
    std::filesystem::create_directories(target.parent_path(), folderError);
    // The file as it was before this editor first wrote it is kept beside it, and so is a version that
    // another program wrote meanwhile.
    std::filesystem::path kept;
    const bool written = backupKept_ && !confirmed
                             ? pentavel::file::replaceFile(target, bytes, reason)
                             : pentavel::file::replaceFileKeepingBackup(target, bytes, kept, reason);
    if (!written) {
        say(Message{"Cannot save ", Tone::Error}.addPart(target.string()).add(": " + reason));
        return;
    }
    backupKept_ = true;
    file_.diskKnown = true;
    file_.existed = true;
    file_.onDisk = bytes;
    edits_.markSaved();
    pentavel::logMessage("Saved %zu levels to %s", edits_.count(), target.string().c_str());
    if (recovered_) {
        // Now in the set itself: the next start need not offer them again.
        std::error_code error;
        std::filesystem::remove(file_.recoverable, error);
        recovered_ = false;
        file_.recoverable.clear();
    }
    const std::vector<std::size_t> unproven = unprovenLevels();
    if (confirmed) {
        say(Message{"Saved ", Tone::Warning}
                .addPart(file_.name)
                .add("; the version on disk before is kept as ")
                .addPart(kept.filename().string()));
        pentavel::logMessage("The version of %s on disk before is kept as %s", target.string().c_str(),
                             kept.string().c_str());
    } else if (unproven.empty())
        say(Message{"Saved ", Tone::Good}
                .addPart(file_.name)
                .add(formatLine(": %zu levels, every one cleared", edits_.count())));
    else
        say(Message{"Saved ", Tone::Warning}
                .addPart(file_.name)
                .add(formatLine(", but %zu levels are not proven: %s", unproven.size(),
                                levelList(unproven).c_str())));
    refresh();
}

std::string Editor::setText() const {
    std::vector<std::string> records(edits_.count());
    for (std::size_t index = 0; index < edits_.count(); ++index) {
        const std::uint64_t key = proofKey(edits_.levels()[index]);
        const auto proof = proofs_.find(key);
        // Only a play's verdict is kept: the others come from the level itself, each time it is read.
        if (proof != proofs_.end() && (proof->second.verdict == LevelVerdict::Cleared ||
                                       proof->second.verdict == LevelVerdict::NotProven))
            records[index] = proofRecordText(ProofRecord{key, proof->second.result});
    }
    return writeLevelSet(edits_.levels(), records);
}

}  // namespace editor
}  // namespace tezmola
