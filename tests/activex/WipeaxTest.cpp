// The control's engine: it paints what the full engine renders, keeps its counter at the
// frame the routine clamps to, ends a run in the paint that meets the end, and stays safe
// with whatever values an automation client stores.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "activex/Wipeax.h"
#include "support/Fixtures.h"
#include "toolkit/Application.h"
#include "toolkit/headless/Headless.h"

using namespace Fixtures;
using Wipekit::TRGBOrder;
using Wipekit::TTransitionModifier;
using Wipekit::TTransitionOperation;
using Op = TTransitionOperation;
using Mod = TTransitionModifier;

namespace {

constexpr int W = 12, H = 8;
constexpr TColor Fill = 0x00123456;

// Parameters both engines are given.
struct Setting {
    Mod Modifier;
    int Delta;
    TRGBOrder Order;
};
constexpr Setting Plain{Mod::tmLeft, 3, TRGBOrder::coRGB};
constexpr Setting Other{Mod::tmDown, 4, TRGBOrder::coBRG};

template <class Engine>
void Configure(Engine& e, Op op, bool reverse, const Setting& s, int toH = H) {
    TBitmap from, to;
    MakeCoordPicture(from, W, H, FromTag);
    MakeCoordPicture(to, W, toH, ToTag);
    e.SetBounds(0, 0, W, H);
    e.SetFromBitmap(from);
    e.SetToBitmap(to);
    e.SetColor(Fill);
    e.SetOperation(op);
    e.SetModifier(s.Modifier);
    e.SetReverse(reverse);
    e.SetDelta(s.Delta);
    e.SetRGBOrder(s.Order);
}

// Plays and lets one tick take the counter from -1 to frame (none for a negative frame).
template <class Engine>
void PlayTo(Engine& e, std::int32_t frame) {
    e.Play();
    if (frame < 0) return;
    e.SetSteps(frame + 1);
    e.AdvanceFrame(nullptr);
}

::testing::AssertionResult ShowsFill(const TBitmap& surface) {
    return FrameEquals(surface, W, H, [](int, int) { return ColorPx(Fill); });
}

// The last frame of each operation for Plain on W x H pictures (the frame a later one
// is clamped to), and whether a frame before the first is raised to 0.
struct OperationCase {
    Op Operation;
    std::int32_t Last;
    bool RaisesNegative;
};
constexpr OperationCase Operations[] = {
    {Op::toPush, W, false},        {Op::toBlinds, 3, false},       {Op::toCheckerboard, 4, false},
    {Op::toCrush, W / 2, false},   {Op::toMonoReveal, W, false},   {Op::toReveal, W / 2, false},
    {Op::toIris, H / 2, false},    {Op::toMonoSlider, 2 * W, false}, {Op::toSlider, W, false},
    {Op::toStrip, W, false},       {Op::toZoom, H, false},         {Op::toFade, 511, true},
    {Op::toMosaic, 6, false},      {Op::toBlend, 255, true},       {Op::toGlide, W, false},
    {Op::toReplace, 1, false},     {Op::toRGB, 6, true},           {Op::toRGBBlend, 3, true},
    {Op::toSpiral, 9, true},       {Op::toCheckerBlinds, 6, false},
};
static_assert(std::size(Operations) == Wipeax::OperationCount);

}  // namespace

// Every operation and direction, frames from before the first to far beyond the end:
// the paint shows the full engine's frame, the counter moves to the clamped frame, the
// run ends exactly where the full engine's does, and a repaint draws the same again
// without a second OnDone.
TEST(WipeaxPaint, DrawsTheFullEnginesFrameAndKeepsTheClampedFrame) {
    for (const OperationCase& c : Operations)
        for (bool reverse : {false, true})
            for (const Setting* setting : {&Plain, &Other}) {
                const std::int32_t last = c.Last;
                for (std::int32_t f : {-1, 0, 1, last - 1, last, last + 1, last + 2, 100000, INT32_MAX - 1}) {
                    SCOPED_TRACE(std::string(Wipekit::OperationName(c.Operation)) + (reverse ? " reverse" : "") +
                                 (setting == &Plain ? "" : " (other setting)") + " frame " + std::to_string(f));
                    Wipekit::TLumawipe full(nullptr);
                    Configure(full, c.Operation, reverse, *setting);
                    int fullDone = 0;
                    full.OnDone = [&](Toolkit::TObject*) { ++fullDone; };
                    PlayTo(full, f);
                    if (f < 0) full.RenderFrame();

                    Wipeax::TLumawipe variant(nullptr);
                    Configure(variant, c.Operation, reverse, *setting);
                    int done = 0;
                    variant.OnDone = [&](Toolkit::TObject* sender) {
                        EXPECT_EQ(sender, &variant);
                        EXPECT_FALSE(variant.Active()) << "Stop comes before OnDone";
                        ++done;
                    };
                    PlayTo(variant, f);
                    variant.PaintControl();

                    ASSERT_TRUE(FrameEquals(variant.Surface(), W, H,
                                            [&](int x, int y) { return PixelOf(full.WorkBitmap(), x, y); }));
                    EXPECT_EQ(done, fullDone);
                    EXPECT_EQ(variant.Active(), full.Active());
                    if (setting == &Plain) {
                        const std::int32_t clamped = f < 0 ? (c.RaisesNegative ? 0 : f) : std::min(f, last);
                        EXPECT_EQ(variant.FrameCounter(), clamped);
                    }

                    TBitmap first;
                    first.Assign(variant.Surface());
                    const std::int32_t counter = variant.FrameCounter();
                    variant.PaintControl();
                    EXPECT_TRUE(FrameEquals(variant.Surface(), W, H, [&](int x, int y) { return PixelOf(first, x, y); }));
                    EXPECT_EQ(variant.FrameCounter(), counter);
                    EXPECT_EQ(done, fullDone) << "a repaint after the end raises no second OnDone";
                }
            }
}

namespace {

// The variant on the headless loop's virtual clock, counting its paints and OnDone.
class CountingVariant : public Wipeax::TLumawipe {
public:
    using TLumawipe::TLumawipe;
    int Paints = 0;

protected:
    void Paint() override {
        ++Paints;
        TLumawipe::Paint();
    }
};

class WipeaxRun : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        Toolkit::Headless::UseVirtualTime(true);
        Toolkit::Application().OnException = [this](const std::exception& e) { Errors.push_back(e.what()); };
        Engine = new CountingVariant(nullptr);
        Configure(*Engine, Op::toPush, false, Plain);
        Engine->SetUseThread(GetParam());
        Engine->OnDone = [this](Toolkit::TObject*) {
            EXPECT_FALSE(Engine->Active()) << "Stop comes before OnDone";
            ++Done;
            if (OnDone) OnDone();
        };
        Toolkit::Application().ProcessMessages();
        Engine->Paints = 0;
    }
    void TearDown() override {
        delete Engine;
        Toolkit::Application().OnException = nullptr;
        Toolkit::Application().ProcessMessages();
    }

    // Lets one Interval pass: its tick and the repaint it asks for run.
    void Tick() {
        if (!GetParam()) {
            Toolkit::Headless::AdvanceTime(Interval);
            return;
        }
        ASSERT_TRUE(WaitForSleepers(1));
        const std::uint64_t before = Toolkit::SynchronizedCallsRun();
        Toolkit::Headless::AdvanceTime(Interval);
        ASSERT_TRUE(Toolkit::Headless::WaitForSynchronizedCallsBeyond(before));
        Toolkit::Application().ProcessMessages();
    }

    static constexpr std::uint32_t Interval = 100;
    CountingVariant* Engine = nullptr;
    int Done = 0;
    std::function<void()> OnDone;
    std::vector<std::string> Errors;
};

}  // namespace

// Push over 12 pixels with Steps 5: frames 4, 9, then 14 clamped to 12, which ends the
// run. A repaint afterwards meets the end again but raises nothing; the next Play raises
// OnDone again at its own end.
TEST_P(WipeaxRun, EndsInThePaintWithStopThenOnDoneOncePerPlay) {
    Engine->SetSteps(5);
    Engine->Play();
    EXPECT_EQ(Engine->FrameCounter(), -1);
    std::vector<std::int32_t> frames;
    for (int i = 0; i < 3; ++i) {
        ASSERT_NO_FATAL_FAILURE(Tick());
        frames.push_back(Engine->FrameCounter());
    }
    EXPECT_EQ(frames, (std::vector<std::int32_t>{4, 9, W}));
    EXPECT_EQ(Done, 1);
    EXPECT_FALSE(Engine->Active());
    EXPECT_TRUE(FrameEquals(Engine->Surface(), W, H, [](int x, int y) { return Coord(x, y, ToTag); }));

    Engine->Invalidate();
    Toolkit::Application().ProcessMessages();
    EXPECT_EQ(Done, 1);

    Engine->Play();
    for (int i = 0; i < 3; ++i) ASSERT_NO_FATAL_FAILURE(Tick());
    EXPECT_EQ(Done, 2);
    EXPECT_TRUE(Errors.empty());
}

// The handler frees the engine inside its own paint: nothing of it is touched afterwards
// and no tick arrives later (the sanitizers check the first).
TEST_P(WipeaxRun, OnDoneMayFreeTheEngine) {
    Engine->SetSteps(100);
    OnDone = [this] {
        delete Engine;
        Engine = nullptr;
    };
    Engine->Play();
    ASSERT_NO_FATAL_FAILURE(Tick());
    EXPECT_EQ(Done, 1);
    EXPECT_EQ(Engine, nullptr);
    Toolkit::Headless::AdvanceTime(10 * Interval);
    Toolkit::Application().ProcessMessages();
    EXPECT_EQ(Done, 1);
}

INSTANTIATE_TEST_SUITE_P(TimerAndThread, WipeaxRun, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Thread" : "Timer"; });

// One control painting every operation in turn, on pictures of the control's size and on a
// shorter incoming one, shows in each paint what a new control's first paint shows:
// nothing of an earlier paint's frame remains in the next one.
TEST(WipeaxPaint, APaintShowsNothingOfTheFrameBefore) {
    // Whether the paint raised (blending pictures of two sizes does). The control keeps
    // what it showed where a frame smaller than it does not reach: both start blank.
    auto paint = [](Wipeax::TLumawipe& e) {
        e.Canvas().Brush.Color = Toolkit::clBlack;
        e.Canvas().FillRect(Toolkit::Rect(0, 0, W, H));
        try {
            e.PaintControl();
            return false;
        } catch (const Wipekit::ELumawipe&) {
            return true;
        }
    };
    Wipeax::TLumawipe reused(nullptr);
    for (const OperationCase& c : Operations)
        for (int toH : {H, H / 2}) {
            SCOPED_TRACE(std::string(Wipekit::OperationName(c.Operation)) + " to height " + std::to_string(toH));
            const std::int32_t frame = c.Last / 2;
            reused.Stop();
            Configure(reused, c.Operation, false, Plain, toH);
            PlayTo(reused, frame);
            const bool raised = paint(reused);

            Wipeax::TLumawipe fresh(nullptr);
            Configure(fresh, c.Operation, false, Plain, toH);
            PlayTo(fresh, frame);
            EXPECT_EQ(raised, paint(fresh));
            ASSERT_TRUE(FrameEquals(reused.Surface(), W, H, [&](int x, int y) { return PixelOf(fresh.Surface(), x, y); }));
        }
}

TEST(WipeaxPaint, TicksBeforeARepaintMergeIntoOneFrame) {
    Toolkit::Headless::UseVirtualTime(true);
    CountingVariant variant(nullptr);
    Configure(variant, Op::toPush, false, Plain);
    Toolkit::Application().ProcessMessages();
    variant.SetSteps(2);
    variant.Play();
    variant.Paints = 0;
    for (int i = 0; i < 3; ++i) variant.AdvanceFrame(nullptr);
    EXPECT_EQ(variant.Paints, 0) << "a tick only asks for a repaint";
    Toolkit::Application().ProcessMessages();
    EXPECT_EQ(variant.Paints, 1);
    EXPECT_EQ(variant.FrameCounter(), 5);

    Wipekit::TLumawipe full(nullptr);
    Configure(full, Op::toPush, false, Plain);
    PlayTo(full, 5);
    EXPECT_TRUE(FrameEquals(variant.Surface(), W, H, [&](int x, int y) { return PixelOf(full.WorkBitmap(), x, y); }));
}

// Enumerations arrive as any byte and Delta and Steps as any integer: outside their
// ranges no routine runs, every paint shows the Color fill and a run never ends.
TEST(WipeaxPaint, ValuesOutsideTheirRangesDrawTheFillAndNeverEnd) {
    struct Case {
        const char* Name;
        Op Operation;
        std::function<void(Wipeax::TLumawipe&)> Store;
    };
    const Case cases[] = {
        {"operation 20", Op::toPush, [](auto& e) { e.SetOperation(Op(20)); }},
        {"operation 255", Op::toPush, [](auto& e) { e.SetOperation(Op(255)); }},
        {"modifier 4", Op::toPush, [](auto& e) { e.SetModifier(Mod(4)); }},
        {"modifier 255", Op::toCrush, [](auto& e) { e.SetModifier(Mod(255)); }},
        {"RGB order 6", Op::toRGB, [](auto& e) { e.SetRGBOrder(TRGBOrder(6)); }},
        {"RGB order 6 (push)", Op::toPush, [](auto& e) { e.SetRGBOrder(TRGBOrder(6)); }},
        {"delta 0", Op::toBlinds, [](auto& e) { e.SetDelta(0); }},
        {"delta -7", Op::toSpiral, [](auto& e) { e.SetDelta(-7); }},
        {"delta INT_MIN", Op::toMosaic, [](auto& e) { e.SetDelta(INT32_MIN); }},
        {"steps 0", Op::toReplace, [](auto& e) { e.SetSteps(0); }},
        {"steps -3", Op::toPush, [](auto& e) { e.SetSteps(-3); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Wipeax::TLumawipe variant(nullptr);
        Configure(variant, c.Operation, false, Plain);
        variant.SetSteps(1000);  // far beyond every end
        int done = 0;
        variant.OnDone = [&](Toolkit::TObject*) { ++done; };
        c.Store(variant);
        const bool noOperation = int(variant.Operation()) >= Wipeax::OperationCount;
        const bool stepsStill = variant.Steps() < 1;

        variant.Play();
        // Without an operation there is no first frame to rewind to.
        EXPECT_EQ(variant.FrameCounter(), noOperation ? 0 : -1);
        const std::int32_t start = variant.FrameCounter();
        for (int i = 0; i < 3; ++i) {
            variant.AdvanceFrame(nullptr);
            variant.PaintControl();
            ASSERT_TRUE(ShowsFill(variant.Surface()));
        }
        EXPECT_TRUE(variant.Active());
        EXPECT_EQ(done, 0);
        if (stepsStill) {
            EXPECT_EQ(variant.FrameCounter(), start) << "a step below 1 moves nothing";
        }
    }
}

TEST(WipeaxPaint, HugeStepsSaturateTheCounter) {
    Wipeax::TLumawipe variant(nullptr);
    Configure(variant, Op::toPush, false, Plain);
    variant.SetOperation(Op(20));  // no routine: nothing clamps the counter
    variant.SetSteps(INT32_MAX);
    for (int i = 0; i < 3; ++i) variant.AdvanceFrame(nullptr);
    EXPECT_EQ(variant.FrameCounter(), INT32_MAX);
}

// Blend refuses pictures of two sizes: the paint still shows the frame drawn so far (the
// fill) before the error leaves it, and the run goes on.
TEST(WipeaxPaint, AFailingRoutineStillShowsTheFrame) {
    Wipeax::TLumawipe variant(nullptr);
    Configure(variant, Op::toBlend, false, Plain, H - 1);
    variant.Play();
    variant.Canvas().Brush.Color = 0x00ABCDEF;
    variant.Clear();
    EXPECT_THROW(variant.PaintControl(), Wipekit::ELumawipeBitmapSize);
    EXPECT_TRUE(ShowsFill(variant.Surface()));
    EXPECT_TRUE(variant.Active());
}

TEST(WipeaxProperties, StartAsTheFullEnginesExceptVersionAndCounter) {
    Wipeax::TLumawipe e(nullptr);
    EXPECT_EQ(e.About(), Lines({"Component: TLumawipe", "Version: 3.0", "Author: The Lumawipe developers",
                                "Contact: lumawipe@lumawipe.example"}));
    EXPECT_EQ(e.Color(), Toolkit::clBtnFace);
    EXPECT_EQ(e.Width(), 65);
    EXPECT_EQ(e.Height(), 65);
    EXPECT_TRUE(e.Opaque());
    EXPECT_TRUE(e.FromBitmap().Empty());
    EXPECT_TRUE(e.ToBitmap().Empty());
    EXPECT_EQ(e.Delta(), 10);
    EXPECT_EQ(e.Interval(), 100u);
    EXPECT_EQ(e.RGBOrder(), TRGBOrder::coRGB);
    EXPECT_EQ(e.Modifier(), Mod::tmLeft);
    EXPECT_EQ(e.Operation(), Op::toPush);
    EXPECT_FALSE(e.Reverse());
    EXPECT_FALSE(e.UseThread());
    EXPECT_EQ(e.Steps(), 1);
    EXPECT_EQ(e.FrameCounter(), 0);
    EXPECT_FALSE(e.Active());
}

// While a run plays the setters leave everything alone, but a picture changed in place
// (as the wrapper's handle adoption does) takes effect and sets Color from its corner.
TEST(WipeaxProperties, SettersWaitForTheRunButPicturesChangedInPlaceDoNot) {
    Wipeax::TLumawipe e(nullptr);
    Configure(e, Op::toPush, false, Plain);
    e.Play();
    TBitmap other;
    MakeCoordPicture(other, 5, 5, 0x11);
    e.SetColor(0x00FF0000);
    e.SetFromBitmap(other);
    e.SetToBitmap(other);
    e.SetOperation(Op::toFade);
    e.SetModifier(Mod::tmUp);
    e.SetReverse(true);
    e.SetRGBOrder(TRGBOrder::coBGR);
    EXPECT_EQ(e.Color(), Fill);
    EXPECT_EQ(e.FromBitmap().Width(), W);
    EXPECT_EQ(e.ToBitmap().Width(), W);
    EXPECT_EQ(e.Operation(), Op::toPush);
    EXPECT_EQ(e.Modifier(), Mod::tmLeft);
    EXPECT_FALSE(e.Reverse());
    EXPECT_EQ(e.RGBOrder(), TRGBOrder::coRGB);

    e.FromBitmap().Assign(other);
    EXPECT_EQ(e.FromBitmap().Width(), 5);
    EXPECT_EQ(e.Color(), other.Canvas().Pixel(0, 0));
    e.FromBitmap().SetSize(0, 0);
    EXPECT_EQ(e.Color(), other.Canvas().Pixel(0, 0)) << "an emptied picture keeps the colour";
}

// Painting never changes the control's canvas: Clear fills with the brush its owner left
// there (white when none was set), whether the frames were drawn on the control's surface
// (pictures of its size) or in a bitmap of the component's own (a shorter to picture).
TEST(WipeaxProperties, ClearFillsWithTheCanvasBrushWhicheverWayFramesWereDrawn) {
    Toolkit::Headless::UseVirtualTime(true);
    for (const int toH : {H, H - 3})
        for (const TColor brush : {Toolkit::clWhite, TColor(0x00ABCDEF)}) {
            CountingVariant e(nullptr);
            Configure(e, Op::toPush, false, Plain, toH);
            if (brush != Toolkit::clWhite) e.Canvas().Brush.Color = brush;
            PlayTo(e, 1);
            e.PaintControl();
            e.Stop();
            e.Clear();
            EXPECT_TRUE(FrameEquals(e.Surface(), W, H, [&](int, int) { return ColorPx(brush); }))
                << "to picture height " << toH << ", brush " << brush;
        }
}

// Clear blanks the control with its canvas's brush until the next paint; a new RGBOrder
// shows from the next paint on, which it does not ask for.
TEST(WipeaxProperties, ClearAndRGBOrderWaitForTheNextPaint) {
    Toolkit::Headless::UseVirtualTime(true);
    CountingVariant e(nullptr);
    Configure(e, Op::toRGB, false, Plain);
    PlayTo(e, 1);  // frame 1 keeps two of the channels
    e.Stop();
    Toolkit::Application().ProcessMessages();

    constexpr TColor Brush = 0x00ABCDEF;
    e.Canvas().Brush.Color = Brush;
    e.Clear();
    EXPECT_TRUE(FrameEquals(e.Surface(), W, H, [](int, int) { return ColorPx(Brush); }));
    EXPECT_EQ(e.Color(), Fill);
    EXPECT_EQ(e.FrameCounter(), 1);

    e.Paints = 0;
    e.SetRGBOrder(TRGBOrder::coBGR);
    Toolkit::Application().ProcessMessages();
    EXPECT_EQ(e.Paints, 0);
    e.PaintControl();
    Wipekit::TLumawipe full(nullptr);
    Configure(full, Op::toRGB, false, Setting{Mod::tmLeft, 3, TRGBOrder::coBGR});
    PlayTo(full, 1);
    EXPECT_TRUE(FrameEquals(e.Surface(), W, H, [&](int x, int y) { return PixelOf(full.WorkBitmap(), x, y); }));
}
