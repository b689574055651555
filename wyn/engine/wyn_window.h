#pragma once
// "window": a neutral container with no window of its own.

#include "wyn/engine/wyn_element.h"

class CWynWindow : public CWynElement {
public:
    using CWynElement::CWynElement;
};
