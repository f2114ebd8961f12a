// Pixel rows of the per-pixel effects and the integer arithmetic that mixes their bytes.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/PixelAccess.h"

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
constexpr std::uint16_t Div255NextByProduct(std::uint16_t next) {
    return std::uint16_t((std::uint32_t(next) * 257u) >> 16);
}

// The same quotient as two shifts and an add, every sum below 2^16. WebAssembly has no
// multiply-high: there the product above becomes 32-bit lanes, this stays on 16-bit ones.
constexpr std::uint16_t Div255NextByShifts(std::uint16_t next) {
    return std::uint16_t(std::uint16_t(next + (next >> 8)) >> 8);
}

// Div255NextByShifts of low in the low byte and of high in the high byte of a word: the high
// quotient is masked in place rather than shifted down and back.
constexpr std::uint16_t Div255NextWord(std::uint16_t low, std::uint16_t high) {
    return std::uint16_t(Div255NextByShifts(low) | (std::uint16_t(high + (high >> 8)) & 0xFF00u));
}

constexpr std::uint16_t Div255Next(std::uint16_t next) {
#if defined(__wasm__)
    return Div255NextByShifts(next);
#else
    return Div255NextByProduct(next);
#endif
}

// dst[i] := (a[i] * (255 - w) + b[i] * w) / 255, rounded down; 0 <= w <= 255.
inline void BlendBytes(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, unsigned w,
                       std::size_t n) {
    const std::uint16_t wa = std::uint16_t(255 - w);
    const std::uint16_t wb = std::uint16_t(w);
    std::size_t i = 0;
    // Each byte of a 16-bit word is mixed apart (the low one masked, the high one shifted
    // down), so no bytes are widened to words and narrowed back. Every byte is weighed alike,
    // so the byte order of a word does not matter.
#if defined(__wasm__)
    // Two bytes a step, every step of the arithmetic cut to 16 bits: clang's loop vectoriser
    // then keeps eight words a vector (it widens the plain byte loop with shuffles and the
    // block below to 32-bit lanes).
    for (; i + 2 <= n; i += 2) {
        std::uint16_t x, y;
        std::memcpy(&x, a + i, sizeof x);
        std::memcpy(&y, b + i, sizeof y);
        const auto xLow = std::uint16_t(x & 0xFFu), yLow = std::uint16_t(y & 0xFFu);
        const auto xHigh = std::uint16_t(x >> 8), yHigh = std::uint16_t(y >> 8);
        const auto low = std::uint16_t(std::uint16_t(xLow * wa) + std::uint16_t(yLow * wb) + 1);
        const auto high = std::uint16_t(std::uint16_t(xHigh * wa) + std::uint16_t(yHigh * wb) + 1);
        const std::uint16_t r = Div255NextWord(low, high);
        std::memcpy(dst + i, &r, sizeof r);
    }
#else
    // Sixteen bytes at a time as eight words.
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

// Puts the terms WeighBytes adds to a row's bytes, term[i] for byte i, in the order it reads
// them: byte by byte, or on WebAssembly the terms of the words' low bytes, then those of
// their high bytes, then the last byte's when the row's length is odd.
inline void ArrangeWeighTerms([[maybe_unused]] std::vector<std::uint16_t>& term) {
#if defined(__wasm__)
    const std::vector<std::uint16_t> byByte = term;
    const std::size_t words = term.size() / 2;
    for (std::size_t j = 0; j < words; ++j) {
        term[j] = byByte[2 * j];
        term[words + j] = byByte[2 * j + 1];
    }
#endif
}

// dst[i] := (src[i] * w + t - 1) / 255, rounded down, with byte i's term t of the n arranged by
// ArrangeWeighTerms; 0 <= w <= 255, where a term holds a colour's share plus a rounding term plus
// one, 1 <= src[i] * w + t <= MaxMixSum + 1.
inline void WeighBytes(std::uint8_t* dst, const std::uint8_t* src, const std::uint16_t* term, unsigned w,
                       std::size_t n) {
    const std::uint16_t wp = std::uint16_t(w);
#if defined(__wasm__)
    // Two bytes a step as one word, as in BlendBytes; the low byte of a word is the first
    // (WebAssembly is little-endian). The terms of the low and of the high bytes lie in two
    // runs, so eight words take two plain vector loads of terms rather than a gather.
    static_assert(std::endian::native == std::endian::little);
    const std::size_t words = n / 2;
    const std::uint16_t* lowTerm = term;
    const std::uint16_t* highTerm = term + words;
    for (std::size_t j = 0; j < words; ++j) {
        std::uint16_t x;
        std::memcpy(&x, src + 2 * j, sizeof x);
        const auto low = std::uint16_t(std::uint16_t(std::uint16_t(x & 0xFFu) * wp) + lowTerm[j]);
        const auto high = std::uint16_t(std::uint16_t(std::uint16_t(x >> 8) * wp) + highTerm[j]);
        const std::uint16_t r = Div255NextWord(low, high);
        std::memcpy(dst + 2 * j, &r, sizeof r);
    }
    if (n % 2 != 0) dst[n - 1] = std::uint8_t(Div255Next(std::uint16_t(src[n - 1] * wp + term[n - 1])));
#else
    for (std::size_t i = 0; i < n; ++i) dst[i] = std::uint8_t(Div255Next(std::uint16_t(src[i] * wp + term[i])));
#endif
}

}  // namespace Wipekit::Effects
