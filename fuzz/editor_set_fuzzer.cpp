// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A level file as the level editor opens it (the levels read, each noted by the checker), edited a little
// and saved: whatever the bytes, the saved file parses with one level per level opened, and opened again it
// saves the very same text, so that an unchanged set never drifts from save to save.

#include <tinyxml.h>

#include <cstdint>
#include <string>

#include "engine/file/xml_document.h"
#include "fuzz_support.h"
#include "game/level.h"
#include "game/level_set.h"
#include "tools/editor/editor.h"
#include "tools/editor/level_edits.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tezmola;
    static const bool started = (fuzz::useDummyDrivers(), fuzz::mountScratch(), true);
    (void)started;
    editor::OpenedSet opened =
        editor::openLevelFile(std::string(reinterpret_cast<const char*>(data), size), "level.xml");
    const std::size_t count = opened.levels.size();
    editor::LevelSetEdits edits(std::move(opened.levels));
    edits.paint(1 + static_cast<int>(size % 18), 1 + static_cast<int>(size % 14), CellCode{'R', '1'});
    edits.undo();
    const std::string saved = writeLevelSet(edits.levels());
    TiXmlDocument document;
    if (!pentavel::file::parseXmlDocument(document, saved))
        fuzz::fail("the saved file does not parse: %s", document.ErrorDesc());
    const std::size_t expected = count > 0 ? count : 1;
    if (countLevels(document) != static_cast<std::int32_t>(expected))
        fuzz::fail("%zu levels opened, %d saved", expected, countLevels(document));
    const editor::OpenedSet again = editor::openLevelFile(saved, "level.xml");
    if (writeLevelSet(again.levels) != saved)
        fuzz::fail("the saved set, opened and saved again, changed");
    return 0;
}
