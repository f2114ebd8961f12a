// Zoom and mosaic frames. Both scale pictures: zoom frames are checked for which part of
// which picture fills which rectangle; mosaic frames, scaled twice, for their picture and
// how many distinct pixels survive the reduction, and pixel for pixel when unscaled.
#include <climits>
#include <set>

#include "engine/Provenance.h"

using namespace EffectScene;
using namespace Provenance;
using Toolkit::Rect;

namespace {

int DistinctPixels(const TBitmap& frame) {
    std::set<int> seen;
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x) {
            const Px p = PixelOf(frame, x, y);
            seen.insert(p.B | p.G << 8 | p.R << 16);
        }
    return int(seen.size());
}

}  // namespace

// The outgoing picture shrinks by the same inset on every side until its shorter side is
// gone, then the incoming picture grows back; the picture is chosen by the frame passed in.
TEST(Zoom, EveryFrameFillsTheInsetRectangle) {
    const int W = 31, H = 15, S = 15, h = 7;
    for (bool reverse : {false, true}) {
        std::vector<int> frames = Ticks(-1, 1, S + 1);
        frames.push_back(INT_MAX);
        for (int f : frames) {
            Scene s(Square(W, H));
            s.P.Reverse = reverse;
            SCOPED_TRACE(::testing::Message() << "reverse " << reverse << " frame " << f);
            EXPECT_EQ(s.Draw(ZoomEffect, f), f >= S);
            const bool outgoing = f <= h;
            const std::uint8_t tag = outgoing != reverse ? FromTag : ToTag;
            const int clamped = std::min(f, S);
            const int inset = clamped <= h ? clamped : S - clamped;
            EXPECT_TRUE(ShowsCopies(s.Work, W, H, {{tag, Rect(0, 0, W, H), Rect(inset, inset, W - inset, H - inset)}}));
        }
    }
}

TEST(Zoom, RectanglesOfA200By100Frame) {
    struct Case {
        int frame;
        std::uint8_t tag;
        int l, t, r, b;
        bool finished;
    } const cases[] = {
        {30, FromTag, 30, 30, 170, 70, false},
        {50, FromTag, 50, 50, 150, 50, false},  // the shorter side has shrunk to nothing
        {80, ToTag, 20, 20, 180, 80, false},
        {99, ToTag, 1, 1, 199, 99, false},
        {100, ToTag, 0, 0, 200, 100, true},
    };
    for (const auto& c : cases) {
        Scene s(Square(200, 100));
        EXPECT_EQ(s.Draw(ZoomEffect, c.frame), c.finished) << "frame " << c.frame;
        EXPECT_TRUE(ShowsCopies(s.Work, 200, 100, {{c.tag, Rect(0, 0, 200, 100), Rect(c.l, c.t, c.r, c.b)}}))
            << "frame " << c.frame;
    }
}

// Each side is cut to a picture's where the control is larger; when both pictures are
// smaller, ToBitmap's side is taken even where FromBitmap's is smaller still.
TEST(Zoom, PicturesSmallerThanTheControl) {
    const Sizes sizes{60, 40, 50, 30, 55, 35};  // zoomed frame 55 x 35: S = 35, h = 17
    Scene s(sizes);
    s.Draw(ZoomEffect, 0);  // FromBitmap's 55 x 35 unscaled: only its own 50 x 30 shows
    EXPECT_TRUE(s.Shows([&](int x, int y) { return x < 55 && y < 35 ? Scene::Base(s.From, x, y) : ColorPx(Fill); }));
    s.Draw(ZoomEffect, 20);
    EXPECT_TRUE(ShowsCopies(s.Work, 60, 40, {{ToTag, Rect(0, 0, 55, 35), Rect(15, 15, 40, 20)}}));
    EXPECT_TRUE(s.Draw(ZoomEffect, 35));
    EXPECT_TRUE(s.Shows([&](int x, int y) { return Scene::Base(s.To, x, y); }));
}

// A frame far before the start enlarges the outgoing picture without overflow.
TEST(Zoom, FrameFarBelowZero) {
    Scene s(Square(31, 15));
    EXPECT_FALSE(s.Draw(ZoomEffect, INT_MIN));
    EXPECT_TRUE(AllTagged(s.Work, FromTag));
}

// Level k reduces the picture to (W shr k) x (H shr k) pixels, k taken modulo 32, and
// enlarges it back over the whole frame; an empty reduction leaves the fill.
TEST(Mosaic, EveryFrameShowsThePictureAtItsLevel) {
    struct Case {
        int delta;
        std::vector<int> frames;
    } const cases[] = {
        {10, Ticks(-1, 1, 21)},
        {2, Ticks(-1, 1, 5)},                // the coarsest level still shows the picture
        {40, {33}},                          // level 33 shifts by 1: almost sharp
        {INT_MAX, {3, INT_MAX - 1, INT_MAX}},  // 2 x Delta beyond the 32-bit range
        {1 << 30, {INT_MAX - 1, INT_MAX}},     // ... reached at the largest frame
    };
    const int W = 40, H = 24;
    for (const auto& c : cases)
        for (bool reverse : {false, true})
            for (int f : c.frames) {
                Scene s(Square(W, H));
                s.P.Delta = c.delta;
                s.P.Reverse = reverse;
                SCOPED_TRACE(::testing::Message() << "delta " << c.delta << " reverse " << reverse << " frame " << f);
                const std::int64_t d = c.delta;
                const bool finished = f >= std::min<std::int64_t>(2 * d, INT_MAX);
                EXPECT_EQ(s.Draw(MosaicEffect, f), finished);

                const std::int64_t clamped = finished ? 2 * d : f;
                const std::uint8_t tag = (clamped <= d) != reverse ? FromTag : ToTag;
                const std::int64_t level = clamped <= d ? clamped : 2 * d - clamped;
                const int shift = int(((level % 32) + 32) % 32);
                const int w = W >> shift, h = H >> shift;
                if (w == 0 || h == 0) {
                    EXPECT_TRUE(s.Shows([](int, int) { return ColorPx(Fill); }));
                    continue;
                }
                EXPECT_TRUE(AllTagged(s.Work, tag));
                EXPECT_EQ(DistinctPixels(s.Work), w * h);
                if (shift == 0) {
                    EXPECT_TRUE(s.Shows([&](int x, int y) { return Coord(x, y, tag); }));
                }
            }
}

TEST(ZoomMosaic, RunsThroughTheComponentEndOnTheIncomingPicture) {
    struct Case {
        TTransitionOperation op;
        int delta, steps;
        std::vector<int> frames;
    } const cases[] = {
        {TTransitionOperation::toZoom, 10, 1, Ticks(0, 1, 15)},  // min(W, H) = 15
        {TTransitionOperation::toMosaic, 4, 1, Ticks(0, 1, 8)},  // 2 x Delta
        {TTransitionOperation::toMosaic, 4, 3, {2, 5, 8}},
        {TTransitionOperation::toMosaic, 4, 5, {4, 9}},
    };
    for (const auto& c : cases)
        for (bool reverse : {false, true}) {
            Player player(c.op, Square(31, 15), Mod::tmLeft, reverse, c.delta, c.steps);
            const auto run = player.PlayToEnd();
            EXPECT_TRUE(run.Ended);
            EXPECT_EQ(run.Frames, c.frames);
            const std::uint8_t tag = reverse ? FromTag : ToTag;
            EXPECT_TRUE(player.Shows([&](int x, int y) { return Coord(x, y, tag); }));
        }
}
