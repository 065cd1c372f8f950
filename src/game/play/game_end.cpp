// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/play/game_end.h"

#include <filesystem>
#include <set>
#include <system_error>

#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/file/replace_file.h"
#include "game/display/hud.h"
#include "game/play/game_structure.h"
#include "game/records/high_score_file.h"
#include "game/records/replay_file.h"
#include "game/records/replay_store.h"

namespace tezmola {

namespace {

constexpr std::size_t kMaxTableSize = std::size_t{1} << 20;  // far beyond ten entries

// The tables of every set, and the copies of them kept aside (damaged, backed up): each holds on to its
// replays.
bool isTableFile(const std::string& name) {
    const std::string table = kHighScoreFileName;
    return name.compare(0, table.size() - 4, table, 0, table.size() - 4) == 0;  // "highscores"
}

// Read from the text rather than the entries: a table that does not read whole keeps its replays too.
void addReferences(const std::string& text, std::set<std::string>& names) {
    const std::string mark = "replay=\"";
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 1)) {
        const std::size_t start = at + mark.size();
        const std::size_t end = text.find('"', start);
        if (end == std::string::npos)
            return;
        names.insert(text.substr(start, end - start));
    }
}

std::set<std::string> referencedReplays() {
    std::set<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(pentavel::file::writeDirectory(), error), end;
         !error && entry != end; entry.increment(error)) {
        std::string text;
        std::string reason;
        if (isTableFile(entry->path().filename().string()) &&
            pentavel::file::readWholeFile(entry->path(), text, reason, kMaxTableSize) ==
                pentavel::file::ReadResult::Read)
            addReferences(text, names);
    }
    return names;
}

// The replays that the tables refer to, and the entries of the game's table waiting to be written.
std::set<std::string> replaysInUse(const HighScoreBoard& board) {
    std::set<std::string> referenced = referencedReplays();
    for (const HighScore& row : board.entries())
        referenced.insert(row.replay);
    return referenced;
}

// The game in play has ended: its replay is written when it is worth keeping (a game over, or a game left
// with points; cheated games and practice from a later level too, but no game of a run of practice) and
// the game records, and the file's name is returned (empty for none). A replay that cannot be written is
// lost, told once a run in the log. The replay is of that date, the entry's.
std::string keepReplayOfGame(GameKeeping& keeping, const LevelSource& levels, const PlayField& field,
                             bool gameOver, const std::string& date) {
    // A folder that cannot be written was told at start: nothing is saved. A run of practice plays a file of
    // the moment (the level editor's test play), which no replay could find again.
    if (!keeping.recording || !keeping.record.complete || !(gameOver || field.score > 0) ||
        keeping.onlyPractice || pentavel::file::isUserDirectoryUnwritable() ||
        pentavel::file::writeDirectory().empty())
        return "";
    Replay replay;
    const ShelfSet& set = levels.levelSet;
    std::error_code error;
    // A file from outside is found again by its path, wherever the checker runs.
    replay.setName =
        set.source == SetSource::Outside ? std::filesystem::absolute(set.file, error).string() : set.name;
    replay.setDigest = levelSetDigest(levels.levelDocument);
    replay.player = keeping.highScores.playerName();
    replay.date = date;
    replay.record = keeping.record;
    replay.claim = resultOf(field);
    std::string reason;
    std::string name =
        keepReplay(replayFolder(), writeReplay(replay), replaysInUse(keeping.highScores), reason);
    if (name.empty() && !keeping.replayLossTold) {
        keeping.replayLossTold = true;
        pentavel::logWarning("The replay of the game could not be saved in %s (%s): it is lost",
                             kReplayFolder, reason.c_str());
    }
    return name;
}

// After the tables took the game: the replays no longer kept are removed, never the game's own replay.
void pruneReplaysOfGame(bool recording, const HighScoreBoard& board, const std::string& replay) {
    if (!recording || pentavel::file::writeDirectory().empty())
        return;
    // The game's own replay stays whatever the clock said when it was written.
    std::set<std::string> kept = replaysInUse(board);
    kept.insert(replay);
    pruneReplays(replayFolder(), kept);
}

// Said in the place of an empty table. A game over enters it unless a cheat or practice keeps it out.
const char* whyTheTableIsEmpty(bool cheated, bool practice) {
    if (cheated)
        return "GAMES WITH CHEATS ENTER NO TABLE";
    if (practice)
        return "PRACTICE GAMES ENTER NO TABLE";
    return "NO GAME IN THIS TABLE YET";
}

}  // namespace

void endGame(GameStructure& game, bool gameOver) {
    // A game watched was played before: nothing of it is kept again.
    if (game.watching)
        return;
    if (!game.gameEnded) {
        game.gameEnded = true;
        // Every game worth a replay keeps one, practice and cheated games too; the table decides alone
        // whether an entry refers to it. Practice from a later level enters no table: the board only says so.
        // The replay and the entry that names it are of one day, even across midnight.
        const std::string date = todaysDate();
        const std::string replay = keepReplayOfGame(game, game, game, gameOver, date);
        game.highScores.offer(game.score, game.levelNumber, hasCheatMark(game.hud) || game.practice, gameOver,
                              replay, date);
        pruneReplaysOfGame(game.recording, game.highScores, replay);
    }
    if (gameOver) {
        std::string practice;
        if (game.practice)
            practice = "PRACTICE FROM LEVEL " + std::to_string(game.startingLevel) + ": NOT ENTERED";
        game.highScores.show(toFontText(game.levelSet.name, game.glyphs) + " TABLE - F3 CHOOSES ANOTHER SET",
                             practice, whyTheTableIsEmpty(hasCheatMark(game.hud), game.practice));
    }
}

}  // namespace tezmola
