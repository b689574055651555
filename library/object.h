#pragma once
// Intrusive, non-atomic reference counting for objects shared on the GUI thread.

#include <utility>

namespace kelvo {

class object {
public:
    object() = default;
    object(const object&) = delete;
    object& operator=(const object&) = delete;
    virtual ~object() = default;

    void AddRef() noexcept { ++m_refs; }
    // The holder that drops the last reference deletes the object.
    void Release() noexcept {
        if (--m_refs == 0)
            delete this;
    }
    int refs() const noexcept { return m_refs; }

private:
    int m_refs = 0;
};

// A counted reference to a kelvo::object.
template <typename T> class ref {
public:
    ref() noexcept = default;
    explicit ref(T* p) noexcept : p_(p) {
        if (p_)
            p_->AddRef();
    }
    ref(const ref& other) noexcept : ref(other.p_) {}
    ref(ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ref& operator=(ref other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ref() {
        if (p_)
            p_->Release();
    }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

template <typename T, typename... Args> ref<T> make_ref(Args&&... args) {
    return ref<T>(new T(std::forward<Args>(args)...));
}

} // namespace kelvo
