#include "wyn/kv_wyn_engine.h"

#include <new>

#include "wyn/wyn_element.h"

namespace kelvo {
namespace {

// The key-code editor's name is matched exactly: "CodEdit" is no editor.
constexpr WynElementName kApplication[] = {
    {L"customlist", false, nullptr},
    {L"custombutton", false, nullptr},
    {L"codedit", true, nullptr},
};

} // namespace

std::span<const WynElementName> ApplicationElementNames() noexcept {
    return kApplication;
}

} // namespace kelvo

std::unique_ptr<CWynElement> CkvWynEngine::CreateElement(std::wstring_view name,
                                                         CWynElement* parent) {
    const kelvo::WynElementName* entry =
        kelvo::FindElementName(kelvo::ApplicationElementNames(), name);
    if (!entry)
        return CWynEngine::CreateElement(name, parent);
    if (!entry->create)
        return nullptr;
    try {
        return entry->create(parent, this);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
