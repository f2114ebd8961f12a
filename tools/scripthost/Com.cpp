#include "Com.h"

#include <cwchar>
#include <cwctype>

namespace scripthost {

ExcepInfo::~ExcepInfo() { Clear(); }

void ExcepInfo::Clear() {
    SysFreeString(info_.bstrSource);
    SysFreeString(info_.bstrDescription);
    SysFreeString(info_.bstrHelpFile);
    info_ = EXCEPINFO{};
}

EXCEPINFO* ExcepInfo::Put() {
    Clear();
    return &info_;
}

std::wstring ExcepInfo::Text(HRESULT fallback) {
    if (info_.pfnDeferredFillIn) {
        const auto fill = info_.pfnDeferredFillIn;
        info_.pfnDeferredFillIn = nullptr;
        fill(&info_);
    }
    if (info_.bstrDescription && *info_.bstrDescription) return info_.bstrDescription;
    const HRESULT code = info_.scode ? info_.scode : info_.wCode ? MAKE_HRESULT(1, FACILITY_CONTROL, info_.wCode) : fallback;
    std::wstring text = info_.bstrSource && *info_.bstrSource ? std::wstring(info_.bstrSource) + L" " : std::wstring();
    return text + HresultText(code);
}

std::wstring HresultText(HRESULT hr) {
    std::wstring text = L"0x";
    const auto bits = static_cast<unsigned long>(hr);
    for (int shift = 28; shift >= 0; shift -= 4) text += L"0123456789ABCDEF"[(bits >> shift) & 0xF];
    wchar_t* message = nullptr;
    if (FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, DWORD(hr), 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr) &&
        message) {
        std::wstring m = message;
        LocalFree(message);
        while (!m.empty() && (std::iswspace(m.back()) || m.back() == L'.')) m.pop_back();
        if (!m.empty()) text += L" " + m;
    }
    return text;
}

HRESULT RaiseError(EXCEPINFO* info, HRESULT code, std::wstring_view description) {
    if (!info) return code;
    *info = EXCEPINFO{};
    info->bstrSource = SysAllocString(L"WScript");
    info->bstrDescription = SysAllocStringLen(description.data(), UINT(description.size()));
    info->scode = code;
    return DISP_E_EXCEPTION;
}

bool Args::Present(UINT i) const {
    if (i >= Count()) return false;
    const VARIANT& v = At(i);
    return !(v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND);
}

HRESULT Args::Get(UINT i, VARTYPE vt, Variant& out) const {
    if (!Present(i)) return DISP_E_PARAMNOTFOUND;
    VARIANT* v = out.Put();
    HRESULT hr = VariantCopyInd(v, &At(i));
    if (SUCCEEDED(hr) && v->vt != vt) hr = VariantChangeTypeEx(v, v, LOCALE_INVARIANT, VARIANT_ALPHABOOL, vt);
    return hr;
}

bool Args::Text(UINT i, std::wstring& out) const {
    out.clear();
    if (!Present(i)) return true;
    Variant v;
    if (FAILED(VariantCopyInd(v.Put(), &At(i)))) return false;
    if (v->vt == VT_NULL) {
        out = L"null";
        return true;
    }
    Variant text;
    if (FAILED(VariantChangeTypeEx(text.Put(), &*v, LOCALE_INVARIANT, VARIANT_ALPHABOOL, VT_BSTR))) return false;
    out.assign(text->bstrVal, SysStringLen(text->bstrVal));
    return true;
}

HRESULT STDMETHODCALLTYPE DispatchObject::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DispatchObject::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE DispatchObject::Release() {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids) return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        // Only the member's own name is known; names of its arguments are not.
        if (i == 0 && names[0])
            for (const Member& m : members_)
                if (_wcsicmp(m.name, names[0]) == 0) ids[0] = m.id;
        if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE DispatchObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                                 VARIANT* result, EXCEPINFO* info, UINT* argError) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!params) return E_INVALIDARG;
    // No member can be assigned to.
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return DISP_E_MEMBERNOTFOUND;
    if (result) VariantInit(result);
    if (argError) *argError = 0;
    return Call(id, flags, *params, result, info);
}

}  // namespace scripthost
