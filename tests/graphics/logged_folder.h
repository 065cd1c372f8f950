// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fresh temporary folder as the whole virtual file system, with the run-time log and the settings
// store running in it, for tests that check what the graphics module logs and stores.

#include <string>

#include "engine/file/log.h"
#include "engine/file/settings.h"
#include "support/test_support.h"

namespace test {

class LoggedFolder {
public:
    LoggedFolder() {
        mountOnly(dir_.path());
        pentavel::resetSettings();
        pentavel::loadSettings("settings.xml");
        pentavel::openLog();
    }
    ~LoggedFolder() {
        pentavel::closeLog();
        pentavel::resetSettings();
        unmountAll();
    }
    LoggedFolder(const LoggedFolder&) = delete;
    LoggedFolder& operator=(const LoggedFolder&) = delete;

    const TempDir& dir() const { return dir_; }
    std::string write(const std::string& name, const std::string& bytes) const {
        return dir_.write(name, bytes);
    }
    // Closes the log and returns everything written to it.
    std::string logText() const {
        pentavel::closeLog();
        return dir_.read("log.html");
    }

private:
    TempDir dir_;
};

}  // namespace test
