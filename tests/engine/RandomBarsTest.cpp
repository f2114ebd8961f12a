// The shared generator, the random-bar state objects and whole random-bar runs, checked
// against a model that picks from the same generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "engine/FXStates.h"
#include "support/Fixtures.h"

using namespace Wipekit;
using namespace Fixtures;
using Mod = TTransitionModifier;
using Op = TTransitionOperation;

namespace {

// Read before any test runs: the seed a fresh process starts with.
const std::uint32_t SeedAtStartup = RandSeed();

std::vector<int> Values(const TBarNode* node) {
    std::vector<int> v;
    for (; node; node = node->Next) v.push_back(node->Value);
    return v;
}

std::vector<int> Ascending(int n) {
    std::vector<int> v(std::size_t(std::max(n, 0)));
    std::iota(v.begin(), v.end(), 0);
    return v;
}

// Line of the shorter side that index v of the longer side reveals: v * shorter / longer
// rounded to the nearest integer, halves to even (the default rounding of nearbyint).
int Scaled(int v, int shorter, int longer) { return int(std::nearbyint(double(v) * shorter / longer)); }

// Whether the bars shown reveal pixel (x, y) of a W x H frame.
bool Revealed(Op op, Mod mod, const std::vector<int>& shown, int W, int H, int x, int y) {
    for (const int v : shown) {
        if (op == Op::toRandomBars) {
            if (mod == Mod::tmLeft || mod == Mod::tmRight ? x == v : y == v) return true;
        } else if (W > H) {
            if (x == v || y == Scaled(v, H, W)) return true;
        } else {
            if (x == Scaled(v, W, H) || y == v) return true;
        }
    }
    return false;
}

struct RunCase {
    Op op;
    Mod mod;
    bool reverse;
    int W, H;
    int steps;
    int toW = -1, toH = -1;  // size of ToBitmap when it differs from the control's
};

std::string Describe(const RunCase& c) {
    return std::string(OperationName(c.op)) + " " + std::string(ModifierName(c.mod)) + (c.reverse ? " reverse" : "") +
           " " + std::to_string(c.W) + " x " + std::to_string(c.H) + ", steps " + std::to_string(c.steps) +
           (c.toW < 0 ? "" : ", To " + std::to_string(c.toW) + " x " + std::to_string(c.toH));
}

// Plays a whole run through the component and checks every frame: the bars picked, the
// lists of the state object and the pixels. Returns the bars in the sequence picked.
std::vector<int> CheckRun(const RunCase& c) {
    const std::string what = Describe(c);
    Pictures pics(c.W, c.H, c.toW, c.toH);
    const TBitmap& bars = c.reverse ? pics.From : pics.To;
    const TBitmap& background = c.reverse ? pics.To : pics.From;
    TLumawipe w(nullptr);
    w.SetBounds(0, 0, c.W, c.H);
    w.SetFromBitmap(pics.From);
    w.SetToBitmap(pics.To);
    w.SetModifier(c.mod);
    w.SetReverse(c.reverse);
    w.SetSteps(c.steps);
    w.SetOperation(c.op);
    bool done = false;
    w.OnDone = [&](Toolkit::TObject*) { done = true; };
    const Px fill = ColorPx(w.Color());

    const int barCount = c.op == Op::toTwinRandomBars                       ? std::max(c.W, c.H)
                         : c.mod == Mod::tmLeft || c.mod == Mod::tmRight ? c.W
                                                                           : c.H;
    w.Play();
    auto* s = dynamic_cast<TBarsFXState*>(w.State());
    EXPECT_NE(s, nullptr) << what;
    if (!s) return {};
    EXPECT_EQ(s->BarCount, barCount) << what;
    EXPECT_EQ(w.CurrentFrame(), -1) << what;
    EXPECT_EQ(Values(s->Remaining), Ascending(barCount)) << what;
    EXPECT_EQ(s->Shown, nullptr) << what;

    ModelRandom random{RandSeed()};
    std::vector<int> remaining = Ascending(barCount), shown;
    for (int tick = 0; !done; ++tick) {
        if (tick > 2 * barCount + 2) {
            ADD_FAILURE() << "no end: " << what;
            break;
        }
        w.AdvanceFrame(nullptr);
        const int f = w.CurrentFrame();
        const std::string frame = what + ", frame " + std::to_string(f);
        if (f < barCount) {
            // Each pick draws from the first barCount - f entries of what is left.
            while (int(shown.size()) < f + 1) {
                const auto i = std::ptrdiff_t(random(std::uint32_t(barCount - f)));
                shown.push_back(remaining[std::size_t(i)]);
                remaining.erase(remaining.begin() + i);
            }
            EXPECT_EQ(Values(s->Shown), shown) << frame;
            EXPECT_EQ(Values(s->Remaining), remaining) << frame;
            EXPECT_EQ(s->ShownCount, f) << frame;
            EXPECT_TRUE(FrameEquals(w.WorkBitmap(), c.W, c.H, [&](int x, int y) {
                const auto revealed = PictureAt(bars, x, y);
                if (revealed && Revealed(c.op, c.mod, shown, c.W, c.H, x, y)) return *revealed;
                return PictureAt(background, x, y).value_or(fill);
            })) << frame;
        } else {
            EXPECT_TRUE(FrameEquals(w.WorkBitmap(), c.W, c.H, [&](int x, int y) { return PictureAt(bars, x, y).value_or(fill); }))
                << frame;
        }
        EXPECT_EQ(done, f > barCount) << frame;
    }
    // No other draw of the generator, and the state released at the end.
    EXPECT_EQ(RandSeed(), random.Seed) << what;
    EXPECT_EQ(s->Remaining, nullptr) << what;
    EXPECT_EQ(s->Shown, nullptr) << what;
    EXPECT_EQ(s->ShownCount, -1) << what;
    return shown;
}

// A state object showing exactly the given bars at frame shown.size() - 1, so that the
// routine picks nothing.
template <class TState>
void ShowBars(TState& s, int barCount, const std::vector<int>& bars, TTransitionParams& p) {
    s.BarCount = barCount;
    s.Prepare(&p);
    for (const int v : bars) {
        s.ShownTail = AppendBar(s.ShownTail, v);
        if (!s.Shown) s.Shown = s.ShownTail;
        ++s.ShownCount;
    }
    p.CurrentFrame = s.ShownCount;
}

TTransitionParams ParamsFor(TFXState* state, int W, int H) {
    TTransitionParams p{};
    p.Color = 0x00FF00;
    p.Delta = 10;
    p.State = state;
    p.ClientRect = Toolkit::Rect(0, 0, W, H);
    return p;
}

}  // namespace

TEST(Random, AFreshProcessStartsAtSeedZero) {
    EXPECT_EQ(SeedAtStartup, 0u);
    // The first draws of a fresh process, worked out by hand from the formula.
    ModelRandom fresh{0};
    const std::uint32_t ranges[] = {446, 446, 446, 100, 7};
    const std::uint32_t expected[] = {0, 13, 384, 20, 1};
    for (std::size_t k = 0; k < std::size(ranges); ++k) EXPECT_EQ(fresh(ranges[k]), expected[k]) << "draw " << k;
    EXPECT_EQ(fresh.Seed, 1172187917u);
}

TEST(Random, ContinuesTheSequenceFromTheCurrentSeed) {
    ModelRandom model{RandSeed()};
    for (const std::uint32_t n : {1u, 2u, 7u, 446u, 1024u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0u}) {
        const std::uint32_t got = Random(n);
        EXPECT_EQ(got, model(n)) << "range " << n;
        if (n) {
            EXPECT_LT(got, n);
        }
    }
    EXPECT_EQ(RandSeed(), model.Seed);
}

TEST(BarsState, PrepareListsEveryBarAndReleaseFreesBoth) {
    TRandomBarsFXState s;
    EXPECT_EQ(s.Remaining, nullptr);
    EXPECT_EQ(s.Shown, nullptr);
    EXPECT_EQ(s.ShownCount, 0);
    EXPECT_EQ(s.BarCount, 0);
    struct Case {
        int barCount;
        std::vector<int> remaining;
    } const cases[] = {{4, {0, 1, 2, 3}}, {1, {0}}, {0, {0}}, {-3, {0}}};
    for (const auto& c : cases) {
        TTransitionParams p{};
        p.CurrentFrame = 17;
        s.Release(&p);
        s.BarCount = c.barCount;
        s.Prepare(&p);
        EXPECT_EQ(p.CurrentFrame, -1);
        EXPECT_EQ(s.ShownCount, -1);
        EXPECT_EQ(Values(s.Remaining), c.remaining) << "bars " << c.barCount;
        EXPECT_EQ(s.RemainingTail->Value, c.remaining.back());
        EXPECT_EQ(s.RemainingTail->Next, nullptr);
        EXPECT_EQ(s.Shown, nullptr);
        s.Shown = s.ShownTail = AppendBar(nullptr, 2);
        s.ShownTail = AppendBar(s.ShownTail, 5);
        EXPECT_EQ(Values(s.Shown), (std::vector<int>{2, 5}));
        s.Release(&p);
        EXPECT_EQ(s.Remaining, nullptr);
        EXPECT_EQ(s.RemainingTail, nullptr);
        EXPECT_EQ(s.Shown, nullptr);
        EXPECT_EQ(s.ShownTail, nullptr);
        EXPECT_EQ(s.ShownCount, -1);
        EXPECT_EQ(p.CurrentFrame, -1);
    }
    // A second Prepare without Release replaces the list; the sanitizer sees no leak.
    s.BarCount = 3;
    s.Prepare(nullptr);
    s.Prepare(nullptr);
    EXPECT_EQ(Values(s.Remaining), (std::vector<int>{0, 1, 2}));
}

// The component creates, prepares, releases and frees the state objects; the address
// sanitizer watches for leaks and double frees.
TEST(BarsState, ComponentLifecycle) {
    Pictures pics(10, 6);
    auto w = std::make_unique<TLumawipe>(nullptr);
    w->SetBounds(0, 0, 10, 6);
    w->SetFromBitmap(pics.From);
    w->SetToBitmap(pics.To);
    w->SetOperation(Op::toRandomBars);
    auto* bars = dynamic_cast<TRandomBarsFXState*>(w->State());
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->ShownCount, 0);  // created, not prepared
    EXPECT_EQ(bars->Remaining, nullptr);

    // The frame cannot be set for these operations.
    const std::int32_t before = w->CurrentFrame();
    w->SetCurrentFrame(5);
    EXPECT_EQ(w->CurrentFrame(), before);

    // BarCount follows the modifier; a new Play starts over with every bar.
    struct Case {
        Op op;
        Mod mod;
        int W, H, bars;
    } const cases[] = {
        {Op::toRandomBars, Mod::tmLeft, 10, 6, 10},    {Op::toRandomBars, Mod::tmRight, 10, 6, 10},
        {Op::toRandomBars, Mod::tmUp, 10, 6, 6},       {Op::toRandomBars, Mod::tmDown, 10, 6, 6},
        {Op::toTwinRandomBars, Mod::tmLeft, 10, 6, 10}, {Op::toTwinRandomBars, Mod::tmUp, 6, 10, 10},
        {Op::toTwinRandomBars, Mod::tmLeft, 7, 7, 7},
    };
    for (const auto& c : cases) {
        w->SetBounds(0, 0, c.W, c.H);
        w->SetModifier(c.mod);
        w->SetOperation(c.op);
        w->Play();
        w->AdvanceFrame(nullptr);
        w->AdvanceFrame(nullptr);
        w->Stop();
        w->Play();
        auto* s = dynamic_cast<TBarsFXState*>(w->State());
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->BarCount, c.bars) << OperationName(c.op) << " " << ModifierName(c.mod);
        EXPECT_EQ(Values(s->Remaining), Ascending(c.bars));
        EXPECT_EQ(s->Shown, nullptr);
        EXPECT_EQ(w->CurrentFrame(), -1);
        w->AdvanceFrame(nullptr);
        EXPECT_EQ(Values(s->Shown).size(), 1u);
        w->Stop();
    }
    EXPECT_NE(dynamic_cast<TTwinRandomBarsFXState*>(w->State()), nullptr);

    // Another operation frees the state; coming back creates a fresh, unprepared one.
    w->SetOperation(Op::toPush);
    EXPECT_EQ(w->State(), nullptr);
    w->SetOperation(Op::toTwinRandomBars);
    auto* fresh = dynamic_cast<TTwinRandomBarsFXState*>(w->State());
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->ShownCount, 0);
    EXPECT_EQ(fresh->BarCount, 0);
    EXPECT_EQ(fresh->Remaining, nullptr);

    // Destroyed in the middle of a run, with both lists populated.
    w->Play();
    for (int k = 0; k < 3; ++k) w->AdvanceFrame(nullptr);
    EXPECT_NE(fresh->Shown, nullptr);
    EXPECT_NE(fresh->Remaining, nullptr);
    w.reset();
}

TEST(RandomBars, WholeRunsRevealEveryBarOnce) {
    const RunCase cases[] = {
        {Op::toRandomBars, Mod::tmLeft, false, 12, 7, 1},      {Op::toRandomBars, Mod::tmRight, true, 12, 7, 1},
        {Op::toRandomBars, Mod::tmUp, false, 12, 7, 1},        {Op::toRandomBars, Mod::tmDown, true, 12, 7, 1},
        {Op::toRandomBars, Mod::tmLeft, false, 12, 7, 5},      {Op::toRandomBars, Mod::tmDown, false, 12, 7, 3},
        {Op::toTwinRandomBars, Mod::tmLeft, false, 12, 7, 1},  {Op::toTwinRandomBars, Mod::tmUp, true, 5, 9, 1},
        {Op::toTwinRandomBars, Mod::tmLeft, false, 9, 9, 1},   {Op::toTwinRandomBars, Mod::tmRight, false, 12, 7, 4},
        // Pictures smaller than the control, or none: bars are drawn only where it has pixels.
        {Op::toRandomBars, Mod::tmLeft, false, 12, 7, 1, 8, 5}, {Op::toTwinRandomBars, Mod::tmUp, true, 12, 7, 1, 8, 5},
        {Op::toRandomBars, Mod::tmUp, false, 12, 7, 1, 0, 0},   {Op::toTwinRandomBars, Mod::tmUp, false, 12, 7, 1, 0, 0},
    };
    for (const auto& c : cases) {
        const std::vector<int> shown = CheckRun(c);
        const std::set<int> distinct(shown.begin(), shown.end());
        EXPECT_EQ(distinct.size(), shown.size()) << "a bar picked twice: " << Describe(c);
        if (c.steps == 1) {
            std::vector<int> sorted = shown;
            std::sort(sorted.begin(), sorted.end());
            const int barCount = c.op == Op::toTwinRandomBars ? std::max(c.W, c.H)
                                 : c.mod == Mod::tmLeft || c.mod == Mod::tmRight ? c.W
                                                                                   : c.H;
            EXPECT_EQ(sorted, Ascending(barCount)) << Describe(c);
        }
    }
}

// The generator goes on from run to run: a second run draws other bars.
TEST(RandomBars, ConsecutiveRunsDrawDifferentSequences) {
    const RunCase c{Op::toRandomBars, Mod::tmLeft, false, 40, 3, 1};
    EXPECT_NE(CheckRun(c), CheckRun(c));
}

TEST(TwinRandomBars, IndexRevealsItsLineAndTheProportionalOne) {
    struct Case {
        int W, H, index, column, row;
    } const cases[] = {
        {100, 60, 50, 50, 30}, {100, 60, 25, 25, 15}, {100, 60, 5, 5, 3},
        // Halves round to even: 0.5, 1.5 and 2.5.
        {100, 50, 1, 1, 0},    {100, 50, 3, 3, 2},    {100, 50, 5, 5, 2},
        {60, 100, 50, 30, 50}, {50, 100, 1, 0, 1},    {50, 100, 3, 2, 3},   {50, 100, 5, 2, 5},
        {7, 7, 3, 3, 3},       {100, 50, 99, 99, 50},
    };
    for (const auto& c : cases) {
        Pictures pics(c.W, c.H);
        TTwinRandomBarsFXState s;
        TTransitionParams p = ParamsFor(&s, c.W, c.H);
        ShowBars(s, std::max(c.W, c.H), {c.index}, p);
        TBitmap work;
        work.SetSize(c.W, c.H);
        const std::uint32_t seed = RandSeed();
        EXPECT_FALSE(TwinRandomBarsEffect(pics.From, pics.To, work, &p));
        EXPECT_EQ(RandSeed(), seed);
        EXPECT_TRUE(FrameEquals(work, c.W, c.H, [&](int x, int y) {
            return PixelOf(x == c.column || y == c.row ? pics.To : pics.From, x, y);
        })) << c.W << " x " << c.H << ", index " << c.index;
    }
}

// A state object as created, before any Prepare: nothing is picked; the frame shows the
// outgoing picture before frame 0 and the incoming one from it on.
TEST(RandomBars, UnpreparedStateDrawsWithoutPicking) {
    for (const Op op : {Op::toRandomBars, Op::toTwinRandomBars}) {
        struct Case {
            int f;
            bool showsTo, last;
        } const cases[] = {{-1, false, false}, {0, true, false}, {1, true, true}, {40, true, true}};
        for (const auto& c : cases) {
            Pictures pics(6, 4);
            std::unique_ptr<TFXState> s(OperationTable[int(op)].StateClass());
            TTransitionParams p = ParamsFor(s.get(), 6, 4);
            p.CurrentFrame = c.f;
            TBitmap work;
            work.SetSize(6, 4);
            const std::uint32_t seed = RandSeed();
            EXPECT_EQ(OperationTable[int(op)].Forward(pics.From, pics.To, work, &p), c.last);
            EXPECT_EQ(RandSeed(), seed);
            EXPECT_TRUE(FrameEquals(work, 6, 4, [&](int x, int y) {
                return PixelOf(c.showsTo ? pics.To : pics.From, x, y);
            })) << OperationName(op) << ", frame " << c.f;
        }
    }
}

TEST(RandomBars, RoutineWithoutItsOwnStateObjectRaises) {
    Pictures pics(6, 4);
    TBitmap work;
    work.SetSize(6, 4);
    TTwinRandomBarsFXState twin;
    TRandomBarsFXState single;
    struct Case {
        TEffectProc proc;
        TFXState* state;
    } const cases[] = {{RandomBarsEffect, nullptr}, {RandomBarsEffect, &twin}, {TwinRandomBarsEffect, &single}};
    for (const auto& c : cases) {
        TTransitionParams p = ParamsFor(c.state, 6, 4);
        EXPECT_THROW(c.proc(pics.From, pics.To, work, &p), ELumawipe);
    }
}
