#pragma once
// The whole of one running game: play field, balls, paddle, capsules, counters and display.

#include "engine/core/signal.h"

namespace tezmola {

class GameStructure {
public:
    GameStructure() = default;
    GameStructure(const GameStructure&) = delete;
    GameStructure& operator=(const GameStructure&) = delete;

private:
    pentavel::ScopedTracker tracker_;
};

}  // namespace tezmola
