// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A level's proof kept in the level file: it holds exactly while the level's content is the one proven,
// nothing but a well-formed record is taken, and the checker takes a current one instead of a play.
#include "game/records/proof_record.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>

#include "engine/file/xml_document.h"
#include "game/checks/level_check.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;

const char kResult[] = "cleared in 1.5 s simulated with 0 balls lost";

std::vector<ProofRecord> recordsOf(const std::string& text) {
    TiXmlDocument document;
    EXPECT_TRUE(pentavel::file::parseXmlDocument(document, text));
    return readProofRecords(document);
}

TEST(ProofRecord, HoldsUntilABrickTheBackgroundOrTheTintChanges) {
    LevelDraft proven;
    proven.comment = "a title";
    proven.map[3][4] = {'B', '2'};
    proven.background = "bg_plate";
    proven.red = 0.5f;
    const std::vector<ProofRecord> records = recordsOf(writeLevelSet(
        {LevelDraft(), proven}, {"", proofRecordText(ProofRecord{levelContent(proven), kResult})}));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[0].result.empty());
    EXPECT_EQ(records[1].result, kResult);
    EXPECT_TRUE(isCurrent(records[1], proven));
    LevelDraft retitled = proven;
    retitled.comment = "another title";
    EXPECT_TRUE(isCurrent(records[1], retitled));

    std::vector<LevelDraft> changes(9, proven);
    changes[0].map[3][4] = {'B', '3'};    // hit points
    changes[1].map[3][4] = {'R', '2'};    // colour
    changes[2].map[0][0] = {'R', '1'};    // a brick on the frame, first cell
    changes[3].map[18][15] = {'.', '.'};  // the last cell of the map
    changes[4].background = "bg_plat";
    changes[5].background = "bg_plate2";
    changes[6].red = 0.55f;
    changes[7].green = 0.95f;
    changes[8].blue = 0.0f;
    for (std::size_t index = 0; index < changes.size(); ++index)
        EXPECT_FALSE(isCurrent(records[1], changes[index])) << "change " << index;
    EXPECT_FALSE(isCurrent(ProofRecord{levelContent(proven), ""}, proven));  // no result, no record
    // The number is part of the file: the same level gives it on every machine and in every version.
    EXPECT_EQ(levelContent(LevelDraft()), 0x89cad60bc1c8bdb6u);
    EXPECT_EQ(levelContent(proven), 0x4bdd326d9df2d2e6u);
}

TEST(ProofRecord, OnlyAWellFormedRecordIsTaken) {
    const std::string content = "0123456789abcdef";
    const char* const broken[] = {
        "<proof result=\"cleared\"/>",
        "<proof content=\"0123456789abcdef\"/>",
        "<proof content=\"0123456789abcde\" result=\"cleared\"/>",
        "<proof content=\"0123456789abcdef0\" result=\"cleared\"/>",
        "<proof content=\"0123456789abcdeg\" result=\"cleared\"/>",
        "<proof content=\"0123456789abcdef\" result=\"\"/>",
        "<proof content=\"0123456789abcdef\" result=\"cleared&#9;in 1 s\"/>",
        "<proof content=\"0123456789abcdef\" result=\"cleared \xc3\xa9\"/>",
        "<proof content=\"0123456789abcdef\" result=\"&#9;cleared\"/>",
        "<proof content=\"g123456789abcdef\" result=\"cleared\"/>",
    };
    std::string text;
    for (const char* record : broken)
        text += std::string("<level>") + record + "</level>\n";
    text +=
        "<level><proof content=\"0123456789ABCDEF\" result=\"~" + std::string(199, 'x') + "\"/></level>\n";
    text += "<level><proof content=\"0123456789abcdef\" result=\"x\"/></level>\n";
    text += "<level><proof content=\"0123456789abcdef\" result=\"" + std::string(201, 'x') + "\"/></level>\n";
    const std::vector<ProofRecord> records = recordsOf(text);
    ASSERT_EQ(records.size(), std::size(broken) + 3);
    for (std::size_t index = 0; index < std::size(broken); ++index)
        EXPECT_TRUE(records[index].result.empty()) << broken[index];
    EXPECT_EQ(records[std::size(broken)].content, 0x0123456789abcdefu);
    EXPECT_EQ(records[std::size(broken)].result.size(), 200u);
    EXPECT_EQ(records[std::size(broken) + 1].result, "x");
    EXPECT_TRUE(records.back().result.empty());
    // Written again, a record reads back as it was, whatever its result holds.
    const ProofRecord odd{0xfedcba9876543210u, "a \"quoted\" <result> & ~ more"};
    const std::vector<ProofRecord> again = recordsOf(writeLevelSet({LevelDraft()}, {proofRecordText(odd)}));
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].content, odd.content);
    EXPECT_EQ(again[0].result, odd.result);
    EXPECT_EQ(proofRecordText(ProofRecord{1, ""}), "");
    EXPECT_NE(proofRecordText(ProofRecord{1,
                                          "a\x01\x7f\xc3\xa9"
                                          "b"})
                  .find("result=\"ab\""),
              std::string::npos);
    EXPECT_EQ(playVerdict(kResult), LevelVerdict::Cleared);
    EXPECT_EQ(playVerdict("not proven with 2 bricks left"), LevelVerdict::NotProven);
}

class RecordedCheckTest : public test::GameTest {};

// Only a level that would be played takes the recorded result; the others are judged as ever.
TEST_F(RecordedCheckTest, TheCheckerTakesARecordedResultInsteadOfAPlay) {
    const std::string played = test::level(test::mapWith(2, "I.R1" + std::string(24, '.') + "SSI."));
    const std::string empty = test::level(test::mapWith(2, "I.SS" + std::string(24, '.') + "..I."));
    ASSERT_TRUE(start(empty + played + played));
    const std::vector<std::string> recorded = {kResult, "", kResult};
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(!checkLevelFile(*game, "set.xml", out, &recorded));
    std::fclose(out);
    const std::string text(buffer, size);
    std::free(buffer);
    EXPECT_NE(text.find("Level 1: 0 bricks to clear, 1 steel: nothing to clear"), std::string::npos) << text;
    EXPECT_NE(text.find("Level 2: 1 brick to clear, 1 steel: cleared in "), std::string::npos) << text;
    EXPECT_EQ(text.find(std::string("Level 2: 1 brick to clear, 1 steel: ") + kResult), std::string::npos);
    EXPECT_NE(text.find(std::string("Level 3: 1 brick to clear, 1 steel: ") + kResult + "\n"),
              std::string::npos)
        << text;
    EXPECT_NE(
        text.find("set.xml: 3 levels, 2 cleared, 1 with nothing to clear; 1 warning; 1 proof taken from "
                  "the record\n"),
        std::string::npos)
        << text;
}

}  // namespace
