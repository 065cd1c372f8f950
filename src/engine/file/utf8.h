// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// UTF-8 as XML files hold it: no overlong forms, surrogates or code points above U+10FFFF.

#include <cstddef>
#include <string>

namespace pentavel {
namespace file {

// Bytes of the UTF-8 character that starts at index `at` (1 to 4), or 0 when none starts there.
std::size_t utf8CharacterLength(const std::string& bytes, std::size_t at);
// True when the bytes are UTF-8 throughout.
bool isValidUtf8(const std::string& bytes);

}  // namespace file
}  // namespace pentavel
