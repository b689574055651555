#include "ui/browser/edit_chunk_dlg.h"

#include <richedit.h>

#include "base/utf16.h"
#include "library/master_password.h"
#include "library/xml_props.h"
#include "paste/key_tokens.h"
#include "ui/colored_text_box.h"
#include "ui/program_icon.h"
#include "ui/saved_placement.h"

namespace {

bool IsId(const CWynElement* element, const wchar_t* id) {
    return element && element->Id() &&
           ::CompareStringOrdinal(element->Id()->c_str(), -1, id, -1, TRUE) == CSTR_EQUAL;
}

} // namespace

CEditChunkDlg::CEditChunkDlg(CWynEngine* engine, const CChunkStore& store, ObtainKey obtain_key)
    : CWynDialog(L"res:chunk.xml", engine), m_obtainKey(std::move(obtain_key)),
      m_smallIcon(kelvo::ProgramIcon(16)), m_bigIcon(kelvo::ProgramIcon(32)) {
    TagCounts counts;
    for (const auto& [id, chunk] : store.Chunks())
        chunk->CountTags(counts);
    for (const auto& [tag, count] : counts)
        m_allTags.push_back(tag);
}

void CEditChunkDlg::OnBeforeInit() {
    CWynElement* element = nullptr;
    if (CWynElement* text = FindById(L"text"); text && text->IsType(L"codedit", element))
        m_editor = element;
    if (CWynElement* tags = FindById(L"tags"); tags && tags->IsType(L"textbox", element))
        m_tagsBox = element;
}

bool CEditChunkDlg::OnInitDialog() {
    CWynDialog::OnInitDialog();
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.Get()));
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.Get()));
    auto xml = OpenSettingsXml();
    SavedPlacement saved;
    if (xml->Select(L"edit-chunk-window", false)) {
        saved = ReadPlacement(*xml);
        ApplyPlacement(Hwnd(), saved);
    }
    if (!saved.size && !saved.position)
        FitFirstSize();
    DoDataExchange(false, nullptr);
    if (CWynElement* select = FindById(L"select-tags"); select && m_allTags.empty())
        select->SetDisabled(true);
    if (CWynElement* encrypted = FindById(L"encrypted"); encrypted && !HasMasterPassword())
        encrypted->SetDisabled(true);
    // A label's mnemonic goes to the control after it in the tab order: that
    // is the text, not the Insert Key button that sits beside the label.
    if (CWynElement* label = FindById(L"l-text");
        label && label->Hwnd() && m_editor && m_editor->Hwnd())
        ::SetWindowPos(m_editor->Hwnd(), label->Hwnd(), 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return true;
}

void CEditChunkDlg::FitFirstSize() {
    if (!m_editor || !m_editor->Hwnd())
        return;
    HWND editor = m_editor->Hwnd();
    const SIZE room = static_cast<CColoredTextBox*>(m_editor)->TextRoom(kFirstColumns, kFirstLines);
    RECT shown{};
    ::SendMessageW(editor, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
    // A text longer than the box shows the scroll bar, which takes its width
    // from the lines.
    const bool scroll_bar_shown = (::GetWindowLongPtrW(editor, GWL_STYLE) & WS_VSCROLL) != 0;
    const int scroll_bar =
        scroll_bar_shown ? 0 : ::GetSystemMetricsForDpi(SM_CXVSCROLL, m_editor->GetDpi());
    GrowAboutCentre(Hwnd(), {room.cx + scroll_bar - (shown.right - shown.left),
                             room.cy - (shown.bottom - shown.top)});
}

bool CEditChunkDlg::CanClose(int reason) {
    if (reason == kAccept) {
        DoDataExchange(true, nullptr);
        if (!m_title || !m_text)
            return false;
        if (m_encrypted && !m_hasDataKey) {
            m_hasDataKey = m_obtainKey && m_obtainKey(Hwnd(), m_dataKey);
            if (!m_hasDataKey)
                return false;
        }
    }
    SavePlacement();
    return true;
}

void CEditChunkDlg::DoDataExchange(bool save, CWynElement* scope) {
    for (const auto& record : {
             CWynExchange::Text(L"tags", m_tags),
             CWynExchange::Text(L"title", m_title),
             CWynExchange::Text(L"text", m_text),
             CWynExchange::Int(L"encrypted", m_encrypted),
         })
        Exchange(save, record, scope);
}

std::int64_t CEditChunkDlg::OnEvent(CWynElement* source, std::wstring_view name, WPARAM, LPARAM) {
    if (name != L"clicked" || !source)
        return 0;
    if (IsId(source, L"insert"))
        InsertKeyMenu(*source);
    else if (IsId(source, L"select-tags"))
        TagMenu(*source);
    else
        return 0;
    return 1;
}

int CEditChunkDlg::ChooseFrom(CWynElement& button, const std::vector<std::wstring>& items) {
    const kelvo::UniqueHmenu menu(::CreatePopupMenu());
    for (std::size_t i = 0; i < items.size(); ++i)
        ::AppendMenuW(menu.Get(), MF_STRING, i + 1, items[i].c_str());
    RECT rect{};
    ::GetWindowRect(button.Hwnd(), &rect);
    const int chosen = static_cast<int>(
        ::TrackPopupMenu(menu.Get(), TPM_RIGHTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, rect.right,
                         rect.bottom, 0, Hwnd(), nullptr));
    return chosen - 1;
}

void CEditChunkDlg::InsertKeyMenu(CWynElement& button) {
    std::vector<std::wstring> tokens;
    for (const auto& token : kelvo::kKeyTokens)
        tokens.emplace_back(kelvo::AsWide(token.text));
    const int chosen = ChooseFrom(button, tokens);
    // In place of the selection, as typing would, and undoable.
    if (chosen >= 0 && m_editor && m_editor->Hwnd())
        ::SendMessageW(m_editor->Hwnd(), EM_REPLACESEL, TRUE,
                       reinterpret_cast<LPARAM>(tokens[static_cast<std::size_t>(chosen)].c_str()));
}

void CEditChunkDlg::TagMenu(CWynElement& button) {
    if (m_allTags.empty() || !m_tagsBox)
        return;
    const int chosen = ChooseFrom(button, m_allTags);
    if (chosen < 0)
        return;
    const wchar_t* current = m_tagsBox->GetTextValue();
    std::wstring tags = current ? current : L"";
    if (!tags.empty())
        tags += L';';
    tags += m_allTags[static_cast<std::size_t>(chosen)];
    m_tagsBox->SetTextValue(tags.c_str());
}

void CEditChunkDlg::SavePlacement() {
    auto xml = OpenSettingsXml();
    if (!xml->Select(L"edit-chunk-window", true))
        return;
    WritePlacement(*xml, Hwnd());
    xml->Save();
}
