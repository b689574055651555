#pragma once
// Owners for COM: interface pointers, BSTRs and VARIANTs.

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <new>
#include <string_view>
#include <type_traits>
#include <utility>

#include "base/unique_any.h"

namespace kelvo {

namespace detail {
inline void co_task_mem_free(wchar_t* p) noexcept {
    ::CoTaskMemFree(p);
}
} // namespace detail

// A string the system allocated with CoTaskMemAlloc (SHGetKnownFolderPath).
using unique_cotaskmem_string = unique_any<wchar_t*, detail::co_task_mem_free>;

template <typename T> class com_ptr {
public:
    com_ptr() noexcept = default;
    com_ptr(std::nullptr_t) noexcept {}
    // Takes over a reference the caller already owns.
    static com_ptr attach(T* p) noexcept {
        com_ptr result;
        result.p_ = p;
        return result;
    }
    com_ptr(const com_ptr& other) noexcept : p_(other.p_) {
        if (p_)
            p_->AddRef();
    }
    com_ptr(com_ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    // From a pointer to a derived interface.
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    com_ptr(const com_ptr<U>& other) noexcept : p_(other.get()) {
        if (p_)
            p_->AddRef();
    }
    com_ptr& operator=(com_ptr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~com_ptr() { reset(); }

    void reset() noexcept {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    // For out parameters of COM calls.
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    T* release() noexcept { return std::exchange(p_, nullptr); }

    template <typename U> com_ptr<U> query(REFIID iid) const noexcept {
        com_ptr<U> result;
        if (p_)
            p_->QueryInterface(iid, result.put_void());
        return result;
    }

private:
    T* p_ = nullptr;
};

// A BSTR; allocation failure is the out-of-memory exception.
class unique_bstr {
public:
    unique_bstr() noexcept = default;
    explicit unique_bstr(std::wstring_view text) : b_(::SysAllocStringLen(text.data(), Len(text))) {
        if (!b_)
            throw std::bad_alloc();
    }
    unique_bstr(unique_bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
    unique_bstr& operator=(unique_bstr&& other) noexcept {
        std::swap(b_, other.b_);
        return *this;
    }
    unique_bstr(const unique_bstr&) = delete;
    unique_bstr& operator=(const unique_bstr&) = delete;
    ~unique_bstr() { ::SysFreeString(b_); }

    BSTR get() const noexcept { return b_; }
    BSTR release() noexcept { return std::exchange(b_, nullptr); }
    BSTR* put() noexcept {
        ::SysFreeString(std::exchange(b_, nullptr));
        return &b_;
    }
    // A null BSTR is the empty string.
    std::wstring_view view() const noexcept {
        return b_ ? std::wstring_view(b_, ::SysStringLen(b_)) : std::wstring_view();
    }

private:
    static UINT Len(std::wstring_view text) { return static_cast<UINT>(text.size()); }
    BSTR b_ = nullptr;
};

class unique_variant {
public:
    unique_variant() noexcept { ::VariantInit(&v_); }
    unique_variant(const unique_variant&) = delete;
    unique_variant& operator=(const unique_variant&) = delete;
    ~unique_variant() { ::VariantClear(&v_); }
    VARIANT* get() noexcept { return &v_; }
    const VARIANT* get() const noexcept { return &v_; }
    VARIANT* put() noexcept {
        ::VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};

// SafeArrayAccessData for the life of the object.
class safearray_access {
public:
    explicit safearray_access(SAFEARRAY* array) noexcept : array_(array) {
        if (FAILED(::SafeArrayAccessData(array_, &data_)))
            data_ = nullptr;
    }
    ~safearray_access() {
        if (data_)
            ::SafeArrayUnaccessData(array_);
    }
    safearray_access(const safearray_access&) = delete;
    safearray_access& operator=(const safearray_access&) = delete;
    void* data() const noexcept { return data_; }

private:
    SAFEARRAY* array_;
    void* data_ = nullptr;
};

} // namespace kelvo
