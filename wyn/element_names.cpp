#include "wyn/element_names.h"

#include "wyn/no_case.h"
#include "wyn/wyn_actions.h"
#include "wyn/wyn_box.h"
#include "wyn/wyn_button.h"
#include "wyn/wyn_checkbox.h"
#include "wyn/wyn_checks_list.h"
#include "wyn/wyn_color.h"
#include "wyn/wyn_combobox.h"
#include "wyn/wyn_datepicker.h"
#include "wyn/wyn_dialog.h"
#include "wyn/wyn_freedraw.h"
#include "wyn/wyn_groupbox.h"
#include "wyn/wyn_hotkey.h"
#include "wyn/wyn_label.h"
#include "wyn/wyn_line.h"
#include "wyn/wyn_list.h"
#include "wyn/wyn_listbox.h"
#include "wyn/wyn_menu.h"
#include "wyn/wyn_picture.h"
#include "wyn/wyn_progress.h"
#include "wyn/wyn_radio.h"
#include "wyn/wyn_rtf.h"
#include "wyn/wyn_select_file.h"
#include "wyn/wyn_slider.h"
#include "wyn/wyn_spacer.h"
#include "wyn/wyn_spin.h"
#include "wyn/wyn_splitter.h"
#include "wyn/wyn_statusbar.h"
#include "wyn/wyn_tab_switcher.h"
#include "wyn/wyn_tabbox.h"
#include "wyn/wyn_textbox.h"
#include "wyn/wyn_toolbar.h"
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
    {L"tabbox", false, &Make<CWynTabBox>},
    {L"tabpanel", false, &Make<CWynTabPanel>},
    {L"vbox", false, &Make<CWynBox, CWynBox::Orient::Vertical>},
    {L"hbox", false, &Make<CWynBox, CWynBox::Orient::Horizontal>},
    {L"spacer", false, &Make<CWynSpacer>},
    {L"menubar", false, &Make<CWynMenuBar>},
    {L"listitem", false, &Make<CWynListItem>},
    {L"menuseparator", false, &Make<CWynMenuSeparator>},
    {L"tabswitcher", false, &Make<CWynTabSwitcher>},
    {L"tab", false, &Make<CWynTab>},
    {L"color", false, &Make<CWynColor>},
    {L"slider", false, &Make<CWynSlider>},
    {L"hotkey", false, &Make<CWynHotkey>},
    {L"picture", false, &Make<CWynPicture>},
    {L"listbox", false, &Make<CWynListBox>},
    {L"line", false, &Make<CWynLine>},
    {L"url", false, &Make<CWynUrl>},
    {L"list", false, &Make<CWynList>},
    {L"selectfile", false, &Make<CWynSelectFile>},
    {L"ext", false, &Make<CWynExt>},
    {L"listcol", false, &Make<CWynListCol>},
    {L"checkslist", false, &Make<CWynChecksList>},
    {L"checkitem", false, &Make<CWynCheckItem>},
    {L"freedraw", false, &Make<CWynFreeDraw>},
    {L"disabler", false, &Make<CWynDisabler>},
    {L"sendcmd", false, &Make<CWynSendCMD>},
    {L"progress", false, &Make<CWynProgress>},
    {L"openhelp", false, &Make<CWynOpenHelp>},
    {L"datepicker", false, &Make<CWynDatePicker>},
    {L"selectfolder", false, &Make<CWynSelectFolder>},
    {L"toolbar", false, &Make<CWynToolbar>},
    {L"toolbarbutton", false, &Make<CWynToolbarButton>},
    {L"rtf", false, &Make<CWynRTF>},
    {L"statusbar", false, &Make<CWynStatusBar>},
    {L"sbpart", false, &Make<CWynSBPart>},
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
