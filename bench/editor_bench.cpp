// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The level editor on a set of 10,000 levels: opening it (read, and every level noted by the checker), a
// page turn (the level laid as the game lays it, with the status line's proof look-up) and the text a save
// writes with the record of every level's proof. Each must pass without a visible stall: a page turn well
// under the 50 ms of a frame.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "game/records/level_set.h"
#include "game/records/proof_record.h"
#include "tools/editor/document/level_edits.h"
#include "tools/editor/editor.h"
#include "tools/editor/view/level_view.h"

namespace {

using namespace tezmola;

constexpr std::size_t kLevels = 10000;

// Levels that differ from each other: a few rows of bricks that shift with the level's number.
const std::vector<LevelDraft>& manyLevels() {
    static const std::vector<LevelDraft> levels = [] {
        std::vector<LevelDraft> drafts(kLevels);
        const char letters[] = "RBYGMW";
        for (std::size_t index = 0; index < drafts.size(); ++index) {
            drafts[index].comment = "level " + std::to_string(index + 1);
            for (int row = 2; row < 10; ++row)
                for (int column = 1; column < kGridColumns - 1; ++column)
                    if ((row + column + index) % 3 != 0)
                        drafts[index].map[row][column] = {letters[(row + index) % 6],
                                                          static_cast<char>('1' + (column + index) % 4)};
            drafts[index].map[11][1 + index % 14] = {'S', 'S'};
        }
        return drafts;
    }();
    return levels;
}

// The levels with the records of their proofs, as the editor saves a proven set.
std::vector<std::string> provenRecords(const std::vector<LevelDraft>& levels) {
    std::vector<std::string> records;
    for (const LevelDraft& level : levels)
        records.push_back(proofRecordText(
            ProofRecord{levelContent(level), "cleared in 42.5 s simulated with 0 balls lost"}));
    return records;
}

void BM_OpenTenThousandLevels(benchmark::State& state) {
    const std::string text = writeLevelSet(manyLevels(), provenRecords(manyLevels()));
    for (auto _ : state) {
        editor::OpenedSet opened = editor::openLevelFile(text, "level.xml");
        benchmark::DoNotOptimize(opened.levels.data());
    }
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_OpenTenThousandLevels)->Unit(benchmark::kMillisecond);

void BM_PageTurn(benchmark::State& state) {
    editor::LevelSetEdits edits(manyLevels());
    pentavel::graphics::GlyphTable glyphs = {};
    editor::LevelView view(glyphs);
    for (auto _ : state) {
        edits.goTo((edits.current() + 1) % edits.count());
        view.showLevel(edits.level());
        benchmark::DoNotOptimize(editor::proofKey(edits.level()));
    }
}
BENCHMARK(BM_PageTurn)->Unit(benchmark::kMicrosecond);

// Ctrl+S on an unchanged set whose every level is proven: each level's proof looked up (nothing is left to
// prove), again for the summary, and the text written with each level's record.
void BM_SaveTenThousandLevels(benchmark::State& state) {
    editor::LevelSetEdits edits(manyLevels());
    std::unordered_map<std::uint64_t, std::string> proofs;
    for (const LevelDraft& level : edits.levels())
        proofs[editor::proofKey(level)] = "cleared in 42.5 s simulated with 0 balls lost";
    for (auto _ : state) {
        std::size_t unproven = 0;
        for (const LevelDraft& level : edits.levels())
            unproven += proofs.count(editor::proofKey(level)) == 0 ? 1 : 0;
        for (const LevelDraft& level : edits.levels())
            unproven += proofs.find(editor::proofKey(level)) == proofs.end() ? 1 : 0;
        benchmark::DoNotOptimize(unproven);
        std::vector<std::string> records(edits.count());
        for (std::size_t index = 0; index < edits.count(); ++index) {
            const std::uint64_t key = editor::proofKey(edits.levels()[index]);
            records[index] = proofRecordText(ProofRecord{key, proofs.find(key)->second});
        }
        benchmark::DoNotOptimize(writeLevelSet(edits.levels(), records));
    }
}
BENCHMARK(BM_SaveTenThousandLevels)->Unit(benchmark::kMillisecond);

}  // namespace
