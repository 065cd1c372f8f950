// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A game watched rather than played, in the game's own field: a replay (chosen on the board, or named on
// the command line) or the demo that plays when nobody does. Its commands come from its record, applied
// at their steps through the same applyCommand as live play, or from the autopilot; the devices reach it
// not, and nothing of it enters a table or a file. The finished game it was started over is put back
// when the watching stops.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/text_label.h"
#include "game/records/game_record.h"

namespace tezmola {

class Autopilot;
class RecordedRun;
class GameStructure;
struct Replay;

enum class WatchKind { None, Replay, Demo };

// The longest the autopilot's demo plays one level (simulated): a level it cannot clear ends the demo.
constexpr std::uint32_t kLongestDemoSteps = 3u * 60u * 200u;

class ReplayWatch {
public:
    // Watches are played on that game, which outlives the watch.
    explicit ReplayWatch(GameStructure& game);
    ~ReplayWatch();
    ReplayWatch(const ReplayWatch&) = delete;
    ReplayWatch& operator=(const ReplayWatch&) = delete;

    // Plays the replay in the game, whose levels are the replay's (replayRefusal found nothing amiss).
    void startReplay(const Replay& replay);
    // The demo: the replay when there is one, else the autopilot on the set's first level.
    void startDemo(const Replay* replay);
    // One 5 ms step: the commands of the step, then the step. False, with nothing done, once the game
    // watched has come to its end.
    bool step();
    // The watching ends: the game is put back as it was when it started (a finished game, its board
    // shown again; the caller shows the state label).
    void stop();
    // Right during a replay: four steps for each step of time, or one again.
    void toggleFast();

    WatchKind kind() const { return kind_; }
    bool active() const { return kind_ != WatchKind::None; }
    bool finished() const { return finished_; }
    bool fast() const { return fast_; }
    std::uint32_t steps() const { return step_; }  // run so far
    const pentavel::graphics::TextLabel& label() const { return label_; }

private:
    // What the finished game showed before the watching began.
    struct Saved {
        std::int32_t score = 0;
        std::uint32_t level = 1;
        std::uint32_t balls = 0;
        std::uint32_t startingLevel = 1;
        bool practice = false;
        bool freePaddle = false;
        bool cheated = false;
        std::int32_t multiplier = 1;
        std::int32_t direction = 0;
        float paddleX = 0.0f;
        float paddleY = 0.0f;
        std::uint32_t dropState = 0;
        GameRecord record;
    };

    void begin(WatchKind kind);
    void showLabel();

    GameStructure& game_;
    WatchKind kind_ = WatchKind::None;
    bool finished_ = false;
    bool fast_ = false;
    GameRecord record_;
    std::uint32_t step_ = 0;
    std::unique_ptr<RecordedRun> run_;  // of record_, when the watch plays one
    std::unique_ptr<Autopilot> pilot_;
    std::string caption_;
    Saved saved_;
    pentavel::graphics::TextLabel label_;
};

}  // namespace tezmola
