// Pixel memory: 24-bit pixels of blue-green-red bytes in rows padded to 4 bytes (the
// memory of a DIB), the store that holds it, and the view every reader and writer of
// pixels addresses it through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>

namespace Toolkit {

// Largest picture a bitmap accepts: a side of at most MaxBitmapSide pixels and at most
// MaxBitmapBytes bytes of pixel rows. Larger requests raise EOutOfResources.
constexpr int MaxBitmapSide = 32768;
constexpr std::size_t MaxBitmapBytes = std::size_t(1) << 30;

// Validates a requested size and returns the byte size of its rows; raises
// EOutOfResources beyond the limits.
std::size_t CheckedImageSize(int width, int height);

// Bytes per row of a DIB of the given depth: each row padded to a multiple of 4 bytes.
constexpr std::size_t DibStride(int width, int bitsPerPixel = 24) {
    return ((std::size_t(width) * std::size_t(bitsPerPixel) + 31) / 32) * 4;
}

// biCompression of a DIB of plain, uncompressed rows (<windows.h> calls it BI_RGB).
constexpr std::uint32_t DibRgb = 0;

// One pixel's bytes.
struct TBgr {
    std::uint8_t B, G, R;
    void StoreAt(std::uint8_t* p) const {
        p[0] = B;
        p[1] = G;
        p[2] = R;
    }
};

// Lines of 24-bit pixels seen from the top: line y starts at Row0 + y * Stride, and its
// pixel x 3 * x bytes further. Stride is negative for lines stored bottom-up. An empty
// view has no rows.
template <class Byte>
struct TBasicPixelView {
    Byte* Row0 = nullptr;
    std::ptrdiff_t Stride = 0;
    int Width = 0;
    int Height = 0;

    bool Empty() const { return Width <= 0 || Height <= 0; }
    Byte* Row(int y) const { return Row0 + Stride * y; }
    Byte* At(int x, int y) const { return Row(y) + std::ptrdiff_t(3) * x; }
    // Bytes of pixels in a line, padding excluded.
    std::size_t RowBytes() const { return std::size_t(Width) * 3; }

    operator TBasicPixelView<const std::uint8_t>() const
        requires(!std::is_const_v<Byte>)
    {
        return {Row0, Stride, Width, Height};
    }
};

// Calls line(y) for every line y of [top, bottom) in the order the lines lie in memory
// (from the bottom for lines stored bottom-up): the processor's prefetchers follow rising
// addresses, and a walk against them made full-frame loops half as long again.
template <class Byte, class Line>
void ForLinesInMemoryOrder(const TBasicPixelView<Byte>& view, int top, int bottom, Line line) {
    if (view.Stride < 0)
        for (int y = bottom - 1; y >= top; --y) line(y);
    else
        for (int y = top; y < bottom; ++y) line(y);
}

using TPixelView = TBasicPixelView<std::uint8_t>;
using TConstPixelView = TBasicPixelView<const std::uint8_t>;

// The view of a DIB's memory of width x height pixels: rows of DibStride(width) bytes,
// stored bottom-up. This is the one place that knows the row order; nothing else does
// row arithmetic on the memory.
template <class Byte>
TBasicPixelView<Byte> DibView(Byte* bits, int width, int height) {
    if (!bits || width <= 0 || height <= 0) return {};
    const auto stride = std::ptrdiff_t(DibStride(width));
    return {bits + stride * (height - 1), -stride, width, height};
}

// Copies the pixels of src onto dst, a view of the same size. Views of the same row
// layout are copied as one block, padding included.
void CopyPixels(const TPixelView& dst, const TConstPixelView& src);

// Memory holding a bitmap's pixel rows as a DIB. Backends derive from it (Windows: a
// DIB section).
class TPixelStore {
public:
    virtual ~TPixelStore() = default;
    virtual std::uint8_t* Bits() = 0;
    // Called before the toolkit reads or writes the bytes (Windows: GdiFlush).
    virtual void Sync() {}
    // Whether code outside the toolkit holds a way to the memory and may write it at any
    // time (Windows: the handle was handed out, or came from the caller): changes then
    // happen that no change count sees.
    virtual bool Shared() const { return false; }
};

// Supplied by the backend: zero-filled storage for a width x height 24-bit DIB
// (both > 0, already checked against the limits).
std::unique_ptr<TPixelStore> NewPixelStore(int width, int height);

}  // namespace Toolkit
