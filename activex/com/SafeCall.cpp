#include "activex/com/SafeCall.h"

#include <new>

#include "activex/com/ComPtr.h"
#include "toolkit/win32/Gdi.h"

namespace Com {

namespace {
constexpr wchar_t ErrorSource[] = L"Lumawipe";
}  // namespace

HRESULT ReportError(HRESULT code, const IID& iid, std::wstring_view description) noexcept {
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.Put()))) return code;
    const std::wstring text(description);
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(ErrorSource));
    create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(info))) SetErrorInfo(0, info.Get());
    return code;
}

HRESULT ReportCurrentException(const IID& iid) noexcept {
    try {
        throw;
    } catch (const EComError& e) {
        return ReportError(e.Code(), iid, Toolkit::Widen(e.what()));
    } catch (const std::bad_alloc&) {
        return ReportError(E_OUTOFMEMORY, iid, L"Out of memory.");
    } catch (const std::exception& e) {
        try {
            return ReportError(E_FAIL, iid, Toolkit::Widen(e.what()));
        } catch (...) {
            return E_FAIL;
        }
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace Com
