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
//
// Given the component's memory of the frame on screen (TTransitionParams::Memory), it
// records every copy of the frame and Draw keeps them there. When the memory says the work
// bitmap still shows the frame of the layers it holds (Partial), Draw writes only where the
// new frame can differ: pairing the two lists by position, the pixels outside both
// targets of every pair of different mappings (source, offsets) and outside the symmetric
// difference of the targets of every pair of equal mappings are covered by the same
// copies in both frames, so they already show the new frame.
class TFrameLayers {
public:
    explicit TFrameLayers(TBitmap& work, TFrameMemory* memory = nullptr);
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
    using Layer = TFrameLayer;
    // Composed at most at once: beyond this the pass would cost more than the writes it
    // saves, so longer lists are drawn in parts, one over the other (without a memory, the
    // layers so far are drawn and recording starts again).
    static constexpr std::size_t MaxLayers = 256;

    // Draws layers, topmost first, each pixel once; in parts of MaxLayers.
    void Compose(const Layer* layers, std::size_t count) noexcept;
    void ComposePart(const Layer* layers, std::size_t count) noexcept;
    // Draws the recorded layers where they can differ from the memory's.
    void ComposeChanges();
    // Draws the layers over rectangle r only.
    void ComposeWithin(const TRect& r);
    void DrawRun(const Layer& layer, int left, int right, int top, int bottom);

    TBitmap& FWork;
    TFrameMemory* FMemory;
    bool FWhole = false;  // with a memory: a copy was drawn unrecorded, so the frame is drawn whole
    std::vector<Layer> FLayers;
    // Scratch of the passes.
    std::vector<int> FEdges;
    std::vector<std::pair<int, int>> FCovered;
    std::vector<TRect> FDamage;
    std::vector<Layer> FClipped;
    std::vector<std::uint32_t> FBuckets, FBucketStart, FSeen;
    std::vector<std::uint32_t> FCandidates;
    std::int64_t FPixels = 0;
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
