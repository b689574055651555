#include "base/wipe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace {

// Looks at every block as it is freed: how many bytes of it were not zero.
struct FreedBlocks {
    static inline std::size_t allocated = 0;
    static inline std::vector<std::size_t> unwiped; // per freed block
};

template <typename T> struct CheckingAllocator {
    using value_type = T;
    CheckingAllocator() noexcept = default;
    template <typename U> CheckingAllocator(const CheckingAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        ++FreedBlocks::allocated;
        return std::allocator<T>{}.allocate(n);
    }
    void deallocate(T* p, std::size_t n) noexcept {
        const auto* bytes = reinterpret_cast<const unsigned char*>(p);
        FreedBlocks::unwiped.push_back(static_cast<std::size_t>(
            std::count_if(bytes, bytes + n * sizeof(T), [](unsigned char b) { return b != 0; })));
        std::allocator<T>{}.deallocate(p, n);
    }
    template <typename U> bool operator==(const CheckingAllocator<U>&) const noexcept {
        return true;
    }
};

using Checked = kelvo::WipedString<char16_t, CheckingAllocator<char16_t>>;

class WipedStringTest : public testing::Test {
protected:
    void SetUp() override {
        FreedBlocks::allocated = 0;
        FreedBlocks::unwiped.clear();
    }
    // Every block that was taken has been given back, and wiped.
    static void ExpectAllFreedWiped() {
        EXPECT_EQ(FreedBlocks::unwiped.size(), FreedBlocks::allocated);
        for (std::size_t unwiped : FreedBlocks::unwiped)
            EXPECT_EQ(unwiped, 0u);
    }
};

} // namespace

TEST_F(WipedStringTest, EveryBlockItGivesUpIsWipedHoweverTheTextGoes) {
    {
        Checked text(u"a secret");
        // Short texts too: there is no storage inside the object.
        Checked shorter(u"pw");
        for (int i = 0; i < 200; ++i) // grows through several blocks
            text.Append(u"more secret ");
        text.push_back(u'!');
        Checked taken = std::move(text);
        taken = std::move(shorter); // the long text's block goes here
        taken.Assign(taken.view().substr(1));
        taken.Resize(4000);
        taken.Clear();
        Checked decrypted;
        decrypted.Assign(u"kept to the end");
        EXPECT_EQ(decrypted.view(), u"kept to the end");
    }
    EXPECT_GT(FreedBlocks::allocated, 5u);
    ExpectAllFreedWiped();
}

TEST_F(WipedStringTest, ReadsAsTheTextItHolds) {
    Checked text;
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(text.c_str()[0], u'\0');
    text.Assign(u"pass");
    text.Append(u"word");
    EXPECT_EQ(text.view(), u"password");
    EXPECT_EQ(text.c_str()[8], u'\0');
    text.Assign(text.view().substr(4)); // a view of its own text
    EXPECT_EQ(text.view(), u"word");
    text.Resize(2);
    EXPECT_EQ(text.view(), u"wo");
    EXPECT_EQ(text.c_str()[2], u'\0');
    text.Resize(4);
    EXPECT_EQ(text.view(), std::u16string_view(u"wo\0\0", 4));
    Checked moved = std::move(text);
    EXPECT_TRUE(text.empty()); // NOLINT(bugprone-use-after-move): what a move leaves
    EXPECT_EQ(moved.size(), 4u);
}
