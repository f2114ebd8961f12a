// toBlinds: parallel slats Delta pixels wide, each opening onto the incoming picture by
// CurrentFrame pixels at once, like a venetian blind.
#include "engine/effects/EffectKit.h"

namespace Wipekit {

using namespace Effects;

namespace {

// The direction in which every slat opens. Slats are laid from the edge the openings
// grow away from, so a narrower last slat lies at the opposite side.
constexpr Axis SlatAxis(TTransitionModifier m) {
    switch (m) {
        case TTransitionModifier::tmLeft: return Axis{true, false};   // from each slat's left edge, rightwards
        case TTransitionModifier::tmRight: return Axis{true, true};   // from its right edge, leftwards
        case TTransitionModifier::tmUp: return Axis{false, true};     // from its bottom edge, upwards
        case TTransitionModifier::tmDown: return Axis{false, false};  // from its top edge, downwards
    }
    return Axis{true, false};
}

}  // namespace

bool BlindsEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const auto [In, Out] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    const std::int64_t delta = CellSize(p.Delta);

    Uncover(WorkBitmap, Out, p.ClientRect);
    std::int64_t d = p.CurrentFrame;
    const bool finished = d >= delta;
    if (finished) d = delta;

    const Axis axis = SlatAxis(p.Modifier);
    const std::int64_t extent = axis.Travel(WorkBitmap.Width(), WorkBitmap.Height());
    const Span across{0, axis.Across(WorkBitmap.Width(), WorkBitmap.Height())};
    for (std::int64_t slat = 0; slat < extent; slat += delta)
        UncoverBand(WorkBitmap, In, axis.Band({slat, slat + d}, extent, across));
    return finished;
}

}  // namespace Wipekit
