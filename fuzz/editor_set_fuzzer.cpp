// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A level file as the level editor opens it (the levels read, each noted by the checker), edited a little
// and saved: whatever the bytes, the saved file parses with one level per level opened, and opened again it
// saves the very same text, so that an unchanged set never drifts from save to save; the proof record saved
// with each level holds, read back, exactly while the level is the one saved.

#include <tinyxml.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/file/xml_document.h"
#include "fuzz_support.h"
#include "game/field/level.h"
#include "game/records/level_set.h"
#include "game/records/proof_record.h"
#include "tools/editor/document/level_edits.h"
#include "tools/editor/document/set_file.h"

namespace {

// The content a proof depends on, floats compared bit for bit (a "nan" tint reads back as itself).
bool sameContent(const tezmola::LevelDraft& one, const tezmola::LevelDraft& other) {
    const float tintOne[3] = {one.red, one.green, one.blue};
    const float tintOther[3] = {other.red, other.green, other.blue};
    return one.map == other.map && one.background == other.background &&
           std::memcmp(tintOne, tintOther, sizeof tintOne) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tezmola;
    static const bool started = (fuzz::useDummyDrivers(), fuzz::mountScratch(), true);
    (void)started;
    editor::OpenedSet opened =
        editor::openLevelFile(std::string(reinterpret_cast<const char*>(data), size), "level.xml");
    const std::size_t count = opened.levels.size();
    const std::vector<ProofRecord> proofs = opened.proofs;
    editor::LevelSetEdits edits(std::move(opened.levels));
    edits.paint(1 + static_cast<int>(size % 18), 1 + static_cast<int>(size % 14), CellCode{'R', '1'});
    edits.undo();
    // Every level saved with a proof record (its opened result, where it had one): read back, a record holds
    // exactly when the level read back is the level saved.
    std::vector<std::string> records;
    for (std::size_t index = 0; index < edits.count(); ++index) {
        const std::string result = index < proofs.size() && !proofs[index].result.empty()
                                       ? proofs[index].result
                                       : "cleared in 1.0 s simulated with 0 balls lost";
        records.push_back(proofRecordText(ProofRecord{levelContent(edits.levels()[index]), result}));
    }
    const std::string saved = writeLevelSet(edits.levels(), records);
    TiXmlDocument document;
    if (!pentavel::file::parseXmlDocument(document, saved))
        fuzz::fail("the saved file does not parse: %s", document.ErrorDesc());
    const std::size_t expected = count > 0 ? count : 1;
    if (countLevels(document) != static_cast<std::int32_t>(expected))
        fuzz::fail("%zu levels opened, %d saved", expected, countLevels(document));
    const editor::OpenedSet again = editor::openLevelFile(saved, "level.xml");
    if (writeLevelSet(again.levels, records) != saved)
        fuzz::fail("the saved set, opened and saved again, changed");
    if (again.proofs.size() != again.levels.size())
        fuzz::fail("%zu levels opened with %zu records", again.levels.size(), again.proofs.size());
    for (std::size_t index = 0; index < again.levels.size(); ++index)
        if (isCurrent(again.proofs[index], again.levels[index]) !=
            sameContent(again.levels[index], edits.levels()[index]))
            fuzz::fail("level %zu: its record does not follow its content", index + 1);
    return 0;
}
