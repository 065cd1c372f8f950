// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Names of files made from names the player chose (a set's), kept within what a file system allows.

#include <cstddef>
#include <string>

namespace pentavel {
namespace file {

// The most bytes one name in a folder may have on the file systems the game runs on.
constexpr std::size_t kMaxFileNameBytes = 255;
// What a save through the virtual file system adds to a name: ".new" for the file written beside it, ".bad"
// for a damaged one kept aside.
constexpr std::size_t kSaveSuffixBytes = 4;

// stem + extension, when that name with room bytes more (the suffix of a file written beside it) fits in
// kMaxFileNameBytes. Else a name of the same stem and extension that fits with room to spare: the stem cut
// between two UTF-8 characters, "~" and 16 hexadecimal digits of a digest of the whole stem, so that stems
// that differ anywhere give different names.
std::string fittingFileName(const std::string& stem, const std::string& extension, std::size_t room);

}  // namespace file
}  // namespace pentavel
