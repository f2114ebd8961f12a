// toPush: the incoming picture enters at one edge and pushes the outgoing one out at
// the opposite edge, both moving by CurrentFrame pixels.
#include "engine/effects/FrameLayers.h"

namespace Wipekit {

using namespace Effects;

bool PushEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const auto [In, Out] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    // A reverse run pushes the other way.
    const Axis axis = p.Reverse ? MotionAxis(p.Modifier).Mirrored() : MotionAxis(p.Modifier);
    const std::int64_t W = WorkBitmap.Width();
    const std::int64_t H = WorkBitmap.Height();
    const std::int64_t L = axis.Travel(W, H);
    std::int64_t d = p.CurrentFrame;

    // The end test is strict: the frame at the full extent is drawn once more as the last.
    bool finished = false;
    if (L < d) {
        finished = true;
        d = L;
        ReportFrame(*Params, d);
    }

    // Both pictures span the incoming one's extent across the travel. The incoming
    // picture's part near its far side is measured by the frame's width in rows and by
    // its own height in columns.
    const Span across{0, std::min(axis.Across(W, H), axis.Across(In.Width(), In.Height()))};
    const std::int64_t inExtent = axis.Horizontal ? L : In.Height();
    TFrameLayers layers(WorkBitmap);
    SlideIn(layers, In, axis, across, d, inExtent, L);
    layers.Copy(Out, axis.Band({0, L - d}, L, across), axis.Band({d, L}, L, across));
    layers.Draw();
    return finished;
}

}  // namespace Wipekit
