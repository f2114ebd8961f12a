// TLumawipe's construction, write rules, rendering and painting.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "engine/FXStates.h"
#include "engine/LumawipeStream.h"
#include "support/Fixtures.h"
#include "toolkit/Application.h"
#include "toolkit/headless/Headless.h"

using namespace Wipekit;
using namespace Fixtures;
using Op = TTransitionOperation;
using Mod = TTransitionModifier;

TEST(Component, ConstructionDefaultsAndNoRender) {
    TLumawipe w(nullptr);
    EXPECT_EQ(w.Width(), 65);
    EXPECT_EQ(w.Height(), 65);
    EXPECT_TRUE(w.Opaque());
    EXPECT_FALSE(w.Active());
    EXPECT_EQ(w.Color(), Toolkit::clBtnFace);
    EXPECT_EQ(w.CurrentFrame(), 0);
    EXPECT_EQ(w.Delta(), 10);
    EXPECT_EQ(w.Interval(), 100u);
    EXPECT_EQ(w.RGBOrder(), TRGBOrder::coRGB);
    EXPECT_EQ(w.Modifier(), Mod::tmLeft);
    EXPECT_EQ(w.Operation(), Op::toPush);
    EXPECT_FALSE(w.Reverse());
    EXPECT_FALSE(w.UseThread());
    EXPECT_EQ(w.Steps(), 1);
    EXPECT_EQ(w.State(), nullptr);
    ASSERT_NE(w.Timer(), nullptr);
    EXPECT_FALSE(w.Timer()->Enabled());
    EXPECT_EQ(w.Timer()->Interval(), 100u);
    EXPECT_EQ(w.Thread(), nullptr);
    ASSERT_EQ(w.About().Count(), 4);
    EXPECT_EQ(w.About()[0], "Component: TLumawipe");
    EXPECT_EQ(w.About()[1], "Version: 4.0");
    EXPECT_TRUE(w.FromBitmap().Empty());
    EXPECT_TRUE(w.WorkBitmap().Empty()) << "construction does not render";
}

TEST(Component, WriteRules) {
    TBitmap pic;
    MakeCoordPicture(pic, 8, 8, ToTag);
    struct Case {
        const char* name;
        bool active;
        std::function<void(TLumawipe&)> write;
        std::function<bool(const TLumawipe&)> took;  // the value was taken
        int renders;
    };
    const Case cases[] = {
        {"Color", false, [](TLumawipe& w) { w.SetColor(0x123456); }, [](auto& w) { return w.Color() == 0x123456; }, 1},
        {"Color unchanged value", false, [](TLumawipe& w) { w.SetColor(w.Color()); }, [](auto&) { return true; }, 1},
        {"Color while active", true, [](TLumawipe& w) { w.SetColor(0x123456); }, [](auto& w) { return w.Color() != 0x123456; }, 0},
        {"CurrentFrame", false, [](TLumawipe& w) { w.SetCurrentFrame(5); }, [](auto& w) { return w.CurrentFrame() == 5; }, 1},
        {"CurrentFrame while active", true, [](TLumawipe& w) { w.SetCurrentFrame(5); }, [](auto& w) { return w.CurrentFrame() == 5; }, 1},
        {"CurrentFrame -1", false, [](TLumawipe& w) { w.SetCurrentFrame(-1); }, [](auto& w) { return w.CurrentFrame() == 0; }, 0},
        {"RGBOrder", false, [](TLumawipe& w) { w.SetRGBOrder(TRGBOrder::coBGR); }, [](auto& w) { return w.RGBOrder() == TRGBOrder::coBGR; }, 1},
        {"RGBOrder unchanged", false, [](TLumawipe& w) { w.SetRGBOrder(TRGBOrder::coRGB); }, [](auto&) { return true; }, 0},
        {"RGBOrder while active", true, [](TLumawipe& w) { w.SetRGBOrder(TRGBOrder::coBGR); }, [](auto& w) { return w.RGBOrder() == TRGBOrder::coRGB; }, 0},
        {"FromBitmap", false, [&](TLumawipe& w) { w.SetFromBitmap(pic); }, [](auto& w) { return w.FromBitmap().Width() == 8; }, 2},
        // Written onto itself, the picture is still a copy that raises its change handler.
        {"FromBitmap onto itself", false,
         [](TLumawipe& w) { w.SetColor(0x123456); w.SetFromBitmap(w.FromBitmap()); },
         [](auto& w) { return w.Color() == Toolkit::RGB(FromTag, 0, 0); }, 3},
        {"ToBitmap onto itself", false, [](TLumawipe& w) { w.SetToBitmap(w.ToBitmap()); }, [](auto&) { return true; }, 2},
        {"FromBitmap while active", true, [&](TLumawipe& w) { w.SetFromBitmap(pic); }, [](auto& w) { return w.FromBitmap().Width() == 4; }, 0},
        {"ToBitmap", false, [&](TLumawipe& w) { w.SetToBitmap(pic); }, [](auto& w) { return w.ToBitmap().Width() == 8; }, 2},
        {"ToBitmap while active", true, [&](TLumawipe& w) { w.SetToBitmap(pic); }, [](auto& w) { return w.ToBitmap().Empty(); }, 0},
        {"Modifier", false, [](TLumawipe& w) { w.SetModifier(Mod::tmUp); }, [](auto& w) { return w.Modifier() == Mod::tmUp; }, 0},
        {"Modifier while active", true, [](TLumawipe& w) { w.SetModifier(Mod::tmUp); }, [](auto& w) { return w.Modifier() == Mod::tmLeft; }, 0},
        {"Reverse", false, [](TLumawipe& w) { w.SetReverse(true); }, [](auto& w) { return w.Reverse(); }, 0},
        {"Reverse while active", true, [](TLumawipe& w) { w.SetReverse(true); }, [](auto& w) { return !w.Reverse(); }, 0},
        {"Operation", false, [](TLumawipe& w) { w.SetOperation(Op::toIris); }, [](auto& w) { return w.Operation() == Op::toIris; }, 0},
        {"Operation while active", true, [](TLumawipe& w) { w.SetOperation(Op::toIris); }, [](auto& w) { return w.Operation() == Op::toPush; }, 0},
        {"Delta", false, [](TLumawipe& w) { w.SetDelta(7); }, [](auto& w) { return w.Delta() == 7; }, 0},
        {"Delta while active", true, [](TLumawipe& w) { w.SetDelta(7); }, [](auto& w) { return w.Delta() == 7; }, 0},
        {"Delta 0", false, [](TLumawipe& w) { w.SetDelta(0); }, [](auto& w) { return w.Delta() == 10; }, 0},
        {"Delta negative", false, [](TLumawipe& w) { w.SetDelta(-3); }, [](auto& w) { return w.Delta() == 10; }, 0},
        {"Steps", false, [](TLumawipe& w) { w.SetSteps(3); }, [](auto& w) { return w.Steps() == 3; }, 0},
        {"Steps while active", true, [](TLumawipe& w) { w.SetSteps(3); }, [](auto& w) { return w.Steps() == 3; }, 0},
        {"Steps 0", false, [](TLumawipe& w) { w.SetSteps(0); }, [](auto& w) { return w.Steps() == 1; }, 0},
        {"Interval while active", true, [](TLumawipe& w) { w.SetInterval(40); },
         [](auto& w) { return w.Interval() == 40 && w.Timer()->Interval() == 40; }, 0},
        {"UseThread while active", true, [](TLumawipe& w) { w.SetUseThread(true); }, [](auto& w) { return !w.UseThread(); }, 0},
        {"About", false,
         [](TLumawipe& w) { Toolkit::TStrings s; s.Add("other"); w.SetAbout(s); },
         [](auto& w) { return w.About().Count() == 4; }, 0},
    };
    for (const auto& c : cases) {
        CountingWipe w(nullptr);
        w.SetBounds(0, 0, 16, 16);  // wide enough that frame 5 of a push is not the end
        TBitmap small;
        MakeCoordPicture(small, 4, 4, FromTag);
        w.SetFromBitmap(small);
        if (c.active) w.Play();
        w.Renders = 0;
        c.write(w);
        EXPECT_TRUE(c.took(w)) << c.name;
        EXPECT_EQ(w.Renders, c.renders) << c.name;
        EXPECT_EQ(w.Active(), c.active) << c.name;
    }
}

// The frames of an operation that keeps state depend on the run before them: CurrentFrame
// cannot be set for it, and nothing is rendered.
TEST(Component, CurrentFrameIsTakenByEveryOperationWithoutState) {
    TBitmap from, to;
    MakeCoordPicture(from, 16, 16, FromTag);
    MakeCoordPicture(to, 16, 16, ToTag);
    for (int i = 0; i < OperationCount; ++i) {
        const Op op = Op(i);
        CountingWipe w(nullptr);
        w.SetBounds(0, 0, 16, 16);
        w.SetFromBitmap(from);
        w.SetToBitmap(to);
        w.SetOperation(op);
        w.Renders = 0;
        w.SetCurrentFrame(5);
        const bool taken = !OperationKeepsState(op);
        EXPECT_EQ(w.CurrentFrame(), taken ? 5 : 0) << OperationName(op);
        EXPECT_EQ(w.Renders, taken ? 1 : 0) << OperationName(op);
    }
}

TEST(Component, FromBitmapSetsColorFromItsTopLeftPixelEvenWhileActive) {
    TLumawipe w(nullptr);
    TBitmap pic;
    MakeCoordPicture(pic, 6, 3, FromTag);
    w.SetColor(0x010203);
    w.SetFromBitmap(pic);
    EXPECT_EQ(w.Color(), Toolkit::RGB(FromTag, 0, 0));
    w.Play();
    w.FromBitmap().Canvas().SetPixel(0, 0, 0x00AA00);  // drawing on it also notifies
    EXPECT_EQ(w.Color(), 0x00AA00u);
    // An emptied picture has no pixel to take: the colour stays.
    w.Stop();
    w.SetFromBitmap(TBitmap());
    EXPECT_EQ(w.Color(), 0x00AA00u);
}

TEST(Component, RenderFillsTheControlAndCopiesTheFrameToIt) {
    TLumawipe w(nullptr);
    w.SetBounds(0, 0, 9, 5);
    w.SetColor(0x00FF00);
    EXPECT_EQ(w.WorkBitmap().Width(), 9);
    EXPECT_TRUE(FrameEquals(w.WorkBitmap(), 9, 5, [](int, int) { return ColorPx(0x00FF00); }));
    EXPECT_TRUE(FrameEquals(w.Surface(), 9, 5, [](int, int) { return ColorPx(0x00FF00); }));
    // Resizing does not render; the next render follows the new size.
    w.SetBounds(0, 0, 3, 2);
    EXPECT_EQ(w.WorkBitmap().Width(), 9);
    w.SetColor(Toolkit::clBtnFace);  // system colours are resolved
    EXPECT_TRUE(FrameEquals(w.WorkBitmap(), 3, 2, [](int, int) { return ColorPx(Toolkit::clBtnFace); }));
}

TEST(Component, DashedOutlineOnlyInDesignMode) {
    for (bool designing : {false, true}) {
        TLumawipe w(nullptr);
        w.SetDesigning(designing);
        w.SetBounds(0, 0, 30, 10);
        w.SetColor(0xFFFFFF);
        int dark = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 30; ++x) dark += PixelOf(w.WorkBitmap(), x, y) == Px{0, 0, 0};
        if (!designing) {
            EXPECT_EQ(dark, 0);
            continue;
        }
        // Outline of (0, 0)..(28, 8): the last column and row stay filled; dashes leave gaps.
        EXPECT_EQ(PixelOf(w.WorkBitmap(), 0, 0), (Px{0, 0, 0}));
        for (int y = 0; y < 10; ++y) EXPECT_EQ(PixelOf(w.WorkBitmap(), 29, y), ColorPx(0xFFFFFF));
        EXPECT_GT(dark, 20);
        EXPECT_LT(dark, 2 * (29 + 9));
    }
}

TEST(Component, PaintShowsTheLastFrameWithoutRendering) {
    CountingWipe w(nullptr);
    w.SetBounds(0, 0, 4, 4);
    w.Invalidate();
    Toolkit::Application().ProcessMessages();  // nothing rendered yet: nothing to show
    EXPECT_EQ(w.Renders, 0);
    w.SetColor(0x0000FF);
    w.Renders = 0;
    w.Canvas().FillRect(Toolkit::Rect(0, 0, 4, 4));  // scribble over the control
    w.Invalidate();
    Toolkit::Application().ProcessMessages();
    EXPECT_EQ(w.Renders, 0);
    EXPECT_TRUE(FrameEquals(w.Surface(), 4, 4, [](int, int) { return ColorPx(0x0000FF); }));
}

// Pictures of the control's size are drawn straight onto its surface; others into the
// component's own bitmap, copied onto the control. Either way the control shows each
// frame as the routine draws it, and a repaint shows it again without rendering.
TEST(Component, EveryTickShowsTheRoutinesFrameOnTheControl) {
    constexpr int W = 12, H = 6;
    for (const bool fits : {true, false}) {
        for (const Op op : {Op::toPush, Op::toCheckerBlinds, Op::toFade, Op::toShade}) {
            const std::string what = std::string(OperationNames[int(op)]) + (fits ? ", fitting" : ", larger");
            const Pictures pics(fits ? W : W + 3, fits ? H : H + 2);
            CountingWipe w(nullptr);
            w.SetBounds(0, 0, W, H);
            w.SetFromBitmap(pics.From);
            w.SetToBitmap(pics.To);
            w.SetOperation(op);
            w.SetDelta(2);
            w.SetSteps(3);
            w.SetColor(0x00FF00);
            Direct direct;
            direct.From.Assign(pics.From);
            direct.To.Assign(pics.To);
            direct.Background = w.Color();
            w.Play();
            for (int tick = 0; tick < 4 && w.Active(); ++tick) {
                w.AdvanceFrame(nullptr);
                direct.P = w.Params();
                direct.Frame(OperationTable[int(op)].Forward, W, H, w.CurrentFrame());
                const auto expected = [&](int x, int y) { return PixelOf(direct.Work, x, y); };
                ASSERT_TRUE(FrameEquals(w.Surface(), W, H, expected)) << what << ", tick " << tick;
                EXPECT_EQ(&w.WorkBitmap() == &w.Surface(), fits) << what;
                const int renders = w.Renders;
                w.Invalidate();
                Toolkit::Application().ProcessMessages();
                EXPECT_EQ(w.Renders, renders) << what;
                ASSERT_TRUE(FrameEquals(w.Surface(), W, H, expected)) << what << ", repainted";
            }
        }
    }
}

TEST(Component, OperationNames) {
    TTransitionOperation op{};
    EXPECT_TRUE(FromName("toStripedIris", op));
    EXPECT_EQ(op, Op::toStripedIris);
    EXPECT_TRUE(FromName("pUsH", op));
    EXPECT_EQ(op, Op::toPush);
    EXPECT_TRUE(FromName("rgbblend", op));
    EXPECT_EQ(op, Op::toRGBBlend);
    EXPECT_FALSE(FromName("to", op));
    EXPECT_FALSE(FromName("wobble", op));
    EXPECT_EQ(OperationName(Op::toCheckerBlinds), "toCheckerBlinds");
    EXPECT_EQ(int(Op::toStripedIris), 26);
    EXPECT_EQ(int(Op::toCheckerBlinds), 19);
}

TEST(Component, TableRowsServeBothDirectionsWithOneRoutineOrTwo) {
    // Operations whose reverse run has a routine of its own; every other row holds one
    // routine in both columns, which reads Params.Reverse itself.
    const std::set<Op> twoRoutines = {Op::toCrush,  Op::toMonoReveal, Op::toReveal,  Op::toMonoSlider,
                                      Op::toSlider, Op::toGlide,      Op::toSqueeze, Op::toSwarm};
    for (int i = 0; i < OperationCount; ++i) {
        const TEffectEntry& row = OperationTable[i];
        const Op op = Op(i);
        ASSERT_NE(row.Forward, nullptr) << OperationName(op);
        EXPECT_EQ(row.Forward != row.Reverse, twoRoutines.count(op) == 1) << OperationName(op);
        const bool stateful = op == Op::toRandomBars || op == Op::toTwinRandomBars;
        EXPECT_EQ(row.StateClass != nullptr, stateful) << OperationName(op);
        EXPECT_EQ(OperationKeepsState(op), stateful) << OperationName(op);
    }
}

// An OnDone handler may free the component. Every render after a finished run raises
// OnDone again, so each path that renders and then goes on must notice (ASan shows a miss).
TEST(Component, OnDoneMayFreeTheComponentOnAnyPathThatRenders) {
    TBitmap from, to;
    MakeCoordPicture(from, 8, 4, FromTag);
    MakeCoordPicture(to, 8, 4, ToTag);
    std::string stored;
    {
        TLumawipe source(nullptr);
        source.SetFromBitmap(from);
        source.SetToBitmap(to);
        source.SetDelta(3);
        std::ostringstream out;
        SaveLumawipe(out, source);
        stored = out.str();
    }
    const struct {
        const char* name;
        std::function<void(TLumawipe&)> render;
    } paths[] = {
        {"SetFromBitmap", [&](TLumawipe& w) { w.SetFromBitmap(to); }},
        {"SetToBitmap", [&](TLumawipe& w) { w.SetToBitmap(from); }},
        {"FromBitmap onto itself", [](TLumawipe& w) { w.SetFromBitmap(w.FromBitmap()); }},
        {"drawing a rectangle on FromBitmap", [](TLumawipe& w) { w.FromBitmap().Canvas().Rectangle(1, 1, 6, 4); }},
        {"drawing a rectangle on ToBitmap", [](TLumawipe& w) { w.ToBitmap().Canvas().Rectangle(0, 0, 5, 3); }},
        {"SetColor", [](TLumawipe& w) { w.SetColor(0x0000FF); }},
        {"SetCurrentFrame", [](TLumawipe& w) { w.SetCurrentFrame(2000); }},
        {"AdvanceFrame", [](TLumawipe& w) { w.AdvanceFrame(nullptr); }},
        {"loading form data", [&](TLumawipe& w) {
             std::istringstream in(stored);
             LoadLumawipe(in, w);
         }},
    };
    for (const auto& path : paths) {
        auto* w = new TLumawipe(nullptr);
        w->SetBounds(0, 0, 8, 4);
        w->SetFromBitmap(from);
        w->SetToBitmap(to);
        w->SetCurrentFrame(1000);  // past the end: every render finishes the run
        int done = 0;
        w->OnDone = [&](Toolkit::TObject*) {
            ++done;
            delete w;
        };
        path.render(*w);
        EXPECT_EQ(done, 1) << path.name;
    }
}

TEST(Component, DoneReleasesTheStateObjectBeforeOnDone) {
    TLumawipe w(nullptr);
    w.SetBounds(0, 0, 3, 2);
    TBitmap pic;
    MakeCoordPicture(pic, 3, 2, FromTag);
    w.SetFromBitmap(pic);
    w.SetToBitmap(pic);
    w.SetOperation(Op::toRandomBars);
    auto* bars = dynamic_cast<TBarsFXState*>(w.State());
    ASSERT_NE(bars, nullptr);
    bool sawReleased = false;
    w.OnDone = [&](Toolkit::TObject*) { sawReleased = bars->Remaining == nullptr && bars->Shown == nullptr; };
    w.Play();
    for (int i = 0; i < 10 && w.Active(); ++i) w.AdvanceFrame(nullptr);
    ASSERT_FALSE(w.Active());
    EXPECT_TRUE(sawReleased);
}

TEST(Component, CurrentFrameSaturatesInsteadOfOverflowing) {
    TLumawipe w(nullptr);
    w.SetSteps(INT32_MAX);
    w.SetCurrentFrame(INT32_MAX - 1);
    w.AdvanceFrame(nullptr);
    EXPECT_EQ(w.CurrentFrame(), INT32_MAX);
}

TEST(Component, RandomBarsOnAnAbsurdlyWideControlPrepareABoundedRun) {
    TLumawipe w(nullptr);
    w.SetOperation(Op::toRandomBars);
    w.SetBounds(0, 0, 1 << 30, 5);
    w.Play();  // prepares one bar per column: bounded by the largest drawable side
    EXPECT_EQ(w.State()->BarCount, Toolkit::MaxBitmapSide);
    EXPECT_EQ(w.CurrentFrame(), -1);
    w.Stop();
}
