// toBlinds: parallel slats Delta pixels wide, each opening onto the incoming picture by
// CurrentFrame pixels at once, like a venetian blind.
#include "engine/effects/EffectKit.h"

namespace Wipekit {

using namespace Effects;

bool BlindsEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const auto [In, Out] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    const std::int64_t delta = CellSize(p.Delta);

    CopyBand(WorkBitmap, Out, p.ClientRect);
    std::int64_t d = p.CurrentFrame;
    const bool finished = d >= delta;
    if (finished) {
        d = delta;
        ReportFrame(*Params, d);
    }

    const Axis axis = BlindAxis(p.Modifier);
    const std::int64_t extent = axis.Travel(WorkBitmap.Width(), WorkBitmap.Height());
    const Span across{0, axis.Across(WorkBitmap.Width(), WorkBitmap.Height())};
    for (std::int64_t slat = 0; slat < extent; slat += delta)
        CopyBand(WorkBitmap, In, axis.Band({slat, slat + d}, extent, across));
    return finished;
}

}  // namespace Wipekit
