// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/records/proof_record.h"

#include <tinyxml.h>

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/field/level.h"

namespace tezmola {

namespace {

constexpr char kElement[] = "proof";
constexpr std::size_t kMaxResult = 200;  // the checker's words for a level are far shorter
constexpr std::size_t kContentDigits = 16;

// FNV-1a, 64 bits: defined byte by byte, so that a record written on one machine is current on another.
struct ContentHash {
    std::uint64_t value = 14695981039346656037u;

    void add(const char* bytes, std::size_t count) {
        for (std::size_t index = 0; index < count; ++index) {
            value ^= static_cast<unsigned char>(bytes[index]);
            value *= 1099511628211u;
        }
    }
    void add(float number) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &number, sizeof bits);
        const char bytes[4] = {static_cast<char>(bits), static_cast<char>(bits >> 8),
                               static_cast<char>(bits >> 16), static_cast<char>(bits >> 24)};
        add(bytes, sizeof bytes);
    }
};

// Only the plain text the checker writes is taken: a record is shown on the editor's status line.
bool isPlainResult(const char* text) {
    const std::size_t length = std::strlen(text);
    if (length == 0 || length > kMaxResult)
        return false;
    for (std::size_t index = 0; index < length; ++index)
        if (text[index] < ' ' || text[index] > '~')
            return false;
    return true;
}

ProofRecord readRecord(const TiXmlElement& level) {
    ProofRecord record;
    const TiXmlElement* proof = level.FirstChildElement(kElement);
    if (proof == nullptr)
        return record;
    const char* content = proof->Attribute("content");
    const char* result = proof->Attribute("result");
    if (content == nullptr || result == nullptr || std::strlen(content) != kContentDigits ||
        !isPlainResult(result))
        return record;
    for (std::size_t index = 0; index < kContentDigits; ++index)
        if (std::isxdigit(static_cast<unsigned char>(content[index])) == 0)
            return record;
    record.content = std::strtoull(content, nullptr, 16);
    record.result = result;
    return record;
}

std::string escapedResult(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '&')
            escaped += "&amp;";
        else if (c == '<')
            escaped += "&lt;";
        else if (c == '"')
            escaped += "&quot;";
        else if (c >= ' ' && c <= '~')
            escaped += c;
    }
    return escaped;
}

}  // namespace

std::uint64_t levelContent(const LevelDraft& level) {
    ContentHash hash;
    for (const auto& row : level.map)
        for (const CellCode& code : row)
            hash.add(code.data(), code.size());
    hash.add(level.background.c_str(), level.background.size() + 1);
    hash.add(level.red);
    hash.add(level.green);
    hash.add(level.blue);
    return hash.value;
}

std::vector<ProofRecord> readProofRecords(const TiXmlDocument& document) {
    std::vector<ProofRecord> records;
    for (const TiXmlElement* level = document.FirstChildElement("level"); level != nullptr;
         level = level->NextSiblingElement("level"))
        records.push_back(readRecord(*level));
    return records;
}

bool isCurrent(const ProofRecord& record, const LevelDraft& level) {
    return !record.result.empty() && record.content == levelContent(level);
}

std::string proofRecordText(const ProofRecord& record) {
    if (record.result.empty())
        return "";
    char content[kContentDigits + 1];
    std::snprintf(content, sizeof content, "%016" PRIx64, record.content);
    return std::string("  <") + kElement + " content=\"" + content + "\" result=\"" +
           escapedResult(record.result) + "\"/>\n";
}

LevelVerdict playVerdict(const std::string& result) {
    return result.compare(0, 7, "cleared") == 0 ? LevelVerdict::Cleared : LevelVerdict::NotProven;
}

std::int32_t countProvenLevels(const TiXmlDocument& document) {
    std::int32_t proven = 0;
    std::vector<bool> recorded;  // by level: a record to look at
    bool anyRecorded = false;
    for (const TiXmlElement* level = document.FirstChildElement("level"); level != nullptr;
         level = level->NextSiblingElement("level")) {
        const bool marked = readLevelNotes(level).proven;
        proven += marked ? 1 : 0;
        recorded.push_back(!marked && level->FirstChildElement(kElement) != nullptr);
        anyRecorded = anyRecorded || recorded.back();
    }
    if (!anyRecorded)
        return proven;
    const std::vector<LevelDraft> levels = readLevelSet(document);
    const std::vector<ProofRecord> records = readProofRecords(document);
    std::size_t index = 0;
    for (const bool toRead : recorded) {
        const ProofRecord& record = records[index];
        if (toRead && isCurrent(record, levels[index]) && playVerdict(record.result) == LevelVerdict::Cleared)
            ++proven;
        ++index;
    }
    return proven;
}

}  // namespace tezmola
