// The chunk browser's place, size, splitter and state (the find text, the
// tag and the chunk) kept in settings.xml between openings.

#include "ui/browser/prop_dlg.h"

#include "library/xml_props.h"
#include "ui/custom_list.h"
#include "ui/saved_placement.h"

namespace {

// The most of a tag name the fitted tag list shows, in average characters.
constexpr int kFittedNameChars = 20;
} // namespace

CPropDlg::Restored CPropDlg::RestoreState() {
    auto xml = OpenSettingsXml();
    // The window grows by a pixel when no size was saved: its size changes
    // once at every opening.
    if (!xml->Select(L"main-window", false)) {
        ApplyPlacement(Hwnd(), {}, 1);
        return {};
    }
    const SavedPlacement saved = ReadPlacement(*xml);
    const int splitter = xml->GetIntAttr(L"vsplitter", 0);
    std::wstring text;
    if (xml->GetAttr(L"tag", text) && !text.empty())
        m_rememberedTag = text;
    m_rememberedChunk = xml->GetIntAttr(L"chunk", 0);
    if (xml->GetAttr(L"find", text) && m_findBox)
        m_findBox->SetTextValue(text.c_str());
    ApplyPlacement(Hwnd(), saved, 1);
    // After the size: a tag list wider than the described window allows
    // fits once the window is wide again.
    CWynElement* bar = FindById(L"vsplitter");
    if (bar && splitter > 0)
        bar->SetIntValue(splitter);
    return {saved.size.has_value(), bar && splitter > 0};
}

void CPropDlg::FitTagList(bool widen_window) {
    CWynElement* bar = FindById(L"vsplitter");
    if (!bar || !m_tagList || !m_tagList->Hwnd())
        return;
    HWND list = m_tagList->Hwnd();
    const UINT dpi = m_tagList->GetDpi();
    int rows_width = 0;
    {
        const kelvo::WindowDc dc(list);
        const kelvo::SelectedObject font(dc.Get(), m_tagList->GetFont());
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc.Get(), &metrics);
        rows_width = kelvo::TagRowsWidth(dc.Get(), dpi, m_tagRows,
                                         kFittedNameChars * metrics.tmAveCharWidth);
    }
    RECT outer{}, client{};
    ::GetWindowRect(list, &outer);
    ::GetClientRect(list, &client);
    // The border and the frame, and the scroll bar even while it is hidden:
    // a find that lists more tags shows it without cutting the names.
    const bool scroll_bar_shown = (::GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL) != 0;
    const int width = static_cast<int>(outer.right - outer.left);
    const int wanted = rows_width + width - client.right +
                       (scroll_bar_shown ? 0 : ::GetSystemMetricsForDpi(SM_CXVSCROLL, dpi));
    if (widen_window && wanted > width)
        GrowAboutCentre(Hwnd(), {wanted - width, 0});
    bar->SetIntValue(wanted);
}

void CPropDlg::SaveState() {
    const auto tag = SelectedTagName();
    const auto chunk = SelectedChunk();
    auto xml = OpenSettingsXml();
    if (!xml->Select(L"main-window", true))
        return;
    WritePlacement(*xml, Hwnd());
    if (CWynElement* bar = FindById(L"vsplitter"))
        xml->SetIntAttr(L"vsplitter", bar->GetIntValue());
    xml->SetStrAttr(L"tag", tag ? *tag : std::wstring());
    xml->SetIntAttr(L"chunk", chunk ? (*chunk)->id : 0);
    xml->SetStrAttr(L"find", FindText());
    xml->Save();
}
