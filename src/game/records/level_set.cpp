// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/records/level_set.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>

#include "engine/file/utf8.h"

namespace tezmola {

namespace {

constexpr CellCode kCorner = {'+', '.'};
constexpr CellCode kTopPipe = {'-', '-'};
constexpr CellCode kSidePipe = {'I', '.'};
constexpr CellCode kEmpty = {'.', '.'};

bool isPrintableAscii(char c) {
    return c >= ' ' && c <= '~';
}

bool isGraphicAscii(char c) {
    return c > ' ' && c <= '~';
}

// What an XML comment may hold: characters of XML, no "--" and no "-" at its end.
std::string commentText(const std::string& text) {
    std::string clean;
    for (std::size_t index = 0; index < text.size();) {
        const char c = text[index];
        if (isPrintableAscii(c)) {
            if (!(c == '-' && !clean.empty() && clean.back() == '-'))
                clean += c;
            ++index;
        } else if (const std::size_t length = static_cast<unsigned char>(c) >= 0x80
                                                  ? pentavel::file::utf8CharacterLength(text, index)
                                                  : 0) {
            clean.append(text, index, length);
            index += length;
        } else {
            clean += ' ';  // a control character or a byte that is no UTF-8
            ++index;
        }
    }
    return clean;
}

// Text for an attribute: markup characters escaped, control characters and bytes that are no UTF-8 left out.
std::string escaped(const std::string& text) {
    std::string result;
    for (std::size_t index = 0; index < text.size();) {
        const char c = text[index];
        if (static_cast<unsigned char>(c) >= 0x80) {
            const std::size_t length = pentavel::file::utf8CharacterLength(text, index);
            result.append(text, index, length);
            index += length > 0 ? length : 1;
            continue;
        }
        if (c == '&')
            result += "&amp;";
        else if (c == '<')
            result += "&lt;";
        else if (c == '>')
            result += "&gt;";
        else if (c == '"')
            result += "&quot;";
        else if (isPrintableAscii(c))
            result += c;
        ++index;
    }
    return result;
}

// The shortest decimal that reads back as the same single-precision value.
std::string shortestDecimal(float value) {
    char text[32];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (std::strtof(text, nullptr) == value)
            break;
    }
    return text;
}

void writeMap(const LevelDraft& level, std::string& out) {
    for (const auto& row : level.map) {
        out += "    ";
        for (int column = 0; column < kGridColumns; ++column) {
            const CellCode& code = row[column];
            // A space would not survive the trip: the reader folds white space and drops it at the end.
            out += isGraphicAscii(code[0]) && isGraphicAscii(code[1])
                       ? escaped(std::string(code.data(), code.size()))
                       : "..";
            out += column + 1 < kGridColumns ? " " : "\n";
        }
    }
}

}  // namespace

std::string trimmedText(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

LevelDraft::LevelDraft() {
    for (int row = 0; row < kMapRows; ++row)
        for (int column = 0; column < kGridColumns; ++column) {
            const bool side = column == 0 || column == kGridColumns - 1;
            if (row == 0)
                map[row][column] = side ? kCorner : kTopPipe;
            else
                map[row][column] = side ? kSidePipe : kEmpty;
        }
}

bool LevelDraft::operator==(const LevelDraft& other) const {
    return comment == other.comment && title == other.title && author == other.author &&
           proven == other.proven && background == other.background && red == other.red &&
           green == other.green && blue == other.blue && map == other.map;
}

std::string writeLevelSet(const std::vector<LevelDraft>& levels) {
    return writeLevelSet(levels, {});
}

std::string writeLevelSet(const std::vector<LevelDraft>& levels, const std::vector<std::string>& inside) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    for (std::size_t index = 0; index < levels.size(); ++index) {
        const LevelDraft& level = levels[index];
        if (!level.comment.empty())
            out += "<!-- " + commentText(level.comment) + " -->\n";
        out += "<level";
        if (!level.title.empty())
            out += " title=\"" + escaped(level.title) + "\"";
        if (!level.author.empty())
            out += " author=\"" + escaped(level.author) + "\"";
        if (level.proven)
            out += " proven=\"yes\"";
        out += ">\n  <tezm>\n";
        writeMap(level, out);
        out += "  </tezm>\n  <background sprite=\"" + escaped(level.background) + "\" red=\"" +
               shortestDecimal(level.red) + "\" green=\"" + shortestDecimal(level.green) + "\" blue=\"" +
               shortestDecimal(level.blue) + "\"/>\n";
        if (index < inside.size())
            out += inside[index];
        out += "</level>\n";
    }
    return out;
}

namespace {

LevelDraft readLevel(const TiXmlElement& level, const std::string& comment) {
    LevelDraft draft;
    draft.comment = comment;
    const LevelNotes notes = readLevelNotes(&level);
    draft.title = notes.title;
    draft.author = notes.author;
    draft.proven = notes.proven;
    if (const TiXmlElement* map = level.FirstChildElement("tezm")) {
        BrickMapReader reader(map->GetText());
        MapCode code;
        while (reader.next(code))
            draft.map[code.row][code.column] = CellCode{code.letter, code.second};
    }
    const LevelBackground background = readLevelBackground(&level);
    if (background.missing == nullptr) {
        draft.background = background.sprite;
        draft.red = static_cast<float>(background.red);
        draft.green = static_cast<float>(background.green);
        draft.blue = static_cast<float>(background.blue);
    }
    return draft;
}

}  // namespace

std::vector<LevelDraft> readLevelSet(const TiXmlDocument& document) {
    std::vector<LevelDraft> levels;
    std::string comment;
    for (const TiXmlNode* node = document.FirstChild(); node != nullptr; node = node->NextSibling()) {
        if (const TiXmlComment* note = node->ToComment()) {
            comment = trimmedText(note->Value());
        } else if (const TiXmlElement* element = node->ToElement()) {
            if (element->ValueStr() == "level")
                levels.push_back(readLevel(*element, comment));
            comment.clear();
        }
    }
    return levels;
}

}  // namespace tezmola
