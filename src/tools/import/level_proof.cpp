// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/import/level_proof.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "engine/file/file_system.h"
#include "engine/file/xml_document.h"
#include "engine/graphics/display.h"
#include "game/field/level.h"
#include "game/play/game_step.h"
#include "game/play/game_structure.h"

namespace tezmola {
namespace import {

namespace {

// What a prover sends back for one level; a number of 0 says that it could not start, and why.
struct ResultHeader {
    std::uint32_t number;
    std::int32_t verdict;
    std::uint32_t length;
};

bool writeFull(int fd, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool readFull(int fd, void* data, std::size_t size) {
    char* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = read(fd, bytes, size);
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool sendResult(int fd, std::uint32_t number, LevelVerdict verdict, const std::string& lines) {
    const ResultHeader header{number, static_cast<std::int32_t>(verdict),
                              static_cast<std::uint32_t>(lines.size())};
    return writeFull(fd, &header, sizeof header) && writeFull(fd, lines.data(), lines.size());
}

std::string programDirectory() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    const std::string program(path, static_cast<std::size_t>(length));
    const std::size_t slash = program.find_last_of('/');
    return slash == 0 ? "/" : program.substr(0, slash);
}

std::string describeWithNotes(const LevelReport& report) {
    std::string lines = describeLevel(report) + "\n";
    for (const LevelNote& note : report.notes)
        lines += (note.error ? "error: " : "warning: ") + note.text + "\n";
    return lines;
}

// The game's rules over the level file text; null without the game's data.
std::unique_ptr<GameStructure> startRules(const std::string& levelFile, const char* programPath) {
    if (!pentavel::file::setUpReadOnlyFileSystem(programPath, programDirectory().c_str()))
        return nullptr;
    pentavel::graphics::scanSpriteSheets();
    return makeTrialGame(levelFile);
}

[[noreturn]] void runProver(int tasks, int results, const std::string& levelFile, const char* programPath) {
    const std::unique_ptr<GameStructure> game = startRules(levelFile, programPath);
    if (game == nullptr) {
        sendResult(
            results, 0, LevelVerdict::NotProven,
            "the game's data (tezmola.pak) is not beside this program, so the levels cannot be played");
        _exit(1);
    }
    std::uint32_t number = 0;
    while (readFull(tasks, &number, sizeof number)) {
        const LevelReport report = checkLevel(*game, number);
        if (!sendResult(results, number, report.verdict, describeWithNotes(report)))
            break;
    }
    // Straight out: the exit handlers and buffers belong to the parent process.
    _exit(0);
}

struct Prover {
    pid_t pid = -1;
    int tasks = -1;    // level numbers to the prover
    int results = -1;  // results from it
    std::uint32_t busyWith = 0;
};

bool startProver(Prover& prover, const std::vector<Prover>& started, const std::string& levelFile,
                 const char* programPath) {
    int tasks[2];
    int results[2];
    if (pipe(tasks) != 0)
        return false;
    if (pipe(results) != 0) {
        close(tasks[0]);
        close(tasks[1]);
        return false;
    }
    std::fflush(nullptr);
    prover.pid = fork();
    if (prover.pid == 0) {
        for (const Prover& other : started) {
            close(other.tasks);
            close(other.results);
        }
        close(tasks[1]);
        close(results[0]);
        runProver(tasks[0], results[1], levelFile, programPath);
    }
    close(tasks[0]);
    close(results[1]);
    prover.tasks = tasks[1];
    prover.results = results[0];
    if (prover.pid < 0) {
        close(prover.tasks);
        close(prover.results);
        return false;
    }
    return true;
}

void stopProver(Prover& prover) {
    close(prover.tasks);
    close(prover.results);
    waitpid(prover.pid, nullptr, 0);
    prover.pid = -1;
}

class ProofRun {
public:
    ProofRun(std::uint32_t count, const ProofReport& report) : count_(count), report_(report) {}

    void run(std::vector<Prover>& provers) {
        while (reported_ <= count_) {
            for (Prover& prover : provers)
                if (prover.pid > 0 && prover.busyWith == 0 && next_ <= count_ && !send(prover, next_++))
                    lose(prover, "the proving process ended");
            std::vector<pollfd> waiting;
            for (const Prover& prover : provers)
                if (prover.pid > 0)
                    waiting.push_back(pollfd{prover.results, POLLIN, 0});
            if (waiting.empty()) {
                failRest();
                break;
            }
            if (poll(waiting.data(), waiting.size(), -1) < 0)
                continue;
            for (Prover& prover : provers)
                for (const pollfd& entry : waiting)
                    if (prover.pid > 0 && entry.fd == prover.results && entry.revents != 0)
                        receive(prover);
            reportInOrder();
        }
    }

private:
    bool send(Prover& prover, std::uint32_t number) {
        prover.busyWith = number;
        return writeFull(prover.tasks, &number, sizeof number);
    }

    void receive(Prover& prover) {
        ResultHeader header{};
        std::string lines;
        if (!readFull(prover.results, &header, sizeof header)) {
            lose(prover, "the proving process ended unexpectedly");
            return;
        }
        lines.resize(header.length);
        if (!readFull(prover.results, &lines[0], lines.size())) {
            lose(prover, "the proving process ended unexpectedly");
            return;
        }
        if (header.number == 0 || header.number != prover.busyWith) {
            lose(prover, lines);
            return;
        }
        done_[header.number] = ProofResult{static_cast<LevelVerdict>(header.verdict), lines, false};
        prover.busyWith = 0;
    }

    // A prover that is gone takes its level with it; the others go on with the rest.
    void lose(Prover& prover, const std::string& why) {
        lastFailure_ = why;
        if (prover.busyWith != 0) {
            done_[prover.busyWith] = failure(prover.busyWith);
            prover.busyWith = 0;
        }
        stopProver(prover);
    }

    ProofResult failure(std::uint32_t number) const {
        return ProofResult{LevelVerdict::NotProven,
                           "Level " + std::to_string(number) + ": not proven: " + lastFailure_ + "\n", true};
    }

    void failRest() {
        for (std::uint32_t number = reported_; number <= count_; ++number)
            if (done_.count(number) == 0)
                done_[number] = failure(number);
        reportInOrder();
    }

    void reportInOrder() {
        for (auto found = done_.find(reported_); found != done_.end(); found = done_.find(reported_)) {
            report_(reported_, found->second);
            done_.erase(found);
            ++reported_;
        }
    }

    std::uint32_t count_;
    const ProofReport& report_;
    std::uint32_t next_ = 1;
    std::uint32_t reported_ = 1;
    std::map<std::uint32_t, ProofResult> done_;
    std::string lastFailure_ = "no proving process could be started";
};

}  // namespace

void proveLevels(const std::string& levelFile, std::uint32_t count, int provers, const char* programPath,
                 const ProofReport& report) {
    std::vector<Prover> started;
    for (int index = 0; index < provers && static_cast<std::uint32_t>(index) < count; ++index) {
        Prover prover;
        if (startProver(prover, started, levelFile, programPath))
            started.push_back(prover);
    }
    ProofRun(count, report).run(started);
    for (Prover& prover : started)
        if (prover.pid > 0)
            stopProver(prover);
}

}  // namespace import
}  // namespace tezmola
