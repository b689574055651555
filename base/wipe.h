#pragma once
// Wiping of memory that held key material or plain text, so that secrets do
// not linger in freed heap blocks or dead stack frames.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kelvo {

// Overwrites n bytes at p with zeros; the compiler may not drop the writes even
// though the memory is never read again.
void SecureWipe(void* p, std::size_t n) noexcept;

// An allocator that wipes every block before it is freed, including the old
// block that a growing container leaves behind.
template <typename T> struct WipingAllocator {
    using value_type = T;

    WipingAllocator() noexcept = default;
    template <typename U> WipingAllocator(const WipingAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) { return std::allocator<T>{}.allocate(n); }
    void deallocate(T* p, std::size_t n) noexcept {
        SecureWipe(p, n * sizeof(T));
        std::allocator<T>{}.deallocate(p, n);
    }

    template <typename U> bool operator==(const WipingAllocator<U>&) const noexcept { return true; }
};

// Bytes that hold secrets: wiped when the vector drops or moves its storage.
using SecureBytes = std::vector<std::uint8_t, WipingAllocator<std::uint8_t>>;

} // namespace kelvo
