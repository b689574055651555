#include "base/wipe.h"

#include <cstring>

namespace kelvo {

namespace {
// Calling through a volatile pointer keeps the optimiser from proving that the
// stores are dead and removing them.
void* (*const volatile memset_no_elide)(void*, int, std::size_t) = std::memset;
} // namespace

void SecureWipe(void* p, std::size_t n) noexcept {
    if (n != 0)
        memset_no_elide(p, 0, n);
}

} // namespace kelvo
