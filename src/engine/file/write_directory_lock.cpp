// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/write_directory_lock.h"

#include <fcntl.h>
#include <physfs.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace pentavel {
namespace file {
namespace {

constexpr std::chrono::milliseconds kRetryPause{10};

}  // namespace

WriteDirectoryLock::WriteDirectoryLock(std::uint32_t waitMilliseconds) {
    const char* directory = PHYSFS_getWriteDir();
    if (directory != nullptr)
        descriptor_ = open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor_ < 0) {
        held_ = true;
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    while (true) {
        if (flock(descriptor_, LOCK_EX | LOCK_NB) == 0 || (errno != EWOULDBLOCK && errno != EINTR)) {
            held_ = true;
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(kRetryPause);
    }
}

WriteDirectoryLock::~WriteDirectoryLock() {
    if (descriptor_ >= 0)
        close(descriptor_);
}

}  // namespace file
}  // namespace pentavel
