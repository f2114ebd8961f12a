// Bitmap handles: handing out the DIB section, adopting foreign handles of every
// readable format, refusing what is no bitmap, and GDI and canvas drawing agreeing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/Fixtures.h"
#include "win32/WinFixtures.h"

using namespace Toolkit;
using namespace Fixtures;

namespace {

constexpr int W = 7, H = 5;

// Writes a coordinate picture into handle through SetDIBits (24-bit rows).
void FillHandle(HBITMAP handle) {
    if (!handle) return;
    TBitmap picture;
    MakeCoordPicture(picture, W, H, FromTag);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), W, H, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_EQ(SetDIBits(dc, handle, 0, H, picture.Bits(), &info, DIB_RGB_COLORS), H);
    DeleteDC(dc);
}

// A DIB section holding the coordinate picture, written straight into its memory.
HBITMAP DibSection(int bits, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), W, height, 1, WORD(bits), BI_RGB, 0, 0, 0, 0, 0};
    void* pixels = nullptr;
    HBITMAP handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    const std::size_t stride = ((std::size_t(W) * std::size_t(bits) + 31) / 32) * 4;
    for (int y = 0; y < H; ++y) {
        auto* row = static_cast<std::uint8_t*>(pixels) + stride * std::size_t(height > 0 ? H - 1 - y : y);
        for (int x = 0; x < W; ++x) {
            const Px p = Coord(x, y, FromTag);
            std::uint8_t* px = row + std::size_t(x) * std::size_t(bits / 8);
            px[0] = p.B;
            px[1] = p.G;
            px[2] = p.R;
        }
    }
    return handle;
}

HBITMAP ScreenCompatible() {
    HDC screen = GetDC(nullptr);
    HBITMAP handle = CreateCompatibleBitmap(screen, W, H);
    ReleaseDC(nullptr, screen);
    FillHandle(handle);
    return handle;
}

TEST(BitmapHandle, OwnPictureHandsOutTheDibSectionHoldingItsRows) {
    TBitmap bitmap;
    EXPECT_EQ(BitmapHandle(bitmap), nullptr);
    MakeCoordPicture(bitmap, W, H, ToTag);
    HBITMAP handle = BitmapHandle(bitmap);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(BitmapHandle(bitmap), handle);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(handle, sizeof section, &section), int(sizeof section));
    EXPECT_EQ(section.dsBmih.biBitCount, 24);
    EXPECT_GT(section.dsBmih.biHeight, 0);
    EXPECT_EQ(section.dsBm.bmBits, bitmap.Bits());
}

// Each format is adopted as it is: the same handle reads back, the picture shows its
// pixels, and the change notification runs.
TEST(BitmapHandle, AdoptsEveryReadableFormat) {
    struct Case {
        const char* what;
        HBITMAP (*make)();
        bool inPlace;  // used without a copy of its rows
    } const cases[] = {
        {"24-bit bottom-up DIB section", [] { return DibSection(24, H); }, true},
        {"24-bit top-down DIB section", [] { return DibSection(24, -H); }, false},
        {"32-bit DIB section", [] { return DibSection(32, H); }, false},
        {"screen-compatible bitmap", ScreenCompatible, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HBITMAP handle = c.make();
        ASSERT_NE(handle, nullptr);
        TBitmap bitmap;
        int changes = 0;
        bitmap.OnChange = [&](TBitmap&) { ++changes; };
        SetBitmapHandle(bitmap, handle);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(BitmapHandle(bitmap), handle);
        EXPECT_TRUE(FrameEquals(bitmap, W, H, [](int x, int y) { return Coord(x, y, FromTag); }));
        if (c.inPlace) {
            DIBSECTION section{};
            GetObjectW(handle, sizeof section, &section);
            EXPECT_EQ(section.dsBm.bmBits, bitmap.Bits());
        }
    }
}

TEST(BitmapHandle, MonochromeBitmapReadsAsBlackAndWhite) {
    const BYTE rows[H][2] = {{0xAA, 0}, {0x55, 0}, {0xAA, 0}, {0x55, 0}, {0xF0, 0}};  // rows padded to 16 bits
    HBITMAP handle = CreateBitmap(W, H, 1, 1, rows);
    TBitmap bitmap;
    SetBitmapHandle(bitmap, handle);
    EXPECT_EQ(BitmapHandle(bitmap), handle);
    EXPECT_TRUE(FrameEquals(bitmap, W, H, [&](int x, int y) {
        const bool set = (rows[y][0] >> (7 - x)) & 1;  // the high bit is the leftmost pixel
        return set ? Px{255, 255, 255} : Px{0, 0, 0};
    }));
}

TEST(BitmapHandle, AdoptedHandleIsOwnedAndReleased) {
    const long before = GdiObjectCount();
    HBITMAP first = DibSection(32, H);
    HBITMAP second = DibSection(24, H);
    {
        TBitmap bitmap;
        SetBitmapHandle(bitmap, first);
        EXPECT_EQ(GdiObjectCount(), before + 1);
        SetBitmapHandle(bitmap, second);  // the first one is the bitmap's to delete
        EXPECT_EQ(GetObjectType(first), 0u);
        SetBitmapHandle(bitmap, second);  // the same handle again changes nothing
        EXPECT_EQ(GetObjectType(second), DWORD(OBJ_BITMAP));
        EXPECT_EQ(GdiObjectCount(), before + 1);
    }
    EXPECT_EQ(GetObjectType(second), 0u);
    EXPECT_EQ(GdiObjectCount(), before);
}

// A handle another bitmap of the process holds is copied, never adopted: each handle has
// one owner, whichever bitmap goes first, and whether the value comes back as it was
// handed out or sign-extended from the 32 bits it crosses automation in.
TEST(BitmapHandle, AHandleAnotherBitmapHoldsIsCopiedNeverAdopted) {
    const auto coord = [](int x, int y) { return Coord(x, y, FromTag); };
    struct Case {
        const char* Name;
        HBITMAP (*Make)(TBitmap& holder);  // gives holder a picture, returns its handle
    };
    const Case cases[] = {
        {"own DIB section", [](TBitmap& b) { MakeCoordPicture(b, W, H, FromTag); return BitmapHandle(b); }},
        {"adopted DIB section", [](TBitmap& b) { SetBitmapHandle(b, DibSection(24, H)); return BitmapHandle(b); }},
        {"adopted foreign bitmap", [](TBitmap& b) { SetBitmapHandle(b, ScreenCompatible()); return BitmapHandle(b); }},
    };
    for (const Case& c : cases) {
        for (const bool holderFirst : {true, false}) {
            SCOPED_TRACE(std::string(c.Name) + (holderFirst ? ", holder freed first" : ", copy freed first"));
            const long before = GdiObjectCount();
            auto holder = std::make_unique<TBitmap>();
            auto taker = std::make_unique<TBitmap>();
            const HBITMAP held = c.Make(*holder);
            const auto widened = reinterpret_cast<HBITMAP>(
                std::intptr_t(std::int32_t(std::uint32_t(reinterpret_cast<std::uintptr_t>(held)))));
            for (HBITMAP value : {held, widened}) {
                SetBitmapHandle(*taker, value);
                EXPECT_NE(BitmapHandle(*taker), held);
                EXPECT_TRUE(FrameEquals(*taker, W, H, coord));
            }
            EXPECT_EQ(GdiObjectCount(), before + 2) << "one handle each";
            const HBITMAP copy = BitmapHandle(*taker);
            (holderFirst ? holder : taker).reset();
            EXPECT_EQ(GetObjectType(holderFirst ? copy : held), DWORD(OBJ_BITMAP)) << "the survivor's handle lives";
            EXPECT_TRUE(FrameEquals(holderFirst ? *taker : *holder, W, H, coord));
            (holderFirst ? taker : holder).reset();
            EXPECT_EQ(GetObjectType(held), 0u);
            EXPECT_EQ(GetObjectType(copy), 0u);
            EXPECT_EQ(GdiObjectCount(), before);
        }
    }
}

TEST(BitmapHandle, ZeroEmptiesAndWhatIsNoBitmapIsRefused) {
    TBitmap bitmap;
    MakeCoordPicture(bitmap, W, H, ToTag);
    HBITMAP own = BitmapHandle(bitmap);

    HBRUSH brush = CreateSolidBrush(0);
    HBITMAP deleted = DibSection(24, H);
    DeleteObject(deleted);
    const HBITMAP invalid[] = {reinterpret_cast<HBITMAP>(brush), deleted, reinterpret_cast<HBITMAP>(INT_PTR(0x7FF0))};
    for (HBITMAP handle : invalid) {
        EXPECT_THROW(SetBitmapHandle(bitmap, handle), EInvalidGraphic);
        EXPECT_EQ(BitmapHandle(bitmap), own);
        EXPECT_TRUE(FrameEquals(bitmap, W, H, [](int x, int y) { return Coord(x, y, ToTag); }));
    }
    EXPECT_EQ(GetObjectType(brush), DWORD(OBJ_BRUSH));  // refused handles stay the caller's
    DeleteObject(brush);

    const long before = GdiObjectCount();
    SetBitmapHandle(bitmap, nullptr);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(BitmapHandle(bitmap), nullptr);
    EXPECT_EQ(GdiObjectCount(), before - 1);
}

// GDI's drawing is queued; what it drew must be in the rows when the canvas reads them,
// and what the canvas drew must be what GDI reads.
TEST(BitmapHandle, GdiAndCanvasSeeEachOthersPixels) {
    TBitmap bitmap;
    bitmap.SetSize(20, 10);
    int changes = 0;
    bitmap.OnChange = [&](TBitmap&) { ++changes; };
    {
        TBitmapDC dc(bitmap);
        const RECT r{2, 2, 8, 7};
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc.Handle(), &r, red);
        DeleteObject(red);
        DrawFocusRect(dc.Handle(), &r);
    }
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(PixelOf(bitmap, 4, 4), (Px{0, 0, 255}));  // inside the red fill, off the dots
    int dots = 0;                                        // the focus rectangle's top edge
    for (int x = 2; x < 8; ++x) dots += PixelOf(bitmap, x, 2) != Px{0, 0, 255};
    EXPECT_GE(dots, 2);
    EXPECT_EQ(PixelOf(bitmap, 10, 8), (Px{0, 0, 0}));

    bitmap.Canvas().SetPixel(12, 7, clLime);
    TBitmapDC dc(bitmap);
    EXPECT_EQ(GetPixel(dc.Handle(), 12, 7), RGB(0, 255, 0));
}

TEST(BitmapHandle, GdiDrawingOnAForeignPictureIsReadBack) {
    HBITMAP handle = ScreenCompatible();
    FillHandle(handle);
    TBitmap bitmap;
    SetBitmapHandle(bitmap, handle);
    {
        TBitmapDC dc(bitmap);
        SetPixel(dc.Handle(), 1, 1, RGB(1, 2, 3));
    }
    EXPECT_EQ(PixelOf(bitmap, 1, 1), (Px{3, 2, 1}));
    EXPECT_EQ(PixelOf(bitmap, 2, 1), Coord(2, 1, FromTag));
}

}  // namespace

// Handing out the handle or a device context counts as a change: GDI may draw on it. A
// handle handed out, or adopted from the caller, stays known outside: the bitmap is shared
// (its changes can no longer all be counted); a device context ends with the drawing, and a
// copy of another bitmap's handle is the bitmap's own.
TEST(BitmapHandles, HandingOutTheHandleOrADeviceContextIsAChange) {
    TBitmap b;
    b.SetSize(W, H);
    std::uint64_t before = b.ChangeCount();
    {
        TBitmapDC dc(b);
    }
    EXPECT_GT(b.ChangeCount(), before);
    EXPECT_FALSE(b.Shared());
    before = b.ChangeCount();
    ASSERT_NE(BitmapHandle(b), nullptr);
    EXPECT_GT(b.ChangeCount(), before);
    EXPECT_TRUE(b.Shared());

    TBitmap copy;
    SetBitmapHandle(copy, BitmapHandle(b));
    EXPECT_FALSE(copy.Shared());
    TBitmap adopted;
    SetBitmapHandle(adopted, CreateBitmap(W, H, 1, 32, nullptr));
    EXPECT_TRUE(adopted.Shared());
    adopted.SetSize(W + 1, H);  // a store of its own again
    EXPECT_FALSE(adopted.Shared());
}
