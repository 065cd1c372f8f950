// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/editor/runs/game_launch.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game/checks/level_check.h"

namespace tezmola {
namespace editor {

namespace {

bool canRun(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::is_regular_file(file, error) && access(file.c_str(), X_OK) == 0;
}

}  // namespace

std::string findGameProgram(const std::string& ownFolder, const std::string& searchPath) {
    const std::filesystem::path beside = std::filesystem::path(ownFolder) / kGameProgram;
    if (canRun(beside))
        return beside.string();
    // An empty folder in the path, which the shell takes for the current one, is skipped: the folder the
    // editor was started in is no place to find a program.
    std::istringstream folders(searchPath);
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (!folder.empty() && canRun(std::filesystem::path(folder) / kGameProgram))
            return (std::filesystem::path(folder) / kGameProgram).string();
    }
    return "";
}

std::vector<std::string> gameArguments(const std::string& program, const std::string& levelFile,
                                       std::size_t level) {
    return {program, "--levels", levelFile, "--level", std::to_string(level), "--practice"};
}

std::string gameEnding(int status) {
    if (WIFSIGNALED(status))
        return formatLine("The game was ended by signal %d (%s)", WTERMSIG(status),
                          strsignal(WTERMSIG(status)));
    const int code = WEXITSTATUS(status);
    if (code == 1)
        return "The game could not start: its log, log.html in the player's folder, says why";
    return code == 0 ? "" : formatLine("The game ended with exit status %d", code);
}

GameLaunch::~GameLaunch() {
    removeCopy();
}

bool GameLaunch::start(const std::string& program, const std::string& setText, const std::string& setName,
                       std::size_t level, std::string& reason) {
    removeCopy();
    std::error_code error;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    if (error) {
        reason = error.message();
        return false;
    }
    std::string folder = (temporary / "tezmola-editor-play-XXXXXX").string();
    if (mkdtemp(&folder[0]) == nullptr) {
        reason = std::strerror(errno);
        return false;
    }
    folder_ = folder;
    // The game names the set after its file: the set's own name, in its table of high scores too.
    const std::string stem = std::filesystem::path(setName).stem().string();
    levelFile_ = folder_ + "/" + (stem.empty() ? "level" : stem) + ".xml";
    {
        std::ofstream file(levelFile_, std::ios::binary);
        file << setText;
        if (!file.flush()) {
            reason = "the set could not be written to " + folder_;
            removeCopy();
            return false;
        }
    }
    const std::vector<std::string> arguments = gameArguments(program, levelFile_, level);
    std::vector<char*> vector;
    vector.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments)
        vector.push_back(const_cast<char*>(argument.c_str()));
    vector.push_back(nullptr);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program.c_str(), nullptr, nullptr, vector.data(), environ);
    if (failed != 0) {
        reason = std::strerror(failed);
        removeCopy();
        return false;
    }
    pid_ = pid;
    return true;
}

bool GameLaunch::poll(std::string& ending) {
    if (!running())
        return false;
    int status = 0;  // a game that another waiter took ended normally, for all the editor knows
    if (waitpid(pid_, &status, WNOHANG) == 0)
        return true;
    pid_ = 0;
    removeCopy();
    ending = gameEnding(status);
    return false;
}

void GameLaunch::removeCopy() {
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        folder_.clear();
    }
    levelFile_.clear();
}

}  // namespace editor
}  // namespace tezmola
