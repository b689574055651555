// The chunk browser's place, size, splitter and state (the find text, the
// tag and the chunk) kept in settings.xml between openings.

#include "ui/browser/prop_dlg.h"

#include "library/xml_props.h"
#include "ui/custom_list.h"
#include "ui/saved_placement.h"

void CPropDlg::RestoreState() {
    auto xml = OpenSettingsXml();
    // The window grows by a pixel when no size was saved: its size changes
    // once at every opening.
    if (!xml->Select(L"main-window", false)) {
        ApplyPlacement(Hwnd(), {}, 1);
        return;
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
    if (CWynElement* bar = FindById(L"vsplitter"); bar && splitter > 0)
        bar->SetIntValue(splitter);
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
