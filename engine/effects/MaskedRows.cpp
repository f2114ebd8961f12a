#include "engine/effects/MaskedRows.h"

#include <array>
#include <cstring>

namespace Wipekit::Effects {

namespace {

enum class TCover : std::uint8_t { None, Some, All };

// Which bytes of a row take the incoming picture: 0xFF for each byte of a marked pixel,
// 0 for the others.
struct TRowMask {
    TCover Cover = TCover::None;
    std::vector<std::uint8_t> Bytes;
};

TRowMask MaskOf(const TMarks& columns) {
    std::size_t marked = 0;
    for (const std::uint8_t m : columns) marked += m;
    TRowMask mask;
    if (marked == 0) return mask;
    mask.Cover = marked == columns.size() ? TCover::All : TCover::Some;
    if (mask.Cover == TCover::All) return mask;
    mask.Bytes.resize(3 * columns.size());
    for (std::size_t x = 0; x < columns.size(); ++x) {
        const std::uint8_t b = columns[x] ? 0xFF : 0;
        mask.Bytes[3 * x] = mask.Bytes[3 * x + 1] = mask.Bytes[3 * x + 2] = b;
    }
    return mask;
}

// dst[i] := mask[i] ? a[i] : b[i] for mask bytes of 0 or 0xFF, without a branch so that it
// vectorises.
void SelectBytes(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, const std::uint8_t* mask,
                 std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) dst[i] = std::uint8_t((a[i] & mask[i]) | (b[i] & ~mask[i]));
}

// dst[i] := mask[i] ? a[i] : dst[i]; a may be dst.
void SelectInto(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* mask, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) dst[i] = std::uint8_t((a[i] & mask[i]) | (dst[i] & ~mask[i]));
}

}  // namespace

void MarkPeriodicSpans(TMarks& marks, std::int64_t period, std::int64_t originEnd, Span span) {
    const std::int64_t extent = std::int64_t(marks.size());
    // Only origins whose span reaches into the line count: o + Hi > 0 and o + Lo < extent.
    const std::int64_t end = std::min(originEnd, extent - span.Lo);
    if (span.Hi <= span.Lo || end <= 0) return;
    const std::int64_t first = span.Hi > 0 ? 0 : -span.Hi / period + 1;
    const std::int64_t last = (end - 1) / period;
    auto mark = [&](std::int64_t lo, std::int64_t hi) {
        lo = std::max<std::int64_t>(lo, 0);
        hi = std::min(hi, extent);
        if (lo < hi) std::fill(marks.begin() + lo, marks.begin() + hi, std::uint8_t(1));
    };
    // Spans at least a period long join into one.
    if (span.Hi - span.Lo >= period) {
        mark(first * period + span.Lo, last * period + span.Hi);
        return;
    }
    for (std::int64_t k = first; k <= last; ++k) mark(k * period + span.Lo, k * period + span.Hi);
}

void DrawCrossings(TBitmap& work, const TBitmap& under, const TRect64& underRect, const TBitmap& over,
                   std::span<const TCrossing> crossings) {
    const int W = work.Width();
    const int H = work.Height();
    if (W <= 0 || H <= 0) return;

    // The masks of every combination of crossings a row lies in (bit k: crossing k).
    std::array<TRowMask, 4> masks;
    for (unsigned combination = 1; combination < (1u << crossings.size()); ++combination) {
        TMarks columns(std::size_t(W), 0);
        for (std::size_t k = 0; k < crossings.size(); ++k)
            if (combination & (1u << k))
                for (int x = 0; x < W; ++x) columns[x] |= crossings[k].Columns[x];
        masks[combination] = MaskOf(columns);
    }

    // The copy of under, clipped to both bitmaps; over's pixels reach as far as it does.
    const std::int64_t underLeft = std::max<std::int64_t>(underRect.Left, 0);
    const std::int64_t underRight = std::min<std::int64_t>({underRect.Right, W, under.Width()});
    const std::int64_t underTop = std::max<std::int64_t>(underRect.Top, 0);
    const std::int64_t underBottom = std::min<std::int64_t>({underRect.Bottom, H, under.Height()});
    const int overWidth = std::min(W, over.Width());
    const int overHeight = std::min(H, over.Height());
    const std::size_t overBytes = 3 * std::size_t(std::max(overWidth, 0));
    // A bitmap drawn onto itself reads back what the previous copy left.
    const bool separate = &under != &work && &over != &work;

    const Toolkit::TPixelView target = work.Pixels();
    const Toolkit::TConstPixelView below = under.Pixels();
    const Toolkit::TConstPixelView above = over.Pixels();
    bool drew = false;
    // Rows in the order they lie in memory; each row reads and writes only its own pixels.
    Toolkit::ForLinesInMemoryOrder(target, 0, H, [&](int y) {
        unsigned combination = 0;
        for (std::size_t k = 0; k < crossings.size(); ++k)
            if (crossings[k].Rows[y]) combination |= 1u << k;
        const TRowMask* mask = y < overHeight && overWidth > 0 ? &masks[combination] : nullptr;
        if (mask && mask->Cover == TCover::None) mask = nullptr;
        const bool underRow = y >= underTop && y < underBottom && underLeft < underRight;
        if (!mask && !underRow) return;
        drew = true;

        std::uint8_t* d = target.Row(y);
        const std::uint8_t* a = mask ? above.Row(y) : nullptr;
        const std::uint8_t* b = underRow ? below.Row(y) : nullptr;
        const bool underCoversOver = underRow && underLeft == 0 && underRight >= overWidth;
        if (separate && mask && (!underRow || underCoversOver)) {
            // One pass over the row where over's pixels lie, under's copy beyond them.
            if (mask->Cover == TCover::All)
                std::memcpy(d, a, overBytes);
            else if (underRow)
                SelectBytes(d, a, b, mask->Bytes.data(), overBytes);
            else
                SelectInto(d, a, mask->Bytes.data(), overBytes);
            if (underRow && underRight > overWidth)
                std::memcpy(d + overBytes, b + overBytes, std::size_t(3 * (underRight - overWidth)));
            return;
        }
        if (underRow)
            std::memmove(d + 3 * underLeft, b + 3 * underLeft, std::size_t(3 * (underRight - underLeft)));
        if (!mask) return;
        if (mask->Cover == TCover::All)
            std::memmove(d, a, overBytes);
        else
            SelectInto(d, a, mask->Bytes.data(), overBytes);
    });
    if (drew) work.Changed();
}

}  // namespace Wipekit::Effects
