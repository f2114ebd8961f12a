// Owning holders of COM's resources: an interface pointer, a BSTR and a VARIANT.
#pragma once

#include "toolkit/win32/WindowsApi.h"
#include <oaidl.h>
#include <ole2.h>

#include <string_view>
#include <utility>

namespace Com {

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

// An owning BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text) : b_(SysAllocStringLen(text.data(), UINT(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b_); }
    BSTR* Put() {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }
    BSTR Get() const { return b_; }
    BSTR Detach() { return std::exchange(b_, nullptr); }
    std::wstring_view View() const { return {b_ ? b_ : L"", SysStringLen(b_)}; }

private:
    BSTR b_ = nullptr;
};

// An owning VARIANT.
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
    VARIANT* operator->() { return &v_; }
    const VARIANT* operator->() const { return &v_; }

private:
    VARIANT v_;
};

}  // namespace Com
