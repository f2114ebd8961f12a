#include "activex/PropUnitObject.h"

#include <ocidl.h>
#include <olectl.h>

#include <cwctype>
#include <memory>
#include <string_view>

#include "activex/ClassTable.h"
#include "activex/PropUnit.h"
#include "activex/com/ClassFactory.h"
#include "activex/com/ComPtr.h"
#include "activex/com/Object.h"
#include "activex/com/SafeCall.h"

const CLSID CLSID_LumawipeProperties = ClassTable::PropertyPage.Clsid.As<CLSID>();

namespace {

using PropUnit::TLumawipeProperties;

constexpr std::wstring_view PageTitle = L"Lumawipe";
constexpr std::wstring_view HelpFileName = L"Lumawipe.hlp";

// A copy of text in task memory, as PROPPAGEINFO hands strings to the frame.
LPOLESTR TaskString(std::wstring_view text) {
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (!copy) throw Com::EComError(E_OUTOFMEMORY, "Out of memory.");
    text.copy(copy, text.size());
    copy[text.size()] = L'\0';
    return copy;
}

// The help topic of the focused control inside page, or 0.
int FocusedHelpContext(TLumawipeProperties& page) {
    HWND focus = GetFocus();
    if (!focus || !IsChild(page.Handle(), focus)) return 0;
    for (Toolkit::TControl* c = Toolkit::TWinControl::FromHandle(focus); c && c != &page; c = c->Parent())
        if (c->HelpContext) return c->HelpContext;
    return 0;
}

class TLumawipePropertyPage final : public Com::TComObject, public IPropertyPage2 {
public:
    LUMAWIPE_COM_UNKNOWN

    ~TLumawipePropertyPage() override { FPage.reset(); }

    // IPropertyPage
    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override {
        return Call([&] { FSite = Com::ComPtr<IPropertyPageSite>(site); });
    }
    HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL) override {
        return Call([&] {
            if (!rect) throw Com::EComError(E_POINTER, "The page's rectangle is missing.");
            if (FPage) throw Com::EComError(E_UNEXPECTED, "The page is active already.");
            auto page = std::make_unique<TLumawipeProperties>(nullptr);
            page->OnModified = [this] { SetDirty(); };
            page->SetVisible(false);  // until the frame shows it
            page->SetBounds(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
            page->SetParentWindow(parent);
            if (!page->Handle()) throw Com::EComError(E_INVALIDARG, "The page needs a parent window.");
            FPage = std::move(page);
            FDirty = false;
            Load();
        });
    }
    HRESULT STDMETHODCALLTYPE Deactivate() override {
        return Call([&] { FPage.reset(); });
    }
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override {
        return Call([&] {
            Com::CheckOut(info);
            *info = PROPPAGEINFO{};
            info->cb = sizeof *info;
            info->size = SIZE{TLumawipeProperties::PageWidth, TLumawipeProperties::PageHeight};
            info->pszTitle = TaskString(PageTitle);
            try {
                info->pszHelpFile = TaskString(HelpFileName);
            } catch (...) {
                CoTaskMemFree(info->pszTitle);
                info->pszTitle = nullptr;
                throw;
            }
        });
    }
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override {
        return Call([&] {
            if (count == 0) {
                FObject.Reset();
                if (FPage) FPage->OleObject = nullptr;
                return;
            }
            if (!objects || !objects[0]) throw Com::EComError(E_POINTER, "The object to edit is missing.");
            Com::ComPtr<IDispatch> object;
            const HRESULT hr = objects[0]->QueryInterface(IID_PPV_ARGS(object.Put()));
            if (FAILED(hr)) throw Com::EComError(hr, "The object has no automation interface.");
            FObject = std::move(object);
            Load();
        });
    }
    HRESULT STDMETHODCALLTYPE Show(UINT cmdShow) override {
        return Call([&] { Page().SetVisible(cmdShow != SW_HIDE); });
    }
    HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override {
        return Call([&] {
            if (!rect) throw Com::EComError(E_POINTER, "The page's rectangle is missing.");
            Page().SetBounds(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
        });
    }
    HRESULT STDMETHODCALLTYPE IsPageDirty() override { return FDirty ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Apply() override {
        return Call([&] {
            if (!FPage || !FObject) return;
            FPage->Apply();
            FDirty = false;
        });
    }
    // Opens the help topic of the focused control; without one the frame shows the
    // page's help file (GetPageInfo).
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR helpDir) override {
        if (!FPage) return E_NOTIMPL;
        int context = 0;
        HRESULT hr = Call([&] { context = FocusedHelpContext(*FPage); });
        if (FAILED(hr) || !context) return E_NOTIMPL;
        return Call([&] {
            std::wstring path = helpDir && *helpDir ? std::wstring(helpDir) + L"\\" : std::wstring();
            path += HelpFileName;
            if (!WinHelpW(FPage->Handle(), path.c_str(), HELP_CONTEXT, ULONG_PTR(context)))
                throw Com::EComError(E_FAIL, "The help file cannot be opened.");
        });
    }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* msg) override {
        if (!msg) return E_POINTER;
        if (!FPage || !FPage->HandleAllocated()) return S_FALSE;
        HWND page = FPage->Handle();
        if (msg->hwnd != page && !IsChild(page, msg->hwnd)) return S_FALSE;
        bool taken = false;
        const HRESULT hr = Call([&] {
            if (msg->message == WM_SYSCHAR)
                taken = FPage->DialogChar(wchar_t(std::towlower(wint_t(msg->wParam))));
            else
                taken = FPage->DialogTab(*msg) || IsDialogMessageW(page, msg) != FALSE;
        });
        return FAILED(hr) ? hr : taken ? S_OK : S_FALSE;
    }

    // IPropertyPage2
    HRESULT STDMETHODCALLTYPE EditProperty(DISPID) override { return E_NOTIMPL; }

    static constexpr Com::TInterfaceEntry Interfaces[] = {
        Com::Offer<TLumawipePropertyPage, IPropertyPage2>(IID_IPropertyPage2),
        Com::Offer<TLumawipePropertyPage, IPropertyPage, IPropertyPage2>(IID_IPropertyPage),
    };

private:
    template <class F>
    static HRESULT Call(F&& body) noexcept {
        return Com::SafeCall(IID_IPropertyPage, std::forward<F>(body));
    }

    TLumawipeProperties& Page() {
        if (!FPage) throw Com::EComError(E_UNEXPECTED, "The page is not active.");
        return *FPage;
    }

    // The object's values on the page, when both are there.
    void Load() {
        if (!FPage || !FObject) return;
        FPage->OleObject = FObject.Get();
        FPage->Load();
    }

    // The user changed something: the frame may now offer to apply it.
    void SetDirty() {
        if (FDirty) return;
        FDirty = true;
        if (FSite) FSite->OnStatusChange(PROPPAGESTATUS_DIRTY);
    }

    Com::ComPtr<IPropertyPageSite> FSite;
    Com::ComPtr<IDispatch> FObject;
    std::unique_ptr<TLumawipeProperties> FPage;
    bool FDirty = false;
};

}  // namespace

HRESULT CreateLumawipeProperties(REFIID iid, void** out) noexcept {
    return Com::CreateInstanceOf<TLumawipePropertyPage>(iid, out);
}
