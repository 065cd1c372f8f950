// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The set as a document: its levels with their edits, the proofs of their content, and the file they go
// back to; saving it, and keeping and opening again the changes that a session did not save.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "game/records/proof_record.h"
#include "tools/editor/document/level_edits.h"
#include "tools/editor/document/level_proof.h"
#include "tools/editor/document/message.h"
#include "tools/editor/document/set_file.h"

namespace tezmola {
namespace editor {

// "4, 9, 12 and 3 more": level numbers as a message lists them.
std::string levelList(const std::vector<std::size_t>& numbers);

class SetDocument {
public:
    // The levels opened, with the proofs saved with them that are still current, going back to file.
    SetDocument(std::vector<LevelDraft> levels, const std::vector<ProofRecord>& proofs, SetFile file);

    LevelSetEdits& edits() { return edits_; }
    const LevelSetEdits& edits() const { return edits_; }
    const SetFile& file() const { return file_; }
    LevelProofs& proofs() { return proofs_; }
    const LevelProofs& proofs() const { return proofs_; }
    // The numbers (from 1) of the levels whose content is not proven cleared.
    std::vector<std::size_t> unprovenLevels() const;

    // True when another program (another editor, an import) wrote the file since this editor read or wrote
    // it.
    bool changedOnDisk(const std::filesystem::path& target) const;
    // Writes the set to target (its folder made when it is missing), keeping the file that was there as a
    // backup the first time, and when confirmed (the author chose to save over a version another program
    // wrote); what to tell the author of it.
    Message writeSet(const std::filesystem::path& target, bool confirmed);
    // The set as the file keeps it: each level with the record of its proof, when it has one.
    std::string setText() const;

    // Where a name typed without a folder is saved: on the shelf in the player's folder, else beside the set.
    std::filesystem::path saveAsFolder() const;
    // Saves go to the name typed from now on: a name alone onto the shelf when there is a player's folder, a
    // relative path beside the set. False, with the refusal, for a name no set on the shelf can have.
    bool saveAs(const std::string& name, Message& refusal);
    // One empty level, saved on the shelf under that name, where the game lists it at once; false when
    // there is no such name or a set of it is there. Either way what to tell the author.
    bool startNewSet(const std::string& name, Message& said);

    // A quit the author did not confirm: unsaved changes are kept in the player's folder, under the set's
    // own name, instead of being lost (nothing without changes or a folder).
    void keepUnsavedChanges() const;
    // The unsaved changes an earlier session kept for this set in place of the levels, unsaved until the
    // next save writes them into the set; false when there are none or they cannot be read. Either way
    // what to tell the author.
    bool openRecoverable(Message& said);

private:
    Message savedMessage(const std::filesystem::path& target, const std::filesystem::path& kept,
                         bool confirmed) const;

    LevelSetEdits edits_;
    SetFile file_;
    LevelProofs proofs_;
    bool backupKept_ = false;
    bool recovered_ = false;  // the unsaved changes of an earlier session are being edited
};

}  // namespace editor
}  // namespace tezmola
