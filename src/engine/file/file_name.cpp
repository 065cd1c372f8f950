// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/file_name.h"

#include <cstdint>
#include <cstdio>

namespace pentavel {
namespace file {
namespace {

constexpr std::size_t kDigestBytes = 1 + 16;  // "~" and the digits

// FNV-1a, 64 bits.
std::uint64_t digestOf(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

bool isContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0u) == 0x80u;
}

}  // namespace

std::string fittingFileName(const std::string& stem, const std::string& extension, std::size_t room) {
    if (stem.size() + extension.size() + room <= kMaxFileNameBytes)
        return stem + extension;
    // The stem is longer than the cut: the whole name was too long.
    std::size_t cut = kMaxFileNameBytes - room - extension.size() - kDigestBytes;
    while (cut > 0 && isContinuation(stem[cut]))
        --cut;
    char digest[kDigestBytes + 1];
    std::snprintf(digest, sizeof digest, "~%016llx", static_cast<unsigned long long>(digestOf(stem)));
    return stem.substr(0, cut) + digest + extension;
}

}  // namespace file
}  // namespace pentavel
