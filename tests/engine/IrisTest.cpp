// Iris frames checked pixel by pixel against a model of a rectangle opening from the
// centre or closing in from the edges.
#include "engine/EffectScene.h"

using namespace EffectScene;

namespace {

bool Inside(int x, int y, int left, int top, int right, int bottom) {
    return x >= left && x < right && y >= top && y < bottom;
}

}  // namespace

TEST(Iris, EveryFrameMatchesTheModel) {
    const Sizes cases[] = {
        Square(12, 7),           // odd shorter side: a one-pixel band through the centre at d = 0
        Square(7, 12),
        {12, 7, 12, 7, 9, 5},    // smaller pictures: the iris works within them, s follows the control
        {12, 7, 9, 5, 12, 7},
        {10, 6, 13, 9, 13, 9},   // pictures larger than the control
    };
    for (const Sizes& size : cases)
        for (Mod m : AllModifiers)
            for (bool reverse : {false, true}) {
                const int s = std::min(size.W, size.H) / 2;
                for (int d = -1; d <= s + 2; ++d) {
                    Scene scene(size);
                    scene.P.Modifier = m;
                    scene.P.Reverse = reverse;
                    const bool finished = scene.Draw(IrisEffect, d);
                    const TBitmap& in = reverse ? scene.From : scene.To;
                    const TBitmap& out = reverse ? scene.To : scene.From;
                    const int w = std::min(size.W, in.Width());
                    const int h = std::min(size.H, in.Height());
                    const int e = std::min(d, s);
                    const bool opening = m == Mod::tmLeft || m == Mod::tmUp;
                    SCOPED_TRACE(::testing::Message() << "size " << size.W << "x" << size.H << " modifier " << int(m)
                                                      << " reverse " << reverse << " frame " << d);
                    EXPECT_EQ(finished, d >= s);
                    EXPECT_TRUE(scene.Shows([&](int x, int y) {
                        if (opening) {
                            if (Inside(x, y, s - e, s - e, w - s + e, h - s + e))
                                if (auto p = PictureAt(in, x, y)) return *p;
                            return Scene::Base(out, x, y);
                        }
                        if (e < s && Inside(x, y, e, e, w - e, h - e))
                            if (auto p = PictureAt(out, x, y)) return *p;
                        if (Inside(x, y, 0, 0, w, h))
                            if (auto p = PictureAt(in, x, y)) return *p;
                        return Scene::Base(out, x, y);
                    }));
                }
            }
}

TEST(Iris, OpeningStartsFromAnEmptyBandThroughTheCentre) {
    // 300 x 100: s = 50; d = 1 shows the incoming picture in (49, 49, 251, 51).
    Scene scene(Square(300, 100));
    EXPECT_FALSE(scene.Draw(IrisEffect, 0));
    EXPECT_TRUE(scene.Shows([](int x, int y) { return Coord(x, y, FromTag); }));
    EXPECT_FALSE(scene.Draw(IrisEffect, 1));
    EXPECT_TRUE(scene.Shows([](int x, int y) { return Coord(x, y, Inside(x, y, 49, 49, 251, 51) ? ToTag : FromTag); }));

    Player player(TTransitionOperation::toIris, Square(300, 100), Mod::tmUp);
    const RunLog run = player.PlayToEnd();
    EXPECT_TRUE(run.Ended);
    EXPECT_EQ(run.Frames, Ticks(0, 1, 50));
    EXPECT_TRUE(player.Shows([](int x, int y) { return Coord(x, y, ToTag); }));
}
