// How much the decoder allocates for files that claim more than they hold,
// watched through the address sanitizer's allocation hooks.

#include <gtest/gtest.h>

#include "draw/png_decode.h"
#include "draw/test_png.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KELVO_HAS_ASAN 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define KELVO_HAS_ASAN 1
#endif

#ifdef KELVO_HAS_ASAN
#include <atomic>

#include <sanitizer/allocator_interface.h>
#endif

namespace kelvo {
namespace {

using testing::Bytes;

#ifdef KELVO_HAS_ASAN
std::atomic<bool> watching{false};
std::atomic<std::size_t> largest{0};

void OnMalloc(const volatile void*, std::size_t size) {
    if (watching && size > largest)
        largest = size;
}
void OnFree(const volatile void*) {}

// The largest single allocation made while decoding `png`.
std::size_t LargestAllocation(const Bytes& png) {
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
    EXPECT_TRUE(installed);
    largest = 0;
    watching = true;
    auto decoded = DecodePng(png.data(), png.size());
    watching = false;
    EXPECT_FALSE(decoded);
    return largest;
}
#endif

TEST(PngDecodeAllocation, HugeHeadersAllocateOnlyWhatTheFileJustifies) {
#ifndef KELVO_HAS_ASAN
    GTEST_SKIP() << "needs the address sanitizer's allocation hooks";
#else
    struct Case {
        const char* name;
        Bytes png;
    } cases[] = {
        {"100000 x 100000 with 64 bytes of data",
         testing::SimplePng(100000, 100000, 8, 6, {Bytes(64, 0)})},
        {"4000 x 4000 with 64 bytes of data", testing::SimplePng(4000, 4000, 8, 6, {Bytes(64, 0)})},
        // Enough data for the compression bound, but past the largest size.
        {"16384 x 4097 at 1 bit",
         testing::SimplePng(16384, 4097, 1, 0, std::vector<Bytes>(5, Bytes(2048, 0)))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_LT(LargestAllocation(c.png), std::size_t{1} << 20);
    }
#endif
}

} // namespace
} // namespace kelvo
