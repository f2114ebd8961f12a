// The pop-up palette: cell layout, hit-testing, the mark's moves, choices and the paint.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "colorpicker/W95ColorCore.h"
#include "support/Fixtures.h"

using namespace Toolkit;
using namespace W95Color;
using Fixtures::ColorPx;
using Fixtures::FrameEquals;
using Fixtures::PixelOf;
using Fixtures::Px;

namespace {

constexpr TColor Outside = 0x123456;  // in no palette cell, and no system colour

// How far (x, y) lies inside the cell r: 0 on its outer pixel ring, -1 just around it.
int Ring(const TRect& r, int x, int y) {
    return std::min({x - r.Left, y - r.Top, r.Right - 1 - x, r.Bottom - 1 - y});
}
bool OnBottomRight(const TRect& r, int x, int y, int ring) {
    return r.Right - 1 - x == ring || r.Bottom - 1 - y == ring;
}

}  // namespace

TEST(PopUpLayout, CellsRunDownFourColumns) {
    struct Case {
        int index;
        TRect r;
    } const cases[] = {
        {0, Rect(4, 4, 20, 20)},     {4, Rect(4, 76, 20, 92)},       {5, Rect(22, 4, 38, 20)},
        {10, Rect(40, 4, 56, 20)},   {19, Rect(58, 76, 74, 92)},     {CustomIndex, Rect(58, 106, 74, 122)},
        {21, TRect{}},               {-1, TRect{}},
    };
    for (const auto& c : cases) EXPECT_EQ(CellRect(c.index), c.r) << c.index;
}

TEST(PopUpLayout, EveryPixelOfACellCountsForIt) {
    for (int i = 0; i <= CustomIndex; ++i) {
        const TRect r = CellRect(i);
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) ASSERT_EQ(IndexAt(x, y), i) << "(" << x << ", " << y << ")";
    }
}

TEST(PopUpLayout, GridBandsSplitAt21_22_40_57_76) {
    struct Band {
        int v, index;  // -1: outside the grid
    };
    const Band columns[] = {{2, -1}, {3, 0},  {20, 0}, {21, 1}, {22, 1}, {39, 1},
                            {40, 2}, {56, 2}, {57, 3}, {74, 3}, {75, -1}};
    const Band rows[] = {{2, -1}, {3, 0},  {20, 0}, {21, 1}, {39, 1}, {40, 2}, {56, 2},
                         {57, 3}, {75, 3}, {76, 4}, {92, 4}, {93, -1}, {104, -1}};
    for (const auto& c : columns)
        for (const auto& r : rows) {
            const std::optional<int> want =
                c.index < 0 || r.index < 0 ? std::nullopt : std::optional<int>(c.index * 5 + r.index);
            EXPECT_EQ(IndexAt(c.v, r.v), want) << "(" << c.v << ", " << r.v << ")";
        }
}

TEST(PopUpLayout, CustomCellAreaReachesOnePixelAroundIt) {
    struct Case {
        int x, y;
        std::optional<int> index;
    } const cases[] = {
        {57, 105, CustomIndex}, {74, 122, CustomIndex}, {56, 110, std::nullopt}, {75, 110, std::nullopt},
        {60, 104, std::nullopt}, {60, 123, std::nullopt}, {10, 110, std::nullopt},  // the dialog button
    };
    for (const auto& c : cases) EXPECT_EQ(IndexAt(c.x, c.y), c.index) << "(" << c.x << ", " << c.y << ")";
}

TEST(PopUpModel, MarksTheCurrentColoursCell) {
    struct Case {
        TColor color;
        int marked;
        bool custom;
    } const cases[] = {
        {clSilver, 10, false},          {clWhite, 0, false},          {clBlack, 5, false},
        {0xA4A0A0, 19, false},          {clBtnFace, CustomIndex, true}, {Outside, CustomIndex, true},
    };
    for (const auto& c : cases) {
        const TPopUpModel m(c.color);
        EXPECT_EQ(m.MarkedIndex(), c.marked) << std::hex << c.color;
        EXPECT_EQ(m.ShowCustom(), c.custom) << std::hex << c.color;
        EXPECT_EQ(m.HotIndex(), NoIndex);
        EXPECT_EQ(m.CurrentColor(), c.color);
    }
}

TEST(PopUpModel, SequencesOfMovesAndClicks) {
    enum Op { Move, Down, Up };
    struct Step {
        Op op;
        int x, y;
        std::vector<TCellDraw> draws;  // Move
        std::optional<TColor> chosen;  // Up
    };
    struct Scenario {
        const char* name;
        TColor color;
        std::vector<Step> steps;
    };
    const TColor white = PaletteColors[0];
    const Scenario scenarios[] = {
        {"click without a move selects nothing", clSilver, {{Down, 45, 10, {}, {}}, {Up, 45, 10, {}, {}}}},
        {"first move onto the marked cell draws nothing, then a click chooses it",
         clSilver,
         {{Move, 45, 10, {}, {}}, {Down, 45, 10, {}, {}}, {Up, 45, 10, {}, clSilver}}},
        {"the mark follows the pointer",
         clSilver,
         {{Move, 5, 5, {{0, white, true}, {10, clSilver, false}}, {}},
          {Move, 6, 6, {}, {}},
          {Move, 60, 80, {{19, PaletteColors[19], true}, {0, white, false}}, {}},
          {Down, 60, 80, {}, {}},
          {Up, 60, 80, {}, PaletteColors[19]}}},
        {"press on one cell, release on another: nothing",
         clSilver,
         {{Move, 5, 5, {{0, white, true}, {10, clSilver, false}}, {}},
          {Down, 5, 5, {}, {}},
          {Move, 25, 5, {{5, PaletteColors[5], true}, {0, white, false}}, {}},
          {Up, 25, 5, {}, {}}}},
        {"release below the grid: nothing",
         clSilver,
         {{Move, 5, 5, {{0, white, true}, {10, clSilver, false}}, {}}, {Down, 5, 5, {}, {}}, {Up, 5, 95, {}, {}}}},
        {"no custom cell: its area does nothing", clSilver, {{Move, 60, 110, {}, {}}}},
        {"custom cell marked from the start: pointing at it does nothing",
         clBtnFace,
         {{Move, 60, 110, {}, {}}, {Down, 60, 110, {}, {}}, {Up, 60, 110, {}, {}}}},
        {"back onto the custom cell, then a click chooses its colour",
         clBtnFace,
         {{Move, 5, 5, {{0, white, true}, {CustomIndex, clBtnFace, false}}, {}},
          {Move, 60, 110, {{CustomIndex, clBtnFace, true}, {0, white, false}}, {}},
          {Move, 70, 120, {}, {}},
          {Down, 70, 120, {}, {}},
          {Up, 60, 104, {}, {}},
          {Up, 57, 105, {}, clBtnFace}}},
    };
    for (const auto& s : scenarios) {
        TPopUpModel m(s.color);
        int n = 0;
        for (const auto& step : s.steps) {
            switch (step.op) {
                case Move: EXPECT_EQ(m.MouseMove(step.x, step.y), step.draws) << s.name << ", step " << n; break;
                case Down: m.MouseDown(); break;
                case Up: EXPECT_EQ(m.MouseUp(step.x, step.y), step.chosen) << s.name << ", step " << n; break;
            }
            ++n;
        }
    }
}

TEST(PopUpPaint, CellsAreSunkenWellsAndTheMarkOverlaysTheirEdge) {
    TBitmap b;
    b.SetSize(24, 24);
    const TRect r = CellRect(0);
    auto unmarked = [&](int x, int y) {
        const int ring = Ring(r, x, y);
        const bool br = OnBottomRight(r, x, y, ring);
        if (ring < -1) return Px{};  // untouched: black
        if (ring == -1) return ColorPx(clBtnFace);
        if (ring == 0) return ColorPx(br ? clBtnHighlight : clBtnShadow);
        if (ring == 1) return ColorPx(br ? clBtnFace : clWindowFrame);
        return ColorPx(Outside);
    };
    DrawCell(b.Canvas(), 0, Outside, false);
    EXPECT_TRUE(FrameEquals(b, 24, 24, unmarked));
    DrawCell(b.Canvas(), 0, clRed, true);
    EXPECT_TRUE(FrameEquals(b, 24, 24, [&](int x, int y) {
        const int ring = Ring(r, x, y);
        return ring == -1 || ring == 1 ? ColorPx(clBlack) : ring == 0 ? ColorPx(clWhite) : unmarked(x, y);
    }));
    DrawCell(b.Canvas(), 0, Outside, false);  // erases the mark
    EXPECT_TRUE(FrameEquals(b, 24, 24, unmarked));
    DrawCell(b.Canvas(), 21, clRed, false);
    DrawCell(b.Canvas(), -1, clRed, true);
    EXPECT_TRUE(FrameEquals(b, 24, 24, unmarked));
}

TEST(PopUpPaint, WholePopUp) {
    struct Case {
        const char* name;
        TColor color;
        bool moveOntoMark;  // the pointer rests on the marked cell: no mark drawn
    } const cases[] = {{"silver", clSilver, false}, {"outside the palette", Outside, false},
                       {"pointer on the mark", clSilver, true}};
    for (const auto& c : cases) {
        TPopUpModel m(c.color);
        if (c.moveOntoMark) m.MouseMove(45, 10);
        TBitmap b;
        b.SetSize(PopupWidth, PopupHeight);
        PaintPopUp(b.Canvas(), m);
        auto at = [&](int x, int y) { return PixelOf(b, x, y); };
        SCOPED_TRACE(c.name);
        EXPECT_EQ(at(0, 0), ColorPx(clBtnHighlight));
        EXPECT_EQ(at(0, 126), ColorPx(clBtnHighlight));
        EXPECT_EQ(at(77, 0), ColorPx(clWindowFrame));
        EXPECT_EQ(at(0, 127), ColorPx(clWindowFrame));
        EXPECT_EQ(at(1, 1), ColorPx(clBtnHighlight));
        EXPECT_EQ(at(76, 1), ColorPx(clBtnShadow));
        EXPECT_EQ(at(2, 2), ColorPx(clBtnFace));
        EXPECT_EQ(at(2, 125), ColorPx(clBtnFace));
        for (int x = 3; x <= 74; ++x) {
            const bool line = x >= 4 && x <= 73;
            EXPECT_EQ(at(x, 96), ColorPx(line ? clBtnShadow : clBtnFace)) << x;
            EXPECT_EQ(at(x, 97), ColorPx(line ? clBtnHighlight : clBtnFace)) << x;
        }
        const int marked = c.moveOntoMark ? -1 : m.MarkedIndex();
        for (int i = 0; i <= CustomIndex; ++i) {
            const TRect r = CellRect(i);
            const bool shown = i < PaletteCount || m.ShowCustom();
            EXPECT_EQ(at(r.Left + 8, r.Top + 8), ColorPx(shown ? m.CellColor(i) : clBtnFace)) << i;
            EXPECT_EQ(at(r.Left - 1, r.Top + 8), ColorPx(i == marked ? clBlack : clBtnFace)) << i;
            EXPECT_EQ(at(r.Left, r.Top + 8), ColorPx(i == marked ? clWhite : shown ? clBtnShadow : clBtnFace)) << i;
        }
    }
}
