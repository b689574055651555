#pragma once
// A move-only owner of one handle-like value with a close function: the
// building block for every handle owner of the program.

#include <utility>

namespace kelvo {

template <typename T, auto Close, T Invalid = T{}>
class unique_any {
public:
    unique_any() noexcept = default;
    explicit unique_any(T value) noexcept : value_(value) {}
    unique_any(unique_any&& other) noexcept : value_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    ~unique_any() { reset(); }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Invalid; }

    T release() noexcept { return std::exchange(value_, Invalid); }
    void reset(T value = Invalid) noexcept {
        T old = std::exchange(value_, value);
        if (old != Invalid)
            Close(old);
    }
    // For APIs that return the handle through an out parameter.
    T* put() noexcept {
        reset();
        return &value_;
    }

private:
    T value_ = Invalid;
};

} // namespace kelvo
