// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/import/brick_mapping.h"

#include <array>

namespace tezmola {
namespace import {

namespace {

// A brick behaviour Tezmola does not have, and how the nearest brick falls short of it.
enum class Loss { None, Chaotic, Invisible, Regenerating, Explosive, Growing, Count };

struct BrickMapping {
    char letter;
    CellCode code;
    Loss loss;
};

// Indestructible bricks become steel; the strong series (1 to 3 hits, and the invisible one of 4) blue ice;
// the regenerating series green ice; each colour its nearest tint, and where two letters would share one
// the one that stands beside the other less often in the sets moves: orange to yellow, grey to white.
constexpr BrickMapping kMappings[] = {
    {'E', {'S', 'S'}, Loss::None},          // shielded
    {'#', {'S', 'S'}, Loss::None},          // metal
    {'@', {'S', 'S'}, Loss::Chaotic},       // chaotic: bounces at random
    {'a', {'B', '1'}, Loss::None},          // strong, 1 hit
    {'b', {'B', '2'}, Loss::None},          // strong, 2 hits
    {'c', {'B', '3'}, Loss::None},          // strong, 3 hits
    {'v', {'B', '4'}, Loss::Invisible},     // invisible until hit, then strong of 3
    {'x', {'G', '1'}, Loss::Regenerating},  // regenerating, 1 to 3 points
    {'y', {'G', '2'}, Loss::Regenerating}, {'z', {'G', '3'}, Loss::Regenerating},
    {'d', {'R', '1'}, Loss::None},  // red
    {'e', {'Y', '1'}, Loss::None},  // orange
    {'f', {'G', '1'}, Loss::None},  // green
    {'g', {'B', '1'}, Loss::None},  // blue
    {'h', {'Y', '1'}, Loss::None},  // yellow
    {'i', {'M', '1'}, Loss::None},  // magenta
    {'j', {'W', '1'}, Loss::None},  // white
    {'k', {'W', '1'}, Loss::None},  // grey
    {'*', {'R', '1'}, Loss::Explosive},    {'!', {'M', '1'}, Loss::Growing},
};

constexpr const char* kLossWords[][2] = {
    {"", ""},
    {"chaotic brick bounces the ball plainly", "chaotic bricks bounce the ball plainly"},
    {"invisible brick is shown", "invisible bricks are shown"},
    {"regenerating brick does not heal", "regenerating bricks do not heal"},
    {"explosive brick does not explode", "explosive bricks do not explode"},
    {"growing brick does not grow", "growing bricks do not grow"},
};

struct Background {
    const char* sprite;
    float red, green, blue;
};

// Every shipped background once, with a tint that keeps the bricks in front of it.
constexpr Background kBackgrounds[] = {
    {"bg_bricks", 0.35f, 0.45f, 0.75f},  {"bg_waves", 0.65f, 0.35f, 0.55f},
    {"bg_hexes", 0.3f, 0.55f, 0.6f},     {"bg_stars", 0.55f, 0.6f, 0.95f},
    {"bg_checker", 0.75f, 0.55f, 0.35f}, {"bg_plate", 0.45f, 0.6f, 0.85f},
    {"bg_scales", 0.4f, 0.7f, 0.45f},    {"bg_panels", 0.5f, 0.5f, 0.65f},
    {"bg_weave", 0.55f, 0.45f, 0.7f},    {"bg_circuit", 0.3f, 0.75f, 0.55f},
    {"bg_rings", 0.8f, 0.6f, 0.3f},      {"bg_pyramids", 0.8f, 0.65f, 0.4f},
};

const BrickMapping* findMapping(char letter) {
    for (const BrickMapping& mapping : kMappings)
        if (mapping.letter == letter)
            return &mapping;
    return nullptr;
}

void addWords(std::string& text, const std::string& words) {
    text += text.empty() ? words : ", " + words;
}

std::string describeLosses(const std::array<int, static_cast<int>(Loss::Count)>& counts, int cutRows) {
    std::string text;
    for (int loss = 1; loss < static_cast<int>(Loss::Count); ++loss)
        if (counts[loss] > 0)
            addWords(text, std::to_string(counts[loss]) + " " + kLossWords[loss][counts[loss] == 1 ? 0 : 1]);
    if (cutRows > 0)
        addWords(text, "bricks past the 14th column of " + std::to_string(cutRows) +
                           (cutRows == 1 ? " row are" : " rows are") + " left out");
    return text;
}

std::string levelComment(const SetLevel& level, const std::string& setName, int numberInSet) {
    std::string comment = setName + " " + std::to_string(numberInSet);
    if (!level.title.empty())
        comment += ": " + level.title;
    if (!level.author.empty())
        comment += ", by " + level.author;
    return comment;
}

}  // namespace

CellCode brickCode(char letter) {
    const BrickMapping* mapping = findMapping(letter);
    return mapping != nullptr ? mapping->code : CellCode{'.', '.'};
}

LevelDraft importLevel(const SetLevel& level, const std::string& setName, int numberInSet,
                       std::string& approximated) {
    LevelDraft draft;
    draft.comment = levelComment(level, setName, numberInSet);
    std::array<int, static_cast<int>(Loss::Count)> losses = {};
    for (int row = 0; row < kSetRows; ++row)
        for (int column = 0; column < kSetColumns; ++column) {
            const BrickMapping* mapping = findMapping(level.bricks[row][column]);
            if (mapping == nullptr)
                continue;
            // The set's field is exactly the inside of the frame: rows 1..18, columns 1..14.
            draft.map[row + 1][column + 1] = mapping->code;
            ++losses[static_cast<int>(mapping->loss)];
        }
    approximated = describeLosses(losses, level.cutRows);
    return draft;
}

void chooseBackground(LevelDraft& level, std::size_t position) {
    const Background& background = kBackgrounds[position % (sizeof kBackgrounds / sizeof kBackgrounds[0])];
    level.background = background.sprite;
    level.red = background.red;
    level.green = background.green;
    level.blue = background.blue;
}

}  // namespace import
}  // namespace tezmola
