#include "wyn/engine/no_case.h"

#include <windows.h>

#include <limits>

namespace kelvo {

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) noexcept {
    if (a.size() != b.size())
        return false;
    if (a.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return a == b;
    const int length = static_cast<int>(a.size());
    return ::CompareStringOrdinal(a.data(), length, b.data(), length, TRUE) == CSTR_EQUAL;
}

} // namespace kelvo
