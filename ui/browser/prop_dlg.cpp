#include "ui/browser/prop_dlg.h"

#include <commctrl.h>

#include "base/utf16.h"
#include "library/chunk_search.h"
#include "paste/activate_window.h"
#include "ui/custom_list.h"
#include "ui/program_icon.h"

namespace {

// The chunk titles' font: the dialog's font, bold and a third larger.
kelvo::UniqueHfont MakeTitleFont(HFONT dialog_font) {
    LOGFONTW font{};
    ::GetObjectW(dialog_font, sizeof font, &font);
    font.lfWeight = FW_BOLD;
    font.lfHeight = font.lfHeight * 4 / 3;
    return kelvo::UniqueHfont(::CreateFontIndirectW(&font));
}

// The items of a list: the numbers of the rows they show.
std::vector<std::uintptr_t> RowNumbers(std::size_t count) {
    std::vector<std::uintptr_t> numbers(count);
    for (std::size_t i = 0; i < count; ++i)
        numbers[i] = i;
    return numbers;
}

} // namespace

CPropDlg::CPropDlg(CBrowserApp& app)
    : CWynDialog(L"res:properties.xml", &app.Engine()), m_app(app), m_finder(app.Finder()),
      m_rowHeights(nullptr), m_smallIcon(kelvo::ProgramIcon(16)),
      m_bigIcon(kelvo::ProgramIcon(32)) {}

CPropDlg::~CPropDlg() = default;

const wchar_t* CPropDlg::Text(const wchar_t* key, const wchar_t* english) const {
    return m_app.Engine().GetString(key, nullptr, english);
}

void CPropDlg::OnBeforeInit() {
    CWynElement* element = nullptr;
    const auto find = [&](const wchar_t* id, const wchar_t* type) -> CWynElement* {
        CWynElement* found = FindById(id);
        return found && found->IsType(type, element) ? element : nullptr;
    };
    m_tagList = static_cast<CWynCustomList*>(find(L"lst_tags", L"customlist"));
    m_chunkList = static_cast<CWynCustomList*>(find(L"lst_items", L"customlist"));
    m_findBox = find(L"find", L"textbox");
}

void CPropDlg::UpdatePixels() {
    CWynDialog::UpdatePixels();
    // The toolbar reaches the window's edges: no margin but at the bottom.
    m_pixels.margins.left = 0;
    m_pixels.margins.right = 0;
    m_pixels.margins.top = 0;
    // Before the lists measure their rows again: fonts and heights at the
    // dialog's DPI.
    m_titleFont = MakeTitleFont(GetFont());
    m_rowHeights.SetScale(m_titleFont.Get(), GetFont(), GetDpi());
    m_tagRowHeight = 0;
}

bool CPropDlg::OnInitDialog() {
    CWynDialog::OnInitDialog();
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.Get()));
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.Get()));
    // A label's mnemonic goes to the control after it in the tab order, and
    // a screen reader names a control after the label before it: the chunk
    // list's label, laid out beside the tag list's, and the find box's, laid
    // out before the hint, go just before their controls.
    for (const auto& [label_id, control] :
         {std::pair{L"l-chunks", static_cast<CWynElement*>(m_chunkList)},
          std::pair{L"l-find", m_findBox}}) {
        CWynElement* label = FindById(label_id);
        if (label && label->Hwnd() && control && control->Hwnd())
            ::SetWindowPos(label->Hwnd(), ::GetWindow(control->Hwnd(), GW_HWNDPREV), 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    const Restored restored = RestoreState();
    kelvo::ActivateWindow(Hwnd());
    RefreshFound();
    FillTagList(m_rememberedTag);
    // Before the chunk rows are measured at the chunk list's width.
    if (!restored.tag_width)
        FitTagList(!restored.size);
    FillChunkList(m_rememberedChunk);
    CreateTooltips();
    m_libraryChanges = m_app.LibraryChanges().Subscribe([this] {
        if (Hwnd())
            FullRefresh();
    });
    return true;
}

bool CPropDlg::CanClose(int reason) {
    switch (reason) {
    case kCloseBox:
        SaveState();
        m_tagCompletion.Close();
        return true;
    case kAccept:
        PasteSelected(PasteTrigger::kEnterKey);
        return false;
    default:
        return false;
    }
}

bool CPropDlg::PreMessage(HWND, UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    if (message != WM_MENUCHAR || HIWORD(wParam) != MF_SYSMENU)
        return false;
    // Only the small letters: with Caps Lock on, nothing happens.
    switch (LOWORD(wParam)) {
    case L'n':
        NewChunk();
        break;
    case L'w':
        OpenWindowsList();
        break;
    case L'e':
        ConfigurationMenu();
        break;
    default:
        return false;
    }
    ::SetWindowLongPtrW(Hwnd(), DWLP_MSGRESULT, MAKELRESULT(0, MNC_CLOSE));
    result = TRUE;
    return true;
}

void CPropDlg::PasteTargetChanged() {
    if (CWynElement* paste = FindById(L"paste"); paste && paste->Hwnd())
        ::InvalidateRect(paste->Hwnd(), nullptr, FALSE);
}

bool CPropDlg::SameText(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                             static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                             nullptr, nullptr, 0) == CSTR_EQUAL;
}

// The lists.

std::wstring CPropDlg::FindText() const {
    const wchar_t* text = m_findBox ? m_findBox->GetTextValue() : nullptr;
    return text ? text : L"";
}

void CPropDlg::RefreshFound() {
    m_finder.Find(FindText());
}

void CPropDlg::FillTagList(const std::optional<std::wstring>& remembered) {
    if (!m_tagList)
        return;
    m_tagRows.clear();
    m_tagRows.push_back({Text(L"WYN_STR_ALL_CHUNKS", L"all chunks"),
                         static_cast<int>(m_finder.Found().size()), true});
    int current = 0;
    for (auto& [tag, count] : m_finder.CountFoundTags()) {
        if (remembered && SameText(tag, *remembered))
            current = static_cast<int>(m_tagRows.size());
        m_tagRows.push_back({tag, count, false});
    }
    m_tagList->ReplaceItems(RowNumbers(m_tagRows.size()), current);
}

void CPropDlg::FillChunkList(int remembered_id) {
    if (!m_chunkList)
        return;
    m_chunkRows.clear();
    m_chunkRowPlaces.clear();
    const auto tag = SelectedTagName();
    const auto& found = m_finder.Found();
    int current = 0;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const auto& chunk = found[i];
        if (tag && !chunk->HasTag(*tag))
            continue;
        if (chunk->id == remembered_id)
            current = static_cast<int>(m_chunkRows.size());
        m_chunkRows.push_back(chunk);
        m_chunkRowPlaces.push_back(m_finder.FoundPlaces()[i]);
    }
    m_rowHeights.UsePlaces(m_finder.PlacesRevision(), m_finder.PlaceCount());
    m_chunkList->ReplaceItems(RowNumbers(m_chunkRows.size()), current);
    EnableChunkButtons();
}

void CPropDlg::EnableChunkButtons() {
    const bool has_chunk = SelectedChunk().has_value();
    for (const wchar_t* id : {L"btn-edit", L"btn-delete"})
        if (CWynElement* button = FindById(id))
            button->SetDisabled(!has_chunk);
}

std::optional<std::wstring> CPropDlg::SelectedTagName() const {
    const int current = m_tagList ? m_tagList->CurrentIndex() : -1;
    if (current <= 0 || current >= static_cast<int>(m_tagRows.size()))
        return std::nullopt;
    return m_tagRows[current].name;
}

std::optional<CShownChunk> CPropDlg::SelectedChunk() const {
    const int current = m_chunkList ? m_chunkList->CurrentIndex() : -1;
    if (current < 0 || current >= static_cast<int>(m_chunkRows.size()))
        return std::nullopt;
    return CShownChunk(m_chunkRows[current]);
}

void CPropDlg::FullRefresh() {
    const auto tag = SelectedTagName();
    const auto chunk = SelectedChunk();
    const int chunk_id = chunk ? (*chunk)->id : 0;
    RefreshFound();
    FillTagList(tag);
    FillChunkList(chunk_id);
    OfferTagCompletion();
}

void CPropDlg::RefreshAfterChange(const text_chunk* chunk) {
    auto tag = SelectedTagName();
    if (tag && !(chunk && chunk->HasTag(*tag)))
        tag.reset();
    if (chunk)
        m_rowHeights.Forget(*chunk);
    RefreshFound();
    FillTagList(tag);
    FillChunkList(chunk ? chunk->id : 0);
}

void CPropDlg::OfferTagCompletion() {
    if (!m_findBox || !m_findBox->Hwnd() || m_tagCompletion.IsOpen())
        return;
    DWORD caret = 0;
    ::SendMessageW(m_findBox->Hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    const std::wstring text = FindText();
    if (caret == 0 || caret > text.size() || text[caret - 1] != L'#')
        return;
    std::vector<std::wstring> items;
    for (const auto& [tag, count] : m_finder.CountFoundTags())
        items.emplace_back(kelvo::AsWide(kelvo::QuoteTag(kelvo::AsU16(tag))));
    if (!items.empty())
        m_tagCompletion.Open(m_findBox->Hwnd(), std::move(items));
}

void CPropDlg::AddTagToFind(int tag_row) {
    if (tag_row <= 0 || tag_row >= static_cast<int>(m_tagRows.size()) || !m_findBox)
        return;
    const std::wstring text(kelvo::AsWide(
        kelvo::AddTagToFindText(kelvo::AsU16(FindText()), kelvo::AsU16(m_tagRows[tag_row].name))));
    // Set by the program: the box raises no "changed", so the refresh runs here.
    m_findBox->SetTextValue(text.c_str());
    FullRefresh();
}

void CPropDlg::CreateTooltips() {
    m_tooltips.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                       WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(), nullptr,
                                       nullptr, nullptr));
    if (!m_tooltips)
        return;
    static constexpr struct {
        const wchar_t* id;
        const wchar_t* key;
        const wchar_t* english;
    } kTips[] = {
        {L"paste-to", L"WYN_TIPS_PASTETO", L"Select Window (Alt+W)"},
        {L"paste", L"WYN_TIPS_PASTE", L"Paste selected chunk (Enter)"},
        {L"clear-find", L"WYN_TIPS_CLEARFIND", L"Clear Text"},
        {L"btn-new", L"WYN_TIPS_NEW", L"Create new chunk (Alt+N)"},
        {L"btn-edit", L"WYN_TIPS_EDIT", L"Edit selected chunk"},
        {L"btn-delete", L"WYN_TIPS_DELETE", L"Delete selected chunk"},
        {L"btn-wrench", L"WYN_TIPS_SETTINGS", L"Customize and control Kelvo (Alt+E)"},
    };
    for (const auto& tip : kTips) {
        CWynElement* element = FindById(tip.id);
        if (!element || !element->Hwnd())
            continue;
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(element->Hwnd());
        tool.lpszText = const_cast<wchar_t*>(Text(tip.key, tip.english));
        ::SendMessageW(m_tooltips.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    ::SendMessageW(m_tooltips.Get(), TTM_ACTIVATE, TRUE, 0);
}
