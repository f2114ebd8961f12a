#include "toolkit/Pixels.h"

#include <cassert>
#include <cstring>
#include <string>

#include "toolkit/Types.h"

namespace Toolkit {

std::size_t CheckedImageSize(int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    if (width > MaxBitmapSide || height > MaxBitmapSide)
        throw EOutOfResources("Bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                              " pixels is too large.");
    const std::size_t bytes = DibStride(width) * std::size_t(height);
    if (bytes > MaxBitmapBytes)
        throw EOutOfResources("Bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                              " pixels is too large.");
    return bytes;
}

void CopyPixels(const TPixelView& dst, const TConstPixelView& src) {
    assert(dst.Width == src.Width && dst.Height == src.Height);
    if (dst.Empty()) return;
    if (dst.Stride == src.Stride) {
        // The same layout: the lowest line in memory starts the block of both.
        const int lowest = dst.Stride < 0 ? dst.Height - 1 : 0;
        const std::size_t stride = std::size_t(dst.Stride < 0 ? -dst.Stride : dst.Stride);
        std::memcpy(dst.Row(lowest), src.Row(lowest), stride * std::size_t(dst.Height));
        return;
    }
    for (int y = 0; y < dst.Height; ++y) std::memcpy(dst.Row(y), src.Row(y), dst.RowBytes());
}

}  // namespace Toolkit
