#include "crypto/system_random.h"

#include <windows.h>

#include <bcrypt.h>

#include <limits>

namespace kelvo {

bool FillSystemRandom(std::span<std::uint8_t> out) noexcept {
    return out.size() <= std::numeric_limits<ULONG>::max() &&
           BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, out.data(), static_cast<ULONG>(out.size()),
                                            BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

} // namespace kelvo
