#pragma once
// "codedit": the key-code editor in which a chunk's text is written, a rich
// edit box that holds plain text. The colouring of key tokens and the "["
// completion are not built yet: until they are, it edits the text as the
// rich edit box does.

#include "wyn/elements/wyn_rtf.h"

class CColoredTextBox : public CWynRTF {
public:
    using CWynRTF::CWynRTF;
    bool IsType(std::wstring_view name, CWynElement*& element) override;
};
