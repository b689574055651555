#pragma once
// The element names of descriptions and the types they make, in the order in
// which the factories test them.

#include <memory>
#include <span>
#include <string_view>

class CWynElement;
class CWynEngine;

namespace kelvo {

using WynElementFactory = std::unique_ptr<CWynElement> (*)(CWynElement* parent, CWynEngine* engine);

struct WynElementName {
    std::wstring_view name;
    bool caseSensitive;
    // Null while the element type is not built yet: the name then makes no
    // element, like an unknown one.
    WynElementFactory create;
};

// The first entry whose name matches, or null.
const WynElementName* FindElementName(std::span<const WynElementName> table,
                                      std::wstring_view name) noexcept;

// The engine's own element types; defined with them
// (wyn/elements/standard_elements.cpp), the one place that knows them all.
std::span<const WynElementName> StandardElementNames() noexcept;

} // namespace kelvo
