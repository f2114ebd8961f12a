// Pixel rows of the per-pixel effects and the integer arithmetic that mixes their bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/PixelAccess.h"

#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

namespace Wipekit::Effects {

// The pixels of a picture a per-pixel effect reads, used in place: no copy of them is
// made. A picture without pixels raises ELumawipeBitmapConvert "Unable to get bitmap.".
inline Toolkit::TConstPixelView ReadPixels(const TBitmap& picture) {
    if (picture.Empty()) throw ELumawipeBitmapConvert(SUnableToGetBitmap);
    return picture.Pixels();
}

// Sizes work width x height and applies rowOp(target row, row index, bytes) to every row,
// then raises work's change notification. The effects mix byte by byte, so a target row
// may be the very row it reads.
template <class RowOp>
void MixRows(TBitmap& work, int width, int height, RowOp rowOp) {
    work.SetSize(width, height);
    const Toolkit::TPixelView target = work.Pixels();
    const std::size_t rowBytes = target.RowBytes();
    for (int row = 0; row < target.Height; ++row) rowOp(target.Row(row), row, rowBytes);
    work.Changed();
}

// Largest sum the mixes below divide: 255 * 255 plus the rounding term 127.
constexpr unsigned MaxMixSum = 255 * 255 + 127;

// x / 255 rounded down, for 0 <= x <= MaxMixSum, with a shift instead of a division. Every
// intermediate stays below 2^16, so the compiler can run it on 16-bit vector lanes.
constexpr std::uint16_t Div255(std::uint16_t x) {
    return std::uint16_t((x + 1u + (x >> 8)) >> 8);
}

#if defined(__wasm_simd128__)
// Div255 on eight 16-bit lanes; every sum stays below 2^16.
inline v128_t Div255(v128_t x) {
    return wasm_u16x8_shr(wasm_i16x8_add(wasm_i16x8_add(x, wasm_i16x8_splat(1)), wasm_u16x8_shr(x, 8)), 8);
}
#endif

// dst[i] := (a[i] * (255 - w) + b[i] * w) / 255, rounded down; 0 <= w <= 255.
inline void BlendBytes(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, unsigned w,
                       std::size_t n) {
    const std::uint16_t wa = std::uint16_t(255 - w);
    const std::uint16_t wb = std::uint16_t(w);
    std::size_t i = 0;
#if defined(__wasm_simd128__)
    // Clang's WebAssembly vectoriser runs this loop on 32-bit lanes fed byte by byte, many
    // times slower than the 16-bit lanes it fits: the same arithmetic, stated 16 bytes at a time.
    const v128_t va = wasm_i16x8_splat(std::int16_t(wa)), vb = wasm_i16x8_splat(std::int16_t(wb));
    for (; i + 16 <= n; i += 16) {
        const v128_t x = wasm_v128_load(a + i), y = wasm_v128_load(b + i);
        const v128_t lo = wasm_i16x8_add(wasm_i16x8_mul(wasm_u16x8_extend_low_u8x16(x), va),
                                         wasm_i16x8_mul(wasm_u16x8_extend_low_u8x16(y), vb));
        const v128_t hi = wasm_i16x8_add(wasm_i16x8_mul(wasm_u16x8_extend_high_u8x16(x), va),
                                         wasm_i16x8_mul(wasm_u16x8_extend_high_u8x16(y), vb));
        wasm_v128_store(dst + i, wasm_u8x16_narrow_i16x8(Div255(lo), Div255(hi)));
    }
#endif
    for (; i < n; ++i) dst[i] = std::uint8_t(Div255(std::uint16_t(a[i] * wa + b[i] * wb)));
}

// dst[i] := (src[i] * w + term[i]) / 255, rounded down; 0 <= w <= 255, where term holds a
// colour's share plus a rounding term, src[i] * w + term[i] <= MaxMixSum.
inline void WeighBytes(std::uint8_t* dst, const std::uint8_t* src, const std::uint16_t* term, unsigned w,
                       std::size_t n) {
    const std::uint16_t wp = std::uint16_t(w);
    std::size_t i = 0;
#if defined(__wasm_simd128__)
    // As in BlendBytes.
    const v128_t vw = wasm_i16x8_splat(std::int16_t(wp));
    for (; i + 16 <= n; i += 16) {
        const v128_t x = wasm_v128_load(src + i);
        const v128_t lo = wasm_i16x8_add(wasm_i16x8_mul(wasm_u16x8_extend_low_u8x16(x), vw), wasm_v128_load(term + i));
        const v128_t hi = wasm_i16x8_add(wasm_i16x8_mul(wasm_u16x8_extend_high_u8x16(x), vw), wasm_v128_load(term + i + 8));
        wasm_v128_store(dst + i, wasm_u8x16_narrow_i16x8(Div255(lo), Div255(hi)));
    }
#endif
    for (; i < n; ++i) dst[i] = std::uint8_t(Div255(std::uint16_t(src[i] * wp + term[i])));
}

}  // namespace Wipekit::Effects
