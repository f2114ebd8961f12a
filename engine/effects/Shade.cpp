// toShade and toShadeContinue: the incoming picture slides in from one edge as an
// exclusive-or overlay on the outgoing one; once it covers the frame, the outgoing picture,
// now the overlay on the incoming one, slides away: back out at the edge the incoming
// picture came from (toShade) or on through the opposite edge (toShadeContinue).
#include "engine/effects/FrameLayers.h"

namespace Wipekit {

using namespace Effects;

namespace {

constexpr TCopyMode Xor = TCopyMode::cmSrcInvert;

// How the outgoing overlay leaves in the second half.
enum class Retreat { Back, Onward };

bool ShadeFrame(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams& p,
                Retreat retreat) {
    const auto [In, Out] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    // The rows below are written for tmRight and tmDown, where the incoming picture enters
    // at the near edge; the axis mirrors them for tmLeft and tmUp.
    const Axis axis = MotionAxis(p.Modifier);
    const int W = WorkBitmap.Width();
    const int H = WorkBitmap.Height();
    const std::int64_t L = axis.Travel(W, H);
    const Span across{0, std::min(axis.Across(W, H), axis.Across(In.Width(), In.Height()))};

    // The end test is strict: f = 2L already shows the incoming picture alone but is not
    // the last frame. A band of no thickness draws nothing, so frames before 0 are frame 0.
    std::int64_t f = p.CurrentFrame;
    bool finished = false;
    if (f < 0) {
        f = 0;
        ReportFrame(p, f);
    } else if (f > 2 * L) {
        finished = true;
        f = 2 * L;
        ReportFrame(p, f);
    }

    const TRect client = p.ClientRect;
    TFrameLayers layers(WorkBitmap);
    if (f <= L) {
        layers.Copy(Out, client);
        layers.Copy(In, axis.Band({L - f, L}, L, across), axis.Band({0, f}, L, across), Xor);
    } else {
        layers.Copy(In, client);
        const std::int64_t depth = 2 * L - f;
        const Span inner{f - L, L};  // the depth pixels nearest the far edge
        const Span outer{0, depth};  // the depth pixels nearest the entry edge
        if (retreat == Retreat::Back)
            layers.Copy(Out, axis.Band(inner, L, across), axis.Band(outer, L, across), Xor);
        else
            layers.Copy(Out, axis.Band(outer, L, across), axis.Band(inner, L, across), Xor);
    }
    layers.Draw();
    return finished;
}

}  // namespace

bool ShadeEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    return ShadeFrame(FromBitmap, ToBitmap, WorkBitmap, *Params, Retreat::Back);
}

bool ShadeContinueEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                         TTransitionParams* Params) {
    return ShadeFrame(FromBitmap, ToBitmap, WorkBitmap, *Params, Retreat::Onward);
}

}  // namespace Wipekit
