// The copies of one frame, drawn so that every pixel is written once.
#pragma once

#include <vector>

#include "engine/effects/EffectKit.h"

namespace Wipekit::Effects {

// Records the copies a routine draws, in painting order, and draws them in one pass that
// writes every pixel once, from the topmost copy covering it: the frame drawing them one
// over another gives, without first writing what a later copy hides (a picture copied
// over the whole frame and then mostly covered writes the frame twice).
//
// Recorded are opaque copies of rectangles of one size from a picture other than the
// frame, and an exclusive-or copy onto a rectangle that one recorded opaque copy wholly
// lies under (drawn as the exclusive-or of the two pictures). Any other copy (a stretch,
// another mode, a copy onto a mixed background) first draws what is recorded and is then
// drawn at once. What is recorded is drawn by Draw, or when the routine raises, as the
// object goes out of scope: the frame is always the one CopyBand in the same order draws.
class TFrameLayers {
public:
    explicit TFrameLayers(TBitmap& work) : FWork(work) {}
    ~TFrameLayers();
    TFrameLayers(const TFrameLayers&) = delete;
    TFrameLayers& operator=(const TFrameLayers&) = delete;

    // CopyBand(work, src, from, to, mode), recorded where it can be.
    void Copy(const TBitmap& src, const TRect64& from, const TRect64& to, TCopyMode mode = TCopyMode::cmSrcCopy);
    void Copy(const TBitmap& src, const TRect64& r) { Copy(src, r, r); }

    // Draws what is recorded, forgets it and raises work's change notification.
    void Draw();

private:
    // Pixels of Target come from Src at (x + Dx, y + Dy); an exclusive-or layer combines
    // them with Under's at (x + UnderDx, y + UnderDy).
    struct Layer {
        const TBitmap* Src;
        TRect Target;
        int Dx, Dy;
        const TBitmap* Under;
        int UnderDx, UnderDy;
    };
    // Recorded at most at once: beyond this the pass would cost more than the writes it
    // saves, so the layers so far are drawn and recording starts again.
    static constexpr std::size_t MaxLayers = 256;

    // Draws the recorded layers, topmost first, each pixel once.
    void Compose() noexcept;
    void DrawRun(const Layer& layer, int left, int right, int top, int bottom) const;

    TBitmap& FWork;
    std::vector<Layer> FLayers;
};

// Slides picture in at the entry edge of axis, depth pixels deep: the part of the
// picture nearest its far side (measured in srcExtent) shows at the entry edge of the
// frame (measured in dstExtent).
inline void SlideIn(TFrameLayers& layers, const TBitmap& picture, const Axis& axis, Span across, std::int64_t depth,
                    std::int64_t srcExtent, std::int64_t dstExtent) {
    layers.Copy(picture, axis.Band({srcExtent - depth, srcExtent}, srcExtent, across),
                axis.Band({0, depth}, dstExtent, across));
}

}  // namespace Wipekit::Effects
