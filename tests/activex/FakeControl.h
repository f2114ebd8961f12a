// A stand-in for the control the property page edits: an IDispatch that serves the
// page's properties by name from a table, records every write in order, and refuses the
// write of one property on request. It lives on the stack of a test; its references are
// counted so that a test can see that the page let it go.
#pragma once

#include "toolkit/win32/WindowsApi.h"

#include <oaidl.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "activex/PropUnitModel.h"

namespace PageFixtures {

class TFakeControl final : public IDispatch {
public:
    // Values of the control, as the automation interface gives them.
    std::map<std::wstring, std::int32_t> Values = {
        {L"Operation", 7}, {L"Modifier", 0}, {L"Interval", 10}, {L"Steps", 10}, {L"Delta", 1},
        {L"Reverse", 0},   {L"RGBOrder", 0}, {L"Color", std::int32_t(0x8000000F)}, {L"UseThread", 0}};
    // Writes in order: the property's name and the value it was given.
    std::vector<std::pair<std::wstring, std::int32_t>> Puts;
    // The write of this property fails with RefuseCode.
    std::wstring Refuse;
    HRESULT RefuseCode = E_INVALIDARG;
    ULONG Refs = 1;

    std::vector<std::wstring> PutNames() const {
        std::vector<std::wstring> names;
        for (const auto& put : Puts) names.push_back(put.first);
        return names;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++Refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --Refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    // The DISPID of a name is its place in the page's list of names, from 1.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count != 1) return E_INVALIDARG;
        for (std::size_t i = 0; i < PropUnit::PagePropertyNames.size(); ++i)
            if (_wcsicmp(names[0], PropUnit::PagePropertyNames[i]) == 0) {
                ids[0] = DISPID(i + 1);
                return S_OK;
            }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (id < 1 || std::size_t(id) > PropUnit::PagePropertyNames.size()) return DISP_E_MEMBERNOTFOUND;
        const std::wstring name = PropUnit::PagePropertyNames[std::size_t(id - 1)];
        if (flags & DISPATCH_PROPERTYGET) {
            if (!result) return E_POINTER;
            VariantInit(result);
            const std::int32_t value = Values[name];
            if (name == L"Reverse" || name == L"UseThread") {
                result->vt = VT_BOOL;
                result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
            } else if (name == L"Color") {
                result->vt = VT_UI4;  // OLE_COLOR
                result->ulVal = std::uint32_t(value);
            } else {
                result->vt = VT_I4;
                result->lVal = value;
            }
            return S_OK;
        }
        if (!(flags & DISPATCH_PROPERTYPUT) || !params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        const VARIANT& arg = params->rgvarg[0];
        const std::int32_t value = arg.vt == VT_BOOL ? std::int32_t(arg.boolVal)
                                   : arg.vt == VT_UI4 ? std::int32_t(arg.ulVal)
                                   : arg.vt == VT_I4  ? arg.lVal
                                                      : 0x7EADBEEF;  // a type the page should not send
        Puts.emplace_back(name, value);
        if (name == Refuse) return RefuseCode;
        Values[name] = value;
        return S_OK;
    }
};

}  // namespace PageFixtures
