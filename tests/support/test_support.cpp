// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/test_support.h"

#include <physfs.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace test {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "tezmola-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& relative, const std::string& bytes) const {
    const fs::path full = fs::path(path_) / relative;
    fs::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return full.string();
}

DiskFullPast::DiskFullPast(unsigned long bytes) : savedLimit_(RLIM_INFINITY), savedHandler_(SIG_DFL) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    savedLimit_ = limit.rlim_cur;
    savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = bytes;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        throw std::runtime_error("setrlimit failed");
}

DiskFullPast::~DiskFullPast() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = savedLimit_;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, savedHandler_);
}

std::string TempDir::read(const std::string& relative) const {
    return readWholeFile(path_ + "/" + relative);
}

bool TempDir::exists(const std::string& relative) const {
    return fs::exists(fs::path(path_) / relative);
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void unmountAll() {
    if (!PHYSFS_isInit())
        return;
    char** entries = PHYSFS_getSearchPath();
    for (char** entry = entries; entry != nullptr && *entry != nullptr; ++entry)
        PHYSFS_unmount(*entry);
    PHYSFS_freeList(entries);
    PHYSFS_setWriteDir(nullptr);
}

void mountOnly(const std::string& writable, const std::string& second, const std::string& third) {
    if (!PHYSFS_isInit() && !PHYSFS_init("tezmola-tests"))
        throw std::runtime_error("PHYSFS_init failed");
    unmountAll();
    if (!PHYSFS_setWriteDir(writable.c_str()))
        throw std::runtime_error("PHYSFS_setWriteDir failed");
    for (const std::string* dir : {&writable, &second, &third}) {
        if (!dir->empty())
            PHYSFS_mount(dir->c_str(), nullptr, 1);
    }
}

}  // namespace test
