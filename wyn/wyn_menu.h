#pragma once
// Menus: "menupopup" (a popup menu that opens when its owner control is
// clicked, or a drop-down of a "menubar"), "menuitem", "menuseparator", and
// "menubar" (the dialog's menu bar). Item command ids are the items' control
// ids. Before a popup opens, each item asks the dialog about itself:
// "get-menu-item" (menu, item id) lets it change the item freely; a nonzero
// answer to "disable-menu-item" / "enable-menu-item" greys / enables it and
// one to "check-menu-item" / "uncheck-menu-item" checks / unchecks it,
// otherwise the item keeps its own state. The chosen item raises "clicked".

#include <optional>
#include <string>

#include "base/win_handles.h"
#include "wyn/wyn_element.h"

class CWynMenuItem : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    // Check state: nonzero checks the item.
    void SetIntValue(int value) override;
    void ApplyEnabled() override;
    LRESULT OnCommand(int code, int controlId, HWND window) override;

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
    HMENU menu() const noexcept { return m_menu.get(); }
    const std::optional<std::wstring>& label() const noexcept { return m_label; }
    // Hands the menu to a menu bar, which then owns it.
    HMENU ReleaseMenu() noexcept { return m_menu.release(); }

private:
    std::optional<std::wstring> m_label;
    kelvo::unique_hmenu m_menu;
};

class CWynMenuBar : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    // Builds the bar from the popup children and gives it to the dialog window.
    void Create() override;
    // A command from the bar: the item with that id raises "clicked".
    LRESULT OnCommand(int code, int controlId, HWND window) override;
};
