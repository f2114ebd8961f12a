// Bitmaps and canvases: clipping, stretching, raster operations, BMP files.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <vector>

#include "support/Fixtures.h"

using namespace Toolkit;
using namespace Fixtures;

namespace {

std::string BmpBytes(const TBitmap& b) {
    std::ostringstream out;
    b.SaveToStream(out);
    return out.str();
}

void Put32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = char(v >> (8 * i));
}

}  // namespace

TEST(Canvas, FillRectIsClippedAndResolvesSystemColours) {
    TBitmap b;
    b.SetSize(4, 3);
    b.Canvas().Brush.Color = clBtnFace;
    b.Canvas().FillRect(Rect(-5, 1, 100, 2));
    b.Canvas().FillRect(Rect(3, 3, 1, 1));  // inverted: nothing
    EXPECT_TRUE(FrameEquals(b, 4, 3, [](int, int y) { return y == 1 ? ColorPx(clBtnFace) : Px{}; }));
}

TEST(Canvas, CopyRectClipsSourceAndDestination) {
    TBitmap src, dst;
    MakeCoordPicture(src, 5, 4, ToTag);
    struct Case {
        TRect from, to;
    } const cases[] = {
        {Rect(0, 0, 5, 4), Rect(0, 0, 5, 4)},     // whole picture
        {Rect(-2, -1, 3, 3), Rect(1, 1, 6, 5)},   // source partly outside: those pixels untouched
        {Rect(2, 1, 5, 4), Rect(-1, -1, 2, 2)},   // destination partly outside
        {Rect(0, 0, 5, 4), Rect(4, 3, 9, 7)},     // mostly off the bottom-right
        {Rect(1, 1, 1, 3), Rect(0, 0, 0, 2)},     // empty: nothing
    };
    for (const auto& c : cases) {
        dst.SetSize(6, 5);
        dst.Canvas().Brush.Color = clWhite;
        dst.Canvas().FillRect(Rect(0, 0, 6, 5));
        dst.Canvas().CopyRect(c.to, src.Canvas(), c.from);
        EXPECT_TRUE(FrameEquals(dst, 6, 5, [&](int x, int y) {
            const bool inside = x >= c.to.Left && x < c.to.Right && y >= c.to.Top && y < c.to.Bottom;
            if (!inside) return ColorPx(clWhite);
            return PictureAt(src, x - c.to.Left + c.from.Left, y - c.to.Top + c.from.Top).value_or(ColorPx(clWhite));
        })) << ToString(c.from) << " -> " << ToString(c.to);
    }
}

TEST(Canvas, StretchIsNearestNeighbourRoundingDown) {
    TBitmap src, dst;
    MakeCoordPicture(src, 4, 2, ToTag);
    dst.SetSize(10, 5);
    // 4 x 2 onto 10 x 5 at (1, 0): destination column x takes source column (x - 1) * 4 / 10.
    dst.Canvas().CopyRect(Rect(1, 0, 11, 5), src.Canvas(), Rect(0, 0, 4, 2));
    EXPECT_TRUE(FrameEquals(dst, 10, 5, [&](int x, int y) {
        return x < 1 ? Px{} : Coord((x - 1) * 4 / 10, y * 2 / 5, ToTag);
    }));
    // Shrinking 4 x 2 to 2 x 1 samples every other column.
    TBitmap small;
    small.SetSize(2, 1);
    small.Canvas().StretchDraw(Rect(0, 0, 2, 1), src);
    EXPECT_EQ(PixelOf(small, 1, 0), Coord(2, 0, ToTag));
}

// Stretches of every ratio between enlarging twice and shrinking to a third, with source
// and destination partly outside their bitmaps, against nearest neighbour rounding down.
TEST(Canvas, StretchesOfEveryRatioSampleNearestNeighbour) {
    TBitmap src, dst;
    MakeCoordPicture(src, 48, 3, ToTag);
    for (int width = 16; width <= 96; ++width)
        for (const auto& [from, at] : {std::pair{Rect(0, 0, 48, 3), 0}, std::pair{Rect(-5, 0, 45, 3), -3},
                                       std::pair{Rect(7, 1, 48, 2), 5}}) {
            const TRect to = Rect(at, 0, at + width, 3);
            dst.SetSize(40, 3);
            dst.Canvas().Brush.Color = clWhite;
            dst.Canvas().FillRect(Rect(0, 0, 40, 3));
            dst.Canvas().CopyRect(to, src.Canvas(), from);
            EXPECT_TRUE(FrameEquals(dst, 40, 3, [&](int x, int y) {
                const int sx = from.Left + (x - to.Left) * from.Width() / to.Width();
                const int sy = from.Top + y * from.Height() / to.Height();
                if (x < to.Left || x >= to.Right || sx < 0 || sx >= 48) return ColorPx(clWhite);
                return Coord(sx, sy, ToTag);
            })) << ToString(from) << " -> " << ToString(to);
        }
}

TEST(Canvas, SrcInvertCombinesByExclusiveOr) {
    TBitmap src, dst;
    src.SetSize(2, 1);
    src.Canvas().Brush.Color = RGB(0x0F, 0xF0, 0x55);
    src.Canvas().FillRect(Rect(0, 0, 2, 1));
    dst.SetSize(2, 1);
    dst.Canvas().Brush.Color = RGB(0xFF, 0xFF, 0x00);
    dst.Canvas().FillRect(Rect(0, 0, 2, 1));
    dst.Canvas().CopyMode = TCopyMode::cmSrcInvert;
    dst.Canvas().CopyRect(Rect(0, 0, 1, 1), src.Canvas(), Rect(0, 0, 1, 1));
    EXPECT_EQ(PixelOf(dst, 0, 0), (Px{0x55, 0x0F, 0xF0}));
    EXPECT_EQ(PixelOf(dst, 1, 0), (Px{0x00, 0xFF, 0xFF}));
}

TEST(Canvas, CopyWithinOneBitmapReadsTheOriginal) {
    TBitmap b;
    MakeCoordPicture(b, 6, 1, FromTag);
    b.Canvas().CopyRect(Rect(1, 0, 6, 1), b.Canvas(), Rect(0, 0, 5, 1));
    EXPECT_TRUE(FrameEquals(b, 6, 1, [](int x, int y) { return Coord(x == 0 ? 0 : x - 1, y, FromTag); }));
}

TEST(Canvas, HugeRectanglesCostNothingAndOverflowNothing) {
    TBitmap src, dst;
    MakeCoordPicture(src, 3, 3, ToTag);
    dst.SetSize(3, 3);
    dst.Canvas().CopyRect(Rect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), src.Canvas(),
                          Rect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
    EXPECT_TRUE(FrameEquals(dst, 3, 3, [](int x, int y) { return Coord(x, y, ToTag); }));
    // An unfilled outline whose every edge lies far outside the bitmap leaves every pixel.
    dst.Canvas().Pen.Style = TPenStyle::psDash;
    dst.Canvas().Brush.Style = TBrushStyle::bsClear;
    dst.Canvas().Rectangle(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    EXPECT_TRUE(FrameEquals(dst, 3, 3, [](int x, int y) { return Coord(x, y, ToTag); }));
}

TEST(Bitmap, ChangeNotificationAndResizeKeepsTheTopLeft) {
    TBitmap b;
    int changes = 0;
    b.OnChange = [&](TBitmap&) { ++changes; };
    MakeCoordPicture(b, 4, 4, FromTag);
    EXPECT_GE(changes, 1);
    changes = 0;
    b.SetSize(2, 5);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(PixelOf(b, 1, 3), Coord(1, 3, FromTag));
    EXPECT_EQ(PixelOf(b, 1, 4), Px{});
    b.SetSize(2, 5);
    EXPECT_EQ(changes, 1) << "same size: no change";
    b.SetSize(0, 7);
    EXPECT_TRUE(b.Empty());
    EXPECT_THROW(b.SetSize(MaxBitmapSide + 1, 1), EOutOfResources);
    EXPECT_THROW(b.SetSize(MaxBitmapSide, MaxBitmapSide), EOutOfResources);
    EXPECT_TRUE(b.Empty());
}

// A change handler may free the bitmap it was raised by (its owner goes): every
// operation raises the notification once, as its last step, and Changed tells the
// survival. ASan reports any write after it.
TEST(Bitmap, EveryChangeIsNotifiedOnceAsTheLastStep) {
    TBitmap other;
    MakeCoordPicture(other, 3, 3, ToTag);
    std::ostringstream bmp;
    other.SaveToStream(bmp);
    const struct {
        const char* name;
        std::function<void(TBitmap&)> change;
    } changes[] = {
        {"FillRect", [](TBitmap& b) { b.Canvas().FillRect(Rect(0, 0, 3, 3)); }},
        {"Rectangle", [](TBitmap& b) { b.Canvas().Rectangle(0, 0, 5, 5); }},
        {"SetPixel", [](TBitmap& b) { b.Canvas().SetPixel(1, 1, clRed); }},
        {"CopyRect", [&](TBitmap& b) { b.Canvas().CopyRect(Rect(0, 0, 2, 2), other.Canvas(), Rect(0, 0, 3, 3)); }},
        {"Draw", [&](TBitmap& b) { b.Canvas().Draw(1, 1, other); }},
        {"Assign", [&](TBitmap& b) { b.Assign(other); }},
        {"Assign onto itself", [](TBitmap& b) { b.Assign(b); }},
        {"SetSize", [](TBitmap& b) { b.SetSize(7, 2); }},
        {"LoadFromStream", [&](TBitmap& b) {
             std::istringstream in(bmp.str());
             b.LoadFromStream(in);
         }},
    };
    for (const auto& c : changes) {
        auto* b = new TBitmap;
        MakeCoordPicture(*b, 5, 5, FromTag);
        int notices = 0;
        b->OnChange = [&](TBitmap& self) {
            ++notices;
            delete &self;
        };
        c.change(*b);
        EXPECT_EQ(notices, 1) << c.name;
    }
    TBitmap kept;
    kept.SetSize(1, 1);
    kept.OnChange = [](TBitmap&) {};
    EXPECT_TRUE(kept.Changed());
    auto* freed = new TBitmap;
    freed->OnChange = [](TBitmap& self) { delete &self; };
    EXPECT_FALSE(freed->Changed());
}

TEST(Bitmap, BmpRoundTripIsExact) {
    TBitmap b, back;
    MakeCoordPicture(b, 5, 3, ToTag);
    const std::string bytes = BmpBytes(b);
    EXPECT_EQ(bytes.size(), 54u + 16 * 3);
    std::istringstream in(bytes);
    back.LoadFromStream(in);
    EXPECT_TRUE(FrameEquals(back, 5, 3, [](int x, int y) { return Coord(x, y, ToTag); }));
}

// DIB memory holds the bottom line first; the view counts lines from the top, and a copy
// between views of different row layouts follows the lines, not the memory.
TEST(Bitmap, PixelViewCountsLinesFromTheTop) {
    TBitmap b, back;
    MakeCoordPicture(b, 5, 3, ToTag);
    const TConstPixelView view = b.Pixels();
    EXPECT_EQ(view.Row(2), b.Bits());
    EXPECT_EQ((Px{view.At(4, 0)[0], view.At(4, 0)[1], view.At(4, 0)[2]}), Coord(4, 0, ToTag));

    std::vector<std::uint8_t> packed(5 * 3 * 3);  // top-down rows without padding
    const TPixelView topDown{packed.data(), 5 * 3, 5, 3};
    CopyPixels(topDown, view);
    EXPECT_EQ((Px{packed[15 + 3], packed[15 + 4], packed[15 + 5]}), Coord(1, 1, ToTag));
    back.SetSize(5, 3);
    CopyPixels(back.Pixels(), topDown);
    EXPECT_TRUE(FrameEquals(back, 5, 3, [](int x, int y) { return Coord(x, y, ToTag); }));
}

TEST(Bitmap, ReadsPalettedTopDownAndThirtyTwoBitFilesAndPackedDibs) {
    // 8-bit, 2 x 2, top-down, two palette entries.
    std::string f8(14 + 40 + 8 + 8, '\0');
    f8[0] = 'B';
    f8[1] = 'M';
    Put32(f8, 10, 14 + 40 + 8);
    Put32(f8, 14, 40);
    Put32(f8, 18, 2);
    Put32(f8, 22, std::uint32_t(-2));
    f8[26] = 1;
    f8[28] = 8;
    Put32(f8, 46, 2);
    Put32(f8, 54, 0x00112233);  // B 33 G 22 R 11
    Put32(f8, 58, 0x00AABBCC);
    f8[62] = 0;
    f8[63] = 1;  // top row: entry 0, entry 1
    f8[66] = 1;
    f8[67] = 1;
    TBitmap b;
    std::istringstream in(f8);
    b.LoadFromStream(in);
    EXPECT_EQ(PixelOf(b, 0, 0), (Px{0x33, 0x22, 0x11}));
    EXPECT_EQ(PixelOf(b, 1, 0), (Px{0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(PixelOf(b, 0, 1), (Px{0xCC, 0xBB, 0xAA}));

    // The same picture as a packed DIB (a bitmap resource): no file header, the pixels
    // right after the colour table.
    TBitmap dib;
    dib.LoadDibFromMemory(f8.data() + 14, f8.size() - 14);
    EXPECT_EQ(PixelOf(dib, 1, 0), (Px{0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(PixelOf(dib, 0, 1), (Px{0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(PixelOf(dib, 0, 0), (Px{0x33, 0x22, 0x11}));
    EXPECT_THROW(dib.LoadDibFromMemory(f8.data() + 14, f8.size() - 15), EInvalidGraphic);
    EXPECT_THROW(dib.LoadDibFromMemory(f8.data(), f8.size()), EInvalidGraphic);  // a file is not a DIB

    std::string f32(14 + 40 + 4, '\0');
    f32[0] = 'B';
    f32[1] = 'M';
    Put32(f32, 10, 54);
    Put32(f32, 14, 40);
    Put32(f32, 18, 1);
    Put32(f32, 22, 1);
    f32[26] = 1;
    f32[28] = 32;
    Put32(f32, 54, 0xFF010203);
    std::istringstream in32(f32);
    b.LoadFromStream(in32);
    EXPECT_EQ(PixelOf(b, 0, 0), (Px{3, 2, 1}));
}

TEST(Bitmap, MalformedFilesAreRefusedAndLeaveThePictureAlone) {
    TBitmap good;
    MakeCoordPicture(good, 3, 2, FromTag);
    const std::string valid = BmpBytes(good);
    struct Case {
        const char* name;
        std::function<void(std::string&)> spoil;
    } const cases[] = {
        {"empty", [](std::string& s) { s.clear(); }},
        {"no signature", [](std::string& s) { s[0] = 'X'; }},
        {"truncated pixels", [](std::string& s) { s.resize(s.size() - 1); }},
        {"truncated header", [](std::string& s) { s.resize(30); }},
        {"zero width", [](std::string& s) { Put32(s, 18, 0); }},
        {"negative width", [](std::string& s) { Put32(s, 18, std::uint32_t(-3)); }},
        {"zero height", [](std::string& s) { Put32(s, 22, 0); }},
        {"absurd size", [](std::string& s) { Put32(s, 18, 1000000); Put32(s, 22, 1000000); }},
        {"huge but allowed sides, no data", [](std::string& s) { Put32(s, 18, 30000); Put32(s, 22, 30000); }},
        {"bad bit count", [](std::string& s) { s[28] = 7; }},
        {"compressed", [](std::string& s) { Put32(s, 30, 1); }},
        {"pixel offset inside the header", [](std::string& s) { Put32(s, 10, 20); }},
        {"odd header size", [](std::string& s) { Put32(s, 14, 33); }},
        {"two planes", [](std::string& s) { s[26] = 2; }},
    };
    for (const auto& c : cases) {
        std::string bytes = valid;
        c.spoil(bytes);
        TBitmap b;
        MakeCoordPicture(b, 2, 2, ToTag);
        std::istringstream in(bytes);
        EXPECT_THROW(b.LoadFromStream(in), Exception) << c.name;
        EXPECT_TRUE(FrameEquals(b, 2, 2, [](int x, int y) { return Coord(x, y, ToTag); })) << c.name;
    }
    TBitmap b;
    EXPECT_THROW(b.LoadFromFile("/nonexistent/picture.bmp"), EInvalidGraphic);
    // A header of the largest allowed picture with no rows is refused for the missing
    // rows before the picture's memory (nearly 1 GiB) is taken.
    std::string header = valid;
    Put32(header, 18, 32768);
    Put32(header, 22, 10000);
    for (const bool dib : {false, true}) {
        EXPECT_THROW(dib ? b.LoadDibFromMemory(header.data() + 14, header.size() - 14)
                         : b.LoadFromMemory(header.data(), header.size()),
                     EInvalidGraphic);
    }
}

TEST(Strings, TextRoundTrip) {
    TStrings s;
    s.SetText("one\r\ntwo\nthree\rfour");
    ASSERT_EQ(s.Count(), 4);
    EXPECT_EQ(s[3], "four");
    EXPECT_EQ(s.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
}

TEST(Colors, NamesAndSystemColours) {
    TColor c = 0;
    EXPECT_TRUE(IdentToColor("clBtnFace", c));
    EXPECT_EQ(c, 0x8000000Fu);
    EXPECT_TRUE(IdentToColor("CLRED", c));
    EXPECT_EQ(c, 0x0000FFu);
    EXPECT_FALSE(IdentToColor("clNothing", c));
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
    EXPECT_EQ(ColorToRGB(clBtnFace) & SystemColorFlag, 0u);
}

// Every change the toolkit knows of, and every handing out of writable pixels, raises the
// change count; reading does not.
TEST(Bitmap, ChangeCountRisesAtEveryWriteAndWritableAccess) {
    TBitmap b, other;
    b.SetSize(4, 3);
    other.SetSize(2, 2);
    const TBitmap& ro = b;
    const struct {
        const char* what;
        std::function<void()> act;
    } writes[] = {
        {"SetSize", [&] { b.SetSize(5, 3); }},
        {"Assign", [&] { b.Assign(other); }},
        {"Assign itself", [&] { b.Assign(b); }},
        {"Pixels", [&] { (void)b.Pixels(); }},
        {"ScanLine", [&] { (void)b.ScanLine(0); }},
        {"Bits", [&] { (void)b.Bits(); }},
        {"NoteChange", [&] { b.NoteChange(); }},
        {"Changed", [&] { b.Changed(); }},
        {"FillRect", [&] { b.Canvas().FillRect(Rect(0, 0, 1, 1)); }},
        {"Rectangle", [&] { b.Canvas().Rectangle(0, 0, 2, 2); }},
        {"SetPixel", [&] { b.Canvas().SetPixel(0, 0, clRed); }},
        {"CopyRect", [&] { b.Canvas().CopyRect(Rect(0, 0, 1, 1), other.Canvas(), Rect(0, 0, 1, 1)); }},
        {"Draw", [&] { b.Canvas().Draw(0, 0, other); }},
        {"LoadFromStream", [&] {
             std::stringstream s;
             other.SaveToStream(s);
             b.LoadFromStream(s);
         }},
        {"emptied", [&] { b.SetSize(0, 0); }},
        {"sized again", [&] { b.SetSize(3, 3); }},
    };
    for (const auto& w : writes) {
        const std::uint64_t before = b.ChangeCount();
        w.act();
        EXPECT_GT(b.ChangeCount(), before) << w.what;
    }
    const std::uint64_t before = b.ChangeCount();
    (void)ro.Pixels();
    (void)ro.ScanLine(0);
    (void)ro.Bits();
    (void)b.Canvas().Pixel(0, 0);
    std::ostringstream out;
    b.SaveToStream(out);
    other.Canvas().CopyRect(Rect(0, 0, 1, 1), b.Canvas(), Rect(0, 0, 1, 1));
    EXPECT_EQ(b.ChangeCount(), before) << "reading is no change";
}
