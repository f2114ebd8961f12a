// The full engine draws frames of the rdChanges operations only where they changed since
// the frame on screen, and every frame equals the whole redraw (RedrawPlayer.h).
#include <gtest/gtest.h>

#include <functional>

#include "engine/RedrawPlayer.h"

using namespace Wipekit;
using Op = TTransitionOperation;
using Mod = TTransitionModifier;

namespace {

struct FullEngine {
    using Component = TLumawipe;
    static constexpr int Operations = OperationCount;
    static const TBitmap& Shown(const TLumawipe& c) { return c.WorkBitmap(); }
    static bool Checked(const TLumawipe&) { return true; }
    static std::int32_t Tick(TLumawipe& c) {
        c.AdvanceFrame(nullptr);
        return c.CurrentFrame();
    }
    // The frame is drawn at the tick; a repaint draws nothing.
    static std::int32_t Repaint(TLumawipe& c) {
        c.PaintControl();
        return RedrawPlayer::NoFrame;
    }
    static std::int32_t Frame(const Component& c) { return c.CurrentFrame(); }
    static std::int32_t Jump(TLumawipe& c, RedrawPlayer::Rng& rng, RedrawPlayer::Log& log) {
        const std::int32_t f = rng.Below(90);
        c.SetCurrentFrame(f);
        log << " jump " << f;
        return f;
    }
    // The change notification renders the frame.
    static std::int32_t Written(TLumawipe& c) { return c.CurrentFrame(); }
};

// A component of w x h with two pictures of noise from rng, set to operation op.
void NoiseComponent(TLumawipe& c, int w, int h, RedrawPlayer::Rng& rng, Op op) {
    c.SetBounds(0, 0, w, h);
    TBitmap from, to;
    RedrawPlayer::NoisePicture(from, w, h, rng);
    RedrawPlayer::NoisePicture(to, w, h, rng);
    c.SetFromBitmap(from);
    c.SetToBitmap(to);
    c.SetOperation(op);
}

// A plain run with nothing between its ticks: every frame after the first is drawn as its
// changes, and a one-pixel step of a mono reveal writes one column.
TEST(Redraw, PlainRunDrawsOnlyTheChanges) {
    for (int i = 0; i < OperationCount; ++i) {
        const auto op = Op(i);
        if (!OperationRedrawsChanges(op)) continue;
        for (const bool reverse : {false, true}) {
            RedrawPlayer::Rng rng(7);
            TLumawipe c(nullptr);
            NoiseComponent(c, 64, 48, rng, op);
            c.SetReverse(reverse);
            c.Play();
            int ticks = 0;
            TBitmap fresh;
            while (c.Active() && ticks < 1000) {
                c.AdvanceFrame(nullptr);
                ++ticks;
                RedrawPlayer::FreshFrame(c, c.CurrentFrame(), fresh);
                ASSERT_TRUE(RedrawPlayer::SamePixels(c.WorkBitmap(), fresh))
                    << OperationName(op) << " reverse " << reverse << " frame " << c.CurrentFrame();
            }
            EXPECT_EQ(c.PartialFrames(), std::uint64_t(ticks - 1)) << OperationName(op) << " reverse " << reverse;
        }
    }
    TLumawipe c(nullptr);
    RedrawPlayer::Rng rng(3);
    NoiseComponent(c, 64, 48, rng, Op::toMonoReveal);
    c.Play();
    c.AdvanceFrame(nullptr);
    c.AdvanceFrame(nullptr);
    c.AdvanceFrame(nullptr);
    EXPECT_EQ(c.LastFramePixels(), 48);
}

// Whatever happens between ticks, each frame equals the whole redraw.
TEST(Redraw, SeededTickSequencesEqualTheWholeRedraw) { RedrawPlayer::PlayAll<FullEngine>(60); }

// A row pointer handed out, the surface drawn on, a setting changed: the next frame is whole.
TEST(Redraw, AnyChangeDrawsTheWholeFrame) {
    TLumawipe c(nullptr);
    RedrawPlayer::Rng rng(11);
    NoiseComponent(c, 32, 16, rng, Op::toIris);
    c.Play();
    c.AdvanceFrame(nullptr);
    c.AdvanceFrame(nullptr);
    ASSERT_EQ(c.PartialFrames(), 1u);
    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"from scanline", [&] { (void)c.FromBitmap().ScanLine(0); }},
        {"to pixels", [&] { (void)c.ToBitmap().Pixels(); }},
        {"to bits", [&] { (void)c.ToBitmap().Bits(); }},
        {"surface canvas", [&] { c.Canvas().Brush.Color = 0; c.Canvas().FillRect(Toolkit::Rect(0, 0, 1, 1)); }},
        {"surface bits", [&] { (void)c.Canvas().Target().Bits(); }},
        {"resize", [&] { c.SetBounds(0, 0, 32, 17); c.AdvanceFrame(nullptr); c.SetBounds(0, 0, 32, 16); }},
        {"delta", [&] { c.SetDelta(3); }},
    };
    for (const auto& change : changes) {
        const std::uint64_t before = c.PartialFrames();
        change.change();
        c.AdvanceFrame(nullptr);
        EXPECT_EQ(c.PartialFrames(), before) << change.what;
        c.AdvanceFrame(nullptr);
        EXPECT_EQ(c.PartialFrames(), before + 1) << change.what;
    }
    c.Stop();
    c.SetModifier(Mod::tmDown);
    const std::uint64_t before = c.PartialFrames();
    c.AdvanceFrame(nullptr);
    EXPECT_EQ(c.PartialFrames(), before) << "modifier";
}

}  // namespace
