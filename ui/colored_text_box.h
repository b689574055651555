#pragma once
// "codedit": the key-code editor in which a chunk's text is written. A rich
// edit box in a fixed-pitch face that shows bracketed key tokens in green
// bold as the user types, and offers the bracket forms in a popup when the
// user types "[". Colouring keeps the user's selection, repaints once, and
// is not something Undo takes back.

#include <tom.h>

#include <optional>

#include "base/com.h"
#include "base/window_binding.h"
#include "paste/token_runs.h"
#include "ui/autocomplete.h"
#include "wyn/elements/wyn_rtf.h"

// Shows the rich edit box's bracketed key tokens in green bold and the rest
// plain, with the selection kept, one repaint, and the undo history
// untouched. `shown` is what the box was last made to show (empty: not
// known); only what changed since is formatted, one selection and one
// format message per run of equal look. `typed`: where the change put what
// was typed, when known.
void ColourTokens(HWND edit, kelvo::TokenLook& shown, kelvo::TypedSpan typed = {});

// Keeps what is done to a rich edit box while it lives out of the box's undo
// history, so that Undo takes back the user's last edit and not a colouring.
class CUndoSuspension {
public:
    enum class Way {
        kTextObjectModel, // the history suspended and resumed (tomSuspend)
        kUndoLimit,       // the history given no room for a while
    };
    // The undo limit of the key-code editor, which kUndoLimit puts back.
    static constexpr WPARAM kUndoLimit = 100;

    // The text object model's suspension where the control takes it, the undo
    // limit elsewhere.
    explicit CUndoSuspension(HWND edit);
    // `way` if the control takes it, else the undo limit.
    CUndoSuspension(HWND edit, Way way);
    ~CUndoSuspension();
    CUndoSuspension(const CUndoSuspension&) = delete;
    CUndoSuspension& operator=(const CUndoSuspension&) = delete;

    Way Used() const noexcept { return m_way; }

private:
    HWND m_edit;
    Way m_way;
    kelvo::ComPtr<ITextDocument> m_document;
};

class CColoredTextBox : public CWynRTF {
public:
    using CWynRTF::CWynRTF;
    bool IsType(std::wstring_view name, CWynElement*& element) override;
    void Create() override;
    void UpdatePixels() override;
    LRESULT OnCommand(int code, int control_id, HWND window) override;
    // Coloured once, and opens no popup.
    void SetTextValue(const wchar_t* text) override;

    const CCodeAutoComplete& Completion() const noexcept { return m_completion; }
    // The room `lines` lines of `columns` average characters take in the
    // box's face at its DPI.
    SIZE TextRoom(int columns, int lines) const;

private:
    // Notes where the selection starts before a message that may change the
    // text, so that colouring knows where what is typed over it goes.
    LRESULT OnEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
    void Colour();
    void OfferCompletion();

    CCodeAutoComplete m_completion;
    kelvo::TokenLook m_shown;
    kelvo::CWindowSubclass m_typing;
    std::optional<LONG> m_typedFrom;
};
