#pragma once
// What a drawn control shows, told to screen readers: the control answers
// WM_GETOBJECT for its client area with an IAccessible whose children are its
// items (a list's rows; a button has none). Everything the control does not
// say itself (its parent, its own state and place, its keyboard shortcut) is
// the system's standard object's answer.
//
// The accessible object may outlive its window, held by a client: once the
// window goes, the object is cut off and answers CO_E_OBJNOTCONNECTED.

#include <windows.h>

#include <string>
#include <vector>

#include "base/com.h"

namespace kelvo {

// The text of the label just before `window` among its siblings, as the
// system names a standard control by it: without the "&" of its mnemonic.
// False when the window before it is no label.
bool LabelBefore(HWND window, std::wstring& name);

// The control's side. Items count from 0; their child ids are index + 1.
// Only called while the window is there.
class AccessibleSource {
public:
    virtual long AccRole() const = 0;
    // The control's own name; false leaves the standard one.
    virtual bool AccName(std::wstring& name);
    virtual long AccItemCount() const;
    virtual std::wstring AccItemName(long index);
    // STATE_SYSTEM_... bits of an item.
    virtual long AccItemState(long index) const;
    // In client coordinates.
    virtual RECT AccItemRect(long index) const;
    // The item at a point of the client area; -1 for none.
    virtual long AccItemAt(POINT client) const;
    // The item that has the keyboard focus while the control has it; -1: none.
    virtual long AccFocusedItem() const;
    virtual std::vector<long> AccSelectedItems() const;
    // The default action of the control (index -1) or of an item: its name,
    // null for none, and doing it (false when there is nothing to do).
    virtual const wchar_t* AccDefaultAction(long index) const;
    virtual bool AccDoDefaultAction(long index);

protected:
    ~AccessibleSource() = default;
};

class CAccessibleObject;

// The accessible object of one window, made when a client first asks.
class CAccessibility {
public:
    explicit CAccessibility(AccessibleSource& source) noexcept;
    ~CAccessibility();
    CAccessibility(const CAccessibility&) = delete;
    CAccessibility& operator=(const CAccessibility&) = delete;

    // The answer to WM_GETOBJECT: the object for OBJID_CLIENT, the default
    // window procedure's answer for the other objects.
    LRESULT OnGetObject(HWND window, WPARAM wParam, LPARAM lParam);
    // The window is going: the object answers nothing from now on.
    void Disconnect() noexcept;

    // Raises the WinEvent `event` for item `index` of the window's client
    // area, or for the client area itself with -1.
    static void Notify(DWORD event, HWND window, long index) noexcept;

private:
    AccessibleSource& m_source;
    ComPtr<CAccessibleObject> m_object;
};

} // namespace kelvo
