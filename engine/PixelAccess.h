// Pixel access: a picture's pixels copied into a buffer the caller owns, and written
// back. The buffer holds 24-bit bottom-up rows in blue-green-red order, each padded to
// 4 bytes, described by a TBitmapInfoHeader.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/EffectApi.h"

namespace Wipekit {

// biCompression of uncompressed rows.
using Toolkit::DibRgb;

struct TBitmapInfoHeader {
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

// Reads Bitmap into a new buffer the caller owns (give it back through SetBitmapPixels
// or FreeBitmapPixels). Raises ELumawipeBitmapConvert "Unable to get bitmap." for a
// picture without pixels, leaving Bits null.
void GetBitmapPixels(const TBitmap& Bitmap, std::uint8_t*& Bits, std::uint32_t& Size, TBitmapInfoHeader& Info);
// Writes the buffer into Bitmap, which must have the buffer's size; always frees the
// buffer and sets Bits to null. Raises ELumawipeBitmapConvert "Unable to set bitmap."
// when the rows cannot all be written.
void SetBitmapPixels(TBitmap& Bitmap, std::uint8_t*& Bits, const TBitmapInfoHeader& Info);
void FreeBitmapPixels(std::uint8_t*& Bits);

constexpr std::size_t RowStride(const TBitmapInfoHeader& Info) {
    return Toolkit::DibStride(Info.biWidth, Info.biBitCount);
}

// The pixels of a buffer GetBitmapPixels has filled.
inline Toolkit::TPixelView PixelView(std::uint8_t* Bits, const TBitmapInfoHeader& Info) {
    return Toolkit::DibView(Bits, Info.biWidth, Info.biHeight);
}

// Address of the blue byte of pixel (Row from the bottom, Column). No bounds test.
inline std::uint8_t* PixelAddress(std::uint8_t* Bits, const TBitmapInfoHeader& Info, int Row, int Column) {
    return PixelView(Bits, Info).At(Column, Info.biHeight - 1 - Row);
}

}  // namespace Wipekit
