// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every fuzz target shares: a scratch folder that stands in for the player's folder, a fresh log per
// input, and SDL's dummy drivers so that no target needs a display or a sound device.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Asks SDL for its dummy video and audio drivers; call before SDL starts.
void useDummyDrivers();
// The folder of this process that the targets write their inputs to; removed at exit.
const std::string& scratchPath();
// Writes the bytes to that name in the scratch folder, replacing an older file.
void writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);
// Makes the scratch folder the whole search path and the write directory, and opens a fresh log there.
void mountScratch();
// Closes the log and empties the search path.
void unmountScratch();
// Reports a broken property and aborts, which the fuzzer records as a finding.
[[noreturn]] void fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace fuzz
