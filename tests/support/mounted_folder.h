// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fresh temporary folder as the whole virtual file system, for tests of what is read, logged and stored
// there. Header-only: only the tests that link the file module include it.

#include <string>

#include "engine/file/log.h"
#include "engine/file/settings.h"
#include "support/test_support.h"

namespace test {

// Mounted as the write directory with an empty settings store (a log left open elsewhere is closed
// first); at the end the log the test may have opened is closed, the settings are emptied and everything
// is unmounted.
class MountedFolder : public TempDir {
public:
    // A second folder, when given, joins the search path behind this one.
    explicit MountedFolder(const std::string& second = "") {
        pentavel::closeLog();
        mountOnly(path(), second);
        pentavel::resetSettings();
    }
    ~MountedFolder() {
        pentavel::closeLog();
        pentavel::resetSettings();
        unmountAll();
    }

    // Closes the log and returns everything written to it.
    std::string logText() const {
        pentavel::closeLog();
        return read("log.html");
    }
};

// The same folder with the settings store loaded from its "settings.xml" and the run-time log open.
class LoggedFolder : public MountedFolder {
public:
    LoggedFolder() {
        pentavel::loadSettings("settings.xml");
        pentavel::openLog();
    }
};

}  // namespace test
