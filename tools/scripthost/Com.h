// Small COM helpers of the script host: an owning interface pointer, owning BSTR and
// VARIANT, and an IDispatch base that serves its members from a name table.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <ole2.h>

#include <atomic>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace scripthost {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Takes over a reference the caller owns.
    static ComPtr Adopt(T* p) {
        ComPtr r;
        r.p_ = p;
        return r;
    }
    void Reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    // Releases what is held and hands out the slot for an out parameter.
    T** Put() {
        Reset();
        return &p_;
    }
    T* Detach() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    template <class U>
    HRESULT As(ComPtr<U>& out) const {
        return p_ ? p_->QueryInterface(IID_PPV_ARGS(out.Put())) : E_POINTER;
    }

private:
    T* p_ = nullptr;
};

// new T(args...) in a ComPtr; objects start with one reference.
template <class T, class... A>
ComPtr<T> MakeCom(A&&... args) {
    return ComPtr<T>::Adopt(new T(std::forward<A>(args)...));
}

// An owning BSTR, for out parameters.
class Bstr {
public:
    Bstr() = default;
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b_); }
    BSTR* Put() {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }
    std::wstring_view View() const { return {b_ ? b_ : L"", SysStringLen(b_)}; }

private:
    BSTR b_ = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&v_); }
    VARIANT* Put() {
        VariantClear(&v_);
        return &v_;
    }
    VARIANT& operator*() { return v_; }
    const VARIANT& operator*() const { return v_; }
    const VARIANT* operator->() const { return &v_; }

private:
    VARIANT v_;
};

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
