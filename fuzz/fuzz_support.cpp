// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz_support.h"

#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "engine/file/log.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace fuzz {

void useDummyDrivers() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

namespace {

// In memory when the system offers it: the file system flushes every file it closes to the disk, and the
// log is closed once per input.
class ScratchFolder {
public:
    ScratchFolder() {
        std::error_code error;
        const fs::path parent =
            fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (parent / "tezmola-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            fail("cannot make a folder in %s", parent.c_str());
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

const std::string& scratchPath() {
    static const ScratchFolder folder;
    return folder.path();
}

void writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = scratchPath() + "/" + name;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr || std::fwrite(data, 1, size, out) != size || std::fclose(out) != 0) {
        fail("cannot write %s", path.c_str());
    }
}

void mountScratch() {
    test::mountOnly(scratchPath());
    pentavel::openLog();
}

void unmountScratch() {
    pentavel::closeLog();
    test::unmountAll();
}

void fail(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::fputs("==== broken property: ", stderr);
    std::vfprintf(stderr, format, arguments);
    std::fputs("\n", stderr);
    va_end(arguments);
    std::abort();
}

}  // namespace fuzz

// The SDL 1.2 compatibility library keeps some allocations of SDL 2 for the process's lifetime (as in
// tests/lsan.supp); they are not the game's leaks.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libSDL2-2.0.so\n";
}
