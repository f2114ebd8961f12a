#include "toolkit/Graphics.h"

#include <cstring>
#include <utility>
#include <vector>

#include "toolkit/BmpCodec.h"
#include "toolkit/MemoryStream.h"

namespace Toolkit {

namespace {

TBgr ToBgr(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return TBgr{GetBValue(rgb), GetGValue(rgb), GetRValue(rgb)};
}

// Dash pattern of a one-pixel dashed pen, in pixels: on, off.
constexpr int DashOn = 18;
constexpr int DashOff = 6;
constexpr int DotOn = 3;
constexpr int DotOff = 3;

}  // namespace

// ---------------------------------------------------------------------------------------
// TBitmap

TBitmap::TBitmap() : FCanvas(*this) {}
TBitmap::~TBitmap() = default;

std::uint8_t* TBitmap::SyncedBits() const {
    if (!FStore) return nullptr;
    FStore->Sync();
    return FStore->Bits();
}

TPixelView TBitmap::Pixels() {
    NoteChange();
    return DibView(SyncedBits(), FWidth, FHeight);
}

TConstPixelView TBitmap::Pixels() const { return DibView<const std::uint8_t>(SyncedBits(), FWidth, FHeight); }

bool TBitmap::Changed() {
    NoteChange();
    if (!OnChange) return true;
    const auto self = Watch();
    OnChange(*this);
    return self.Alive();
}

void TBitmap::Adopt(std::unique_ptr<TPixelStore> store, int width, int height) {
    NoteChange();
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
        Replace(nullptr, 0, 0);
        return;
    }
    CheckedImageSize(width, height);
    auto store = NewPixelStore(width, height);
    // Keep the overlapping top-left part, as a resized picture does.
    if (FStore) {
        const TConstPixelView old = Pixels();
        const TPixelView fresh = DibView(store->Bits(), width, height);
        const std::size_t bytes = std::size_t(std::min(width, FWidth)) * 3;
        for (int y = 0; y < std::min(height, FHeight); ++y) std::memcpy(fresh.Row(y), old.Row(y), bytes);
    }
    Replace(std::move(store), width, height);
}

void TBitmap::Assign(const TBitmap& source) {
    if (&source == this) {
        Changed();
        return;
    }
    std::unique_ptr<TPixelStore> store;
    if (!source.Empty()) {
        store = NewPixelStore(source.FWidth, source.FHeight);
        CopyPixels(DibView(store->Bits(), source.FWidth, source.FHeight), source.Pixels());
    }
    Replace(std::move(store), source.FWidth, source.FHeight);
}

void TBitmap::Replace(std::unique_ptr<TPixelStore> store, int width, int height) {
    Adopt(std::move(store), width, height);
    Changed();
}

void TBitmap::Replace(TBmpPicture picture) { Replace(std::move(picture.Store), picture.Width, picture.Height); }

void TBitmap::LoadFromStream(std::istream& in) { Replace(ReadBmp(in)); }

void TBitmap::LoadFromFile(const std::string& path) { Replace(ReadBmpFile(path)); }

void TBitmap::LoadFromMemory(const void* data, std::size_t size) {
    TMemoryStream in(data, size);
    LoadFromStream(in);
}

void TBitmap::LoadDibFromMemory(const void* data, std::size_t size) {
    TMemoryStream in(data, size);
    Replace(ReadDib(in));
}

void TBitmap::SaveToStream(std::ostream& out) const { WriteBmp(out, Pixels()); }

void TBitmap::SaveToFile(const std::string& path) const { WriteBmpFile(path, Pixels()); }

// ---------------------------------------------------------------------------------------
// TCanvas

void TCanvas::FillRect(const TRect& r) {
    if (Fill(r)) FTarget.Changed();
}

bool TCanvas::Fill(const TRect& r) {
    if (Brush.Style == TBrushStyle::bsClear) return false;
    const TRect c = Intersect(r, Rect(0, 0, FTarget.Width(), FTarget.Height()));
    if (c.IsEmpty()) return false;
    const TBgr px = ToBgr(Brush.Color);
    const TPixelView pixels = FTarget.Pixels();
    std::uint8_t* first = pixels.At(c.Left, c.Top);
    const std::size_t bytes = std::size_t(c.Width()) * 3;
    for (std::size_t i = 0; i < bytes; i += 3) px.StoreAt(first + i);
    for (int y = c.Top + 1; y < c.Bottom; ++y) std::memcpy(pixels.At(c.Left, y), first, bytes);
    return true;
}

void TCanvas::PlotPen(int x, int y, int& phase) {
    bool on = true;
    if (Pen.Style == TPenStyle::psDash) on = phase % (DashOn + DashOff) < DashOn;
    if (Pen.Style == TPenStyle::psDot) on = phase % (DotOn + DotOff) < DotOn;
    ++phase;
    if (!on || x < 0 || y < 0 || x >= FTarget.Width() || y >= FTarget.Height()) return;
    ToBgr(Pen.Color).StoreAt(FTarget.Pixels().At(x, y));
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

    // Column map of a stretch: destination column -> byte offset of its source pixel.
    // The map is monotonic, so the columns whose source lies inside the source bitmap form
    // one run [first, last); the others are left alone. Unscaled copies move whole runs and
    // need none.
    const bool unscaled = dw == sw;
    std::vector<std::size_t> columns;
    int first = clip.Left, last = clip.Left;
    if (!unscaled) {
        columns.reserve(std::size_t(clip.Width()));
        for (int x = clip.Left; x < clip.Right; ++x) {
            const std::int64_t sx = src.Left + scale(std::int64_t(x) - dest.Left, sw, dw);
            if (sx < 0) {
                first = x + 1;
                continue;
            }
            if (sx >= s.Width()) break;
            columns.push_back(std::size_t(sx) * 3);
            last = x + 1;
        }
        if (last <= first) return;
    }
    // The stretched row as runs of neighbouring source pixels (a copy scaled by less than
    // two has runs of several pixels): each run is moved in 16-byte pieces, the last piece
    // reaching past the run into pixels that later runs then write. Runs whose pieces would
    // reach past the row's drawn bytes or past the source row come last and are copied
    // exactly. Runs of one pixel on average go pixel by pixel instead.
    struct TRun {
        std::size_t To, From, Bytes;  // offset in the drawn bytes, offset in the source row, length
    };
    std::vector<TRun> runs;
    std::size_t pieceRuns = 0;
    if (!unscaled && !invert) {
        const std::size_t drawn = columns.size() * 3, sourceBytes = std::size_t(s.Width()) * 3;
        for (std::size_t i = 0; i < columns.size();) {
            std::size_t j = i + 1;
            while (j < columns.size() && columns[j] == columns[j - 1] + 3) ++j;
            runs.push_back({i * 3, columns[i], (j - i) * 3});
            i = j;
        }
        auto pieces = [](std::size_t bytes) { return (bytes + 15) / 16 * 16; };
        while (pieceRuns < runs.size() && runs[pieceRuns].To + pieces(runs[pieceRuns].Bytes) <= drawn &&
               runs[pieceRuns].From + pieces(runs[pieceRuns].Bytes) <= sourceBytes)
            ++pieceRuns;
        if (2 * runs.size() > columns.size()) runs.clear();
    }
    const TConstPixelView sourcePixels = s.Pixels();
    const TPixelView targetPixels = FTarget.Pixels();
    // Destination rows that take the source row of the row drawn before them (an enlarged
    // copy) copy that row's drawn run instead. Rows go in the order they lie in memory.
    std::int64_t previous = -1;
    int previousY = -1;
    const int step = targetPixels.Stride < 0 ? -1 : 1;
    ForLinesInMemoryOrder(targetPixels, clip.Top, clip.Bottom, [&](int y) {
        const std::int64_t sy = dh == sh ? std::int64_t(y) + (std::int64_t(src.Top) - dest.Top)
                                         : src.Top + scale(std::int64_t(y) - dest.Top, sh, dh);
        if (sy < 0 || sy >= s.Height()) return;
        const std::uint8_t* srow = sourcePixels.Row(int(sy));
        std::uint8_t* drow = targetPixels.Row(y);
        if (unscaled) {
            // Columns map one to one: copy the in-range run as a block.
            const std::int64_t shift = std::int64_t(src.Left) - dest.Left;
            const std::int64_t x0 = std::max<std::int64_t>(clip.Left, -shift);
            const std::int64_t x1 = std::min<std::int64_t>(clip.Right, s.Width() - shift);
            if (x1 <= x0) return;
            std::uint8_t* d = drow + std::size_t(x0) * 3;
            const std::uint8_t* p = srow + std::size_t(x0 + shift) * 3;
            const std::size_t n = std::size_t(x1 - x0) * 3;
            if (invert)
                for (std::size_t i = 0; i < n; ++i) d[i] ^= p[i];
            else
                std::memcpy(d, p, n);
            return;
        }
        std::uint8_t* d = drow + std::size_t(first) * 3;
        const std::size_t n = std::size_t(last - first);
        if (!invert && sy == previous && previousY == y - step) {
            std::memcpy(d, targetPixels.Row(y - step) + std::size_t(first) * 3, n * 3);
            previousY = y;
            return;
        }
        previous = sy;
        previousY = y;
        const std::size_t* map = columns.data();
        if (invert) {
            for (std::size_t i = 0; i < n; ++i, d += 3) {
                const std::uint8_t* p = srow + map[i];
                d[0] ^= p[0];
                d[1] ^= p[1];
                d[2] ^= p[2];
            }
        } else if (!runs.empty()) {
            for (std::size_t r = 0; r < pieceRuns; ++r) {
                const TRun& run = runs[r];
                for (std::size_t o = 0; o < run.Bytes; o += 16) std::memcpy(d + run.To + o, srow + run.From + o, 16);
            }
            for (std::size_t r = pieceRuns; r < runs.size(); ++r)
                std::memcpy(d + runs[r].To, srow + runs[r].From, runs[r].Bytes);
        } else {
            // A pixel as one 4-byte load and store where it can: the fourth byte is the next
            // pixel's first, which that pixel then writes. The run's last pixel, and pixels
            // of the source's last column (whose fourth byte lies past the row), take 3
            // bytes; the map rises, so those of the last column come last.
            const std::size_t lastColumn = std::size_t(s.Width() - 1) * 3;
            std::size_t i = 0;
            for (; i + 1 < n && map[i] != lastColumn; ++i, d += 3) {
                std::uint32_t pixel;
                std::memcpy(&pixel, srow + map[i], 4);
                std::memcpy(d, &pixel, 4);
            }
            for (; i < n; ++i, d += 3) {
                const std::uint8_t* p = srow + map[i];
                d[0] = p[0];
                d[1] = p[1];
                d[2] = p[2];
            }
        }
    });
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
    // Read through the read-only view: reading is no change.
    const std::uint8_t* p = std::as_const(FTarget).Pixels().At(x, y);
    return RGB(p[2], p[1], p[0]);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    if (x < 0 || y < 0 || x >= FTarget.Width() || y >= FTarget.Height()) return;
    ToBgr(color).StoreAt(FTarget.Pixels().At(x, y));
    FTarget.Changed();
}

}  // namespace Toolkit
