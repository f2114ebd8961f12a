// toSpiral and toCheckerBlinds: the frame is tiled with cells Delta pixels wide and the
// incoming picture is uncovered in every cell at once, along a square spiral from the
// cell's centre, or by blinds whose neighbouring rows are offset by one cell.
#include "engine/effects/BandFrames.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/effects/EffectKit.h"
#include "engine/effects/MaskedRows.h"

namespace Wipekit {

using namespace Effects;

namespace Effects {

namespace {

// Steps taken before leg i of the spiral starts; leg i is i div 2 + 1 steps long.
std::int64_t StepsBeforeLeg(std::int64_t i) {
    const std::int64_t m = i / 2;
    return i % 2 == 0 ? m * (m + 1) : (m + 1) * (m + 1);
}

}  // namespace

// The walk turns where it reaches a fence around the visited square and moves the fence
// one further out, so its legs are 1, 1, 2, 2, 3, 3, ... steps long, turning right, down,
// left, up in turn. That lets the position after N steps be found from the leg count,
// without walking: a frame costs the same however long the spiral has grown.
TSpiralRects SpiralCellRects(std::int64_t N, std::int64_t d) {
    const std::int64_t c = d / 2;
    std::int64_t px = c, py = c;
    std::int64_t minX = c - 1, minY = c - 1, maxX = c + 1, maxY = c + 1;
    int direction = 0;  // of the last step: 0 right, 1 down, 2 left, 3 up

    if (N > 0) {
        // The leg that holds step N: the last one that starts before it.
        std::int64_t leg = 2 * std::int64_t(std::sqrt(double(N)));
        while (leg > 0 && StepsBeforeLeg(leg) >= N) --leg;
        while (StepsBeforeLeg(leg + 1) < N) ++leg;

        // Every earlier leg ended before step N and turned, moving its fence out.
        maxX += (leg + 3) / 4;
        maxY += (leg + 2) / 4;
        minX -= (leg + 1) / 4;
        minY -= leg / 4;
        direction = int(leg % 4);
        // A leg starts in the corner where the previous one turned.
        if (leg > 0) {
            switch (direction) {
                case 0: px = minX + 1, py = minY + 1; break;
                case 1: px = maxX - 1, py = minY + 1; break;
                case 2: px = maxX - 1, py = maxY - 1; break;
                case 3: px = minX + 1, py = maxY - 1; break;
            }
        }
        const std::int64_t n = N - StepsBeforeLeg(leg);
        static constexpr int dx[] = {1, 0, -1, 0};
        static constexpr int dy[] = {0, 1, 0, -1};
        px += n * dx[direction];
        py += n * dy[direction];
    }

    // The part completed before the current leg, then the current leg. For N = 0 and 1
    // the first is built upside down and, once put in order, also covers the pixel below
    // the centre.
    TSpiralRects result{};
    switch (direction) {
        case 0:
            result.Rects[0] = {minX + 1, minY + 2, maxX - 1, maxY - 1};
            result.Rects[1] = {minX + 1, minY + 1, px, minY + 1};
            break;
        case 1:
            result.Rects[0] = {minX + 1, minY + 1, maxX - 2, maxY - 1};
            result.Rects[1] = {maxX - 1, minY + 1, maxX - 1, py};
            break;
        case 2:
            result.Rects[0] = {minX + 1, minY + 1, maxX - 1, maxY - 2};
            result.Rects[1] = {px, maxY - 1, maxX - 1, maxY - 1};
            break;
        case 3:
            result.Rects[0] = {minX + 2, minY + 1, maxX - 1, maxY - 1};
            result.Rects[1] = {minX + 1, py, minX + 1, maxY - 1};
            break;
    }
    const TCellRect& first = result.Rects[0];
    const std::int64_t pixels = (first.Right - first.Left + 1) * (first.Bottom - first.Top + 1);
    result.Count = pixels < N ? 2 : 1;
    return result;
}

}  // namespace Effects

SpiralFrame Effects::SpiralFrameOf(TTransitionParams& params) {
    SpiralFrame frame{CellSize(params.Delta), {}, false};
    const std::int64_t d = frame.Side;
    std::int64_t steps = params.CurrentFrame;
    if (steps < 0) {
        steps = 0;
        ReportFrame(params, steps);
    } else if (ReachedEnd(params.CurrentFrame, d * d)) {
        frame.Finished = true;
        steps = d * d;
        ReportFrame(params, steps);
    }
    frame.Cell = SpiralCellRects(steps, d);
    for (int i = 0; i < frame.Cell.Count; ++i) {
        TCellRect& r = frame.Cell.Rects[i];
        if (r.Right < r.Left) std::swap(r.Left, r.Right);
        if (r.Bottom < r.Top) std::swap(r.Top, r.Bottom);
    }
    return frame;
}

CheckerFrame Effects::CheckerFrameOf(TTransitionParams& params) {
    CheckerFrame frame{CellSize(params.Delta), params.CurrentFrame, false};
    if (ReachedEnd(params.CurrentFrame, 2 * frame.Side)) {
        frame.Finished = true;
        frame.Depth = 2 * frame.Side;
        ReportFrame(params, frame.Depth);
    }
    return frame;
}

// Each cell rectangle repeats in every row and every column of cells, so the pixels it
// covers are the crossings of the rows and the columns it covers.
bool SpiralEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const auto [S, B] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    WorkBitmap.SetSize(S.Width(), S.Height());
    const int W = WorkBitmap.Width();
    const int H = WorkBitmap.Height();
    const SpiralFrame frame = SpiralFrameOf(*Params);

    TCrossing covered[2];
    for (int i = 0; i < frame.Cell.Count; ++i) {
        const TCellRect& r = frame.Cell.Rects[i];
        covered[i] = {TMarks(std::size_t(H), 0), TMarks(std::size_t(W), 0)};
        MarkPeriodicSpans(covered[i].Rows, frame.Side, H, {r.Top, r.Bottom + 1});
        MarkPeriodicSpans(covered[i].Columns, frame.Side, W, {r.Left, r.Right + 1});
    }
    DrawCrossings(WorkBitmap, B, p.ClientRect, S, {covered, std::size_t(frame.Cell.Count)});

    // An even Delta leaves the top row and most of the left column on the outgoing picture;
    // a reversed run still ends on FromBitmap whole.
    if (p.Reverse && frame.Finished) CopyBand(WorkBitmap, S, p.ClientRect);
    return frame.Finished;
}

bool CheckerBlindsEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                         TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const auto [S, B] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    const CheckerFrame frame = CheckerFrameOf(*Params);
    const std::int64_t d = frame.Side;

    // Written for tmLeft. Along the travel, the blinds of the even rows of blinds open
    // from 0, 2d, 4d, ..., those of the odd rows from d before each.
    const Axis axis = BlindAxis(p.Modifier);
    const std::int64_t L = axis.Travel(WorkBitmap.Width(), WorkBitmap.Height());
    const std::int64_t C = axis.Across(WorkBitmap.Width(), WorkBitmap.Height());
    TMarks even(std::size_t(L), 0), odd(std::size_t(L), 0);
    MarkPeriodicSpans(even, 2 * d, L + d, {0, frame.Depth});
    MarkPeriodicSpans(odd, 2 * d, L + d, {-d, frame.Depth - d});
    if (axis.FromFar) {
        std::reverse(even.begin(), even.end());
        std::reverse(odd.begin(), odd.end());
    }
    // Across it, the rows of blinds are d wide, even and odd in turn.
    TMarks evenRows(std::size_t(C), 0), oddRows(std::size_t(C), 0);
    MarkPeriodicSpans(evenRows, 2 * d, C, {0, d});
    MarkPeriodicSpans(oddRows, 2 * d, C, {d, 2 * d});
    const TCrossing blinds[] = {CrossingOf(axis, std::move(even), std::move(evenRows)),
                                CrossingOf(axis, std::move(odd), std::move(oddRows))};
    DrawCrossings(WorkBitmap, B, p.ClientRect, S, blinds);
    return frame.Finished;
}

}  // namespace Wipekit
