// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// tezmola-editor [FILE]: the level editor, a third program beside the game and the level checker. It
// starts the engine as the game does, with a log and settings of its own in the player's folder, so that
// editing never changes how the game starts.

#include <memory>
#include <string>

#include "engine/app/engine.h"
#include "engine/core/signal.h"
#include "engine/file/file_system.h"
#include "engine/graphics/display.h"
#include "tools/editor/editor.h"
#include "tools/single_file_arguments.h"

namespace {

using tezmola::editor::OpenedSet;
using tezmola::editor::SetFile;

constexpr char kProgram[] = "tezmola-editor";
constexpr char kGameFolder[] = "Tezmola";

const char kHelp[] =
    "Usage: tezmola-editor [FILE]\n"
    "Edits a Tezmola level set in a window: paint the bricks, choose the backgrounds, add, copy, move and\n"
    "remove levels, play a level with the game's own rules (T) and let the level checker's autopilot prove\n"
    "that it can be cleared (P, or Ctrl+P for every level); Ctrl+G plays the set as it stands in the game\n"
    "itself (tezmola --practice) from the level on screen. F1 in the window lists every key.\n"
    "\n"
    "Without FILE it opens the levels the game would play: the set last chosen in the game (levels/NAME.xml\n"
    "in the player's folder), else the player's level.xml, else the shipped ones, and Ctrl+S writes the\n"
    "set chosen or the player's level.xml, so that the next start of the game plays them; the file it\n"
    "replaces is kept beside it with .bak added (.bak.2, .bak.3... when an older, different backup is\n"
    "there). FILE is a level file, a folder that holds level.xml, or a .pak archive that holds one (saved\n"
    "elsewhere with Ctrl+Shift+S); a FILE that does not exist yet is made on the first save.\n"
    "\n"
    "A quit that was not confirmed (the window closed, a signal) keeps the unsaved changes in the player's\n"
    "folder, in a file named after the set; the next session on the set offers them (Ctrl+O opens them).\n"
    "A save asks first when the file changed on disk since it was opened or saved (another editor).\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Exit status: 0 after a normal quit, 1 when the window or the sound cannot start, 2 for a usage error.\n"
    "Its log and settings are editor-log.html and editor-settings.xml in the player's folder.\n";

int edit(const char* programPath, const char* path) {
    using namespace pentavel;
    ConnectionTracker* engineHandle = createTracker();
    // Bricks, the bar and the help are read closely for long: the first window is large.
    graphics::preferLargeFirstWindow();
    if (!startEngine(engineHandle, programPath, "Tezmola Level Editor", "Pentavel", kGameFolder,
                     "editor-log.html", "editor-settings.xml")) {
        releaseTracker(engineHandle);
        return 1;
    }
    {
        OpenedSet opened;
        SetFile file;
        tezmola::editor::openForEditing(path, pentavel::file::userDirectory(kGameFolder), opened, file);
        auto editor = std::make_unique<tezmola::editor::Editor>(std::move(opened), std::move(file));
        editor->initialise();
        runMainLoop();
    }
    releaseTracker(engineHandle);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const char* file = nullptr;
    const int status =
        tezmola::tools::readSingleFileArguments(argc, argv, kProgram, kHelp, TEZMOLA_VERSION, file);
    if (status >= 0)
        return status;
    return edit(argc > 0 ? argv[0] : nullptr, file);
}
