// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A replay file's bytes through the reader: any input reads or is refused with a reason, and one that reads
// holds a game's commands in order within its steps and writes out to bytes that read back the same.

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "game/records/replay_file.h"

namespace {

void checkCommands(const tezmola::GameRecord& record) {
    std::uint32_t step = 0;
    for (const tezmola::TimedCommand& timed : record.commands) {
        if (timed.step < step || timed.step > record.steps)
            fuzz::fail("a command at step %u after step %u of %u", timed.step, step, record.steps);
        step = timed.step;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    tezmola::Replay replay;
    std::string reason;
    if (!tezmola::readReplay(bytes, replay, reason)) {
        if (reason.empty())
            fuzz::fail("refused without a reason");
        return 0;
    }
    checkCommands(replay.record);
    tezmola::Replay again;
    if (!tezmola::readReplay(tezmola::writeReplay(replay), again, reason))
        fuzz::fail("a replay written again does not read: %s", reason.c_str());
    if (again.record.commands.size() != replay.record.commands.size() ||
        again.claim.score != replay.claim.score || again.setName != replay.setName ||
        again.record.steps != replay.record.steps)
        fuzz::fail("a replay written again reads differently");
    return 0;
}
