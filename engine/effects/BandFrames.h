// The frame of blinds, spiral and checker blinds as their routines read it from the
// parameter block: cell or slat size, how far the frame has come, and whether it is the
// last (then clamped and reported); the spiral's walk inside one cell; the checkerboard's
// grids of cells. The tests' band-by-band drawings read them too.
#pragma once

#include <cstdint>

#include "engine/EffectApi.h"

namespace Wipekit::Effects {

// A rectangle with all four edges inclusive, in the coordinates of one cell (column and
// row from 0, rows growing downwards). Its edges may come out of order; they are put in
// order before the rectangle is drawn.
struct TCellRect {
    std::int64_t Left;
    std::int64_t Top;
    std::int64_t Right;
    std::int64_t Bottom;
    friend bool operator==(const TCellRect&, const TCellRect&) = default;
};

struct TSpiralRects {
    TCellRect Rects[2];
    int Count;  // 1 or 2
};

// The pixels a square spiral has visited after N steps from the centre of a d x d cell
// (right 1, down 1, left 2, up 2, right 3, ...), as the part completed before the
// current leg and the current leg up to the current position. N below 0 counts as 0.
TSpiralRects SpiralCellRects(std::int64_t N, std::int64_t d);

// Blinds: the slat width and the depth of every opening.
struct BlindsFrame {
    std::int64_t Delta;
    std::int64_t Depth;
    bool Finished;
};
BlindsFrame BlindsFrameOf(TTransitionParams& params);

// Spiral: the cell's side and the rectangles its walk has covered, in order.
struct SpiralFrame {
    std::int64_t Side;
    TSpiralRects Cell;
    bool Finished;
};
SpiralFrame SpiralFrameOf(TTransitionParams& params);

// Checker blinds: the cell's side and how far every blind has opened.
struct CheckerFrame {
    std::int64_t Side;
    std::int64_t Depth;
    bool Finished;
};
CheckerFrame CheckerFrameOf(TTransitionParams& params);

// Checkerboard: cells of CheckerCellSize x CheckerCellSize pixels of the incoming picture
// at the points (X0 + i Pitch, Y0 + j Pitch) of one or two grids, ever denser over
// CheckerStages stages; frame CheckerStages shows the final picture.
constexpr int CheckerCellSize = 3;
constexpr int CheckerStages = 4;

struct CheckerGrid {
    int Pitch;
    int X0;
    int Y0;
};

struct CheckerStage {
    int Count;
    CheckerGrid Grids[2];
};

// The grids of each stage of a forward run; a reverse run plays the stages backwards.
constexpr CheckerStage CheckerForwardStages[CheckerStages] = {
    {1, {{32, 0, 0}}},
    {1, {{16, 0, 0}}},
    {1, {{8, 0, 0}}},
    {2, {{8, 0, 0}, {8, 4, 4}}},
};

}  // namespace Wipekit::Effects
