#pragma once
// "spacer": an empty cell of `width` x `height` dialog units that absorbs
// spare space when it has flex.

#include "wyn/engine/wyn_element.h"

class CWynSpacer : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    void UpdatePixels() override;
};
