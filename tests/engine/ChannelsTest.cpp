// Colour-channel frames for every RGBOrder and frame, run lengths, and errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/EffectScene.h"
#include "support/Fixtures.h"

using namespace Wipekit;
using namespace Fixtures;

namespace {

constexpr TColor Fill = 0x00FF00;
// Odd width: rows carry padding, so a wrong stride shows.
constexpr int W = 5, H = 3;

// The channel sequence of each order, written as its name reads.
const char* const Sequence[] = {"RGB", "RBG", "GRB", "GBR", "BRG", "BGR"};

// Whether channel ('R', 'G' or 'B') is among the first n of the order's sequence.
bool Among(TRGBOrder order, int n, char channel) {
    return std::string(Sequence[int(order)]).substr(0, std::size_t(n)).find(channel) != std::string::npos;
}

// Picks each channel from one of two pixels.
Px Mix(Px keep, Px other, TRGBOrder order, int n) {
    return Px{Among(order, n, 'B') ? keep.B : other.B, Among(order, n, 'G') ? keep.G : other.G,
              Among(order, n, 'R') ? keep.R : other.R};
}

TTransitionParams ParamsFor(TRGBOrder order, bool reverse, int f) {
    TTransitionParams p{};
    p.Color = Fill;
    p.RGBOrder = order;
    p.Reverse = reverse;
    p.CurrentFrame = f;
    p.ClientRect = Toolkit::Rect(0, 0, W, H);
    return p;
}

}  // namespace

// Frame f of toRGB shows the outgoing picture with the first 3 - f channels of the sequence
// for f <= 3, then the incoming picture with the first f - 3; Reverse swaps the pictures.
TEST(RGBEffect, EveryOrderAndFrameKeepsTheLeadingChannels) {
    Pictures pics(W, H);
    for (int o = 0; o < 6; ++o)
        for (const bool reverse : {false, true})
            for (int f = -1; f <= 8; ++f) {
                const TRGBOrder order = TRGBOrder(o);
                TTransitionParams p = ParamsFor(order, reverse, f);
                TBitmap work;
                work.SetSize(W, H);
                const bool last = RGBEffect(pics.From, pics.To, work, &p);
                const int g = std::clamp(f, 0, 6);
                const bool outgoing = g <= 3;
                const TBitmap& shown = outgoing != reverse ? pics.From : pics.To;
                const int n = outgoing ? 3 - g : g - 3;
                EXPECT_EQ(last, f >= 6);
                EXPECT_TRUE(FrameEquals(work, W, H, [&](int x, int y) {
                    return Mix(PixelOf(shown, x, y), Px{}, order, n);
                })) << RGBOrderName(order) << ", reverse " << reverse << ", frame " << f;
            }
}

// The worked frames of coBGR, spelled out.
TEST(RGBEffect, BlueGreenRedOrderFrames) {
    Pictures pics(W, H);
    struct Case {
        int f;
        const TBitmap* shown;
        bool b, g, r;
    } const cases[] = {
        {1, &pics.From, true, true, false}, {2, &pics.From, true, false, false},
        {3, &pics.From, false, false, false}, {4, &pics.To, true, false, false},
    };
    for (const auto& c : cases) {
        TTransitionParams p = ParamsFor(TRGBOrder::coBGR, false, c.f);
        TBitmap work;
        RGBEffect(pics.From, pics.To, work, &p);
        EXPECT_TRUE(FrameEquals(work, W, H, [&](int x, int y) {
            const Px s = PixelOf(*c.shown, x, y);
            return Px{c.b ? s.B : std::uint8_t(0), c.g ? s.G : std::uint8_t(0), c.r ? s.R : std::uint8_t(0)};
        })) << "frame " << c.f;
    }
}

// Frame f of toRGBBlend takes the first f channels of the sequence from the incoming picture
// and the others from the outgoing one.
TEST(RGBBlendEffect, EveryOrderAndFrameTakesTheLeadingChannelsFromTheIncomingPicture) {
    Pictures pics(W, H);
    for (int o = 0; o < 6; ++o)
        for (const bool reverse : {false, true})
            for (int f = -1; f <= 5; ++f) {
                const TRGBOrder order = TRGBOrder(o);
                TTransitionParams p = ParamsFor(order, reverse, f);
                TBitmap work;
                work.SetSize(W, H);
                const bool last = RGBBlendEffect(pics.From, pics.To, work, &p);
                const TBitmap& in = reverse ? pics.From : pics.To;
                const TBitmap& out = reverse ? pics.To : pics.From;
                const int n = std::clamp(f, 0, 3);
                EXPECT_EQ(last, f >= 3);
                EXPECT_TRUE(FrameEquals(work, W, H, [&](int x, int y) {
                    return Mix(PixelOf(in, x, y), PixelOf(out, x, y), order, n);
                })) << RGBOrderName(order) << ", reverse " << reverse << ", frame " << f;
            }
}

TEST(ChannelEffects, RunLengths) {
    struct Case {
        TTransitionOperation op;
        int steps;
        std::vector<int> frames;
    } const cases[] = {
        {TTransitionOperation::toRGB, 1, {0, 1, 2, 3, 4, 5, 6}},
        {TTransitionOperation::toRGB, 2, {1, 3, 5, 7}},
        {TTransitionOperation::toRGBBlend, 1, {0, 1, 2, 3}},
        {TTransitionOperation::toRGBBlend, 2, {1, 3}},
    };
    for (const auto& c : cases) {
        EffectScene::Player player(c.op, EffectScene::Square(W, H), TTransitionModifier::tmLeft, false, 10, c.steps);
        const EffectScene::RunLog run = player.PlayToEnd(20);
        EXPECT_EQ(run.Frames, c.frames) << OperationName(c.op) << ", steps " << c.steps;
        EXPECT_TRUE(run.Ended) << OperationName(c.op) << ", steps " << c.steps;
    }
}

// An empty incoming picture is reached by toRGB from frame 4 on, by toRGBBlend at once;
// toRGBBlend refuses pictures of unequal size rather than read past the smaller one.
TEST(ChannelEffects, PicturesThatCannotBeUsedRaiseAndLeaveTheFill) {
    struct Case {
        TTransitionOperation op;
        int toWidth, toHeight;  // 0: empty ToBitmap
        int f;
        bool sizeError;  // else "Unable to get bitmap."
    } const cases[] = {
        {TTransitionOperation::toRGB, 0, 0, 4, false},
        {TTransitionOperation::toRGBBlend, 0, 0, 0, false},
        {TTransitionOperation::toRGBBlend, W - 1, H, 1, true},
        {TTransitionOperation::toRGBBlend, W, H + 1, 1, true},
        {TTransitionOperation::toRGBBlend, W + 3, H + 3, 2, true},
    };
    for (const auto& c : cases) {
        const std::string what = std::string(OperationName(c.op)) + " with To " + std::to_string(c.toWidth) + " x " +
                                 std::to_string(c.toHeight) + ", frame " + std::to_string(c.f);
        TLumawipe w(nullptr);
        w.SetBounds(0, 0, W, H);
        Pictures pics(W, H);
        w.SetFromBitmap(pics.From);
        if (c.toWidth) {
            TBitmap to;
            MakeCoordPicture(to, c.toWidth, c.toHeight, ToTag);
            w.SetToBitmap(to);
        }
        w.SetColor(Fill);
        w.SetOperation(c.op);
        if (c.op == TTransitionOperation::toRGB) {
            EXPECT_NO_THROW(w.SetCurrentFrame(3)) << what;
        }
        try {
            w.SetCurrentFrame(c.f);
            ADD_FAILURE() << "no exception: " << what;
        } catch (const ELumawipeBitmapSize& e) {
            EXPECT_TRUE(c.sizeError) << what;
            EXPECT_STREQ(e.what(), "Bitmaps are unequal in size.");
        } catch (const ELumawipeBitmapConvert& e) {
            EXPECT_FALSE(c.sizeError) << what;
            EXPECT_STREQ(e.what(), "Unable to get bitmap.");
        }
        EXPECT_TRUE(FrameEquals(w.WorkBitmap(), W, H, [](int, int) { return ColorPx(Fill); })) << what;
    }
}
