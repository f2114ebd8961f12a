#include "toolkit/Graphics.h"

#include <cstring>
#include <fstream>
#include <istream>
#include <limits>
#include <ostream>
#include <vector>

namespace Toolkit {

namespace {

struct Bgr {
    std::uint8_t B, G, R;
};

Bgr ToBgr(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return Bgr{GetBValue(rgb), GetGValue(rgb), GetRValue(rgb)};
}

// Dash pattern of a one-pixel dashed pen, in pixels: on, off.
constexpr int DashOn = 18;
constexpr int DashOff = 6;
constexpr int DotOn = 3;
constexpr int DotOff = 3;

}  // namespace

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

// ---------------------------------------------------------------------------------------
// TBitmap

TBitmap::TBitmap() : FCanvas(*this) {}
TBitmap::~TBitmap() = default;

std::uint8_t* TBitmap::Bits() {
    if (!FStore) return nullptr;
    FStore->Sync();
    return FStore->Bits();
}

const std::uint8_t* TBitmap::Bits() const {
    if (!FStore) return nullptr;
    FStore->Sync();
    return FStore->Bits();
}

bool TBitmap::Changed() {
    if (!OnChange) return true;
    const auto self = Watch();
    OnChange(*this);
    return self.Alive();
}

void TBitmap::Adopt(std::unique_ptr<TPixelStore> store, int width, int height) {
    if (!store || width <= 0 || height <= 0) {
        FStore.reset();
        FWidth = FHeight = 0;
    } else {
        FStore = std::move(store);
        FWidth = width;
        FHeight = height;
    }
}

void TBitmap::SetSize(int width, int height) {
    if (width <= 0 || height <= 0) {
        width = 0;
        height = 0;
    }
    if (width == FWidth && height == FHeight) return;
    if (width == 0) {
        FStore.reset();
        FWidth = FHeight = 0;
        Changed();
        return;
    }
    CheckedImageSize(width, height);
    auto store = NewPixelStore(width, height);
    // Keep the overlapping top-left part, as a resized picture does.
    if (FStore) {
        const int w = std::min(width, FWidth);
        const int h = std::min(height, FHeight);
        const std::uint8_t* old = Bits();
        std::uint8_t* fresh = store->Bits();
        const std::size_t oldStride = Stride();
        const std::size_t newStride = DibStride(width);
        for (int y = 0; y < h; ++y)
            std::memcpy(fresh + newStride * std::size_t(height - 1 - y), old + oldStride * std::size_t(FHeight - 1 - y),
                        std::size_t(w) * 3);
    }
    FStore = std::move(store);
    FWidth = width;
    FHeight = height;
    Changed();
}

void TBitmap::Assign(const TBitmap& source) {
    if (&source == this) {
        Changed();
        return;
    }
    if (source.Empty()) {
        FStore.reset();
        FWidth = FHeight = 0;
        Changed();
        return;
    }
    auto store = NewPixelStore(source.FWidth, source.FHeight);
    std::memcpy(store->Bits(), source.Bits(), source.ImageSize());
    FStore = std::move(store);
    FWidth = source.FWidth;
    FHeight = source.FHeight;
    Changed();
}

// ---------------------------------------------------------------------------------------
// BMP files

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiBitfields = 3;

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

void TBitmap::LoadFromStream(std::istream& in) {
    std::uint8_t fh[FileHeaderSize];
    ReadExact(in, fh, FileHeaderSize, "file header");
    if (fh[0] != 'B' || fh[1] != 'M') Bad("not a BMP file (no \"BM\" signature)");
    const std::uint32_t pixelOffset = U32(fh + 10);

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
    if (compression != BiRgb && !(compression == BiBitfields && (bitCount == 16 || bitCount == 32)))
        Bad("unsupported compression " + std::to_string(compression));
    CheckedImageSize(width, height);  // refuses absurd sizes before any allocation

    std::uint32_t rMask = 0, gMask = 0, bMask = 0;
    if (compression == BiBitfields) {
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

    std::vector<Bgr> palette;
    std::size_t consumed = FileHeaderSize + ihSize + ((compression == BiBitfields && ihSize < 52) ? 12 : 0);
    if (bitCount <= 8) {
        const std::uint32_t maxColors = 1u << bitCount;
        if (clrUsed == 0) clrUsed = maxColors;
        if (clrUsed > maxColors) Bad("colour table larger than the bit count allows");
        std::vector<std::uint8_t> table(std::size_t(clrUsed) * 4);
        ReadExact(in, table.data(), table.size(), "colour table");
        consumed += table.size();
        palette.resize(maxColors, Bgr{0, 0, 0});
        for (std::uint32_t i = 0; i < clrUsed; ++i)
            palette[i] = Bgr{table[i * 4], table[i * 4 + 1], table[i * 4 + 2]};
    }
    if (pixelOffset < consumed) Bad("pixel data overlaps the headers");
    for (std::size_t skip = pixelOffset - consumed; skip > 0;) {
        std::uint8_t junk[256];
        const std::size_t n = std::min(skip, sizeof junk);
        ReadExact(in, junk, n, "gap before the pixel data");
        skip -= n;
    }

    const std::size_t srcStride = ((std::size_t(width) * bitCount + 31) / 32) * 4;
    std::vector<std::uint8_t> row(srcStride);
    auto store = NewPixelStore(width, height);
    std::uint8_t* bits = store->Bits();
    const std::size_t dstStride = DibStride(width);
    for (std::int32_t fileRow = 0; fileRow < height; ++fileRow) {
        ReadExact(in, row.data(), srcStride, "pixel data");
        // File rows run bottom-up unless the height was negative.
        const std::int32_t dibRow = topDown ? height - 1 - fileRow : fileRow;
        std::uint8_t* dst = bits + dstStride * std::size_t(dibRow);
        if (bitCount == 24) {
            std::memcpy(dst, row.data(), std::size_t(width) * 3);
            continue;
        }
        for (std::int32_t x = 0; x < width; ++x) {
            Bgr px{};
            if (bitCount <= 8) {
                const std::size_t bit = std::size_t(x) * bitCount;
                const unsigned shift = 8 - bitCount - unsigned(bit % 8);
                const unsigned index = (row[bit / 8] >> shift) & ((1u << bitCount) - 1);
                px = palette[index];
            } else if (bitCount == 16) {
                const std::uint32_t v = U16(&row[std::size_t(x) * 2]);
                px = Bgr{MaskChannel(v, bMask), MaskChannel(v, gMask), MaskChannel(v, rMask)};
            } else {
                const std::uint8_t* p = &row[std::size_t(x) * 4];
                if (compression == BiBitfields) {
                    const std::uint32_t v = U32(p);
                    px = Bgr{MaskChannel(v, bMask), MaskChannel(v, gMask), MaskChannel(v, rMask)};
                } else {
                    px = Bgr{p[0], p[1], p[2]};
                }
            }
            dst[x * 3] = px.B;
            dst[x * 3 + 1] = px.G;
            dst[x * 3 + 2] = px.R;
        }
    }
    Adopt(std::move(store), width, height);
    Changed();
}

void TBitmap::SaveToStream(std::ostream& out) const {
    const std::size_t image = ImageSize();
    std::uint8_t h[FileHeaderSize + 40] = {};
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, std::uint32_t(sizeof h + image));
    Put32(h + 10, std::uint32_t(sizeof h));
    Put32(h + 14, 40);
    Put32(h + 18, std::uint32_t(FWidth));
    Put32(h + 22, std::uint32_t(FHeight));
    Put16(h + 26, 1);
    Put16(h + 28, 24);
    Put32(h + 34, std::uint32_t(image));
    out.write(reinterpret_cast<const char*>(h), sizeof h);
    if (image) out.write(reinterpret_cast<const char*>(Bits()), std::streamsize(image));
    if (!out) throw EInvalidGraphic("Unable to write bitmap.");
}

void TBitmap::LoadFromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EInvalidGraphic("Cannot open file \"" + path + "\".");
    LoadFromStream(in);
}

void TBitmap::SaveToFile(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    if (!out) throw EInvalidGraphic("Cannot create file \"" + path + "\".");
    SaveToStream(out);
    out.close();
    if (!out) throw EInvalidGraphic("Unable to write file \"" + path + "\".");
}

// ---------------------------------------------------------------------------------------
// TCanvas

void TCanvas::FillRect(const TRect& r) {
    if (Fill(r)) FTarget.Changed();
}

bool TCanvas::Fill(const TRect& r) {
    if (Brush.Style == TBrushStyle::bsClear) return false;
    const TRect c = Intersect(r, Rect(0, 0, FTarget.Width(), FTarget.Height()));
    if (c.IsEmpty()) return false;
    const Bgr px = ToBgr(Brush.Color);
    std::uint8_t* first = FTarget.ScanLine(c.Top) + std::size_t(c.Left) * 3;
    const std::size_t bytes = std::size_t(c.Width()) * 3;
    for (std::size_t i = 0; i < bytes; i += 3) {
        first[i] = px.B;
        first[i + 1] = px.G;
        first[i + 2] = px.R;
    }
    for (int y = c.Top + 1; y < c.Bottom; ++y)
        std::memcpy(FTarget.ScanLine(y) + std::size_t(c.Left) * 3, first, bytes);
    return true;
}

void TCanvas::PlotPen(int x, int y, int& phase) {
    bool on = true;
    if (Pen.Style == TPenStyle::psDash) on = phase % (DashOn + DashOff) < DashOn;
    if (Pen.Style == TPenStyle::psDot) on = phase % (DotOn + DotOff) < DotOn;
    ++phase;
    if (!on || x < 0 || y < 0 || x >= FTarget.Width() || y >= FTarget.Height()) return;
    const Bgr px = ToBgr(Pen.Color);
    std::uint8_t* p = FTarget.ScanLine(y) + std::size_t(x) * 3;
    p[0] = px.B;
    p[1] = px.G;
    p[2] = px.R;
}

void TCanvas::HorizontalPenLine(int x0, int x1, int y, int& phase) {
    const int step = x1 >= x0 ? 1 : -1;
    for (int x = x0; x != x1 + step; x += step) PlotPen(x, y, phase);
}

void TCanvas::VerticalPenLine(int x, int y0, int y1, int& phase) {
    const int step = y1 >= y0 ? 1 : -1;
    for (int y = y0; y != y1 + step; y += step) PlotPen(x, y, phase);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top || FTarget.Empty()) return;
    // Interior first, then the outline over (left, top)..(right-1, bottom-1).
    if (std::int64_t(right) - left > 2 && std::int64_t(bottom) - top > 2)
        Fill(Rect(left + 1, top + 1, right - 1, bottom - 1));
    const bool outlineVisible = left <= FTarget.Width() && top <= FTarget.Height() && right >= 0 && bottom >= 0;
    if (Pen.Style != TPenStyle::psClear && outlineVisible) {
        // Clamp the walk to the visible area plus one pixel, so a huge rectangle costs
        // no more than the bitmap's perimeter.
        const int l = std::max(left, -1), t = std::max(top, -1);
        const int r = std::min(right - 1, FTarget.Width()), b = std::min(bottom - 1, FTarget.Height());
        int phase = 0;
        HorizontalPenLine(l, r, t, phase);
        VerticalPenLine(r, t + 1, b, phase);
        if (b > t) HorizontalPenLine(r - 1, l, b, phase);
        if (r > l) VerticalPenLine(l, b - 1, t + 1, phase);
    }
    FTarget.Changed();
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& src) {
    if (dest.IsEmpty() || src.IsEmpty()) return;
    const TBitmap& from = source.Target();
    if (from.Empty() || FTarget.Empty()) return;

    // Copying within one bitmap reads from a snapshot so overlapping areas stay intact.
    TBitmap snapshot;
    const TBitmap* sourceBitmap = &from;
    if (&from == &FTarget) {
        snapshot.Assign(from);
        sourceBitmap = &snapshot;
    }
    const TBitmap& s = *sourceBitmap;

    const TRect clip = Intersect(dest, Rect(0, 0, FTarget.Width(), FTarget.Height()));
    if (clip.IsEmpty()) return;
    const bool invert = CopyMode == TCopyMode::cmSrcInvert;
    // Extents in 64 bits: a rectangle may span more than the 32-bit range.
    const std::uint64_t dw = std::uint64_t(std::int64_t(dest.Right) - dest.Left);
    const std::uint64_t dh = std::uint64_t(std::int64_t(dest.Bottom) - dest.Top);
    const std::uint64_t sw = std::uint64_t(std::int64_t(src.Right) - src.Left);
    const std::uint64_t sh = std::uint64_t(std::int64_t(src.Bottom) - src.Top);
    // Offset of source pixel n (of d) along an axis: n * s / d, rounded down, exact in
    // unsigned 64 bits because n < d < 2^32 and s < 2^32.
    auto scale = [](std::int64_t n, std::uint64_t s, std::uint64_t d) {
        return std::int64_t(std::uint64_t(n) * s / d);
    };

    // Column map of a stretch: destination column -> source column, or -1 where the
    // source is outside. Unscaled copies move whole runs and need none.
    const bool unscaled = dw == sw;
    std::vector<int> columns;
    if (!unscaled) {
        columns.resize(std::size_t(clip.Width()));
        for (int x = clip.Left; x < clip.Right; ++x) {
            const std::int64_t sx = src.Left + scale(std::int64_t(x) - dest.Left, sw, dw);
            columns[std::size_t(x - clip.Left)] = (sx >= 0 && sx < s.Width()) ? int(sx) : -1;
        }
    }
    const std::uint8_t* sourceBits = s.Bits();
    std::uint8_t* targetBits = FTarget.Bits();
    const std::size_t sourceStride = s.Stride(), targetStride = FTarget.Stride();
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        const std::int64_t sy = dh == sh ? std::int64_t(y) + (std::int64_t(src.Top) - dest.Top)
                                         : src.Top + scale(std::int64_t(y) - dest.Top, sh, dh);
        if (sy < 0 || sy >= s.Height()) continue;
        // Rows are bottom-up: picture line y is DIB row height - 1 - y.
        const std::uint8_t* srow = sourceBits + sourceStride * std::size_t(s.Height() - 1 - sy);
        std::uint8_t* drow = targetBits + targetStride * std::size_t(FTarget.Height() - 1 - y);
        if (unscaled) {
            // Columns map one to one: copy the in-range run as a block.
            const std::int64_t shift = std::int64_t(src.Left) - dest.Left;
            const std::int64_t x0 = std::max<std::int64_t>(clip.Left, -shift);
            const std::int64_t x1 = std::min<std::int64_t>(clip.Right, s.Width() - shift);
            if (x1 <= x0) continue;
            std::uint8_t* d = drow + std::size_t(x0) * 3;
            const std::uint8_t* p = srow + std::size_t(x0 + shift) * 3;
            const std::size_t n = std::size_t(x1 - x0) * 3;
            if (invert)
                for (std::size_t i = 0; i < n; ++i) d[i] ^= p[i];
            else
                std::memcpy(d, p, n);
            continue;
        }
        for (int x = clip.Left; x < clip.Right; ++x) {
            const int sx = columns[std::size_t(x - clip.Left)];
            if (sx < 0) continue;
            const std::uint8_t* p = srow + std::size_t(sx) * 3;
            std::uint8_t* d = drow + std::size_t(x) * 3;
            if (invert) {
                d[0] ^= p[0];
                d[1] ^= p[1];
                d[2] ^= p[2];
            } else {
                d[0] = p[0];
                d[1] = p[1];
                d[2] = p[2];
            }
        }
    }
    FTarget.Changed();
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
    CopyRect(Rect(x, y, x + bitmap.Width(), y + bitmap.Height()), bitmap.Canvas(),
             Rect(0, 0, bitmap.Width(), bitmap.Height()));
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap) {
    CopyRect(dest, bitmap.Canvas(), Rect(0, 0, bitmap.Width(), bitmap.Height()));
}

TColor TCanvas::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= FTarget.Width() || y >= FTarget.Height()) return clNone;
    const std::uint8_t* p = FTarget.ScanLine(y) + std::size_t(x) * 3;
    return RGB(p[2], p[1], p[0]);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    if (x < 0 || y < 0 || x >= FTarget.Width() || y >= FTarget.Height()) return;
    const Bgr px = ToBgr(color);
    std::uint8_t* p = FTarget.ScanLine(y) + std::size_t(x) * 3;
    p[0] = px.B;
    p[1] = px.G;
    p[2] = px.R;
    FTarget.Changed();
}

}  // namespace Toolkit
