#pragma once
// The application's dialog engine: the element types the application adds,
// and images drawn from the PNG resources of the module.

#include <span>

#include "wyn/element_names.h"
#include "wyn/wyn_engine.h"

class CkvWynEngine : public CWynEngine {
public:
    using CWynEngine::CWynEngine;

    std::unique_ptr<CWynElement> CreateElement(std::wstring_view name,
                                               CWynElement* parent) override;
};

namespace kelvo {

// The names the application adds, tested before the engine's own.
std::span<const WynElementName> ApplicationElementNames() noexcept;

} // namespace kelvo
