#include "activex/com/SafeCall.h"

#include <new>

#include "activex/com/ComPtr.h"

namespace Com {

namespace {
constexpr wchar_t ErrorSource[] = L"Lumawipe";
}  // namespace

std::wstring WideText(std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), n);
    return wide;
}

std::string NarrowText(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(std::size_t(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), narrow.data(), n, nullptr, nullptr);
    return narrow;
}

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
        return ReportError(e.Code(), iid, WideText(e.what()));
    } catch (const std::bad_alloc&) {
        return ReportError(E_OUTOFMEMORY, iid, L"Out of memory.");
    } catch (const std::exception& e) {
        try {
            return ReportError(E_FAIL, iid, WideText(e.what()));
        } catch (...) {
            return E_FAIL;
        }
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace Com
