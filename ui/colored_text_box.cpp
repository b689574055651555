#include "ui/colored_text_box.h"

bool CColoredTextBox::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"codedit", name, element) || CWynRTF::IsType(name, element);
}
