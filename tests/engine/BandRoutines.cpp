// The band-by-band drawings of blinds, checker blinds, spiral and checkerboard.
#include "BandRoutines.h"

#include "engine/effects/BandFrames.h"
#include "engine/effects/EffectKit.h"

namespace Wipekit::Effects {

bool BlindsByBands(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                   TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const auto [In, Out] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    const BlindsFrame frame = BlindsFrameOf(*Params);

    CopyBand(WorkBitmap, Out, p.ClientRect);
    const Axis axis = BlindAxis(p.Modifier);
    const std::int64_t extent = axis.Travel(WorkBitmap.Width(), WorkBitmap.Height());
    const Span across{0, axis.Across(WorkBitmap.Width(), WorkBitmap.Height())};
    for (std::int64_t slat = 0; slat < extent; slat += frame.Delta)
        CopyBand(WorkBitmap, In, axis.Band({slat, slat + frame.Depth}, extent, across));
    return frame.Finished;
}

bool SpiralByBands(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const auto [S, B] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    WorkBitmap.SetSize(S.Width(), S.Height());
    const int W = WorkBitmap.Width();
    const int H = WorkBitmap.Height();
    const SpiralFrame frame = SpiralFrameOf(*Params);
    const std::int64_t d = frame.Side;

    CopyBand(WorkBitmap, B, p.ClientRect);
    for (std::int64_t y = 0; y < H; y += d)
        for (std::int64_t x = 0; x < W; x += d)
            for (int i = 0; i < frame.Cell.Count; ++i) {
                const TCellRect& r = frame.Cell.Rects[i];
                CopyBand(WorkBitmap, S, TRect64{x + r.Left, y + r.Top, x + r.Right + 1, y + r.Bottom + 1});
            }
    if (p.Reverse && frame.Finished) CopyBand(WorkBitmap, S, p.ClientRect);
    return frame.Finished;
}

bool CheckerBlindsByBands(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                          TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const auto [S, B] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    CopyBand(WorkBitmap, B, p.ClientRect);
    const CheckerFrame frame = CheckerFrameOf(*Params);
    const std::int64_t d = frame.Side;

    // Written for tmLeft, whose blinds open towards the right; tmDown is the same across
    // the other axis, and tmRight and tmUp open from the far edge.
    const Axis axis = BlindAxis(p.Modifier);
    const std::int64_t L = axis.Travel(WorkBitmap.Width(), WorkBitmap.Height());
    const std::int64_t C = axis.Across(WorkBitmap.Width(), WorkBitmap.Height());
    // Each period of 2d holds an even blind and, in every other row of blinds, an odd
    // blind shifted back by d.
    for (std::int64_t o = 0; o < L + d; o += 2 * d) {
        bool odd = false;
        for (std::int64_t q = 0; q < C; q += d, odd = !odd) {
            const std::int64_t start = odd ? o - d : o;
            CopyBand(WorkBitmap, S, axis.Band({start, start + frame.Depth}, L, {q, q + d}));
        }
    }
    return frame.Finished;
}

bool CheckerboardByBands(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
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
        // One copy of ToBitmap per cell at every grid point below (w, h).
        const CheckerStage& stage = CheckerForwardStages[p.Reverse ? CheckerStages - 1 - d : d];
        const int h = std::min(WorkBitmap.Height(), ToBitmap.Height());
        const int w = std::min(WorkBitmap.Width(), ToBitmap.Width());
        for (int i = 0; i < stage.Count; ++i) {
            const CheckerGrid& g = stage.Grids[i];
            for (int y = g.Y0; y < h; y += g.Pitch)
                for (int x = g.X0; x < w; x += g.Pitch)
                    CopyBand(WorkBitmap, ToBitmap, Rect(x, y, x + CheckerCellSize, y + CheckerCellSize));
        }
    }
    return finished;
}

}  // namespace Wipekit::Effects
