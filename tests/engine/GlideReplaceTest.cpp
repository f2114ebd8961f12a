// Glide frames checked pixel by pixel against a model of ToBitmap gliding over the still
// FromBitmap; replace frames by which picture they show.
#include "engine/EffectScene.h"

using namespace EffectScene;

namespace {

bool Horizontal(Mod m) { return m == Mod::tmLeft || m == Mod::tmRight; }

// Frame f (clamped) of GlideEffect, or of GlideReverseEffect when leaving.
Px ModelGlide(const Scene& s, Mod m, bool leaving, int f, int x, int y) {
    const int W = s.S.W, H = s.S.H, TW = s.S.ToW, TH = s.S.ToH;
    // The gliding band is cut to the smaller of frame and ToBitmap across the motion.
    const bool across = Horizontal(m) ? y < std::min(H, TH) : x < std::min(W, TW);
    std::optional<Px> p;
    if (across && !leaving)
        switch (m) {
            case Mod::tmLeft: if (x >= W - f) p = PictureAt(s.To, x - (W - f), y); break;
            case Mod::tmRight: if (x < f) p = PictureAt(s.To, x + (TW - f), y); break;
            case Mod::tmUp: if (y >= H - f) p = PictureAt(s.To, x, y - (H - f)); break;
            case Mod::tmDown: if (y < f) p = PictureAt(s.To, x, y + (TH - f)); break;
        }
    if (across && leaving)
        switch (m) {
            case Mod::tmLeft: if (x >= f) p = PictureAt(s.To, x - f, y); break;
            case Mod::tmRight: if (x < W - f) p = PictureAt(s.To, x + f, y); break;
            case Mod::tmUp: if (y >= f) p = PictureAt(s.To, x, y - f); break;
            case Mod::tmDown: if (y < H - f) p = PictureAt(s.To, x, y + f); break;
        }
    return p.value_or(Scene::Base(s.From, x, y));
}

}  // namespace

TEST(Glide, EveryFrameMatchesTheModel) {
    const Sizes cases[] = {
        Square(9, 6),
        {9, 6, 9, 6, 6, 4},     // a smaller ToBitmap: a lower gliding band, FromBitmap below it
        {8, 5, 11, 9, 11, 9},   // pictures larger than the control
    };
    for (const Sizes& size : cases)
        for (Mod m : AllModifiers)
            for (bool leaving : {false, true}) {
                const int travel = Horizontal(m) ? size.W : size.H;
                for (int f = -1; f <= travel + 2; ++f) {
                    Scene s(size);
                    s.P.Modifier = m;
                    s.P.Delta = 1;  // ignored
                    const bool finished = s.Draw(leaving ? GlideReverseEffect : GlideEffect, f);
                    SCOPED_TRACE(::testing::Message() << "size " << size.W << "x" << size.H << " modifier " << int(m)
                                                      << " reverse routine " << leaving << " frame " << f);
                    EXPECT_EQ(finished, f > travel);
                    EXPECT_TRUE(s.Shows([&](int x, int y) { return ModelGlide(s, m, leaving, std::min(f, travel), x, y); }));
                }
            }
}

TEST(Glide, ReverseFrameIsTheForwardFrameFromTheOtherEndForPicturesOfTheControlSize) {
    for (Mod m : AllModifiers) {
        const Sizes size = Square(9, 6);
        const int travel = Horizontal(m) ? size.W : size.H;
        for (int f = 0; f <= travel + 1; ++f) {
            Scene forward(size), reverse(size);
            forward.P.Modifier = reverse.P.Modifier = m;
            forward.Draw(GlideEffect, travel - std::min(f, travel));
            EXPECT_EQ(reverse.Draw(GlideReverseEffect, f), f > travel);
            EXPECT_TRUE(reverse.SameFrame(forward.Work)) << "modifier " << int(m) << " frame " << f;
        }
    }
}

TEST(Glide, RunOnAControl100Wide) {
    Player player(TTransitionOperation::toGlide, Square(100, 3), Mod::tmLeft);
    player.Engine.SetCurrentFrame(40);  // the left 40 columns of ToBitmap in columns 60 to 99
    EXPECT_TRUE(player.Shows([](int x, int y) { return x >= 60 ? Coord(x - 60, y, ToTag) : Coord(x, y, FromTag); }));
    const RunLog run = player.PlayToEnd();
    EXPECT_TRUE(run.Ended);
    EXPECT_EQ(run.Frames, Ticks(0, 1, 101));
    EXPECT_TRUE(player.Shows([](int x, int y) { return Coord(x, y, ToTag); }));
}

TEST(Replace, FramesCutFromOnePictureToTheOther) {
    struct Case {
        bool reverse;
        int frame;
        bool showsTo, finished;
    } const cases[] = {
        {false, -1, false, false}, {false, 0, false, false}, {false, 1, true, false},
        {false, 2, true, true},    {false, 9, true, true},   {true, -1, false, false},
        {true, 0, true, false},    {true, 1, false, false},  {true, 2, false, true},
        {true, 9, false, true},
    };
    for (const auto& c : cases) {
        Scene s({6, 4, 6, 4, 4, 3});
        s.P.Reverse = c.reverse;
        EXPECT_EQ(s.Draw(ReplaceEffect, c.frame), c.finished) << "reverse " << c.reverse << " frame " << c.frame;
        // One picture only: beside a smaller ToBitmap the frame keeps the background.
        EXPECT_TRUE(s.Shows([&](int x, int y) { return Scene::Base(c.showsTo ? s.To : s.From, x, y); }))
            << "reverse " << c.reverse << " frame " << c.frame;
    }
}
