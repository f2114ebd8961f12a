#include <cstring>
#include <new>

#include "engine/PixelAccess.h"

namespace Wipekit {

namespace {

// Pixel buffers are allocated per frame and picture. Fresh multi-megabyte blocks come
// from the system and are faulted in on every frame, which costs more than the effect
// itself; so each thread keeps the last two freed buffers for reuse. A buffer carries
// its capacity in a header in front of the pixels.
constexpr std::size_t BufferHeader = 16;  // keeps the pixels 16-byte aligned
constexpr int PooledBuffers = 2;

struct BufferPool {
    std::uint8_t* Blocks[PooledBuffers] = {};
    ~BufferPool() {
        for (auto* b : Blocks) delete[] b;
    }
};
thread_local BufferPool Pool;

std::size_t Capacity(const std::uint8_t* block) {
    std::size_t capacity;
    std::memcpy(&capacity, block, sizeof capacity);
    return capacity;
}

std::uint8_t* AllocateBuffer(std::size_t size) {
    for (auto*& block : Pool.Blocks)
        if (block && Capacity(block) >= size && Capacity(block) / 2 <= size) {
            std::uint8_t* reused = block;
            block = nullptr;
            return reused + BufferHeader;
        }
    auto* block = new (std::nothrow) std::uint8_t[size + BufferHeader];
    if (!block) return nullptr;
    std::memcpy(block, &size, sizeof size);
    return block + BufferHeader;
}

void ReleaseBuffer(std::uint8_t* bits) {
    std::uint8_t* block = bits - BufferHeader;
    for (auto*& slot : Pool.Blocks)
        if (!slot) {
            slot = block;
            return;
        }
    // Keep the larger blocks: they are the expensive ones.
    auto** smallest = &Pool.Blocks[0];
    for (auto*& slot : Pool.Blocks)
        if (Capacity(slot) < Capacity(*smallest)) smallest = &slot;
    if (Capacity(block) > Capacity(*smallest)) std::swap(block, *smallest);
    delete[] block;
}

}  // namespace

void GetBitmapPixels(const TBitmap& Bitmap, std::uint8_t*& Bits, std::uint32_t& Size, TBitmapInfoHeader& Info) {
    Bits = nullptr;
    Size = 0;
    Info = TBitmapInfoHeader{};
    Info.biSize = sizeof(TBitmapInfoHeader);
    Info.biWidth = Bitmap.Width();
    Info.biHeight = Bitmap.Height();
    Info.biPlanes = 1;
    Info.biBitCount = 24;
    Info.biCompression = DibRgb;
    Info.biSizeImage = 0;
    Info.biClrUsed = 0;
    if (Bitmap.Empty()) throw ELumawipeBitmapConvert(SUnableToGetBitmap);
    Info.biSizeImage = std::uint32_t(RowStride(Info) * std::size_t(Info.biHeight));
    Size = Info.biSizeImage;
    Bits = AllocateBuffer(Size);
    if (!Bits) {
        Size = 0;
        throw ELumawipeBitmapConvert(SUnableToGetBitmap);
    }
    Toolkit::CopyPixels(PixelView(Bits, Info), Bitmap.Pixels());
}

void FreeBitmapPixels(std::uint8_t*& Bits) {
    if (Bits) ReleaseBuffer(Bits);
    Bits = nullptr;
}

void SetBitmapPixels(TBitmap& Bitmap, std::uint8_t*& Bits, const TBitmapInfoHeader& Info) {
    // Only a buffer that describes exactly this bitmap's rows can be written.
    const bool fits = Bits && Info.biBitCount == 24 && Info.biCompression == DibRgb && Info.biWidth > 0 &&
                      Info.biHeight > 0 && Info.biWidth == Bitmap.Width() && Info.biHeight == Bitmap.Height();
    if (fits) {
        Toolkit::CopyPixels(Bitmap.Pixels(), PixelView(Bits, Info));
        Bitmap.Changed();
    }
    FreeBitmapPixels(Bits);
    if (!fits) throw ELumawipeBitmapConvert(SUnableToSetBitmap);
}

}  // namespace Wipekit
