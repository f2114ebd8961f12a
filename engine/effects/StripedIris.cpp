// toStripedIris: the incoming picture appears in concentric rectangular rings Delta
// pixels thick, every other ring first, one more per frame, then the rings in between.
// The rings are laid out from the outer edge inwards or from the centre outwards.
#include "engine/effects/FrameLayers.h"

namespace Wipekit {

using namespace Effects;

namespace {

struct RingLayout {
    bool OutsideIn;
    std::int64_t Half;    // min(W, H) div 2
    std::int64_t Width;   // the rings span the part of the frame the incoming picture covers
    std::int64_t Height;
    std::int64_t D;
};

// Copies rectangle (l, t, r, b) of the picture in place, its edges put in order first.
void UncoverStrip(TFrameLayers& work, const TBitmap& src, std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
    work.Copy(src, TRect64{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)});
}

// Draws the ring at offset s as four strips D thick along the edges of its outer
// rectangle; returns true when the ring lies past the centre, which ends a pass.
bool DrawRing(TFrameLayers& work, const TBitmap& A, const RingLayout& g, std::int64_t s) {
    const std::int64_t o = g.OutsideIn ? s : g.Half - s;
    const std::int64_t l = o, t = o;
    const std::int64_t r = g.Width - o, b = g.Height - o;
    UncoverStrip(work, A, l, t, r, t + g.D);  // top
    UncoverStrip(work, A, r - g.D, t, r, b);  // right
    UncoverStrip(work, A, l, b - g.D, r, b);  // bottom
    UncoverStrip(work, A, l, t, l + g.D, b);  // left
    return g.OutsideIn ? l > g.Half : l < 0;
}

// Draws the rings at offsets first, first + 2D, ... for j = 0 to last, stopping after
// the first ring past the centre.
void DrawRingPass(TFrameLayers& work, const TBitmap& A, const RingLayout& g, std::int64_t first, std::int64_t last) {
    for (std::int64_t j = 0; j <= last; ++j)
        if (DrawRing(work, A, g, first + 2 * j * g.D)) break;
}

}  // namespace

bool StripedIrisEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                       TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const auto [A, B] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    TFrameLayers layers(WorkBitmap, p.Memory);
    layers.Copy(B, p.ClientRect);

    const int W = WorkBitmap.Width();
    const int H = WorkBitmap.Height();
    RingLayout g;
    g.D = CellSize(p.Delta);
    g.Half = std::min(W, H) / 2;
    g.Width = std::min(W, A.Width());
    g.Height = std::min(H, A.Height());
    // Closing in lays the rings from the outer edge, opening from the centre; a reverse
    // run lays them the other way.
    g.OutsideIn = MotionAxis(p.Modifier).SplitsOutward() == p.Reverse;

    // The frame that reaches the last ring is itself the last frame.
    std::int64_t f = p.CurrentFrame;
    bool finished = false;
    if (g.Half / g.D <= f) {
        finished = true;
        f = g.Half / g.D;
        ReportFrame(*Params, f);
    }

    if (f >= 0) DrawRingPass(layers, A, g, 0, f);
    // The rings in between start once the even ones have reached the centre: two on the
    // first such frame, then one more per frame.
    const std::int64_t e = g.Half / (2 * g.D);
    if (f > e) DrawRingPass(layers, A, g, g.D, f - e);
    layers.Draw();
    return finished;
}

}  // namespace Wipekit
