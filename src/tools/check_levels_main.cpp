// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// tezmola-check-levels FILE: checks a level file for its author without a window or a sound device. The
// game itself takes no options; this second program reads the file through the game's own virtual file
// system and level reader, so what it accepts the game plays the same way.

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/file/file_system.h"
#include "engine/file/xml_document.h"
#include "engine/graphics/display.h"
#include "engine/graphics/sprite.h"
#include "game/checks/level_check.h"
#include "game/checks/replay_check.h"
#include "game/field/images.h"
#include "game/field/level.h"
#include "game/play/game_step.h"
#include "game/play/game_structure.h"
#include "game/records/level_set.h"
#include "game/records/proof_record.h"
#include "game/records/shelf.h"
#include "tools/single_file_arguments.h"

namespace {

constexpr char kProgram[] = "tezmola-check-levels";

const char kHelp[] =
    "Usage: tezmola-check-levels [--changed-only] FILE\n"
    "       tezmola-check-levels --replay REPLAY...\n"
    "Checks a Tezmola level file without opening a window or a sound device: builds every level as the\n"
    "game does, says what the game would log and what it would accept silently, and proves that each\n"
    "level can be cleared by letting an autopilot play it for at most 10 minutes of simulated time.\n"
    "\n"
    "FILE is a level file (the game reads the one named level.xml), a .pak archive that holds level.xml,\n"
    "or a folder that holds level.xml, such as the player's folder \"~/My Games/Tezmola\".\n"
    "\n"
    "  --changed-only  prove only the levels without a current proof record (one the level editor\n"
    "                  keeps in the file while the level's bricks, background and tint stay as proven);\n"
    "                  the others take the recorded result, and the summary says how many did\n"
    "  --replay        play each REPLAY (a game the game recorded) again without a window, on the set it\n"
    "                  names as the player's folder holds it now, and print the score, level and spare\n"
    "                  balls it reaches and whether they are the ones it claims; a replay of other game\n"
    "                  rules, of a set that changed or is missing, or a damaged file is named as such\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n"
    "\n"
    "Exit status: 0 when every level is well formed and cleared (with --replay: every replay reaches its\n"
    "claim), 1 otherwise, 2 for a usage error.\n"
    "The level format is described in levels.md, the replay format in replays.md, beside the game's\n"
    "documentation.\n";

// Where the level file is seen from: a folder (or an archive) mounted first, as the player's folder is in
// the game, and the file's name in it.
struct Source {
    std::string mount;
    std::string name;
};

bool locate(const std::string& path, Source& source) {
    char resolved[PATH_MAX];
    struct stat status = {};
    if (realpath(path.c_str(), resolved) == nullptr || stat(resolved, &status) != 0) {
        std::printf("%s: error: Cannot read level file! %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    // A pipe or a device would hold the reader or never end.
    if (!S_ISDIR(status.st_mode) && !S_ISREG(status.st_mode)) {
        std::printf("%s: error: Cannot read level file! It is not a regular file\n", path.c_str());
        return false;
    }
    source.mount = resolved;
    source.name = tezmola::kLevelFileName;
    if (S_ISDIR(status.st_mode) || tezmola::tools::hasPakExtension(source.mount))
        return true;
    const std::size_t slash = source.mount.find_last_of('/');
    source.name = source.mount.substr(slash + 1);
    source.mount = slash == 0 ? "/" : source.mount.substr(0, slash);
    return true;
}

// The recorded result of each level whose record is current; an empty one for the others.
std::vector<std::string> recordedResults(const TiXmlDocument& document) {
    const std::vector<tezmola::LevelDraft> levels = tezmola::readLevelSet(document);
    const std::vector<tezmola::ProofRecord> records = tezmola::readProofRecords(document);
    std::vector<std::string> results(levels.size());
    for (std::size_t index = 0; index < levels.size() && index < records.size(); ++index)
        if (tezmola::isCurrent(records[index], levels[index]))
            results[index] = records[index].result;
    return results;
}

int check(const char* programPath, const std::string& path, bool changedOnly) {
    Source source;
    if (!locate(path, source))
        return 1;
    if (!pentavel::file::setUpReadOnlyFileSystem(programPath, source.mount.c_str())) {
        std::printf("%s: error: Cannot read level file! It is neither a folder nor a ZIP archive\n",
                    path.c_str());
        return 1;
    }
    // The game's own archive holds a level.xml too: a folder or archive without one (or, for a folder, an
    // archive in it with one) must not pass for it.
    const std::string from = pentavel::file::realDirectory(source.name.c_str());
    if (from != source.mount && from.compare(0, source.mount.size() + 1, source.mount + "/") != 0) {
        std::printf("%s: error: Cannot read level file! It holds no %s\n", path.c_str(), source.name.c_str());
        pentavel::file::shutDownFileSystem();
        return 1;
    }
    pentavel::graphics::scanSpriteSheets();
    if (pentavel::graphics::lookupSprite(tezmola::kBrickImage) == 0)
        std::fprintf(stderr,
                     "%s: warning: the game's data (tezmola.pak) is not beside this program: "
                     "background names are not checked\n",
                     kProgram);
    bool passed = false;
    {
        auto game = std::make_unique<tezmola::GameStructure>();
        if (tezmola::initialiseGameStructure(*game, source.name.c_str())) {
            const std::vector<std::string> recorded =
                changedOnly ? recordedResults(game->levelDocument) : std::vector<std::string>();
            passed = tezmola::checkLevelFile(*game, path, stdout, changedOnly ? &recorded : nullptr);
        } else if (std::string text; pentavel::file::readXmlFile(source.name.c_str(), text)) {
            tezmola::reportUnreadableFile(game->levelDocument, path, stdout, &text);
        } else
            tezmola::reportUnreadableFile(game->levelDocument, path, stdout);
    }
    pentavel::file::shutDownFileSystem();
    return passed ? 0 : 1;
}

// --replay FILE...: the options every tool shares, then the replays, played on the player's shelf.
int checkReplays(int argc, char* argv[]) {
    std::vector<std::string> files;
    const int status = tezmola::tools::readArguments(argc, argv, kProgram, kHelp, TEZMOLA_VERSION, "--replay",
                                                     [&files](const char* argument) {
                                                         files.emplace_back(argument);
                                                         return true;
                                                     });
    if (status >= 0)
        return status;
    if (files.empty())
        return tezmola::tools::usageError(kProgram, "no replay given", "");
    // A file system that cannot start (said on standard error) holds no set: every replay is refused.
    pentavel::file::setUpPlayersFolderForReading(argv[0], tezmola::kOwnSetName);
    pentavel::graphics::scanSpriteSheets();
    const int checked = tezmola::checkReplayFiles(files, stdout);
    pentavel::file::shutDownFileSystem();
    return checked;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (tezmola::tools::hasOption(argc, argv, "--replay"))
        return checkReplays(argc, argv);
    // --changed-only is this program's own; the rest is the command line every tool shares.
    const char* file = nullptr;
    const int status = tezmola::tools::readSingleFileArguments(argc, argv, kProgram, kHelp, TEZMOLA_VERSION,
                                                               file, "--changed-only");
    if (status >= 0)
        return status;
    if (file == nullptr)
        return tezmola::tools::usageError(kProgram, "no level file given", "");
    return check(argc > 0 ? argv[0] : nullptr, file, tezmola::tools::hasOption(argc, argv, "--changed-only"));
}
