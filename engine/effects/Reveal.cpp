// toMonoReveal and toReveal: wipes that uncover ToBitmap in place over FromBitmap. The
// mono reveal moves one boundary in from an edge; the reveal moves two boundaries
// outwards from the centre line (tmLeft, tmUp) or inwards from two edges (tmRight, tmDown).
#include "engine/effects/FrameLayers.h"

namespace Wipekit {

using namespace Effects;

namespace {

enum class Boundaries : bool { One, Two };

// Draws a reveal frame for d, after the clamp; backwards draws the forward frame
// limit - d, which plays the run from ToBitmap back to FromBitmap.
template <Boundaries boundaries>
bool DrawReveal(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams& p,
                bool backwards) {
    TFrameLayers layers(WorkBitmap, p.Memory);
    layers.Copy(FromBitmap, p.ClientRect);
    const Axis axis = MotionAxis(p.Modifier);
    const std::int64_t W = WorkBitmap.Width();
    const std::int64_t H = WorkBitmap.Height();
    const std::int64_t extent = std::min(axis.Travel(W, H), axis.Travel(ToBitmap.Width(), ToBitmap.Height()));
    // Two boundaries travel half the extent each; with an odd extent the last column
    // or row is never uncovered.
    const std::int64_t limit = boundaries == Boundaries::One ? extent : extent / 2;

    std::int64_t d = p.CurrentFrame;
    const bool finished = d >= limit;
    if (finished) {
        d = limit;
        ReportFrame(p, d);
    }
    if (backwards) d = limit - d;

    const Span across{0, axis.Across(W, H)};
    if (boundaries == Boundaries::One) {
        layers.Copy(ToBitmap, axis.Band({0, d}, extent, across));
    } else {
        const SpanPair spans = SplitSpans(axis.SplitsOutward(), limit, d);
        layers.Copy(ToBitmap, axis.Place(spans.First, across));
        layers.Copy(ToBitmap, axis.Place(spans.Second, across));
    }
    layers.Draw();
    return finished;
}

}  // namespace

WIPEKIT_FORWARD_AND_REVERSE(MonoRevealEffect, MonoRevealReverseEffect, DrawReveal<Boundaries::One>)
WIPEKIT_FORWARD_AND_REVERSE(RevealEffect, RevealReverseEffect, DrawReveal<Boundaries::Two>)

}  // namespace Wipekit
