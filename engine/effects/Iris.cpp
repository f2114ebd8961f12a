// toIris: a rectangular iris. Opening (tmLeft, tmUp), the incoming picture shows in a
// rectangle growing from the centre by CurrentFrame pixels on every side; closing
// (tmRight, tmDown), it closes in from the four edges over the shrinking outgoing one.
#include "engine/effects/FrameLayers.h"

namespace Wipekit {

using namespace Effects;

bool IrisEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const auto [In, Out] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    const std::int64_t W = WorkBitmap.Width();
    const std::int64_t H = WorkBitmap.Height();

    TFrameLayers layers(WorkBitmap, p.Memory);
    layers.Copy(Out, p.ClientRect);
    // The travel follows the control, the iris works within the incoming picture.
    const std::int64_t s = std::min(W, H) / 2;
    std::int64_t d = p.CurrentFrame;
    const bool finished = d >= s;
    if (finished) {
        d = s;
        ReportFrame(*Params, d);
    }
    const std::int64_t h = std::min<std::int64_t>(H, In.Height());
    const std::int64_t w = std::min<std::int64_t>(W, In.Width());

    if (MotionAxis(p.Modifier).SplitsOutward()) {
        layers.Copy(In, {s - d, s - d, w - s + d, h - s + d});
    } else {
        layers.Copy(In, {0, 0, w, h});
        if (d < s) layers.Copy(Out, {d, d, w - d, h - d});
    }
    layers.Draw();
    return finished;
}

}  // namespace Wipekit
