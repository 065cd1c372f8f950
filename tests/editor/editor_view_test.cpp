// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the editor draws, by where it lies: the bar's bricks where a click chooses them, the frame round the
// chosen one, the grid on the edges of the cells a level may fill, the highlight on its cell, and the text
// in the bands, clear of the field and of the bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "game/display/hud.h"
#include "game/field/brick_grid.h"
#include "game/game_sheet.h"
#include "game/records/level_set.h"
#include "tools/editor/view/brick_bar.h"
#include "tools/editor/view/field_marks.h"
#include "tools/editor/view/level_view.h"

namespace {

using namespace tezmola;
using pentavel::graphics::Sprite;
using pentavel::graphics::TextLabel;

constexpr float kNear = 1e-4f;

struct Box {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;

    bool holds(const Box& other) const {
        return other.left >= left - kNear && other.right <= right + kNear && other.top <= top + kNear &&
               other.bottom >= bottom - kNear;
    }
    bool meets(const Box& other) const {
        return other.left < right && other.right > left && other.bottom < top && other.top > bottom;
    }
    float centreX() const { return (left + right) * 0.5f; }
    float centreY() const { return (top + bottom) * 0.5f; }
};

Box boxOf(const Sprite& sprite) {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    sprite.getPosition(x, y);
    sprite.getSize(width, height);
    width = std::fabs(width);
    height = std::fabs(height);
    return Box{x - width * 0.5f, y + height * 0.5f, x + width * 0.5f, y - height * 0.5f};
}

Box boxOf(const TextLabel& label) {
    Box box = boxOf(label.glyphs().at(0));
    for (const Sprite& glyph : label.glyphs()) {
        const Box one = boxOf(glyph);
        box = Box{std::min(box.left, one.left), std::max(box.top, one.top), std::max(box.right, one.right),
                  std::min(box.bottom, one.bottom)};
    }
    return box;
}

template <typename Sides>
Box boxOfAll(const Sides& sides) {
    Box box = boxOf(sides[0]);
    for (const Sprite& side : sides) {
        const Box one = boxOf(side);
        box = Box{std::min(box.left, one.left), std::max(box.top, one.top), std::max(box.right, one.right),
                  std::min(box.bottom, one.bottom)};
    }
    return box;
}

// The four sides of a frame are thin, each the whole length of its edge, close round the box and none
// over its inside; drawn over what they frame, in a colour of their own.
void expectFramed(const std::array<Sprite, 4>& sides, const Box& inside, float depthFramed) {
    const Box frame = boxOfAll(sides);
    EXPECT_TRUE(frame.holds(inside));
    EXPECT_LT(frame.right - frame.left, inside.right - inside.left + 0.05f);
    EXPECT_LT(frame.top - frame.bottom, inside.top - inside.bottom + 0.05f);
    const Box core{inside.left + 0.0005f, inside.top - 0.0005f, inside.right - 0.0005f,
                   inside.bottom + 0.0005f};
    for (const Sprite& side : sides) {
        const Box box = boxOf(side);
        EXPECT_TRUE(side.visible());
        EXPECT_FALSE(box.meets(core));
        if (box.right - box.left > box.top - box.bottom)
            EXPECT_TRUE(box.left <= inside.left && box.right >= inside.right);
        else
            EXPECT_TRUE(box.top >= inside.top && box.bottom <= inside.bottom);
        EXPECT_LT(side.depth(), depthFramed);
        EXPECT_NE(side.sprite(), 0u);
        EXPECT_EQ(side.colour().blue, 0.0f);  // yellow
    }
}

Box cellBox(int row, int column) {
    return Box{cellLeft(column), cellTop(row), cellLeft(column) + kCellWidth, cellTop(row) - kCellHeight};
}

class EditorViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::scanGameSheet(); }
    void SetUp() override { buildGlyphTable(glyphs); }

    pentavel::graphics::GlyphTable glyphs = {};
};

TEST_F(EditorViewTest, EachBrickOfTheBarIsDrawnWhereAClickChoosesIt) {
    editor::BrickBar bar;
    bar.select(2);
    bar.changeHitPoints(2);
    bar.select(4);
    editor::BrickBarView view(glyphs);
    view.show(bar);
    const Box back = boxOf(view.back());
    EXPECT_LE(back.left, -1.0f + kNear);
    EXPECT_GE(back.right, 1.0f - kNear);
    EXPECT_LE(back.top, cellTop(kMapRows) + kNear);  // under the cells a level may fill
    for (int slot = 0; slot < editor::kBarSlots; ++slot) {
        const BrickKind kind = editor::BrickBar::slotKind(slot);
        const BrickCell& cell = view.brick(slot);
        const Box brick = boxOf(cell.brick);
        EXPECT_TRUE(back.holds(brick)) << slot;
        for (const float x : {brick.left + 0.005f, brick.centreX(), brick.right - 0.005f})
            for (const float y : {brick.top - 0.005f, brick.bottom + 0.005f})
                EXPECT_EQ(editor::BrickBar::slotAt(x, y), slot) << x << ", " << y;
        EXPECT_TRUE(cell.brick.visible());
        EXPECT_EQ(cell.kind, kind);
        const TextLabel& label = view.label(slot);
        if (isColourBrick(kind)) {
            EXPECT_EQ(label.text(), std::to_string(bar.hitPoints(slot)));
            const Box text = boxOf(label);
            EXPECT_GT(text.left, brick.right);
            EXPECT_TRUE(back.holds(text));
            EXPECT_EQ(editor::BrickBar::slotAt(text.right, text.centreY()), slot);
            EXPECT_EQ(label.glyphs().at(0).colour().blue, slot == 4 ? 0.0f : 1.0f)
                << "the chosen one's number is yellow";
        } else {
            EXPECT_EQ(label.text(), "");
        }
    }
    EXPECT_EQ(view.brick(2).brick.sprite(),
              pentavel::graphics::lookupSprite(brickImageName(BrickKind::Yellow, 3)));
    EXPECT_FALSE(view.brick(7).shadow.visible());  // the empty cell: a dark hole, no brick to cast one
    EXPECT_EQ(view.brick(7).brick.colour().red, 0.0f);
    expectFramed(view.frame(), boxOf(view.brick(4).brick), view.brick(4).brick.depth());
    // Drawn over the field's bricks (depth 0): the back, over it each brick over its shadow, the numbers.
    EXPECT_NE(view.back().sprite(), 0u);
    EXPECT_LT(view.back().depth(), 0.0f);
    EXPECT_LT(view.back().colour().red + view.back().colour().alpha, 1.0f);  // dark, a little see-through
    for (int slot = 0; slot < editor::kBarSlots; ++slot) {
        EXPECT_LT(view.brick(slot).shadow.depth(), view.back().depth());
        EXPECT_LT(view.brick(slot).brick.depth(), view.brick(slot).shadow.depth());
        if (!view.label(slot).text().empty()) {
            EXPECT_LT(view.label(slot).depth(), view.back().depth());
            const float height = boxOf(view.label(slot)).top - boxOf(view.label(slot)).bottom;
            EXPECT_GT(height, 0.3f * kCellHeight);  // legible beside the brick, and smaller than it
            EXPECT_LT(height, 0.6f * kCellHeight);
        }
    }
}

TEST_F(EditorViewTest, TheGridLiesOnTheEdgesOfThePaintableCellsAndTheHighlightOnItsCell) {
    editor::FieldMarks marks;
    marks.showGrid(true);
    const Box paintable{cellLeft(1), cellTop(1), cellLeft(kGridColumns - 1), cellTop(kMapRows)};
    int vertical = 0;
    int horizontal = 0;
    for (const Sprite& line : marks.lines()) {
        EXPECT_TRUE(line.visible());
        const Box box = boxOf(line);
        if (box.right - box.left < box.top - box.bottom) {
            const float column = (box.centreX() - kGridLeft) / kCellWidth;
            EXPECT_NEAR(column, static_cast<float>(1 + vertical), kNear);
            EXPECT_NEAR(box.left, box.right, 0.01f);
            EXPECT_NEAR(box.top, paintable.top, kNear);
            EXPECT_NEAR(box.bottom, paintable.bottom, kNear);
            ++vertical;
        } else {
            const float row = (kGridTop - box.centreY()) / kCellHeight;
            EXPECT_NEAR(row, static_cast<float>(1 + horizontal), kNear);
            EXPECT_NEAR(box.top, box.bottom, 0.01f);
            EXPECT_NEAR(box.left, paintable.left, kNear);
            EXPECT_NEAR(box.right, paintable.right, kNear);
            ++horizontal;
        }
    }
    EXPECT_EQ(vertical, kGridColumns - 1);
    EXPECT_EQ(horizontal, kMapRows);
    for (const Sprite& line : marks.lines()) {
        EXPECT_NE(line.sprite(), 0u);
        EXPECT_LT(line.depth(), 0.0f);         // over the field's bricks
        EXPECT_LT(line.colour().alpha, 0.5f);  // which show through
    }
    marks.showGrid(false);
    for (const Sprite& line : marks.lines())
        EXPECT_FALSE(line.visible());

    editor::FieldCursor cursor;
    cursor.move(4, 6);
    marks.showCursor(cursor, editor::Brush{BrickKind::Blue, 2});
    const Box cell = cellBox(5, 7);
    const BrickCell& preview = marks.preview();
    EXPECT_NEAR(boxOf(preview.brick).centreX(), cell.centreX(), kNear);
    EXPECT_NEAR(boxOf(preview.brick).centreY(), cell.centreY(), kNear);
    EXPECT_TRUE(preview.brick.visible());
    EXPECT_FALSE(preview.shadow.visible());
    EXPECT_EQ(preview.brick.sprite(), pentavel::graphics::lookupSprite(brickImageName(BrickKind::Blue, 2)));
    EXPECT_EQ(preview.brick.colour().blue, 1.0f);
    EXPECT_LT(preview.brick.colour().alpha, 1.0f);  // the cell's brick shows through
    EXPECT_GT(preview.brick.colour().alpha, 0.5f);
    EXPECT_LT(preview.brick.depth(), marks.lines().front().depth());  // over the grid
    expectFramed(marks.frame(), cell, preview.brick.depth());
    marks.showCursor(cursor, editor::Brush{BrickKind::Empty, 1});
    EXPECT_EQ(marks.preview().brick.colour().blue, 0.0f);  // a click clears: the cell shown dark
}

// The text stands in the bands: the status line and the level's line over the field, the messages under
// the brick bar, none over a cell a level may fill.
TEST_F(EditorViewTest, TheTextStandsInTheBandsClearOfTheFieldAndTheBar) {
    editor::LevelView view(glyphs);
    view.setStatus({"Level 1/1  status"});
    view.setInfo("bg_bricks  info");
    view.setMessages({{"first"}, {"second"}, {"third"}});
    view.showBrickBar(editor::BrickBar());
    const Box band = boxOf(view.topBand());
    const Box paintable{cellLeft(1), cellTop(1), cellLeft(kGridColumns - 1), cellTop(kMapRows)};
    const Box window{-1.0f, 0.75f, 1.0f, -0.75f};
    const Box status = boxOf(view.status());
    const Box info = boxOf(view.info());
    EXPECT_TRUE(band.holds(status));
    EXPECT_TRUE(band.holds(info));
    EXPECT_FALSE(status.meets(info));
    EXPECT_GT(info.top, status.bottom - 0.05f);  // the level's line right under the status line
    EXPECT_FALSE(band.meets(paintable));
    EXPECT_LT(view.topBand().depth(), 0.0f);  // over the top row of pipes
    const Box bar = boxOf(view.brickBar().back());
    Box above = bar;
    for (std::size_t line = 0; line < editor::kMessageLines; ++line) {
        const Box message = boxOf(view.message(line));
        EXPECT_TRUE(window.holds(message)) << line;
        EXPECT_FALSE(message.meets(bar)) << line;
        EXPECT_FALSE(message.meets(paintable)) << line;
        EXPECT_LT(message.top, above.bottom + kNear) << line << ": oldest first, downwards";
        EXPECT_GT(message.top, above.bottom - 0.06f) << line;
        above = message;
    }
}

// Every line fits the window, however long the names in it: a path keeps its start and its file name, a
// name of letters of two bytes each loses its middle between letters, and a message too long for one line
// takes two.
TEST_F(EditorViewTest, EveryLineFitsTheWindowAndAPathKeepsItsStartAndItsName) {
    editor::LevelView view(glyphs);
    EXPECT_FALSE(view.selection().visible());
    TextLabel measured;
    measured.setText(glyphs, "Wi.");
    measured.setTextSize(0.4f);
    EXPECT_NEAR(editor::textWidth("Wi.", editor::glyphWidths(glyphs, 0.4f)), measured.width(), 1e-5f);
    std::string name;
    for (int letter = 0; letter < 60; ++letter)
        name += "\xc3\xa9";  // é
    const std::string path = "/home/J\xc3\xbcrgen/My Games/Tezmola/levels/" + name + ".xml";
    const editor::Message status =
        editor::Message{"Level 1/1  0 to clear  0 steel  brush: red 1  "}.addPart(name + ".xml").add(" *");
    const editor::Message made =
        editor::Message{"New set "}.addPart(name).add(": Ctrl+S puts it on the shelf, ").addPart(path);
    view.setStatus(status);
    view.setMessages({{"the oldest message"}, {"an older message"}, made});
    // What is shown is the font's letters of what was said, cut only between them.
    const auto expectPiecesOf = [&](const TextLabel& label, const editor::Message& message) {
        const std::string font = toFontText(message.text, glyphs);
        const std::string& text = label.text();
        for (std::size_t start = 0, end = 0; start <= text.size(); start = end + 3) {
            end = std::min(text.find("...", start), text.size());
            EXPECT_NE(font.find(text.substr(start, end - start)), std::string::npos) << text;
        }
    };
    expectPiecesOf(view.status(), status);
    EXPECT_LE(boxOf(view.status()).right, 0.99f + kNear);
    EXPECT_NE(view.status().text().find("..."), std::string::npos);
    EXPECT_EQ(view.status().text().substr(view.status().text().size() - 6), ".xml *");
    EXPECT_EQ(view.message(0).text(), "an older message");
    for (std::size_t line = 1; line < editor::kMessageLines; ++line) {
        expectPiecesOf(view.message(line), made);
        EXPECT_LE(boxOf(view.message(line)).right, 0.95f + kNear) << line;
    }
    const std::string second = view.message(2).text();
    EXPECT_EQ(second.rfind("/home/", 0), 0u) << second;
    EXPECT_EQ(second.substr(second.size() - 64), toFontText(name, glyphs) + ".xml") << second;
    EXPECT_FALSE(view.selection().visible());
}

}  // namespace
