// Pixel rows of the per-pixel effects and the integer arithmetic that mixes their bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

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
// may be the very row it reads. Rows are visited in the order they lie in memory.
template <class RowOp>
void MixRows(TBitmap& work, int width, int height, RowOp rowOp) {
    work.SetSize(width, height);
    const Toolkit::TPixelView target = work.Pixels();
    const std::size_t rowBytes = target.RowBytes();
    Toolkit::ForLinesInMemoryOrder(target, 0, target.Height, [&](int row) { rowOp(target.Row(row), row, rowBytes); });
    work.Changed();
}

// Largest sum the mixes below divide: 255 * 255 plus the rounding term 127.
constexpr unsigned MaxMixSum = 255 * 255 + 127;

// x / 255 rounded down, for 0 <= x <= MaxMixSum, given x + 1: the high half of
// (x + 1) * 257. Compilers turn a 16 x 16 -> 32-bit product shifted right by 16 into one
// multiply-high instruction on 16-bit vector lanes (pmulhuw on x86).
constexpr std::uint16_t Div255Next(std::uint16_t next) {
    return std::uint16_t((std::uint32_t(next) * 257u) >> 16);
}

#if defined(__wasm_simd128__)
// Div255Next on eight 16-bit lanes: (x + 1) * 257 / 65536 as shifts, since WebAssembly has no
// multiply-high. Clang's WebAssembly vectoriser turns the portable loops below into 32-bit
// lanes (the product shifted by 16) or scalar code (sixteen bytes as eight words), several
// times slower than these 16-bit lanes; the portable form that it does vectorise (shifts and
// adds) costs the x86 builds half as long again.
inline v128_t Div255Next(v128_t next) {
    return wasm_u16x8_shr(wasm_i16x8_add(next, wasm_u16x8_shr(next, 8)), 8);
}
#endif

// dst[i] := (a[i] * (255 - w) + b[i] * w) / 255, rounded down; 0 <= w <= 255.
inline void BlendBytes(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, unsigned w,
                       std::size_t n) {
    const std::uint16_t wa = std::uint16_t(255 - w);
    const std::uint16_t wb = std::uint16_t(w);
    std::size_t i = 0;
#if defined(__wasm_simd128__)
    const v128_t va = wasm_i16x8_splat(std::int16_t(wa)), vb = wasm_i16x8_splat(std::int16_t(wb));
    const v128_t one = wasm_i16x8_splat(1);
    for (; i + 16 <= n; i += 16) {
        const v128_t x = wasm_v128_load(a + i), y = wasm_v128_load(b + i);
        const v128_t lo = wasm_i16x8_add(wasm_i16x8_add(wasm_i16x8_mul(wasm_u16x8_extend_low_u8x16(x), va),
                                                        wasm_i16x8_mul(wasm_u16x8_extend_low_u8x16(y), vb)),
                                         one);
        const v128_t hi = wasm_i16x8_add(wasm_i16x8_add(wasm_i16x8_mul(wasm_u16x8_extend_high_u8x16(x), va),
                                                        wasm_i16x8_mul(wasm_u16x8_extend_high_u8x16(y), vb)),
                                         one);
        wasm_v128_store(dst + i, wasm_u8x16_narrow_i16x8(Div255Next(lo), Div255Next(hi)));
    }
#else
    // Sixteen bytes at a time as eight 16-bit words, the two bytes of each word mixed apart
    // (the low one masked, the high one shifted down and back): no widening of bytes to
    // words and narrowing back. Every byte is weighed alike, so the byte order of a word
    // does not matter.
    for (; i + 16 <= n; i += 16) {
        std::uint16_t x[8], y[8], r[8];
        std::memcpy(x, a + i, sizeof x);
        std::memcpy(y, b + i, sizeof y);
        for (int k = 0; k < 8; ++k) {
            const auto low = std::uint16_t((x[k] & 0xFFu) * wa + (y[k] & 0xFFu) * wb + 1);
            const auto high = std::uint16_t((x[k] >> 8) * wa + (y[k] >> 8) * wb + 1);
            r[k] = std::uint16_t(Div255Next(low) | Div255Next(high) << 8);
        }
        std::memcpy(dst + i, r, sizeof r);
    }
#endif
    for (; i < n; ++i) dst[i] = std::uint8_t(Div255Next(std::uint16_t(a[i] * wa + b[i] * wb + 1)));
}

// dst[i] := (src[i] * w + term[i] - 1) / 255, rounded down; 0 <= w <= 255, where term holds a
// colour's share plus a rounding term plus one, 1 <= src[i] * w + term[i] <= MaxMixSum + 1.
inline void WeighBytes(std::uint8_t* dst, const std::uint8_t* src, const std::uint16_t* term, unsigned w,
                       std::size_t n) {
    const std::uint16_t wp = std::uint16_t(w);
    std::size_t i = 0;
#if defined(__wasm_simd128__)
    const v128_t vw = wasm_i16x8_splat(std::int16_t(wp));
    for (; i + 16 <= n; i += 16) {
        const v128_t x = wasm_v128_load(src + i);
        const v128_t lo = wasm_i16x8_add(wasm_i16x8_mul(wasm_u16x8_extend_low_u8x16(x), vw), wasm_v128_load(term + i));
        const v128_t hi = wasm_i16x8_add(wasm_i16x8_mul(wasm_u16x8_extend_high_u8x16(x), vw), wasm_v128_load(term + i + 8));
        wasm_v128_store(dst + i, wasm_u8x16_narrow_i16x8(Div255Next(lo), Div255Next(hi)));
    }
#endif
    for (; i < n; ++i) dst[i] = std::uint8_t(Div255Next(std::uint16_t(src[i] * wp + term[i])));
}

}  // namespace Wipekit::Effects
