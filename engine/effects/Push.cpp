// toPush: the incoming picture enters at one edge and pushes the outgoing one out at
// the opposite edge, both moving by CurrentFrame pixels.
#include "engine/effects/EffectKit.h"

namespace Wipekit {

using namespace Effects;

bool PushEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const auto [In, Out] = ByDirection(FromBitmap, ToBitmap, p.Reverse);
    const TTransitionModifier direction = p.Reverse ? Mirror(p.Modifier) : p.Modifier;
    const int W = WorkBitmap.Width();
    const int H = WorkBitmap.Height();
    int d = p.CurrentFrame;

    // The end test is strict: the frame at the full extent is drawn once more as the last.
    const int extent = IsHorizontal(direction) ? W : H;
    bool finished = false;
    if (extent < d) {
        finished = true;
        d = extent;
    }

    switch (direction) {
        case TTransitionModifier::tmLeft: {
            const int h = std::min(H, In.Height());
            Blit(WorkBitmap, In, Rect(0, 0, d, h), Rect(W - d, 0, W, h));
            Blit(WorkBitmap, Out, Rect(d, 0, W, h), Rect(0, 0, W - d, h));
            break;
        }
        case TTransitionModifier::tmRight: {
            const int h = std::min(H, In.Height());
            Blit(WorkBitmap, In, Rect(W - d, 0, W, h), Rect(0, 0, d, h));
            Blit(WorkBitmap, Out, Rect(0, 0, W - d, h), Rect(d, 0, W, h));
            break;
        }
        case TTransitionModifier::tmUp: {
            const int w = std::min(W, In.Width());
            Blit(WorkBitmap, In, Rect(0, 0, w, d), Rect(0, H - d, w, H));
            Blit(WorkBitmap, Out, Rect(0, d, w, H), Rect(0, 0, w, H - d));
            break;
        }
        case TTransitionModifier::tmDown: {
            const int w = std::min(W, In.Width());
            const int Hi = In.Height();
            Blit(WorkBitmap, In, Rect(0, Hi - d, w, Hi), Rect(0, 0, w, d));
            Blit(WorkBitmap, Out, Rect(0, 0, w, H - d), Rect(0, d, w, H));
            break;
        }
    }
    return finished;
}

}  // namespace Wipekit
