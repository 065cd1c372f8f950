// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of importing and proving one LBreakout2 level: what each of a level importer's provers spends per
// level (the whole of Debian's 2,416 levels must prove in under two minutes on two cores).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "game/checks/level_check.h"
#include "game/field/level.h"
#include "game/play/game_step.h"
#include "game/play/game_structure.h"
#include "game/records/level_set.h"
#include "tools/import/brick_mapping.h"
#include "tools/import/lbreakout_set.h"

namespace {

using namespace tezmola;

std::string setLevel(const std::vector<std::string>& rows) {
    std::string text = "Level:\nbench\nbench\nBricks:\n";
    for (int row = 0; row < import::kSetRows; ++row)
        text += (row < static_cast<int>(rows.size()) ? rows[row] : "..............") + "\n";
    return text + "Bonus:\n";
}

// An open level of a few rows of colour bricks, as most sets begin, and a full one of strong bricks behind
// a broken wall of steel, as they end.
const std::string kSet =
    setLevel({"............i.", "...........iii", "............i.", ".g.g.g.g.g....", "..............",
              ".f.f.f.f.f....", "..............", ".h.h.h.h.h....", "..............", ".e.e.e.e.e...."}) +
    setLevel({"cccccccccccccc", "bbbbbbbbbbbbbb", "aaaaaaaaaaaaaa", "zzzzzzzzzzzzzz", "yyyyyyyyyyyyyy",
              "dddddddddddddd", "eeeeeeeeeeeeee", "ffffffffffffff", "..............", "E#E#E#..E#E#E#",
              "..............", "*!*!*!*!*!*!*!"});

std::string importedFile() {
    std::vector<LevelDraft> drafts;
    std::string approximated;
    for (const import::SetLevel& level : import::readLevelSet(kSet).levels) {
        drafts.push_back(
            import::importLevel(level, "bench", static_cast<int>(drafts.size()) + 1, approximated));
        import::chooseBackground(drafts.back(), drafts.size() - 1);
    }
    return writeLevelSet(drafts);
}

// A game over the imported levels, started as a prover starts it.
std::unique_ptr<GameStructure> startProver(const std::string& levels) {
    return makeTrialGame(levels);
}

void BM_ImportSet(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(importedFile());
}
BENCHMARK(BM_ImportSet)->Unit(benchmark::kMicrosecond);

// Arg: 1 for the open level, 2 for the full one. Reports the simulated seconds the autopilot played.
void BM_ProveImportedLevel(benchmark::State& state) {
    auto game = startProver(importedFile());
    if (!game) {
        state.SkipWithError("cannot start the game");
        return;
    }
    const auto number = static_cast<std::uint32_t>(state.range(0));
    LevelReport report;
    for (auto _ : state)
        report = checkLevel(*game, number);
    if (report.verdict != LevelVerdict::Cleared)
        state.SkipWithError("the autopilot did not clear the level");
    state.counters["simulated_s"] = report.play.seconds;
}
BENCHMARK(BM_ProveImportedLevel)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
