// The element types of the engine, by the names descriptions give them.

#include "wyn/engine/element_names.h"

#include "wyn/elements/wyn_actions.h"
#include "wyn/elements/wyn_button.h"
#include "wyn/elements/wyn_checkbox.h"
#include "wyn/elements/wyn_checks_list.h"
#include "wyn/elements/wyn_color.h"
#include "wyn/elements/wyn_combobox.h"
#include "wyn/elements/wyn_datepicker.h"
#include "wyn/elements/wyn_freedraw.h"
#include "wyn/elements/wyn_groupbox.h"
#include "wyn/elements/wyn_hotkey.h"
#include "wyn/elements/wyn_label.h"
#include "wyn/elements/wyn_line.h"
#include "wyn/elements/wyn_list.h"
#include "wyn/elements/wyn_listbox.h"
#include "wyn/elements/wyn_menu.h"
#include "wyn/elements/wyn_picture.h"
#include "wyn/elements/wyn_progress.h"
#include "wyn/elements/wyn_radio.h"
#include "wyn/elements/wyn_rtf.h"
#include "wyn/elements/wyn_select_file.h"
#include "wyn/elements/wyn_slider.h"
#include "wyn/elements/wyn_spin.h"
#include "wyn/elements/wyn_splitter.h"
#include "wyn/elements/wyn_statusbar.h"
#include "wyn/elements/wyn_tab_switcher.h"
#include "wyn/elements/wyn_tabbox.h"
#include "wyn/elements/wyn_textbox.h"
#include "wyn/elements/wyn_toolbar.h"
#include "wyn/elements/wyn_url.h"
#include "wyn/engine/wyn_box.h"
#include "wyn/engine/wyn_spacer.h"
#include "wyn/engine/wyn_window.h"
#include "wyn/host/wyn_dialog.h"

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
    {L"box", false, &Make<CWynBox, CWynBox::Orient::kFromAttribute>},
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
    {L"vbox", false, &Make<CWynBox, CWynBox::Orient::kVertical>},
    {L"hbox", false, &Make<CWynBox, CWynBox::Orient::kHorizontal>},
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

std::span<const WynElementName> StandardElementNames() noexcept {
    return kStandard;
}

} // namespace kelvo
