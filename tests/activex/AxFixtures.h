// Helpers of the tests that use Lumawipe.ocx the way containers do: the library loaded
// from the build tree with its entry points, the control's properties as one table,
// bitmap handles of known pictures, and an event sink that counts OnDone.
#pragma once

#include "LumawipeTypes.h"

#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <initializer_list>
#include <cstdint>
#include <functional>
#include <string>

#include "activex/com/ComPtr.h"
#include "toolkit/Graphics.h"

namespace AxTest {

using Com::Bstr;
using Com::ComPtr;
using Com::Variant;

// The property page's class, which the type library does not describe.
constexpr CLSID CLSID_LumawipeProperties = {
    0x6c0a9d52, 0x8e1b, 0x4f37, {0xa2, 0xc4, 0x5b, 0x9e, 0x13, 0xd7, 0xf0, 0x86}};

// A file of the build machine, seen through Wine's drive Z:.
std::wstring WinePath(const char* path);
// Lumawipe.ocx of the build tree, seen through Wine's drive Z:.
std::wstring OcxPath();

// "{F91DF8F4-...}", as COM writes a GUID into the registry.
std::wstring GuidText(REFGUID guid);

// The library loaded with LoadLibrary (no registration) and its two class-object entries.
class Ocx {
public:
    Ocx();
    ~Ocx();
    Ocx(const Ocx&) = delete;
    Ocx& operator=(const Ocx&) = delete;

    HMODULE Module() const { return FModule; }
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const;
    HRESULT CanUnloadNow() const;
    // A new control from the library's class object (ILumawipe), or a test failure.
    ComPtr<ILumawipe> NewControl() const;

private:
    HMODULE FModule = nullptr;
    HRESULT(STDAPICALLTYPE* FGetClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* FCanUnloadNow)() = nullptr;
};

// The library loaded once for the whole test program.
const Ocx& SharedOcx();

// One property of ILumawipe: its name, DISPID and automation type, and its vtable
// accessors with every value widened to a 32-bit integer (booleans as -1 / 0 and
// any 16-bit value in, colours as their bits).
struct Property {
    const wchar_t* Name;
    DISPID Id;
    VARTYPE Type;
    HRESULT (*Get)(ILumawipe*, std::int32_t*);
    HRESULT (*Put)(ILumawipe*, std::int32_t);
};
// Every property of the interface.
extern const Property Properties[15];
const Property& PropertyNamed(const wchar_t* name);

// Reads property p through the vtable (a test failure when the call fails).
std::int32_t Read(ILumawipe* control, const Property& p);
std::int32_t Read(ILumawipe* control, const wchar_t* name);
void Write(ILumawipe* control, const wchar_t* name, std::int32_t value);

// IDispatch::Invoke with positional arguments (script order); result may be null.
HRESULT Invoke(IDispatch* object, DISPID id, WORD flags, std::initializer_list<VARIANT> args, VARIANT* result,
               EXCEPINFO* error = nullptr);
// A VARIANT of type vt holding value (VT_BOOL, VT_I2, VT_I4, VT_UI4).
VARIANT Value(VARTYPE vt, std::int32_t value);
// The integer a VARIANT of those types holds.
std::int32_t IntegerOf(const VARIANT& v);

// A bitmap handle as the interface carries it: 32 bits, sign-extended on 64-bit.
std::int32_t HandleValue(HGDIOBJ handle);
HBITMAP BitmapOf(std::int32_t value);

// A new 24-bit DIB section holding a copy of picture's pixels (the caller owns it).
HBITMAP NewDib(const Toolkit::TBitmap& picture);
// The pixels of any bitmap handle, read through GetDIBits.
void ReadHandle(HBITMAP handle, Toolkit::TBitmap& out);

// An event sink of the test: counts OnDone (DISPID 1, a method call without arguments)
// and tells apart anything else the control calls.
class DoneSink final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return --FRefs; }  // lives on the test's stack
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    std::atomic<int> Done{0};
    std::function<void()> OnDone;  // run after Done was counted
    std::atomic<int> Other{0};   // calls that are not a plain OnDone
    std::atomic<ULONG> FRefs{1};  // references the control holds, plus the test's own
};

// Gives control two small pictures and a quick run in thread or timer mode.
void PrepareQuickRun(ILumawipe* control, bool thread);
// Plays such a run with a sink connected; whether OnDone arrived (within 10 s) and the
// control is no longer active.
bool RunToDone(ILumawipe* control, bool thread);

// Connects sink to the control's events; the cookie, or 0 with a test failure.
DWORD Advise(IUnknown* control, IUnknown* sink);
void Unadvise(IUnknown* control, DWORD cookie);

}  // namespace AxTest
