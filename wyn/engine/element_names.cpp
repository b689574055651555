#include "wyn/engine/element_names.h"

#include "wyn/engine/no_case.h"

namespace kelvo {

const WynElementName* FindElementName(std::span<const WynElementName> table,
                                      std::wstring_view name) noexcept {
    for (const WynElementName& entry : table) {
        if (entry.caseSensitive ? entry.name == name : EqualsNoCase(entry.name, name))
            return &entry;
    }
    return nullptr;
}

} // namespace kelvo
