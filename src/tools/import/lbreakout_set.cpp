// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/import/lbreakout_set.h"

#include <cstdio>
#include <cstring>

#include "engine/file/utf8.h"

namespace tezmola {
namespace import {

namespace {

// A set of junk (a binary file, a wrong file) would otherwise name every line.
constexpr std::size_t kMaxErrors = 20;
const char kBrickLetters[] = "abcdefghijkvxyz*!@#E";

struct Line {
    int number = 0;
    std::string text;  // without its line end
};

std::vector<Line> splitLines(const std::string& bytes) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string text = bytes.substr(start, end - start);
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        lines.push_back(Line{static_cast<int>(lines.size()) + 1, std::move(text)});
        start = end + 1;
    }
    return lines;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The sets were written as Latin-1; a line that is valid UTF-8 already is kept as it is.
std::string toUtf8(const std::string& text) {
    if (pentavel::file::isValidUtf8(text))
        return text;
    std::string result;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            result += c;
        } else {
            result += static_cast<char>(0xC0 | (byte >> 6));
            result += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return result;
}

std::string shown(char c) {
    char text[16];
    if (c > ' ' && c <= '~')
        std::snprintf(text, sizeof text, "'%c'", c);
    else
        std::snprintf(text, sizeof text, "byte 0x%02X", static_cast<unsigned char>(c));
    return text;
}

bool isBrickLetter(char c) {
    return c == '.' || (c != '\0' && std::strchr(kBrickLetters, c) != nullptr);
}

class SetReader {
public:
    explicit SetReader(const std::string& bytes) : lines_(splitLines(bytes)) {}

    LevelSet read() {
        skipVersion();
        while (at_ < lines_.size() && set_.errors.size() < kMaxErrors) {
            if (trimmed(lines_[at_].text) == "Level:")
                readLevel();
            else if (trimmed(lines_[at_].text).empty())
                ++at_;
            else
                skipJunk();
        }
        if (at_ < lines_.size())
            error(lines_[at_].number, "too many errors: the rest of the set is not read");
        return std::move(set_);
    }

private:
    void error(int line, std::string text) { set_.errors.push_back(SetProblem{line, std::move(text)}); }

    // The line being read, or the last line once the set has ended.
    int lineNumber() const {
        return at_ < lines_.size() ? lines_[at_].number : static_cast<int>(lines_.size());
    }

    void skipVersion() {
        if (!lines_.empty() && lines_[0].text.compare(0, 8, "Version:") == 0)
            at_ = 1;
    }

    // Text where a level should begin: one error for the whole stretch up to the next "Level:" line.
    void skipJunk() {
        error(lines_[at_].number, "text where a \"Level:\" line should begin a level");
        while (at_ < lines_.size() && trimmed(lines_[at_].text) != "Level:")
            ++at_;
    }

    // Skips to the next "Level:" line after a level that could not be read.
    void skipLevel() {
        while (at_ < lines_.size() && trimmed(lines_[at_].text) != "Level:")
            ++at_;
    }

    void readLevel() {
        SetLevel level;
        level.line = lines_[at_++].number;
        if (at_ + 2 > lines_.size()) {
            error(level.line, "the set ends before the level's author and title");
            at_ = lines_.size();
            return;
        }
        level.author = toUtf8(trimmed(lines_[at_++].text));
        level.title = toUtf8(trimmed(lines_[at_++].text));
        if (at_ >= lines_.size() || trimmed(lines_[at_].text) != "Bricks:") {
            error(lineNumber(), "the level has no \"Bricks:\" block");
            skipLevel();
            return;
        }
        ++at_;
        if (!readBricks(level)) {
            skipLevel();
            return;
        }
        const std::string next = at_ < lines_.size() ? trimmed(lines_[at_].text) : "";
        if (at_ < lines_.size() && next != "Bonus:" && next != "Level:") {
            error(lineNumber(), "a \"Bonus:\" block should follow the 18 rows of bricks");
            skipLevel();
            return;
        }
        skipBonus();  // the bonus layer is not imported
        set_.levels.push_back(std::move(level));
    }

    // A bonus block that the end of the file cuts short says that the set was cut, and levels after it may
    // be lost.
    void skipBonus() {
        if (at_ >= lines_.size())
            return;
        ++at_;
        int rows = 0;
        for (; at_ < lines_.size() && trimmed(lines_[at_].text) != "Level:"; ++at_)
            rows += trimmed(lines_[at_].text).empty() ? 0 : 1;
        if (at_ >= lines_.size() && rows < kSetRows)
            error(lineNumber(),
                  "the set ends after " + std::to_string(rows) + " of the 18 rows of the bonus block");
    }

    bool readBricks(SetLevel& level) {
        for (int row = 0; row < kSetRows; ++row, ++at_) {
            const std::string end = at_ < lines_.size() ? trimmed(lines_[at_].text) : "";
            if (at_ >= lines_.size() || end == "Bonus:" || end == "Level:") {
                error(lineNumber(),
                      (at_ >= lines_.size() ? "the set ends after " : "the \"Bricks:\" block ends after ") +
                          std::to_string(row) + " of the 18 rows of bricks");
                return false;
            }
            if (!readRow(lines_[at_], level, row))
                return false;
        }
        return true;
    }

    bool readRow(const Line& line, SetLevel& level, int row) {
        const std::string& text = line.text;
        if (text.size() < static_cast<std::size_t>(kSetColumns)) {
            error(line.number, "the row has " + std::to_string(text.size()) + " letters, not 14");
            return false;
        }
        for (int column = 0; column < kSetColumns; ++column)
            if (!isBrickLetter(text[column])) {
                error(line.number, "column " + std::to_string(column + 1) + ": " + shown(text[column]) +
                                       " is no brick letter");
                return false;
            }
        // Some sets were saved with rows of 15 letters; what lies past the 14th is outside the field.
        if (text.find_first_not_of(". \t", kSetColumns) != std::string::npos)
            ++level.cutRows;
        level.bricks[row] = text.substr(0, kSetColumns);
        return true;
    }

    std::vector<Line> lines_;
    std::size_t at_ = 0;
    LevelSet set_;
};

}  // namespace

LevelSet readLevelSet(const std::string& bytes) {
    return SetReader(bytes).read();
}

}  // namespace import
}  // namespace tezmola
