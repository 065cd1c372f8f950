// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A stored-only ZIP writer for test archives, so the tests need no external tool.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace test {

inline std::uint32_t crc32Of(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// The bytes of a ZIP archive holding the given (name, content) entries uncompressed.
inline std::string zipArchive(const std::vector<std::pair<std::string, std::string>>& entries) {
    auto put16 = [](std::string& out, std::uint32_t value) {
        out += static_cast<char>(value & 0xFF);
        out += static_cast<char>((value >> 8) & 0xFF);
    };
    auto put32 = [&](std::string& out, std::uint32_t value) {
        put16(out, value & 0xFFFF);
        put16(out, value >> 16);
    };
    const std::uint32_t kDate = (0u << 9) | (1u << 5) | 1u;  // 1980-01-01
    std::string archive;
    std::string directory;
    for (const auto& [name, content] : entries) {
        const std::uint32_t offset = static_cast<std::uint32_t>(archive.size());
        const std::uint32_t crc = crc32Of(content);
        const auto size = static_cast<std::uint32_t>(content.size());
        const auto nameSize = static_cast<std::uint32_t>(name.size());
        put32(archive, 0x04034b50);
        for (std::uint32_t field : {20u, 0u, 0u, 0u, kDate})
            put16(archive, field);
        for (std::uint32_t field : {crc, size, size})
            put32(archive, field);
        put16(archive, nameSize);
        put16(archive, 0);
        archive += name + content;

        put32(directory, 0x02014b50);
        for (std::uint32_t field : {20u, 20u, 0u, 0u, 0u, kDate})
            put16(directory, field);
        for (std::uint32_t field : {crc, size, size})
            put32(directory, field);
        for (std::uint32_t field : {nameSize, 0u, 0u, 0u, 0u})
            put16(directory, field);
        put32(directory, 0);
        put32(directory, offset);
        directory += name;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(archive.size());
    const auto count = static_cast<std::uint32_t>(entries.size());
    archive += directory;
    put32(archive, 0x06054b50);
    for (std::uint32_t field : {0u, 0u, count, count})
        put16(archive, field);
    put32(archive, static_cast<std::uint32_t>(directory.size()));
    put32(archive, directoryOffset);
    put16(archive, 0);
    return archive;
}

}  // namespace test
