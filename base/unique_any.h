#pragma once
// A move-only owner of one handle-like value with a close function: the
// building block for every handle owner of the program.

#include <utility>

namespace kelvo {

template <typename T, auto Close, T Invalid = T{}> class UniqueAny {
public:
    UniqueAny() noexcept = default;
    explicit UniqueAny(T value) noexcept : m_value(value) {}
    UniqueAny(UniqueAny&& other) noexcept : m_value(other.Release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    ~UniqueAny() { Reset(); }

    T Get() const noexcept { return m_value; }
    explicit operator bool() const noexcept { return m_value != Invalid; }

    T Release() noexcept { return std::exchange(m_value, Invalid); }
    void Reset(T value = Invalid) noexcept {
        T old = std::exchange(m_value, value);
        if (old != Invalid)
            Close(old);
    }
    // For APIs that return the handle through an out parameter.
    T* Put() noexcept {
        Reset();
        return &m_value;
    }

private:
    T m_value = Invalid;
};

} // namespace kelvo
