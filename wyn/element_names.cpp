#include "wyn/element_names.h"

#include "wyn/no_case.h"
#include "wyn/wyn_actions.h"
#include "wyn/wyn_box.h"
#include "wyn/wyn_button.h"
#include "wyn/wyn_checkbox.h"
#include "wyn/wyn_combobox.h"
#include "wyn/wyn_dialog.h"
#include "wyn/wyn_freedraw.h"
#include "wyn/wyn_groupbox.h"
#include "wyn/wyn_hotkey.h"
#include "wyn/wyn_label.h"
#include "wyn/wyn_line.h"
#include "wyn/wyn_menu.h"
#include "wyn/wyn_picture.h"
#include "wyn/wyn_radio.h"
#include "wyn/wyn_rtf.h"
#include "wyn/wyn_spacer.h"
#include "wyn/wyn_spin.h"
#include "wyn/wyn_splitter.h"
#include "wyn/wyn_textbox.h"
#include "wyn/wyn_url.h"
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
    {L"groupbox", false, &Make<CWynGroupbox>},
    {L"label", false, &Make<CWynLabel>},
    {L"checkbox", false, &Make<CWynCheckbox>},
    {L"radio", false, &Make<CWynRadio>},
    {L"combobox", false, &Make<CWynComboBox>},
    {L"menupopup", false, &Make<CWynMenuPopup>},
    {L"menuitem", false, &Make<CWynMenuItem>},
    {L"radiogroup", false, &Make<CWynRadioGroup>},
    {L"spin", false, &Make<CWynSpin>},
    {L"tabbox", false, nullptr},
    {L"tabpanel", false, nullptr},
    {L"vbox", false, &Make<CWynBox, CWynBox::Orient::Vertical>},
    {L"hbox", false, &Make<CWynBox, CWynBox::Orient::Horizontal>},
    {L"spacer", false, &Make<CWynSpacer>},
    {L"menubar", false, &Make<CWynMenuBar>},
    {L"listitem", false, &Make<CWynListItem>},
    {L"menuseparator", false, &Make<CWynMenuSeparator>},
    {L"tabswitcher", false, nullptr},
    {L"tab", false, nullptr},
    {L"color", false, nullptr},
    {L"slider", false, nullptr},
    {L"hotkey", false, &Make<CWynHotkey>},
    {L"picture", false, &Make<CWynPicture>},
    {L"listbox", false, nullptr},
    {L"line", false, &Make<CWynLine>},
    {L"url", false, &Make<CWynUrl>},
    {L"list", false, nullptr},
    {L"selectfile", false, nullptr},
    {L"ext", false, nullptr},
    {L"listcol", false, nullptr},
    {L"checkslist", false, nullptr},
    {L"checkitem", false, nullptr},
    {L"freedraw", false, &Make<CWynFreeDraw>},
    {L"disabler", false, &Make<CWynDisabler>},
    {L"sendcmd", false, &Make<CWynSendCMD>},
    {L"progress", false, nullptr},
    {L"openhelp", false, &Make<CWynOpenHelp>},
    {L"datepicker", false, nullptr},
    {L"selectfolder", false, nullptr},
    {L"toolbar", false, nullptr},
    {L"toolbarbutton", false, nullptr},
    {L"rtf", false, &Make<CWynRTF>},
    {L"statusbar", false, nullptr},
    {L"sbpart", false, nullptr},
    {L"vsplitter", false, &Make<CWynVSplitter>},
    {L"hsplitter", false, &Make<CWynHSplitter>},
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
