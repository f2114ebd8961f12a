#include "activex/com/ClassFactory.h"

#include "activex/com/Module.h"

namespace Com {

HRESULT TClassFactory::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT TClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return FCreate(iid, out);
}

HRESULT TClassFactory::LockServer(BOOL lock) {
    if (lock)
        LockModule();
    else
        UnlockModule();
    return S_OK;
}

HRESULT GetClassObject(std::span<TClassFactory> factories, REFCLSID clsid, REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (TClassFactory& factory : factories)
        if (IsEqualCLSID(clsid, factory.Clsid())) return factory.QueryInterface(iid, out);
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace Com
