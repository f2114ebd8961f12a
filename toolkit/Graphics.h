// Bitmaps and canvases: 24-bit DIB memory and the drawing operations on it.
//
// Every drawing operation is portable C++ on the bitmap's own memory, so each platform
// produces the same bytes. The platform backend only supplies where the memory lives
// (a plain heap block headless, a DIB section on Windows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "toolkit/Lifeline.h"
#include "toolkit/Pixels.h"
#include "toolkit/Types.h"

namespace Toolkit {

class TBitmap;
struct TBmpPicture;

enum class TBrushStyle : std::uint8_t { bsSolid, bsClear };
enum class TPenStyle : std::uint8_t { psSolid, psDash, psDot, psClear };
enum class TCopyMode : std::uint8_t { cmSrcCopy, cmSrcInvert };

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;
};

struct TPen {
    TColor Color = clBlack;
    TPenStyle Style = TPenStyle::psSolid;
};

// Drawing surface of one bitmap. Every operation clips to the bitmap and notifies it
// of the change; a rectangle of zero or negative size draws nothing.
class TCanvas {
public:
    explicit TCanvas(TBitmap& target) : FTarget(target) {}
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TBrush Brush;
    TPen Pen;
    TCopyMode CopyMode = TCopyMode::cmSrcCopy;

    TBitmap& Target() const { return FTarget; }

    // Each operation raises the bitmap's change notification once, as its last step: a
    // handler may free the bitmap.

    // Fills r with the brush colour (nothing when the brush is clear).
    void FillRect(const TRect& r);
    // Outline drawn with the pen over (l, t)..(r-1, b-1), inside filled with the brush.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // Copies rectangle src of source's bitmap onto rectangle dest of this canvas with
    // CopyMode, stretching by nearest neighbour when the sizes differ: destination pixel
    // (x, y) takes source pixel (src.Left + (x - dest.Left) * src.Width / dest.Width, ...),
    // rounded down. Destination pixels whose source pixel lies outside the source bitmap,
    // or that lie outside this bitmap, are left as they are.
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& src);
    // Draws the whole of bitmap with its top-left corner at (x, y).
    void Draw(int x, int y, const TBitmap& bitmap);
    // Stretches the whole of bitmap onto dest.
    void StretchDraw(const TRect& dest, const TBitmap& bitmap);

    TColor Pixel(int x, int y) const;  // clNone outside the bitmap
    void SetPixel(int x, int y, TColor color);

private:
    bool Fill(const TRect& r);  // FillRect without the notification; false when nothing drawn
    void HorizontalPenLine(int x0, int x1, int y, int& phase);
    void VerticalPenLine(int x, int y0, int y1, int& phase);
    void PlotPen(int x, int y, int& phase);

    TBitmap& FTarget;
};

// A 24-bit picture held in DIB memory (see Pixels.h), read and written through its view.
class TBitmap {
public:
    TBitmap();
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FWidth == 0 || FHeight == 0; }
    std::size_t ImageSize() const { return DibStride(FWidth) * std::size_t(FHeight); }

    // Resizing keeps the overlapping top-left part of the picture; new area is black.
    // A side <= 0 empties the bitmap. Sizes beyond the limits raise EOutOfResources.
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, FHeight); }
    void SetHeight(int height) { SetSize(FWidth, height); }

    // Copies another bitmap's picture (an empty one empties this). Assigning a bitmap to
    // itself copies nothing but still notifies the change.
    void Assign(const TBitmap& source);

    // The pixels, after the store has been synchronised once (empty when the bitmap is).
    // The writable view counts as a change (ChangeCount), the read-only one does not.
    TPixelView Pixels();
    TConstPixelView Pixels() const;
    // Picture line y, counted from the top (the writable line counts as a change).
    std::uint8_t* ScanLine(int y) { return Pixels().Row(y); }
    const std::uint8_t* ScanLine(int y) const { return Pixels().Row(y); }
    // The DIB memory as one block of ImageSize() bytes (nullptr when empty), for code that
    // hands the whole DIB to the platform (the writable block counts as a change).
    std::uint8_t* Bits() {
        NoteChange();
        return SyncedBits();
    }
    const std::uint8_t* Bits() const { return SyncedBits(); }

    // The change count: rises at every change the toolkit knows of and at every handing
    // out of writable pixels: each drawing operation and change notification, resizing,
    // Assign, loading, adopting a store, the writable Pixels, ScanLine and Bits, and on
    // Windows the bitmap's handle and device context (BitmapHandle, TBitmapDC). Equal
    // counts, read at two times, mean the pixels are as they were (a component redraws
    // only what changed of a frame on that promise). Counts of different bitmaps are
    // unrelated.
    std::uint64_t ChangeCount() const { return FChangeCount; }
    // Counts a change made, or made possible, outside the paths above (a backend handing
    // out the memory to the platform).
    void NoteChange() { ++FChangeCount; }
    // Whether the pixels may change at any time without the count seeing it: the store's
    // memory is shared with code outside the toolkit (TPixelStore::Shared). A frame drawn
    // from such a picture, or onto such a bitmap, is drawn whole.
    bool Shared() const { return FStore && FStore->Shared(); }

    TCanvas& Canvas() { return FCanvas; }
    const TCanvas& Canvas() const { return FCanvas; }

    // The change notification: raised after the picture has changed. The handler may free
    // the bitmap; Changed returns whether the bitmap survived it.
    std::function<void(TBitmap&)> OnChange;
    bool Changed();
    // Cut when the bitmap is destroyed: see TLifeline.
    TLifeline::TWatch Watch() const { return FLifeline.Watch(); }

    // BMP files, in the formats of BmpCodec.h. A malformed, truncated or oversized file
    // raises EInvalidGraphic (or EOutOfResources) and leaves the bitmap as it was.
    void LoadFromStream(std::istream& in);
    void SaveToStream(std::ostream& out) const;
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;
    // A BMP file held in memory (a picture built into the program).
    void LoadFromMemory(const void* data, std::size_t size);
    // A packed DIB held in memory (a bitmap resource: no file header).
    void LoadDibFromMemory(const void* data, std::size_t size);

    // The store (a backend's way to its memory, e.g. the Windows handle behind it; a
    // backend that hands that out for writing calls NoteChange).
    TPixelStore* Store() const { return FStore.get(); }
    // Replaces the picture with a prepared store of the given size (backends, loaders).
    void Adopt(std::unique_ptr<TPixelStore> store, int width, int height);

private:
    std::uint8_t* SyncedBits() const;
    // Adopt, then the change notification.
    void Replace(std::unique_ptr<TPixelStore> store, int width, int height);
    void Replace(TBmpPicture picture);  // a picture read from a file

    int FWidth = 0;
    int FHeight = 0;
    std::uint64_t FChangeCount = 0;
    std::unique_ptr<TPixelStore> FStore;
    TCanvas FCanvas;
    TLifeline FLifeline;
};

}  // namespace Toolkit
