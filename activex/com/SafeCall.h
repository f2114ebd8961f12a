// The COM boundary: no exception leaves a method of ours. SafeCall runs a method's body
// and turns whatever it throws into a failure HRESULT, with the message as the thread's
// error information (IErrorInfo) for the caller to read.
#pragma once

#include "toolkit/win32/WindowsApi.h"
#include <oaidl.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace Com {

// A failure with an HRESULT of its own, such as E_INVALIDARG for a refused value.
class EComError : public std::runtime_error {
public:
    EComError(HRESULT code, const std::string& message) : std::runtime_error(message), FCode(code) {}
    HRESULT Code() const { return FCode; }

private:
    HRESULT FCode;
};

// Sets the thread's error information (source, description, the interface that failed)
// and returns code.
HRESULT ReportError(HRESULT code, const IID& iid, std::wstring_view description) noexcept;

// The HRESULT of the exception being handled, reported as above: an EComError's own
// code, E_OUTOFMEMORY for exhausted memory, E_FAIL for anything else.
HRESULT ReportCurrentException(const IID& iid) noexcept;

// Runs body(); S_OK when it returns, the failure of what it threw otherwise.
template <class F>
HRESULT SafeCall(const IID& iid, F&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (...) {
        return ReportCurrentException(iid);
    }
}

// Checks an out parameter before a method writes through it.
template <class T>
void CheckOut(T* out) {
    if (!out) throw EComError(E_POINTER, "A result pointer is missing.");
}

}  // namespace Com
