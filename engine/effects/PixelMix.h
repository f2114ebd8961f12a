// Pixel buffers of the per-pixel effects and the integer arithmetic that mixes their bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/PixelAccess.h"

namespace Wipekit::Effects {

// A picture's pixels read with GetBitmapPixels. The buffer is freed when the object goes,
// unless WriteTo has handed it to SetBitmapPixels (which frees it itself).
class PixelBuffer {
public:
    explicit PixelBuffer(const TBitmap& picture) { GetBitmapPixels(picture, Bits, Size, Info); }
    ~PixelBuffer() { FreeBitmapPixels(Bits); }
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    int Width() const { return Info.biWidth; }
    int Height() const { return Info.biHeight; }
    // Bytes of pixel data in a row, padding excluded.
    std::size_t RowBytes() const { return std::size_t(Info.biWidth) * 3; }
    // Line y of the picture, counted from the top.
    std::uint8_t* Row(int y) const { return PixelView(Bits, Info).Row(y); }

    void WriteTo(TBitmap& work) { SetBitmapPixels(work, Bits, Info); }

    std::uint8_t* Bits = nullptr;
    std::uint32_t Size = 0;
    TBitmapInfoHeader Info;
};

// Largest sum the mixes below divide: 255 * 255 plus the rounding term 127.
constexpr unsigned MaxMixSum = 255 * 255 + 127;

// x / 255 rounded down, for 0 <= x <= MaxMixSum, with a shift instead of a division. Every
// intermediate stays below 2^16, so the compiler can run it on 16-bit vector lanes.
constexpr std::uint16_t Div255(std::uint16_t x) {
    return std::uint16_t((x + 1u + (x >> 8)) >> 8);
}

// dst[i] := (a[i] * (255 - w) + b[i] * w) / 255, rounded down; 0 <= w <= 255.
inline void BlendBytes(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, unsigned w,
                       std::size_t n) {
    const std::uint16_t wa = std::uint16_t(255 - w);
    const std::uint16_t wb = std::uint16_t(w);
    for (std::size_t i = 0; i < n; ++i)
        dst[i] = std::uint8_t(Div255(std::uint16_t(a[i] * wa + b[i] * wb)));
}

// dst[i] := (dst[i] * w + term[i]) / 255, rounded down; 0 <= w <= 255, where term holds a
// colour's share plus a rounding term, dst[i] * w + term[i] <= MaxMixSum.
inline void WeighBytes(std::uint8_t* dst, const std::uint16_t* term, unsigned w, std::size_t n) {
    const std::uint16_t wp = std::uint16_t(w);
    for (std::size_t i = 0; i < n; ++i)
        dst[i] = std::uint8_t(Div255(std::uint16_t(dst[i] * wp + term[i])));
}

}  // namespace Wipekit::Effects
