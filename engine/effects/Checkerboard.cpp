// toCheckerboard: ever denser grids of small cells of ToBitmap over FromBitmap in four
// stages, then the whole final picture: five frames whatever the size.
#include "engine/effects/EffectKit.h"

namespace Wipekit {

using namespace Effects;

namespace {

constexpr int CheckerCellSize = 3;
constexpr int CheckerStages = 4;  // frame CheckerStages shows the final picture

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
constexpr CheckerStage ForwardStages[CheckerStages] = {
    {1, {{32, 0, 0}}},
    {1, {{16, 0, 0}}},
    {1, {{8, 0, 0}}},
    {2, {{8, 0, 0}, {8, 4, 4}}},
};

// Copies a cell of ToBitmap at every grid point below (w, h) onto the same place.
void DrawCheckerCells(TBitmap& work, const TBitmap& to, int w, int h, int Pitch, int X0, int Y0) {
    for (int y = Y0; y < h; y += Pitch)
        for (int x = X0; x < w; x += Pitch)
            CopyBand(work, to, Rect(x, y, x + CheckerCellSize, y + CheckerCellSize));
}

}  // namespace

bool CheckerboardEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                        TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    CopyBand(WorkBitmap, FromBitmap, p.ClientRect);
    int d = p.CurrentFrame;
    const bool finished = d >= CheckerStages;
    if (finished) {
        d = CheckerStages;
        ReportFrame(*Params, d);
    }

    if (d == CheckerStages) {
        CopyBand(WorkBitmap, p.Reverse ? FromBitmap : ToBitmap, p.ClientRect);
    } else if (d >= 0) {
        // Cells always come from ToBitmap; reversing only plays the stages backwards.
        const CheckerStage& stage = ForwardStages[p.Reverse ? CheckerStages - 1 - d : d];
        const int h = std::min(WorkBitmap.Height(), ToBitmap.Height());
        const int w = std::min(WorkBitmap.Width(), ToBitmap.Width());
        for (int i = 0; i < stage.Count; ++i)
            DrawCheckerCells(WorkBitmap, ToBitmap, w, h, stage.Grids[i].Pitch, stage.Grids[i].X0, stage.Grids[i].Y0);
    }
    return finished;
}

}  // namespace Wipekit
