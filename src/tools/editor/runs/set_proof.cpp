// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/editor/runs/set_proof.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace tezmola {
namespace editor {

namespace {

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

LevelVerdict verdictOf(const std::string& result) {
    if (startsWith(result, "cleared"))
        return LevelVerdict::Cleared;
    if (startsWith(result, "malformed"))
        return LevelVerdict::Malformed;
    if (startsWith(result, "nothing to clear"))
        return LevelVerdict::NothingToClear;
    return LevelVerdict::NotProven;
}

}  // namespace

bool parseLevelLine(const std::string& line, std::size_t& number, LevelProof& proof) {
    if (!startsWith(line, "Level "))
        return false;
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(line.c_str() + 6, &end, 10);
    if (end == line.c_str() + 6 || *end != ':')
        return false;
    // "Level 3: 40 bricks to clear, 2 steel: cleared in ..."; the result follows the second colon.
    const std::size_t second = line.find(": ", static_cast<std::size_t>(end - line.c_str()) + 1);
    if (second == std::string::npos)
        return false;
    number = parsed;
    proof = LevelProof();
    proof.result = line.substr(second + 2);
    proof.verdict = verdictOf(proof.result);
    return true;
}

SetProof::~SetProof() {
    stop();
}

bool SetProof::start(const std::vector<LevelDraft>& levels, const std::string& checker, std::string& reason) {
    stop();
    std::error_code error;
    std::string folder = (std::filesystem::temp_directory_path(error) / "tezmola-editor-XXXXXX").string();
    if (error || mkdtemp(&folder[0]) == nullptr) {
        reason = error ? error.message() : std::strerror(errno);
        return false;
    }
    folder_ = folder;
    {
        std::ofstream file(folder_ + "/level.xml", std::ios::binary);
        file << writeLevelSet(levels);
        if (!file.flush()) {
            reason = "the levels could not be written to " + folder_;
            finish();
            return false;
        }
    }
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        reason = std::strerror(errno);
        finish();
        return false;
    }
    // Everything the child needs is made before the fork: between fork and exec only plain system calls.
    std::vector<char*> arguments = {const_cast<char*>(checker.c_str()), const_cast<char*>(folder_.c_str()),
                                    nullptr};
    const int nothing = open("/dev/null", O_RDWR | O_CLOEXEC);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        if (nothing >= 0) {
            dup2(nothing, STDIN_FILENO);
            dup2(nothing, STDERR_FILENO);
        }
        execv(checker.c_str(), arguments.data());
        _exit(127);
    }
    if (nothing >= 0)
        close(nothing);
    close(pipeEnds[1]);
    if (pid_ < 0) {
        reason = std::strerror(errno);
        close(pipeEnds[0]);
        finish();
        return false;
    }
    output_ = pipeEnds[0];
    fcntl(output_, F_SETFL, fcntl(output_, F_GETFL) | O_NONBLOCK);
    fcntl(output_, F_SETFD, FD_CLOEXEC);
    total_ = levels.size();
    proven_ = 0;
    pending_.clear();
    haveLevel_ = false;
    return true;
}

bool SetProof::poll(std::vector<std::pair<std::size_t, LevelProof>>& done) {
    if (pid_ <= 0)
        return false;
    char buffer[4096];
    while (true) {
        const ssize_t got = read(output_, buffer, sizeof buffer);
        if (got > 0) {
            pending_.append(buffer, static_cast<std::size_t>(got));
            std::size_t end = 0;
            while ((end = pending_.find('\n')) != std::string::npos) {
                takeLine(pending_.substr(0, end), done);
                pending_.erase(0, end + 1);
            }
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        if (got < 0 && errno == EINTR)
            continue;
        break;  // the checker has ended
    }
    if (haveLevel_) {
        done.emplace_back(number_ - 1, level_);
        haveLevel_ = false;
    }
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    finish();
    return false;
}

void SetProof::takeLine(const std::string& line, std::vector<std::pair<std::size_t, LevelProof>>& done) {
    std::size_t number = 0;
    LevelProof proof;
    if (parseLevelLine(line, number, proof)) {
        if (haveLevel_)
            done.emplace_back(number_ - 1, level_);
        if (number < 1 || number > total_) {
            haveLevel_ = false;
            return;
        }
        number_ = number;
        level_ = proof;
        haveLevel_ = true;
        ++proven_;
        return;
    }
    // A note under the level's line: "FILE:LINE: warning: text"; the summary line ends the level.
    for (const char* kind : {": warning: ", ": error: "}) {
        const std::size_t at = line.find(kind);
        if (haveLevel_ && at != std::string::npos) {
            level_.notes.push_back(line.substr(at + 2));
            return;
        }
    }
    if (haveLevel_) {
        done.emplace_back(number_ - 1, level_);
        haveLevel_ = false;
    }
}

void SetProof::stop() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    finish();
}

void SetProof::finish() {
    if (output_ >= 0) {
        close(output_);
        output_ = -1;
    }
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        folder_.clear();
    }
}

}  // namespace editor
}  // namespace tezmola
