#pragma once
// Menus: "menupopup" (a popup menu that opens when its owner control is
// clicked, or a drop-down of a "menubar"), "menuitem", "menuseparator", and
// "menubar" (the dialog's menu bar, which takes the commands of its items
// from the dialog window). Item command ids are the items' control ids. Before a popup opens, each
// item asks the dialog about itself: "get-menu-item" (menu, item id) lets it change the item
// freely; a nonzero answer to "disable-menu-item" / "enable-menu-item" greys / enables it and one
// to "check-menu-item" / "uncheck-menu-item" checks / unchecks it, otherwise the item keeps its own
// state. The chosen item raises "clicked".

#include <optional>
#include <string>

#include "base/win_handles.h"
#include "base/window_binding.h"
#include "wyn/engine/wyn_element.h"

class CWynMenuItem : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    // Check state: nonzero checks the item.
    void SetIntValue(int value) override;
    void ApplyEnabled() override;
    LRESULT OnCommand(int code, int control_id, HWND window) override;

    void AppendTo(HMENU menu);
    // The item's state for the next showing, after asking the dialog.
    void Prepare();

private:
    void ApplyCheck(bool checked);

    std::optional<std::wstring> m_label;
    bool m_radio = false;
    bool m_default = false;
    bool m_checked = false;
    HMENU m_menu = nullptr; // the menu holding the item; owned by the popup or the bar
};

class CWynMenuSeparator : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    void AppendTo(HMENU menu);
};

class CWynMenuPopup : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    // Builds the menu from the item and separator children.
    void Create() override;
    // The owner was clicked: the menu opens at the cursor.
    void OnOwnerAction(CWynElement* owner) override;

    // Asks the items about their state; then the menu is ready to show.
    void Prepare();
    // The menu, also once a menu bar owns it.
    HMENU Menu() const noexcept { return m_handle; }
    const std::optional<std::wstring>& Label() const noexcept { return m_label; }
    // Hands the menu to a menu bar, which then owns it.
    void ReleaseMenu() noexcept { m_menu.Release(); }

private:
    std::optional<std::wstring> m_label;
    kelvo::UniqueHmenu m_menu;
    HMENU m_handle = nullptr;
};

class CWynMenuBar : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    // Builds the bar from the popup children and gives it to the dialog window.
    void Create() override;

private:
    // Listens on the dialog window: a command of an item makes the item raise
    // "clicked"; a drop-down about to open asks its items about their state.
    LRESULT OnDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Removed with the dialog window or with the bar, whichever goes first.
    kelvo::CWindowSubclass m_dialogSubclass;
};
