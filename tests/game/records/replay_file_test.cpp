// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The replay file: what is written reads back, and bytes that are no game's are refused with a reason.

#include "game/records/replay_file.h"

#include <gtest/gtest.h>
#include <tinyxml.h>
#include <zlib.h>

#include <cmath>
#include <tuple>

namespace {

using namespace tezmola;

TimedCommand timed(std::uint32_t step, CommandKind kind, std::int32_t direction = 0, float x = 0.0f,
                   float y = 0.0f) {
    return TimedCommand{step, PlayerCommand{kind, direction, x, y}};
}

Replay sample() {
    Replay replay;
    replay.setName = "Arcade";
    replay.setDigest = 0x0123456789abcdefull;
    replay.player = "ANNA";
    replay.date = "2026-12-09";
    replay.record.seed = 0xdeadbeef;
    replay.record.startingLevel = 3;
    replay.record.paddleX = -0.25f;
    replay.record.paddleY = 0.125f;
    replay.record.direction = 2;
    replay.record.freePaddle = true;
    replay.record.steps = 70000;
    // Steps apart by 127 and 128: the last that one byte holds and the first that takes two.
    replay.record.commands = {
        timed(0, CommandKind::Launch),       timed(0, CommandKind::Pointer, 0, 0.5f, -0.75f),
        timed(200, CommandKind::Steer, 1),   timed(327, CommandKind::Steer, 2),
        timed(455, CommandKind::FreePaddle), timed(69999, CommandKind::LevelUp),
        timed(70000, CommandKind::Revive)};
    replay.claim = GameResult{-5, 7, 2};
    return replay;
}

// The bytes of sample() before its command count: magic, versions, the three names, the digest and 34
// bytes of start and claim.
constexpr std::size_t kHeaderBytes = 8 + 4 + (1 + 6) + 8 + (1 + 4) + (1 + 10) + 34;

// The bytes with the checksum made right again, as a hostile file would have it.
std::string resealed(std::string bytes) {
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size() - 4));
    for (int index = 0; index < 4; ++index)
        bytes[bytes.size() - 4 + index] = static_cast<char>((crc >> (8 * index)) & 0xff);
    return bytes;
}

std::string refusal(const std::string& bytes) {
    Replay replay;
    std::string reason;
    return readReplay(bytes, replay, reason) ? std::string("read") : reason;
}

TEST(ReplayFile, ReadsBackWhatItWrote) {
    const Replay written = sample();
    Replay read;
    std::string reason;
    ASSERT_TRUE(readReplay(writeReplay(written), read, reason)) << reason;
    EXPECT_EQ(read.rulesVersion, kRulesVersion);
    EXPECT_EQ(read.setName, "Arcade");
    EXPECT_EQ(read.setDigest, written.setDigest);
    EXPECT_EQ(read.player, "ANNA");
    EXPECT_EQ(read.date, "2026-12-09");
    EXPECT_EQ(read.record.seed, 0xdeadbeef);
    EXPECT_EQ(read.record.startingLevel, 3u);
    EXPECT_EQ(read.record.paddleX, -0.25f);
    EXPECT_EQ(read.record.paddleY, 0.125f);
    EXPECT_EQ(read.record.direction, 2);
    EXPECT_TRUE(read.record.freePaddle);
    EXPECT_EQ(read.record.steps, 70000u);
    EXPECT_EQ(read.claim.score, -5);
    EXPECT_EQ(read.claim.level, 7u);
    EXPECT_EQ(read.claim.balls, 2u);
    ASSERT_EQ(read.record.commands.size(), 7u);
    for (std::size_t index = 0; index < 7; ++index) {
        const TimedCommand& a = read.record.commands[index];
        const TimedCommand& b = written.record.commands[index];
        EXPECT_EQ(a.step, b.step);
        EXPECT_EQ(a.command.kind, b.command.kind);
        EXPECT_EQ(a.command.direction, b.command.direction);
        EXPECT_EQ(a.command.x, b.command.x);
        EXPECT_EQ(a.command.y, b.command.y);
    }
}

// A set's path of 327 bytes, a character across its 255th, or a long player's name is kept whole, in the
// layout of long texts; a text of 255 bytes still takes the first layout, so older files are written as
// they were.
TEST(ReplayFile, TextsOfAnyLengthAreKeptWhole) {
    std::string path = "/" + std::string(202, 'a') + "/";
    for (int index = 0; index < 30; ++index)
        path += "\xC3\xBC";
    path += "/" + std::string(55, 'c') + "Set.xml";
    for (const auto& [name, player, layout] : {std::make_tuple(std::string(255, 'n'), std::string("A"), 1),
                                               std::make_tuple(std::string(256, 'n'), std::string("A"), 2),
                                               std::make_tuple(path, std::string("A"), 2),
                                               std::make_tuple(std::string("S"), std::string(300, 'P'), 2)}) {
        Replay replay = sample();
        replay.setName = name;
        replay.player = player;
        const std::string bytes = writeReplay(replay);
        EXPECT_EQ(layout, bytes[8]) << name.size();
        Replay read;
        std::string reason;
        ASSERT_TRUE(readReplay(bytes, read, reason)) << reason;
        EXPECT_EQ(std::make_tuple(name, player, std::string("2026-12-09"), std::size_t{7}),
                  std::make_tuple(read.setName, read.player, read.date, read.record.commands.size()));
    }
    EXPECT_EQ(327u, path.size());
}

TEST(ReplayFile, RefusesEveryCutAndEveryFlippedByte) {
    const std::string bytes = writeReplay(sample());
    EXPECT_EQ(refusal("<?xml version=\"1.0\"?>"), "not a replay");
    EXPECT_EQ(refusal("TZREPLAY"), "damaged: its checksum does not match");
    EXPECT_EQ(refusal(resealed("TZREPLAY....")),
              "written by another version of the game in a layout this one cannot read");
    EXPECT_EQ(refusal(resealed(std::string("TZREPLAY\x01\x00----", 14))),
              "damaged: its header is not one of a game");
    for (std::size_t size = 0; size < bytes.size(); ++size)
        EXPECT_NE(refusal(bytes.substr(0, size)), "read") << size;
    for (std::size_t at = 8; at < bytes.size(); ++at) {
        std::string flipped = bytes;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x10);
        EXPECT_EQ(refusal(flipped), "damaged: its checksum does not match") << at;
    }
    std::string huge = bytes;
    huge.resize(kMaxReplayFileSize + 1);
    EXPECT_EQ(refusal(resealed(huge)), "damaged: larger than any replay");
    huge.resize(kMaxReplayFileSize);
    EXPECT_EQ(refusal(resealed(huge)), "damaged: its header is not one of a game");
    std::string otherLayout = bytes;
    otherLayout[8] = 3;
    EXPECT_EQ(refusal(resealed(otherLayout)),
              "written by another version of the game in a layout this one cannot read");
}

TEST(ReplayFile, RefusesAGameNoPlayCouldHaveRecorded) {
    const char* header = "damaged: its header is not one of a game";
    const char* command = "damaged: a command lies outside the game";
    Replay replay = sample();
    replay.record.steps = kMaxReplaySteps + 1;
    EXPECT_EQ(refusal(writeReplay(replay)), header);
    replay = sample();
    replay.record.direction = 3;
    EXPECT_EQ(refusal(writeReplay(replay)), header);
    replay = sample();
    replay.record.paddleX = NAN;
    EXPECT_EQ(refusal(writeReplay(replay)), header);
    replay = sample();
    replay.record.paddleY = 1001.0f;
    EXPECT_EQ(refusal(writeReplay(replay)), header);
    replay = sample();
    replay.record.commands.back().step = 70001;
    EXPECT_EQ(refusal(writeReplay(replay)), command);
    replay = sample();
    replay.record.commands[1].step = 300;  // before the step of the command after it
    EXPECT_EQ(refusal(writeReplay(replay)), command);
    replay = sample();
    replay.record.commands[2].command.direction = 3;
    EXPECT_EQ(refusal(writeReplay(replay)), command);
    replay = sample();
    replay.record.commands[1].command.y = INFINITY;
    EXPECT_EQ(refusal(writeReplay(replay)), command);
    replay = sample();
    replay.record.commands[1].command.x = -1000.5f;
    EXPECT_EQ(refusal(writeReplay(replay)), command);
    replay.record.commands[1].command.x = -1000.0f;
    EXPECT_EQ(refusal(writeReplay(replay)), "read");
    replay.record.commands[0].command.kind = static_cast<CommandKind>(kLastCommandKind + 1);
    EXPECT_EQ(refusal(writeReplay(replay)), command);
}

TEST(ReplayFile, RefusesCountsThatDisagreeWithTheCommands) {
    const std::string bytes = writeReplay(sample());
    const std::size_t count = kHeaderBytes;
    ASSERT_EQ(bytes[count], 7);
    std::string more = bytes;
    more[count] = 8;
    EXPECT_EQ(refusal(resealed(more)), "damaged: its commands do not fill their space");
    std::string fewer = bytes;
    fewer[count] = 6;
    EXPECT_EQ(refusal(resealed(fewer)), "damaged: its commands do not fill their space");
    std::string unpacked = bytes;
    unpacked[count + 4] = static_cast<char>(unpacked[count + 4] + 1);
    EXPECT_EQ(refusal(resealed(unpacked)), "damaged: its commands cannot be unpacked");
    std::string bomb = bytes;
    bomb[count + 4 + 3] = 0x7f;  // far more than seven commands can take
    EXPECT_EQ(refusal(resealed(bomb)), "damaged: its header is not one of a game");
    std::string packed = bytes;
    packed[count + 8] = static_cast<char>(packed[count + 8] + 1);
    EXPECT_EQ(refusal(resealed(packed)), "damaged: its header is not one of a game");
    packed[count + 9] = 1;  // past the end of the file
    EXPECT_EQ(refusal(resealed(packed)), "damaged: its header is not one of a game");
    // Packed commands that would be the checksum itself.
    std::string none = bytes.substr(0, count + 8) + std::string("\x04\x00\x00\x00", 4);
    EXPECT_EQ(refusal(resealed(none + "....")), "damaged: its header is not one of a game");
}

TEST(ReplayFile, AGapOfUpTo127StepsTakesOneByte) {
    Replay replay = sample();
    const std::size_t unpacked = kHeaderBytes + 4;
    replay.record.commands = {timed(127, CommandKind::Launch)};
    EXPECT_EQ(writeReplay(replay)[unpacked], 2);
    replay.record.commands = {timed(128, CommandKind::Launch)};
    EXPECT_EQ(writeReplay(replay)[unpacked], 3);
}

// The bytes of sample() with its commands replaced by the body given, packed, as a hostile file has them.
std::string withBody(const std::string& body, std::uint32_t count) {
    const std::string bytes = writeReplay(sample());
    uLongf size = compressBound(static_cast<uLong>(body.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &size, reinterpret_cast<const Bytef*>(body.data()),
             static_cast<uLong>(body.size()));
    packed.resize(size);
    std::string file = bytes.substr(0, kHeaderBytes);
    for (const std::uint32_t value :
         {count, static_cast<std::uint32_t>(body.size()), static_cast<std::uint32_t>(size)})
        for (int index = 0; index < 4; ++index)
            file += static_cast<char>((value >> (8 * index)) & 0xff);
    return resealed(file + packed + "....");
}

TEST(ReplayFile, RefusesCommandsCutShortOrOverlong) {
    const std::string launch("\x00\x01", 2);
    EXPECT_EQ(refusal(withBody(launch, 1)), "read");
    EXPECT_EQ(refusal(withBody(std::string("\x00\x00", 2), 1)), "damaged: a command lies outside the game");
    // A step of five bytes that goes on into a sixth: no 32-bit number is that long.
    EXPECT_EQ(refusal(withBody(std::string("\x80\x80\x80\x80\x80\x01", 6), 1)),
              "damaged: its commands do not fill their space");
    EXPECT_EQ(refusal(withBody(std::string("\x80\x80\x80\x80\x80\x00\x01", 7), 1)),
              "damaged: its commands do not fill their space");
    // A pointer move without its y.
    EXPECT_EQ(refusal(withBody(launch + std::string("\x00\x02\x00\x00\x00\x00", 6), 2)),
              "damaged: its commands do not fill their space");
}

TEST(ReplayFile, ReadsTheLongestGameAndTheMostCommands) {
    Replay replay = sample();
    replay.record.steps = kMaxReplaySteps;
    replay.record.commands = {timed(kMaxReplaySteps, CommandKind::Pointer, 0, 1.0f, 2.0f)};
    EXPECT_EQ(refusal(writeReplay(replay)), "read");
    replay.record.commands.assign(kMaxRecordedCommands, timed(0, CommandKind::Launch));
    EXPECT_EQ(refusal(writeReplay(replay)), "read");
    replay.record.commands.push_back(timed(0, CommandKind::Launch));
    EXPECT_EQ(refusal(writeReplay(replay)), "damaged: its header is not one of a game");
}

TEST(ReplayFile, TheSetDigestFollowsTheLevelsNotTheLayoutOfTheFile) {
    auto digest = [](const char* text) {
        TiXmlDocument document;
        document.Parse(text);
        return levelSetDigest(document);
    };
    const std::uint64_t levels = digest("<level><tezm>R1</tezm></level><level><tezm>B1</tezm></level>");
    // An author's title and name, a proof the editor keeps: no game changes.
    EXPECT_EQ(digest("<!-- mine -->\n<level title=\"Mine\" author=\"Me\" proven=\"yes\">\n  <tezm>R1</tezm>\n"
                     "<proof result=\"cleared\"/></level>\n<level><tezm>B1</tezm></level>"),
              levels);
    EXPECT_NE(digest("<level><tezm>R1</tezm></level><level><tezm>B2</tezm></level>"), levels);
    EXPECT_NE(digest("<level><tezm>B1</tezm></level><level><tezm>R1</tezm></level>"), levels);
    EXPECT_NE(digest("<level><tezm>R1</tezm></level>"), levels);
    EXPECT_NE(
        digest("<level><tezm>R1</tezm><background sprite=\"x\"/></level><level><tezm>B1</tezm></level>"),
        levels);
}

}  // namespace
