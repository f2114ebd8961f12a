#include <cstring>
#include <new>

#include "engine/Wipekit.h"

namespace Wipekit {

void GetBitmapPixels(const TBitmap& Bitmap, std::uint8_t*& Bits, std::uint32_t& Size, TBitmapInfoHeader& Info) {
    Bits = nullptr;
    Size = 0;
    Info = TBitmapInfoHeader{};
    Info.biSize = sizeof(TBitmapInfoHeader);
    Info.biWidth = Bitmap.Width();
    Info.biHeight = Bitmap.Height();
    Info.biPlanes = 1;
    Info.biBitCount = 24;
    Info.biCompression = BI_RGB;
    Info.biSizeImage = 0;
    Info.biClrUsed = 0;
    if (Bitmap.Empty()) throw ELumawipeBitmapConvert(SUnableToGetBitmap);
    Info.biSizeImage = std::uint32_t(RowStride(Info) * std::size_t(Info.biHeight));
    Size = Info.biSizeImage;
    Bits = new (std::nothrow) std::uint8_t[Size];
    if (!Bits) {
        Size = 0;
        throw ELumawipeBitmapConvert(SUnableToGetBitmap);
    }
    std::memcpy(Bits, Bitmap.Bits(), Size);
}

void FreeBitmapPixels(std::uint8_t*& Bits) {
    delete[] Bits;
    Bits = nullptr;
}

void SetBitmapPixels(TBitmap& Bitmap, std::uint8_t*& Bits, const TBitmapInfoHeader& Info) {
    // Only a buffer that describes exactly this bitmap's rows can be written.
    const bool fits = Bits && Info.biBitCount == 24 && Info.biCompression == BI_RGB && Info.biWidth > 0 &&
                      Info.biHeight > 0 && Info.biWidth == Bitmap.Width() && Info.biHeight == Bitmap.Height();
    if (fits) {
        std::memcpy(Bitmap.Bits(), Bits, Bitmap.ImageSize());
        Bitmap.Changed();
    }
    FreeBitmapPixels(Bits);
    if (!fits) throw ELumawipeBitmapConvert(SUnableToSetBitmap);
}

}  // namespace Wipekit
