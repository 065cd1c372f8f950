// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// tezmola-import-levels SET...: turns LBreakout2 level sets into one Tezmola level file and proves every
// level with the level checker's autopilot. The game itself takes no options; this program beside it does.

#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "engine/file/file_system.h"
#include "engine/file/replace_file.h"
#include "engine/file/settings.h"
#include "game/field/level.h"
#include "game/records/level_set.h"
#include "game/records/shelf.h"
#include "tools/import/brick_mapping.h"
#include "tools/import/lbreakout_set.h"
#include "tools/import/level_proof.h"

namespace {

using namespace tezmola;

constexpr int kUsageError = 2;
constexpr char kProgram[] = "tezmola-import-levels";
constexpr char kGameFolder[] = "Tezmola";

const char kHelp[] =
    "Usage: tezmola-import-levels [OPTION]... SET...\n"
    "Turns LBreakout2 level sets into one Tezmola level file, the sets' levels in the order given, and\n"
    "proves that each level can be cleared by letting the level checker's autopilot play it. The level\n"
    "file goes to standard output; what the import did, one line per level, goes to standard error.\n"
    "\n"
    "  -o FILE          write the level file to FILE instead\n"
    "  --install        put each set on the game's shelf instead, as its own level file named after the\n"
    "                   set (My Games/Tezmola/levels/SET.xml; a set there before is kept as SET.xml.bak,\n"
    "                   or SET.xml.bak.2, .bak.3... when a different backup is there already), and\n"
    "                   make the last one the set that the next start of the game plays; a set of the\n"
    "                   name of one put there before by the same install is refused\n"
    "  --partial        when a set cannot be read whole, write the levels that were read all the same\n"
    "  --no-proof       do not play the levels\n"
    "  --drop-unproven  leave out the levels that the autopilot did not clear\n"
    "  --fail-unproven  exit with status 1 when a level is not proven\n"
    "  --help           show this help and exit\n"
    "  --version        show the version and exit\n"
    "\n"
    "Exit status: 0 when every set was imported and written, its levels proven or not (a level that is not\n"
    "proven is a warning, and kept unless --drop-unproven); 1 when a set could not be read whole (then\n"
    "nothing is written, unless --partial), a set could not be put on the shelf (another of its name came\n"
    "before it in this install, for one) or nothing could be written, and with --fail-unproven when a level\n"
    "was not proven; 2 for a usage error, -o naming one of the sets among them. The brick mapping is\n"
    "described in levels.md, beside the game's documentation.\n";

struct Options {
    std::vector<std::string> sets;
    std::string output;  // empty: standard output
    bool install = false;
    bool proof = true;
    bool dropUnproven = false;
    bool failUnproven = false;
    bool partial = false;
};

int usageError(const std::string& complaint) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgram, complaint.c_str(),
                 kProgram);
    return kUsageError;
}

// 0 to go on, otherwise the exit status (help, version, usage error).
int parseOptions(int argc, char* argv[], Options& options) {
    bool optionsEnded = false;
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        const bool option = !optionsEnded && argument.size() > 1 && argument[0] == '-';
        if (!option) {
            options.sets.push_back(argument);
        } else if (argument == "--help") {
            std::fputs(kHelp, stdout);
            return -1;
        } else if (argument == "--version") {
            std::printf("%s (Tezmola) %s\n", kProgram, TEZMOLA_VERSION);
            return -1;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-o") {
            if (++index >= argc || argv[index][0] == '\0')
                return usageError("-o needs a file name");
            options.output = argv[index];
        } else if (argument == "--install") {
            options.install = true;
        } else if (argument == "--partial") {
            options.partial = true;
        } else if (argument == "--no-proof") {
            options.proof = false;
        } else if (argument == "--drop-unproven") {
            options.dropUnproven = true;
        } else if (argument == "--fail-unproven") {
            options.failUnproven = true;
        } else {
            return usageError("unknown option " + argument);
        }
    }
    if (options.sets.empty())
        return usageError("no level set given");
    if (options.install && !options.output.empty())
        return usageError("--install and -o name two places for one file");
    if ((options.dropUnproven || options.failUnproven) && !options.proof)
        return usageError(std::string(options.dropUnproven ? "--drop-unproven" : "--fail-unproven") +
                          " needs the proof that --no-proof leaves out");
    // Written over, a set read here would be lost.
    for (const std::string& set : options.sets) {
        std::error_code error;
        if (!options.output.empty() && std::filesystem::equivalent(options.output, set, error))
            return usageError("-o " + options.output + " names the set " + set +
                              ", which it would overwrite");
    }
    return 0;
}

struct ImportedSet {
    std::string path;
    std::string error;  // the file could not be read at all
    import::LevelSet read;
    std::size_t firstLevel = 0;  // index of its first level among all imported levels
};

struct ImportedLevel {
    std::size_t set = 0;
    int numberInSet = 0;
    LevelDraft draft;
    std::string approximated;
    bool proven = true;
};

std::string readSetFile(const std::string& path, std::string& bytes) {
    struct stat status = {};
    if (stat(path.c_str(), &status) != 0)
        return std::string("cannot read it: ") + std::strerror(errno);
    if (!S_ISREG(status.st_mode))
        return "it is not a file";
    if (static_cast<std::uint64_t>(status.st_size) > import::kMaxSetSize)
        return "it is larger than 16 MB, which no level set is";
    std::string reason;
    if (pentavel::file::readWholeFile(path, bytes, reason) != pentavel::file::ReadResult::Read)
        return "cannot read it: " + reason;
    return "";
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void importSets(const Options& options, std::vector<ImportedSet>& sets, std::vector<ImportedLevel>& levels) {
    for (const std::string& path : options.sets) {
        ImportedSet set;
        set.path = path;
        std::string bytes;
        set.error = readSetFile(path, bytes);
        if (set.error.empty())
            set.read = import::readLevelSet(bytes);
        if (set.error.empty() && set.read.levels.empty() && set.read.errors.empty())
            set.error = "it holds no level";
        set.firstLevel = levels.size();
        int number = 0;
        for (const import::SetLevel& level : set.read.levels) {
            ImportedLevel imported;
            imported.set = sets.size();
            imported.numberInSet = ++number;
            imported.draft = import::importLevel(level, baseName(path), number, imported.approximated);
            imported.draft.title = level.title;
            imported.draft.author = level.author;
            levels.push_back(std::move(imported));
        }
        sets.push_back(std::move(set));
    }
}

// Prints what the import says, set by set and level by level, as the proofs come in.
class Report {
public:
    Report(const std::vector<ImportedSet>& sets, const std::vector<ImportedLevel>& levels)
        : sets_(sets), levels_(levels) {}

    void level(std::size_t index, const std::string& proofLines) {
        const ImportedLevel& level = levels_[index];
        setsUpTo(level.set);
        const import::SetLevel& read = sets_[level.set].read.levels[level.numberInSet - 1];
        if (!level.approximated.empty())
            std::fprintf(stderr, "%s:%d: note: level %d of the set: %s\n", sets_[level.set].path.c_str(),
                         read.line, level.numberInSet, level.approximated.c_str());
        std::fputs(proofLines.c_str(), stderr);
    }

    void unproven(std::size_t index, bool dropped) {
        const ImportedLevel& level = levels_[index];
        std::fprintf(stderr, "%s:%d: warning: level %d of the set is not proven and %s\n",
                     sets_[level.set].path.c_str(), sets_[level.set].read.levels[level.numberInSet - 1].line,
                     level.numberInSet, dropped ? "left out" : "kept all the same");
    }

    // The sets not yet named, up to and including this one.
    void setsUpTo(std::size_t last) {
        for (; named_ <= last && named_ < sets_.size(); ++named_) {
            const ImportedSet& set = sets_[named_];
            const std::size_t count = set.read.levels.size();
            if (!set.error.empty())
                std::fprintf(stderr, "%s: error: %s\n", set.path.c_str(), set.error.c_str());
            else if (count == 0)
                std::fprintf(stderr, "%s: no level read\n", set.path.c_str());
            else
                std::fprintf(stderr, "%s: %zu %s, as levels %zu to %zu\n", set.path.c_str(), count,
                             count == 1 ? "level" : "levels", set.firstLevel + 1, set.firstLevel + count);
            for (const import::SetProblem& problem : set.read.errors)
                std::fprintf(stderr, "%s:%d: error: %s\n", set.path.c_str(), problem.line,
                             problem.text.c_str());
        }
    }

private:
    const std::vector<ImportedSet>& sets_;
    const std::vector<ImportedLevel>& levels_;
    std::size_t named_ = 0;
};

// One prover per core that this process may run on.
int proverCount() {
    cpu_set_t cores;
    if (sched_getaffinity(0, sizeof cores, &cores) == 0 && CPU_COUNT(&cores) > 0)
        return CPU_COUNT(&cores);
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<int>(online) : 1;
}

// Proves every level (or only reports them without the proof); returns how many were not proven.
std::size_t proveAll(const Options& options, const char* programPath, Report& report,
                     std::vector<ImportedLevel>& levels) {
    if (!options.proof) {
        for (std::size_t index = 0; index < levels.size(); ++index)
            report.level(index, "");
        return 0;
    }
    std::vector<LevelDraft> drafts;
    drafts.reserve(levels.size());
    for (const ImportedLevel& level : levels)
        drafts.push_back(level.draft);
    std::size_t unproven = 0;
    const import::ProofReport proved = [&](std::uint32_t number, const import::ProofResult& result) {
        report.level(number - 1, result.lines);
        levels[number - 1].draft.proven = result.verdict == LevelVerdict::Cleared;
        if (result.verdict != LevelVerdict::Cleared) {
            levels[number - 1].proven = false;
            report.unproven(number - 1, options.dropUnproven);
            ++unproven;
        }
    };
    import::proveLevels(writeLevelSet(drafts), static_cast<std::uint32_t>(levels.size()), proverCount(),
                        programPath, proved);
    return unproven;
}

// The level file of every set's levels, or (set given) of that set's alone.
std::string writtenFile(const std::vector<ImportedLevel>& levels, bool dropUnproven, std::size_t& written,
                        std::size_t set = SIZE_MAX) {
    std::vector<LevelDraft> drafts;
    for (const ImportedLevel& level : levels)
        if ((level.proven || !dropUnproven) && (set == SIZE_MAX || level.set == set)) {
            drafts.push_back(level.draft);
            import::chooseBackground(drafts.back(), drafts.size() - 1);
        }
    written = drafts.size();
    return writeLevelSet(drafts);
}

struct Installed {
    std::string shelf;  // the shelf folder; empty when no set could be written (each failure has its line)
    std::size_t levels = 0;   // written there
    std::size_t refused = 0;  // sets that had levels to write but are not on the shelf
};

// A set this run put on the shelf: its name, its file there, and the set file it came from.
struct PutOnShelf {
    std::string name;
    std::string file;
    std::string from;
};

// Why a set cannot go to file: it would replace a set put there before in this run, by the same name or
// through the same file (a link, a file system that folds letter case); empty when it can.
std::string takenInThisRun(const std::string& name, const std::string& file,
                           const std::vector<PutOnShelf>& done) {
    static const char kRename[] = " (rename one of the two files to install both)";
    for (const PutOnShelf& put : done) {
        std::error_code error;
        if (put.name == name)
            return put.from + " is put there under the same name by this install" + kRename;
        if (std::filesystem::equivalent(put.file, file, error))
            return put.from + " is put there in the same file, " + file + ", by this install" + kRename;
    }
    return "";
}

// Puts each set that has levels to write on the shelf under its own name and makes the last one the next
// start's choice. A second set of a name installed in this run is refused, never written over the first.
Installed install(const std::vector<ImportedSet>& sets, const std::vector<ImportedLevel>& levels,
                  bool dropUnproven) {
    Installed installed;
    const std::string folder = pentavel::file::userDirectory(kGameFolder);
    std::string shelf = folder + "/" + kShelfFolder;
    std::error_code error;
    if (folder.empty() || (std::filesystem::create_directories(shelf, error), error)) {
        std::fprintf(stderr, "%s: error: cannot make the shelf folder %s\n", kProgram, shelf.c_str());
        return installed;
    }
    std::string chosen;
    std::vector<PutOnShelf> done;
    for (std::size_t index = 0; index < sets.size(); ++index) {
        std::size_t written = 0;
        const std::string text = writtenFile(levels, dropUnproven, written, index);
        const std::string name = baseName(sets[index].path);
        if (written == 0)
            continue;
        std::string reason = shelfWriteProblem(name);
        const std::string path = folder + "/" + shelfFileOfSet(name);
        std::string named = name;
        if (reason.empty()) {
            reason = takenInThisRun(name, path, done);
            if (!reason.empty())
                named = sets[index].path;  // the two of one name told apart
        }
        std::filesystem::path kept;
        if (reason.empty() && pentavel::file::replaceFileKeepingBackup(path, text, kept, reason)) {
            chosen = name;
            done.push_back(PutOnShelf{name, path, sets[index].path});
            installed.levels += written;
            // The usual backup goes unsaid; another name (an older backup that was not the same) is told.
            if (!kept.empty() && kept.string() != path + ".bak")
                std::fprintf(stderr, "%s: the set before is kept as %s\n", kProgram, kept.c_str());
        } else {
            ++installed.refused;
            std::fprintf(stderr, "%s: error: cannot put %s on the shelf: %s\n", kProgram, named.c_str(),
                         reason.c_str());
        }
    }
    if (chosen.empty())
        return installed;
    std::string reason;
    if (!pentavel::rememberSettingInFile(folder + "/" + pentavel::file::kSettingsFileName,
                                         kShelfSettingsSection, kShelfSettingsKey, chosen, reason))
        std::fprintf(stderr,
                     "%s: warning: %s is on the shelf, but the game's settings.xml could not say to play "
                     "it next (%s): choose it with F3\n",
                     kProgram, chosen.c_str(), reason.c_str());
    installed.shelf = shelf;
    return installed;
}

// Writes the level file where the options say; the place written to, or empty after an error line.
std::string writeOut(const Options& options, const std::string& text) {
    std::string reason;
    if (!options.output.empty()) {
        if (pentavel::file::replaceFile(options.output, text, reason))
            return options.output;
        std::fprintf(stderr, "%s: error: cannot write %s: %s\n", kProgram, options.output.c_str(),
                     reason.c_str());
        return "";
    }
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0)
        return "standard output";
    std::fprintf(stderr, "%s: error: cannot write to standard output: %s\n", kProgram, std::strerror(errno));
    return "";
}

}  // namespace

int main(int argc, char* argv[]) {
    Options options;
    if (const int status = parseOptions(argc, argv, options))
        return status < 0 ? 0 : status;
    // A prover that has gone, or a closed standard output, is an error to report, not a reason to die.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<ImportedSet> sets;
    std::vector<ImportedLevel> levels;
    importSets(options, sets, levels);
    Report report(sets, levels);
    std::size_t unreadable = 0;
    for (const ImportedSet& set : sets)
        unreadable += set.read.errors.size() + (set.error.empty() ? 0 : 1);
    const std::size_t unproven = proveAll(options, argc > 0 ? argv[0] : nullptr, report, levels);
    report.setsUpTo(sets.size());
    std::size_t written = 0;
    const std::string text = writtenFile(levels, options.dropUnproven, written);
    std::string where;
    std::size_t notInstalled = 0;
    if (written == 0)
        std::fprintf(stderr, "%s: error: no level to write, so nothing is written\n", kProgram);
    else if (unreadable > 0 && !options.partial)
        std::fprintf(stderr,
                     "%s: error: a set was not read whole, so nothing is written (--partial writes "
                     "the levels read)\n",
                     kProgram);
    else if (options.install) {
        const Installed installed = install(sets, levels, options.dropUnproven);
        where = installed.shelf;
        written = installed.levels;
        notInstalled = installed.refused;
    } else
        where = writeOut(options, text);
    if (!levels.empty())
        std::fputs("The sets' bonus layers are left out: in Tezmola, capsules fall by chance.\n", stderr);
    std::fprintf(stderr, "%zu %s, %zu %s imported", sets.size(), sets.size() == 1 ? "set" : "sets",
                 levels.size(), levels.size() == 1 ? "level" : "levels");
    if (options.proof)
        std::fprintf(stderr, ", %zu cleared, %zu not proven", levels.size() - unproven, unproven);
    std::fprintf(stderr, "; %zu %s", unreadable, unreadable == 1 ? "error" : "errors");
    if (!where.empty())
        std::fprintf(stderr, "; %zu %s written to %s%s", written, written == 1 ? "level" : "levels",
                     where.c_str(), unreadable > 0 ? ", only those read (--partial)" : "");
    if (notInstalled > 0)
        std::fprintf(stderr, "; %zu %s not put on the shelf", notInstalled,
                     notInstalled == 1 ? "set" : "sets");
    std::fputs("\n", stderr);
    // A level that cannot be proven is written all the same: only a set or a file not done is a failure.
    const bool failed =
        unreadable > 0 || notInstalled > 0 || where.empty() || (options.failUnproven && unproven > 0);
    return failed ? 1 : 0;
}
