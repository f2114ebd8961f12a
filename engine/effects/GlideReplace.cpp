// toGlide: the incoming picture glides in from one edge over the still outgoing one;
// the reverse routine glides ToBitmap back out through the edge it came in by.
// toReplace: a cut from one picture to the other.
#include "engine/effects/FrameLayers.h"

namespace Wipekit {

using namespace Effects;

namespace {

// A glide frame: ToBitmap slid depth pixels in at the entry edge of the motion, its
// part near the far side measured in srcExtent. The forward routine measures ToBitmap
// by its own size, the reverse one by the frame's.
bool DrawGlide(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams& p,
               bool backwards) {
    TFrameLayers layers(WorkBitmap, p.Memory);
    layers.Copy(FromBitmap, p.ClientRect);
    const Axis axis = MotionAxis(p.Modifier);
    const std::int64_t W = WorkBitmap.Width();
    const std::int64_t H = WorkBitmap.Height();
    const std::int64_t travel = axis.Travel(W, H);
    std::int64_t f = p.CurrentFrame;
    // Strict: the frame at the travel length shows ToBitmap complete and is drawn again.
    const bool finished = travel < f;
    if (finished) {
        f = travel;
        ReportFrame(p, f);
    }

    const Span across{0, std::min(axis.Across(W, H), axis.Across(ToBitmap.Width(), ToBitmap.Height()))};
    if (backwards)
        SlideIn(layers, ToBitmap, axis, across, travel - f, travel, travel);
    else
        SlideIn(layers, ToBitmap, axis, across, f, axis.Travel(ToBitmap.Width(), ToBitmap.Height()), travel);
    layers.Draw();
    return finished;
}

}  // namespace

WIPEKIT_FORWARD_AND_REVERSE(GlideEffect, GlideReverseEffect, DrawGlide)

bool ReplaceEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    std::int32_t f = p.CurrentFrame;
    const bool finished = f > 1;
    if (finished) {
        f = 1;
        ReportFrame(*Params, f);
    }
    // Frame 0 shows the starting picture, frame 1 (and the closing frame 2) the other.
    const bool showTo = p.Reverse ? f == 0 : f == 1;
    CopyBand(WorkBitmap, showTo ? ToBitmap : FromBitmap, p.ClientRect);
    return finished;
}

}  // namespace Wipekit
