// Mono reveal and reveal frames checked pixel by pixel against a model of boundaries
// uncovering ToBitmap in place.
#include "engine/EffectScene.h"

using namespace EffectScene;

namespace {

bool Horizontal(Mod m) { return m == Mod::tmLeft || m == Mod::tmRight; }

int Extent(const Sizes& z, Mod m) { return Horizontal(m) ? std::min(z.W, z.ToW) : std::min(z.H, z.ToH); }

// Whether forward frame d (already clamped) has uncovered (x, y).
bool MonoUncovered(const Sizes& z, Mod m, int d, int x, int y) {
    const int L = Extent(z, m);
    switch (m) {
        case Mod::tmLeft: return x >= L - d && x < L;
        case Mod::tmRight: return x < d;
        case Mod::tmUp: return y >= L - d && y < L;
        case Mod::tmDown: return y < d;
    }
    return false;
}

bool TwoUncovered(const Sizes& z, Mod m, int d, int x, int y) {
    const int half = Extent(z, m) / 2;
    const int t = Horizontal(m) ? x : y;
    if (m == Mod::tmLeft || m == Mod::tmUp) return t >= half - d && t < half + d;
    return t < d || (t >= 2 * half - d && t < 2 * half);
}

struct Routines {
    const char* name;
    TEffectProc forward, reverse;
    bool (*uncovered)(const Sizes&, Mod, int d, int x, int y);
    int (*limit)(const Sizes&, Mod);
};

const Routines Reveals[] = {
    {"mono reveal", MonoRevealEffect, MonoRevealReverseEffect, MonoUncovered, Extent},
    {"reveal", RevealEffect, RevealReverseEffect, TwoUncovered, [](const Sizes& z, Mod m) { return Extent(z, m) / 2; }},
};

const Sizes RevealSizes[] = {
    Square(11, 9),            // odd extents
    {11, 9, 11, 9, 8, 6},     // a smaller ToBitmap: the extent follows it
    {10, 8, 13, 11, 13, 11},  // pictures larger than the control
};

}  // namespace

TEST(Reveal, EveryForwardFrameMatchesTheModel) {
    for (const Routines& r : Reveals)
        for (const Sizes& size : RevealSizes)
            for (Mod m : AllModifiers) {
                const int limit = r.limit(size, m);
                for (int d = -1; d <= limit + 2; ++d) {
                    Scene s(size);
                    s.P.Modifier = m;
                    const bool finished = s.Draw(r.forward, d);
                    SCOPED_TRACE(::testing::Message() << r.name << " size " << size.W << "x" << size.H
                                                      << " modifier " << int(m) << " frame " << d);
                    EXPECT_EQ(finished, d >= limit);
                    EXPECT_TRUE(s.Shows([&](int x, int y) {
                        if (r.uncovered(size, m, std::min(d, limit), x, y))
                            if (auto p = PictureAt(s.To, x, y)) return *p;
                        return Scene::Base(s.From, x, y);
                    }));
                }
            }
}

TEST(Reveal, ReverseFrameIsTheForwardFrameFromTheOtherEnd) {
    for (const Routines& r : Reveals)
        for (const Sizes& size : RevealSizes)
            for (Mod m : AllModifiers) {
                const int limit = r.limit(size, m);
                for (int d = 0; d <= limit + 1; ++d) {
                    Scene forward(size), reverse(size);
                    forward.P.Modifier = reverse.P.Modifier = m;
                    forward.Draw(r.forward, limit - std::min(d, limit));
                    EXPECT_EQ(reverse.Draw(r.reverse, d), d >= limit);
                    EXPECT_TRUE(reverse.SameFrame(forward.Work)) << r.name << " size " << size.W << "x" << size.H
                                                                 << " modifier " << int(m) << " frame " << d;
                }
            }
}

TEST(Reveal, RunLengthsAndTheOddColumn) {
    struct Case {
        TTransitionOperation op;
        int width;
        int lastFrame;
        bool coversLastColumn;
    } const cases[] = {
        {TTransitionOperation::toMonoReveal, 120, 120, true},
        {TTransitionOperation::toReveal, 120, 60, true},
        {TTransitionOperation::toMonoReveal, 121, 121, true},
        {TTransitionOperation::toReveal, 121, 60, false},  // column 120 keeps FromBitmap
    };
    for (const auto& c : cases) {
        Player player(c.op, Square(c.width, 2), Mod::tmLeft);
        const RunLog run = player.PlayToEnd();
        EXPECT_TRUE(run.Ended);
        EXPECT_EQ(run.Frames, Ticks(0, 1, c.lastFrame)) << "width " << c.width;
        EXPECT_TRUE(player.Shows([&](int x, int y) {
            return Coord(x, y, x == c.width - 1 && !c.coversLastColumn ? FromTag : ToTag);
        })) << "width " << c.width;
    }
}
