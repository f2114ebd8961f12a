// The palette and the 3-D drawing routines, pixel by pixel.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "colorpicker/W95ColorCore.h"
#include "support/Fixtures.h"

using namespace Toolkit;
using namespace W95Color;
using Fixtures::ColorPx;
using Fixtures::PixelOf;

namespace {

// The bitmap as text, a character per pixel from legend ('?' for any other colour).
std::string Art(const TBitmap& b, const std::vector<std::pair<char, TColor>>& legend) {
    std::string s;
    for (int y = 0; y < b.Height(); ++y) {
        s += '\n';
        for (int x = 0; x < b.Width(); ++x) {
            char c = '?';
            for (const auto& [ch, color] : legend)
                if (PixelOf(b, x, y) == ColorPx(color)) {
                    c = ch;
                    break;
                }
            s += c;
        }
    }
    return s;
}

void Blank(TBitmap& b, int width, int height) {
    b.SetSize(width, height);
    b.Canvas().Brush = TBrush{clWhite, TBrushStyle::bsSolid};
    b.Canvas().FillRect(Rect(0, 0, width, height));
}

}  // namespace

TEST(Palette, MatchesItsRedGreenBlueValues) {
    struct Rgb {
        int R, G, B;
    } const rgb[PaletteCount] = {
        {255, 255, 255}, {255, 0, 0},     {0, 255, 0},     {0, 0, 255},     {192, 220, 192},
        {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {0, 0, 128},     {166, 202, 240},
        {192, 192, 192}, {255, 255, 0},   {0, 255, 255},   {255, 0, 255},   {255, 251, 240},
        {128, 128, 128}, {128, 128, 0},   {0, 128, 128},   {128, 0, 128},   {160, 160, 164},
    };
    for (int i = 0; i < PaletteCount; ++i) {
        const TColor c = PaletteColors[i];
        EXPECT_EQ(c, RGB(std::uint8_t(rgb[i].R), std::uint8_t(rgb[i].G), std::uint8_t(rgb[i].B))) << "index " << i;
    }
    EXPECT_EQ(std::set<TColor>(PaletteColors.begin(), PaletteColors.end()).size(), std::size_t(PaletteCount));
}

TEST(Drawing, Frame3DDrawsRingsInwardsAndShrinksTheRectangle) {
    TBitmap b;
    Blank(b, 8, 7);
    TRect r = Rect(1, 1, 7, 6);
    DrawFrame3D(b.Canvas(), r, clRed, clBlue, 2);
    EXPECT_EQ(r, Rect(3, 3, 5, 4));
    EXPECT_EQ(Art(b, {{'.', clWhite}, {'T', clRed}, {'B', clBlue}}),
              "\n........"
              "\n.TTTTTB."
              "\n.TTTTBB."
              "\n.TT..BB."
              "\n.TBBBBB."
              "\n.BBBBBB."
              "\n........");
}

TEST(Drawing, DropArrowRowsNarrowTowardsTheBottom) {
    TBitmap b;
    Blank(b, 7, 4);
    DrawDropArrow(b.Canvas(), Rect(0, 0, 7, 4));
    EXPECT_EQ(Art(b, {{'.', clWhite}, {'#', clBlack}}),
              "\n......."
              "\n......."
              "\n..###.."
              "\n...#...");
}

TEST(Drawing, FocusRectInvertsEveryOtherOutlinePixelOnce) {
    struct Case {
        TRect r;
        const char* art;
    } const cases[] = {
        {Rect(1, 1, 6, 5),
         "\n......."
         "\n.#.#.#."
         "\n......."
         "\n.#...#."
         "\n..#.#.."
         "\n......."},
        {Rect(1, 1, 6, 2),  // one row: not inverted twice
         "\n......."
         "\n.#.#.#."
         "\n......."
         "\n......."
         "\n......."
         "\n......."},
        {Rect(-3, -3, 10, 10),  // all outside: nothing
         "\n......."
         "\n......."
         "\n......."
         "\n......."
         "\n......."
         "\n......."},
    };
    for (const auto& c : cases) {
        TBitmap b;
        Blank(b, 7, 6);
        DrawFocusRect(b.Canvas(), c.r);
        EXPECT_EQ(Art(b, {{'.', clWhite}, {'#', clBlack}}), c.art) << ToString(c.r);
        DrawFocusRect(b.Canvas(), c.r);
        EXPECT_TRUE(Fixtures::FrameEquals(b, 7, 6, [](int, int) { return ColorPx(clWhite); })) << "twice: " << ToString(c.r);
    }
}
