// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The shelf of level sets: which files are sets and in what order, their names and tables, what reading
// each one finds, the line --list-levels prints, the game's command line, and the banner's place.

#include "game/records/shelf.h"

#include <gtest/gtest.h>
#include <physfs.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>

#include "engine/core/engine_signals.h"
#include "engine/core/timer.h"
#include "engine/file/file_system.h"
#include "engine/file/write_directory_lock.h"
#include "file/environment_guard.h"
#include "game/command_line.h"
#include "game/display/hud.h"
#include "game/display/level_banner.h"
#include "game/display/shelf_view.h"
#include "game/game.h"
#include "game/play/game_end.h"
#include "game/play/game_step.h"
#include "game/play/level_build.h"
#include "game/records/high_score_file.h"
#include "game/records/proof_record.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;
using pentavel::graphics::TextLabel;

std::string names(const std::vector<ShelfSet>& sets) {
    std::string text;
    for (const ShelfSet& set : sets)
        text += set.name + (set.problem.empty() ? "" : "!") + "|";
    return text;
}

// What reading a set found: its levels, those proven and the best score.
std::string numbers(const ShelfSet& set) {
    return std::to_string(set.levels) + " " + std::to_string(set.proven) + " " + std::to_string(set.best);
}

TEST(Shelf, SetsAreTheXmlFilesInNameOrderAfterTezmolasOwnAndThePlayersFile) {
    const std::string longName(200, 'x');
    const std::vector<ShelfEntry> entries = {
        {"b set.xml"},        {"A.xml"},       {"Arcade.xml.bak"}, {"notes.txt"},
        {"folder.xml", true}, {".hidden.xml"}, {"Tezmola.xml"},    {longName + ".xml"},
        {"\xdcml.xml"},       {"a.xml"},       {".xml"},           {"c\\d.xml"}};
    const std::vector<ShelfSet> sets = arrangeShelf(entries, true);
    EXPECT_EQ("Tezmola|level.xml|.hidden!|A|a|b set|c\\d!|folder!|Tezmola!|" + longName + "|\xdcml|",
              names(sets));
    // What the importer writes under a set's name is what the game lists under that name.
    EXPECT_EQ(shelfFileOfSet("b set"), sets[5].file);
    EXPECT_EQ("highscores.xml", highScoreFileOfSet(sets[0]));
    EXPECT_EQ("highscores-b set.xml", highScoreFileOfSet(sets[5]));
    EXPECT_EQ("it is a folder", sets[7].problem);
    EXPECT_EQ("Tezmola|A|", names(arrangeShelf({{"A.xml"}}, false)));
    EXPECT_EQ(1, findSet(sets, "level.xml"));
}

TEST(Shelf, TheListingNamesEachFileByOnePathAndABadSetByItsReason) {
    ShelfSet set = outsideSet("some/where/Mine.xml");
    EXPECT_EQ("Mine", set.name);
    set.levels = 12;
    set.proven = 11;
    EXPECT_EQ("Mine\t12\t11\tsome/where/Mine.xml", shelfListingLine(set, "/home/u/", "/x/tezmola.pak"));
    ShelfSet shelved = arrangeShelf({{"Arc ade.xml"}}, false)[1];
    shelved.problem = "it holds no level";
    EXPECT_EQ("Arc ade\t-\t-\t/home/u/My Games/Tezmola/levels/Arc ade.xml\tit holds no level",
              shelfListingLine(shelved, "/home/u/My Games/Tezmola/", "/x/tezmola.pak"));
    ShelfSet own = arrangeShelf({}, false)[0];
    own.levels = own.proven = 32;
    EXPECT_EQ("Tezmola\t32\t32\t/usr/lib/games/tezmola/tezmola.pak",
              shelfListingLine(own, "/home/u", "/usr/lib/games/tezmola//tezmola.pak"));
}

TEST(Shelf, ASetIsWrittenOnlyUnderANameWhoseFileAndBackupsFit) {
    // 242 bytes with ".xml" and ".bak.1000" make 255: the longest name a file and its backups take.
    const std::string longest = std::string(240, 'x') + "\xc3\xa9";
    EXPECT_EQ("", shelfWriteProblem(longest));
    EXPECT_EQ("", shelfNameProblem(longest + "y"));  // a file of such a name still reads
    EXPECT_EQ("its name is longer than 242 bytes", shelfWriteProblem(longest + "y"));
    EXPECT_EQ("its name starts with a dot", shelfWriteProblem(".x"));
    EXPECT_EQ("Tezmola's own levels have that name", shelfWriteProblem("Tezmola"));
}

TEST(Shelf, TheLineOfASetShowsItsNumbersOrWhyItCannotBePlayed) {
    ShelfSet set;
    set.name = std::string(30, 'n');
    EXPECT_EQ(set.name, shelfLine(set)[0]);
    set.name = std::string(40, 'n');
    EXPECT_EQ((std::array<std::string, 4>{std::string(27, 'n') + "...", "...", "...", "..."}),
              shelfLine(set));
    set.read = true;
    set.levels = 20;
    set.proven = 19;
    EXPECT_EQ((std::array<std::string, 4>{std::string(27, 'n') + "...", "20", "19", "-"}), shelfLine(set));
    set.best = 0;
    EXPECT_EQ("0", shelfLine(set)[3]);
    set.problem = "it is a folder";
    EXPECT_EQ("BAD", shelfLine(set)[1]);
    EXPECT_EQ("", shelfLine(set)[3]);
}

std::string levelFile(int count, int proven) {
    std::string text = "<?xml version=\"1.0\"?>\n";
    for (int index = 0; index < count; ++index)
        text += std::string("<level") + (index < proven ? " proven=\"yes\"" : "") + " title=\"T\">" +
                "<tezm>+.--I.R1</tezm><background sprite=\"bg\" red=\"1\" green=\"1\" blue=\"1\"/></level>\n";
    return text;
}

class ShelfFolderTest : public ::testing::Test {
protected:
    test::TempDir game;  // the game's own folder, beneath the player's
    std::unique_ptr<test::MountedFolder> folder;
    void SetUp() override {
        test::scanGameSheet();
        game.write("level.xml", levelFile(3, 0));
        folder = std::make_unique<test::MountedFolder>(game.path());
    }
};

TEST_F(ShelfFolderTest, EachSetIsReadForItsLevelsProofAndBestScoreAndABadOneSaysWhy) {
    folder->write("level.xml", levelFile(1, 1));
    folder->write("levels/good one.xml", levelFile(4, 3));
    folder->write(
        "highscores-good one.xml",
        "<highscores><entry score=\"700\" level=\"2\" date=\"2026-01-01\" name=\"A\"/></highscores>");
    folder->write("levels/damaged.xml", "<level><tezm>");
    folder->write("levels/empty.xml", "<?xml version=\"1.0\"?><other/>");
    folder->write("levels/folder.xml/inside", "x");
    folder->write("levels/old.xml.bak", levelFile(1, 0));
    Shelf shelf;
    int reads = 0;
    while (shelf.readAhead())
        ++reads;
    EXPECT_EQ(5, reads);  // the folder needs no reading
    const std::vector<ShelfSet>& sets = shelf.sets();
    ASSERT_EQ("Tezmola|level.xml|damaged!|empty!|folder!|good one|", names(sets));
    // The game's own file, though the player's folder holds one of that name, and the player's after it.
    EXPECT_EQ("3 3 -1", numbers(sets[0]));
    EXPECT_EQ("1 1 -1", numbers(sets[1]));
    EXPECT_EQ(0u, sets[2].problem.find("it is not well-formed"));
    EXPECT_EQ("it holds no level", sets[3].problem);
    EXPECT_EQ("4 3 700", numbers(sets[5]));
    // Reading the game's own file put the player's folder back at the head of the search path.
    TiXmlDocument document;
    std::string reason;
    ASSERT_TRUE(readSet(sets[1], document, reason));
    EXPECT_EQ(1, countLevels(document));
    // Nothing was written: no copy of a damaged file, no table.
    EXPECT_FALSE(folder->exists("levels/damaged.xml.bad"));
    EXPECT_FALSE(folder->exists("highscores.xml"));
    // A set gone since it was listed cannot be played, and says so.
    std::remove((folder->path() + "/levels/good one.xml").c_str());
    EXPECT_FALSE(readSet(sets[5], document, reason));
    EXPECT_EQ("it cannot be read", reason);
    // A file named on the command line says why it cannot be played: a folder, no file to open (a
    // socket), a pipe or a device (refused without waiting for a writer or reading on), a read that fails
    // midway (memory the system will not give), never a crash.
    const int socketDescriptor = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const std::string socketPath = folder->path() + "/socket.xml";
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(0, bind(socketDescriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address));
    const std::string pipePath = folder->path() + "/pipe.xml";
    ASSERT_EQ(0, mkfifo(pipePath.c_str(), 0600));
    for (const auto& [path, why] :
         {std::pair<std::string, std::string>{folder->path() + "/levels", "it is a folder"},
          {socketPath, "it cannot be opened"},
          {pipePath, "it is not a regular file"},
          {"/dev/zero", "it is not a regular file"},
          {"/proc/self/mem", "it cannot be read"}}) {
        EXPECT_FALSE(readSet(outsideSet(path), document, reason)) << path;
        EXPECT_EQ(why, reason) << path;
    }
    close(socketDescriptor);
    shelf.refresh();
    EXPECT_EQ("Tezmola|level.xml|damaged!|empty!|folder!|", names(shelf.sets()));
    EXPECT_FALSE(shelf.readAhead());  // what was read stays read
    // A file changed since it was read is read again, and what it holds now counts.
    folder->write("levels/damaged.xml", levelFile(2, 1));
    const std::string file = folder->path() + "/levels/damaged.xml";
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) + std::chrono::hours(1));
    shelf.refresh();
    EXPECT_TRUE(shelf.readAhead());
    EXPECT_EQ("", shelf.sets()[2].problem);
    EXPECT_EQ("2 1 -1", numbers(shelf.sets()[2]));
    summariseSet(shelf.sets()[2]);  // read twice, counted once
    EXPECT_EQ("2 1 -1", numbers(shelf.sets()[2]));
    EXPECT_FALSE(shelf.readAhead());
}

// The importer's mark proves a level, and so does a record kept with it (the editor's, the checker's) while
// it is current for the level's bricks, background and tint and names a clearance.
TEST_F(ShelfFolderTest, ALevelIsProvenByItsMarkOrByACurrentRecordOfAClearance) {
    std::vector<LevelDraft> levels(7);
    for (std::size_t index = 0; index < levels.size(); ++index)
        levels[index].map[2][1 + index] = {'R', '1'};
    const LevelDraft proven = levels[1];
    levels[1].map[5][5] = {'B', '2'};  // changed since
    levels[2].proven = levels[5].proven = true;
    const auto record = [](const LevelDraft& level, const char* result) {
        return proofRecordText(ProofRecord{levelContent(level), result});
    };
    const char* cleared = "cleared in 12.5 s simulated with 0 balls lost";
    folder->write("levels/edited.xml",
                  writeLevelSet(levels, {record(levels[0], cleared), record(proven, cleared), "",
                                         record(levels[3], "not proven: every ball was lost"), "",
                                         record(levels[5], cleared), record(levels[6], cleared)}));
    ShelfSet set = listShelf().back();
    summariseSet(set);
    EXPECT_EQ("edited 7 4 -1", set.name + " " + numbers(set));
}

TEST_F(ShelfFolderTest, AShelfOf120SetsOpensWithinFiftyMilliseconds) {
    const std::string set = levelFile(20, 20);
    for (int index = 0; index < 120; ++index)
        folder->write("levels/set " + std::to_string(index) + ".xml", set);
    Shelf shelf;
    while (shelf.readAhead()) {
    }
    pentavel::graphics::GlyphTable glyphs = {};
    buildGlyphTable(glyphs);
    ShelfView view;
    view.setUp(glyphs);
    const auto start = std::chrono::steady_clock::now();
    shelf.refresh();
    view.open(&shelf.sets(), 0);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(50));
    // Where the view stands: the set chosen, the first line shown, the level to start at.
    const auto place = [&view] {
        return std::to_string(view.chosen()) + " " + std::to_string(view.top()) + " " +
               std::to_string(view.startingLevel());
    };
    view.onKey(281);  // Page Down: the line just below the last shown scrolls into sight
    EXPECT_EQ("20 1 1", place());
    EXPECT_EQ("2-21 OF 121", view.positionLine().text());
    // The list scrolls to keep the choice in sight, at both ends (20 lines shown).
    view.onKey(279);  // End
    EXPECT_EQ("120 101 1", place());
    EXPECT_EQ("102-121 OF 121", view.positionLine().text());
    view.onKey(281);  // Page Down stops at the last
    EXPECT_EQ("120 101 1", place());
    view.onButton(3, 0.0f, 0.0f);  // the wheel up
    EXPECT_EQ("119 101 1", place());
    view.onKey(278);  // Home
    EXPECT_EQ("0 0 1", place());
    // The starting level stays within the chosen set's levels; another set starts at level 1.
    view.onKey(274);
    for (int press = 0; press < 25; ++press)
        view.onKey(275);
    EXPECT_EQ("1 0 20", place());
    view.onKey(276);
    EXPECT_EQ("1 0 19", place());
    view.onKey('t');  // a letter: the first set, Tezmola's own, round from the set chosen
    EXPECT_EQ("0 0 1", place());
    view.onKey('s');
    view.onKey(275);
    EXPECT_EQ("1 0 2", place());
    view.onKey(273);
    EXPECT_EQ("0 0 1", place());
    EXPECT_EQ(ShelfView::Command::Start, view.onKey(13));
    EXPECT_EQ(ShelfView::Command::Close, view.onKey(27));
    EXPECT_EQ(ShelfView::Command::Close, view.onKey(284));
    // Left stops at level 1; the pointer and the wheel choose another set, which starts at level 1 again;
    // a click starts the line under it, and a click beside the lines does nothing.
    view.onKey(276);
    view.onKey(276);
    EXPECT_EQ("0 0 1", place());
    view.onKey(275);
    view.onPointer(0.0f, 0.42f);  // the second line
    EXPECT_EQ("1 0 1", place());
    view.onKey(275);
    view.onPointer(0.0f, 0.42f);  // the same line keeps its level
    EXPECT_EQ("1 0 2", place());
    view.onButton(4, 0.0f, 0.0f);
    EXPECT_EQ("2 0 1", place());
    view.onKey(275);
    EXPECT_EQ(ShelfView::Command::Start, view.onButton(0, 0.0f, 0.37f));  // the third line, chosen
    EXPECT_EQ("2 0 2", place());
    EXPECT_EQ(ShelfView::Command::Start, view.onButton(0, 0.0f, 0.47f));  // the first line
    EXPECT_EQ("0 0 1", place());
    EXPECT_EQ(ShelfView::Command::None, view.onButton(0, 0.0f, 0.6f));
    const float step = view.row(0).name.y() - view.row(1).name.y();
    EXPECT_EQ(ShelfView::Command::None,
              view.onButton(0, 0.0f, view.row(kShelfRowsShown - 1).name.y() - step));
    EXPECT_EQ(ShelfView::Command::None, view.onButton(2, 0.0f, 0.47f));
    EXPECT_EQ("0 0 1", place());
    view.say("NO");
    view.onKey(275);
    view.close();
    EXPECT_FALSE(view.isOpen());
    // Opened again on the playing set: at level 1, nothing said, scrolled to show it.
    view.open(&shelf.sets(), 100);
    EXPECT_EQ("100 81 1", place());
    EXPECT_EQ("", view.message());
    view.onKey(280);  // Page Up
    EXPECT_EQ("80 80 1", place());
    view.onKey(281);
    view.onKey(274);
    EXPECT_EQ("101 82 1", place());
    view.open(&shelf.sets(), 90);  // scrolled as if opened afresh, the set played on the last line
    EXPECT_EQ("90 71 1", place());
}

TEST(GameOptions, WithoutOptionsTheGamePlaysAndEveryMistakeIsAUsageError) {
    // The words after the program's name, apart at each space: "--levels " ends in an empty word.
    auto read = [](const std::string& line) {
        std::vector<std::string> words;
        for (std::size_t start = 0, end = 0; !line.empty() && end != std::string::npos; start = end + 1) {
            end = line.find(' ', start);
            words.push_back(line.substr(start, end - start));
        }
        std::vector<const char*> arguments = {"tezmola"};
        for (const std::string& word : words)
            arguments.push_back(word.c_str());
        return readGameOptions(static_cast<int>(arguments.size()), arguments.data());
    };
    EXPECT_EQ(GameOptions::Action::Play, read("").action);
    const GameOptions chosen = read("--levels Mine --level 12");
    EXPECT_EQ("Mine", chosen.levels);
    EXPECT_EQ(12u, chosen.startingLevel);
    EXPECT_TRUE(read("--levels x --practice").practice);
    EXPECT_EQ(GameOptions::Action::ListLevels, read("--list-levels").action);
    EXPECT_EQ(GameOptions::Action::Help, read("--levels x --help").action);
    EXPECT_EQ(GameOptions::Action::Version, read("--version").action);
    for (const char* wrong : {"--level 0", "--level 5x", "--level -1", "--level", "--levels", "--levels ",
                              "--bogus", "-", "stray", "--level 1234567890", "--replay",
                              "--replay a.tzr --level 2", "--levels x --replay a.tzr"}) {
        const GameOptions options = read(wrong);
        EXPECT_EQ(GameOptions::Action::UsageError, options.action) << wrong;
        EXPECT_FALSE(options.complaint.empty()) << wrong;
    }
    EXPECT_EQ("unknown option --bogus", read("--bogus").complaint);
    EXPECT_EQ("unexpected argument x-", read("x-").complaint);
    EXPECT_EQ("--levels needs a set", read("--levels").complaint);
    EXPECT_EQ("--level needs a level number", read("--level").complaint);
    EXPECT_EQ(GameOptions::Action::Play, read("--level 1").action);
    EXPECT_EQ("a.tzr", read("--replay a.tzr --practice").replay);
    EXPECT_EQ("--replay needs a replay file", read("--replay ").complaint);
    EXPECT_EQ(123456789u, read("--level 123456789").startingLevel);
}

TEST(FontText, LatinOneLettersAreTheFontsOwnGlyphsWhereItHasThemAndPlainLettersElse) {
    test::scanGameSheet();
    pentavel::graphics::GlyphTable glyphs = {};
    EXPECT_EQ("Jurgen AEsop ss ?A e",
              toFontText("J\xc3\xbcrgen \xc3\x86sop \xc3\x9f \xe2\x82\xac\xc3 \xe9", glyphs));
    glyphs[0xFC] = pentavel::graphics::lookupSprite("brick");
    ASSERT_NE(0u, glyphs[0xFC]);
    EXPECT_EQ("J\xfcrgen", toFontText("J\xc3\xbcrgen", glyphs));
    EXPECT_EQ("\xfc", toFontText("\xfc", glyphs));  // a byte that is no UTF-8 is Latin-1
    glyphs[0xFC] = 0;
    // The edges: the last ASCII, the first and last Latin-1 letters, a no-break space, a sign without a
    // letter, the first character past Latin-1, three- and four-byte characters, a sequence cut short, bytes
    // that begin no sequence; the first and last of each length, a lead byte of five, and the lowest lead
    // byte, which still makes one character. A sequence cut short at the end keeps its lead letter.
    EXPECT_EQ("\x7f|?|A|y| |?|?|?|?|A|o|?|?|?|?|o????|??|?|?|0",
              toFontText("\x7f|\xc2\x80|\xc3\x80|\xc3\xbf|\xc2\xa0|\xc2\xbf|\xc4\x80|\xe2\x82\xac|"
                         "\xf0\x9f\x98\x80|\xc3|\xf8|\x80|\xef\xbf\xbf|\xe0\xa0\x80|\xf0\x90\x80\x80|"
                         "\xf8\x88\x80\x80\x80|\xbf\x80|\xdf\x80|\xf7\x80\x80\x80|\xc0\xb0",
                         glyphs));
    EXPECT_EQ("a?", toFontText("\xe2\x82", glyphs));
    glyphs[0xFF] = pentavel::graphics::lookupSprite("brick");
    EXPECT_EQ("\xff", toFontText("\xc3\xbf", glyphs));
}

TEST(LevelBanner, TheBannerTakesTheTallestBandWithoutBricks) {
    test::scanGameSheet();
    BrickGrid grid;
    const float paddleTop = kPaddleY + kPaddleHeight * 0.5f;
    grid.at(3, 1).kind = BrickKind::Red;
    // The frame's pipes are no bricks to keep clear of.
    for (int row = 0; row < kGridRows; ++row)
        grid.at(row, 0).kind = grid.at(row, kGridColumns - 1).kind = BrickKind::Pipe;
    FreeBand band = findFreeBand(grid);
    EXPECT_FLOAT_EQ(kGridTop - 4 * kCellHeight, band.top);
    EXPECT_FLOAT_EQ(paddleTop, band.bottom);
    for (int row = 4; row <= 18; ++row)
        grid.at(row, kGridColumns - 2).kind = row == 10 ? BrickKind::Empty : BrickKind::Steel;
    band = findFreeBand(grid);  // rows 1 and 2 above the bricks, two rows high
    EXPECT_FLOAT_EQ(kGridTop - kCellHeight, band.top);
    EXPECT_FLOAT_EQ(kGridTop - 3 * kCellHeight, band.bottom);
    grid.at(1, 5).kind = BrickKind::Blue;
    grid.at(2, 5).kind = BrickKind::Blue;
    // Only row 10 is free: the space above the paddle, below the bricks, is taller than a row.
    band = findFreeBand(grid);
    EXPECT_FLOAT_EQ(kGridTop - 19 * kCellHeight, band.top);
    EXPECT_FLOAT_EQ(paddleTop, band.bottom);
    grid.at(10, 5).kind = BrickKind::Blue;
    grid.at(18, 5).kind = BrickKind::Empty;
    grid.at(18, 14).kind = BrickKind::Empty;
    band = findFreeBand(grid);  // row 18 free: it reaches down to the paddle
    EXPECT_FLOAT_EQ(kGridTop - 18 * kCellHeight, band.top);
    EXPECT_FLOAT_EQ(paddleTop, band.bottom);
    grid.at(18, 5).kind = BrickKind::Blue;
    band = findFreeBand(grid);  // a full field: below its last row, above the paddle
    EXPECT_FLOAT_EQ(kGridTop - 19 * kCellHeight, band.top);
    EXPECT_FLOAT_EQ(paddleTop, band.bottom);
    // A band that ends above bricks in row 18 ends there; of two as tall, the higher is taken.
    BrickGrid rows;
    for (int row : {1, 4, 7, 8, 9, 10, 18})
        rows.at(row, 7).kind = BrickKind::White;
    band = findFreeBand(rows);
    EXPECT_FLOAT_EQ(kGridTop - 11 * kCellHeight, band.top);
    EXPECT_FLOAT_EQ(kGridTop - 18 * kCellHeight, band.bottom);
    for (int row = 11; row < 18; ++row)
        rows.at(row, 7).kind = BrickKind::White;
    band = findFreeBand(rows);
    EXPECT_FLOAT_EQ(kGridTop - 2 * kCellHeight, band.top);
    EXPECT_FLOAT_EQ(kGridTop - 4 * kCellHeight, band.bottom);
}

class BannerTest : public test::GameTest {};

// A chosen set's level starts with its name, number, title and author, gone two seconds later; a game
// that plays what it always played shows none.
TEST_F(BannerTest, AChosenSetsLevelIsAnnouncedForTwoSeconds) {
    ASSERT_TRUE(start(test::level(test::mapWith(3, "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I"))));
    EXPECT_FALSE(game->banner.heading.visible());
    const std::string titled = "<level title=\"Premi\xc3\xa8re\" author=\"J\xc3\xbcrgen\">" +
                               test::level(test::mapWith(3, "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I")).substr(7);
    const std::string untitled = test::level(test::mapWith(3, "I+R1+I"));
    // The set of the player's level.xml, chosen under a name, from its level 2.
    const auto choose = [this](const std::string& name) {
        game = std::make_unique<GameStructure>();
        game->setChosen = true;
        game->levelSet.name = name;
        game->startingLevel = 2;
        return initialiseGameStructure(*game);
    };
    folder.write("level.xml", untitled + titled + untitled);
    ASSERT_TRUE(choose("Sch\xc3\xb6n"));
    EXPECT_EQ("Schon  LEVEL 2", game->banner.heading.text());
    EXPECT_EQ("Premiere, by Jurgen", game->banner.credit.text());
    // Centred across the field and in the band below the bricks, the title a line's height and a little
    // below the name, over the balls (one waits on the paddle in that band) and behind the paddle, in yellow
    // and white.
    const TextLabel& heading = game->banner.heading;
    const TextLabel& credit = game->banner.credit;
    const FreeBand band = findFreeBand(game->grid);
    EXPECT_NEAR((band.top + band.bottom) * 0.5f, (heading.y() + credit.y()) * 0.5f, 1e-4f);
    EXPECT_NEAR(credit.height() * 1.15f, heading.y() - credit.y(), 1e-4f);
    EXPECT_LT(heading.glyphs().front().x(), 0.0f);
    EXPECT_NEAR(-heading.glyphs().front().x(), heading.glyphs().back().x(), 1e-4f);
    ASSERT_FALSE(game->balls.empty());
    EXPECT_LT(heading.depth(), game->balls[0].body.depth());
    EXPECT_GT(heading.depth(), game->paddle.body.depth());
    EXPECT_TRUE(heading.glyphs().front().colour() == (pentavel::graphics::Colour{1.0f, 1.0f, 0.0f, 1.0f}));
    ageBanner(game->banner, 1.5f);
    EXPECT_TRUE(game->banner.heading.visible());
    ageBanner(game->banner, 0.5f);
    EXPECT_FALSE(game->banner.heading.visible());
    EXPECT_FALSE(game->banner.credit.visible());
    game->levelNumber = 3;  // without a title: one line
    buildLevel(*game);
    EXPECT_EQ("Schon  LEVEL 3", heading.text());
    EXPECT_TRUE(heading.visible());
    EXPECT_FALSE(credit.visible());
    game->levelNumber = 4;  // the set's first level again
    buildLevel(*game);
    EXPECT_EQ("Schon  LEVEL 1", heading.text());
    // In a narrow band two lines are smaller than one; a line too long is cut.
    const FreeBand narrow{0.0f, -0.05f};
    std::string digits;
    for (int count = 0; count < 6; ++count)
        digits += "0123456789";
    showBanner(game->banner, digits, "by someone", narrow);
    const float size = (narrow.top - narrow.bottom) / (credit.height() / credit.textSize() * 1.15f * 2.0f);
    EXPECT_NEAR(size, credit.textSize(), 1e-4f);
    EXPECT_TRUE(credit.visible());
    EXPECT_EQ(digits.substr(0, 45) + "...", heading.text());
    EXPECT_NEAR(size, heading.textSize(), 1e-4f);
    std::string exact(48, 'i');
    showBanner(game->banner, exact, "", narrow);
    EXPECT_EQ(exact, heading.text());
    EXPECT_FALSE(credit.visible());
    EXPECT_NEAR((narrow.top + narrow.bottom) * 0.5f, heading.y(), 1e-4f);
    EXPECT_FLOAT_EQ(0.5f, heading.textSize());
    // However narrow the band, both lines show, sharing the size it lets them have.
    showBanner(game->banner, "X", "by someone", FreeBand{0.0f, -0.02f});
    EXPECT_TRUE(credit.visible());
    TextLabel probe;  // a line's height at size 1
    probe.setText(game->glyphs, "X");
    EXPECT_NEAR(0.02f / (probe.height() * 1.15f * 2.0f), credit.textSize(), 1e-4f);
    EXPECT_FLOAT_EQ(credit.textSize(), heading.textSize());
    // A heading too wide for the field between the side pipes (here in glyphs wider than the font's)
    // shrinks to its width, still centred.
    pentavel::graphics::GlyphTable wideGlyphs = {};
    std::fill(std::begin(wideGlyphs), std::end(wideGlyphs), test::image("wide_test"));
    LevelBanner wide;
    setUpBanner(wide, wideGlyphs);
    showBanner(wide, std::string(40, 'W'), "", FreeBand{0.5f, -0.5f});
    EXPECT_LT(wide.heading.textSize(), 0.5f);
    EXPECT_NEAR(1.8f, wide.heading.width(), 1e-4f);
    EXPECT_NEAR(-wide.heading.glyphs().front().x(), wide.heading.glyphs().back().x(), 1e-4f);
    // A set of one level is at its level 1 whatever the level number.
    folder.write("level.xml", untitled);
    ASSERT_TRUE(choose("Solo"));
    EXPECT_EQ("Solo  LEVEL 1", game->banner.heading.text());
}

// The shelf as the player sees it over a game: four sets (a good one, a bad one, one not read yet, one
// with a long name, played), drawn as labels that the helpers below read.
class ShelfViewTest : public test::GameTest {
protected:
    void SetUp() override {
        sets.resize(4);
        sets[0].name = "Tezmola";
        sets[0].read = true;
        sets[0].levels = sets[0].proven = 32;
        sets[1].name = "Broken";
        sets[1].read = true;
        sets[1].problem = "it is not well-formed (line 3)";
        sets[2].name = "Later";
        sets[3].name = "The Level Set With A Very Long Name";
        sets[3].read = true;
        sets[3].levels = 5;
        sets[3].proven = 2;
        sets[3].best = 900;
    }
    std::vector<const TextLabel*> labels() const {
        std::vector<const TextLabel*> all = {&view.title(), &view.positionLine(), &view.levelLine(),
                                             &view.keysLine(), &view.messageLine()};
        for (int line = -1; line < kShelfRowsShown; ++line) {
            const ShelfView::Row& row = line < 0 ? view.heading() : view.row(line);
            all.insert(all.end(), {&row.name, &row.levels, &row.proven, &row.best});
        }
        return all;
    }
    // A label's text, or "-" while it is hidden; its glyphs must be the font's for its characters.
    std::string seen(const TextLabel& label) const {
        if (!label.visible())
            return "-";
        for (std::size_t index = 0; index < label.text().size(); ++index)
            if (label.glyphs()[index].sprite() !=
                game->glyphs[static_cast<unsigned char>(label.text()[index])])
                return "(not the font)";
        return label.text();
    }
    std::string seen(const ShelfView::Row& row) const {
        return seen(row.name) + "|" + seen(row.levels) + "|" + seen(row.proven) + "|" + seen(row.best);
    }
    // The colours of the heading and of the sets' lines.
    std::string colours() const {
        std::string text;
        for (int line = -1; line < static_cast<int>(sets.size()); ++line) {
            const pentavel::graphics::Colour& colour =
                (line < 0 ? view.heading() : view.row(line)).name.glyphs().front().colour();
            const bool grey = colour.red == colour.green && colour.green == colour.blue;
            text += colour.red == 1.0f && colour.green == 1.0f ? (colour.blue == 1.0f ? "white " : "yellow ")
                    : grey                                     ? "grey "
                                                               : "other ";
        }
        return text;
    }
    // Whether anything of the shelf is drawn.
    bool anythingShown() const {
        for (const TextLabel* label : labels())
            if (label->visible() && !label->glyphs().empty())
                return true;
        return view.backdrop().visible();
    }
    static float leftOf(const TextLabel& label) {
        return label.glyphs().front().x() - label.glyphs().front().width() * 0.5f;
    }
    static float rightOf(const TextLabel& label) {
        return label.glyphs().back().x() + label.glyphs().back().width() * 0.5f;
    }

    std::vector<ShelfSet> sets;
    ShelfView view;
};

TEST_F(ShelfViewTest, EachSetIsALineOverTheGameWhereAClickChoosesIt) {
    startWith(test::mapWith(3, "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I"));
    view.setUp(game->glyphs);
    EXPECT_FALSE(anythingShown());
    view.open(&sets, 3);
    // Over the game's front-most labels, the backdrop beneath the text.
    EXPECT_TRUE(view.backdrop().visible());
    EXPECT_LT(view.backdrop().depth(), game->hud.stateLabel.depth());
    for (const TextLabel* label : labels()) {
        if (!label->glyphs().empty()) {
            EXPECT_LT(label->depth(), view.backdrop().depth()) << label->text();
        }
    }
    EXPECT_EQ("LEVEL SETS", seen(view.title()));
    EXPECT_EQ("1-4 OF 4", seen(view.positionLine()));
    EXPECT_EQ("SET|LEVELS|PROVEN|BEST", seen(view.heading()));
    EXPECT_EQ("  Tezmola|32|32|-", seen(view.row(0)));
    EXPECT_EQ("  Broken|BAD||", seen(view.row(1)));
    EXPECT_EQ("  Later|...|...|...", seen(view.row(2)));
    EXPECT_EQ("> The Level Set With A Very L...|5|2|900", seen(view.row(3)));  // the set played
    EXPECT_EQ("grey white grey white yellow ", colours());
    EXPECT_EQ("START AT LEVEL 1  - LEFT/RIGHT", seen(view.levelLine()));
    // The names start at one left edge, each column of numbers ends at one right edge.
    const ShelfView::Row& heading = view.heading();
    const float step = view.row(0).name.y() - view.row(1).name.y();
    for (int line = -1; line < static_cast<int>(sets.size()); ++line) {
        const ShelfView::Row& row = line < 0 ? heading : view.row(line);
        EXPECT_FLOAT_EQ(leftOf(heading.name), leftOf(row.name)) << line;
        EXPECT_FLOAT_EQ(rightOf(heading.levels), rightOf(row.levels)) << line;
        if (line != 1) {  // the bad set has no numbers
            EXPECT_FLOAT_EQ(rightOf(heading.proven), rightOf(row.proven)) << line;
            EXPECT_FLOAT_EQ(rightOf(heading.best), rightOf(row.best)) << line;
        }
    }
    // The lines under the list are centred; everything lies on the backdrop, which spans the field.
    view.say("NOT NOW");
    EXPECT_EQ("NOT NOW", seen(view.messageLine()));
    for (const TextLabel* label : {&view.title(), &view.levelLine(), &view.keysLine(), &view.messageLine()})
        EXPECT_NEAR(0.0f, leftOf(*label) + rightOf(*label), 1e-4f) << label->text();
    const pentavel::graphics::Sprite& backdrop = view.backdrop();
    EXPECT_NE(0, backdrop.sprite());  // without an image it would not be drawn
    EXPECT_LE(backdrop.x() - backdrop.width() * 0.5f, -1.0f);
    EXPECT_GE(backdrop.x() + backdrop.width() * 0.5f, 1.0f);
    const float top = backdrop.y() + std::fabs(backdrop.height()) * 0.5f;
    const float bottom = backdrop.y() - std::fabs(backdrop.height()) * 0.5f;
    for (const TextLabel* label : labels()) {
        if (!label->glyphs().empty()) {
            EXPECT_LT(label->y() + label->height() * 0.5f, top) << label->text();
            EXPECT_GT(label->y() - label->height() * 0.5f, bottom) << label->text();
        }
    }
    EXPECT_TRUE((backdrop.colour() == pentavel::graphics::Colour{0.0f, 0.0f, 0.0f, backdrop.colour().alpha}));
    // A later level is practice; Left goes back.
    view.onKey(275);
    EXPECT_EQ("START AT LEVEL 2 (PRACTICE)  - LEFT/RIGHT", seen(view.levelLine()));
    view.onKey(276);
    EXPECT_EQ("START AT LEVEL 1  - LEFT/RIGHT", seen(view.levelLine()));
    // The chosen line is yellow, whatever its set; a bad set chosen says why in red.
    view.onKey(273);
    EXPECT_EQ("grey white grey yellow white ", colours());
    view.onKey(273);
    EXPECT_EQ("grey white yellow white white ", colours());
    EXPECT_EQ("it is not well-formed (line 3)", seen(view.levelLine()));
    const pentavel::graphics::Colour& red = view.levelLine().glyphs().front().colour();
    EXPECT_TRUE(red.red == 1.0f && red.green < 0.5f && red.blue < 0.5f);
    // A click from the very top of the first line to the bottom of the last chooses a line; below it, none.
    view.onPointer(0.0f, view.row(0).name.y() + step * 0.5f);
    EXPECT_EQ(0, view.chosen());
    view.onPointer(0.0f, view.row(3).name.y() - step * 0.49f);
    EXPECT_EQ(3, view.chosen());
    EXPECT_EQ(ShelfView::Command::None, view.onButton(0, 0.0f, view.row(3).name.y() - step));
    EXPECT_EQ(ShelfView::Command::None, view.onButton(0, 0.0f, view.row(3).name.y() - step * 5.0f));
    // Closed, the game alone is drawn, also after a refresh (a set read meanwhile).
    view.close();
    EXPECT_FALSE(anythingShown());
    view.refresh();
    EXPECT_FALSE(anythingShown());
    // Opened again on the first set, everything is back; a set gone from the shelf leaves no line behind.
    view.open(&sets, 0);
    EXPECT_EQ(0, view.chosen());
    EXPECT_EQ("> Tezmola|32|32|-", seen(view.row(0)));
    EXPECT_EQ("  The Level Set With A Very L...|5|2|900", seen(view.row(3)));
    sets.pop_back();
    view.refresh();
    EXPECT_EQ("-|-|-|-", seen(view.row(3)));
}

}  // namespace

namespace {

using namespace tezmola;

// The Game as the player drives it: F3, the keys of the shelf, Enter; the chosen set is played and
// remembered, a bad one leaves the game where it was.
class GameShelfTest : public test::GameTest {
protected:
    void SetUp() override {
        folder.write("level.xml", test::level(test::mapWith(3, "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I")));
        folder.write("levels/A.xml", levelFile(2, 2));
        folder.write("levels/B.xml", levelFile(3, 0));
        folder.write("levels/C.xml", "<level");
        folder.write("levels/D.xml/inside", "x");
        folder.write("levels/Sch\xc3\xb6n.xml", levelFile(1, 0));  // drawn with the font's own glyphs
        // Full screen is asked of a display without OpenGL, which refuses it.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        pentavel::loadSettings("settings.xml");
        pentavel::openLog();
    }
    bool play(const GameOptions& options = GameOptions()) {
        pentavel::graphics::setWindowCaption("");
        game_ = std::make_unique<Game>();
        return game_->initialise(options);
    }
    std::string chosen() {
        std::string name;
        return pentavel::findSetting(kShelfSettingsSection, kShelfSettingsKey, name) ? name : "(none)";
    }
    // The set played: its name, level of levels, whether as practice and chosen (on the shelf or by an
    // option), the window's caption, and the set the settings remember.
    std::string played() {
        const GameStructure& game = game_->structure();
        return game.levelSet.name + " " + std::to_string(game.levelNumber) + "/" +
               std::to_string(game.levelCount) + (game.practice ? " practice" : "") +
               (game.setChosen ? " chosen" : "") + " [" + pentavel::graphics::windowCaption() + "] " +
               chosen();
    }
    void pressWithAlt(SDLKey key) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = key;
        event.key.keysym.mod = KMOD_LALT;
        pentavel::translateEvent(event);
    }
    std::unique_ptr<Game> game_;
};

TEST_F(GameShelfTest, F3ChoosesASetThatIsPlayedAndRememberedAndABadOneChangesNothing) {
    ASSERT_TRUE(play());
    EXPECT_EQ("level.xml 1/1 [] (none)", played());
    // The line of the set in play (level.xml) shows the best of the table in play, newer than what was read.
    game_->shelf().readAhead();  // Tezmola's own
    game_->shelf().readAhead();  // level.xml; the sets after it are read as they are chosen
    game_->shelf().sets()[1].best = 7;
    press(284);  // F3
    EXPECT_EQ(-1, game_->shelf().sets()[1].best);
    press(27);
    EXPECT_FALSE(game_->structure().pausedShown);
    game_->structure().score = 500;
    endGame(game_->structure(), false);
    newGame(game_->structure());
    game_->structure().score = 400;
    press(284);
    EXPECT_EQ(500, game_->shelf().sets()[1].best);
    ASSERT_TRUE(game_->shelfView().isOpen());
    EXPECT_TRUE(game_->paused());
    EXPECT_TRUE(game_->structure().pausedShown);
    // The shelf says it all, without the state label.
    EXPECT_FALSE(game_->structure().hud.stateLabel.visible());
    press(293);  // F12 goes to the shelf, not to the game
    EXPECT_EQ(1u, game_->structure().levelNumber);
    // Alt goes with Enter alone: it switches to full screen rather than playing the chosen set.
    pressWithAlt(SDLK_DOWN);  // A
    EXPECT_EQ(2, game_->shelfView().chosen());
    pressWithAlt(SDLK_RETURN);
    pressWithAlt(SDLK_KP_ENTER);
    EXPECT_TRUE(game_->shelfView().isOpen());
    press(274);  // Down: B
    press(275);  // Right: from level 2
    press(271);  // keypad Enter
    EXPECT_FALSE(game_->shelfView().isOpen());
    EXPECT_FALSE(game_->paused());
    EXPECT_EQ("B 2/3 practice chosen [Tezmola: B] B", played());
    // The game left by the choice entered its own table, as F1 would have.
    EXPECT_NE(std::string::npos, folder.read("highscores.xml").find("score=\"400\""));
    // A set that cannot be played says why and leaves the game as it was; Escape closes the shelf.
    press(19);  // paused before the shelf opens, paused after it closes
    press(284);
    press(274);
    press(13);
    EXPECT_TRUE(game_->shelfView().isOpen());
    EXPECT_EQ(0u, game_->shelfView().message().find("CANNOT PLAY IT"));
    EXPECT_EQ("B", game_->structure().levelSet.name);
    press(274);  // a folder in a set's place says so
    press(13);
    EXPECT_EQ("CANNOT PLAY IT: it is a folder", game_->shelfView().message());
    press(27);
    EXPECT_FALSE(game_->shelfView().isOpen());
    EXPECT_TRUE(game_->paused());
    EXPECT_FALSE(game_->structure().inputHeld);
    // Focus come back while the shelf is open ends the pause that closing it returns to.
    press(284);
    pentavel::activeSignal().emit(2, true);
    EXPECT_TRUE(game_->paused());
    press(27);
    EXPECT_FALSE(game_->paused());
    // The wheel and a click on a line: the player's level.xml, on the second line.
    press(284);
    pentavel::mouseButtonDownSignal().emit(3, 0.0f, 0.0f);
    EXPECT_EQ(2, game_->shelfView().chosen());
    pentavel::mouseMotionSignal().emit(0.0f, 0.47f);
    EXPECT_EQ(0, game_->shelfView().chosen());
    pentavel::mouseButtonDownSignal().emit(0, 0.0f, 0.42f);
    EXPECT_FALSE(game_->shelfView().isOpen());
    EXPECT_EQ("level.xml 1/1 chosen [Tezmola: level.xml] level.xml", played());
    game_.reset();
    EXPECT_NE(std::string::npos, log().find("Cannot play the level set D (it is a folder)"));
}

TEST_F(GameShelfTest, TheOptionsOrTheRememberedSetChooseAndAMissingOneFallsBack) {
    GameOptions options;
    options.levels = "A";
    options.startingLevel = 2;
    ASSERT_TRUE(play(options));
    EXPECT_EQ("A 2/2 practice chosen [Tezmola: A] (none)", played());  // remembered this time only
    pentavel::setSetting(kShelfSettingsSection, kShelfSettingsKey, std::string("Gone"));
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(play());
    EXPECT_EQ("", ::testing::internal::GetCapturedStderr());  // a remembered set's fall is the log's
    EXPECT_EQ("level.xml 1/1 [] Gone", played());
    // A path names a file even without ".xml"; the shelf opens on Tezmola's own, for the file has no line.
    options.levels = folder.write("outside/Plain", levelFile(2, 0));
    options.startingLevel = 1;
    options.practice = true;  // as the level editor starts it: from level 1 too
    ASSERT_TRUE(play(options));
    EXPECT_EQ("Plain 1/2 practice chosen [Tezmola: Plain] Gone", played());
    EXPECT_EQ(SetSource::Outside, game_->structure().levelSet.source);
    press(284);
    EXPECT_EQ(0, game_->shelfView().chosen());
    EXPECT_EQ(0u, game_->shelfView().row(0).name.text().find("  T")) << "no set on the shelf plays";
    // ".xml" alone is a name, not a file, and "x.xml" a file; Tezmola's own set is on the shelf (here it
    // cannot be read). A file that cannot be read, for whatever reason, says why.
    const std::string inFolder = folder.path() + "/levels/D.xml";
    for (const std::string& name : {std::string(".xml"), std::string("Tezmola"), std::string("x.xml"),
                                    inFolder, std::string("/proc/self/mem")}) {
        options.levels = name;
        ::testing::internal::CaptureStderr();
        ASSERT_TRUE(play(options));
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(game_->structure().setChosen);
        if (name == ".xml") {  // the option's answer is said where it was given
            EXPECT_EQ(
                "tezmola: cannot play the level set .xml (it is not on the shelf): playing level.xml "
                "instead\n",
                said);
        }
    }
    folder.write("level.xml", "<level");
    EXPECT_FALSE(play());
    game_.reset();
    const std::string text = log();
    for (const std::string& line :
         {std::string("Cannot play the level set Gone (it is not on the shelf): playing level.xml instead"),
          std::string("Cannot play the level set .xml (it is not on the shelf)"),
          std::string("Cannot play the level set Tezmola (it cannot be read)"),
          std::string("Cannot play the level set x.xml (it cannot be opened)"),
          "Cannot play the level set " + inFolder + " (it is a folder)",
          std::string("Cannot play the level set /proc/self/mem (it cannot be read)")})
        EXPECT_NE(std::string::npos, text.find(line)) << line;
    // Tezmola's own set, chosen where it can be read, has the game's own caption.
    test::TempDir own;
    own.write("level.xml", levelFile(1, 0));
    test::mountOnly(folder.path(), own.path());
    options.levels = "Tezmola";
    ASSERT_TRUE(play(options));
    EXPECT_EQ(SetSource::Own, game_->structure().levelSet.source);
    EXPECT_EQ("Tezmola", pentavel::graphics::windowCaption());
    game_.reset();
    test::mountOnly(folder.path());
}

// An entry that could not be written at GAME OVER (another copy held the folder) gets its last chance
// before another set's table takes its place, as at quit.
TEST_F(GameShelfTest, AnEntryWaitingForItsTableIsSavedBeforeAnotherSetPlays) {
    ASSERT_TRUE(play());
    game_->structure().score = 400;
    game_->structure().highScores.lockWaitMilliseconds = 0;
    {
        const pentavel::file::WriteDirectoryLock other(0);
        endGame(game_->structure(), true);
    }
    press(284);  // F3 on the player's level.xml
    press(274);  // Down: A
    press(13);
    ASSERT_EQ("A", game_->structure().levelSet.name);
    const std::vector<HighScore> saved = loadHighScores("highscores.xml").entries;
    ASSERT_EQ(1u, saved.size());
    EXPECT_EQ(400, saved[0].score);
    EXPECT_EQ("game-1.tzr", saved[0].replay);  // the game records and keeps its replay
}

// The banner counts the frames' time, a long frame as a tenth of a second, and not while paused; each frame
// reads a set of the shelf ahead, which the open shelf shows at once.
TEST_F(GameShelfTest, FramesAgeTheBannerAndReadTheShelfAhead) {
    GameOptions options;
    options.levels = "A";
    ASSERT_TRUE(play(options));
    const TextLabel& heading = game_->structure().banner.heading;
    ASSERT_TRUE(heading.visible());
    std::uint32_t now = 1000;
    const auto frame = [&now](std::uint32_t milliseconds) {
        now += milliseconds;
        pentavel::setLastTicks(now);
        pentavel::tickSignal().emit();
    };
    press(284);
    const std::size_t sprites = pentavel::graphics::liveSpriteCount();
    frame(0);  // reads Tezmola's own set: its line's "..." give way to "BAD"
    EXPECT_LT(pentavel::graphics::liveSpriteCount(), sprites);
    press(27);
    frame(5000);  // counts 0.1 s
    press(19);
    frame(50);  // paused: not counted
    frame(50);
    press(19);
    for (int count = 0; count < 37; ++count)
        frame(50);
    EXPECT_TRUE(heading.visible());  // 1.95 s
    frame(100);
    EXPECT_FALSE(heading.visible());
}

// --list-levels reads the player's folder as the game does, Tezmola's own levels from its archive when the
// player has a level.xml of their own; a file system that cannot start is an error.
TEST(ListLevels, PrintsTheShelfOfThePlayersFolder) {
    test::TempDir home;
    home.write("My Games/Tezmola/level.xml", levelFile(1, 0));
    home.write("My Games/Tezmola/levels/A.xml", levelFile(2, 1));
    test::EnvironmentGuard environment;
    environment.set("HOME", home.path());
    environment.unset("XDG_CONFIG_HOME");
    environment.unset("XDG_DOCUMENTS_DIR");
    test::mountOnly(home.path());
    const std::string programs = pentavel::file::programDirectory();
    EXPECT_EQ(1, printShelf("tezmola"));  // the file system is up already
    test::unmountAll();
    PHYSFS_deinit();
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(0, printShelf("tezmola"));
    const std::string folder = home.path() + "/My Games/Tezmola/";
    EXPECT_EQ("Tezmola\t-\t-\t" + programs + "tezmola.pak\tit cannot be read\n" + "level.xml\t1\t0\t" +
                  folder + "level.xml\n" + "A\t2\t1\t" + folder + "levels/A.xml\n",
              ::testing::internal::GetCapturedStdout());
    EXPECT_FALSE(home.exists("My Games/Tezmola/settings.xml"));  // nothing written
}

// A file named on the command line is read up to 64 MiB, the most the game's reader takes, and no further.
TEST(ShelfOutsideFile, IsReadUpTo64MiB) {
    test::TempDir folder;
    const std::size_t most = std::size_t{64} << 20;
    std::string big = levelFile(1, 0);
    big.resize(most + 1, ' ');
    const ShelfSet set = outsideSet(folder.write("big.xml", big));
    TiXmlDocument document;
    std::string reason;
    EXPECT_FALSE(readSet(set, document, reason));
    EXPECT_EQ("it is too large", reason);
    std::filesystem::resize_file(set.file, most);
    EXPECT_TRUE(readSet(set, document, reason)) << reason;
    EXPECT_EQ(1, countLevels(document));
}

}  // namespace
