// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/utf8.h"

#include <cstdint>

namespace pentavel {
namespace file {

std::size_t utf8CharacterLength(const std::string& bytes, std::size_t at) {
    if (at >= bytes.size())
        return 0;
    const auto lead = static_cast<unsigned char>(bytes[at]);
    std::size_t length = 1;
    std::uint32_t codePoint = lead;
    if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0x80) {
        return 0;
    }
    if (bytes.size() - at < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[at + k]);
        if ((next & 0xC0u) != 0x80u)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
    if (overlong || (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF)
        return 0;
    return length;
}

bool isValidUtf8(const std::string& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = utf8CharacterLength(bytes, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

}  // namespace file
}  // namespace pentavel
