// toCrush: ToBitmap split into two halves about its centre line, sliding over
// FromBitmap outwards from the centre line (tmLeft, tmUp) or inwards from the two edges
// (tmRight, tmDown), each half by CurrentFrame pixels.
#include "engine/effects/FrameLayers.h"

namespace Wipekit {

using namespace Effects;

namespace {

// Draws the frame of CrushEffect for d, after the clamp; backwards draws the forward
// frame s - d, which plays the run from ToBitmap back to FromBitmap.
bool DrawCrush(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams& p,
               bool backwards) {
    TFrameLayers layers(WorkBitmap, p.Memory);
    layers.Copy(FromBitmap, p.ClientRect);
    const Axis axis = MotionAxis(p.Modifier);
    const bool outward = axis.SplitsOutward();
    const std::int64_t W = WorkBitmap.Width();
    const std::int64_t H = WorkBitmap.Height();
    // Integer half: with an odd extent the last column or row is never covered.
    const std::int64_t s = std::min(axis.Travel(W, H), axis.Travel(ToBitmap.Width(), ToBitmap.Height())) / 2;

    std::int64_t d = p.CurrentFrame;
    const bool finished = d >= s;
    if (finished) {
        d = s;
        ReportFrame(p, d);
    }
    if (backwards) d = s - d;

    // Each half slides from where the opposite motion would put it: the spans an
    // outward motion fills are the ones an inward one takes its pixels from.
    const SpanPair to = SplitSpans(outward, s, d);
    const SpanPair from = SplitSpans(!outward, s, d);
    const Span across{0, axis.Across(W, H)};
    layers.Copy(ToBitmap, axis.Place(from.First, across), axis.Place(to.First, across));
    layers.Copy(ToBitmap, axis.Place(from.Second, across), axis.Place(to.Second, across));
    layers.Draw();
    return finished;
}

}  // namespace

WIPEKIT_FORWARD_AND_REVERSE(CrushEffect, CrushReverseEffect, DrawCrush)

}  // namespace Wipekit
