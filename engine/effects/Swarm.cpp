// toSwarm: the incoming picture covers the frame like a wipe one pixel a frame, and a band
// Delta pixels deep ahead of its edge is sprinkled with random pixels of it, drawn anew on
// every frame. The reverse routine plays the same picture backwards.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/effects/EffectKit.h"

namespace Wipekit {

using namespace Effects;

namespace {

// Copies single pixels of a picture onto the same place of the frame, skipping those
// outside either bitmap, as a 1 x 1 rectangle copy does.
class PixelCopier {
public:
    PixelCopier(TBitmap& work, const TBitmap& picture) : FDst(work.Pixels()), FSrc(picture.Pixels()) {}

    void Copy(std::int64_t x, std::int64_t y) {
        if (x < 0 || y < 0 || x >= std::min(FDst.Width, FSrc.Width) || y >= std::min(FDst.Height, FSrc.Height)) return;
        std::memcpy(FDst.At(int(x), int(y)), FSrc.At(int(x), int(y)), 3);
    }

private:
    Toolkit::TPixelView FDst;
    Toolkit::TConstPixelView FSrc;
};

// A rectangle whose sides are computed in 64 bits, clipped to the frame so that it fits
// the rectangle type. Both bitmaps sit at the origin, so clipping to the frame first
// changes nothing a copy between equal rectangles would draw.
TRect ClippedRect(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, int W, int H) {
    auto clamp = [](std::int64_t v, int hi) { return int(std::clamp<std::int64_t>(v, 0, hi)); };
    return Rect(clamp(l, W), clamp(t, H), clamp(r, W), clamp(b, H));
}

// One frame of either routine: reverse plays the wipe backwards.
bool SwarmFrame(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, const TTransitionParams& p,
                bool reverse) {
    const int W = WorkBitmap.Width();
    const int H = WorkBitmap.Height();
    const std::int64_t D = p.Delta;
    const bool horizontal = IsHorizontal(p.Modifier);
    const std::int64_t L = horizontal ? W : H;
    // The reverse run goes on until its swarm band has left the picture.
    const std::int64_t last = reverse ? L + D : L;
    std::int64_t f = p.CurrentFrame;
    bool finished = false;
    if (f > last) {
        finished = true;
        f = last;
    }

    Uncover(WorkBitmap, FromBitmap, p.ClientRect);

    // The region of ToBitmap, and the first corner of the band's pixels: the band lies
    // at offset + [0, D) across the edge.
    TRect region;
    std::int64_t offset = 0;
    switch (p.Modifier) {
        case TTransitionModifier::tmLeft:
            region = reverse ? ClippedRect(f, 0, W, H, W, H) : ClippedRect(W - f, 0, W, H, W, H);
            offset = reverse ? f - D : W - f - D;
            break;
        case TTransitionModifier::tmRight:
            region = reverse ? ClippedRect(0, 0, W - f, H, W, H) : ClippedRect(0, 0, f, H, W, H);
            offset = reverse ? W - f : f;
            break;
        case TTransitionModifier::tmUp:
            region = reverse ? ClippedRect(0, f, W, H, W, H) : ClippedRect(0, H - f, W, H, W, H);
            offset = reverse ? f - D : H - f - D;
            break;
        case TTransitionModifier::tmDown:
            region = reverse ? ClippedRect(0, 0, W, H - f, W, H) : ClippedRect(0, 0, W, f, W, H);
            offset = reverse ? H - f : f;
            break;
    }
    Uncover(WorkBitmap, ToBitmap, region);

    // (D * side) / 2 + 1 pixels, the side being the one across the motion. The first
    // random number is the column, the second the row: one of them is the offset into
    // the band, the other ranges over the whole side.
    const std::int64_t across = horizontal ? H : W;
    const std::int64_t count = D * across / 2 + 1;
    PixelCopier swarm(WorkBitmap, ToBitmap);
    if (horizontal) {
        for (std::int64_t k = 0; k < count; ++k) {
            const std::int64_t r1 = Random(std::uint32_t(D));
            const std::int64_t r2 = Random(std::uint32_t(H));
            swarm.Copy(offset + r1, r2);
        }
    } else {
        for (std::int64_t k = 0; k < count; ++k) {
            const std::int64_t r1 = Random(std::uint32_t(W));
            const std::int64_t r2 = Random(std::uint32_t(D));
            swarm.Copy(r1, offset + r2);
        }
    }
    WorkBitmap.Changed();
    return finished;
}

}  // namespace

bool SwarmEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    return SwarmFrame(FromBitmap, ToBitmap, WorkBitmap, p, false);
}

bool SwarmReverseEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                        TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    return SwarmFrame(FromBitmap, ToBitmap, WorkBitmap, p, true);
}

}  // namespace Wipekit
