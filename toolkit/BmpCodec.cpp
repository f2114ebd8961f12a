#include "toolkit/BmpCodec.h"

#include <cstring>
#include <fstream>
#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <vector>

#include "toolkit/Types.h"

namespace Toolkit {

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t DibBitfields = 3;  // BI_BITFIELDS: pixels under colour masks

std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
void Put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

[[noreturn]] void Bad(const std::string& why) { throw EInvalidGraphic("Invalid bitmap: " + why + "."); }

// Reads exactly n bytes or fails with a clear message.
void ReadExact(std::istream& in, std::uint8_t* dst, std::size_t n, const char* what) {
    in.read(reinterpret_cast<char*>(dst), std::streamsize(n));
    if (std::size_t(in.gcount()) != n) Bad(std::string("file truncated in the ") + what);
}

// Refuses, before any memory is taken for them, pixel rows that a seekable stream does
// not hold: a few bytes of header must not cost the memory of the largest picture.
void CheckHolds(std::istream& in, std::uint64_t n, const char* what) {
    const std::streampos here = in.tellg();
    if (here < 0) return;  // not seekable: the rows are read as they come
    in.seekg(0, std::ios::end);
    const std::streampos end = in.tellg();
    in.seekg(here);
    if (end >= 0 && std::uint64_t(end - here) < n) Bad(std::string("file truncated in the ") + what);
}

// Extracts one channel value given a mask, scaled to 0..255.
std::uint8_t MaskChannel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1u)) ++shift;
    const std::uint32_t m = mask >> shift;
    const std::uint32_t v = (pixel >> shift) & m;
    return std::uint8_t((v * 255u + m / 2) / m);
}

}  // namespace

namespace {

// The information header, colour table and pixels of a picture. A file names where its
// pixels start (pixelOffset, counted from the file header); a packed DIB has them right
// after its colour table (no offset).
TBmpPicture ReadDibBody(std::istream& in, std::optional<std::uint32_t> pixelOffset) {
    std::uint8_t ihSizeBytes[4];
    ReadExact(in, ihSizeBytes, 4, "info header");
    const std::uint32_t ihSize = U32(ihSizeBytes);
    if (ihSize != 40 && ihSize != 52 && ihSize != 56 && ihSize != 108 && ihSize != 124)
        Bad("unsupported info header of " + std::to_string(ihSize) + " bytes");
    std::vector<std::uint8_t> ih(ihSize);
    std::memcpy(ih.data(), ihSizeBytes, 4);
    ReadExact(in, ih.data() + 4, ihSize - 4, "info header");

    const std::int32_t width = std::int32_t(U32(&ih[4]));
    const std::int32_t rawHeight = std::int32_t(U32(&ih[8]));
    const std::uint16_t planes = U16(&ih[12]);
    const std::uint16_t bitCount = U16(&ih[14]);
    const std::uint32_t compression = U32(&ih[16]);
    std::uint32_t clrUsed = U32(&ih[32]);

    if (planes != 1) Bad("plane count must be 1");
    if (width <= 0) Bad("width must be positive");
    if (rawHeight == 0 || rawHeight == std::numeric_limits<std::int32_t>::min()) Bad("height must not be zero");
    const bool topDown = rawHeight < 0;
    const std::int32_t height = topDown ? -rawHeight : rawHeight;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        Bad("unsupported bit count " + std::to_string(bitCount));
    if (compression != DibRgb && !(compression == DibBitfields && (bitCount == 16 || bitCount == 32)))
        Bad("unsupported compression " + std::to_string(compression));
    CheckedImageSize(width, height);  // refuses absurd sizes before any allocation

    std::uint32_t rMask = 0, gMask = 0, bMask = 0;
    if (compression == DibBitfields) {
        if (ihSize >= 52) {
            rMask = U32(&ih[40]);
            gMask = U32(&ih[44]);
            bMask = U32(&ih[48]);
        } else {
            std::uint8_t m[12];
            ReadExact(in, m, 12, "colour masks");
            rMask = U32(m);
            gMask = U32(m + 4);
            bMask = U32(m + 8);
        }
    } else if (bitCount == 16) {
        rMask = 0x7C00;
        gMask = 0x03E0;
        bMask = 0x001F;
    }

    std::vector<TBgr> palette;
    const std::size_t headers = pixelOffset ? FileHeaderSize : 0;
    std::size_t consumed = headers + ihSize + ((compression == DibBitfields && ihSize < 52) ? 12 : 0);
    if (bitCount <= 8) {
        const std::uint32_t maxColors = 1u << bitCount;
        if (clrUsed == 0) clrUsed = maxColors;
        if (clrUsed > maxColors) Bad("colour table larger than the bit count allows");
        std::vector<std::uint8_t> table(std::size_t(clrUsed) * 4);
        ReadExact(in, table.data(), table.size(), "colour table");
        consumed += table.size();
        palette.resize(maxColors, TBgr{0, 0, 0});
        for (std::uint32_t i = 0; i < clrUsed; ++i)
            palette[i] = TBgr{table[i * 4], table[i * 4 + 1], table[i * 4 + 2]};
    }
    if (pixelOffset && *pixelOffset < consumed) Bad("pixel data overlaps the headers");
    for (std::size_t skip = pixelOffset ? *pixelOffset - consumed : 0; skip > 0;) {
        std::uint8_t junk[256];
        const std::size_t n = std::min(skip, sizeof junk);
        ReadExact(in, junk, n, "gap before the pixel data");
        skip -= n;
    }

    const std::size_t srcStride = DibStride(width, bitCount);
    CheckHolds(in, std::uint64_t(srcStride) * std::uint64_t(height), "pixel data");
    std::vector<std::uint8_t> row(srcStride);
    TBmpPicture picture{NewPixelStore(width, height), width, height};
    const TPixelView pixels = DibView(picture.Store->Bits(), width, height);
    for (std::int32_t fileRow = 0; fileRow < height; ++fileRow) {
        ReadExact(in, row.data(), srcStride, "pixel data");
        // File rows run from the bottom line up unless the height was negative.
        std::uint8_t* dst = pixels.Row(topDown ? fileRow : height - 1 - fileRow);
        if (bitCount == 24) {
            std::memcpy(dst, row.data(), std::size_t(width) * 3);
            continue;
        }
        for (std::int32_t x = 0; x < width; ++x) {
            TBgr px{};
            if (bitCount <= 8) {
                const std::size_t bit = std::size_t(x) * bitCount;
                const unsigned shift = 8 - bitCount - unsigned(bit % 8);
                const unsigned index = (row[bit / 8] >> shift) & ((1u << bitCount) - 1);
                px = palette[index];
            } else if (bitCount == 16) {
                const std::uint32_t v = U16(&row[std::size_t(x) * 2]);
                px = TBgr{MaskChannel(v, bMask), MaskChannel(v, gMask), MaskChannel(v, rMask)};
            } else {
                const std::uint8_t* p = &row[std::size_t(x) * 4];
                if (compression == DibBitfields) {
                    const std::uint32_t v = U32(p);
                    px = TBgr{MaskChannel(v, bMask), MaskChannel(v, gMask), MaskChannel(v, rMask)};
                } else {
                    px = TBgr{p[0], p[1], p[2]};
                }
            }
            px.StoreAt(dst + std::size_t(x) * 3);
        }
    }
    return picture;
}

}  // namespace

TBmpPicture ReadBmp(std::istream& in) {
    std::uint8_t fh[FileHeaderSize];
    ReadExact(in, fh, FileHeaderSize, "file header");
    if (fh[0] != 'B' || fh[1] != 'M') Bad("not a BMP file (no \"BM\" signature)");
    return ReadDibBody(in, U32(fh + 10));
}

TBmpPicture ReadDib(std::istream& in) { return ReadDibBody(in, std::nullopt); }

void WriteBmp(std::ostream& out, const TConstPixelView& pixels) {
    const std::size_t stride = DibStride(pixels.Width);
    const std::size_t image = stride * std::size_t(pixels.Height);
    std::uint8_t h[FileHeaderSize + 40] = {};
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, std::uint32_t(sizeof h + image));
    Put32(h + 10, std::uint32_t(sizeof h));
    Put32(h + 14, 40);
    Put32(h + 18, std::uint32_t(pixels.Width));
    Put32(h + 22, std::uint32_t(pixels.Height));
    Put16(h + 26, 1);
    Put16(h + 28, 24);
    Put32(h + 34, std::uint32_t(image));
    out.write(reinterpret_cast<const char*>(h), sizeof h);
    // Rows from the bottom line up, each padded with zeros.
    const char padding[4] = {};
    for (int y = pixels.Height - 1; y >= 0; --y) {
        out.write(reinterpret_cast<const char*>(pixels.Row(y)), std::streamsize(pixels.RowBytes()));
        out.write(padding, std::streamsize(stride - pixels.RowBytes()));
    }
    if (!out) throw EInvalidGraphic("Unable to write bitmap.");
}

TBmpPicture ReadBmpFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EInvalidGraphic("Cannot open file \"" + path + "\".");
    return ReadBmp(in);
}

void WriteBmpFile(const std::string& path, const TConstPixelView& pixels) {
    std::ofstream out(path, std::ios::binary);
    if (!out) throw EInvalidGraphic("Cannot create file \"" + path + "\".");
    WriteBmp(out, pixels);
    out.close();
    if (!out) throw EInvalidGraphic("Unable to write file \"" + path + "\".");
}

}  // namespace Toolkit
