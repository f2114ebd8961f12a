#include "AxFixtures.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>
#include <vector>

#include "support/Fixtures.h"
#include "win32/WinFixtures.h"

namespace AxTest {

namespace {

// The tests run in one single-threaded apartment, as a container's user-interface thread.
const struct OleApartment {
    OleApartment() { OleInitialize(nullptr); }
    ~OleApartment() { OleUninitialize(); }
} apartment;

}  // namespace

std::wstring WinePath(const char* path) {
    std::wstring wine = L"Z:";
    for (const char* c = path; *c; ++c) wine += *c == '/' ? L'\\' : wchar_t(*c);
    return wine;
}

std::wstring OcxPath() { return WinePath(LUMAWIPE_OCX_PATH); }

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

Ocx::Ocx() {
    FModule = LoadLibraryW(OcxPath().c_str());
    if (!FModule) {
        ADD_FAILURE() << "cannot load " << LUMAWIPE_OCX_PATH << ", error " << GetLastError();
        return;
    }
    FGetClassObject = reinterpret_cast<decltype(FGetClassObject)>(
        reinterpret_cast<void*>(GetProcAddress(FModule, "DllGetClassObject")));
    FCanUnloadNow =
        reinterpret_cast<decltype(FCanUnloadNow)>(reinterpret_cast<void*>(GetProcAddress(FModule, "DllCanUnloadNow")));
    EXPECT_TRUE(FGetClassObject && FCanUnloadNow) << "DllGetClassObject or DllCanUnloadNow missing";
}

Ocx::~Ocx() {
    if (FModule) FreeLibrary(FModule);
}

HRESULT Ocx::GetClassObject(REFCLSID clsid, REFIID iid, void** out) const {
    return FGetClassObject ? FGetClassObject(clsid, iid, out) : E_UNEXPECTED;
}

HRESULT Ocx::CanUnloadNow() const { return FCanUnloadNow ? FCanUnloadNow() : E_UNEXPECTED; }

ComPtr<ILumawipe> Ocx::NewControl() const {
    ComPtr<IClassFactory> factory;
    ComPtr<ILumawipe> control;
    EXPECT_EQ(GetClassObject(CLSID_Lumawipe, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())), S_OK);
    if (factory) {
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_ILumawipe, reinterpret_cast<void**>(control.Put())), S_OK);
    }
    return control;
}

const Ocx& SharedOcx() {
    static const Ocx ocx;
    return ocx;
}

namespace {

// Enumerations cross as 32-bit integers of any value: their bits, not a conversion.
template <class T>
T From32(std::int32_t v) {
    if constexpr (std::is_enum_v<T>)
        return std::bit_cast<T>(static_cast<std::underlying_type_t<T>>(v));
    else
        return static_cast<T>(v);
}
template <class T>
std::int32_t To32(T v) {
    if constexpr (std::is_enum_v<T>)
        return static_cast<std::int32_t>(std::bit_cast<std::underlying_type_t<T>>(v));
    else
        return static_cast<std::int32_t>(v);
}

}  // namespace

#define AX_PROPERTY(name, id, vt, T)                                                       \
    Property {                                                                             \
        L## #name, id, vt,                                                                 \
            [](ILumawipe* c, std::int32_t* v) {                                            \
                T x{};                                                                     \
                const HRESULT hr = c->get_##name(&x);                                      \
                *v = To32(x);                                                              \
                return hr;                                                                 \
            },                                                                             \
            [](ILumawipe* c, std::int32_t v) { return c->put_##name(From32<T>(v)); } \
    }

const Property Properties[15] = {
    AX_PROPERTY(Active, 6, VT_BOOL, VARIANT_BOOL),
    AX_PROPERTY(Color, 7, VT_UI4, OLE_COLOR),
    AX_PROPERTY(Delta, 10, VT_I4, long),
    AX_PROPERTY(Interval, 11, VT_I4, long),
    AX_PROPERTY(Modifier, 12, VT_I4, TxTransitionModifier),
    AX_PROPERTY(Operation, 13, VT_I4, TxTransitionOperation),
    AX_PROPERTY(Reverse, 14, VT_BOOL, VARIANT_BOOL),
    AX_PROPERTY(RGBOrder, 15, VT_I4, TxRGBOrder),
    AX_PROPERTY(UseThread, 16, VT_BOOL, VARIANT_BOOL),
    AX_PROPERTY(Steps, 17, VT_I4, long),
    AX_PROPERTY(Visible, 18, VT_BOOL, VARIANT_BOOL),
    AX_PROPERTY(Enabled, 19, VT_BOOL, VARIANT_BOOL),
    AX_PROPERTY(Cursor, 20, VT_I2, short),
    AX_PROPERTY(FromBitmap, 8, VT_I4, long),
    AX_PROPERTY(ToBitmap, 9, VT_I4, long),
};
#undef AX_PROPERTY

const Property& PropertyNamed(const wchar_t* name) {
    for (const Property& p : Properties)
        if (std::wstring_view(p.Name) == name) return p;
    ADD_FAILURE() << "no property of that name";
    return Properties[0];
}

std::int32_t Read(ILumawipe* control, const Property& p) {
    std::int32_t v = 0;
    EXPECT_EQ(p.Get(control, &v), S_OK) << "reading a property";
    return v;
}

std::int32_t Read(ILumawipe* control, const wchar_t* name) { return Read(control, PropertyNamed(name)); }

void Write(ILumawipe* control, const wchar_t* name, std::int32_t value) {
    EXPECT_EQ(PropertyNamed(name).Put(control, value), S_OK) << "writing a property " << value;
}

HRESULT Invoke(IDispatch* object, DISPID id, WORD flags, std::initializer_list<VARIANT> args, VARIANT* result,
               EXCEPINFO* error) {
    std::vector<VARIANT> reversed(args.begin(), args.end());
    std::reverse(reversed.begin(), reversed.end());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, UINT(reversed.size()), 0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    EXCEPINFO ignored{};
    UINT argError = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                      error ? error : &ignored, &argError);
    if (!error) {
        SysFreeString(ignored.bstrSource);
        SysFreeString(ignored.bstrDescription);
        SysFreeString(ignored.bstrHelpFile);
    }
    return hr;
}

VARIANT Value(VARTYPE vt, std::int32_t value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    switch (vt) {
        case VT_BOOL: v.boolVal = VARIANT_BOOL(value); break;
        case VT_I2: v.iVal = SHORT(value); break;
        case VT_UI4: v.ulVal = ULONG(std::uint32_t(value)); break;
        default: v.vt = VT_I4, v.lVal = value; break;
    }
    return v;
}

std::int32_t IntegerOf(const VARIANT& v) {
    switch (v.vt) {
        case VT_BOOL: return v.boolVal;
        case VT_I2: return v.iVal;
        case VT_UI4: return std::int32_t(v.ulVal);
        case VT_I4: return v.lVal;
        default: ADD_FAILURE() << "unexpected variant type " << v.vt; return 0;
    }
}

std::int32_t HandleValue(HGDIOBJ handle) { return std::int32_t(reinterpret_cast<std::intptr_t>(handle)); }

HBITMAP BitmapOf(std::int32_t value) { return reinterpret_cast<HBITMAP>(std::intptr_t(value)); }

namespace {

BITMAPINFO Dib24(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as TBitmap keeps its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

HBITMAP NewDib(const Toolkit::TBitmap& picture) {
    const BITMAPINFO info = Dib24(picture.Width(), picture.Height());
    void* bits = nullptr;
    HBITMAP handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    EXPECT_NE(handle, nullptr);
    if (handle) std::memcpy(bits, picture.Bits(), picture.ImageSize());
    return handle;
}

void ReadHandle(HBITMAP handle, Toolkit::TBitmap& out) {
    BITMAP facts{};
    ASSERT_NE(GetObjectW(handle, sizeof facts, &facts), 0) << "not a bitmap handle";
    out.SetSize(facts.bmWidth, facts.bmHeight);
    BITMAPINFO info = Dib24(facts.bmWidth, facts.bmHeight);
    HDC screen = GetDC(nullptr);
    const int lines = GetDIBits(screen, handle, 0, UINT(facts.bmHeight), out.Bits(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(lines, facts.bmHeight);
    out.Changed();
}

HRESULT DoneSink::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_ILumawipeEvents) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT DoneSink::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT DoneSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    *info = nullptr;
    return E_NOTIMPL;
}

HRESULT DoneSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT DoneSink::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    if (id == 1 && (flags & DISPATCH_METHOD) && params && params->cArgs == 0) {
        ++Done;
        if (OnDone) OnDone();
    } else
        ++Other;
    return S_OK;
}

DWORD Advise(IUnknown* control, IUnknown* sink) {
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    EXPECT_EQ(control->QueryInterface(IID_PPV_ARGS(container.Put())), S_OK);
    if (container) {
        EXPECT_EQ(container->FindConnectionPoint(DIID_ILumawipeEvents, point.Put()), S_OK);
    }
    if (point) {
        EXPECT_EQ(point->Advise(sink, &cookie), S_OK);
    }
    return cookie;
}

void Unadvise(IUnknown* control, DWORD cookie) {
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(container.Put())), S_OK);
    ASSERT_EQ(container->FindConnectionPoint(DIID_ILumawipeEvents, point.Put()), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
}

void PrepareQuickRun(ILumawipe* control, bool thread) {
    Toolkit::TBitmap from, to;
    Fixtures::MakeCoordPicture(from, 16, 8, Fixtures::FromTag);
    Fixtures::MakeCoordPicture(to, 16, 8, Fixtures::ToTag);
    Write(control, L"UseThread", thread ? -1 : 0);
    Write(control, L"FromBitmap", HandleValue(NewDib(from)));
    Write(control, L"ToBitmap", HandleValue(NewDib(to)));
    Write(control, L"Interval", 1);
    Write(control, L"Steps", 4);
}

bool RunToDone(ILumawipe* control, bool thread) {
    PrepareQuickRun(control, thread);
    DoneSink sink;
    const DWORD cookie = Advise(control, &sink);
    EXPECT_EQ(control->Play(), S_OK);
    const bool done = WinFixtures::PumpUntil([&] { return sink.Done > 0; }, 10000);
    Unadvise(control, cookie);
    return done && Read(control, L"Active") == 0;
}

}  // namespace AxTest
