// Striped iris frames: the worked 100 x 100 runs described ring by ring, and other shapes
// checked against a pixel model of the rings' strips.
#include <climits>

#include "engine/EffectScene.h"

using namespace EffectScene;

namespace {

// Which of the eight modifier and Reverse combinations lay the rings from the edge inwards.
struct Layout {
    Mod m;
    bool reverse;
    bool outsideIn;
};
constexpr Layout Layouts[] = {
    {Mod::tmRight, false, true}, {Mod::tmDown, false, true},  {Mod::tmLeft, true, true},
    {Mod::tmUp, true, true},     {Mod::tmLeft, false, false}, {Mod::tmUp, false, false},
    {Mod::tmRight, true, false}, {Mod::tmDown, true, false},
};

}  // namespace

// 100 x 100, Delta 10: five 10-pixel bands from the edge, numbered 0 (outermost) to 4
// (the central 20 x 20 square).
TEST(StripedIris, WorkedExampleRingByRing) {
    // Bands uncovered per frame 0 to 5, as bit masks of band numbers.
    constexpr int OutsideIn[] = {0b00001, 0b00101, 0b10101, 0b11111, 0b11111, 0b11111};
    constexpr int CentreOut[] = {0b00000, 0b01000, 0b01010, 0b11110, 0b11111, 0b11111};
    for (const Layout& l : Layouts)
        for (int f = -1; f <= 6; ++f) {
            Scene s(Square(100, 100));
            s.P.Modifier = l.m;
            s.P.Reverse = l.reverse;
            SCOPED_TRACE(::testing::Message() << "modifier " << int(l.m) << " reverse " << l.reverse << " frame " << f);
            EXPECT_EQ(s.Draw(StripedIrisEffect, f), f >= 5);
            const int* perFrame = l.outsideIn ? OutsideIn : CentreOut;
            const int bands = f < 0 ? 0 : perFrame[f < 5 ? f : 5];
            const std::uint8_t A = l.reverse ? FromTag : ToTag;
            const std::uint8_t B = l.reverse ? ToTag : FromTag;
            EXPECT_TRUE(s.Shows([&](int x, int y) {
                const int band = std::min({x, y, 99 - x, 99 - y}) / 10;
                return Coord(x, y, bands & (1 << band) ? A : B);
            }));
        }
}

namespace {

// Whether (x, y) lies in a strip of a drawn ring: the rings and their early stop as laid
// out for frame f, each strip tested with its edges put in order.
bool InRing(bool outsideIn, std::int64_t f, std::int64_t D, std::int64_t half, std::int64_t ww, std::int64_t hh, int x,
            int y) {
    auto inStrip = [&](std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
        return x >= std::min(l, r) && x < std::max(l, r) && y >= std::min(t, b) && y < std::max(t, b);
    };
    bool hit = false;
    auto pass = [&](std::int64_t first, std::int64_t count) {
        for (std::int64_t j = 0; j < count; ++j) {
            const std::int64_t s = first + 2 * j * D;
            const std::int64_t o = outsideIn ? s : half - s;
            const std::int64_t l = o, t = o, r = ww - o, b = hh - o;
            hit = hit || inStrip(l, t, r, t + D) || inStrip(r - D, t, r, b) || inStrip(l, b - D, r, b) ||
                  inStrip(l, t, l + D, b);
            if (outsideIn ? l > half : l < 0) break;
        }
    };
    if (f >= 0) pass(0, f + 1);
    const std::int64_t e = half / (2 * D);
    if (f > e) pass(D, f - e + 1);
    return hit;
}

}  // namespace

TEST(StripedIris, EveryFrameMatchesTheRingModel) {
    struct Case {
        Sizes sizes;
        int delta;
    } const cases[] = {
        {Square(17, 11), 2},               // oblong: centre-out rings start as bars
        {{17, 11, 17, 11, 13, 9}, 3},      // rings laid over a smaller incoming picture
        {{9, 8, 12, 12, 12, 12}, 1},       // pictures larger than the control
        {Square(17, 11), 7},               // Delta above half: one ring, then the end
        {Square(17, 11), INT_MAX},         // strips reaching past the 32-bit range
    };
    for (const auto& c : cases)
        for (const Layout& l : Layouts) {
            const std::int64_t D = c.delta;
            const std::int64_t half = std::min(c.sizes.W, c.sizes.H) / 2;
            const std::int64_t last = half / D;
            for (std::int64_t frame = -1; frame <= last + 1; ++frame) {
                Scene s(c.sizes);
                s.P.Delta = c.delta;
                s.P.Modifier = l.m;
                s.P.Reverse = l.reverse;
                SCOPED_TRACE(::testing::Message() << "size " << c.sizes.W << "x" << c.sizes.H << " delta " << c.delta
                                                  << " modifier " << int(l.m) << " reverse " << l.reverse << " frame "
                                                  << frame);
                EXPECT_EQ(s.Draw(StripedIrisEffect, int(frame)), frame >= last);
                const TBitmap& A = l.reverse ? s.From : s.To;
                const TBitmap& B = l.reverse ? s.To : s.From;
                const std::int64_t ww = std::min(c.sizes.W, A.Width()), hh = std::min(c.sizes.H, A.Height());
                EXPECT_TRUE(s.Shows([&](int x, int y) {
                    if (InRing(l.outsideIn, std::min(frame, last), D, half, ww, hh, x, y))
                        if (auto p = PictureAt(A, x, y)) return *p;
                    return Scene::Base(B, x, y);
                }));
            }
        }
}

TEST(StripedIris, RunThroughTheComponentEndsOnTheLastRing) {
    for (const Layout& l : Layouts) {
        Player player(TTransitionOperation::toStripedIris, Square(100, 100), l.m, l.reverse, /*delta=*/10);
        const auto run = player.PlayToEnd();
        EXPECT_TRUE(run.Ended);
        EXPECT_EQ(run.Frames, Ticks(0, 1, 5));
        const std::uint8_t tag = l.reverse ? FromTag : ToTag;
        EXPECT_TRUE(player.Shows([&](int x, int y) { return Coord(x, y, tag); }));
    }
}
