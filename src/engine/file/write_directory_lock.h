// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An advisory lock on the write directory itself, so that copies of the game sharing the per-user folder
// read, change and write a file one after the other. It makes no file of its own.

#include <cstdint>

namespace pentavel {
namespace file {

class WriteDirectoryLock {
public:
    // Takes the lock, waiting up to waitMilliseconds while another process holds it.
    explicit WriteDirectoryLock(std::uint32_t waitMilliseconds);
    // Releases the lock.
    ~WriteDirectoryLock();
    WriteDirectoryLock(const WriteDirectoryLock&) = delete;
    WriteDirectoryLock& operator=(const WriteDirectoryLock&) = delete;

    // False only when another process held the lock for the whole wait. A folder that cannot be locked at
    // all (no write directory, no locks on its file system) counts as held: the lock only orders copies.
    bool held() const { return held_; }

private:
    int descriptor_ = -1;
    bool held_ = false;
};

}  // namespace file
}  // namespace pentavel
