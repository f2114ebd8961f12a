// Band sliders: the picture is cut into parallel bands Delta pixels thick, rows for
// tmLeft and tmRight, columns for tmUp and tmDown.
//   toMonoSlider: every second band slides in from one edge; then the bands between
//                 them are wiped in from the opposite edge.
//   toSlider:     all bands slide in at once, even bands from the near edge, odd bands
//                 from the far one.
//   toStrip:      as toSlider, wiped in place instead of sliding.
#include "engine/effects/FrameLayers.h"

namespace Wipekit {

using namespace Effects;

namespace {

// How a band picture is cut: bands of Thickness across the travel, laid while they
// start below Bound; the last band may reach past it.
struct Bands {
    Axis Motion;          // the modifier's motion
    std::int64_t Travel;  // L: the picture's extent along the travel
    std::int64_t Bound;   // H' or W': the smaller of frame and picture across the travel
    std::int64_t Thickness;

    // The travel entering at the near edge and at the far edge, whatever the motion.
    Axis NearEdge() const { return Axis{Motion.Horizontal, false}; }
    Axis FarEdge() const { return Axis{Motion.Horizontal, true}; }

    // Calls draw(band) for the even bands (first = 0) or the odd ones (first = 1).
    template <class Draw>
    void ForEach(int first, Draw draw) const {
        for (std::int64_t c = first * Thickness; c < Bound; c += 2 * Thickness) draw(Span{c, c + Thickness});
    }
};

Bands CutBands(const TBitmap& work, const TBitmap& picture, const TTransitionParams& p) {
    const Axis motion = MotionAxis(p.Modifier);
    const std::int64_t bound =
        std::min(motion.Across(work.Width(), work.Height()), motion.Across(picture.Width(), picture.Height()));
    return Bands{motion, motion.Travel(picture.Width(), picture.Height()), bound, CellSize(p.Delta)};
}

// Frame f of MonoSliderEffect, f not above the end 2L.
void DrawMonoSlider(TFrameLayers& work, const TBitmap& to, const Bands& bands, std::int64_t f) {
    const Axis& axis = bands.Motion;
    const std::int64_t L = bands.Travel;
    if (f <= L) {
        bands.ForEach(0, [&](Span band) { SlideIn(work, to, axis, band, f, L, L); });
        return;
    }
    // The odd bands are wiped in from the edge opposite the entry edge.
    bands.ForEach(1, [&](Span band) { work.Copy(to, axis.Band({2 * L - f, L}, L, band)); });
    bands.ForEach(0, [&](Span band) { work.Copy(to, axis.Band({0, L}, L, band)); });
}

// Frame f of SliderEffect, f not above the end L.
void DrawSlider(TFrameLayers& work, const TBitmap& to, const Bands& bands, std::int64_t f) {
    const std::int64_t L = bands.Travel;
    bands.ForEach(0, [&](Span band) { SlideIn(work, to, bands.NearEdge(), band, f, L, L); });
    bands.ForEach(1, [&](Span band) { SlideIn(work, to, bands.FarEdge(), band, f, L, L); });
}

// The end tests of the band sliders are strict: the frame at the limit already shows
// the final picture and the next one, clamped, ends the run.
bool ClampPast(TTransitionParams& p, std::int64_t& f, std::int64_t limit) {
    if (f <= limit) return false;
    f = limit;
    ReportFrame(p, f);
    return true;
}

// One frame of a band slider over FromBitmap: length(bands) is the run's end and draw
// draws a forward frame; backwards draws the forward frame end - f.
using DrawBands = void (*)(TFrameLayers& work, const TBitmap& to, const Bands& bands, std::int64_t f);

template <std::int64_t (*length)(const Bands&), DrawBands draw>
bool SliderFrame(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams& p,
                 bool backwards) {
    TFrameLayers layers(WorkBitmap, p.Memory);
    layers.Copy(FromBitmap, p.ClientRect);
    const Bands bands = CutBands(WorkBitmap, ToBitmap, p);
    const std::int64_t end = length(bands);
    std::int64_t f = p.CurrentFrame;
    const bool finished = ClampPast(p, f, end);
    draw(layers, ToBitmap, bands, backwards ? end - f : f);
    layers.Draw();
    return finished;
}

std::int64_t MonoSliderLength(const Bands& bands) { return 2 * bands.Travel; }
std::int64_t SliderLength(const Bands& bands) { return bands.Travel; }

}  // namespace

WIPEKIT_FORWARD_AND_REVERSE(MonoSliderEffect, MonoSliderReverseEffect,
                            SliderFrame<MonoSliderLength, DrawMonoSlider>)
WIPEKIT_FORWARD_AND_REVERSE(SliderEffect, SliderReverseEffect, SliderFrame<SliderLength, DrawSlider>)

bool StripEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    // A reversed strip runs from ToBitmap to FromBitmap with the same motion.
    // Named, not bound: a lambda below captures it (clang 14 captures no structured binding).
    const Pictures pictures = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    const TBitmap& strips = pictures.In;
    TFrameLayers layers(WorkBitmap, p.Memory);
    layers.Copy(pictures.Out, p.ClientRect);
    const Bands bands = CutBands(WorkBitmap, strips, p);
    std::int64_t f = p.CurrentFrame;
    const bool finished = ClampPast(*Params, f, bands.Travel);
    const std::int64_t L = bands.Travel;
    bands.ForEach(0, [&](Span band) { layers.Copy(strips, bands.NearEdge().Band({0, f}, L, band)); });
    bands.ForEach(1, [&](Span band) { layers.Copy(strips, bands.FarEdge().Band({0, f}, L, band)); });
    layers.Draw();
    return finished;
}

}  // namespace Wipekit
