#pragma once
// A password as typed into a dialog's text box, read into storage that is
// wiped when the text is dropped or read again; and a refused one, retyped.

#include <string_view>

#include "base/wipe.h"

class CWynDialog;

class CSecretText {
public:
    // Reads the text of the dialog's element `id` (empty when there is none).
    void Read(CWynDialog& dialog, const wchar_t* id);

    std::wstring_view View() const noexcept;
    bool IsEmpty() const noexcept { return View().empty(); }

private:
    kelvo::SecureWideChars m_chars;
};

// Refuses what was typed into the dialog's element `id`: the field takes the
// focus with its text selected, so that typing the password again replaces
// it, and its error tip shows.
void RefuseSecret(CWynDialog& dialog, const wchar_t* id);
