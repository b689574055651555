#pragma once
// Wiping of memory that held key material or plain text, so that secrets do
// not linger in freed heap blocks or dead stack frames.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
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

// Text that held a secret, wiped to the whole of its storage when dropped. For
// interfaces that fill a plain string: a string that grows moves its text and
// frees the old block unwiped, so let it take the secret in one step (or
// reserve its full size first).
template <typename Char> struct WipedString {
    std::basic_string<Char> text;

    WipedString() = default;
    WipedString(const WipedString&) = delete;
    WipedString& operator=(const WipedString&) = delete;
    ~WipedString() {
        // Within the capacity, so nothing moves.
        text.resize(text.capacity());
        SecureWipe(text.data(), text.size() * sizeof(Char));
    }
};

// A password as typed, and the like: wiped when dropped or moved out of its
// storage. A vector, not a string: a string keeps short texts inside itself,
// where the allocator never sees them.
using SecureWideChars = std::vector<wchar_t, WipingAllocator<wchar_t>>;

} // namespace kelvo
