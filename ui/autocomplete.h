#pragma once
// The completion popup of an edit control: a small list under the caret that
// offers completions of what the user types, narrows its selection as the
// user types on, and inserts the chosen item on Enter or Tab. The edit
// control keeps the focus: the popup is never activated, and the keys that
// steer it are taken from the edit control through a subclass while it is
// open.
//
// Two kinds share it: CCodeAutoComplete for the rich-edit key-code editor
// (offering the bracket forms after "["; space and "]" close it) and
// CAutoComplete for the plain find box (tag names; a space closes it, and
// Enter, Tab and Escape stay in the box while it is open).
//
// The popup is owned by its object and never outlives the edit window: it
// closes when the edit window goes.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/win_handles.h"
#include "base/window_binding.h"
#include "base/wipe.h"
#include "ui/drawn_accessible.h"

class CAutoCompletePopup : private kelvo::AccessibleSource {
public:
    virtual ~CAutoCompletePopup();
    CAutoCompletePopup(const CAutoCompletePopup&) = delete;
    CAutoCompletePopup& operator=(const CAutoCompletePopup&) = delete;

    // Opens the popup under the caret of `edit` with `items`, the first one
    // selected; the text typed from the caret on is completed. A popup
    // already open is closed first. False, and closed, when there are no
    // items or no window could be made.
    bool Open(HWND edit, std::vector<std::wstring> items);
    void Close() noexcept;
    bool IsOpen() const noexcept { return static_cast<bool>(m_popup); }

    HWND Popup() const noexcept { return m_popup.Get(); }
    const std::vector<std::wstring>& Items() const noexcept { return m_items; }
    // -1: none.
    int Selected() const noexcept { return m_selected; }
    // The item in the top row.
    int Top() const noexcept { return m_top; }
    int VisibleRows() const;

    LRESULT PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    struct Kind {
        std::wstring_view closing; // typing one of these closes the popup
        // While open, the edit window asks the dialog for Enter, Tab and
        // Escape (WM_GETDLGCODE), so that they reach it.
        bool claimsKeys;
    };
    // The caret's line: the popup opens below it, or above it when there is
    // no room below. Client coordinates of the edit window.
    struct CaretLine {
        int x;
        int top;
        int bottom;
    };

    explicit CAutoCompletePopup(Kind kind);

    HWND Edit() const noexcept { return m_edit; }
    // Where the popup goes for the caret at character `caret`.
    virtual CaretLine LineAt(int caret) const = 0;
    // The text from character `from` up to `to`, wiped when dropped: it is
    // part of what the user types, which may be a secret.
    virtual kelvo::WipedString<wchar_t> TextRange(int from, int to) const = 0;
    virtual void SelectRange(int from, int to) const = 0;

private:
    int Caret() const;
    int LastTop() const;
    void Place(int caret);
    // Selects `index` (-1: none), shows it and tells screen readers.
    void Select(int index);
    void MoveSelection(int delta);
    void ScrollTo(int top);
    void ShowSelection();
    void UpdateScrollBar();
    void Filter();
    void Accept();
    // True when the key is the popup's, not the edit control's.
    bool OnKeyDown(WPARAM key);
    void OnVScroll(WPARAM wParam);
    void Paint(HWND window);
    RECT RowRect(int index) const;

    long AccRole() const override;
    long AccItemCount() const override;
    std::wstring AccItemName(long index) override;
    long AccItemState(long index) const override;
    RECT AccItemRect(long index) const override;
    long AccItemAt(POINT client) const override;
    std::vector<long> AccSelectedItems() const override;
    const wchar_t* AccDefaultAction(long index) const override;
    bool AccDoDefaultAction(long index) override;

    Kind m_kind;
    kelvo::UniqueHfont m_font; // the menu font at m_fontDpi
    UINT m_fontDpi = 0;
    HWND m_edit = nullptr;
    std::vector<std::wstring> m_items;
    int m_itemHeight = 1;
    int m_top = 0;
    int m_selected = -1;
    int m_start = 0; // the caret when the popup opened
    kelvo::CAccessibility m_accessibility{*this};
    kelvo::CWindowSubclass m_subclass;
    kelvo::COwnWindow m_popup;
};

// The key-code editor's popup, on a rich-edit control.
class CCodeAutoComplete final : public CAutoCompletePopup {
public:
    CCodeAutoComplete();

private:
    CaretLine LineAt(int caret) const override;
    kelvo::WipedString<wchar_t> TextRange(int from, int to) const override;
    void SelectRange(int from, int to) const override;
};

// The find box's popup, on a plain edit control.
class CAutoComplete final : public CAutoCompletePopup {
public:
    CAutoComplete();

private:
    CaretLine LineAt(int caret) const override;
    kelvo::WipedString<wchar_t> TextRange(int from, int to) const override;
    void SelectRange(int from, int to) const override;
};
