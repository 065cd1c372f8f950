// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/records/replay_file.h"

#include <tinyxml.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "game/field/paddle.h"

namespace tezmola {

namespace {

constexpr char kMagic[] = "TZREPLAY";  // the file's first 8 bytes
// The layout of every replay whose texts are short, so that such a file is written as it always was; the
// other, kReplayFormat, differs only in the length of a text.
constexpr std::uint16_t kShortTextFormat = 1;
constexpr std::size_t kMagicSize = 8;
// The most a string's one byte of length counts in the first layout; a longer one takes the second.
constexpr std::size_t kMaxShortText = 255;
// A command takes at most a step of 4 bytes (any step up to kMaxReplaySteps), its kind and two coordinates.
constexpr std::size_t kMaxCommandBytes = 13;
constexpr float kFarthestPointer = 1000.0f;  // play-field units; a device never gives more
constexpr char kNotFilled[] = "damaged: its commands do not fill their space";
constexpr char kOutside[] = "damaged: a command lies outside the game";

std::uint64_t fnv1a(std::uint64_t hash, const std::string& text) {
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

class Writer {
public:
    void byte(std::uint32_t value) { bytes_.push_back(static_cast<char>(value & 0xffu)); }
    void u16(std::uint32_t value) {
        byte(value);
        byte(value >> 8);
    }
    void u32(std::uint32_t value) {
        u16(value);
        u16(value >> 16);
    }
    void u64(std::uint64_t value) {
        u32(static_cast<std::uint32_t>(value));
        u32(static_cast<std::uint32_t>(value >> 32));
    }
    void real(float value) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        u32(bits);
    }
    void varint(std::uint32_t value) {
        while (value >= 0x80u) {
            byte(value | 0x80u);
            value >>= 7;
        }
        byte(value);
    }
    // The text whole, after its length in one byte (the first layout) or in a u32 (the second).
    void text(const std::string& value, std::uint16_t format) {
        if (format == kShortTextFormat)
            byte(static_cast<std::uint32_t>(value.size()));
        else
            u32(static_cast<std::uint32_t>(value.size()));
        bytes_ += value;
    }
    void raw(const std::string& value) { bytes_ += value; }
    std::string& bytes() { return bytes_; }

private:
    std::string bytes_;
};

// Reads from bytes that may end anywhere: past the end every value reads as 0 and the reader is spent.
class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    std::uint32_t byte() {
        if (at_ >= bytes_.size()) {
            spent_ = true;
            return 0;
        }
        return static_cast<unsigned char>(bytes_[at_++]);
    }
    // Each part read in its own statement: the operands of one expression may be read in any order.
    std::uint32_t u16() {
        const std::uint32_t low = byte();
        return low | byte() << 8;
    }
    std::uint32_t u32() {
        const std::uint32_t low = u16();
        return low | u16() << 16;
    }
    std::uint64_t u64() {
        const std::uint64_t low = u32();
        return low | std::uint64_t{u32()} << 32;
    }
    float real() {
        const std::uint32_t bits = u32();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    std::uint32_t varint() {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            const std::uint32_t next = byte();
            value |= (next & 0x7fu) << shift;
            if ((next & 0x80u) == 0)
                return value;
        }
        spent_ = true;  // longer than any 32-bit number
        return 0;
    }
    std::string text(std::uint16_t format) { return raw(format == kShortTextFormat ? byte() : u32()); }
    // Nothing, and nothing read, when fewer bytes are left: the header's reader then finds the bytes
    // left over not to be the checksum alone.
    std::string raw(std::size_t size) {
        if (size > left())
            return std::string();
        at_ += size;
        return bytes_.substr(at_ - size, size);
    }
    bool spent() const { return spent_; }
    std::size_t left() const { return bytes_.size() - at_; }

private:
    const std::string& bytes_;
    std::size_t at_ = 0;
    bool spent_ = false;
};

std::string encodeCommands(const std::vector<TimedCommand>& commands) {
    Writer body;
    std::uint32_t step = 0;
    for (const TimedCommand& timed : commands) {
        body.varint(timed.step - step);
        step = timed.step;
        body.byte(static_cast<std::uint32_t>(timed.command.kind));
        if (timed.command.kind == CommandKind::Steer) {
            body.byte(static_cast<std::uint32_t>(timed.command.direction));
        } else if (timed.command.kind == CommandKind::Pointer) {
            body.real(timed.command.x);
            body.real(timed.command.y);
        }
    }
    return body.bytes();
}

bool isPointerValue(float value) {
    return std::isfinite(value) && std::fabs(value) <= kFarthestPointer;
}

bool decodeCommands(const std::string& body, std::uint32_t count, std::uint32_t steps,
                    std::vector<TimedCommand>& commands, std::string& reason) {
    // Into a vector of its own: a replay that is refused keeps the commands it had.
    Reader reader(body);
    commands.reserve(count);
    std::uint32_t step = 0;
    for (std::uint32_t index = 0; index < count; ++index) {
        TimedCommand timed;
        const std::uint32_t delta = reader.varint();
        const std::uint32_t kind = reader.byte();
        if (reader.spent()) {
            reason = kNotFilled;
            return false;
        }
        if (delta > steps - step || kind < 1 || kind > kLastCommandKind) {
            reason = kOutside;
            return false;
        }
        step += delta;
        timed.step = step;
        timed.command.kind = static_cast<CommandKind>(kind);
        if (timed.command.kind == CommandKind::Steer) {
            timed.command.direction = static_cast<std::int32_t>(reader.byte());
            if (timed.command.direction > kPaddleRight) {
                reason = kOutside;
                return false;
            }
        } else if (timed.command.kind == CommandKind::Pointer) {
            timed.command.x = reader.real();
            timed.command.y = reader.real();
            if (!isPointerValue(timed.command.x) || !isPointerValue(timed.command.y)) {
                reason = kOutside;
                return false;
            }
        }
        commands.push_back(timed);
    }
    if (reader.spent() || reader.left() != 0) {
        reason = kNotFilled;
        return false;
    }
    return true;
}

std::uint32_t checksum(const std::string& bytes, std::size_t size) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(size)));
}

}  // namespace

std::uint64_t levelSetDigest(const TiXmlDocument& document) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const TiXmlElement* level = document.FirstChildElement("level"); level != nullptr;
         level = level->NextSiblingElement("level")) {
        // What play reads of a level: its map and its background (a level without one is not played). Its
        // title and author and the proofs that the editor and the importer keep in it change no game.
        for (const char* part : {"tezm", "background"}) {
            TiXmlPrinter printer;
            if (const TiXmlElement* element = level->FirstChildElement(part))
                element->Accept(&printer);
            hash = fnv1a(hash, printer.Str());  // each part begins with its own tag
        }
    }
    return hash;
}

std::string writeReplay(const Replay& replay) {
    const GameRecord& record = replay.record;
    Writer file;
    const std::uint16_t format =
        std::max({replay.setName.size(), replay.player.size(), replay.date.size()}) <= kMaxShortText
            ? kShortTextFormat
            : kReplayFormat;
    file.raw(std::string(kMagic, kMagicSize));
    file.u16(format);
    file.u16(replay.rulesVersion);
    file.text(replay.setName, format);
    file.u64(replay.setDigest);
    file.text(replay.player, format);
    file.text(replay.date, format);
    file.u32(record.startingLevel);
    file.u32(record.seed);
    file.real(record.paddleX);
    file.real(record.paddleY);
    file.byte(static_cast<std::uint32_t>(record.direction));
    file.byte(record.freePaddle ? 1 : 0);
    file.u32(record.steps);
    file.u32(static_cast<std::uint32_t>(replay.claim.score));
    file.u32(replay.claim.level);
    file.u32(replay.claim.balls);
    const std::string body = encodeCommands(record.commands);
    uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
    std::string packed(packedSize, '\0');
    compress2(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(body.data()),
              static_cast<uLong>(body.size()), Z_BEST_COMPRESSION);
    packed.resize(packedSize);
    file.u32(static_cast<std::uint32_t>(record.commands.size()));
    file.u32(static_cast<std::uint32_t>(body.size()));
    file.u32(static_cast<std::uint32_t>(packed.size()));
    file.raw(packed);
    file.u32(checksum(file.bytes(), file.bytes().size()));
    return file.bytes();
}

bool readReplay(const std::string& bytes, Replay& replay, std::string& reason) {
    if (bytes.size() < kMagicSize || bytes.compare(0, kMagicSize, kMagic, kMagicSize) != 0) {
        reason = "not a replay";
        return false;
    }
    if (bytes.size() > kMaxReplayFileSize) {
        reason = "damaged: larger than any replay";
        return false;
    }
    const std::string stored =
        bytes.size() >= kMagicSize + 4 ? bytes.substr(bytes.size() - 4) : std::string();
    if (stored.empty() || checksum(bytes, bytes.size() - 4) != Reader(stored).u32()) {
        reason = "damaged: its checksum does not match";
        return false;
    }
    Reader file(bytes);
    file.raw(kMagicSize);
    const std::uint32_t format = file.u16();
    if (format != kShortTextFormat && format != kReplayFormat) {
        reason = "written by another version of the game in a layout this one cannot read";
        return false;
    }
    replay.rulesVersion = static_cast<std::uint16_t>(file.u16());
    replay.setName = file.text(static_cast<std::uint16_t>(format));
    replay.setDigest = file.u64();
    replay.player = file.text(static_cast<std::uint16_t>(format));
    replay.date = file.text(static_cast<std::uint16_t>(format));
    GameRecord& record = replay.record;
    record.startingLevel = file.u32();
    record.seed = file.u32();
    record.paddleX = file.real();
    record.paddleY = file.real();
    record.direction = static_cast<std::int32_t>(file.byte());
    const std::uint32_t freePaddle = file.byte();
    record.freePaddle = freePaddle == 1;
    record.steps = file.u32();
    replay.claim.score = static_cast<std::int32_t>(file.u32());
    replay.claim.level = file.u32();
    replay.claim.balls = file.u32();
    const std::uint32_t count = file.u32();
    const std::uint32_t bodySize = file.u32();
    const std::string packed = file.raw(file.u32());
    // A header cut short reads nothing of the packed commands, so the bytes left are never the checksum
    // alone.
    if (file.left() != 4 || freePaddle > 1 || record.direction > kPaddleRight ||
        !isPointerValue(record.paddleX) || !isPointerValue(record.paddleY) ||
        record.steps > kMaxReplaySteps || count > kMaxRecordedCommands ||
        bodySize > count * kMaxCommandBytes) {
        reason = "damaged: its header is not one of a game";
        return false;
    }
    std::string body(bodySize, '\0');
    uLongf unpacked = bodySize;
    if (uncompress(reinterpret_cast<Bytef*>(&body[0]), &unpacked,
                   reinterpret_cast<const Bytef*>(packed.data()),
                   static_cast<uLong>(packed.size())) != Z_OK ||
        unpacked != bodySize) {
        reason = "damaged: its commands cannot be unpacked";
        return false;
    }
    std::vector<TimedCommand> commands;
    if (!decodeCommands(body, count, record.steps, commands, reason))
        return false;
    record.commands = std::move(commands);
    return true;
}

}  // namespace tezmola
