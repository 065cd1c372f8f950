// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/editor/document/set_document.h"

#include <cstdio>
#include <system_error>
#include <utility>

#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/file/replace_file.h"
#include "game/checks/level_check.h"
#include "game/records/shelf.h"

namespace tezmola {
namespace editor {

namespace {

constexpr std::size_t kNamedLevels = 5;  // level numbers listed in a summary

// The whole file; false when there is none or it cannot be read.
bool readWholeFile(const std::filesystem::path& path, std::string& bytes) {
    std::string reason;
    return pentavel::file::readWholeFile(path, bytes, reason) == pentavel::file::ReadResult::Read;
}

}  // namespace

std::string levelList(const std::vector<std::size_t>& numbers) {
    std::string list;
    for (std::size_t index = 0; index < numbers.size() && index < kNamedLevels; ++index)
        list += (index > 0 ? ", " : "") + std::to_string(numbers[index]);
    if (numbers.size() > kNamedLevels)
        list += formatLine(" and %zu more", numbers.size() - kNamedLevels);
    return list;
}

SetDocument::SetDocument(std::vector<LevelDraft> levels, const std::vector<ProofRecord>& proofs, SetFile file)
    : edits_(std::move(levels)), file_(std::move(file)) {
    // A proof kept with a level holds while its content is the one proven.
    std::size_t kept = 0;
    for (std::size_t index = 0; index < proofs.size() && index < edits_.count(); ++index) {
        const ProofRecord& record = proofs[index];
        if (isCurrent(record, edits_.levels().at(index))) {
            proofs_[record.content] = LevelProof{playVerdict(record.result), record.result, {}};
            ++kept;
        }
    }
    pentavel::logMessage("%zu of %zu levels keep the proof saved with them", kept, edits_.count());
}

std::vector<std::size_t> SetDocument::unprovenLevels() const {
    std::vector<std::size_t> unproven;
    for (std::size_t index = 0; index < edits_.count(); ++index) {
        const auto proof = proofs_.find(proofKey(edits_.levels()[index]));
        if (proof == proofs_.end() || proof->second.verdict != LevelVerdict::Cleared)
            unproven.push_back(index + 1);
    }
    return unproven;
}

bool SetDocument::changedOnDisk(const std::filesystem::path& target) const {
    if (!file_.diskKnown || target != file_.target)
        return false;
    std::string bytes;
    const bool exists = readWholeFile(target, bytes);
    return exists != file_.existed || (exists && bytes != file_.onDisk);
}

Message SetDocument::writeSet(const std::filesystem::path& target, bool confirmed) {
    std::string reason;
    const std::string bytes = setText();
    // The shelf's folder of a player's first set is made by its first save.
    std::error_code folderError;
    std::filesystem::create_directories(target.parent_path(), folderError);
    // The file as it was before this editor first wrote it is kept beside it, and so is a version that
    // another program wrote meanwhile.
    std::filesystem::path kept;
    const bool written = backupKept_ && !confirmed
                             ? pentavel::file::replaceFile(target, bytes, reason)
                             : pentavel::file::replaceFileKeepingBackup(target, bytes, kept, reason);
    if (!written)
        return Message{"Cannot save ", Tone::Error}.addPart(target.string()).add(": " + reason);
    backupKept_ = true;
    file_.diskKnown = true;
    file_.existed = true;
    file_.onDisk = bytes;
    edits_.markSaved();
    pentavel::logMessage("Saved %zu levels to %s", edits_.count(), target.string().c_str());
    if (recovered_) {
        // Now in the set itself: the next start need not offer them again.
        std::error_code error;
        std::filesystem::remove(file_.recoverable, error);
        recovered_ = false;
        file_.recoverable.clear();
    }
    return savedMessage(target, kept, confirmed);
}

Message SetDocument::savedMessage(const std::filesystem::path& target, const std::filesystem::path& kept,
                                  bool confirmed) const {
    const std::vector<std::size_t> unproven = unprovenLevels();
    if (confirmed) {
        pentavel::logMessage("The version of %s on disk before is kept as %s", target.string().c_str(),
                             kept.string().c_str());
        return Message{"Saved ", Tone::Warning}
            .addPart(file_.name)
            .add("; the version on disk before is kept as ")
            .addPart(kept.filename().string());
    }
    if (unproven.empty())
        return Message{"Saved ", Tone::Good}
            .addPart(file_.name)
            .add(formatLine(": %zu levels, every one cleared", edits_.count()));
    return Message{"Saved ", Tone::Warning}
        .addPart(file_.name)
        .add(formatLine(", but %zu levels are not proven: %s", unproven.size(), levelList(unproven).c_str()));
}

std::string SetDocument::setText() const {
    std::vector<std::string> records(edits_.count());
    for (std::size_t index = 0; index < edits_.count(); ++index) {
        const std::uint64_t key = proofKey(edits_.levels()[index]);
        const auto proof = proofs_.find(key);
        // Only a play's verdict is kept: the others come from the level itself, each time it is read.
        if (proof != proofs_.end() && (proof->second.verdict == LevelVerdict::Cleared ||
                                       proof->second.verdict == LevelVerdict::NotProven))
            records[index] = proofRecordText(ProofRecord{key, proof->second.result});
    }
    return writeLevelSet(edits_.levels(), records);
}

std::filesystem::path SetDocument::saveAsFolder() const {
    if (!file_.playerFolder.empty())
        return file_.playerFolder / kShelfFolder;
    return file_.target.empty() ? std::filesystem::current_path() : file_.target.parent_path();
}

bool SetDocument::saveAs(const std::string& name, Message& refusal) {
    std::filesystem::path target = name;
    const bool onShelf = name.find('/') == std::string::npos && !file_.playerFolder.empty();
    if (onShelf && target.extension() != ".xml")
        target += ".xml";
    if (onShelf && !shelfWriteProblem(target.stem().string()).empty()) {
        refusal = Message{"Not saved: no set on the shelf can be named ", Tone::Warning}
                      .addPart(target.stem().string())
                      .add(", as " + shelfWriteProblem(target.stem().string()));
        return false;
    }
    if (onShelf)
        target = saveAsFolder() / target;
    else if (target.is_relative())
        target =
            (file_.target.empty() ? std::filesystem::current_path() : file_.target.parent_path()) / target;
    file_.target = target;
    file_.name = target.filename().string();
    file_.diskKnown = false;
    backupKept_ = false;
    return true;
}

bool SetDocument::startNewSet(const std::string& name, Message& said) {
    std::string problem = shelfWriteProblem(name);
    const std::filesystem::path target = file_.playerFolder / shelfFileOfSet(name);
    std::error_code error;
    if (problem.empty() && std::filesystem::exists(target, error))
        problem = "a set of that name is on the shelf already";
    if (!problem.empty()) {
        said = Message{"No new set ", Tone::Warning}.addPart(name).add(": " + problem);
        return false;
    }
    edits_ = LevelSetEdits({});
    edits_.markUnsaved();
    file_.target = target;
    file_.name = target.filename().string();
    file_.unsaved = file_.playerFolder / unsavedFileName(target);
    file_.recoverable.clear();
    file_.diskKnown = true;
    file_.existed = false;
    pentavel::logMessage("A new level set, %s", target.string().c_str());
    said = Message{"New set ", Tone::Good}
               .addPart(name)
               .add(": Ctrl+S puts it on the shelf, ")
               .addPart(target.string());
    return true;
}

void SetDocument::keepUnsavedChanges() const {
    if (!edits_.modified() || file_.unsaved.empty())
        return;
    std::string reason;
    // Changes an earlier session kept under this name, and has not been saved, are kept beside it.
    std::filesystem::path kept;
    if (!pentavel::file::replaceFileKeepingBackup(file_.unsaved, writeLevelSet(edits_.levels()), kept,
                                                  reason)) {
        pentavel::logError("Cannot keep the unsaved changes in %s: %s", file_.unsaved.string().c_str(),
                           reason.c_str());
        return;
    }
    pentavel::logWarning("Unsaved changes kept in %s", file_.unsaved.string().c_str());
    std::fprintf(stderr, "tezmola-editor: unsaved changes kept in %s\n", file_.unsaved.string().c_str());
}

bool SetDocument::openRecoverable(Message& said) {
    std::string text;
    if (file_.recoverable.empty() || !readWholeFile(file_.recoverable, text)) {
        said = Message{"No unsaved changes of an earlier session are kept for "}.addPart(file_.name);
        return false;
    }
    OpenedSet opened = openLevelFile(text, file_.recoverable.filename().string());
    if (opened.levels.empty()) {
        said = Message{"The kept unsaved changes cannot be read: " +
                           (opened.notes.empty() ? std::string("no level") : opened.notes.front().text),
                       Tone::Error};
        return false;
    }
    edits_ = LevelSetEdits(std::move(opened.levels));
    edits_.markUnsaved();
    recovered_ = true;
    said = Message{"Opened the unsaved changes of an earlier session: Ctrl+S saves them into ", Tone::Good}
               .addPart(file_.name);
    return true;
}

}  // namespace editor
}  // namespace tezmola
