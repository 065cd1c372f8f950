// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/game.h"

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

#include "engine/core/engine_signals.h"
#include "engine/core/input.h"
#include "engine/core/timer.h"
#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/file/settings.h"
#include "engine/graphics/display.h"
#include "game/checks/replay_check.h"
#include "game/display/high_score_board.h"
#include "game/display/hud.h"
#include "game/field/level.h"
#include "game/play/game_end.h"
#include "game/play/game_step.h"
#include "game/records/replay_store.h"

namespace tezmola {

namespace {

constexpr int kKeyEscape = 27;
constexpr int kKeyPause = 19;
constexpr int kKeyReturn = 13;
constexpr int kKeyKeypadEnter = 271;
constexpr int kKeyF3 = 284;
constexpr int kKeySpace = 32;
constexpr int kKeyUp = 273;
constexpr int kKeyDown = 274;
constexpr int kKeyRight = 275;
constexpr int kKeyH = 104;
constexpr std::uint32_t kFastSteps = 4;  // steps per step of time while a replay plays fast
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

// Reads the replay that a table's entry names from the player's folder, for the levels in play; false with
// the reason when it cannot be played on them or is another game than the entry's.
// (The table's reader takes no name but one the game gives: no path leads out of that folder.)
bool readKeptReplay(const HighScore& entry, const TiXmlDocument& levels, Replay& replay,
                    std::string& reason) {
    const std::string path = pentavel::file::writeDirectory() + "/" + kReplayFolder + "/" + entry.replay;
    if (!readReplayFile(path, replay, reason))
        return false;
    reason = replayRefusal(replay, levels);
    if (reason.empty())
        reason = entryRefusal(replay, entry);
    return reason.empty();
}

std::string upperCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

bool Game::initialise(const GameOptions& options) {
    if (!options.replay.empty())
        return initialiseReplay(options.replay);
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
            initialiseWithLevels(structure_, highScoreFileOfSet(set).c_str());
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
    helpView_.setUp(structure_.glyphs);
    showCaption();
    connectSlots();
    return true;
}

bool Game::initialiseReplay(const std::string& file) {
    Replay replay;
    TiXmlDocument levels;
    std::string reason;
    ShelfSet set;
    if (readReplayFile(file, replay, reason) && findReplaySet(replay, levels, reason, &set))
        reason = replayRefusal(replay, levels);
    if (!reason.empty()) {
        pentavel::logError("Cannot play the replay %s: %s", file.c_str(), reason.c_str());
        std::fprintf(stderr, "tezmola: cannot play the replay %s: %s\n", file.c_str(), reason.c_str());
        return false;
    }
    pentavel::logMessage("Playing the replay %s", file.c_str());
    structure_.levelDocument = levels;
    structure_.levelSet = set;
    structure_.setChosen = true;
    initialiseWithLevels(structure_, nullptr);
    helpView_.setUp(structure_.glyphs);  // no key opens it under a replay, but its font is never unset
    showCaption();
    watch_.startReplay(replay);
    quitAfterWatch_ = true;
    connectSlots();
    return true;
}

void Game::connectSlots() {
    pentavel::activeSignal().connect(this, &Game::onActive, tracker_);
    pentavel::keyDownSignal().connect(this, &Game::onKeyDown, tracker_);
    pentavel::mouseButtonDownSignal().connect(this, &Game::onMouseButtonDown, tracker_);
    pentavel::mouseMotionSignal().connect(this, &Game::onMouseMotion, tracker_);
    pentavel::tickSignal().connect(this, &Game::onTick, tracker_);
    pentavel::quitSignal().connect(this, &Game::onQuit, tracker_);
    pentavel::joyButtonDownSignal().connect(this, &Game::onJoyButtonDown, tracker_);
    pentavel::beforeDrawSignal().connect(this, &Game::onBeforeDraw, tracker_);
    pentavel::afterDrawSignal().connect(this, &Game::onAfterDraw, tracker_);
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
    if (shelfView_.isOpen() || helpView_.isOpen()) {
        // A view keeps the game paused; focus decides only what closing it returns to.
        pausedBeforeView_ = pausedBeforeView_ && !gained;
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
    idleCounting_ = false;
    if (watch_.active()) {
        onWatchKey(key);
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
    if (helpView_.isOpen()) {
        if (key == kKeyH || key == kKeyEscape)
            closeHelp();
        return;
    }
    if (onBoardKey(key))
        return;
    if (key == kKeyEscape) {
        pentavel::quitSignal().emit();
    } else if (key == kKeyPause) {
        paused_ = !paused_;
        setPausedShown(structure_, paused_);
    } else if (key == kKeyF3) {
        openShelf();
    } else if (key == kKeyH && structure_.playing) {
        openHelp();
    }
}

void Game::onMouseButtonDown(int button, float x, float y) {
    idleCounting_ = false;
    if (watch_.kind() == WatchKind::Demo)
        stopWatching();
    if (!shelfView_.isOpen())
        return;
    if (shelfView_.onButton(button, x, y) == ShelfView::Command::Start)
        startChosenSet();
    else
        readChosenSet();
}

void Game::onMouseMotion(float x, float y) {
    idleCounting_ = false;
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
    if (watch_.active())
        runWatchedSteps();
    else
        runDueSteps(motion_, structure_, paused_);
    // The banner is read on the screen: it counts the frames' time, a slow frame (the first one loads the
    // textures) as a tenth of a second at most, so that it is never gone before it was seen.
    const std::uint32_t now = pentavel::lastTicks();
    const float frameSeconds = static_cast<float>(std::min(now - bannerClock_, kLongestBannerFrame)) * 0.001f;
    if (!paused_ && bannerClockStarted_)
        ageBanner(structure_.banner, frameSeconds);
    // A word flashed while paused goes too: the still frame is drawn once more without it.
    if (bannerClockStarted_ && structure_.hud.flashLeft > 0.0f) {
        ageFlash(structure_.hud, frameSeconds);
        if (structure_.hud.flashLeft <= 0.0f)
            pentavel::graphics::markFrameChanged();
    }
    bannerClock_ = now;
    bannerClockStarted_ = true;
    countIdleTime();
    // The shelf keeps the game paused, and a paused frame is drawn again only when told: a line shows its
    // set's figures as soon as they are read, not at the next key.
    if (shelf_.readAhead() && shelfView_.isOpen()) {
        shelfView_.refresh();
        pentavel::graphics::markFrameChanged();
    }
}

void Game::onQuit() {
    endGame(structure_, false);
    // A game over marked "NOT SAVED" gets its last chance now that the obstacle may be gone.
    structure_.highScores.saveBeforeQuit();
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
    pausedBeforeView_ = holdUnderView();
    shelfView_.open(&sets, playing);
}

void Game::closeShelf() {
    shelfView_.close();
    releaseFromView(pausedBeforeView_);
}

void Game::openHelp() {
    pausedBeforeView_ = holdUnderView();
    helpView_.open();
}

void Game::closeHelp() {
    helpView_.close();
    releaseFromView(pausedBeforeView_);
}

bool Game::holdUnderView() {
    const bool pausedBefore = paused_;
    paused_ = true;
    setPausedShown(structure_, true);
    // The view says it all: no state label while input is held (figuresOf).
    structure_.inputHeld = true;
    return pausedBefore;
}

void Game::releaseFromView(bool pausedBefore) {
    structure_.inputHeld = false;
    paused_ = pausedBefore;
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
    structure_.highScores.saveBeforeQuit();
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

void Game::onJoyButtonDown(int /*joystick*/, int /*button*/) {
    idleCounting_ = false;
    if (watch_.kind() == WatchKind::Demo)
        stopWatching();
}

// A key while a game is watched: the demo ends at any; a replay pauses (Space, Pause), plays fast or
// normal again (Right) and ends (Escape).
void Game::onWatchKey(int key) {
    if (watch_.kind() == WatchKind::Demo) {
        stopWatching();
    } else if (key == kKeyEscape) {
        if (quitAfterWatch_)
            pentavel::quitSignal().emit();
        else
            stopWatching();
    } else if (key == kKeySpace || key == kKeyPause) {
        paused_ = !paused_;
        setPausedShown(structure_, paused_);
    } else if (key == kKeyRight) {
        watch_.toggleFast();
    }
}

// Up and Down choose an entry of the GAME OVER board, Enter plays its replay. True for a key taken.
bool Game::onBoardKey(int key) {
    if (structure_.playing || !structure_.highScores.shown())
        return false;
    if (key == kKeyUp || key == kKeyDown) {
        structure_.highScores.choose(key == kKeyUp ? -1 : 1);
        return true;
    }
    if (key != kKeyReturn && key != kKeyKeypadEnter)
        return false;
    playChosenReplay();
    return true;
}

void Game::playChosenReplay() {
    HighScoreBoard& board = structure_.highScores;
    if (board.chosen() < 0)
        return;
    const HighScore& entry = board.entries()[static_cast<std::size_t>(board.chosen())];
    if (entry.replay.empty()) {
        board.say("NO REPLAY WAS KEPT OF THIS GAME");
        return;
    }
    Replay replay;
    std::string reason;
    if (!readKeptReplay(entry, structure_.levelDocument, replay, reason)) {
        pentavel::logWarning("Cannot play the replay %s (%s)", entry.replay.c_str(), reason.c_str());
        board.say(toFontText(upperCase("Cannot play it: " + reason), structure_.glyphs));
        return;
    }
    watch_.startReplay(replay);
}

// The best game of the set's table that can be played again, its own replay (another game's is passed
// over), else the autopilot.
void Game::startDemo() {
    Replay replay;
    bool found = false;
    for (const HighScore& entry : structure_.highScores.entries()) {
        std::string reason;
        found = !entry.replay.empty() && readKeptReplay(entry, structure_.levelDocument, replay, reason);
        if (found)
            break;
    }
    watch_.startDemo(found ? &replay : nullptr);
}

void Game::stopWatching() {
    watch_.stop();
    paused_ = false;
    setPausedShown(structure_, false);
}

// The steps come due in engine time as in play, four times as many while fast; a replay at its end holds
// its last step (from --replay) or gives the board back.
void Game::runWatchedSteps() {
    std::uint32_t due = pentavel::takeDueSteps(paused_);
    if (watch_.fast())
        due *= kFastSteps;
    for (; due > 0; --due) {
        if (due == 1)
            motion_.takeBefore(structure_);
        if (!watch_.step())
            break;
    }
    if (watch_.finished() && !quitAfterWatch_)
        stopWatching();
}

// The steps place no sprite of what moves and set no label: the picture of each frame is made here, a
// paused game's exactly where the steps left it.
void Game::onBeforeDraw() {
    motion_.place(structure_, paused_ ? 1.0f : pentavel::stepShare());
    showFigures(structure_.hud, figuresOf(structure_, structure_));
}

void Game::onAfterDraw() {
    motion_.restore();
}

// The GAME OVER board left alone, in the engine's time, plays the demo after kDemoDelayMilliseconds.
void Game::countIdleTime() {
    const std::uint32_t now = pentavel::lastTicks();
    const bool idle = !watch_.active() && !paused_ && !shelfView_.isOpen() && !structure_.playing &&
                      structure_.highScores.shown();
    if (!idle || !idleCounting_ || pentavel::clockSteppedBack(idleSince_, now)) {
        idleCounting_ = idle;
        idleSince_ = now;
        return;
    }
    if (now - idleSince_ >= kDemoDelayMilliseconds)
        startDemo();
}

int playGame(const GameOptions& options, const std::function<void()>& mainLoop) {
    auto game = std::make_unique<Game>();
    if (!game->initialise(options))
        return 1;
    mainLoop();
    return 0;
}

}  // namespace tezmola
