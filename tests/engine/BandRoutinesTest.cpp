// Blinds, checker blinds, spiral and checkerboard are drawn row by row from marks of the
// pixels each picture covers; over seeded cases they must draw exactly the frames that copying their
// bands one at a time draws, report the same clamped frame and end on the same frame.
#include <climits>
#include <cstdint>
#include <random>
#include <sstream>

#include "engine/EffectScene.h"
#include "engine/effects/BandFrames.h"
#include "BandRoutines.h"

using namespace EffectScene;

namespace {

struct Routine {
    const char* Name;
    TEffectProc RowWise;
    TEffectProc ByBands;
    std::int64_t (*Last)(std::int64_t delta);  // the run's last frame
};

const Routine Routines[] = {
    {"blinds", BlindsEffect, Effects::BlindsByBands, [](std::int64_t d) { return d; }},
    {"checker blinds", CheckerBlindsEffect, Effects::CheckerBlindsByBands, [](std::int64_t d) { return 2 * d; }},
    {"spiral", SpiralEffect, Effects::SpiralByBands, [](std::int64_t d) { return d * d; }},
    {"checkerboard", CheckerboardEffect, Effects::CheckerboardByBands,
     [](std::int64_t) { return std::int64_t(Effects::CheckerStages); }},
};

constexpr int Sides[] = {1, 1, 2, 3, 7, 16, 33, 40};
constexpr TPositiveInteger Deltas[] = {0, 1, 2, 3, 5, 8, 13, 40, 1 << 20, INT32_MAX};
constexpr int CasesPerRoutine = 480;

// A frame of one case drawn by one routine, on pictures and a work bitmap of its own.
struct Drawn {
    TBitmap From, To, Work;
    TTransitionParams P{};
    bool Finished = false;
};

template <class SetUp>
void Draw(Drawn& d, TEffectProc proc, const Sizes& s, bool workIsFrom, SetUp&& setUp) {
    MakeCoordPicture(d.From, s.FromW, s.FromH, FromTag);
    MakeCoordPicture(d.To, s.ToW, s.ToH, ToTag);
    d.Work.SetSize(s.W, s.H);
    d.Work.Canvas().Brush.Color = Fill;
    d.Work.Canvas().FillRect(Toolkit::Rect(0, 0, s.W, s.H));
    setUp(d.P);
    d.P.ClampedFrame = INT32_MIN + 7;
    d.Finished = proc(d.From, d.To, workIsFrom ? d.From : d.Work, &d.P);
}

}  // namespace

TEST(BandRoutines, RowWiseFramesEqualBandByBandFrames) {
    std::mt19937 rng(20240613);
    auto below = [&](int n) { return int(rng() % unsigned(n)); };
    auto side = [&] { return Sides[below(std::size(Sides))]; };
    for (const Routine& routine : Routines) {
        for (int i = 0; i < CasesPerRoutine; ++i) {
            Sizes s = Square(side(), side());
            switch (below(8)) {
                case 0:  // pictures of another size than the frame, and of each other
                    s.FromW = side(), s.FromH = side(), s.ToW = side(), s.ToH = side();
                    break;
                case 1:  // no incoming picture
                    s.ToW = s.ToH = 0;
                    break;
                default:
                    break;
            }
            const Mod modifier = AllModifiers[i % 4];
            const bool reverse = i / 4 % 2 == 1;
            const TPositiveInteger delta = Deltas[below(std::size(Deltas))];
            const std::int64_t last = routine.Last(delta < 1 ? 1 : delta);
            const std::int64_t frames[] = {-3, 0, 1, last / 2, last - 1, last, last + 1,
                                           std::int64_t(rng() % std::uint64_t(last + 1)), INT32_MAX};
            const std::int64_t f64 = frames[below(std::size(frames))];
            const std::int32_t frame = std::int32_t(std::clamp<std::int64_t>(f64, INT32_MIN, INT32_MAX));
            Toolkit::TRect client = Toolkit::Rect(0, 0, s.W, s.H);
            if (below(6) == 0) client = Toolkit::Rect(below(3) - 1, below(3) - 1, s.W + below(3) - 1, s.H - below(3));
            // Drawn onto the outgoing picture itself, rarely: each copy reads what the one before left.
            const bool workIsFrom = below(16) == 0;

            auto setUp = [&](TTransitionParams& p) {
                p.Color = Fill;
                p.Delta = delta;
                p.CurrentFrame = frame;
                p.Modifier = modifier;
                p.Reverse = reverse;
                p.ClientRect = client;
            };
            Drawn rowWise, byBands;
            Draw(rowWise, routine.RowWise, s, workIsFrom, setUp);
            Draw(byBands, routine.ByBands, s, workIsFrom, setUp);

            std::ostringstream what;
            what << routine.Name << " case " << i << ": " << s.W << "x" << s.H << " from " << s.FromW << "x"
                 << s.FromH << " to " << s.ToW << "x" << s.ToH << ", modifier " << int(modifier) << ", reverse "
                 << reverse << ", Delta " << delta << ", frame " << frame << (workIsFrom ? ", onto From" : "");
            SCOPED_TRACE(what.str());
            EXPECT_EQ(rowWise.Finished, byBands.Finished);
            EXPECT_EQ(rowWise.P.ClampedFrame, byBands.P.ClampedFrame);
            const TBitmap& expected = workIsFrom ? byBands.From : byBands.Work;
            const TBitmap& actual = workIsFrom ? rowWise.From : rowWise.Work;
            ASSERT_EQ(actual.Width(), expected.Width());
            ASSERT_EQ(actual.Height(), expected.Height());
            ASSERT_TRUE(FrameEquals(actual, actual.Width(), actual.Height(),
                                    [&](int x, int y) { return PixelOf(expected, x, y); }));
        }
    }
}
