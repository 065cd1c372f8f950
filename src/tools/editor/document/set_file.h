// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The set's file as the editor opens it: where it came from and goes back to, what it held on disk, the
// unsaved changes an earlier session kept for it, and its levels with what the level checker says of them.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "game/records/level_set.h"
#include "game/records/proof_record.h"
#include "tools/editor/document/message.h"

namespace tezmola {
namespace editor {

// Where the set came from and where Ctrl+S writes it.
struct SetFile {
    std::string name;              // as the status line shows it
    std::filesystem::path target;  // empty: the set cannot be written back (it came from an archive)
    std::filesystem::path
        unsaved;  // where a quit the author did not confirm keeps unsaved changes; empty: none
    std::filesystem::path recoverable;   // changes an earlier session kept for this set, offered; empty: none
    std::filesystem::path playerFolder;  // where a new set goes on the shelf; empty: no new set
    bool diskKnown = false;              // target's content as this editor last read or wrote it is known:
    bool existed = false;                // whether there was a file,
    std::string onDisk;                  // and its bytes
};

// The name an earlier version gave the unsaved changes of every set; still offered when it is there.
constexpr char kUnsavedFileName[] = "editor-unsaved.xml";
// The name, in the player's folder, of the unsaved changes of the set at that absolute path: the path
// itself with "%" and "/" written as "%25" and "%2F", so that each set's changes stay apart and say whose
// they are; a name too long for a file keeps the beginning of the path and a digest of the whole.
std::string unsavedFileName(const std::filesystem::path& set);

// The set as opened: its levels, the proofs kept with them, and what the level checker says about the
// file, in its own words.
struct OpenedSet {
    std::vector<LevelDraft> levels;
    std::vector<ProofRecord> proofs;  // by level; a record no longer current is not taken
    std::vector<Message> notes;
};

constexpr std::uint64_t kMaxLevelFileSize = std::uint64_t{64} * 1024 * 1024;  // as the game reads
// A level file's bytes, as the game would read them; false, with the reason, when it cannot be read or is
// larger than the game reads.
bool readPlainFile(const std::string& path, std::string& text, std::string& reason);
// What the set's file holds now, so that a save can tell whether another program wrote it meanwhile.
void rememberDisk(SetFile& file);
// A quit the author did not confirm keeps unsaved changes in the player's folder (none when it is empty),
// under a name of the set's own (the file written back, else the path opened); the changes an earlier
// session kept for this set are offered when the editor opens.
void keepUnsavedChangesIn(const std::string& folder, const char* path, SetFile& file, OpenedSet& opened);

// The level file of the set the game would play next, as the game's settings file in the player's folder
// remembers it: a set on the shelf (levels/NAME.xml there) or a file named by its path. Empty when none
// is remembered, for Tezmola's own levels and the player's level.xml (the editor opens those without a
// file anyway), and when the file has gone, which a note then says.
std::filesystem::path rememberedSetFile(const std::string& folder, std::vector<Message>& notes);
// Opens the set to edit: the file, folder or archive given, else the set the game would play (the shelf's
// choice in the player's folder), else the player's level.xml or the shipped levels; with the notes to
// show first, what the file held on disk, and the unsaved changes an earlier session kept for it.
void openForEditing(const char* path, const std::string& playerFolder, OpenedSet& opened, SetFile& file);

// Reads a level file's text as the editor opens it: the levels, and the checker's errors and warnings for
// each level (without proving it). A text the game cannot read gives no level and the reason.
OpenedSet openLevelFile(const std::string& text, const std::string& name);

}  // namespace editor
}  // namespace tezmola
