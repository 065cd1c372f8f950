// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/checks/level_check.h"

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>

#include "engine/graphics/sprite.h"
#include "game/field/balls.h"
#include "game/field/brick_grid.h"
#include "game/field/collisions.h"
#include "game/field/images.h"
#include "game/field/level.h"
#include "game/field/paddle.h"
#include "game/play/game_structure.h"
#include "game/play/level_build.h"
#include "game/records/level_set.h"
#include "game/records/proof_record.h"

namespace tezmola {

namespace {

// The number of the line that the text's last character stands on (a closing line feed ends that line).
int lastLine(const std::string& text) {
    int lines = 1;
    for (std::size_t at = 0; at + 1 < text.size(); ++at)
        lines += text[at] == '\n' ? 1 : 0;
    return lines;
}

// A fixed capsule draw, so that a file gets the same verdict on every run and on every machine.
constexpr std::uint32_t kDrawSeed = 1;
constexpr int kMaxNotesOfAKind = 5;       // named one by one per level, the rest counted
constexpr std::size_t kExcerptSize = 24;  // characters quoted from text that is never read

const char* plural(long count, const char* one, const char* many) {
    return count == 1 ? one : many;
}

const char* kindName(BrickKind kind) {
    switch (kind) {
        case BrickKind::Red:
            return "red";
        case BrickKind::Blue:
            return "blue";
        case BrickKind::Yellow:
            return "yellow";
        case BrickKind::Green:
            return "green";
        case BrickKind::Magenta:
            return "magenta";
        case BrickKind::White:
            return "white";
        case BrickKind::Steel:
            return "steel";
        default:
            return "other";
    }
}

void addNote(LevelReport& report, bool error, int line, std::string text) {
    report.notes.push_back(LevelNote{error, line, std::move(text)});
}

// Notes of one kind, named one by one up to a limit and then counted.
class NoteSeries {
public:
    NoteSeries(LevelReport& report, int line, const char* more) : report_(report), line_(line), more_(more) {}
    void add(std::string text) {
        if (++count_ <= kMaxNotesOfAKind)
            addNote(report_, false, line_, std::move(text));
    }
    void finish() {
        if (count_ > kMaxNotesOfAKind)
            addNote(report_, false, line_, formatLine("%d more %s", count_ - kMaxNotesOfAKind, more_));
    }

private:
    LevelReport& report_;
    int line_;
    const char* more_;
    int count_ = 0;
};

// Each piece of the text between two codes that the game skips, at the cell the next code takes.
void noteSkippedText(NoteSeries& skipped, const std::string& gap, int row, int column) {
    std::size_t at = 0;
    while ((at = gap.find_first_not_of(" \t\r\n", at)) != std::string::npos) {
        const std::size_t end = std::min(gap.find_first_of(" \t\r\n", at), gap.size());
        skipped.add(formatLine("map row %d, column %d: unknown brick code \"%s\"; the game skips it", row,
                               column, gap.substr(at, end - at).c_str()));
        at = end;
    }
}

// What the map holds that the game lays without a word: unknown codes, text after row 18, ice codes
// outside 1..9 and bricks that replace the frame. Reads the map again with the game's own reader and
// looks at the grid that the game has just built from it.
void noteMap(const BrickGrid& grid, const TiXmlElement* map, LevelReport& report) {
    const char* text = map->GetText() != nullptr ? map->GetText() : "";
    const int line = map->Row();
    if (map->GetText() == nullptr && map->FirstChild() != nullptr)
        addNote(report, false, line, "the map does not begin with its codes, so the game reads none of it");
    NoteSeries skipped(report, line, "pieces of the map are no brick code");
    NoteSeries ice(report, line, "bricks have hit points outside 1 to 9");
    NoteSeries frame(report, line, "bricks replace the frame");
    BrickMapReader reader(text);
    MapCode code;
    std::size_t read = 0;
    int nextRow = 0;
    int nextColumn = 0;
    while (reader.next(code)) {
        noteSkippedText(skipped, std::string(text + read, code.at - read), code.row, code.column);
        read = code.at + 2;
        nextRow = code.column == kGridColumns - 1 ? code.row + 1 : code.row;
        nextColumn = (code.column + 1) % kGridColumns;
        const BrickCell& cell = grid.at(code.row, code.column);
        if (isColourBrick(cell.kind) && (code.second < '1' || code.second > '9')) {
            const std::string shown = std::isgraph(static_cast<unsigned char>(code.second))
                                          ? formatLine("\"%c%c\"", code.letter, code.second)
                                          : formatLine("\"%c\" without a digit", code.letter);
            ice.add(formatLine(
                "map row %d, column %d: %s makes a %s brick of %d hit points; ice runs from 1 to 9", code.row,
                code.column, shown.c_str(), kindName(cell.kind), cell.hitPoints));
        }
        if (isFrameCell(code.row, code.column) && cell.kind != BrickKind::Pipe)
            frame.add(formatLine("map row %d, column %d: a %s brick replaces the frame there", code.row,
                                 code.column, kindName(cell.kind)));
    }
    const std::string rest(text + read);
    if (reader.full()) {
        const std::string unread = trimmedText(rest);
        if (!unread.empty())
            addNote(report, false, line,
                    formatLine("text after row 18 is never read: \"%s%s\"",
                               unread.substr(0, kExcerptSize).c_str(),
                               unread.size() > kExcerptSize ? "..." : ""));
    } else {
        noteSkippedText(skipped, rest, nextRow, nextColumn);
    }
    skipped.finish();
    ice.finish();
    frame.finish();
}

void noteBackground(const TiXmlElement* level, bool sheetsKnown, LevelReport& report) {
    const LevelBackground background = readLevelBackground(level);
    const TiXmlElement* element = level->FirstChildElement("background");
    const int line = element != nullptr ? element->Row() : level->Row();
    if (background.missing != nullptr) {
        const std::string what =
            element == nullptr
                ? std::string("no background element")
                : formatLine("the background element has no \"%s\" attribute", background.missing);
        addNote(report, true, line, formatLine("Level %u is malformed: %s", report.number, what.c_str()));
        return;
    }
    if (sheetsKnown && pentavel::graphics::lookupSprite(background.sprite) == 0)
        addNote(report, false, line,
                formatLine("no sprite sheet holds the background \"%s\": the tiles keep the image they had",
                           background.sprite));
    const struct {
        const char* name;
        double value;
    } tints[] = {{"red", background.red}, {"green", background.green}, {"blue", background.blue}};
    for (const auto& tint : tints)
        if (tint.value < 0.0 || tint.value > 1.0)
            addNote(report, false, line,
                    formatLine("background %s=\"%g\" lies outside 0 to 1, the range of a tint", tint.name,
                               tint.value));
}

int countSteel(const BrickGrid& grid) {
    int steel = 0;
    for (const auto& row : grid.cells)
        for (const BrickCell& cell : row)
            steel += cell.kind == BrickKind::Steel ? 1 : 0;
    return steel;
}

// Every spare ball, the paddle in the middle and the same capsule draw for each level, so that a
// level's verdict does not hang on the levels checked before it.
void prepareFreshServe(PlayField& field, std::uint32_t number) {
    field.levelNumber = number;
    field.playing = true;
    while (field.spareBalls.lives < kMaxLives)
        addSpareBall(field.spareBalls);
    field.paddle.x = 0.0f;
    placePaddle(field.paddle);
    seedDropGenerator(kDrawSeed);
}

}  // namespace

bool beginLevelCheck(GameStructure& game, std::uint32_t number, LevelReport& report) {
    report = LevelReport();
    report.number = number;
    prepareFreshServe(game, number);
    const LevelBuild build = buildLevel(game);
    report.bricks = game.bricksLeft;
    report.steel = countSteel(game.grid);
    const TiXmlElement* level = findLevel(game.levelDocument, game.levelCount, number);
    if (build == LevelBuild::NotInFile || level == nullptr) {
        addNote(report, true, 0, formatLine("Cannot load in level %u", number));
        return false;
    }
    const TiXmlElement* map = level->FirstChildElement("tezm");
    if (map == nullptr) {
        addNote(report, true, level->Row(),
                formatLine("Level %u is malformed: no \"tezm\" element, which holds the brick map", number));
        return false;
    }
    noteMap(game.grid, map, report);
    noteBackground(level, pentavel::graphics::lookupSprite(kBrickImage) != 0, report);
    if (build != LevelBuild::Built)
        return false;
    if (report.bricks < 1) {
        report.verdict = LevelVerdict::NothingToClear;
        addNote(
            report, false, level->Row(),
            formatLine("Level %u has nothing to clear: the game goes on to the next level at once", number));
        return false;
    }
    return true;
}

void endLevelCheck(LevelReport& report, const Playthrough& play) {
    report.play = play;
    report.verdict = play.cleared ? LevelVerdict::Cleared : LevelVerdict::NotProven;
}

std::string formatLine(const char* pattern, ...) {
    char buffer[512];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(buffer, sizeof buffer, pattern, arguments);
    va_end(arguments);
    return buffer;
}

namespace {

// "Level 3: 40 bricks to clear, 2 steel: ", before the verdict.
std::string levelHead(const LevelReport& report) {
    return formatLine("Level %u: %d %s to clear, %d steel: ", report.number, report.bricks,
                      plural(report.bricks, "brick", "bricks"), report.steel);
}

}  // namespace

LevelReport checkLevel(GameStructure& game, std::uint32_t number, float maxSeconds) {
    LevelReport report;
    if (beginLevelCheck(game, number, report))
        endLevelCheck(report, playLevel(game, maxSeconds));
    return report;
}

std::string describeLevel(const LevelReport& report) {
    std::string line = levelHead(report);
    const Playthrough& play = report.play;
    switch (report.verdict) {
        case LevelVerdict::Cleared:
            return line + formatLine("cleared in %.1f s simulated with %d %s lost", play.seconds,
                                     play.ballsLost, plural(play.ballsLost, "ball", "balls"));
        case LevelVerdict::NotProven:
            return line + formatLine("not proven with %d %s left after %.1f s simulated (%s%d %s lost)",
                                     play.bricksLeft, plural(play.bricksLeft, "brick", "bricks"),
                                     play.seconds, play.gameOver ? "game over, " : "", play.ballsLost,
                                     plural(play.ballsLost, "ball", "balls"));
        case LevelVerdict::Malformed:
            return line + "malformed";
        case LevelVerdict::NothingToClear:
            return line + "nothing to clear";
    }
    return line;
}

bool checkLevelFile(GameStructure& game, const std::string& file, std::FILE* out,
                    const std::vector<std::string>* recorded) {
    if (game.levelCount <= 0) {
        const bool nested = game.levelDocument.RootElement() != nullptr &&
                            game.levelDocument.RootElement()->FirstChildElement("level") != nullptr;
        std::fprintf(
            out,
            "%s: error: the file holds no \"level\" element at its top%s; the game logs \"Cannot load "
            "in level 1\" and plays its own default layout\n",
            file.c_str(), nested ? " (the levels must not be wrapped in another element)" : "");
        std::fprintf(out, "%s: no levels\n", file.c_str());
        return false;
    }
    int verdicts[4] = {};
    int warnings = 0;
    int taken = 0;
    for (std::uint32_t number = 1; number <= static_cast<std::uint32_t>(game.levelCount); ++number) {
        const std::string* result =
            recorded != nullptr && number <= recorded->size() && !(*recorded)[number - 1].empty()
                ? &(*recorded)[number - 1]
                : nullptr;
        LevelReport report;
        std::string line;
        if (beginLevelCheck(game, number, report)) {
            if (result != nullptr) {
                report.verdict = playVerdict(*result);
                line = levelHead(report) + *result;
                ++taken;
            } else {
                endLevelCheck(report, playLevel(game, kProofSeconds));
            }
        }
        ++verdicts[static_cast<int>(report.verdict)];
        std::fprintf(out, "%s\n", line.empty() ? describeLevel(report).c_str() : line.c_str());
        for (const LevelNote& note : report.notes) {
            warnings += note.error ? 0 : 1;
            const std::string where = note.line > 0 ? formatLine(":%d", note.line) : std::string();
            std::fprintf(out, "%s%s: %s: %s\n", file.c_str(), where.c_str(), note.error ? "error" : "warning",
                         note.text.c_str());
        }
    }
    const int cleared = verdicts[static_cast<int>(LevelVerdict::Cleared)];
    std::string summary = formatLine("%s: %d %s, %d cleared", file.c_str(), game.levelCount,
                                     plural(game.levelCount, "level", "levels"), cleared);
    const char* const others[] = {nullptr, "not proven", "malformed", "with nothing to clear"};
    for (int verdict = 1; verdict < 4; ++verdict)
        if (verdicts[verdict] > 0)
            summary += formatLine(", %d %s", verdicts[verdict], others[verdict]);
    summary += formatLine("; %d %s", warnings, plural(warnings, "warning", "warnings"));
    if (recorded != nullptr)
        summary += formatLine("; %d %s taken from the record", taken, plural(taken, "proof", "proofs"));
    summary += "\n";
    std::fputs(summary.c_str(), out);
    return cleared == game.levelCount;
}

void reportUnreadableFile(const TiXmlDocument& document, const std::string& file, std::FILE* out,
                          const std::string* text) {
    // The parser's own errors without a place come from a text cut short: it ran out inside an element.
    const int id = document.ErrorId();
    const bool ranOffTheEnd = document.ErrorRow() <= 0 && text != nullptr && !text->empty() &&
                              id != TiXmlBase::TIXML_ERROR && id != TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY;
    if (id == TiXmlBase::TIXML_ERROR_OPENING_FILE)
        std::fprintf(out, "%s: error: Cannot read level file! It cannot be opened\n", file.c_str());
    else if (ranOffTheEnd)
        std::fprintf(out, "%s:%d: error: Cannot read level file! %s The file ends here, inside an element.\n",
                     file.c_str(), lastLine(*text), document.ErrorDesc());
    else if (document.ErrorRow() > 0)
        std::fprintf(out, "%s:%d:%d: error: Cannot read level file! %s\n", file.c_str(), document.ErrorRow(),
                     document.ErrorCol(), document.ErrorDesc());
    else
        std::fprintf(out, "%s: error: Cannot read level file! %s\n", file.c_str(), document.ErrorDesc());
}

}  // namespace tezmola
