// toCheckerboard: ever denser grids of small cells of ToBitmap over FromBitmap in four
// stages, then the whole final picture: five frames whatever the size.
#include "engine/effects/BandFrames.h"
#include "engine/effects/EffectKit.h"
#include "engine/effects/MaskedRows.h"

namespace Wipekit {

using namespace Effects;

namespace {

// The cells of a grid at its points below (w, h), as marked rows and columns of a frame of
// W x H pixels; DrawCrossings clips them to the pictures as a copy of each cell would be.
TCrossing CellsOf(const CheckerGrid& grid, int W, int H, int w, int h) {
    TMarks rows(std::size_t(H), 0), columns(std::size_t(W), 0);
    MarkPeriodicSpans(rows, grid.Pitch, std::int64_t(h) - grid.Y0, {grid.Y0, grid.Y0 + CheckerCellSize});
    MarkPeriodicSpans(columns, grid.Pitch, std::int64_t(w) - grid.X0, {grid.X0, grid.X0 + CheckerCellSize});
    return {std::move(rows), std::move(columns)};
}

}  // namespace

bool CheckerboardEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                        TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    int d = p.CurrentFrame;
    const bool finished = d >= CheckerStages;
    if (finished) {
        d = CheckerStages;
        ReportFrame(*Params, d);
    }

    if (d < 0 || d == CheckerStages) {
        CopyBand(WorkBitmap, FromBitmap, p.ClientRect);
        if (d == CheckerStages) CopyBand(WorkBitmap, p.Reverse ? FromBitmap : ToBitmap, p.ClientRect);
        return finished;
    }
    // Cells always come from ToBitmap; reversing only plays the stages backwards. The
    // frame is drawn a row at a time, each pixel once.
    const CheckerStage& stage = CheckerForwardStages[p.Reverse ? CheckerStages - 1 - d : d];
    const int W = WorkBitmap.Width(), H = WorkBitmap.Height();
    const int w = std::min(W, ToBitmap.Width());
    const int h = std::min(H, ToBitmap.Height());
    TCrossing cells[2];
    for (int i = 0; i < stage.Count; ++i) cells[i] = CellsOf(stage.Grids[i], W, H, w, h);
    DrawCrossings(WorkBitmap, FromBitmap, p.ClientRect, ToBitmap, {cells, std::size_t(stage.Count)});
    return finished;
}

}  // namespace Wipekit
