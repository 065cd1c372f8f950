// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the unit tests: temporary folders and a virtual file system over them.

#include <string>

namespace test {

// A fresh folder under the system's temporary directory, removed with its contents on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // Writes bytes to path()/relative, creating folders on the way; returns the full path.
    std::string write(const std::string& relative, const std::string& bytes) const;
    std::string read(const std::string& relative) const;
    bool exists(const std::string& relative) const;

private:
    std::string path_;
};

// Makes the disk look full to this process while it lives: a write past the given file size fails (as on a
// full disk, below every layer of the game; root is held to it too). SIGXFSZ is ignored meanwhile.
class DiskFullPast {
public:
    explicit DiskFullPast(unsigned long bytes);
    ~DiskFullPast();
    DiskFullPast(const DiskFullPast&) = delete;
    DiskFullPast& operator=(const DiskFullPast&) = delete;

private:
    unsigned long long savedLimit_;
    void (*savedHandler_)(int);
};

// Starts the virtual file system when needed, empties its search path, then mounts the given folders in
// order and makes the first the write directory.
void mountOnly(const std::string& writable, const std::string& second = "", const std::string& third = "");
// Unmounts everything and clears the write directory.
void unmountAll();

std::string readWholeFile(const std::string& path);

}  // namespace test
