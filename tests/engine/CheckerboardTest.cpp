// Checkerboard frames checked pixel by pixel against a model of 3 x 3 cells on grids.
#include "engine/EffectScene.h"

using namespace EffectScene;

namespace {

struct Grid {
    int pitch, x0, y0;
};

// The grids of cells drawn at frames 0 to 3, forward and reverse.
const std::vector<Grid> ForwardStages[] = {{{32, 0, 0}}, {{16, 0, 0}}, {{8, 0, 0}}, {{8, 0, 0}, {8, 4, 4}}};
const std::vector<Grid> ReverseStages[] = {{{8, 0, 0}, {8, 4, 4}}, {{8, 0, 0}}, {{16, 0, 0}}, {{32, 0, 0}}};

bool InCell(const Grid& g, int x, int y) {
    return x >= g.x0 && y >= g.y0 && (x - g.x0) % g.pitch < 3 && (y - g.y0) % g.pitch < 3;
}

}  // namespace

TEST(Checkerboard, EveryFrameMatchesTheModel) {
    const Sizes cases[] = {
        Square(40, 36),
        {40, 36, 40, 36, 34, 30},  // cells clipped to a smaller ToBitmap, FromBitmap beside it
        {30, 20, 44, 40, 44, 40},  // pictures larger than the control
    };
    for (const Sizes& size : cases)
        for (bool reverse : {false, true})
            for (int d = -1; d <= 6; ++d) {
                Scene s(size);
                s.P.Reverse = reverse;
                s.P.Modifier = Mod::tmDown;  // ignored
                s.P.Delta = 3;               // ignored
                const bool finished = s.Draw(CheckerboardEffect, d);
                SCOPED_TRACE(::testing::Message() << "size " << size.W << "x" << size.H << " reverse " << reverse
                                                  << " frame " << d);
                EXPECT_EQ(finished, d >= 4);
                EXPECT_TRUE(s.Shows([&](int x, int y) {
                    if (d >= 4)
                        if (auto p = PictureAt(reverse ? s.From : s.To, x, y)) return *p;
                    if (d >= 0 && d < 4)
                        for (const Grid& g : (reverse ? ReverseStages : ForwardStages)[d])
                            if (InCell(g, x, y))
                                if (auto p = PictureAt(s.To, x, y)) return *p;
                    return Scene::Base(s.From, x, y);
                }));
            }
}

TEST(Checkerboard, RunAlwaysTakesFiveFrames) {
    struct Case {
        int steps;
        std::vector<int> frames;
    } const cases[] = {{1, {0, 1, 2, 3, 4}}, {2, {1, 3, 5}}, {5, {4}}, {9, {8}}};
    for (const auto& c : cases)
        for (bool reverse : {false, true}) {
            Player player(TTransitionOperation::toCheckerboard, Square(20, 10), Mod::tmLeft, reverse, 10, c.steps);
            const RunLog run = player.PlayToEnd();
            EXPECT_TRUE(run.Ended);
            EXPECT_EQ(run.Frames, c.frames) << "steps " << c.steps;
            EXPECT_TRUE(player.Shows([&](int x, int y) { return Coord(x, y, reverse ? FromTag : ToTag); }));
        }
}
