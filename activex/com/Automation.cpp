#include "activex/com/Automation.h"

#include <cstdio>
#include <string>

#include "activex/com/SafeCall.h"
#include "toolkit/win32/Gdi.h"

namespace Com {

namespace {

// Frees the strings an object put into its exception information.
struct TExcepInfo : EXCEPINFO {
    TExcepInfo() : EXCEPINFO{} {}
    TExcepInfo(const TExcepInfo&) = delete;
    TExcepInfo& operator=(const TExcepInfo&) = delete;
    ~TExcepInfo() {
        SysFreeString(bstrSource);
        SysFreeString(bstrDescription);
        SysFreeString(bstrHelpFile);
    }
};

[[noreturn]] void Fail(HRESULT hr, std::wstring_view name, BSTR description = nullptr) {
    std::string message = "Property " + Toolkit::Narrow(name) + ": ";
    if (description && SysStringLen(description)) {
        message += Toolkit::Narrow({description, SysStringLen(description)});
    } else {
        char code[32];
        std::snprintf(code, sizeof code, "error 0x%08lX.", static_cast<unsigned long>(hr));
        message += code;
    }
    throw EComError(hr, message);
}

DISPID IdOf(IDispatch* object, std::wstring_view name) {
    if (!object) throw EComError(E_POINTER, "There is no object to edit.");
    std::wstring text(name);
    LPOLESTR names[] = {text.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) Fail(hr, name);
    return id;
}

void Invoke(IDispatch* object, std::wstring_view name, WORD flags, DISPPARAMS& params, VARIANT* result) {
    const DISPID id = IdOf(object, name);
    TExcepInfo info;
    UINT badArgument = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, &badArgument);
    if (SUCCEEDED(hr)) return;
    if (hr != DISP_E_EXCEPTION) Fail(hr, name);
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    Fail(FAILED(info.scode) ? info.scode : hr, name, info.bstrDescription);
}

}  // namespace

void GetProperty(IDispatch* object, std::wstring_view name, Variant& value) {
    DISPPARAMS none{};
    Invoke(object, name, DISPATCH_PROPERTYGET, none, value.Put());
}

void PutProperty(IDispatch* object, std::wstring_view name, const VARIANT& value) {
    DISPID named = DISPID_PROPERTYPUT;
    VARIANT argument = value;  // a shallow copy: Invoke does not change its arguments
    DISPPARAMS params{&argument, &named, 1, 1};
    Invoke(object, name, DISPATCH_PROPERTYPUT, params, nullptr);
}

std::int32_t GetIntegerProperty(IDispatch* object, std::wstring_view name) {
    Variant value;
    GetProperty(object, name, value);
    // An OLE_COLOR may come as an unsigned integer beyond the signed range: keep its bits.
    const VARTYPE target = value->vt == VT_UI4 ? VT_UI4 : VT_I4;
    const HRESULT hr = VariantChangeType(&*value, &*value, 0, target);
    if (FAILED(hr)) Fail(hr, name);
    return target == VT_UI4 ? std::int32_t(value->ulVal) : std::int32_t(value->lVal);
}

void PutIntegerProperty(IDispatch* object, std::wstring_view name, std::int32_t value) {
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = value;
    PutProperty(object, name, v);
}

void PutUnsignedProperty(IDispatch* object, std::wstring_view name, std::uint32_t value) {
    VARIANT v{};
    v.vt = VT_UI4;
    v.ulVal = value;
    PutProperty(object, name, v);
}

void PutBoolProperty(IDispatch* object, std::wstring_view name, bool value) {
    VARIANT v{};
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    PutProperty(object, name, v);
}

}  // namespace Com
