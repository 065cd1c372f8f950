// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's keys, by mode: the plain edit keys as a table, the prompt's typing, and the keys of a trial.
#include "tools/editor/editor.h"

#include <SDL/SDL.h>

#include "engine/core/engine_signals.h"
#include "engine/core/input.h"
#include "engine/file/log.h"

namespace tezmola {
namespace editor {

// Alt+R, Alt+G and Alt+B come before whatever else those letters do.
const Editor::EditKey Editor::kEditKeys[] = {
    {SDLK_PLUS, 0, 0, [](Editor& editor, bool) { editor.bar_.changeHitPoints(1); }},
    {SDLK_EQUALS, 0, 0, [](Editor& editor, bool) { editor.bar_.changeHitPoints(1); }},
    {SDLK_KP_PLUS, 0, 0, [](Editor& editor, bool) { editor.bar_.changeHitPoints(1); }},
    {SDLK_MINUS, 0, 0, [](Editor& editor, bool) { editor.bar_.changeHitPoints(-1); }},
    {SDLK_KP_MINUS, 0, 0, [](Editor& editor, bool) { editor.bar_.changeHitPoints(-1); }},
    {SDLK_r, kAlt, 0, [](Editor& editor, bool shift) { editor.changeTint(0, shift ? -1 : 1); }},
    {SDLK_g, kAlt, 0, [](Editor& editor, bool shift) { editor.changeTint(1, shift ? -1 : 1); }},
    {SDLK_b, kAlt, 0, [](Editor& editor, bool shift) { editor.changeTint(2, shift ? -1 : 1); }},
    {SDLK_g, 0, kControl, [](Editor& editor, bool) { editor.gridShown_ = !editor.gridShown_; }},
    {SDLK_UP, 0, kControl, [](Editor& editor, bool) { editor.cursor_.move(-1, 0); }},
    {SDLK_DOWN, 0, kControl, [](Editor& editor, bool) { editor.cursor_.move(1, 0); }},
    {SDLK_LEFT, 0, kControl, [](Editor& editor, bool) { editor.cursor_.move(0, -1); }},
    {SDLK_RIGHT, 0, kControl, [](Editor& editor, bool) { editor.cursor_.move(0, 1); }},
    {SDLK_SPACE, 0, 0, [](Editor& editor, bool) { editor.paintCursor(brushCode(editor.bar_.brush())); }},
    {SDLK_BACKSPACE, 0, 0, [](Editor& editor, bool) { editor.paintCursor(emptyCode()); }},
    {SDLK_b, 0, kControl, [](Editor& editor, bool shift) { editor.cycleBackground(shift ? -1 : 1); }},
    {SDLK_g, kControl, 0, [](Editor& editor, bool) { editor.playInGame(); }},
    {SDLK_PAGEDOWN, 0, 0, [](Editor& editor, bool) { editor.goTo(editor.edits().current() + 1); }},
    {SDLK_PAGEUP, 0, 0,
     [](Editor& editor, bool) {
         editor.goTo(editor.edits().current() > 0 ? editor.edits().current() - 1 : 0);
     }},
    {SDLK_HOME, 0, 0, [](Editor& editor, bool) { editor.goTo(0); }},
    {SDLK_END, 0, 0, [](Editor& editor, bool) { editor.goTo(editor.edits().count() - 1); }},
    {SDLK_INSERT, 0, 0,
     [](Editor& editor, bool) {
         editor.edits().insertLevel();
         editor.changed();
     }},
    {SDLK_d, kControl, 0,
     [](Editor& editor, bool) {
         editor.edits().duplicateLevel();
         editor.changed();
     }},
    {SDLK_DELETE, 0, 0,
     [](Editor& editor, bool) {
         if (!editor.edits().deleteLevel())
             editor.say("A level set keeps at least one level", Tone::Warning);
         editor.changed();
     }},
    {SDLK_UP, kControl, 0,
     [](Editor& editor, bool) {
         editor.edits().moveLevel(-1);
         editor.changed();
     }},
    {SDLK_DOWN, kControl, 0,
     [](Editor& editor, bool) {
         editor.edits().moveLevel(1);
         editor.changed();
     }},
    {SDLK_z, kControl, 0,
     [](Editor& editor, bool) {
         if (!editor.edits().undo())
             editor.say("Nothing to undo");
         editor.changed();
     }},
    {SDLK_y, kControl, 0,
     [](Editor& editor, bool) {
         if (!editor.edits().redo())
             editor.say("Nothing to redo");
         editor.changed();
     }},
    {SDLK_t, 0, kControl, [](Editor& editor, bool) { editor.startTrial(false); }},
    {SDLK_p, kControl, 0, [](Editor& editor, bool) { editor.proveSet(false); }},
    {SDLK_p, 0, 0, [](Editor& editor, bool) { editor.startTrial(true); }},
    {SDLK_s, kControl, 0,
     [](Editor& editor, bool shift) {
         if (shift)
             editor.ask(Prompt::SaveAs, editor.document_.file().target.filename().string());
         else
             editor.save();
     }},
    {SDLK_t, kControl, 0, [](Editor& editor, bool) { editor.ask(Prompt::Title, editor.edits().level().title); }},
    {SDLK_u, kControl, 0, [](Editor& editor, bool) { editor.ask(Prompt::Author, editor.edits().level().author); }},
    {SDLK_n, kControl, 0, [](Editor& editor, bool) { editor.askNewSet(); }},
    {SDLK_o, kControl, 0, [](Editor& editor, bool) { editor.openRecoverable(); }},
    {SDLK_F1, 0, 0, [](Editor& editor, bool) { editor.view_->showHelp(!editor.view_->helpShown()); }},
    {SDLK_ESCAPE, 0, 0, [](Editor& editor, bool) { editor.escape(); }},
};

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
            playingKey(key);
            break;
        case Mode::Proving:
            provingKey(key);
            break;
    }
}

void Editor::editKey(int key, bool control, bool alt, bool shift) {
    const bool modifierOnly = key == SDLK_LSHIFT || key == SDLK_RSHIFT || key == SDLK_LCTRL ||
                              key == SDLK_RCTRL || key == SDLK_LALT || key == SDLK_RALT;
    if (!modifierOnly && !answer(key, control, shift)) {
        refresh();
        return;
    }
    const int held = (control ? kControl : 0) | (alt ? kAlt : 0);
    if (key >= SDLK_1 && key < SDLK_1 + kBarSlots && !control) {
        bar_.select(key - SDLK_1);
    } else {
        for (const EditKey& edit : kEditKeys) {
            if (edit.key == key && (held & edit.with) == edit.with && (held & edit.without) == 0) {
                edit.action(*this, shift);
                break;
            }
        }
    }
    refresh();
}

bool Editor::answer(int key, bool control, bool shift) {
    act();
    if (key != SDLK_ESCAPE)
        quitAsked_ = false;
    if (!(key == SDLK_n && control))
        newSetAsked_ = false;
    if (!overwriteAsked_)
        return true;
    // Only the Ctrl+S asked for saves over the other version; any other key cancels.
    overwriteAsked_ = false;
    overwriteConfirmed_ = key == SDLK_s && control && !shift;
    if (overwriteConfirmed_)
        return true;
    say(Message{"Not saved: "}.addPart(document_.file().name).add(" keeps the version on disk"));
    pentavel::logMessage("Not saved: %s keeps the version on disk", document_.file().name.c_str());
    return key != SDLK_ESCAPE;
}

void Editor::askNewSet() {
    if (document_.file().playerFolder.empty()) {
        say("There is no player's folder to keep a new set in", Tone::Warning);
    } else if (edits().modified() && !newSetAsked_) {
        newSetAsked_ = true;  // refresh says what the next Ctrl+N does
    } else {
        newSetAsked_ = false;
        ask(Prompt::NewSet, "");
    }
}

void Editor::escape() {
    if (view_->helpShown()) {
        view_->showHelp(false);
    } else if (edits().modified() && !quitAsked_) {
        quitAsked_ = true;  // refresh says what the next Escape does
    } else {
        discardConfirmed_ = true;
        pentavel::quitSignal().emit();
    }
}

void Editor::playingKey(int key) {
    if (key == SDLK_ESCAPE)
        stopTrialDue_ = true;
    else if (key == SDLK_PAUSE)
        trial_.setPaused(!trial_.paused());
}

void Editor::provingKey(int key) {
    if (key == SDLK_ESCAPE) {
        say("Proof stopped");
        stopTrialDue_ = true;
    } else if (key == SDLK_f) {
        trial_.setFast(!trial_.fast());
    } else if (key == SDLK_F1 || (key >= SDLK_F8 && key <= SDLK_F12)) {
        // The game's own keys (new game, cheats) would change the play under the proof.
        say("Proof stopped: a key of the game was pressed", Tone::Warning);
        stopTrialDue_ = true;
    }
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
            edits().setTitle(typed_);
            break;
        case Prompt::Author:
            edits().setAuthor(typed_);
            break;
        case Prompt::NewSet:
            startNewSet(typed_);
            return;
    }
    changed();
}

// One empty level, saved on the shelf under that name, where the game lists it at once.
void Editor::startNewSet(const std::string& name) {
    Message said;
    const bool started = document_.startNewSet(name, said);
    say(said);
    if (started)
        changed();
    else
        refresh();
}

void Editor::saveAs(const std::string& name) {
    if (name.empty())
        return;
    Message refusal;
    if (!document_.saveAs(name, refusal)) {
        say(refusal);
        return;
    }
    save();
}

}  // namespace editor
}  // namespace tezmola
