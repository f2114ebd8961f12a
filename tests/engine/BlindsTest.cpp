// Blinds frames checked pixel by pixel against a model of slats opening in place.
#include <climits>

#include "engine/EffectScene.h"

using namespace EffectScene;

namespace {

// Distance of (x, y) from the edge the slats are laid from.
std::int64_t FromAnchorEdge(Mod m, int W, int H, int x, int y) {
    switch (m) {
        case Mod::tmLeft: return x;
        case Mod::tmRight: return W - 1 - x;
        case Mod::tmUp: return H - 1 - y;
        case Mod::tmDown: return y;
    }
    return 0;
}

}  // namespace

TEST(Blinds, EveryFrameMatchesTheModel) {
    struct Case {
        Sizes sizes;
        int delta;
        std::vector<int> frames;
    } const cases[] = {
        {Square(13, 7), 4, Ticks(-1, 1, 6)},                  // extents not a multiple of Delta
        {{13, 7, 13, 7, 9, 5}, 4, Ticks(-1, 1, 6)},           // a smaller incoming picture
        {{6, 5, 9, 8, 9, 8}, 2, Ticks(0, 1, 3)},              // pictures larger than the control
        {Square(9, 6), 1, {0, 1, 2}},                         // the narrowest slats
        {Square(9, 6), 20, {0, 3, 8, 19, 20}},                // one slat: a wipe from the anchor edge
        {Square(9, 6), INT_MAX, {3, INT_MAX - 1, INT_MAX}},   // slat edges far past the 32-bit range
    };
    for (const auto& c : cases)
        for (Mod m : AllModifiers)
            for (bool reverse : {false, true})
                for (int d : c.frames) {
                    Scene s(c.sizes);
                    s.P.Delta = c.delta;
                    s.P.Modifier = m;
                    s.P.Reverse = reverse;
                    const bool finished = s.Draw(BlindsEffect, d);
                    const TBitmap& in = reverse ? s.From : s.To;
                    const TBitmap& out = reverse ? s.To : s.From;
                    const std::int64_t open = std::min<std::int64_t>(d, c.delta);
                    SCOPED_TRACE(::testing::Message() << "size " << c.sizes.W << "x" << c.sizes.H << " delta "
                                                      << c.delta << " modifier " << int(m) << " reverse " << reverse
                                                      << " frame " << d);
                    EXPECT_EQ(finished, d >= c.delta);
                    EXPECT_TRUE(s.Shows([&](int x, int y) {
                        const bool uncovered = FromAnchorEdge(m, c.sizes.W, c.sizes.H, x, y) % c.delta < open;
                        if (uncovered)
                            if (auto p = PictureAt(in, x, y)) return *p;
                        return Scene::Base(out, x, y);
                    }));
                }
}

TEST(Blinds, RunEndsWhenTheSlatsAreFullyOpen) {
    struct Case {
        int delta, steps;
        std::vector<int> frames;
    } const cases[] = {
        {10, 1, Ticks(0, 1, 10)},  // 11 frames, the last one at d = Delta
        {1, 1, {0, 1}},
        {10, 11, {10}},            // Steps >= Delta + 1: the first tick ends the run
        {10, 30, {29}},
        {10, 4, {3, 7, 11}},
    };
    for (const auto& c : cases) {
        Player player(TTransitionOperation::toBlinds, Square(12, 5), Mod::tmUp, false, c.delta, c.steps);
        const RunLog run = player.PlayToEnd();
        EXPECT_TRUE(run.Ended);
        EXPECT_EQ(run.Frames, c.frames) << "delta " << c.delta << " steps " << c.steps;
        EXPECT_TRUE(player.Shows([](int x, int y) { return Coord(x, y, ToTag); }));
    }
}
