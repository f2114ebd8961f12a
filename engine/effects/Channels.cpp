// toRGB: the outgoing picture loses its colour channels one by one down to black, then the
// incoming one gains them. toRGBBlend: the outgoing picture's channels are replaced one by
// one by the incoming picture's. RGBOrder sets the sequence of the channels.
#include <array>
#include <vector>

#include "engine/effects/EffectKit.h"
#include "engine/effects/PixelMix.h"

namespace Wipekit {

using namespace Effects;

namespace {

enum Channel { Red, Green, Blue };
constexpr int ChannelCount = 3;
constexpr int LevelCount = 4;

// The channel sequence of each RGBOrder, in its ordinal order.
constexpr Channel ChannelSequence[RGBOrderCount][ChannelCount] = {
    {Red, Green, Blue}, {Red, Blue, Green}, {Green, Red, Blue},
    {Green, Blue, Red}, {Blue, Red, Green}, {Blue, Green, Red},
};

// RGBChannelMask[n][order][channel]: the channel is among the first n of the order's sequence.
using TChannelMask = std::array<std::array<std::array<bool, ChannelCount>, RGBOrderCount>, LevelCount>;
constexpr TChannelMask RGBChannelMask = [] {
    TChannelMask mask{};
    for (int n = 0; n < LevelCount; ++n)
        for (int order = 0; order < RGBOrderCount; ++order)
            for (int k = 0; k < n; ++k) mask[n][order][ChannelSequence[order][k]] = true;
    return mask;
}();

// Byte offset of each channel within a pixel of the buffer (blue, green, red).
constexpr int ByteOffset[ChannelCount] = {2, 1, 0};

// One row's worth of byte masks: 0xFF for the bytes of the channels set at level n, 0 for
// the others, so that the pixel loops run over plain bytes.
std::vector<std::uint8_t> RowMask(int n, TRGBOrder order, std::size_t rowBytes) {
    std::uint8_t pixel[ChannelCount];
    for (int ch = 0; ch < ChannelCount; ++ch)
        pixel[ByteOffset[ch]] = RGBChannelMask[std::size_t(n)][std::size_t(order)][std::size_t(ch)] ? 0xFF : 0x00;
    std::vector<std::uint8_t> mask(rowBytes);
    for (std::size_t i = 0; i < rowBytes; ++i) mask[i] = pixel[i % ChannelCount];
    return mask;
}

// An order outside the enumeration cannot index the table; such a value reaches a routine
// only through a corrupt parameter block.
TRGBOrder CheckedOrder(TRGBOrder order) {
    if (std::size_t(order) >= RGBOrderCount) throw ELumawipe("Unknown RGBOrder.");
    return order;
}

constexpr int RGBDark = 3;  // toRGB: the black frame between the two pictures
constexpr int RGBLast = 6;
constexpr int RGBBlendLast = 3;

}  // namespace

bool RGBEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const TRGBOrder order = CheckedOrder(p.RGBOrder);
    std::int32_t f = p.CurrentFrame;
    const bool outgoing = f <= RGBDark;
    const Toolkit::TConstPixelView picture = ReadPixels(outgoing != p.Reverse ? FromBitmap : ToBitmap);

    bool finished = false;
    if (f < 0) {
        f = 0;
        ReportFrame(*Params, f);
    } else if (f >= RGBLast) {
        finished = true;
        f = RGBLast;
        ReportFrame(*Params, f);
    }
    const int n = f <= RGBDark ? RGBDark - f : f - RGBDark;

    // Level 3 keeps every channel: its mask is all ones.
    // The mask is read through a plain pointer: a byte store could alias the vector's own
    // pointer, which clang then reloads at every byte and does not vectorise.
    const std::vector<std::uint8_t> mask = RowMask(n, order, picture.RowBytes());
    const std::uint8_t* keep = mask.data();
    MixRows(WorkBitmap, picture.Width, picture.Height, [&](std::uint8_t* d, int row, std::size_t bytes) {
        const std::uint8_t* s = picture.Row(row);
        for (std::size_t i = 0; i < bytes; ++i) d[i] = s[i] & keep[i];
    });
    return finished;
}

bool RGBBlendEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                    TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    const TRGBOrder order = CheckedOrder(p.RGBOrder);
    // The base picture keeps the channels of the current level; the others come from the
    // other picture.
    const Toolkit::TConstPixelView base = ReadPixels(p.Reverse ? FromBitmap : ToBitmap);
    const Toolkit::TConstPixelView other = ReadPixels(p.Reverse ? ToBitmap : FromBitmap);
    // Both pictures are read at every row and column of the base: refuse a smaller other.
    if (base.Width != other.Width || base.Height != other.Height) throw ELumawipeBitmapSize(SBitmapsUnequal);

    std::int32_t f = p.CurrentFrame;
    bool finished = false;
    if (f < 0) {
        f = 0;
        ReportFrame(*Params, f);
    } else if (f >= RGBBlendLast) {
        finished = true;
        f = RGBBlendLast;
        ReportFrame(*Params, f);
    }

    // Level 3 takes every channel of the base: its mask is all ones.
    const std::vector<std::uint8_t> mask = RowMask(f, order, base.RowBytes());
    const std::uint8_t* keep = mask.data();
    MixRows(WorkBitmap, base.Width, base.Height, [&](std::uint8_t* d, int row, std::size_t bytes) {
        const std::uint8_t* b = base.Row(row);
        const std::uint8_t* o = other.Row(row);
        for (std::size_t i = 0; i < bytes; ++i) d[i] = std::uint8_t((b[i] & keep[i]) | (o[i] & ~keep[i]));
    });
    return finished;
}

}  // namespace Wipekit
