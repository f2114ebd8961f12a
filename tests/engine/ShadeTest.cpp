// Shade frames checked pixel by pixel against the band table of the two shade effects:
// a plain copy of the half's base picture with one band exclusive-or'ed over it.
#include <climits>

#include "engine/EffectScene.h"

using namespace EffectScene;
using Toolkit::Rect;
using Toolkit::TRect;

namespace {

bool Horizontal(Mod m) { return m == Mod::tmLeft || m == Mod::tmRight; }

struct Band {
    TRect Src;
    TRect Dst;
};

// The overlay band of frame f (0 <= f <= 2L), row by row as the table gives it; h and w
// are the height and width the incoming picture allows.
Band ShadeBand(Mod m, bool continued, int f, int W, int H, int h, int w) {
    const bool first = f <= (Horizontal(m) ? W : H);
    switch (m) {
        case Mod::tmLeft:
            if (first) return {Rect(0, 0, f, h), Rect(W - f, 0, W, h)};
            if (!continued) return {Rect(0, 0, 2 * W - f, h), Rect(f - W, 0, W, h)};
            return {Rect(f - W, 0, W, h), Rect(0, 0, 2 * W - f, h)};
        case Mod::tmRight:
            if (first) return {Rect(W - f, 0, W, h), Rect(0, 0, f, h)};
            if (!continued) return {Rect(f - W, 0, W, h), Rect(0, 0, 2 * W - f, h)};
            return {Rect(0, 0, 2 * W - f, h), Rect(f - W, 0, W, h)};
        case Mod::tmUp:
            if (first) return {Rect(0, 0, w, f), Rect(0, H - f, w, H)};
            if (!continued) return {Rect(0, 0, w, 2 * H - f), Rect(0, f - H, w, H)};
            return {Rect(0, f - H, w, H), Rect(0, 0, w, 2 * H - f)};
        case Mod::tmDown:
            if (first) return {Rect(0, H - f, w, H), Rect(0, 0, w, f)};
            if (!continued) return {Rect(0, f - H, w, H), Rect(0, 0, w, 2 * H - f)};
            return {Rect(0, 0, w, 2 * H - f), Rect(0, f - H, w, H)};
    }
    return {};
}

Px Xor(Px a, Px b) { return Px{std::uint8_t(a.B ^ b.B), std::uint8_t(a.G ^ b.G), std::uint8_t(a.R ^ b.R)}; }

bool Inside(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

}  // namespace

TEST(Shade, EveryFrameMatchesTheBandTable) {
    struct Case {
        Sizes sizes;
    } const cases[] = {
        {Square(7, 5)},
        {{7, 5, 7, 5, 6, 4}},  // a smaller ToBitmap cuts the overlay (forward) to its extent
        {{6, 4, 9, 7, 9, 7}},  // pictures larger than the control
    };
    for (const auto& c : cases)
        for (bool continued : {false, true})
            for (Mod m : AllModifiers)
                for (bool reverse : {false, true}) {
                    const int W = c.sizes.W, H = c.sizes.H;
                    const int L = Horizontal(m) ? W : H;
                    std::vector<int> frames = Ticks(-1, 1, 2 * L + 1);
                    frames.push_back(INT_MAX);
                    for (int frame : frames) {
                        Scene s(c.sizes);
                        s.P.Modifier = m;
                        s.P.Reverse = reverse;
                        s.P.Delta = 3;  // not used
                        const bool finished = s.Draw(continued ? ShadeContinueEffect : ShadeEffect, frame);
                        SCOPED_TRACE(::testing::Message() << "size " << W << "x" << H << " continued " << continued
                                                          << " modifier " << int(m) << " reverse " << reverse
                                                          << " frame " << frame);
                        EXPECT_EQ(finished, frame > 2 * L);

                        const TBitmap& A = reverse ? s.From : s.To;
                        const TBitmap& B = reverse ? s.To : s.From;
                        const int f = std::clamp(frame, 0, 2 * L);
                        const bool first = f <= L;
                        const TBitmap& base = first ? B : A;
                        const TBitmap& overlay = first ? A : B;
                        const Band band =
                            ShadeBand(m, continued, f, W, H, std::min(H, A.Height()), std::min(W, A.Width()));
                        EXPECT_TRUE(s.Shows([&](int x, int y) {
                            const Px under = Scene::Base(base, x, y);
                            if (!Inside(band.Dst, x, y)) return under;
                            const auto over = PictureAt(overlay, x - band.Dst.Left + band.Src.Left,
                                                        y - band.Dst.Top + band.Src.Top);
                            return over ? Xor(under, *over) : under;
                        }));
                    }
                }
}

// The midpoint overlays the whole incoming picture on the outgoing one, and the last
// frame, reported one past 2L, shows the incoming picture alone.
TEST(Shade, MidpointAndEnd) {
    for (TEffectProc proc : {ShadeEffect, ShadeContinueEffect}) {
        Scene s(Square(7, 5));
        s.P.Modifier = Mod::tmLeft;
        EXPECT_FALSE(s.Draw(proc, 7));
        EXPECT_TRUE(s.Shows([](int x, int y) { return Xor(Coord(x, y, FromTag), Coord(x, y, ToTag)); }));
        EXPECT_FALSE(s.Draw(proc, 14));
        EXPECT_TRUE(s.Shows([](int x, int y) { return Coord(x, y, ToTag); }));
        EXPECT_TRUE(s.Draw(proc, 15));
        EXPECT_TRUE(s.Shows([](int x, int y) { return Coord(x, y, ToTag); }));
    }
}

TEST(Shade, RunThroughTheComponent) {
    struct Case {
        TTransitionOperation op;
        Mod m;
        bool reverse;
        int lastFrame;
    } const cases[] = {
        {TTransitionOperation::toShade, Mod::tmLeft, false, 15},  // 2 x width + 1
        {TTransitionOperation::toShade, Mod::tmUp, true, 11},     // 2 x height + 1
        {TTransitionOperation::toShadeContinue, Mod::tmDown, false, 11},
        {TTransitionOperation::toShadeContinue, Mod::tmRight, true, 15},
    };
    for (const auto& c : cases) {
        Player player(c.op, Square(7, 5), c.m, c.reverse);
        const auto run = player.PlayToEnd();
        EXPECT_TRUE(run.Ended);
        EXPECT_EQ(run.Frames, Ticks(0, 1, c.lastFrame));
        const std::uint8_t tag = c.reverse ? FromTag : ToTag;
        EXPECT_TRUE(player.Shows([&](int x, int y) { return Coord(x, y, tag); }));
    }
}
