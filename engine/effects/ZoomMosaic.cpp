// toZoom and toMosaic: effects that change the scale of a picture instead of moving it.
// Zoom shrinks the outgoing picture into the centre and grows the incoming one out of it;
// mosaic coarsens the outgoing picture into ever larger blocks, exchanges the pictures at
// the coarsest level and sharpens the incoming one again. Neither copies a base picture:
// what they leave undrawn keeps the Color fill.
#include "engine/effects/EffectKit.h"

namespace Wipekit {

using namespace Effects;

namespace {

// A side of the zoomed frame: the work bitmap's, cut to a picture's where the work bitmap
// is larger. Both tests compare with the work bitmap's side, so when both pictures are
// smaller the incoming picture's side wins even if the outgoing one's is smaller still.
int ZoomSide(int work, int from, int to) {
    int side = work;
    if (work > from) side = from;
    if (work > to) side = to;
    return side;
}

}  // namespace

bool ZoomEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const int H = ZoomSide(WorkBitmap.Height(), FromBitmap.Height(), ToBitmap.Height());
    const int W = ZoomSide(WorkBitmap.Width(), FromBitmap.Width(), ToBitmap.Width());
    const int S = std::min(H, W);
    const int h = S / 2;

    // The picture is chosen by the frame as passed in; the clamped last frame shows the
    // incoming picture at full size.
    const auto [In, Out] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    const TBitmap& P = p.CurrentFrame <= h ? Out : In;
    int f = std::max(p.CurrentFrame, LowestFrame);
    bool finished = false;
    if (S <= f) {
        finished = true;
        f = S;
        ReportFrame(*Params, f);
    }

    // The same inset on all four sides: the centre stays, the proportions do not.
    const int inset = f <= h ? f : S - f;
    CopyBand(WorkBitmap, P, Rect(0, 0, W, H), Rect(inset, inset, W - inset, H - inset));
    return finished;
}

bool MosaicEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const std::int64_t d = p.Delta;
    std::int64_t f = p.CurrentFrame;
    bool finished = false;
    if (ReachedEnd(p.CurrentFrame, 2 * d)) {
        finished = true;
        f = 2 * d;
        ReportFrame(*Params, f);
    }

    const int W = WorkBitmap.Width();
    const int H = WorkBitmap.Height();
    const TRect full = Rect(0, 0, W, H);
    const auto [In, Out] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    const TBitmap& P = f <= d ? Out : In;

    // Level k shrinks by 2^k; only the low five bits of k count, as in a 32-bit shift
    // (level 33 shifts by 1). Where 2^k exceeds a side the reduced picture is empty and
    // the frame keeps its fill.
    const std::int64_t k = f <= d ? f : 2 * d - f;
    const unsigned shift = unsigned(k & 31);
    const int w = int(std::uint32_t(W) >> shift);
    const int h = int(std::uint32_t(H) >> shift);
    const TRect reduced = Rect((W - w) / 2, (H - h) / 2, (W + w) / 2, (H + h) / 2);

    // Level 0 of a picture that covers the frame is the picture itself.
    if (k == 0 && P.Width() >= W && P.Height() >= H) {
        CopyBand(WorkBitmap, P, full);
        return finished;
    }
    // The stretching copy reduces the picture into T, the size of the reduced rectangle,
    // and enlarges T again; T goes with the scope.
    const TRect small = Rect(0, 0, reduced.Width(), reduced.Height());
    TBitmap T;
    T.SetSize(small.Right, small.Bottom);
    CopyBand(T, P, full, small);
    CopyBand(WorkBitmap, T, small, full);
    return finished;
}

}  // namespace Wipekit
