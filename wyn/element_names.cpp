#include "wyn/element_names.h"

#include "wyn/no_case.h"
#include "wyn/wyn_box.h"
#include "wyn/wyn_button.h"
#include "wyn/wyn_checkbox.h"
#include "wyn/wyn_combobox.h"
#include "wyn/wyn_dialog.h"
#include "wyn/wyn_label.h"
#include "wyn/wyn_line.h"
#include "wyn/wyn_spacer.h"
#include "wyn/wyn_spin.h"
#include "wyn/wyn_textbox.h"
#include "wyn/wyn_window.h"

namespace kelvo {
namespace {

template <typename T, auto... Args>
std::unique_ptr<CWynElement> Make(CWynElement* parent, CWynEngine* engine) {
    return std::make_unique<T>(parent, engine, Args...);
}

constexpr WynElementName kStandard[] = {
    {L"window", false, &Make<CWynWindow>},
    {L"dialog", false, &Make<CWynDialog>},
    {L"textbox", false, &Make<CWynTextBox>},
    {L"box", false, &Make<CWynBox, CWynBox::Orient::FromAttribute>},
    {L"button", false, &Make<CWynButton>},
    {L"groupbox", false, nullptr},
    {L"label", false, &Make<CWynLabel>},
    {L"checkbox", false, &Make<CWynCheckbox>},
    {L"radio", false, nullptr},
    {L"combobox", false, &Make<CWynComboBox>},
    {L"menupopup", false, nullptr},
    {L"menuitem", false, nullptr},
    {L"radiogroup", false, nullptr},
    {L"spin", false, &Make<CWynSpin>},
    {L"tabbox", false, nullptr},
    {L"tabpanel", false, nullptr},
    {L"vbox", false, &Make<CWynBox, CWynBox::Orient::Vertical>},
    {L"hbox", false, &Make<CWynBox, CWynBox::Orient::Horizontal>},
    {L"spacer", false, &Make<CWynSpacer>},
    {L"menubar", false, nullptr},
    {L"listitem", false, &Make<CWynListItem>},
    {L"menuseparator", false, nullptr},
    {L"tabswitcher", false, nullptr},
    {L"tab", false, nullptr},
    {L"color", false, nullptr},
    {L"slider", false, nullptr},
    {L"hotkey", false, nullptr},
    {L"picture", false, nullptr},
    {L"listbox", false, nullptr},
    {L"line", false, &Make<CWynLine>},
    {L"url", false, nullptr},
    {L"list", false, nullptr},
    {L"selectfile", false, nullptr},
    {L"ext", false, nullptr},
    {L"listcol", false, nullptr},
    {L"checkslist", false, nullptr},
    {L"checkitem", false, nullptr},
    {L"freedraw", false, nullptr},
    {L"disabler", false, nullptr},
    {L"sendcmd", false, nullptr},
    {L"progress", false, nullptr},
    {L"openhelp", false, nullptr},
    {L"datepicker", false, nullptr},
    {L"selectfolder", false, nullptr},
    {L"toolbar", false, nullptr},
    {L"toolbarbutton", false, nullptr},
    {L"rtf", false, nullptr},
    {L"statusbar", false, nullptr},
    {L"sbpart", false, nullptr},
    {L"vsplitter", false, nullptr},
    {L"hsplitter", false, nullptr},
};

} // namespace

const WynElementName* FindElementName(std::span<const WynElementName> table,
                                      std::wstring_view name) noexcept {
    for (const WynElementName& entry : table) {
        if (entry.caseSensitive ? entry.name == name : EqualsNoCase(entry.name, name))
            return &entry;
    }
    return nullptr;
}

std::span<const WynElementName> StandardElementNames() noexcept {
    return kStandard;
}

} // namespace kelvo
