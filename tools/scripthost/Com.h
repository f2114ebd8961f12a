// Small COM helpers of the script host: EXCEPINFO and argument handling, and an
// IDispatch base that serves its members from a name table.
#pragma once

#include "activex/com/ComPtr.h"

#include <oaidl.h>
#include <ocidl.h>
#include <ole2.h>

#include <atomic>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace scripthost {

using Com::Bstr;
using Com::ComPtr;
using Com::MakeCom;
using Com::Variant;

// Frees the strings of an EXCEPINFO an engine filled, after its deferred fill-in.
class ExcepInfo {
public:
    ExcepInfo() = default;
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
    ~ExcepInfo();
    EXCEPINFO* Put();
    // What the error says: its description, else its source and code; `fallback` is the
    // code when it carries none. The deferred fill-in runs first.
    std::wstring Text(HRESULT fallback);

private:
    void Clear();
    EXCEPINFO info_{};
};

// "0x80004005 Unspecified error": the code and the system's text for it, if any.
std::wstring HresultText(HRESULT hr);

// Fills `info` (when the caller gave one) with an error of source "WScript" and returns
// what Invoke must return for it.
HRESULT RaiseError(EXCEPINFO* info, HRESULT code, std::wstring_view description);

// The positional arguments of an Invoke in script order (DISPPARAMS holds them last first).
class Args {
public:
    explicit Args(const DISPPARAMS& p) : p_(p) {}
    UINT Count() const { return p_.cArgs - p_.cNamedArgs; }
    // Given, and not an omitted optional argument (VT_ERROR / DISP_E_PARAMNOTFOUND).
    bool Present(UINT i) const;
    // Argument i, references followed, converted to `vt` (numbers and texts in the
    // invariant locale, booleans as True/False).
    HRESULT Get(UINT i, VARTYPE vt, Variant& out) const;
    // Argument i as text; Null gives "null". False when it has no text form.
    bool Text(UINT i, std::wstring& out) const;

private:
    VARIANT& At(UINT i) const { return p_.rgvarg[p_.cArgs - 1 - i]; }
    const DISPPARAMS& p_;
};

struct Member {
    const wchar_t* name;
    DISPID id;
};

// IDispatch with late-bound members only: GetIDsOfNames looks names up (case-insensitive)
// in a table, Invoke passes the call on to Call. No type information is offered.
class DispatchObject : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT* argError) override;

protected:
    explicit DispatchObject(std::span<const Member> members) : members_(members) {}
    virtual ~DispatchObject() = default;
    // `result` may be null (the caller wants no value).
    virtual HRESULT Call(DISPID id, WORD flags, const DISPPARAMS& params, VARIANT* result, EXCEPINFO* info) = 0;

private:
    std::span<const Member> members_;
    std::atomic<ULONG> refs_{1};
};

}  // namespace scripthost
