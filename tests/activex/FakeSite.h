// The frame's side of a property page for tests: it records the status changes the page
// reports. It lives on the stack of a test; its references are counted.
#pragma once

#include "toolkit/win32/WindowsApi.h"

#include <ocidl.h>

#include <vector>

namespace PageFixtures {

class TFakeSite final : public IPropertyPageSite {
public:
    std::vector<DWORD> Changes;
    ULONG Refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPropertyPageSite)) return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++Refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --Refs; }
    HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD flags) override {
        Changes.push_back(flags);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetLocaleID(LCID* locale) override {
        *locale = LOCALE_USER_DEFAULT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return S_FALSE; }
};

}  // namespace PageFixtures
