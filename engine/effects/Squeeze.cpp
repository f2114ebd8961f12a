// toSqueeze: the whole incoming picture grows from the centre while the outgoing picture,
// cut into a border of four sides and four corners, is compressed towards the edges.
// ToBitmap is always the centre and FromBitmap the border; the reverse routine plays the
// same motion backwards.
#include "engine/effects/EffectKit.h"

namespace Wipekit {

using namespace Effects;

namespace {

// Number of frames of the run and depth of the full border.
int SqueezeDepth(const TBitmap& work) { return std::min(work.Width(), work.Height()) / 2; }

// Draws the frame whose border is k pixels deep (a, the full depth, shows FromBitmap in
// place around a strip of ToBitmap; 0 shows ToBitmap alone).
void DrawSqueeze(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& work, int a, int k) {
    const int W = work.Width();
    const int H = work.Height();
    CopyBand(work, ToBitmap, Rect(0, 0, W, H), Rect(k, k, W - k, H - k));

    // Sides: bands a deep that span the centre's columns or rows, compressed to k deep.
    CopyBand(work, FromBitmap, Rect(k, 0, W - k, a), Rect(k, 0, W - k, k));              // top
    CopyBand(work, FromBitmap, Rect(W - a, k, W, H - k), Rect(W - k, k, W, H - k));      // right
    CopyBand(work, FromBitmap, Rect(k, H - a, W - k, H), Rect(k, H - k, W - k, H));      // bottom
    CopyBand(work, FromBitmap, Rect(0, k, a, H - k), Rect(0, k, k, H - k));              // left
    // Corners: the a x a corners, compressed to k x k.
    CopyBand(work, FromBitmap, Rect(0, 0, a, a), Rect(0, 0, k, k));                      // top-left
    CopyBand(work, FromBitmap, Rect(W - a, 0, W, a), Rect(W - k, 0, W, k));              // top-right
    CopyBand(work, FromBitmap, Rect(W - a, H - a, W, H), Rect(W - k, H - k, W, H));      // bottom-right
    CopyBand(work, FromBitmap, Rect(0, H - a, a, H), Rect(0, H - k, k, H));              // bottom-left
}

// Frame f of a run over the full depth a draws a border a - f deep; backwards draws the
// forward frame a - f instead, and its last frame then shows FromBitmap alone.
bool DrawSqueezeRun(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                    TTransitionParams& p, bool backwards) {
    const int a = SqueezeDepth(WorkBitmap);
    const bool finished = p.CurrentFrame > a;
    if (finished) ReportFrame(p, a);
    const int f = finished ? a : std::max(p.CurrentFrame, LowestFrame);
    DrawSqueeze(FromBitmap, ToBitmap, WorkBitmap, a, backwards ? f : a - f);
    if (backwards && finished) CopyBand(WorkBitmap, FromBitmap, p.ClientRect);
    return finished;
}

}  // namespace

WIPEKIT_FORWARD_AND_REVERSE(SqueezeEffect, SqueezeReverseEffect, DrawSqueezeRun)

}  // namespace Wipekit
