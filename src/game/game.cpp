// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/game.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "engine/core/engine_signals.h"
#include "engine/core/input.h"
#include "engine/core/timer.h"
#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/file/settings.h"
#include "engine/graphics/display.h"
#include "game/high_score_board.h"
#include "game/level.h"

namespace tezmola {

namespace {

constexpr int kKeyEscape = 27;
constexpr int kKeyPause = 19;
constexpr int kKeyReturn = 13;
constexpr int kKeyKeypadEnter = 271;
constexpr int kKeyF3 = 284;
constexpr int kInputFocus = 2;
constexpr int kApplicationActive = 3;
constexpr std::uint32_t kLongestBannerFrame = 100;  // milliseconds

// A set named on the command line by its file rather than by its name on the shelf.
bool namesFile(const std::string& levels) {
    return levels.find('/') != std::string::npos ||
           (levels.size() > 4 && levels.compare(levels.size() - 4, 4, ".xml") == 0);
}

// The set that a name or file stands for; false with the reason when there is none.
bool findChosenSet(const std::string& choice, ShelfSet& set, std::string& reason) {
    if (namesFile(choice)) {
        set = outsideSet(choice);
        return true;
    }
    const std::vector<ShelfSet> sets = listShelf();
    const int index = findSet(sets, choice);
    if (index < 0) {
        reason = "it is not on the shelf";
        return false;
    }
    set = sets[index];
    return true;
}

// The set the game plays when nothing is chosen: the player's level.xml, else Tezmola's own.
ShelfSet defaultSet() {
    const std::vector<ShelfSet> sets = listShelf();
    const auto players = std::find_if(
        sets.begin(), sets.end(), [](const ShelfSet& set) { return set.source == SetSource::PlayersFile; });
    return players != sets.end() ? *players : sets.front();
}

}  // namespace

bool Game::initialise(const GameOptions& options) {
    structure_.startingLevel = options.startingLevel;
    structure_.onlyPractice = options.practice;
    std::string remembered;
    const bool rememberedChoice = pentavel::findSetting(kShelfSettingsSection, kShelfSettingsKey, remembered);
    // Another program (the importer) may choose the next set while this one runs.
    pentavel::followSectionInFile(kShelfSettingsSection);
    const std::string choice = !options.levels.empty() ? options.levels : rememberedChoice ? remembered : "";
    if (!choice.empty()) {
        ShelfSet set;
        std::string reason;
        if (findChosenSet(choice, set, reason) && readSet(set, structure_.levelDocument, reason)) {
            pentavel::logMessage("Playing the level set %s", set.name.c_str());
            structure_.levelSet = set;
            structure_.setChosen = true;
            initialiseWithLevels(structure_, highScoreFileOfSet(set));
        } else {
            const std::string instead = defaultSet().name;
            pentavel::logWarning("Cannot play the level set %s (%s): playing %s instead", choice.c_str(),
                                 reason.c_str(), instead.c_str());
            // Who named the set on the command line reads the answer there.
            if (!options.levels.empty())
                std::fprintf(stderr, "tezmola: cannot play the level set %s (%s): playing %s instead\n",
                             choice.c_str(), reason.c_str(), instead.c_str());
            structure_.levelDocument.Clear();
        }
    }
    if (!structure_.setChosen) {
        if (!initialiseGameStructure(structure_))
            return false;
        structure_.levelSet = defaultSet();
    }
    // The first game has started, with no command yet: its record is whole.
    structure_.recording = true;
    shelfView_.setUp(structure_.glyphs);
    showCaption();
    pentavel::activeSignal().connect(this, &Game::onActive, tracker_);
    pentavel::keyDownSignal().connect(this, &Game::onKeyDown, tracker_);
    pentavel::mouseButtonDownSignal().connect(this, &Game::onMouseButtonDown, tracker_);
    pentavel::mouseMotionSignal().connect(this, &Game::onMouseMotion, tracker_);
    pentavel::tickSignal().connect(this, &Game::onTick, tracker_);
    pentavel::quitSignal().connect(this, &Game::onQuit, tracker_);
    return true;
}

void Game::showCaption() {
    // The caption of a game that plays what it always played stays as it was.
    if (structure_.setChosen && structure_.levelSet.source != SetSource::Own)
        pentavel::graphics::setWindowCaption("Tezmola: " + structure_.levelSet.name);
    else if (structure_.setChosen)
        pentavel::graphics::setWindowCaption("Tezmola");
}

void Game::onActive(int which, bool gained) {
    if (which != kInputFocus && which != kApplicationActive)
        return;
    if (shelfView_.isOpen()) {
        // The shelf keeps the game paused; focus decides only what closing it returns to.
        pausedBeforeShelf_ = pausedBeforeShelf_ && !gained;
        return;
    }
    paused_ = !gained;
    setPausedShown(structure_, paused_);
}

void Game::onKeyDown(int key) {
    if ((key == kKeyReturn || key == kKeyKeypadEnter) && pentavel::altKeyHeld()) {
        pentavel::graphics::toggleFullscreen();
        // A new mode shows the cursor in a window; it belongs to the pause alone.
        pentavel::graphics::showCursor(paused_);
        return;
    }
    if (shelfView_.isOpen()) {
        readChosenSet();  // its levels bound the starting level
        const ShelfView::Command command = shelfView_.onKey(key);
        if (command == ShelfView::Command::Close)
            closeShelf();
        else if (command == ShelfView::Command::Start)
            startChosenSet();
        else
            readChosenSet();  // the choice may have moved
        return;
    }
    if (key == kKeyEscape) {
        pentavel::quitSignal().emit();
    } else if (key == kKeyPause) {
        paused_ = !paused_;
        setPausedShown(structure_, paused_);
    } else if (key == kKeyF3) {
        openShelf();
    }
}

void Game::onMouseButtonDown(int button, float x, float y) {
    if (!shelfView_.isOpen())
        return;
    if (shelfView_.onButton(button, x, y) == ShelfView::Command::Start)
        startChosenSet();
    else
        readChosenSet();
}

void Game::onMouseMotion(float x, float y) {
    if (!shelfView_.isOpen())
        return;
    shelfView_.onPointer(x, y);
    readChosenSet();
}

// A set chosen before the reading ahead came to it is read at once.
void Game::readChosenSet() {
    ShelfSet& set = shelf_.sets()[static_cast<std::size_t>(shelfView_.chosen())];
    if (set.read)
        return;
    summariseSet(set);
    shelfView_.refresh();
}

void Game::onTick() {
    pentavel::gameTick(paused_);
    // The banner is read on the screen: it counts the frames' time, a slow frame (the first one loads the
    // textures) as a tenth of a second at most, so that it is never gone before it was seen.
    const std::uint32_t now = pentavel::lastTicks();
    if (!paused_ && bannerClockStarted_)
        ageBanner(structure_.banner,
                  static_cast<float>(std::min(now - bannerClock_, kLongestBannerFrame)) * 0.001f);
    bannerClock_ = now;
    bannerClockStarted_ = true;
    if (shelf_.readAhead() && shelfView_.isOpen())
        shelfView_.refresh();
}

void Game::onQuit() {
    endGame(structure_, false);
    // A game over marked "NOT SAVED" gets its last chance now that the obstacle may be gone.
    saveHighScoresBeforeQuit(structure_);
}

void Game::openShelf() {
    shelf_.refresh();
    std::vector<ShelfSet>& sets = shelf_.sets();
    const auto found = std::find_if(sets.begin(), sets.end(), [this](const ShelfSet& set) {
        return set.name == structure_.levelSet.name && set.source == structure_.levelSet.source;
    });
    // The table in play is the newest word on its set's best score (a line not read yet shows none, and
    // reading it takes the best afresh). A file from outside the shelf has no line; the choice starts on
    // Tezmola's own.
    if (found != sets.end()) {
        const std::vector<HighScore>& table = structure_.highScores.entries();
        found->best = table.empty() ? -1 : table.front().score;
    }
    const int playing = found != sets.end() ? static_cast<int>(found - sets.begin()) : -1;
    pausedBeforeShelf_ = paused_;
    paused_ = true;
    setPausedShown(structure_, true);
    structure_.hud.stateLabel.setVisible(false);
    structure_.inputHeld = true;
    shelfView_.open(&sets, playing);
}

void Game::closeShelf() {
    shelfView_.close();
    structure_.inputHeld = false;
    paused_ = pausedBeforeShelf_;
    setPausedShown(structure_, paused_);
}

void Game::startChosenSet() {
    const ShelfSet set = shelf_.sets()[static_cast<std::size_t>(shelfView_.chosen())];
    TiXmlDocument document;
    std::string reason;
    if (!readSet(set, document, reason)) {
        // The game stays on the set it plays.
        pentavel::logWarning("Cannot play the level set %s (%s)", set.name.c_str(), reason.c_str());
        shelfView_.say("CANNOT PLAY IT: " + reason);
        return;
    }
    // The game in progress ends as F1 ends it, entered in its own set's table; an entry still waiting
    // for that table (NOT SAVED) gets its last chance, as at quit, before another table takes its place.
    endGame(structure_, false);
    saveHighScoresBeforeQuit(structure_);
    pentavel::logMessage("Playing the level set %s", set.name.c_str());
    structure_.levelDocument = document;
    structure_.levelCount = countLevels(structure_.levelDocument);
    structure_.levelSet = set;
    structure_.setChosen = true;
    structure_.startingLevel = shelfView_.startingLevel();
    openHighScores(structure_.highScores, structure_.glyphs, highScoreFileOfSet(set).c_str());
    pentavel::setSetting(kShelfSettingsSection, kShelfSettingsKey, set.name);
    pentavel::saveChangedSettings();
    showCaption();
    closeShelf();
    newGame(structure_);
}

int playGame(const GameOptions& options, const std::function<void()>& mainLoop) {
    auto game = std::make_unique<Game>();
    if (!game->initialise(options))
        return 1;
    mainLoop();
    return 0;
}

}  // namespace tezmola
