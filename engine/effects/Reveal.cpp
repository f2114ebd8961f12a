// toMonoReveal and toReveal: wipes that uncover ToBitmap in place over FromBitmap. The
// mono reveal moves one boundary in from an edge; the reveal moves two boundaries
// outwards from the centre line (tmLeft, tmUp) or inwards from two edges (tmRight, tmDown).
#include "engine/effects/EffectKit.h"

namespace Wipekit {

using namespace Effects;

namespace {

enum class Boundaries : bool { One, Two };

// Draws a reveal frame for d, after the clamp; backwards draws the forward frame
// limit - d, which plays the run from ToBitmap back to FromBitmap.
bool DrawReveal(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, const TTransitionParams& p,
                Boundaries boundaries, bool backwards) {
    Uncover(WorkBitmap, FromBitmap, p.ClientRect);
    const Axis axis = MotionAxis(p.Modifier);
    const std::int64_t W = WorkBitmap.Width();
    const std::int64_t H = WorkBitmap.Height();
    const std::int64_t extent = std::min(axis.Travel(W, H), axis.Travel(ToBitmap.Width(), ToBitmap.Height()));
    // Two boundaries travel half the extent each; with an odd extent the last column
    // or row is never uncovered.
    const std::int64_t limit = boundaries == Boundaries::One ? extent : extent / 2;

    std::int64_t d = p.CurrentFrame;
    const bool finished = d >= limit;
    if (finished) d = limit;
    if (backwards) d = limit - d;

    const Span across{0, axis.Across(W, H)};
    if (boundaries == Boundaries::One) {
        UncoverBand(WorkBitmap, ToBitmap, axis.Band({0, d}, extent, across));
    } else {
        // Split spans are placed about the centre line, never mirrored.
        const Axis split{axis.Horizontal, false};
        const SpanPair spans = SplitSpans(SplitsOutward(p.Modifier), limit, d);
        UncoverBand(WorkBitmap, ToBitmap, split.Band(spans.First, 0, across));
        UncoverBand(WorkBitmap, ToBitmap, split.Band(spans.Second, 0, across));
    }
    return finished;
}

}  // namespace

bool MonoRevealEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                      TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    return DrawReveal(FromBitmap, ToBitmap, WorkBitmap, p, Boundaries::One, false);
}

bool MonoRevealReverseEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                             TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    return DrawReveal(FromBitmap, ToBitmap, WorkBitmap, p, Boundaries::One, true);
}

bool RevealEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    return DrawReveal(FromBitmap, ToBitmap, WorkBitmap, p, Boundaries::Two, false);
}

bool RevealReverseEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                         TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    return DrawReveal(FromBitmap, ToBitmap, WorkBitmap, p, Boundaries::Two, true);
}

}  // namespace Wipekit
