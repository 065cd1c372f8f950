// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What happens when the window system goes away under the running game (the X server ends, the session
// logs out): a quit request goes out, then the settings are saved, the log closed, and the game ends with
// exit code 1 instead of hanging.

namespace pentavel {
namespace internal {

// Installs the handler once the display is up; does nothing where the display is not an X server.
void guardAgainstDisplayLoss();

}  // namespace internal
}  // namespace pentavel
