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
    int Refs() const noexcept { return m_refs; }

private:
    int m_refs = 0;
};

// A counted reference to a kelvo::object.
template <typename T> class Ref {
public:
    Ref() noexcept = default;
    explicit Ref(T* p) noexcept : m_p(p) {
        if (m_p)
            m_p->AddRef();
    }
    Ref(const Ref& other) noexcept : Ref(other.m_p) {}
    Ref(Ref&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    Ref& operator=(Ref other) noexcept {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~Ref() {
        if (m_p)
            m_p->Release();
    }

    T* Get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    T& operator*() const noexcept { return *m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

template <typename T, typename... Args> Ref<T> MakeRef(Args&&... args) {
    return Ref<T>(new T(std::forward<Args>(args)...));
}

} // namespace kelvo
