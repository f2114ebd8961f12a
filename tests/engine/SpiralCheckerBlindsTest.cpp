// Spiral and checker blinds frames checked pixel by pixel: the spiral against a literal
// step-by-step walk of the spiral in every cell, the checker blinds against the blind
// table of each modifier.
#include <climits>
#include <set>
#include <utility>

#include "engine/EffectScene.h"
#include "engine/effects/BandFrames.h"

using namespace EffectScene;
using Wipekit::Effects::SpiralCellRects;
using Wipekit::Effects::TCellRect;
using Wipekit::Effects::TSpiralRects;

namespace {

// The spiral walked one step at a time, turning at the fences.
struct Walk {
    std::int64_t px, py, minX, minY, maxX, maxY, dx = 1, dy = 0;
    std::set<std::pair<std::int64_t, std::int64_t>> visited;

    explicit Walk(std::int64_t d) : px(d / 2), py(d / 2), minX(d / 2 - 1), minY(d / 2 - 1), maxX(d / 2 + 1), maxY(d / 2 + 1) {}

    void Step(bool record) {
        px += dx;
        py += dy;
        if (record) visited.insert({px, py});
    }
    // Made after every step but the last.
    void Turn() {
        if (px >= maxX) {
            ++maxX;
            dx = 0, dy = 1;
        } else if (px <= minX) {
            --minX;
            dx = 0, dy = -1;
        }
        if (py >= maxY) {
            ++maxY;
            dx = -1, dy = 0;
        } else if (py <= minY) {
            --minY;
            dx = 1, dy = 0;
        }
    }
};

Walk WalkSpiral(std::int64_t N, std::int64_t d) {
    Walk w(d);
    w.visited.insert({w.px, w.py});
    for (std::int64_t k = 1; k <= N; ++k) {
        if (k > 1) w.Turn();
        w.Step(true);
    }
    return w;
}

// The rectangles of a walk by the direction of its last step.
TSpiralRects RectsOf(const Walk& w, std::int64_t N) {
    TSpiralRects r{};
    if (w.dx == 1) {
        r.Rects[0] = {w.minX + 1, w.minY + 2, w.maxX - 1, w.maxY - 1};
        r.Rects[1] = {w.minX + 1, w.minY + 1, w.px, w.minY + 1};
    } else if (w.dy == 1) {
        r.Rects[0] = {w.minX + 1, w.minY + 1, w.maxX - 2, w.maxY - 1};
        r.Rects[1] = {w.maxX - 1, w.minY + 1, w.maxX - 1, w.py};
    } else if (w.dx == -1) {
        r.Rects[0] = {w.minX + 1, w.minY + 1, w.maxX - 1, w.maxY - 2};
        r.Rects[1] = {w.px, w.maxY - 1, w.maxX - 1, w.maxY - 1};
    } else {
        r.Rects[0] = {w.minX + 2, w.minY + 1, w.maxX - 1, w.maxY - 1};
        r.Rects[1] = {w.minX + 1, w.py, w.minX + 1, w.maxY - 1};
    }
    const TCellRect& f = r.Rects[0];
    r.Count = (f.Right - f.Left + 1) * (f.Bottom - f.Top + 1) < N ? 2 : 1;
    return r;
}

std::string ToString(const TCellRect& r) {
    return "(" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + ", " + std::to_string(r.Right) + ", " +
           std::to_string(r.Bottom) + ")";
}

::testing::AssertionResult SameRects(const TSpiralRects& got, const TSpiralRects& want) {
    if (got.Count != want.Count)
        return ::testing::AssertionFailure() << got.Count << " rectangles, want " << want.Count;
    for (int i = 0; i < want.Count; ++i)
        if (!(got.Rects[i] == want.Rects[i]))
            return ::testing::AssertionFailure() << "rectangle " << i << " is " << ToString(got.Rects[i]) << ", want "
                                                 << ToString(want.Rects[i]);
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(SpiralCellRects, WorkedExamples) {
    // Seven steps in a 5 x 5 cell end at (2, 1) moving right.
    EXPECT_TRUE(SameRects(SpiralCellRects(7, 5), TSpiralRects{{{1, 2, 3, 3}, {1, 1, 2, 1}}, 2}));
    // No step: one rectangle built upside down around the centre.
    EXPECT_TRUE(SameRects(SpiralCellRects(0, 9), TSpiralRects{{{4, 5, 4, 4}, {}}, 1}));
    // The last frame of an odd cell: the whole cell and one step past its top-right corner,
    // also where the cell is far larger than 32-bit coordinates reach.
    const std::int64_t d = INT_MAX;
    EXPECT_TRUE(SameRects(SpiralCellRects(d * d, d), TSpiralRects{{{0, 1, d - 1, d - 1}, {0, 0, d, 0}}, 2}));
}

TEST(SpiralCellRects, MatchesTheStepByStepWalk) {
    // One walk per cell size, compared after every step; long walks check that the leg
    // holding step N is found exactly.
    struct Case {
        std::int64_t d, lastN;
    } const cases[] = {{1, 4}, {2, 7}, {3, 12}, {4, 19}, {5, 28}, {8, 67}, {9, 84}, {50, 2503}, {51, 2604},
                       {2001, 2001 * 2001 + 3}};
    for (const auto& c : cases) {
        Walk w(c.d);
        for (std::int64_t N = 0; N <= c.lastN; ++N) {
            if (N > 1) w.Turn();
            if (N > 0) w.Step(false);
            const TSpiralRects got = SpiralCellRects(N, c.d);
            const TSpiralRects want = RectsOf(w, N);
            if (!SameRects(got, want)) {
                ADD_FAILURE() << "d " << c.d << " N " << N << ": " << SameRects(got, want).message();
                break;
            }
        }
    }
    EXPECT_TRUE(SameRects(SpiralCellRects(-5, 9), SpiralCellRects(0, 9)));
}

TEST(Spiral, EveryFrameUncoversTheWalkInEveryCell) {
    struct Case {
        Sizes sizes;
        int delta;
    } const cases[] = {
        {Square(13, 11), 4},            // even cells also paint their neighbours' first row and column
        {Square(13, 11), 5},
        {Square(5, 4), 1},
        {{12, 10, 12, 10, 9, 7}, 3},    // the frame takes the incoming picture's size
        {{8, 6, 11, 9, 11, 9}, 4},      // pictures larger than the control
    };
    for (const auto& c : cases)
        for (bool reverse : {false, true})
            for (int f = -1; f <= c.delta * c.delta + 1; ++f) {
                Scene s(c.sizes);
                s.P.Delta = c.delta;
                s.P.Reverse = reverse;
                SCOPED_TRACE(::testing::Message() << "size " << c.sizes.W << "x" << c.sizes.H << " delta " << c.delta
                                                  << " reverse " << reverse << " frame " << f);
                const bool finished = s.Draw(SpiralEffect, f);
                const std::int64_t d = c.delta;
                EXPECT_EQ(finished, f >= d * d);

                const TBitmap& S = reverse ? s.From : s.To;
                const TBitmap& B = reverse ? s.To : s.From;
                const std::int64_t N = std::clamp<std::int64_t>(f, 0, d * d);
                auto visited = WalkSpiral(N, d).visited;
                if (N <= 1) visited.insert({d / 2, d / 2 + 1});  // the upside-down first rectangle
                const int W = S.Width(), H = S.Height();
                EXPECT_TRUE(FrameEquals(s.Work, W, H, [&](int x, int y) {
                    for (std::int64_t cy = 0; cy < H; cy += d)
                        for (std::int64_t cx = 0; cx < W; cx += d)
                            if (visited.count({x - cx, y - cy})) return PixelOf(S, x, y);
                    const bool client = x < c.sizes.W && y < c.sizes.H;
                    if (client && reverse && finished) return PixelOf(S, x, y);
                    if (client) return Scene::Base(B, x, y);
                    return Px{};  // grown by the resize, outside the client rectangle
                }));
            }
}

// Delta x Delta beyond the 32-bit frame range is reached at the largest frame, which shows
// the full cell: all of the incoming picture for an odd Delta.
TEST(Spiral, HugeCells) {
    struct Case {
        int delta;
        int frame;
        bool finished;
        std::uint8_t tag;
    } const cases[] = {
        {46341, 0, false, FromTag},  // centred far outside the picture
        {46341, INT_MAX - 1, false, ToTag},
        {46341, INT_MAX, true, ToTag},
        {INT_MAX, 5, false, FromTag},
        {INT_MAX, INT_MAX, true, ToTag},
    };
    for (const auto& c : cases) {
        Scene s(Square(5, 4));
        s.P.Delta = c.delta;
        EXPECT_EQ(s.Draw(SpiralEffect, c.frame), c.finished) << "delta " << c.delta << " frame " << c.frame;
        EXPECT_TRUE(s.Shows([&](int x, int y) { return Coord(x, y, c.tag); }))
            << "delta " << c.delta << " frame " << c.frame;
    }
}

namespace {

// Whether the blinds of frame f (0 <= f <= 2d) cover (x, y), by the table of each modifier.
bool UnderBlind(Mod m, std::int64_t d, std::int64_t f, std::int64_t W, std::int64_t H, int x, int y) {
    auto in = [](std::int64_t v, std::int64_t lo, std::int64_t hi) { return v >= lo && v < hi; };
    switch (m) {
        case Mod::tmLeft:
            for (std::int64_t o = 0; o < W + d; o += 2 * d)
                if (y / d % 2 == 0 ? in(x, o, o + f) : in(x, o - d, o - d + f)) return true;
            return false;
        case Mod::tmRight:
            for (std::int64_t o = W; o > -d; o -= 2 * d)
                if (y / d % 2 == 0 ? in(x, o - f, o) : in(x, o + d - f, o + d)) return true;
            return false;
        case Mod::tmUp:
            for (std::int64_t o = H; o > -d; o -= 2 * d)
                if (x / d % 2 == 0 ? in(y, o - f, o) : in(y, o + d - f, o + d)) return true;
            return false;
        case Mod::tmDown:
            for (std::int64_t o = 0; o < H + d; o += 2 * d)
                if (x / d % 2 == 0 ? in(y, o, o + f) : in(y, o - d, o - d + f)) return true;
            return false;
    }
    return false;
}

}  // namespace

TEST(CheckerBlinds, EveryFrameMatchesTheBlindTable) {
    struct Case {
        Sizes sizes;
        int delta;
        std::vector<int> frames;
    } const cases[] = {
        {Square(11, 9), 3, Ticks(-1, 1, 7)},
        {{11, 9, 11, 9, 8, 6}, 3, Ticks(-1, 1, 7)},  // a smaller incoming picture
        {Square(11, 9), 1, Ticks(-1, 1, 3)},
        {Square(11, 9), 20, {0, 5, 39, 40, 41}},      // one period wider than the frame
        {Square(11, 9), INT_MAX, {0, 5, INT_MAX}},     // blind edges past the 32-bit range
        {Square(11, 9), 1 << 30, {INT_MAX - 1, INT_MAX}},  // 2 x Delta reached at the largest frame
    };
    for (const auto& c : cases)
        for (Mod m : AllModifiers)
            for (bool reverse : {false, true})
                for (int frame : c.frames) {
                    Scene s(c.sizes);
                    s.P.Delta = c.delta;
                    s.P.Modifier = m;
                    s.P.Reverse = reverse;
                    SCOPED_TRACE(::testing::Message() << "size " << c.sizes.W << "x" << c.sizes.H << " delta "
                                                      << c.delta << " modifier " << int(m) << " reverse " << reverse
                                                      << " frame " << frame);
                    const std::int64_t d = c.delta;
                    const bool finished = frame >= std::min<std::int64_t>(2 * d, INT_MAX);
                    EXPECT_EQ(s.Draw(CheckerBlindsEffect, frame), finished);
                    const std::int64_t f = finished ? 2 * d : frame;
                    const TBitmap& S = reverse ? s.From : s.To;
                    const TBitmap& B = reverse ? s.To : s.From;
                    EXPECT_TRUE(s.Shows([&](int x, int y) {
                        if (UnderBlind(m, d, f, c.sizes.W, c.sizes.H, x, y))
                            if (auto p = PictureAt(S, x, y)) return *p;
                        return Scene::Base(B, x, y);
                    }));
                }
}

// Half-way the blinds form a checkerboard of Delta-sized squares, the top-left one new.
TEST(CheckerBlinds, HalfWayIsACheckerboard) {
    Scene s(Square(40, 30));
    s.P.Delta = 10;
    EXPECT_FALSE(s.Draw(CheckerBlindsEffect, 10));
    EXPECT_TRUE(s.Shows([](int x, int y) { return Coord(x, y, (x / 10 + y / 10) % 2 == 0 ? ToTag : FromTag); }));
}

TEST(SpiralCheckerBlinds, RunsThroughTheComponent) {
    const auto to = [](int x, int y) { return Coord(x, y, ToTag); };
    const auto from = [](int x, int y) { return Coord(x, y, FromTag); };
    struct Case {
        TTransitionOperation op;
        int delta;
        bool reverse;
        int lastFrame;
        std::function<Px(int, int)> last;
    } const cases[] = {
        {TTransitionOperation::toCheckerBlinds, 3, false, 6, to},
        {TTransitionOperation::toCheckerBlinds, 3, true, 6, from},
        {TTransitionOperation::toSpiral, 5, false, 25, to},  // an odd cell fills completely
        // An even cell covers columns and rows 1 to Delta: the top row and the left column
        // stay, but for the pixel each cell's last step reaches below it.
        {TTransitionOperation::toSpiral, 4, false, 16,
         [](int x, int y) { return Coord(x, y, y == 0 || (x == 0 && y % 4 != 0) ? FromTag : ToTag); }},
        {TTransitionOperation::toSpiral, 4, true, 16, from},  // a reversed run ends on FromBitmap whole
    };
    for (const auto& c : cases) {
        Player player(c.op, Square(13, 11), Mod::tmLeft, c.reverse, c.delta);
        const auto run = player.PlayToEnd();
        EXPECT_TRUE(run.Ended);
        EXPECT_EQ(run.Frames, Ticks(0, 1, c.lastFrame));
        EXPECT_TRUE(player.Shows(c.last)) << "operation " << int(c.op) << " reverse " << c.reverse;
    }
}
