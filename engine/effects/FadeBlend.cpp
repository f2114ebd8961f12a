// toFade: the outgoing picture fades into Color, then the incoming one fades in out of it.
// toBlend: the outgoing picture cross-fades into the incoming one.
// Both mix every byte of the pictures' 24-bit rows in integers; see PixelMix.h.
#include <cstring>
#include <vector>

#include "engine/effects/EffectKit.h"
#include "engine/effects/PixelMix.h"

namespace Wipekit {

using namespace Effects;

namespace {

constexpr int FadeHalf = 256;               // frames per half of a fade
constexpr int FadeLast = 2 * FadeHalf - 1;  // 511: the incoming picture, unchanged
constexpr int BlendLast = 255;

template <std::uint16_t (*Divide)(std::uint16_t)>
constexpr bool Div255IsExact() {
    for (unsigned x = 0; x <= MaxMixSum; ++x)
        if (Divide(std::uint16_t(x + 1)) != x / 255) return false;
    return true;
}
static_assert(Div255IsExact<Div255NextByProduct>() && Div255IsExact<Div255NextByShifts>(),
              "the shortcut divisions must agree with x / 255 over every mix");

}  // namespace

bool FadeEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    std::int32_t f = p.CurrentFrame;
    // The picture of the current half, chosen by the frame as passed in.
    const bool firstHalf = f < FadeHalf;
    const Toolkit::TConstPixelView picture = ReadPixels(firstHalf != p.Reverse ? FromBitmap : ToBitmap);

    bool finished = false;
    if (f >= FadeLast) {
        finished = true;
        f = FadeLast;
        ReportFrame(*Params, f);
    }
    // Before the first frame (a render between Play and the first tick) the picture is
    // shown as it is, rather than extrapolated past it.
    if (f < 0) {
        f = 0;
        ReportFrame(*Params, f);
    }

    // The exact value c + (c - p) * (f - 255) / 255 of the first half is
    // (p * (255 - f) + c * f) / 255, and p + (p - c) * (f - 511) / 255 of the second half is
    // (p * (f - 256) + c * (511 - f)) / 255: both p * w + c * (255 - w) over 255 with the
    // picture's weight w. The numerator is an integer and 255 is odd, so the value is never
    // halfway between two integers; adding 127 before rounding down gives the nearest one.
    const unsigned w = unsigned(f < FadeHalf ? 255 - f : f - FadeHalf);
    if (w == 255) {
        MixRows(WorkBitmap, picture.Width, picture.Height,
                [&](std::uint8_t* d, int row, std::size_t n) { std::memmove(d, picture.Row(row), n); });
        return finished;
    }
    const TColor c = Toolkit::ColorToRGB(p.Color);
    const std::uint8_t channel[3] = {Toolkit::GetBValue(c), Toolkit::GetGValue(c), Toolkit::GetRValue(c)};
    // The colour's share of each byte of a row, in the pixels' blue-green-red order, with the
    // rounding term and the one that Div255Next expects.
    std::vector<std::uint16_t> term(picture.RowBytes());
    for (std::size_t i = 0; i < term.size(); ++i) term[i] = std::uint16_t(channel[i % 3] * (255 - w) + 127 + 1);
    ArrangeWeighTerms(term);
    MixRows(WorkBitmap, picture.Width, picture.Height,
            [&](std::uint8_t* d, int row, std::size_t n) { WeighBytes(d, picture.Row(row), term.data(), w, n); });
    return finished;
}

bool BlendEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    if (FromBitmap.Width() != ToBitmap.Width() || FromBitmap.Height() != ToBitmap.Height())
        throw ELumawipeBitmapSize(SBitmapsUnequal);
    const Toolkit::TConstPixelView a = ReadPixels(FromBitmap);
    const Toolkit::TConstPixelView b = ReadPixels(ToBitmap);

    std::int32_t f = p.CurrentFrame;
    bool finished = false;
    if (f >= BlendLast) {
        finished = true;
        f = BlendLast;
        ReportFrame(*Params, f);
    }
    // Frames before the first show the outgoing picture; a negative weight has no meaning.
    if (f < 0) {
        f = 0;
        ReportFrame(*Params, f);
    }

    // Weight of ToBitmap's byte; with Reverse the run goes from ToBitmap to FromBitmap.
    const unsigned w = unsigned(p.Reverse ? BlendLast - f : f);
    MixRows(WorkBitmap, a.Width, a.Height,
            [&](std::uint8_t* d, int row, std::size_t n) { BlendBytes(d, a.Row(row), b.Row(row), w, n); });
    return finished;
}

}  // namespace Wipekit
