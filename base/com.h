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
inline void FreeTaskMem(wchar_t* p) noexcept {
    ::CoTaskMemFree(p);
}
} // namespace detail

// A string the system allocated with CoTaskMemAlloc (SHGetKnownFolderPath).
using UniqueCotaskmemString = UniqueAny<wchar_t*, detail::FreeTaskMem>;

template <typename T> class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* p) noexcept {
        ComPtr result;
        result.m_p = p;
        return result;
    }
    ComPtr(const ComPtr& other) noexcept : m_p(other.m_p) {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    // From a pointer to a derived interface.
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ComPtr(const ComPtr<U>& other) noexcept : m_p(other.Get()) {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() noexcept {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }
    T* Get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }
    // For out parameters of COM calls.
    T** Put() noexcept {
        Reset();
        return &m_p;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }
    // Hands the reference to the caller; not Release, which would drop it.
    T* Detach() noexcept { return std::exchange(m_p, nullptr); }

    template <typename U> ComPtr<U> Query(REFIID iid) const noexcept {
        ComPtr<U> result;
        if (m_p)
            m_p->QueryInterface(iid, result.PutVoid());
        return result;
    }

private:
    T* m_p = nullptr;
};

// A BSTR; allocation failure is the out-of-memory exception.
class UniqueBstr {
public:
    UniqueBstr() noexcept = default;
    explicit UniqueBstr(std::wstring_view text) : m_b(::SysAllocStringLen(text.data(), Len(text))) {
        if (!m_b)
            throw std::bad_alloc();
    }
    UniqueBstr(UniqueBstr&& other) noexcept : m_b(std::exchange(other.m_b, nullptr)) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept {
        std::swap(m_b, other.m_b);
        return *this;
    }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    ~UniqueBstr() { ::SysFreeString(m_b); }

    BSTR Get() const noexcept { return m_b; }
    BSTR Release() noexcept { return std::exchange(m_b, nullptr); }
    BSTR* Put() noexcept {
        ::SysFreeString(std::exchange(m_b, nullptr));
        return &m_b;
    }
    // A null BSTR is the empty string.
    std::wstring_view View() const noexcept {
        return m_b ? std::wstring_view(m_b, ::SysStringLen(m_b)) : std::wstring_view();
    }

private:
    static UINT Len(std::wstring_view text) { return static_cast<UINT>(text.size()); }
    BSTR m_b = nullptr;
};

class UniqueVariant {
public:
    UniqueVariant() noexcept { ::VariantInit(&m_v); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { ::VariantClear(&m_v); }
    VARIANT* Get() noexcept { return &m_v; }
    const VARIANT* Get() const noexcept { return &m_v; }
    VARIANT* Put() noexcept {
        ::VariantClear(&m_v);
        return &m_v;
    }

private:
    VARIANT m_v;
};

// SafeArrayAccessData for the life of the object.
class SafearrayAccess {
public:
    explicit SafearrayAccess(SAFEARRAY* array) noexcept : m_array(array) {
        if (FAILED(::SafeArrayAccessData(m_array, &m_data)))
            m_data = nullptr;
    }
    ~SafearrayAccess() {
        if (m_data)
            ::SafeArrayUnaccessData(m_array);
    }
    SafearrayAccess(const SafearrayAccess&) = delete;
    SafearrayAccess& operator=(const SafearrayAccess&) = delete;
    void* Data() const noexcept { return m_data; }

private:
    SAFEARRAY* m_array;
    void* m_data = nullptr;
};

} // namespace kelvo
