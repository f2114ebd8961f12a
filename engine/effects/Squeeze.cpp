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
    Blit(work, ToBitmap, Rect(0, 0, W, H), Rect(k, k, W - k, H - k));

    // Sides: bands a deep that span the centre's columns or rows, compressed to k deep.
    Blit(work, FromBitmap, Rect(k, 0, W - k, a), Rect(k, 0, W - k, k));              // top
    Blit(work, FromBitmap, Rect(W - a, k, W, H - k), Rect(W - k, k, W, H - k));      // right
    Blit(work, FromBitmap, Rect(k, H - a, W - k, H), Rect(k, H - k, W - k, H));      // bottom
    Blit(work, FromBitmap, Rect(0, k, a, H - k), Rect(0, k, k, H - k));              // left
    // Corners: the a x a corners, compressed to k x k.
    Blit(work, FromBitmap, Rect(0, 0, a, a), Rect(0, 0, k, k));                      // top-left
    Blit(work, FromBitmap, Rect(W - a, 0, W, a), Rect(W - k, 0, W, k));              // top-right
    Blit(work, FromBitmap, Rect(W - a, H - a, W, H), Rect(W - k, H - k, W, H));      // bottom-right
    Blit(work, FromBitmap, Rect(0, H - a, a, H), Rect(0, H - k, k, H));              // bottom-left
}

// The frame clamped to the run; finished once it lies past the last frame a.
int SqueezeFrame(std::int32_t frame, int a, bool& finished) {
    finished = frame > a;
    return finished ? a : std::max(frame, LowestFrame);
}

}  // namespace

bool SqueezeEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const int a = SqueezeDepth(WorkBitmap);
    bool finished;
    const int f = SqueezeFrame(p.CurrentFrame, a, finished);
    DrawSqueeze(FromBitmap, ToBitmap, WorkBitmap, a, a - f);
    return finished;
}

// Frame f is the forward frame a - f; the last frame then shows FromBitmap alone.
bool SqueezeReverseEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                          TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const int a = SqueezeDepth(WorkBitmap);
    bool finished;
    const int f = SqueezeFrame(p.CurrentFrame, a, finished);
    DrawSqueeze(FromBitmap, ToBitmap, WorkBitmap, a, f);
    if (finished) Blit(WorkBitmap, FromBitmap, p.ClientRect, p.ClientRect);
    return finished;
}

}  // namespace Wipekit
