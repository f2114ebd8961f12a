// The bottom layer of the win32 backend: DIB sections behind bitmaps, bitmap handles,
// GDI drawing on bitmaps, fonts, system colours and the count of GDI objects the toolkit
// holds. It uses nothing of the message loop or of windows.
#pragma once

#include "toolkit/win32/WindowsApi.h"

#include <functional>
#include <string>
#include <string_view>

#include "toolkit/Graphics.h"

namespace Toolkit {

// The bitmap's HBITMAP, owned by the bitmap (0 when it is empty). For a picture of the
// toolkit's own this is the DIB section that holds its pixel rows. Counts as a change of
// the bitmap (TBitmap::ChangeCount): whoever holds the handle may draw on it.
HBITMAP BitmapHandle(TBitmap& bitmap);

// Adopts handle as the bitmap's picture: from then on the bitmap owns it, deletes it when
// the picture is replaced, and BitmapHandle returns the same value. A 24-bit bottom-up DIB
// section is used in place; any other bitmap the system can read through GetDIBits is
// read into 24-bit rows now and again after each TBitmapDC on it. 0 empties the bitmap.
// A handle that is not a readable bitmap raises EInvalidGraphic and is not taken over.
// Raises the change notification.
void SetBitmapHandle(TBitmap& bitmap, HBITMAP handle);

// Loads bitmap resource id of module (a packed DIB of any format the BMP codec reads) as
// the bitmap's picture. A missing or malformed resource raises EInvalidGraphic and leaves
// the bitmap as it was.
void LoadBitmapResource(TBitmap& bitmap, HMODULE module, int id);

// A memory device context with the bitmap selected, for GDI drawing (text, focus
// rectangles). When it closes, GDI's queued drawing is flushed into the pixel rows, a
// foreign picture is read back, and the bitmap's change notification is raised.
class TBitmapDC {
public:
    explicit TBitmapDC(TBitmap& bitmap);
    ~TBitmapDC();
    TBitmapDC(const TBitmapDC&) = delete;
    TBitmapDC& operator=(const TBitmapDC&) = delete;
    HDC Handle() const { return FDC; }

private:
    TBitmap& FBitmap;
    HDC FDC = nullptr;
    HGDIOBJ FOld = nullptr;
};

// GDI objects (bitmaps, device contexts, fonts, brushes) created or adopted and not yet
// deleted by the toolkit. Every creation and deletion of the backend goes through this
// layer, which counts them in one place.
long GdiObjectCount();

enum class TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4 };

// A font description and its HFONT, made when first asked for. The face is matched by
// the system's font mapper: the named face where installed, the closest one otherwise.
class TFont {
public:
    TFont() = default;
    ~TFont();
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    std::string Name() const { return FName; }
    void SetName(const std::string& v);
    int Size() const { return FSize; }  // points
    void SetSize(int v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    unsigned Style() const { return FStyle; }  // TFontStyle bits
    void SetStyle(unsigned v);
    void Assign(const TFont& other);

    HFONT Handle() const;
    // Raised after any change.
    std::function<void()> OnChange;

private:
    void Changed();
    void ReleaseHandle() const;

    std::string FName = "MS Sans Serif";
    int FSize = 8;
    TColor FColor = clWindowText;
    unsigned FStyle = 0;
    mutable HFONT FHandle = nullptr;
};

// UTF-8 and UTF-16 conversions for the wide Windows calls (and COM's texts).
std::wstring Widen(std::string_view s);
std::string Narrow(std::wstring_view s);

namespace Win32 {

// Counted GDI objects for the backend's higher layers: a memory DC (raises
// EOutOfResources when none can be made), a solid brush of a colour (system colours
// resolved), and their deletion.
HDC NewMemoryDC();
void DeleteMemoryDC(HDC dc);
HBRUSH NewSolidBrush(TColor color);
void DeleteGdiObject(HGDIOBJ object);

// 24-bit bottom-up rows of a bitmap of the given size, as GetDIBits and SetDIBits take them.
BITMAPINFO DibInfo(int width, int height);

// Shows the whole of bitmap on dc with its top-left corner at (x, y); an empty bitmap
// shows nothing.
void DrawBitmap(HDC dc, int x, int y, const TBitmap& bitmap);
// Shows the whole of bitmap stretched to rectangle r of dc.
void DrawBitmap(HDC dc, const RECT& r, const TBitmap& bitmap);

}  // namespace Win32

}  // namespace Toolkit
