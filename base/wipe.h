#pragma once
// Wiping of memory that held key material or plain text, so that secrets do
// not linger in freed heap blocks or dead stack frames.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace kelvo {

// Overwrites n bytes at p with zeros; the compiler may not drop the writes even
// though the memory is never read again.
void SecureWipe(void* p, std::size_t n) noexcept;

// An allocator that wipes every block before it is freed, including the old
// block that a growing container leaves behind. `Base` gets and frees the
// memory; it has no state.
template <typename T, typename Base = std::allocator<T>> struct WipingAllocator {
    using value_type = T;
    template <typename U> struct rebind {
        using other =
            WipingAllocator<U, typename std::allocator_traits<Base>::template rebind_alloc<U>>;
    };

    WipingAllocator() noexcept = default;
    template <typename U, typename B> WipingAllocator(const WipingAllocator<U, B>&) noexcept {}

    T* allocate(std::size_t n) { return Base{}.allocate(n); }
    void deallocate(T* p, std::size_t n) noexcept {
        SecureWipe(p, n * sizeof(T));
        Base{}.deallocate(p, n);
    }

    template <typename U, typename B> bool operator==(const WipingAllocator<U, B>&) const noexcept {
        return true;
    }
};

// Bytes that hold secrets: wiped when the vector drops or moves its storage.
using SecureBytes = std::vector<std::uint8_t, WipingAllocator<std::uint8_t>>;

// A password as typed, and the like: wiped when dropped or moved out of its
// storage. A vector, not a string: a string keeps short texts inside itself,
// where the allocator never sees them.
using SecureWideChars = std::vector<wchar_t, WipingAllocator<wchar_t>>;

// Text that holds a secret (a decrypted chunk text, what an editor shows of
// it): one block, ended by a zero, that is wiped whenever it is dropped or
// given up for a bigger one. Unlike a string it never keeps text inside
// itself, out of the allocator's sight, and it is not copied by accident.
template <typename Char, typename Base = std::allocator<Char>> class WipedString {
public:
    using View = std::basic_string_view<Char>;

    WipedString() = default;
    explicit WipedString(View text) { Assign(text); }
    WipedString(WipedString&&) noexcept = default;
    WipedString& operator=(WipedString&&) noexcept = default;
    WipedString(const WipedString&) = delete;
    WipedString& operator=(const WipedString&) = delete;

    std::size_t size() const noexcept { return m_chars.empty() ? 0 : m_chars.size() - 1; }
    bool empty() const noexcept { return size() == 0; }
    const Char* c_str() const noexcept { return m_chars.empty() ? &kNone : m_chars.data(); }
    // The characters, to be filled after Resize.
    Char* data() noexcept { return m_chars.empty() ? nullptr : m_chars.data(); }
    View view() const noexcept { return {c_str(), size()}; }
    operator View() const noexcept { return view(); }
    Char& operator[](std::size_t i) noexcept { return m_chars[i]; }
    Char operator[](std::size_t i) const noexcept { return m_chars[i]; }

    // `text` may be a view of this string's own text.
    void Assign(View text) {
        WipedString copy;
        copy.Reserve(text.size());
        copy.Append(text);
        *this = std::move(copy);
    }
    // `text` must not be a view of this string's own text.
    void Append(View text) {
        Terminate();
        m_chars.insert(m_chars.end() - 1, text.begin(), text.end());
    }
    void push_back(Char c) {
        Terminate();
        m_chars.insert(m_chars.end() - 1, c);
    }
    // New characters are zeros.
    void Resize(std::size_t n) {
        m_chars.resize(n + 1, Char{});
        m_chars.back() = Char{};
    }
    void Reserve(std::size_t n) { m_chars.reserve(n + 1); }
    // Gives the block up, wiped.
    void Clear() noexcept { m_chars = {}; }

    friend bool operator==(const WipedString& a, View b) noexcept { return a.view() == b; }

private:
    static constexpr Char kNone{};

    void Terminate() {
        if (m_chars.empty())
            m_chars.push_back(Char{});
    }

    std::vector<Char, WipingAllocator<Char, Base>> m_chars;
};

} // namespace kelvo
