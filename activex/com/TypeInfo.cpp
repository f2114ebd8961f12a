#include "activex/com/TypeInfo.h"

#include <mutex>

#include "activex/com/Module.h"
#include "activex/com/SafeCall.h"

namespace Com {

namespace {
std::mutex libraryLock;
ITypeLib* library = nullptr;  // one reference, held until ReleaseModuleTypeLib
}  // namespace

ComPtr<ITypeLib> ModuleTypeLib() {
    std::lock_guard guard(libraryLock);
    if (!library) {
        const HRESULT hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &library);
        if (FAILED(hr)) {
            library = nullptr;
            throw EComError(hr, "The control's type library cannot be loaded.");
        }
    }
    return ComPtr<ITypeLib>(library);
}

void ReleaseModuleTypeLib() noexcept {
    std::lock_guard guard(libraryLock);
    if (library) library->Release();
    library = nullptr;
}

ComPtr<ITypeInfo> ModuleTypeInfo(REFGUID guid) {
    ComPtr<ITypeInfo> info;
    const HRESULT hr = ModuleTypeLib()->GetTypeInfoOfGuid(guid, info.Put());
    if (FAILED(hr)) throw EComError(hr, "The type library lacks a type of the control.");
    return info;
}

HRESULT DispatchGetIDsOfNames(ITypeInfo* info, LPOLESTR* names, UINT count, DISPID* ids) noexcept {
    if (!info) return E_UNEXPECTED;
    return info->GetIDsOfNames(names, count, ids);
}

HRESULT DispatchInvoke(ITypeInfo* info, void* instance, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* excep, UINT* argError) noexcept {
    if (!info) return E_UNEXPECTED;
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;  // reserved: IID_NULL only
    DISPPARAMS none{};
    SetErrorInfo(0, nullptr);
    const HRESULT hr = info->Invoke(instance, id, flags, params ? params : &none, result, excep, argError);
    // Wherever the type information left the member's own failure unreported, the
    // error information it set becomes the exception of the call.
    if (FAILED(hr) && hr != DISP_E_EXCEPTION && excep && hr != DISP_E_MEMBERNOTFOUND && hr != DISP_E_BADPARAMCOUNT &&
        hr != DISP_E_TYPEMISMATCH && hr != DISP_E_PARAMNOTFOUND && hr != DISP_E_PARAMNOTOPTIONAL) {
        ComPtr<IErrorInfo> error;
        if (GetErrorInfo(0, error.Put()) == S_OK && error) {
            *excep = EXCEPINFO{};
            error->GetSource(&excep->bstrSource);
            error->GetDescription(&excep->bstrDescription);
            excep->scode = hr;
            return DISP_E_EXCEPTION;
        }
    }
    return hr;
}

}  // namespace Com
