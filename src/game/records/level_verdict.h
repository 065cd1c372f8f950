// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the checker found of a level, as the proof records keep it.

namespace tezmola {

enum class LevelVerdict { Cleared, NotProven, Malformed, NothingToClear };

}  // namespace tezmola
