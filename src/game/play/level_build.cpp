// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/play/level_build.h"

#include <tinyxml.h>

#include "engine/file/log.h"
#include "engine/graphics/sprite.h"
#include "game/display/hud.h"
#include "game/display/level_banner.h"
#include "game/field/balls.h"
#include "game/field/collisions.h"
#include "game/field/guard.h"
#include "game/play/game_structure.h"

namespace tezmola {

namespace {

constexpr float kServeSpeed = -1.0f;  // straight down onto the paddle, which then sends it up

std::uint32_t placeOf(std::int32_t levelCount, std::uint32_t number) {
    return levelCount > 0 ? (number - 1u) % static_cast<std::uint32_t>(levelCount) : 0u;
}

void logOutcome(LevelBuild outcome, std::uint32_t number) {
    if (outcome == LevelBuild::NotInFile)
        pentavel::logError("Cannot load in level %d", static_cast<int>(number));
    else if (outcome != LevelBuild::Built)
        pentavel::logError("Level %d is malformed", static_cast<int>(number));
}

void announceLevel(const LevelSource& levels, std::uint32_t number, GameDisplay& display,
                   const BrickGrid& grid) {
    if (!levels.setChosen)
        return;
    const TiXmlElement* level = findLevel(levels.levelDocument, levels.levelCount, number);
    const std::uint32_t inSet =
        levels.levelCount > 0 ? (number - 1u) % static_cast<std::uint32_t>(levels.levelCount) + 1u : 0u;
    const LevelNotes notes = readLevelNotes(level);
    std::string credit = notes.title;
    if (!notes.author.empty())
        credit += (credit.empty() ? "by " : ", by ") + notes.author;
    showBanner(display.banner,
               toFontText(levels.levelSet.name, display.glyphs) + "  LEVEL " + std::to_string(inSet),
               toFontText(credit, display.glyphs), findFreeBand(grid));
}

// A fresh ball, no capsules, no guard.
void startLevelPlay(PlayField& field) {
    field.balls.clear();
    // A finished game gets no ball from a level change: only a new game or the revive key ends it.
    if (field.playing) {
        if (field.spareBalls.lives < kMaxLives)
            addSpareBall(field.spareBalls);
        serveBall(field);
    }
    field.powerUps.clear();
    field.guard.guardCount = 0;
    useGuardHit(field.guard, field.grid);
}

}  // namespace

bool serveBall(PlayField& field) {
    // A game that is over stays over (a spare ball caught after the end does not bring it back).
    if (!field.playing)
        return false;
    if (field.spareBalls.lives == 0) {
        field.playing = false;
        field.events.gameOver = true;
        return false;
    }
    removeSpareBall(field.spareBalls);
    const Paddle& paddle = field.paddle;
    field.balls.push_back(
        makeBall(paddle.x, paddle.y + kPaddleRest + kBallRadius, 0.0f, kServeSpeed, NimbusKind::None, true));
    field.scoreMultiplier = 1;
    field.multiplierArmed = false;
    return true;
}

LevelBuild buildLevel(GameStructure& game) {
    const TiXmlElement* level = findLevel(game.levelDocument, game.levelCount, game.levelNumber);
    ++game.levelsLaid;
    LaidLevel laid;
    if (hasEveryImage(game.grid.images)) {
        const LevelContent& content =
            game.levelContents.of(level, placeOf(game.levelCount, game.levelNumber));
        relayGrid(game.grid, content);
        if (content.laid.outcome == LevelBuild::Built)
            relayBackground(game.background, content);
        laid = content.laid;
    } else {
        laid = layLevel(game.grid, game.background, level);
    }
    game.bricksLeft = laid.bricks;
    logOutcome(laid.outcome, game.levelNumber);
    if (laid.outcome == LevelBuild::Built) {
        startLevelPlay(game);
        announceLevel(game, game.levelNumber, game, game.grid);
    } else if (game.guard.guardCount > 0) {
        // A failed build keeps the guard, but the layout emptied its row: it is laid again under the glow.
        layGuardRow(game.grid);
    }
    return laid.outcome;
}

LevelOutlook::LevelOutlook(LevelSource& levels, const BrickGrid& grid) : levels_(levels), grid_(grid) {}

const LevelOutlook::Look& LevelOutlook::look(std::uint32_t number) {
    const std::uint32_t place = placeOf(levels_.levelCount, number);
    Look& look = looks_[place];
    if (!look.read) {
        const LevelContent& content =
            levels_.levelContents.of(findLevel(levels_.levelDocument, levels_.levelCount, number), place);
        look.read = true;
        look.outcome = content.laid.outcome;
        // A whole build keeps from the grid before it the images the sheets lack.
        look.afresh = look.outcome == LevelBuild::Built && hasEveryImage(grid_.images) &&
                      pentavel::graphics::lookupSprite(content.backgroundImage.c_str()) != 0;
    }
    return look;
}

bool LevelOutlook::laysAfresh(std::uint32_t number) {
    return look(number).afresh;
}

void LevelOutlook::logBuild(std::uint32_t number) {
    logOutcome(look(number).outcome, number);
}

}  // namespace tezmola
