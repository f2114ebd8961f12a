// Swarm frames against a model of the wipe and its random band, and whole runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Fixtures.h"

using namespace Wipekit;
using namespace Fixtures;
using Mod = TTransitionModifier;

namespace {

constexpr TColor Fill = 0x00FF00;

// One frame as the table of the operation describes it, drawing from a copy of the
// generator. f is already clamped.
std::vector<Px> ModelFrame(const Pictures& pics, int W, int H, Mod mod, bool reverse, int D, int f,
                           ModelRandom& random) {
    std::vector<Px> frame(std::size_t(W * H), ColorPx(Fill));
    auto copy = [&](const TBitmap& picture, int x, int y) {
        if (x < 0 || y < 0 || x >= W || y >= H) return;
        if (const auto p = PictureAt(picture, x, y)) frame[std::size_t(y * W + x)] = *p;
    };
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) copy(pics.From, x, y);
    struct Area {
        int l, t, r, b;
    } region{};
    switch (mod) {
        case Mod::tmLeft: region = reverse ? Area{f, 0, W, H} : Area{W - f, 0, W, H}; break;
        case Mod::tmRight: region = reverse ? Area{0, 0, W - f, H} : Area{0, 0, f, H}; break;
        case Mod::tmUp: region = reverse ? Area{0, f, W, H} : Area{0, H - f, W, H}; break;
        case Mod::tmDown: region = reverse ? Area{0, 0, W, H - f} : Area{0, 0, W, f}; break;
    }
    for (int y = region.t; y < region.b; ++y)
        for (int x = region.l; x < region.r; ++x) copy(pics.To, x, y);
    const bool horizontal = mod == Mod::tmLeft || mod == Mod::tmRight;
    const int n = D * (horizontal ? H : W) / 2;
    for (int k = 0; k <= n; ++k) {
        const int r1 = int(random(std::uint32_t(horizontal ? D : W)));
        const int r2 = int(random(std::uint32_t(horizontal ? H : D)));
        int x = 0, y = 0;
        switch (mod) {
            case Mod::tmLeft: x = (reverse ? f - D : W - f - D) + r1, y = r2; break;
            case Mod::tmRight: x = (reverse ? W - f : f) + r1, y = r2; break;
            case Mod::tmUp: x = r1, y = (reverse ? f - D : H - f - D) + r2; break;
            case Mod::tmDown: x = r1, y = (reverse ? H - f : f) + r2; break;
        }
        copy(pics.To, x, y);
    }
    return frame;
}

}  // namespace

TEST(Swarm, FramesFollowTheTableInEveryDirection) {
    constexpr int W = 40, H = 30, D = 6;
    struct Size {
        int toW, toH;
    } const sizes[] = {{W, H}, {25, 20}, {0, 0}};  // nothing is drawn where ToBitmap has no pixels
    for (const auto& size : sizes) {
        const Pictures pics(W, H, size.toW, size.toH);
        for (const Mod mod : {Mod::tmLeft, Mod::tmRight, Mod::tmUp, Mod::tmDown})
            for (const bool reverse : {false, true}) {
                const int L = mod == Mod::tmLeft || mod == Mod::tmRight ? W : H;
                const int last = reverse ? L + D : L;
                for (const int f : {-1, 0, 1, 13, L - 1, L, L + 3, last, last + 1, last + 50}) {
                    const std::string what = std::string(ModifierName(mod)) + (reverse ? " reverse" : "") +
                                             ", To " + std::to_string(size.toW) + " x " + std::to_string(size.toH) +
                                             ", frame " + std::to_string(f);
                    ModelRandom random{RandSeed()};
                    const std::vector<Px> want =
                        ModelFrame(pics, W, H, mod, reverse, D, std::min(f, last), random);
                    Direct d;
                    d.From.Assign(pics.From);
                    d.To.Assign(pics.To);
                    d.Background = d.P.Color = Fill;
                    d.P.Delta = D;
                    d.P.Modifier = mod;
                    d.P.Reverse = reverse;
                    EXPECT_EQ(d.Frame(reverse ? SwarmReverseEffect : SwarmEffect, W, H, f), f > last) << what;
                    EXPECT_EQ(RandSeed(), random.Seed) << what;
                    EXPECT_TRUE(FrameEquals(d.Work, W, H, [&](int x, int y) { return want[std::size_t(y * W + x)]; }))
                        << what;
                }
            }
    }
}

// The worked run: 100 x 80, tmLeft, Delta 10. Each frame draws 401 pixels, all within the
// ten columns left of the edge; the frame at 100 shows ToBitmap alone and the next ends.
// The reverse run ends at 111, and from 110 on shows FromBitmap alone.
TEST(Swarm, WholeRunsKeepTheSwarmInsideTheBand) {
    constexpr int W = 100, H = 80, D = 10;
    const Pictures pics(W, H, W, H);
    for (const bool reverse : {false, true}) {
        TLumawipe w(nullptr);
        w.SetBounds(0, 0, W, H);
        w.SetFromBitmap(pics.From);
        w.SetToBitmap(pics.To);
        w.SetDelta(D);
        w.SetReverse(reverse);
        w.SetOperation(TTransitionOperation::toSwarm);
        int finishedAt = -2;
        w.OnDone = [&](Toolkit::TObject*) { finishedAt = w.CurrentFrame(); };
        w.Play();
        for (int tick = 0; w.Active() && tick < 200; ++tick) {
            ModelRandom random{RandSeed()};
            w.AdvanceFrame(nullptr);
            const int f = w.CurrentFrame();
            const std::string what = std::string(reverse ? "reverse" : "forward") + ", frame " + std::to_string(f);
            for (int k = 0; k < 2 * (D * H / 2 + 1); ++k) random(1);
            EXPECT_EQ(RandSeed(), random.Seed) << "not 401 pixels: " << what;
            // The wipe alone, and the band where the swarm may differ from it.
            const int edge = reverse ? std::min(f, W + D) : W - std::min(f, W);
            int outside = 0, wrong = 0;
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    const Px wipe = PixelOf(x >= edge ? pics.To : pics.From, x, y);
                    const Px got = PixelOf(w.WorkBitmap(), x, y);
                    if (got == wipe) continue;
                    if (x < edge - D || x >= edge) ++outside;
                    if (got != PixelOf(pics.To, x, y)) ++wrong;
                }
            EXPECT_EQ(outside, 0) << what;
            EXPECT_EQ(wrong, 0) << what;
            if (reverse ? f >= W + D : f >= W) {
                const TBitmap& alone = reverse ? pics.From : pics.To;
                EXPECT_TRUE(FrameEquals(w.WorkBitmap(), W, H, [&](int x, int y) { return PixelOf(alone, x, y); }))
                    << what;
            }
            if (reverse && f == 0) {
                EXPECT_TRUE(FrameEquals(w.WorkBitmap(), W, H, [&](int x, int y) { return PixelOf(pics.To, x, y); }))
                    << what;
            }
        }
        EXPECT_EQ(finishedAt, reverse ? W + D + 1 : W + 1);
    }
}

// Skipping draws moves the generator exactly as drawing them does, in pieces or at once.
TEST(Swarm, SkippedDrawsKeepTheGeneratorsSequence) {
    for (const std::int64_t count : {std::int64_t(0), std::int64_t(1), std::int64_t(2), std::int64_t(777),
                                     std::int64_t(65536), std::int64_t(100003)}) {
        ModelRandom random{RandSeed()};
        for (std::int64_t k = 0; k < count; ++k) random(1);
        SkipRandom(count);
        EXPECT_EQ(RandSeed(), random.Seed) << count;
    }
    const std::uint32_t start = RandSeed();
    SkipRandom(std::int64_t(1) << 40);
    SkipRandom(12345);
    const std::uint32_t inPieces = RandSeed();
    SkipRandom(-1);  // nothing
    EXPECT_EQ(RandSeed(), inPieces);
    // The generator has period 2^32: (2^40 + 12345) draws move it as 12345 do.
    ModelRandom random{start};
    for (int k = 0; k < 12345; ++k) random(1);
    EXPECT_EQ(inPieces, random.Seed);
}

// A band of random pixels that reaches the picture is drawn up to MaxSwarmPixels pixels a
// frame and refused beyond; a band wholly outside it costs nothing, however deep.
TEST(Swarm, RandomPixelsAreBoundedPerFrame) {
    constexpr int W = 40, H = 2;  // tmLeft: (Delta x 2) / 2 + 1 = Delta + 1 pixels
    const Pictures pics(W, H);
    Direct d;
    d.From.Assign(pics.From);
    d.To.Assign(pics.To);
    d.P.Modifier = Mod::tmLeft;
    struct Case {
        std::int32_t Delta;
        int Frame;
        bool Refused;
    } const cases[] = {
        {std::int32_t(MaxSwarmPixels - 1), 3, false},
        {std::int32_t(MaxSwarmPixels), 3, true},
        {INT32_MAX, 3, true},
        {INT32_MAX, W, false},  // the last frame: the band lies beyond the picture
    };
    for (const Case& c : cases) {
        d.P.Delta = c.Delta;
        const std::uint32_t seed = RandSeed();
        bool refused = false;
        try {
            d.Frame(SwarmEffect, W, H, c.Frame);
        } catch (const ELumawipe& e) {
            refused = true;
            EXPECT_NE(std::string(e.what()).find("lower Delta"), std::string::npos);
        }
        EXPECT_EQ(refused, c.Refused) << c.Delta << " at " << c.Frame;
        if (refused) {
            EXPECT_EQ(RandSeed(), seed) << "a refused frame draws nothing";
        }
    }
}
