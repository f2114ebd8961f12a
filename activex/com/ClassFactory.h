// One generic class factory for every class of the library, fed by a table: the
// library's DllGetClassObject looks the CLSID up among its factories.
#pragma once

#include "toolkit/win32/WindowsApi.h"
#include <unknwn.h>

#include <span>

#include "activex/com/SafeCall.h"

namespace Com {

// Makes a new object and answers with its interface iid (one reference), or fails.
using TCreateInstance = HRESULT (*)(REFIID iid, void** out);

// A class object: static, one per class, alive as long as the module. Only locks
// count towards the module's accounting; references do not.
class TClassFactory final : public IClassFactory {
public:
    constexpr TClassFactory(const CLSID& clsid, TCreateInstance create) : FClsid(clsid), FCreate(create) {}
    const CLSID& Clsid() const { return FClsid; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    const CLSID& FClsid;
    TCreateInstance FCreate;
};

// The creator of a table row for class T (default-constructed, one reference at birth);
// a constructor that throws fails the creation with its error.
template <class T>
HRESULT CreateInstanceOf(REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    T* object = nullptr;
    const HRESULT made = SafeCall(IID_IClassFactory, [&] { object = new T(); });
    if (FAILED(made)) return made;
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

// DllGetClassObject over the factories: CLASS_E_CLASSNOTAVAILABLE and a null result
// for an unknown CLSID, E_NOINTERFACE when the class object lacks the interface.
HRESULT GetClassObject(std::span<TClassFactory> factories, REFCLSID clsid, REFIID iid, void** out) noexcept;

}  // namespace Com
