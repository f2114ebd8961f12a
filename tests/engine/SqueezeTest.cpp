// Squeeze frames checked by where each pixel came from: the centre is ToBitmap, the
// border the compressed pieces of FromBitmap.
#include <climits>

#include "engine/Provenance.h"

using namespace EffectScene;
using namespace Provenance;
using Toolkit::Rect;
using Toolkit::TRect;

namespace {

// The centre and the eight border pieces of the frame whose border is k deep, in drawing order.
std::vector<Copy> SqueezeCopies(int W, int H, int a, int k) {
    return {
        {ToTag, Rect(0, 0, W, H), Rect(k, k, W - k, H - k)},
        {FromTag, Rect(k, 0, W - k, a), Rect(k, 0, W - k, k)},
        {FromTag, Rect(W - a, k, W, H - k), Rect(W - k, k, W, H - k)},
        {FromTag, Rect(k, H - a, W - k, H), Rect(k, H - k, W - k, H)},
        {FromTag, Rect(0, k, a, H - k), Rect(0, k, k, H - k)},
        {FromTag, Rect(0, 0, a, a), Rect(0, 0, k, k)},
        {FromTag, Rect(W - a, 0, W, a), Rect(W - k, 0, W, k)},
        {FromTag, Rect(W - a, H - a, W, H), Rect(W - k, H - k, W, H)},
        {FromTag, Rect(0, H - a, a, H), Rect(0, H - k, k, H)},
    };
}

}  // namespace

TEST(Squeeze, EveryFrameShowsTheCentreAndTheCompressedBorder) {
    struct Case {
        Sizes sizes;
        int a;  // min(W, H) div 2: frames and border depth
    } const cases[] = {
        {Square(200, 100), 50},
        {Square(10, 7), 3},  // the centre is a strip at the first frame
        {Square(7, 7), 3},  // a 1 x 1 centre at the first frame
        {Square(8, 8), 4},  // an empty centre at the first frame
        {Square(1, 5), 0},  // no border at all
    };
    for (const auto& c : cases)
        for (int f = 0; f <= c.a + 1; ++f) {
            Scene s(c.sizes);
            SCOPED_TRACE(::testing::Message() << "size " << c.sizes.W << "x" << c.sizes.H << " frame " << f);
            s.P.Modifier = Mod::tmUp;  // not used
            EXPECT_EQ(s.Draw(SqueezeEffect, f), f > c.a);
            const int k = c.a - std::min(f, c.a);
            EXPECT_TRUE(ShowsCopies(s.Work, c.sizes.W, c.sizes.H, SqueezeCopies(c.sizes.W, c.sizes.H, c.a, k)));
        }
}

// The reverse routine plays the forward frames backwards and ends on FromBitmap alone.
TEST(Squeeze, ReverseIsTheForwardRunBackwards) {
    for (const Sizes& sizes : {Square(10, 7), Square(8, 8)}) {  // a centre strip, an empty centre
        const int a = std::min(sizes.W, sizes.H) / 2;
        Scene forward(sizes), backward(sizes);
        for (int f = 0; f <= a; ++f) {
            EXPECT_FALSE(forward.Draw(SqueezeEffect, a - f));
            EXPECT_FALSE(backward.Draw(SqueezeReverseEffect, f));
            EXPECT_TRUE(backward.SameFrame(forward.Work)) << "frame " << f;
        }
        for (int f : {a + 1, INT_MAX}) {
            EXPECT_TRUE(backward.Draw(SqueezeReverseEffect, f));
            EXPECT_TRUE(backward.Shows([](int x, int y) { return Coord(x, y, FromTag); }));
        }
    }
}

// Frames far before the start grow the picture beyond the frame without overflow: the
// forward routine shows the corners of FromBitmap enlarged, the reverse one ToBitmap.
TEST(Squeeze, FramesFarBelowZero) {
    Scene s(Square(9, 6));
    EXPECT_FALSE(s.Draw(SqueezeEffect, INT_MIN));
    EXPECT_TRUE(AllTagged(s.Work, FromTag));
    EXPECT_FALSE(s.Draw(SqueezeReverseEffect, INT_MIN));
    EXPECT_TRUE(AllTagged(s.Work, ToTag));
}

TEST(Squeeze, RunThroughTheComponentEndsOnePastTheBorderDepth) {
    for (bool reverse : {false, true}) {
        Player player(TTransitionOperation::toSqueeze, Square(10, 7), Mod::tmLeft, reverse, /*delta=*/2);
        const auto run = player.PlayToEnd();
        EXPECT_TRUE(run.Ended);
        EXPECT_EQ(run.Frames, Ticks(0, 1, 4));
        const std::uint8_t tag = reverse ? FromTag : ToTag;
        EXPECT_TRUE(player.Shows([&](int x, int y) { return Coord(x, y, tag); }));
    }
}
