// Fade and blend frames: exact bytes over every input, worked values, sizes and errors.
#include <gtest/gtest.h>

#include <cstring>

#include "support/Fixtures.h"

using namespace Wipekit;
using namespace Fixtures;

namespace {

constexpr TColor Fill = 0x00FF00;

// A picture of one colour.
void MakePlain(TBitmap& bitmap, int width, int height, Px p) {
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* q = bitmap.ScanLine(y) + 3 * x;
            q[0] = p.B;
            q[1] = p.G;
            q[2] = p.R;
        }
}

// The component showing frame f; returns whether the frame reported the end.
bool ShowFrame(TLumawipe& w, int f) {
    bool done = false;
    w.OnDone = [&](Toolkit::TObject*) { done = true; };
    w.SetCurrentFrame(f);
    return done;
}

}  // namespace

// Every colour byte c, picture byte p and frame f against the exact value rounded to the
// nearest integer: c + (c - p)(f - 255)/255 in the first half, p + (p - c)(f - 511)/255 in
// the second. The numerators are integers over 255, so the nearest integer of num / 255
// is floor((2 num + 255) / 510).
TEST(FadeEffect, EveryByteIsTheNearestIntegerOfTheExactValue) {
    Direct d;
    // Pixel x of both pictures has the byte x in all three channels.
    d.From.SetSize(256, 1);
    for (int x = 0; x < 256; ++x) std::memset(d.From.ScanLine(0) + 3 * x, x, 3);
    d.To.Assign(d.From);
    auto exact = [](std::int64_t c, std::int64_t p, std::int64_t f) {
        const std::int64_t num = f <= 255 ? 255 * c + (c - p) * (f - 255) : 255 * p + (p - c) * (f - 511);
        return (2 * num + 255) / 510;
    };
    int bad = 0;
    // Three colour bytes per frame: one per channel, covering 0 to 255 across the colours.
    for (int c0 = 0; c0 < 256; c0 += 3) {
        const int cb = c0, cg = std::min(c0 + 1, 255), cr = std::min(c0 + 2, 255);
        d.P.Color = Toolkit::RGB(std::uint8_t(cr), std::uint8_t(cg), std::uint8_t(cb));
        for (int f = 0; f <= 511; ++f) {
            ASSERT_EQ(d.Frame(FadeEffect, 256, 1, f), f == 511);
            const std::uint8_t* row = d.Work.ScanLine(0);
            for (int p = 0; p < 256; ++p) {
                const std::int64_t want[3] = {exact(cb, p, f), exact(cg, p, f), exact(cr, p, f)};
                for (int k = 0; k < 3; ++k)
                    if (row[3 * p + k] != want[k] && bad++ < 5)
                        ADD_FAILURE() << "c " << (k == 0 ? cb : k == 1 ? cg : cr) << ", p " << p << ", f " << f
                                      << ": got " << int(row[3 * p + k]) << ", want " << want[k];
            }
        }
    }
    EXPECT_EQ(bad, 0);
}

TEST(FadeEffect, WorkedFramesTowardsBlack) {
    TLumawipe w(nullptr);
    w.SetBounds(0, 0, 5, 3);
    TBitmap from, to;
    MakePlain(from, 5, 3, Px{200, 200, 200});
    MakePlain(to, 5, 3, Px{10, 60, 250});
    w.SetFromBitmap(from);
    w.SetToBitmap(to);
    w.SetOperation(TTransitionOperation::toFade);
    w.SetColor(Toolkit::clBlack);
    struct Case {
        int f;
        Px want;
        bool last;
    } const cases[] = {
        {0, {200, 200, 200}, false}, {128, {100, 100, 100}, false}, {255, {0, 0, 0}, false},
        {256, {0, 0, 0}, false},     {384, {5, 30, 125}, false},    {510, {10, 60, 249}, false},
        {511, {10, 60, 250}, true},  {9999, {10, 60, 250}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShowFrame(w, c.f), c.last) << "frame " << c.f;
        EXPECT_TRUE(FrameEquals(w.WorkBitmap(), 5, 3, [&](int, int) { return c.want; })) << "frame " << c.f;
    }
}

TEST(FadeEffect, SystemColourFadesToItsRGBValue) {
    Direct d;
    MakeCoordPicture(d.From, 4, 2, FromTag);
    MakeCoordPicture(d.To, 4, 2, ToTag);
    d.P.Color = Toolkit::clBtnFace;
    for (const int f : {255, 256}) {
        d.Frame(FadeEffect, 4, 2, f);
        EXPECT_TRUE(FrameEquals(d.Work, 4, 2, [](int, int) { return ColorPx(Toolkit::clBtnFace); })) << "frame " << f;
    }
}

// Each half shows its own picture at that picture's size; Reverse swaps the pictures.
TEST(FadeEffect, HalvesShowTheirPictureAtItsSize) {
    Direct d;
    MakeCoordPicture(d.From, 6, 4, FromTag);
    MakeCoordPicture(d.To, 3, 5, ToTag);
    struct Case {
        bool reverse;
        int f;
        const TBitmap* shows;
    } const cases[] = {
        {false, 0, &d.From}, {false, 511, &d.To}, {true, 0, &d.To}, {true, 511, &d.From},
    };
    for (const auto& c : cases) {
        d.P.Reverse = c.reverse;
        d.Frame(FadeEffect, 8, 8, c.f);
        EXPECT_TRUE(FrameEquals(d.Work, c.shows->Width(), c.shows->Height(),
                                [&](int x, int y) { return PixelOf(*c.shows, x, y); }))
            << "reverse " << c.reverse << ", frame " << c.f;
    }
}

// A render between Play and the first tick has frame -1: the outgoing picture as it is.
TEST(FadeEffect, FrameBeforeTheFirstShowsTheOutgoingPicture) {
    Direct d;
    MakeCoordPicture(d.From, 4, 3, FromTag);
    MakeCoordPicture(d.To, 4, 3, ToTag);
    d.P.Color = Toolkit::clWhite;
    for (const int f : {-1, INT32_MIN}) {
        EXPECT_FALSE(d.Frame(FadeEffect, 4, 3, f));
        EXPECT_TRUE(FrameEquals(d.Work, 4, 3, [&](int x, int y) { return PixelOf(d.From, x, y); })) << "frame " << f;
    }
}

TEST(FadeEffect, EmptyPictureOfTheCurrentHalfRaisesAndLeavesTheFill) {
    TLumawipe w(nullptr);
    w.SetBounds(0, 0, 6, 4);
    TBitmap from;
    MakeCoordPicture(from, 6, 4, FromTag);
    w.SetFromBitmap(from);
    w.SetOperation(TTransitionOperation::toFade);
    w.SetColor(Fill);
    EXPECT_NO_THROW(w.SetCurrentFrame(100));
    try {
        w.SetCurrentFrame(300);
        FAIL() << "no exception";
    } catch (const ELumawipeBitmapConvert& e) {
        EXPECT_STREQ(e.what(), "Unable to get bitmap.");
    }
    EXPECT_TRUE(FrameEquals(w.WorkBitmap(), 6, 4, [](int, int) { return ColorPx(Fill); }));
}

// Every a, b and f against (a (255 - f) + b f) div 255, and mirrored under Reverse.
TEST(BlendEffect, EveryByteIsTheTruncatedMix) {
    Direct d;
    // From's pixel (x, y) holds x in all channels, To's holds y.
    d.From.SetSize(256, 256);
    d.To.SetSize(256, 256);
    for (int y = 0; y < 256; ++y) {
        std::uint8_t* a = d.From.ScanLine(y);
        std::uint8_t* b = d.To.ScanLine(y);
        for (int x = 0; x < 256; ++x) {
            std::memset(a + 3 * x, x, 3);
            std::memset(b + 3 * x, y, 3);
        }
    }
    int bad = 0;
    for (const bool reverse : {false, true}) {
        d.P.Reverse = reverse;
        for (int f = 0; f <= 255; ++f) {
            ASSERT_EQ(d.Frame(BlendEffect, 256, 256, f), f == 255);
            for (int y = 0; y < 256; ++y) {
                const std::uint8_t* row = d.Work.ScanLine(y);
                for (int x = 0; x < 256; ++x) {
                    const int a = x, b = y;
                    const int want = reverse ? (b * (255 - f) + a * f) / 255 : (a * (255 - f) + b * f) / 255;
                    for (int k = 0; k < 3; ++k)
                        if (row[3 * x + k] != want && bad++ < 5)
                            ADD_FAILURE() << "a " << a << ", b " << b << ", f " << f << ", reverse " << reverse
                                          << ": got " << int(row[3 * x + k]) << ", want " << want;
                }
            }
        }
    }
    EXPECT_EQ(bad, 0);
}

TEST(BlendEffect, WorkedFrames) {
    struct Case {
        std::uint8_t a, b;
        int f;
        bool reverse;
        std::uint8_t want;
        bool last;
    } const cases[] = {
        {0, 255, 128, false, 128, false}, {255, 0, 128, false, 127, false}, {0, 255, 128, true, 127, false},
        {90, 30, 0, false, 90, false},    {90, 30, 0, true, 30, false},     {90, 30, 255, false, 30, true},
        {90, 30, 700, true, 90, true},    {90, 30, -1, false, 90, false},
    };
    for (const auto& c : cases) {
        Direct d;
        MakePlain(d.From, 3, 2, Px{c.a, c.a, c.a});
        MakePlain(d.To, 3, 2, Px{c.b, c.b, c.b});
        d.P.Reverse = c.reverse;
        EXPECT_EQ(d.Frame(BlendEffect, 3, 2, c.f), c.last) << "frame " << c.f;
        EXPECT_TRUE(FrameEquals(d.Work, 3, 2, [&](int, int) { return Px{c.want, c.want, c.want}; }))
            << "a " << int(c.a) << ", b " << int(c.b) << ", frame " << c.f << ", reverse " << c.reverse;
    }
}

TEST(BlendEffect, UnequalPicturesRaiseOnEveryFrameAndLeaveTheFill) {
    struct Case {
        int toWidth, toHeight;
    } const cases[] = {{100, 81}, {101, 80}, {0, 0}};
    for (const auto& c : cases) {
        TLumawipe w(nullptr);
        w.SetBounds(0, 0, 100, 80);
        TBitmap from, to;
        MakeCoordPicture(from, 100, 80, FromTag);
        w.SetFromBitmap(from);
        if (c.toWidth) {
            MakeCoordPicture(to, c.toWidth, c.toHeight, ToTag);
            w.SetToBitmap(to);
        }
        w.SetColor(Fill);
        w.SetOperation(TTransitionOperation::toBlend);
        w.Play();
        for (int tick = 0; tick < 2; ++tick) {
            try {
                w.AdvanceFrame(nullptr);
                ADD_FAILURE() << "no exception, To " << c.toWidth << " x " << c.toHeight;
            } catch (const ELumawipeBitmapSize& e) {
                EXPECT_STREQ(e.what(), "Bitmaps are unequal in size.");
            }
            EXPECT_TRUE(FrameEquals(w.WorkBitmap(), 100, 80, [](int, int) { return ColorPx(Fill); }));
        }
        EXPECT_TRUE(w.Active());
    }
}
