// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The table of best games: its order and cut, the player's name, the file with its damaged and impossible
// contents, and which games a running GameStructure enters.

#include "game/records/high_scores.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>

#include "engine/file/log.h"
#include "engine/file/write_directory_lock.h"
#include "game/display/high_score_board.h"
#include "game/play/game_step.h"
#include "game/records/high_score_file.h"
#include "game/records/replay_file.h"
#include "game/records/replay_store.h"
#include "game_fixture.h"
#include "support/mounted_folder.h"

namespace {

using namespace tezmola;

HighScore entry(std::int32_t score, const std::string& name) {
    return HighScore{score, 1, "2026-03-04", name, ""};
}

std::string names(const std::vector<HighScore>& table) {
    std::string text;
    for (const HighScore& row : table)
        text += row.name + " ";
    return text;
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

TEST(HighScoreTable, OrdersByScoreKeepsTheOlderOfEqualScoresAboveAndCutsAtTen) {
    std::vector<HighScore> table;
    EXPECT_EQ(0, insertHighScore(table, entry(50, "A")));
    EXPECT_EQ(0, insertHighScore(table, entry(70, "B")));
    EXPECT_EQ(2, insertHighScore(table, entry(50, "C")));
    for (const char* name : {"D", "E", "F", "G", "H", "I", "J"})
        insertHighScore(table, entry(10, name));
    EXPECT_EQ("B A C D E F G H I J ", names(table));
    EXPECT_EQ(-1, insertHighScore(table, entry(10, "K")));  // a tie with the last falls below it
    EXPECT_EQ(-1, insertHighScore(table, entry(0, "L")));
    EXPECT_EQ(3, insertHighScore(table, entry(20, "M")));
    EXPECT_EQ("B A C M D E F G H I ", names(table));
}

TEST(HighScoreTable, AMergeEntersEveryUnsavedGameBesideItsEqualsAndStillCutsAtTen) {
    std::vector<HighScore> table;
    for (const char* name : {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"})
        insertHighScore(table, entry(100 - 10 * static_cast<int>(table.size()), name));
    const std::vector<HighScore> mine = {entry(55, "NEW"), entry(100, "A"), entry(5, "LOW")};
    EXPECT_TRUE(mergeHighScores(table, mine));
    // An equal row in the file is another game of the same day, whoever wrote it.
    EXPECT_EQ("A A B C D E NEW F G H ", names(table));
    EXPECT_EQ(1, findHighScore(table, entry(100, "A")));
    EXPECT_EQ(-1, findHighScore(table, entry(5, "LOW")));
    EXPECT_FALSE(mergeHighScores(table, {entry(5, "LOW")}));
}

TEST(HighScoreTable, TheNameComesFromThePasswordEntryAsTheFontCanShowIt) {
    EXPECT_EQ("Jane Doe", nameFromPasswordEntry(" Jane Doe ,Room 12,,", "jdoe"));
    EXPECT_EQ("jdoe", nameFromPasswordEntry(",Room 12", "jdoe"));
    EXPECT_EQ("PLAYER", nameFromPasswordEntry("", ""));
    EXPECT_EQ("PLAYER", nameFromPasswordEntry(nullptr, nullptr));
    const CanDraw upperHalf = [](unsigned char code) { return code >= 32 && code < 96; };
    EXPECT_EQ("JANE DOE", fitName("Jane Doe", upperHalf));
    // Each UTF-8 sequence is one character; a cut-short sequence and a tab become "?" too.
    EXPECT_EQ("ZO? ?NGSTR?M", fitName("Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m-Lee", upperHalf));
    EXPECT_EQ("A?B?", fitName("a\tb~", upperHalf));
    EXPECT_EQ("X?", fitName("x\xE2\x82", upperHalf));
    EXPECT_EQ("?B?", fitName("\xE2\x82"
                             "b\xC3",
                             upperHalf));
    EXPECT_EQ("PLAYER", fitName("", upperHalf));
}

class HighScoreFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pentavel::openLog()); }
    std::string log() { return folder.logText(); }

    test::TempDir programFolder;
    test::MountedFolder folder{programFolder.path()};
};

TEST_F(HighScoreFileTest, ADamagedFileIsKeptAsBadAndTheTableStartsEmpty) {
    for (const std::string damaged : {"<highscores><entry score=\"5\"", "<settings><entry /></settings>"}) {
        folder.write("highscores.xml", damaged);
        const HighScoreFile file = loadHighScores("highscores.xml");
        EXPECT_TRUE(file.entries.empty());
        EXPECT_TRUE(file.writable);
        EXPECT_EQ(damaged, folder.read("highscores.xml.bad"));
        ASSERT_TRUE(saveHighScores({entry(40, "NEW")}, "highscores.xml"));
        EXPECT_EQ(1u, loadHighScores("highscores.xml").entries.size());
        EXPECT_EQ(damaged, folder.read("highscores.xml.bad"));
    }
    EXPECT_EQ(2u, count(log(), "...highscores.xml could not be read, it is kept as highscores.xml.bad"));
}

TEST_F(HighScoreFileTest, EntriesWithImpossibleValuesAreDroppedAndTheRestKeptInOrder) {
    const std::string valid = " level=\"2\" date=\"2026-05-06\" name=\"";
    folder.write("highscores.xml",
                 "<highscores>\n<entry score=\"10\"" + valid + "LOW\" />\n<entry score=\"-5\"" + valid +
                     "NEG\" />\n<entry score=\"30\" level=\"0\" date=\"2026-05-06\" name=\"L0\" />\n"
                     "<entry score=\"12abc\"" +
                     valid + "TXT\" />\n<entry score=\"20\"" + valid +
                     "\" />\n"
                     "<entry score=\"20\" level=\"2\" date=\"2026-13-01\" name=\"MON\" />\n"
                     "<entry level=\"2\" date=\"2026-05-06\" name=\"NOSCORE\" />\n"
                     "<entry score=\"99\"" +
                     valid + "HIGH\" />\n</highscores>\n");
    const HighScoreFile file = loadHighScores("highscores.xml");
    EXPECT_EQ("HIGH LOW ", names(file.entries));
    EXPECT_FALSE(folder.exists("highscores.xml.bad"));
    const std::string text = log();
    EXPECT_EQ(6u, count(text, "is incomplete or impossible, it is dropped"));
    EXPECT_NE(std::string::npos, text.find("...highscores.xml: entry 2 is incomplete or impossible"));
}

TEST_F(HighScoreFileTest, OnlyThePlayersOwnFileCounts) {
    programFolder.write("highscores.xml",
                        "<highscores><entry score=\"7\" level=\"1\" date=\"2026-01-01\" "
                        "name=\"SHIPPED\" /></highscores>");
    EXPECT_TRUE(loadHighScores("highscores.xml").entries.empty());
    programFolder.write("highscores.xml", "not a table");
    EXPECT_TRUE(loadHighScores("highscores.xml").entries.empty());
    EXPECT_FALSE(folder.exists("highscores.xml.bad"));
    EXPECT_FALSE(programFolder.exists("highscores.xml.bad"));
}

TEST_F(HighScoreFileTest, ADamagedFileThatCannotBeKeptIsNeverOverwritten) {
    folder.write("highscores.xml", "<highscores");
    folder.write("highscores.xml.bad/blocker", "a folder where the copy would go");
    HighScoreBoard board;
    board.open(
        nullptr, [](unsigned char) { return true; }, "highscores.xml");
    board.offer(500, 3, false, true);
    EXPECT_EQ(0, board.newEntry());
    EXPECT_EQ("<highscores", folder.read("highscores.xml"));
    EXPECT_NE(std::string::npos,
              log().find("Cannot keep a copy of highscores.xml, it will not be overwritten!"));
}

TEST_F(HighScoreFileTest, TwoCopiesSharingTheFolderKeepEachOthersEntries) {
    const CanDraw anything = [](unsigned char) { return true; };
    HighScoreBoard first;
    HighScoreBoard second;
    first.open(nullptr, anything, "highscores.xml");
    second.open(nullptr, anything, "highscores.xml");
    second.lockWaitMilliseconds = 0;
    second.offer(890, 2, false, true);
    // The same game in the other copy on the same day (same points, level, name) is another game.
    first.offer(890, 2, false, true);
    EXPECT_EQ(1, first.newEntry());
    EXPECT_EQ(2u, loadHighScores("highscores.xml").entries.size());
    first.offer(3050, 4, false, true);
    EXPECT_EQ(0, first.newEntry());
    EXPECT_TRUE(first.newEntrySaved());
    EXPECT_EQ(3u, first.entries().size());  // what the board shows is the merged table
    EXPECT_EQ(3u, loadHighScores("highscores.xml").entries.size());
    {
        // Another copy holds the folder: this one keeps its entry and shows it unsaved.
        const pentavel::file::WriteDirectoryLock other(0);
        ASSERT_TRUE(other.held());
        second.offer(1000, 3, false, true);
        EXPECT_FALSE(second.newEntrySaved());
        EXPECT_EQ(0, second.newEntry());
    }
    EXPECT_EQ(3u, loadHighScores("highscores.xml").entries.size());
    second.offer(0, 1, false, false);  // a game left without points does not enter, but the wait is over
    EXPECT_TRUE(second.newEntrySaved());
    const std::vector<HighScore> saved = loadHighScores("highscores.xml").entries;
    ASSERT_EQ(4u, saved.size());
    EXPECT_EQ(3050, saved[0].score);
    EXPECT_EQ(1000, saved[1].score);
    EXPECT_EQ(890, saved[3].score);
    EXPECT_EQ(1u, count(log(), "...highscores.xml is being written by another copy of the game"));
}

TEST_F(HighScoreFileTest, AnEntryNotSavedAtGameOverIsSavedAtQuitOrToldLost) {
    const CanDraw anything = [](unsigned char) { return true; };
    HighScoreBoard board;
    board.open(nullptr, anything, "highscores.xml");
    board.lockWaitMilliseconds = 0;
    {
        const pentavel::file::WriteDirectoryLock other(0);
        board.offer(400, 2, false, true);
        EXPECT_FALSE(board.newEntrySaved());
    }
    board.saveBeforeQuit();  // the other copy let go
    EXPECT_EQ(1u, loadHighScores("highscores.xml").entries.size());
    {
        const pentavel::file::WriteDirectoryLock other(0);
        board.offer(300, 1, false, true);
        board.saveBeforeQuit();
    }
    board.saveBeforeQuit();  // told once, not tried again
    EXPECT_EQ(1u, loadHighScores("highscores.xml").entries.size());
    // With nothing waiting, the quit does not even read the file (which another program damaged).
    folder.write("highscores.xml", "<highscores");
    board.saveBeforeQuit();
    EXPECT_FALSE(folder.exists("highscores.xml.bad"));
    EXPECT_EQ(1u, count(log(), "The high-score entry of " + board.playerName() +
                                   " (300 points, level 1) could not be saved and is lost!"));
}

// Set names of 200 to 250 bytes, characters of two and four bytes where a long one is cut: every table's
// name keeps whole characters and fits beside its temporary and its copy kept aside; names alike but for
// their last character keep tables apart; a save that fails says why.
TEST_F(HighScoreFileTest, EveryTableNameFitsAndLongNamesStayApart) {
    std::string two;
    std::string four;
    for (int index = 0; index < 120; ++index)
        two += "\xC3\xA9";
    for (int index = 0; index < 62; ++index)
        four += "\xF0\x9F\x8E\xB2";
    const std::string names[] = {
        two.substr(0, 200), two.substr(0, 230),      std::string(236, 'a'), std::string(237, 'a'), two,
        four + "xx",        two.substr(0, 238) + "b"};
    // How many bytes of "highscores-<name>" each table's name keeps (0: the whole name).
    const std::size_t kept[] = {0, 0, 0, 230, 229, 227, 229};
    std::vector<std::string> tables;
    for (std::size_t index = 0; index < 7; ++index) {
        const std::string whole = "highscores-" + names[index] + ".xml";
        const std::size_t cut = kept[index];
        tables.push_back(highScoreFileOfSetName(names[index]));
        EXPECT_EQ(cut == 0 ? whole : whole.substr(0, cut) + "~",
                  tables.back().substr(0, cut ? cut + 1 : 255));
        EXPECT_EQ(cut == 0 ? whole.size() : cut + 21, tables.back().size());
        ASSERT_TRUE(saveHighScores({entry(40, "LONG")}, tables.back().c_str()));
        EXPECT_EQ(1u, loadHighScores(tables.back().c_str()).entries.size());
    }
    EXPECT_EQ("~565564aa990ccd15.xml", tables[4].substr(229));  // FNV-1a, 64 bits, of "highscores-<name>"
    EXPECT_NE(tables[4], tables[6]);
    folder.write(tables[5], "<highscores");
    EXPECT_TRUE(loadHighScores(tables[5].c_str()).writable);
    folder.write(tables[5] + ".new/blocker", "a folder where the new file would go");
    EXPECT_FALSE(saveHighScores({entry(1, "NEW")}, tables[5].c_str()));
    EXPECT_NE(std::string::npos, log().find("..." + tables[5] + " could not be written (not a file)"));
}

class HighScoreGameTest : public test::GameTest {
protected:
    void SetUp() override { startWith(test::mapWith(3, "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I")); }
    void loseEveryBall() {
        game->spareBalls.lives = 0;
        game->balls.clear();
        step();
    }
    std::size_t entriesInFile() { return count(folder.read("highscores.xml"), "<entry "); }
};

TEST_F(HighScoreGameTest, CheatedGamesNeverEnterAndAGameLeftEarlyNeedsPoints) {
    game->score = 500;
    press(282);  // F1 leaves a game with points: it enters
    ASSERT_EQ(1u, entriesInFile());
    press(290);  // F9 is a cheat key
    game->score = 900;
    loseEveryBall();
    EXPECT_TRUE(game->highScores.shown());
    EXPECT_EQ(-1, game->highScores.newEntry());
    press(282);
    EXPECT_FALSE(game->highScores.shown());
    press(282);  // no points yet: leaving does not enter
    EXPECT_EQ(1u, entriesInFile());
    loseEveryBall();  // the end of a game without points still does, below the older game
    EXPECT_EQ(1, game->highScores.newEntry());
    EXPECT_EQ(2u, entriesInFile());
    press(291);  // reviving after the end is a cheat, and the game was offered already
    game->score = 2000;
    loseEveryBall();
    press(282);
    EXPECT_EQ(2u, entriesInFile());
}

// A game started past level 1, or in a run of practice, is practice: neither its end nor leaving it enters
// the table.
TEST_F(HighScoreGameTest, PracticeFromALaterLevelNeverEnters) {
    game->recording = true;
    game->levelSet.name = "Mine";
    game->startingLevel = 3;
    press(282);
    EXPECT_EQ(3u, game->levelNumber);
    game->score = 500;
    loseEveryBall();
    EXPECT_TRUE(game->highScores.shown());
    EXPECT_EQ(-1, game->highScores.newEntry());
    // Above the notice: whose table it is, and that this game did not enter it.
    const pentavel::graphics::TextLabel& caption = game->highScores.caption();
    const pentavel::graphics::TextLabel& note = game->highScores.note();
    EXPECT_EQ("Mine TABLE - F3 CHOOSES ANOTHER SET", caption.text());
    EXPECT_EQ("PRACTICE FROM LEVEL 3: NOT ENTERED", note.text());
    EXPECT_TRUE(caption.visible() && note.visible());
    // In the first row's place: below GAME OVER, with a line's room for the table's heading between.
    const pentavel::graphics::TextLabel& empty = game->highScores.emptyLine();
    drawn();
    const pentavel::graphics::TextLabel& state = game->hud.stateLabel;
    EXPECT_EQ("PRACTICE GAMES ENTER NO TABLE", empty.text());
    EXPECT_TRUE(empty.visible());
    EXPECT_FLOAT_EQ(0.0f, empty.x());
    EXPECT_LT(empty.y() + empty.height() * 1.5f, state.y() - state.height() * 0.5f);
    EXPECT_FLOAT_EQ(0.0f, caption.x());
    EXPECT_GT(caption.y(), 0.05f);
    EXPECT_GT(note.y(), caption.y());
    press(282);  // F1 starts practice again; left with points, it still enters nothing
    game->score = 600;
    game->startingLevel = 1;
    press(282);
    EXPECT_FALSE(folder.exists("highscores.xml"));
    EXPECT_FALSE(game->highScores.caption().visible() || game->highScores.note().visible() ||
                 empty.visible());
    game->score = 700;
    loseEveryBall();
    EXPECT_EQ(1u, entriesInFile());
    EXPECT_TRUE(game->highScores.caption().visible());
    EXPECT_FALSE(game->highScores.note().visible() || game->highScores.emptyLine().visible());
    // Every game is practice, from level 1 too, in a run the level editor started (--practice).
    game->onlyPractice = true;
    press(282);
    game->score = 800;
    loseEveryBall();
    EXPECT_EQ(1u, entriesInFile());
    EXPECT_EQ("PRACTICE FROM LEVEL 1: NOT ENTERED", game->highScores.note().text());
    // Practice keeps its replays, but not in a run of practice, which plays a file of the moment.
    EXPECT_TRUE(folder.exists("replays/game-3.tzr"));
    EXPECT_FALSE(folder.exists("replays/game-4.tzr"));
}

// Every game that ends with points or at "GAME OVER" keeps a replay, which an entry refers to when it enters;
// the last ten games and every replay a table (or an entry waiting for it) refers to stay, the player's own
// files too.
TEST_F(HighScoreGameTest, GamesKeepReplaysTheLastTenAndThoseOfEntries) {
    game->recording = true;
    game->highScores.lockWaitMilliseconds = 0;
    game->levelSet = outsideSet("sets/mine.xml");  // found again by its whole path
    folder.write("replays/game-01.tzr", "the player's");
    // A table kept aside as damaged still holds on to its replays; a file that is no table does not.
    folder.write("replays/game-3.tzr", "");
    folder.write("replays/game-4.tzr", "");
    folder.write("highscores-Broken.xml.bad", "<highscores><entry replay=\"game-3.tzr\"");
    folder.write("highscores-Other.xml",
                 "<highscores><entry score=\"5\" level=\"1\" date=\"2026-01-01\" "
                 "name=\"X\" replay=\"game-4.tzr\" /></highscores>");
    folder.write("other.xml", "<entry replay=\"game-8.tzr\" />");
    press(282);  // left without points: no replay
    game->score = 1;
    step(3);
    press(282);
    ASSERT_EQ(1u, entriesInFile());
    EXPECT_EQ("game-5.tzr", loadHighScores("highscores.xml").entries[0].replay);
    Replay replay;
    std::string reason;
    ASSERT_TRUE(readReplay(folder.read("replays/game-5.tzr"), replay, reason)) << reason;
    EXPECT_EQ(1, replay.claim.score);
    EXPECT_EQ(3u, replay.record.steps);
    EXPECT_EQ((std::filesystem::current_path() / "sets/mine.xml").string(), replay.setName);
    EXPECT_EQ(levelSetDigest(game->levelDocument), replay.setDigest);
    EXPECT_EQ(game->highScores.playerName() + " " + todaysDate(), replay.player + " " + replay.date);
    {
        const pentavel::file::WriteDirectoryLock other(0);  // the next entry waits for its table
        game->score = 900;
        loseEveryBall();
        for (int games = 7; games <= 19; ++games) {
            press(282);
            press(290);  // cheated: kept among the last games, in no table
            loseEveryBall();
        }
    }
    for (const char* gone : {"game-7.tzr", "game-8.tzr", "game-9.tzr"})
        EXPECT_FALSE(folder.exists(std::string("replays/") + gone)) << gone;
    for (const char* kept : {"game-3.tzr", "game-4.tzr", "game-5.tzr", "game-6.tzr", "game-10.tzr",
                             "game-19.tzr", "game-01.tzr"})
        EXPECT_TRUE(folder.exists(std::string("replays/") + kept)) << kept;
    // A folder that cannot be written loses the replays, never the entries, and says so once.
    std::filesystem::remove_all(folder.path() + "/replays");
    folder.write("replays", "in the way");
    for (const std::int32_t score : {700, 800}) {
        press(282);
        game->score = score;
        loseEveryBall();
    }
    const std::vector<HighScore> later = loadHighScores("highscores.xml").entries;
    ASSERT_EQ(4u, later.size());
    EXPECT_EQ("game-6.tzr", later[0].replay + later[1].replay + later[2].replay);
    EXPECT_EQ(1u, count(log(), "The replay of the game could not be saved in replays (File exists)"));
    const test::TempDir empty;
    {
        const test::DiskFullPast full(4);  // a full disk is no name taken: nothing further is tried
        EXPECT_EQ("", keepReplay(empty.path(), std::string(100, 'x'), {}, reason));
    }
    EXPECT_FALSE(empty.exists("game-1.tzr") || empty.exists("game-2.tzr"));
    EXPECT_TRUE(isReplayName("game-102030405.tzr"));
    for (const char* name : {"game-0.tzr", "game-.tzr", "game-1x.tzr", "game-1234567890.tzr", "game-1.tz"})
        EXPECT_FALSE(isReplayName(name)) << name;
}

// A new name is one that neither a file nor a table holds: the number after the highest of them, and once
// the last number is taken, the lowest free one.
TEST(ReplayStore, NamesSkipEveryNumberInUseAndNeverRunOut) {
    const test::TempDir folder;
    folder.write("game-20.tzr", "");
    const std::set<std::string> tables = {"game-1.tzr", "game-3.tzr", "game-x.tzr"};
    std::string reason;
    EXPECT_EQ("game-21.tzr", keepReplay(folder.path(), "", tables, reason));
    folder.write("game-999999999.tzr", "");
    for (const char* name : {"game-2.tzr", "game-4.tzr", "game-5.tzr"})
        EXPECT_EQ(name, keepReplay(folder.path(), "", tables, reason));
    // Two copies at once: a name the other took meanwhile is passed over, and no replay is lost. (The child
    // ends as a program does: the mutation check's trace is written at exit.)
    std::fflush(nullptr);
    const pid_t child = fork();
    for (int game = 0; game < 40 && child >= 0; ++game)
        keepReplay(folder.path(), "", tables, reason);
    if (child == 0)
        std::exit(0);
    waitpid(child, nullptr, 0);
    const auto files = std::filesystem::directory_iterator(folder.path());
    EXPECT_EQ(86, std::distance(std::filesystem::begin(files), std::filesystem::end(files)));
}

// The last games are the last written, whatever their numbers; a temporary of a writer killed midway goes
// once it is older than any write takes, and no other file.
TEST(ReplayStore, PruningKeepsTheLastWrittenAndRemovesStaleTemporaries) {
    const test::TempDir folder;
    const auto now = std::filesystem::file_time_type::clock::now();
    std::set<std::string> kept = {"game-999999991.tzr"};  // a table's
    auto write = [&](const std::string& name, std::chrono::seconds age, bool stays) {
        std::filesystem::last_write_time(folder.write(name, ""), now - age);
        if (stays)
            kept.insert(name);
    };
    // Ten games up to the last number (two in the same tick: the higher number is the later), then three
    // with the lowest free ones.
    for (int at = 0; at < 10; ++at)
        write("game-" + std::to_string(999999990 + at) + ".tzr",
              std::chrono::seconds(at == 2 ? 97 : 100 - at), at >= 3);
    for (int number = 1; number <= 3; ++number)
        write("game-" + std::to_string(number) + ".tzr", std::chrono::seconds(50 - number), true);
    const auto old = std::chrono::hours(2);
    write("game-4.tzr.4194305.new", old, false);  // a temporary of a writer killed midway
    write("game-5.tzr.4194305.new", std::chrono::seconds(300), true);
    for (const char* other : {"notes.41.new", "game-08.tzr.41.new", "game-9.tzr.041.new"})
        write(other, old, true);
    pruneReplays(folder.path(), {"game-999999991.tzr"});
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(kept, left);
}

// A clock set ahead once makes old replays look the last games: the game just ended keeps its own.
TEST_F(HighScoreGameTest, TheReplayOfTheGameJustEndedStaysThoughTheClockWentBack) {
    game->recording = true;
    const auto ahead = std::filesystem::file_time_type::clock::now() + std::chrono::hours(24);
    for (int number = 1; number <= 10; ++number)
        std::filesystem::last_write_time(folder.write("replays/game-" + std::to_string(number) + ".tzr", ""),
                                         ahead);
    press(282);
    press(290);  // cheated: in no table
    loseEveryBall();
    EXPECT_TRUE(folder.exists("replays/game-11.tzr"));
}

// The step that loses the last ball only reports the game over: the step writes nothing, and the game ends
// after the whole step, so that the replay claims what the step left, a spare ball caught in it too.
TEST_F(HighScoreGameTest, TheGameEndsAfterTheStepThatLostItsLastBall) {
    game->recording = true;
    press(282);
    game->score = 700;
    game->spareBalls.lives = 0;
    game->balls.clear();
    dropPowerUp(game->powerUps, PowerUpKind::White, game->paddle.x, game->paddle.y);
    step();
    EXPECT_TRUE(game->highScores.shown());
    // Dark and see-through over the field, from above the caption to below the last row.
    const pentavel::graphics::Sprite& backdrop = game->highScores.backdrop();
    EXPECT_TRUE(backdrop.visible());
    EXPECT_GT(backdrop.depth(), game->highScores.caption().depth());
    EXPECT_NE(0, backdrop.sprite());
    EXPECT_EQ(0.0f, backdrop.colour().red);
    EXPECT_LT(backdrop.colour().alpha, 1.0f);
    EXPECT_GT(backdrop.y() + std::fabs(backdrop.height()) / 2.0f, game->highScores.caption().y());
    EXPECT_GT(backdrop.width(), 1.9f);
    EXPECT_EQ(1u, entriesInFile());
    Replay replay;
    std::string reason;
    ASSERT_TRUE(readReplay(folder.read("replays/game-1.tzr"), replay, reason)) << reason;
    EXPECT_EQ(1u, replay.claim.balls);
    EXPECT_TRUE(replay.claim == resultOf(*game));

    press(282);
    game->score = 300;
    game->spareBalls.lives = 0;
    game->balls.clear();
    updateGame(*game, pentavel::kStepSeconds);
    EXPECT_TRUE(game->events.gameOver);
    EXPECT_FALSE(game->highScores.shown());
    EXPECT_FALSE(game->highScores.backdrop().visible());
    EXPECT_FALSE(folder.exists("replays/game-2.tzr"));
    step();
    EXPECT_FALSE(game->events.gameOver);
    EXPECT_TRUE(game->highScores.shown());
    EXPECT_TRUE(folder.exists("replays/game-2.tzr"));
    EXPECT_EQ(2u, entriesInFile());
}

// Only the game of the entry plays under its name: another player, day, score or level is another game.
TEST(ReplayStore, AReplayIsRefusedForAnyEntryButItsOwn) {
    const Replay replay{kRulesVersion, "", 0, "GOLDEN", "2026-03-04", GameRecord(), GameResult{19630, 7, 2}};
    EXPECT_EQ("", entryRefusal(replay, HighScore{19630, 7, "2026-03-04", "GOLDEN", "game-1.tzr"}));
    for (const HighScore& other :
         {HighScore{19630, 7, "2026-03-04", "ROOT", ""}, HighScore{19630, 7, "2026-03-05", "GOLDEN", ""},
          HighScore{30, 7, "2026-03-04", "GOLDEN", ""}, HighScore{19630, 1, "2026-03-04", "GOLDEN", ""}})
        EXPECT_EQ("it is the replay of another game", entryRefusal(replay, other))
            << other.name << other.level;
}

// A level author's trial game neither reads nor writes the table: a damaged file stays as it is, unread.
TEST_F(HighScoreGameTest, ATrialGameNeverTouchesTheTable) {
    folder.write("highscores.xml", "<highscores");
    for (int number = 1; number <= 11; ++number)
        folder.write("replays/game-" + std::to_string(number) + ".tzr", "");
    game = makeTrialGame(test::level(test::mapWith(3, "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I")));
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(14, game->bricksLeft);
    game->score = 900;
    loseEveryBall();
    EXPECT_FALSE(game->highScores.shown());
    press(282);
    EXPECT_EQ("<highscores", folder.read("highscores.xml"));
    EXPECT_FALSE(folder.exists("highscores.xml.bad"));
    EXPECT_TRUE(folder.exists("replays/game-1.tzr"));  // nor keeps or removes replays
    EXPECT_FALSE(folder.exists("replays/game-12.tzr"));
}

}  // namespace
