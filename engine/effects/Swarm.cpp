// toSwarm: the incoming picture covers the frame like a wipe one pixel a frame, and a band
// Delta pixels deep ahead of its edge is sprinkled with random pixels of it, drawn anew on
// every frame. The reverse routine plays the same picture backwards.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/effects/FrameLayers.h"

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

// Whether no draw in band can reach the w x h pixels the swarm copies. A draw lands at
// an offset below the band's side, or at offset 0 for a side of 0 (Random(0) is 0).
bool Misses(const TRect64& band, std::int64_t w, std::int64_t h) {
    const auto reach = [](std::int64_t side) { return std::max<std::int64_t>(std::uint32_t(side), 1); };
    return w <= 0 || h <= 0 || band.Left + reach(band.Width()) <= 0 || band.Left >= w || band.Top + reach(band.Height()) <= 0 ||
           band.Top >= h;
}

// One frame of either routine: backwards plays the wipe from its end.
bool SwarmFrame(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams& p,
                bool backwards) {
    const std::int64_t W = WorkBitmap.Width();
    const std::int64_t H = WorkBitmap.Height();
    const std::int64_t D = p.Delta;
    const Axis axis = MotionAxis(p.Modifier);
    const std::int64_t L = axis.Travel(W, H);
    // The reverse run goes on until its swarm band has left the picture.
    const std::int64_t last = backwards ? L + D : L;
    std::int64_t f = p.CurrentFrame;
    bool finished = false;
    if (f > last) {
        finished = true;
        f = last;
        ReportFrame(p, f);
    }

    TFrameLayers layers(WorkBitmap);
    layers.Copy(FromBitmap, p.ClientRect);
    // ToBitmap covers depth pixels from the entry edge; the swarm band lies D pixels deep
    // ahead of it.
    const std::int64_t depth = backwards ? L - f : f;
    const Span across{0, axis.Across(W, H)};
    layers.Copy(ToBitmap, axis.Band({0, depth}, L, across));
    layers.Draw();
    const TRect64 band = axis.Band({depth, depth + D}, L, across);

    // (D * side) / 2 + 1 pixels, the side being the one across the motion. The first
    // random number is the column within the band, the second the row.
    const std::int64_t count = D * across.Hi / 2 + 1;
    if (Misses(band, std::min(W, std::int64_t(ToBitmap.Width())), std::min(H, std::int64_t(ToBitmap.Height())))) {
        // No draw can land on a pixel: only the generator moves on, as the draws would move it.
        SkipRandom(2 * count);
        WorkBitmap.Changed();
        return finished;
    }
    if (count > MaxSwarmPixels)
        throw ELumawipe("toSwarm cannot draw " + std::to_string(count) + " random pixels in one frame (at most " +
                        std::to_string(MaxSwarmPixels) + "): lower Delta.");
    PixelCopier swarm(WorkBitmap, ToBitmap);
    for (std::int64_t k = 0; k < count; ++k) {
        const std::int64_t x = Random(std::uint32_t(band.Width()));
        const std::int64_t y = Random(std::uint32_t(band.Height()));
        swarm.Copy(band.Left + x, band.Top + y);
    }
    WorkBitmap.Changed();
    return finished;
}

}  // namespace

WIPEKIT_FORWARD_AND_REVERSE(SwarmEffect, SwarmReverseEffect, SwarmFrame)

}  // namespace Wipekit
