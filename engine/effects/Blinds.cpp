// toBlinds: parallel slats Delta pixels wide, each opening onto the incoming picture by
// CurrentFrame pixels at once, like a venetian blind.
#include <algorithm>

#include "engine/effects/BandFrames.h"
#include "engine/effects/EffectKit.h"
#include "engine/effects/MaskedRows.h"

namespace Wipekit {

using namespace Effects;

BlindsFrame Effects::BlindsFrameOf(TTransitionParams& params) {
    const std::int64_t delta = CellSize(params.Delta);
    BlindsFrame frame{delta, params.CurrentFrame, params.CurrentFrame >= delta};
    if (frame.Finished) {
        frame.Depth = delta;
        ReportFrame(params, frame.Depth);
    }
    return frame;
}

bool BlindsEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const auto [In, Out] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    const BlindsFrame frame = BlindsFrameOf(*Params);

    // The openings along the travel are the same in every line across it.
    const Axis axis = BlindAxis(p.Modifier);
    const int W = WorkBitmap.Width(), H = WorkBitmap.Height();
    TMarks open(std::size_t(axis.Travel(W, H)), 0);
    MarkPeriodicSpans(open, frame.Delta, std::int64_t(open.size()), {0, frame.Depth});
    if (axis.FromFar) std::reverse(open.begin(), open.end());
    const TCrossing blinds = CrossingOf(axis, std::move(open), TMarks(std::size_t(axis.Across(W, H)), 1));
    DrawCrossings(WorkBitmap, Out, p.ClientRect, In, {&blinds, 1});
    return frame.Finished;
}

}  // namespace Wipekit
