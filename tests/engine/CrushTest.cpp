// Crush frames checked pixel by pixel against a model of two halves of ToBitmap sliding
// over FromBitmap.
#include "engine/EffectScene.h"

using namespace EffectScene;

namespace {

// Forward frame d (already clamped) at (x, y).
Px ModelCrush(const Scene& s, Mod m, std::int64_t d, int x, int y) {
    const bool horizontal = m == Mod::tmLeft || m == Mod::tmRight;
    const std::int64_t t = horizontal ? x : y;
    const std::int64_t half = horizontal ? std::min(s.S.W, s.S.ToW) / 2 : std::min(s.S.H, s.S.ToH) / 2;
    std::optional<std::int64_t> src;  // position along the travel in ToBitmap
    if (m == Mod::tmLeft || m == Mod::tmUp) {
        if (t >= half - d && t < half) src = t - half + d;            // left edge of ToBitmap, moving out
        if (t >= half && t < half + d) src = t + half - d;            // right edge of ToBitmap
    } else {
        if (t < d) src = t + half - d;                                 // the middle, entering at the left
        if (t >= 2 * half - d && t < 2 * half) src = t - half + d;     // and at the right
    }
    if (src)
        if (auto p = PictureAt(s.To, horizontal ? *src : x, horizontal ? y : *src)) return *p;
    return Scene::Base(s.From, x, y);
}

int HalfExtent(const Sizes& z, Mod m) {
    return (m == Mod::tmLeft || m == Mod::tmRight) ? std::min(z.W, z.ToW) / 2 : std::min(z.H, z.ToH) / 2;
}

const Sizes CrushSizes[] = {
    Square(11, 9),            // odd extents: the last column or row is never covered
    {11, 9, 11, 9, 8, 6},     // a smaller ToBitmap: the halves part about its centre
    {10, 8, 13, 11, 13, 11},  // pictures larger than the control
};

}  // namespace

TEST(Crush, EveryForwardFrameMatchesTheModel) {
    for (const Sizes& size : CrushSizes)
        for (Mod m : AllModifiers) {
            const int half = HalfExtent(size, m);
            for (int d = -1; d <= half + 2; ++d) {
                Scene s(size);
                s.P.Modifier = m;
                const bool finished = s.Draw(CrushEffect, d);
                SCOPED_TRACE(::testing::Message() << "size " << size.W << "x" << size.H << " modifier " << int(m)
                                                  << " frame " << d);
                EXPECT_EQ(finished, d >= half);
                EXPECT_TRUE(s.Shows([&](int x, int y) { return ModelCrush(s, m, std::min(d, half), x, y); }));
            }
        }
}

TEST(Crush, ReverseFrameIsTheForwardFrameFromTheOtherEnd) {
    for (const Sizes& size : CrushSizes)
        for (Mod m : AllModifiers) {
            const int half = HalfExtent(size, m);
            for (int d = 0; d <= half + 1; ++d) {
                Scene forward(size), reverse(size);
                forward.P.Modifier = reverse.P.Modifier = m;
                forward.P.Reverse = reverse.P.Reverse = true;  // not read by the routines
                forward.Draw(CrushEffect, half - std::min(d, half));
                EXPECT_EQ(reverse.Draw(CrushReverseEffect, d), d >= half);
                EXPECT_TRUE(reverse.SameFrame(forward.Work))
                    << "size " << size.W << "x" << size.H << " modifier " << int(m) << " frame " << d;
            }
        }
}

TEST(Crush, RunOnAnOddWidthLeavesTheLastColumn) {
    for (bool reverse : {false, true}) {
        Player player(TTransitionOperation::toCrush, Square(11, 3), Mod::tmRight, reverse);
        const RunLog run = player.PlayToEnd();
        EXPECT_TRUE(run.Ended);
        EXPECT_EQ(run.Frames, Ticks(0, 1, 5));
        EXPECT_TRUE(player.Shows([&](int x, int y) { return Coord(x, y, reverse || x == 10 ? FromTag : ToTag); }));
    }
}
