#include <gtest/gtest.h>

#include "support/Fixtures.h"

using namespace Wipekit;
using namespace Fixtures;

TEST(PixelAccess, StrideIsPaddedToFourBytes) {
    struct Case {
        int width;
        std::size_t stride;
    } const cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {446, 1340}};
    for (const auto& c : cases) {
        TBitmap bmp;
        bmp.SetSize(c.width, 2);
        std::uint8_t* bits = nullptr;
        std::uint32_t size = 0;
        TBitmapInfoHeader info;
        GetBitmapPixels(bmp, bits, size, info);
        EXPECT_EQ(RowStride(info), c.stride) << "width " << c.width;
        EXPECT_EQ(size, c.stride * 2) << "width " << c.width;
        EXPECT_EQ(info.biSizeImage, size);
        EXPECT_EQ(PixelAddress(bits, info, 1, 0) - bits, std::ptrdiff_t(c.stride));
        FreeBitmapPixels(bits);
        EXPECT_EQ(bits, nullptr);
    }
}

TEST(PixelAccess, HeaderDescribesBottomUp24BitRows) {
    TBitmap bmp;
    MakeCoordPicture(bmp, 5, 3, FromTag);
    std::uint8_t* bits = nullptr;
    std::uint32_t size = 0;
    TBitmapInfoHeader info;
    GetBitmapPixels(bmp, bits, size, info);
    EXPECT_EQ(info.biSize, 40u);
    EXPECT_EQ(info.biWidth, 5);
    EXPECT_EQ(info.biHeight, 3);
    EXPECT_EQ(info.biPlanes, 1);
    EXPECT_EQ(info.biBitCount, 24);
    EXPECT_EQ(info.biCompression, DibRgb);
    EXPECT_EQ(info.biClrUsed, 0u);
    // Row 0 is the bottom line; the pixel's bytes are blue, green, red.
    const std::uint8_t* bottomLeft = PixelAddress(bits, info, 0, 0);
    EXPECT_EQ(bottomLeft[0], 0);
    EXPECT_EQ(bottomLeft[1], 2);
    EXPECT_EQ(bottomLeft[2], FromTag);
    const std::uint8_t* topRight = PixelAddress(bits, info, 2, 4);
    EXPECT_EQ(topRight[0], 4);
    EXPECT_EQ(topRight[1], 0);
    FreeBitmapPixels(bits);
}

TEST(PixelAccess, RoundTripWritesThePixelsAndFreesTheBuffer) {
    TBitmap src, dst;
    MakeCoordPicture(src, 7, 4, ToTag);
    dst.SetSize(7, 4);
    std::uint8_t* bits = nullptr;
    std::uint32_t size = 0;
    TBitmapInfoHeader info;
    GetBitmapPixels(src, bits, size, info);
    PixelAddress(bits, info, 3, 6)[0] = 0xEE;  // top-right blue byte
    SetBitmapPixels(dst, bits, info);
    EXPECT_EQ(bits, nullptr);
    EXPECT_EQ(PixelOf(dst, 6, 0), (Px{0xEE, 0, ToTag}));
    EXPECT_EQ(PixelOf(dst, 2, 3), Coord(2, 3, ToTag));
}

TEST(PixelAccess, EmptyBitmapCannotBeRead) {
    TBitmap empty;
    std::uint8_t* bits = reinterpret_cast<std::uint8_t*>(&empty);  // garbage that must be replaced
    std::uint32_t size = 99;
    TBitmapInfoHeader info;
    try {
        GetBitmapPixels(empty, bits, size, info);
        FAIL() << "no exception";
    } catch (const ELumawipeBitmapConvert& e) {
        EXPECT_STREQ(e.what(), "Unable to get bitmap.");
    }
    EXPECT_EQ(bits, nullptr);
}

TEST(PixelAccess, WriteOfMismatchedBufferRaisesAndStillFrees) {
    TBitmap src, dst;
    MakeCoordPicture(src, 4, 4, ToTag);
    dst.SetSize(5, 4);
    std::uint8_t* bits = nullptr;
    std::uint32_t size = 0;
    TBitmapInfoHeader info;
    GetBitmapPixels(src, bits, size, info);
    EXPECT_THROW(
        {
            try {
                SetBitmapPixels(dst, bits, info);
            } catch (const ELumawipeBitmapConvert& e) {
                EXPECT_STREQ(e.what(), "Unable to set bitmap.");
                throw;
            }
        },
        ELumawipeBitmapConvert);
    EXPECT_EQ(bits, nullptr);
}
