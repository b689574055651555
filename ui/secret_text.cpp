#include "ui/secret_text.h"

#include <cwchar>

#include "wyn/host/wyn_dialog.h"

void CSecretText::Read(CWynDialog& dialog, const wchar_t* id) {
    const CWynElement* element = dialog.FindById(id);
    const int length = element && element->Hwnd() ? ::GetWindowTextLengthW(element->Hwnd()) : 0;
    // Sized for the text and its terminator at once, so it never grows; the
    // old text is wiped as its storage goes.
    kelvo::SecureWideChars chars(static_cast<std::size_t>(length) + 1, L'\0');
    dialog.Exchange(true, CWynExchange::Buffer(id, chars));
    m_chars = std::move(chars);
}

void RefuseSecret(CWynDialog& dialog, const wchar_t* id) {
    if (CWynElement* element = dialog.FindById(id)) {
        element->FocusFirst();
        if (element->Hwnd())
            ::SendMessageW(element->Hwnd(), EM_SETSEL, 0, -1);
    }
    dialog.ShowTip(id, L"error");
}

std::wstring_view CSecretText::View() const noexcept {
    return m_chars.empty()
               ? std::wstring_view()
               : std::wstring_view(m_chars.data(), ::wcsnlen(m_chars.data(), m_chars.size()));
}
