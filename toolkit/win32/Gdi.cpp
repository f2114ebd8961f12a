// GDI layer of the win32 backend: DIB sections behind bitmaps, bitmap handles, GDI
// drawing on bitmaps, fonts, system colours, and the count of the GDI objects held.
#include "toolkit/win32/Gdi.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace Toolkit {

namespace Win32 {

namespace {

std::atomic<long> gGdiObjects{0};

// The one place that counts: every GDI object the backend creates or adopts passes
// through Held (a null handle, nothing made, counts nothing), and every one it deletes
// through DeleteGdiObject or DeleteMemoryDC.
template <class Handle>
Handle Held(Handle object) {
    if (object) gGdiObjects.fetch_add(1, std::memory_order_relaxed);
    return object;
}

void Released() { gGdiObjects.fetch_sub(1, std::memory_order_relaxed); }

}  // namespace

HDC NewMemoryDC() {
    HDC dc = Held(CreateCompatibleDC(nullptr));
    if (!dc) throw EOutOfResources("Unable to create a device context.");
    return dc;
}

void DeleteMemoryDC(HDC dc) {
    if (dc && DeleteDC(dc)) Released();
}

HBRUSH NewSolidBrush(TColor color) {
    HBRUSH brush = Held(CreateSolidBrush(ColorToRGB(color)));
    if (!brush) throw EOutOfResources("Unable to create a brush.");
    return brush;
}

void DeleteGdiObject(HGDIOBJ object) {
    if (object && DeleteObject(object)) Released();
}

BITMAPINFO DibInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = DWORD(DibStride(width) * std::size_t(height));
    return info;
}

void DrawBitmap(HDC dc, int x, int y, const TBitmap& bitmap) {
    if (bitmap.Empty()) return;
    BITMAPINFO info = DibInfo(bitmap.Width(), bitmap.Height());
    SetDIBitsToDevice(dc, x, y, DWORD(bitmap.Width()), DWORD(bitmap.Height()), 0, 0, 0, UINT(bitmap.Height()),
                      bitmap.Bits(), &info, DIB_RGB_COLORS);
}

void DrawBitmap(HDC dc, const RECT& r, const TBitmap& bitmap) {
    if (bitmap.Empty() || r.right <= r.left || r.bottom <= r.top) return;
    BITMAPINFO info = DibInfo(bitmap.Width(), bitmap.Height());
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, bitmap.Width(), bitmap.Height(),
                  bitmap.Bits(), &info, DIB_RGB_COLORS, SRCCOPY);
}

namespace {

// Pixel store with an HBITMAP behind it. While it lives, its handle is listed in the
// process's handle table (HeldHandles), so that no other bitmap adopts the same handle.
class THandleStore : public TPixelStore {
public:
    THandleStore(HBITMAP handle, int width, int height) : FHandle(handle), FWidth(width), FHeight(height) {}
    HBITMAP Handle() const { return FHandle; }
    // Handed out, or adopted from the caller, who keeps the handle and may draw on it.
    bool Shared() const override { return FShared.load(std::memory_order_relaxed); }
    void Share() { FShared.store(true, std::memory_order_relaxed); }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Reads the picture back from the handle after GDI drew on it (foreign formats).
    virtual void Reload() {}

protected:
    // Called first by every derived destructor, while the pixels are intact: takes the
    // handle off the table (waiting for a copy being taken of it) and deletes it.
    void Release();

private:
    HBITMAP FHandle;
    int FWidth, FHeight;
    std::atomic<bool> FShared{false};
};

// The handles the bitmaps of this process hold, each with its store. A handle crosses
// automation as a 32-bit value and may come back sign-extended, so it is keyed by its
// low 32 bits. One lock guards the table and every copy taken from a listed store, so a
// store on another thread is not deleted in the middle of a copy. The table lives until
// the process ends: stores may be released during static destruction.
class THandleTable {
public:
    static THandleTable& Instance() {
        static auto* table = new THandleTable;
        return *table;
    }
    static std::uint32_t Key(HBITMAP handle) { return std::uint32_t(reinterpret_cast<std::uintptr_t>(handle)); }

    void Add(THandleStore& store) {
        std::lock_guard<std::recursive_mutex> lock(FLock);
        FStores[Key(store.Handle())] = &store;
    }
    void Remove(HBITMAP handle) {
        std::lock_guard<std::recursive_mutex> lock(FLock);
        FStores.erase(Key(handle));
    }
    // A new store holding a copy of the picture of the store that holds handle, or
    // nullptr when no bitmap of the process holds it.
    std::unique_ptr<THandleStore> CopyHeld(HBITMAP handle);

private:
    std::recursive_mutex FLock;  // a copy makes a store, which lists itself
    std::unordered_map<std::uint32_t, THandleStore*> FStores;
};

void THandleStore::Release() {
    THandleTable::Instance().Remove(FHandle);
    DeleteGdiObject(FHandle);
}

// Makes a store and lists its handle, once it is complete.
template <class Store, class... Args>
std::unique_ptr<THandleStore> Listed(Args&&... args) {
    auto store = std::make_unique<Store>(std::forward<Args>(args)...);
    THandleTable::Instance().Add(*store);
    return store;
}

// A 24-bit bottom-up DIB section: the toolkit's own pictures, and adopted handles of
// exactly that format.
class TDibSectionStore final : public THandleStore {
public:
    TDibSectionStore(HBITMAP handle, int width, int height, std::uint8_t* bits)
        : THandleStore(handle, width, height), FBits(bits) {}
    ~TDibSectionStore() override { Release(); }
    std::uint8_t* Bits() override { return FBits; }
    // GDI may still hold drawing on the section in its queue.
    void Sync() override { GdiFlush(); }

private:
    std::uint8_t* FBits;
};

// Any other bitmap: owned as it is, its picture read into 24-bit rows of our own.
class TForeignStore final : public THandleStore {
public:
    TForeignStore(HBITMAP handle, int width, int height, std::vector<std::uint8_t> rows)
        : THandleStore(handle, width, height), FRows(std::move(rows)) {}
    ~TForeignStore() override { Release(); }
    std::uint8_t* Bits() override { return FRows.data(); }
    void Reload() override { Read(Handle(), Width(), Height(), FRows.data()); }

    // Reads the picture as 24-bit bottom-up rows through GetDIBits.
    static bool Read(HBITMAP handle, int width, int height, std::uint8_t* rows) {
        BITMAPINFO info = DibInfo(width, height);
        HDC dc = Held(CreateCompatibleDC(nullptr));
        if (!dc) return false;
        const int lines = GetDIBits(dc, handle, 0, UINT(height), rows, &info, DIB_RGB_COLORS);
        DeleteMemoryDC(dc);
        return lines == height;
    }

private:
    std::vector<std::uint8_t> FRows;
};

// A new DIB section of width x height with zeroed rows.
std::unique_ptr<THandleStore> NewDibSection(int width, int height) {
    const std::size_t bytes = CheckedImageSize(width, height);
    BITMAPINFO info = DibInfo(width, height);
    void* bits = nullptr;
    HBITMAP handle = Held(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!handle || !bits) {
        DeleteGdiObject(handle);
        throw EOutOfResources("Unable to create a bitmap of " + std::to_string(width) + " x " +
                              std::to_string(height) + " pixels.");
    }
    std::memset(bits, 0, bytes);  // callers rely on zeroed rows
    return Listed<TDibSectionStore>(handle, width, height, static_cast<std::uint8_t*>(bits));
}

std::unique_ptr<THandleStore> THandleTable::CopyHeld(HBITMAP handle) {
    std::lock_guard<std::recursive_mutex> lock(FLock);
    const auto it = FStores.find(Key(handle));
    if (it == FStores.end()) return nullptr;
    THandleStore& held = *it->second;
    held.Sync();
    auto copy = NewDibSection(held.Width(), held.Height());
    std::memcpy(copy->Bits(), held.Bits(), DibStride(held.Width()) * std::size_t(held.Height()));
    return copy;
}

THandleStore* HandleStoreOf(TBitmap& bitmap) { return dynamic_cast<THandleStore*>(bitmap.Store()); }

// GetObject reports the height of a top-down DIB section as positive, so the row order
// is probed: a changed first byte of memory shows in the bottom line exactly when the
// section is bottom-up.
bool IsBottomUp(HBITMAP handle, const DIBSECTION& section) {
    if (section.dsBm.bmHeight == 1) return true;
    auto* first = static_cast<std::uint8_t*>(section.dsBm.bmBits);
    const std::uint8_t saved = *first;
    GdiFlush();
    *first = std::uint8_t(saved ^ 0xFF);
    BITMAPINFO info = DibInfo(section.dsBm.bmWidth, section.dsBm.bmHeight);
    std::vector<std::uint8_t> bottom(DibStride(section.dsBm.bmWidth));
    HDC dc = Held(CreateCompatibleDC(nullptr));
    const bool read = dc && GetDIBits(dc, handle, 0, 1, bottom.data(), &info, DIB_RGB_COLORS) == 1;
    DeleteMemoryDC(dc);
    *first = saved;
    return read && bottom[0] == std::uint8_t(saved ^ 0xFF);
}

}  // namespace

}  // namespace Win32

using namespace Win32;

std::unique_ptr<TPixelStore> NewPixelStore(int width, int height) { return NewDibSection(width, height); }

namespace {

// The store of the bitmap's handle (nullptr when it is empty). A picture whose rows came
// from elsewhere moves into a DIB section of its own. Counts as a change of the bitmap:
// whoever holds the handle may draw on it through GDI.
THandleStore* HandleStoreFor(TBitmap& bitmap) {
    if (bitmap.Empty()) return nullptr;
    bitmap.NoteChange();
    if (THandleStore* store = HandleStoreOf(bitmap)) return store;
    auto store = NewPixelStore(bitmap.Width(), bitmap.Height());
    std::memcpy(store->Bits(), bitmap.Bits(), bitmap.ImageSize());
    bitmap.Adopt(std::move(store), bitmap.Width(), bitmap.Height());
    return HandleStoreOf(bitmap);
}

}  // namespace

HBITMAP BitmapHandle(TBitmap& bitmap) {
    THandleStore* store = HandleStoreFor(bitmap);
    if (!store) return nullptr;
    // Its holder may draw on it whenever it likes, unseen by the change count.
    store->Share();
    return store->Handle();
}

void SetBitmapHandle(TBitmap& bitmap, HBITMAP handle) {
    if (!handle) {
        bitmap.SetSize(0, 0);
        return;
    }
    if (THandleStore* current = HandleStoreOf(bitmap);
        current && THandleTable::Key(current->Handle()) == THandleTable::Key(handle))
        return;
    // A handle another bitmap of the process holds (another control's picture, a
    // surface) is copied, never adopted: it would have two owners and be deleted twice.
    if (auto copy = THandleTable::Instance().CopyHeld(handle)) {
        const int width = copy->Width(), height = copy->Height();
        bitmap.Adopt(std::move(copy), width, height);
        bitmap.Changed();
        return;
    }
    DIBSECTION section{};
    const int got = GetObjectType(handle) == OBJ_BITMAP ? GetObjectW(handle, sizeof section, &section) : 0;
    if (got != int(sizeof(BITMAP)) && got != int(sizeof(DIBSECTION)))
        throw EInvalidGraphic("Invalid bitmap handle.");
    const int width = section.dsBm.bmWidth;
    const int height = section.dsBm.bmHeight;
    if (width <= 0 || height <= 0) throw EInvalidGraphic("Invalid bitmap handle: the bitmap has no pixels.");
    CheckedImageSize(width, height);

    std::unique_ptr<THandleStore> store;
    if (got == int(sizeof(DIBSECTION)) && section.dsBm.bmBits && section.dsBmih.biBitCount == 24 &&
        section.dsBmih.biCompression == BI_RGB && IsBottomUp(handle, section)) {
        store = Listed<TDibSectionStore>(handle, width, height, static_cast<std::uint8_t*>(section.dsBm.bmBits));
    } else {
        std::vector<std::uint8_t> rows(DibStride(width) * std::size_t(height));
        // Refused handles stay the caller's.
        if (!TForeignStore::Read(handle, width, height, rows.data()))
            throw EInvalidGraphic("Invalid bitmap handle: its pixels cannot be read.");
        store = Listed<TForeignStore>(handle, width, height, std::move(rows));
    }
    Held(handle);  // the bitmap now holds one more GDI object
    store->Share();  // the caller still knows the handle and may draw on it
    bitmap.Adopt(std::move(store), width, height);
    bitmap.Changed();
}

// ---------------------------------------------------------------------------------------

TBitmapDC::TBitmapDC(TBitmap& bitmap) : FBitmap(bitmap) {
    // The handle stays inside this device context, which lives no longer than the drawing.
    THandleStore* store = HandleStoreFor(bitmap);
    FDC = NewMemoryDC();
    if (store) FOld = SelectObject(FDC, store->Handle());
}

TBitmapDC::~TBitmapDC() {
    GdiFlush();
    if (FOld) SelectObject(FDC, FOld);
    DeleteMemoryDC(FDC);
    if (THandleStore* store = HandleStoreOf(FBitmap)) store->Reload();
    if (!FBitmap.Empty()) FBitmap.Changed();
}

long GdiObjectCount() { return gGdiObjects.load(std::memory_order_relaxed); }

// ---------------------------------------------------------------------------------------
// Fonts

TFont::~TFont() { ReleaseHandle(); }

void TFont::ReleaseHandle() const {
    DeleteGdiObject(FHandle);
    FHandle = nullptr;
}

void TFont::Changed() {
    ReleaseHandle();
    if (OnChange) OnChange();
}

void TFont::SetName(const std::string& v) {
    if (v == FName) return;
    FName = v;
    Changed();
}
void TFont::SetSize(int v) {
    if (v == FSize || v <= 0) return;
    FSize = v;
    Changed();
}
void TFont::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    Changed();
}
void TFont::SetStyle(unsigned v) {
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}
void TFont::Assign(const TFont& other) {
    if (&other == this) return;
    FName = other.FName;
    FSize = other.FSize;
    FColor = other.FColor;
    FStyle = other.FStyle;
    Changed();
}

HFONT TFont::Handle() const {
    if (FHandle) return FHandle;
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(FSize, dpi, 72);
    lf.lfWeight = (FStyle & unsigned(TFontStyle::fsBold)) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (FStyle & unsigned(TFontStyle::fsItalic)) ? TRUE : FALSE;
    lf.lfUnderline = (FStyle & unsigned(TFontStyle::fsUnderline)) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring face = Widen(FName).substr(0, LF_FACESIZE - 1);
    std::wmemcpy(lf.lfFaceName, face.c_str(), face.size() + 1);
    FHandle = Held(CreateFontIndirectW(&lf));
    return FHandle ? FHandle : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

std::wstring Widen(std::string_view s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), w.data(), n);
    return w;
}

std::string Narrow(std::wstring_view w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(std::size_t(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

TColor ColorToRGB(TColor color) {
    if (!(color & SystemColorFlag)) return color;
    const int index = int(color & 0xFF);
    return index < SystemColorCount ? TColor(GetSysColor(index)) : 0;
}

void LoadBitmapResource(TBitmap& bitmap, HMODULE module, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2 /* RT_BITMAP */));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw EInvalidGraphic("Bitmap resource " + std::to_string(id) + " not found.");
    bitmap.LoadDibFromMemory(data, SizeofResource(module, found));
}

}  // namespace Toolkit
