#include "app/prop_dlg.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "app/about_dlg.h"
#include "app/chunk_commands.h"
#include "app/main_wnd.h"
#include "app/saved_placement.h"
#include "app/settings.h"
#include "base/utf16.h"
#include "library/chunk_search.h"
#include "library/xml_props.h"
#include "paste/activate_window.h"
#include "ui/custom_button.h"
#include "ui/custom_list.h"
#include "ui/master_pwd.h"
#include "ui/toolbar_paint.h"

namespace {

using kelvo::Ref;

bool SameText(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                             static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                             nullptr, nullptr, 0) == CSTR_EQUAL;
}

bool IsId(const CWynElement& element, std::wstring_view id) {
    return element.Id() && SameText(*element.Id(), id);
}

// The chunk titles' font: the dialog's font, bold and a third larger.
kelvo::UniqueHfont MakeTitleFont(HFONT dialog_font) {
    LOGFONTW font{};
    ::GetObjectW(dialog_font, sizeof font, &font);
    font.lfWeight = FW_BOLD;
    font.lfHeight = font.lfHeight * 4 / 3;
    return kelvo::UniqueHfont(::CreateFontIndirectW(&font));
}

// The text with its first "%s" replaced: the user's title is never read as a
// format.
std::wstring WithTitle(std::wstring_view text, std::wstring_view title) {
    std::wstring result(text);
    if (const auto at = result.find(L"%s"); at != result.npos)
        result.replace(at, 2, title);
    return result;
}

// The items of a list: the numbers of the rows they show.
std::vector<std::uintptr_t> RowNumbers(std::size_t count) {
    std::vector<std::uintptr_t> numbers(count);
    for (std::size_t i = 0; i < count; ++i)
        numbers[i] = i;
    return numbers;
}

} // namespace

CPropDlg::CPropDlg(CMainWnd& app)
    : CWynDialog(L"res:properties.xml", &app.Engine()), m_app(app), m_finder(app.Chunks()),
      m_rowHeights(nullptr), m_smallIcon(CMainWnd::ProgramIcon(16)),
      m_bigIcon(CMainWnd::ProgramIcon(32)) {}

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
    RestoreState();
    kelvo::ActivateWindow(Hwnd());
    RefreshFound();
    FillTagList(m_rememberedTag);
    FillChunkList(m_rememberedChunk);
    CreateTooltips();
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
    const bool has_chunk = SelectedChunk() != nullptr;
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

const Ref<text_chunk>* CPropDlg::SelectedChunk() const {
    const int current = m_chunkList ? m_chunkList->CurrentIndex() : -1;
    if (current < 0 || current >= static_cast<int>(m_chunkRows.size()))
        return nullptr;
    return &m_chunkRows[current];
}

void CPropDlg::FullRefresh() {
    const auto tag = SelectedTagName();
    const auto* chunk = SelectedChunk();
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

// The commands.

void CPropDlg::Paste(const text_chunk& chunk, PasteTrigger trigger) {
    PasteChunk(m_app, *this, chunk, m_app.PasteTarget().window, trigger);
}

void CPropDlg::PasteSelected(PasteTrigger trigger) {
    if (const auto* chunk = SelectedChunk())
        Paste(**chunk, trigger);
}

void CPropDlg::NewChunk() {
    if (const auto chunk = NewChunkCommand(m_app, Hwnd()))
        RefreshAfterChange(chunk.Get());
}

void CPropDlg::EditChunk(const Ref<text_chunk>& chunk) {
    // Held here: the lists let go of their rows while they are refilled.
    const Ref<text_chunk> edited = chunk;
    if (EditChunkCommand(m_app, Hwnd(), edited))
        RefreshAfterChange(edited.Get());
}

void CPropDlg::OpenWindowsList() {
    CWynElement* paste = FindById(L"paste");
    CWynElement* paste_to = FindById(L"paste-to");
    if (!paste || !paste->Hwnd() || !paste_to || !paste_to->Hwnd())
        return;
    RECT paste_rect{}, paste_to_rect{};
    ::GetWindowRect(paste->Hwnd(), &paste_rect);
    ::GetWindowRect(paste_to->Hwnd(), &paste_to_rect);
    // A chooser still open goes first; this one lives until the next opening.
    m_windowsList.reset();
    m_windowsList = std::make_unique<kelvo::CWindowsList>(
        kelvo::ChoosableWindows(Hwnd()),
        [this](const kelvo::TargetWindow& chosen) { m_app.ChoosePasteTarget(chosen.window); });
    m_windowsList->Open(Hwnd(), paste_rect, paste_to_rect);
}

void CPropDlg::DeleteChunk(const Ref<text_chunk>& chunk) {
    const std::wstring question =
        WithTitle(Text(L"WYN_STR_Q_DELCHUNK", L"Do you want to delete the selected chunk '%s'?"),
                  chunk->title);
    if (::MessageBoxW(Hwnd(), question.c_str(), Text(L"appname", L"Kelvo"),
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // The chunk stays alive through `chunk` while the lists let go of it.
    const Ref<text_chunk> deleted = chunk;
    m_app.Chunks().DeleteChunk(deleted->id);
    m_rowHeights.Forget(*deleted);
    auto tag = SelectedTagName();
    if (tag && !deleted->HasTag(*tag))
        tag.reset();
    RefreshFound();
    FillTagList(tag);
    FillChunkList(0);
}

void CPropDlg::ChunkMenu(const Ref<text_chunk>& chunk, POINT at) {
    enum : UINT { kEdit = 1, kPaste = 2, kDelete = 3 };
    const kelvo::UniqueHmenu menu(::CreatePopupMenu());
    ::AppendMenuW(menu.Get(), MF_STRING, kEdit, Text(L"WYN_LST_CTX_EDIT", L"Edit..."));
    ::AppendMenuW(menu.Get(), MF_STRING, kPaste, Text(L"WYN_LST_CTX_PASTE", L"Paste"));
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.Get(), MF_STRING, kDelete, Text(L"WYN_LST_CTX_DELETE", L"Delete"));
    ::SetMenuDefaultItem(menu.Get(), m_app.CurrentSettings().paste_on_dblclick ? kPaste : kEdit,
                         FALSE);
    const Ref<text_chunk> chosen = chunk;
    switch (::TrackPopupMenu(menu.Get(), TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, Hwnd(),
                             nullptr)) {
    case kEdit:
        EditChunk(chosen);
        break;
    case kPaste:
        Paste(*chosen, PasteTrigger::kOther);
        break;
    case kDelete:
        DeleteChunk(chosen);
        break;
    default:
        break;
    }
}

void CPropDlg::ConfigurationMenu() {
    enum : UINT { kSettings = 1, kPassword = 2, kAbout = 3, kExit = 4, kWebsite = 7, kForget = 8 };
    const kelvo::UniqueHmenu menu(::CreatePopupMenu());
    ::AppendMenuW(menu.Get(), MF_STRING, kSettings, Text(L"WYN_MENU_CFG_SETTINGS", L"Settings..."));
    ::AppendMenuW(menu.Get(), MF_STRING, kPassword,
                  Text(L"WYN_MENU_CFG_PASSWORD", L"Master password..."));
    if (m_app.IsPasswordCached()) {
        ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(menu.Get(), MF_STRING, kForget,
                      Text(L"WYN_MENU_CFG_CLEARPWD", L"Forget password"));
    }
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.Get(), MF_STRING, kAbout, Text(L"WYN_MENU_CFG_ABOUT", L"About Kelvo..."));
    if (*HomePage())
        ::AppendMenuW(menu.Get(), MF_STRING, kWebsite,
                      Text(L"WYN_MENU_CFG_WEBSITE", L"Kelvo website"));
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.Get(), MF_STRING, kExit, Text(L"WYN_MENU_CFG_EXIT", L"Exit"));
    RECT button{};
    if (CWynElement* wrench = FindById(L"btn-wrench"); wrench && wrench->Hwnd())
        ::GetWindowRect(wrench->Hwnd(), &button);
    switch (::TrackPopupMenu(menu.Get(), TPM_RIGHTALIGN | TPM_RETURNCMD, button.right,
                             button.bottom, 0, Hwnd(), nullptr)) {
    case kSettings:
        m_app.EditSettings(Hwnd());
        break;
    case kPassword:
        EditMasterPassword(m_app.Engine(), Hwnd(), m_app.Chunks().IsNewLibrary());
        break;
    case kForget:
        m_app.ForgetPassword();
        break;
    case kAbout:
        m_app.ShowAbout(Hwnd());
        break;
    case kWebsite:
        ::ShellExecuteW(Hwnd(), nullptr, HomePage(), nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case kExit:
        ::PostQuitMessage(0);
        break;
    default:
        break;
    }
}

// Events.

std::int64_t CPropDlg::OnEvent(CWynElement* source, std::wstring_view name, WPARAM first,
                               LPARAM second) {
    if (!source)
        return 0;
    if (source == m_tagList || source == m_chunkList)
        return OnListEvent(*static_cast<CWynCustomList*>(source), name, first, second);
    if (name == L"custombtn-getsize" || name == L"custombtn-paint" || name == L"clicked")
        return OnButtonEvent(*source, name, first, second);
    if (source == m_findBox && name == L"changed") {
        FullRefresh();
        return 1;
    }
    if (IsId(*source, L"spacer") && name == L"freedraw") {
        kelvo::PaintToolbarSpacer(reinterpret_cast<HDC>(first), *reinterpret_cast<RECT*>(second),
                                  GetDpi());
        return 1;
    }
    return 0;
}

std::int64_t CPropDlg::OnListEvent(CWynCustomList& list, std::wstring_view name, WPARAM first,
                                   LPARAM second) {
    // Rows are numbers into this window's own vectors: nothing to free.
    if (name == L"customlst-delitem")
        return 0;
    const bool tags = &list == m_tagList;
    const auto index = static_cast<std::size_t>(first);
    const bool valid = tags ? index < m_tagRows.size() : index < m_chunkRows.size();
    if (name == L"customlst-getheight") {
        auto& measure = *reinterpret_cast<CWynCustomList::MeasureRecord*>(second);
        const auto dc = reinterpret_cast<HDC>(first);
        const auto row = static_cast<std::size_t>(measure.data);
        if (tags) {
            // Every tag row has the same height, measured once.
            if (m_tagRowHeight == 0)
                m_tagRowHeight = kelvo::TagRowHeight(dc, list.GetFont(), list.GetDpi());
            measure.height = static_cast<std::uint32_t>(m_tagRowHeight);
        } else if (row < m_chunkRows.size())
            measure.height = static_cast<std::uint32_t>(
                m_rowHeights.Height(dc, m_chunkRows[row], measure.width, m_chunkRowPlaces[row]));
        return 1;
    }
    if (name == L"customlst-drawitem") {
        const auto& context = *reinterpret_cast<const kelvo::CPaintContext*>(first);
        const auto& draw = *reinterpret_cast<const CWynCustomList::DrawRecord*>(second);
        const auto row = static_cast<std::size_t>(draw.data);
        if (tags && row < m_tagRows.size())
            kelvo::PaintTagRow(context, m_app.Engine(), draw.rect, draw.state != 0, m_tagRows[row]);
        else if (!tags && row < m_chunkRows.size())
            kelvo::PaintChunkRow(context, m_app.Engine(), draw.rect, draw.index, draw.state != 0,
                                 *m_chunkRows[row], m_titleFont.Get());
        return 1;
    }
    if (name == L"customlst-getname") {
        if (valid)
            *reinterpret_cast<std::wstring*>(second) =
                tags ? m_tagRows[index].name : m_chunkRows[index]->title;
        return 1;
    }
    if (name == L"customlst-selchanged") {
        if (tags) {
            const auto* chunk = SelectedChunk();
            FillChunkList(chunk ? (*chunk)->id : 0);
        } else {
            EnableChunkButtons();
        }
        return 1;
    }
    if (tags) {
        if (name == L"customlst-dblclick")
            AddTagToFind(static_cast<int>(index));
        return name == L"customlst-dblclick" ? 1 : 0;
    }
    if (!valid)
        return 0;
    const Ref<text_chunk> chunk = m_chunkRows[index];
    const bool paste_on_dblclick = m_app.CurrentSettings().paste_on_dblclick != 0;
    if (name == L"customlst-dblclick") {
        if (paste_on_dblclick)
            Paste(*chunk, PasteTrigger::kOther);
        else
            EditChunk(chunk);
    } else if (name == L"customlst-keyenter") {
        if (paste_on_dblclick)
            Paste(*chunk, PasteTrigger::kEnterKey);
        else
            EditChunk(chunk);
    } else if (name == L"customlst-keydel") {
        DeleteChunk(chunk);
    } else if (name == L"customlst-ctxmenu") {
        ChunkMenu(chunk, {GET_X_LPARAM(second), GET_Y_LPARAM(second)});
    } else {
        return 0;
    }
    return 1;
}

std::int64_t CPropDlg::OnButtonEvent(CWynElement& button, std::wstring_view name, WPARAM first,
                                     LPARAM second) {
    const auto is = [&](const wchar_t* id) { return IsId(button, id); };
    if (name == L"clicked") {
        if (is(L"btn-new")) {
            NewChunk();
        } else if (is(L"btn-edit")) {
            if (const auto* chunk = SelectedChunk())
                EditChunk(*chunk);
        } else if (is(L"btn-delete")) {
            if (const auto* chunk = SelectedChunk())
                DeleteChunk(*chunk);
        } else if (is(L"btn-wrench")) {
            ConfigurationMenu();
        } else if (is(L"paste-to")) {
            OpenWindowsList();
        } else if (is(L"paste")) {
            PasteSelected(PasteTrigger::kOther);
        } else if (is(L"clear-find") && m_findBox) {
            m_findBox->SetTextValue(L"");
            FullRefresh();
        } else {
            return 0;
        }
        return 1;
    }
    const kelvo::WindowDc paste_dc(FindById(L"paste") ? FindById(L"paste")->Hwnd() : Hwnd());
    if (name == L"custombtn-getsize") {
        SIZE& size = *reinterpret_cast<SIZE*>(first);
        HFONT font = button.GetFont();
        const UINT dpi = button.GetDpi();
        if (is(L"paste")) {
            size = kelvo::PasteButtonSize(paste_dc.Get(), font, dpi,
                                          Text(L"WYN_STR_BTN_PASTE", L"Paste Chunk to:"));
        } else if (is(L"paste-to")) {
            size = kelvo::PasteToButtonSize(paste_dc.Get(), font, dpi);
        } else if (is(L"clear-find")) {
            const RECT units = UnitsToPixels({0, 0, 14, 14});
            size = {units.right, units.bottom};
        } else {
            size = kelvo::ToolbarButtonSize(paste_dc.Get(), font, dpi);
        }
        return 1;
    }
    // "custombtn-paint"
    const auto& context = *reinterpret_cast<const kelvo::CPaintContext*>(first);
    const auto& paint = *reinterpret_cast<const CWynCustomButton::PaintRecord*>(second);
    if (is(L"paste")) {
        kelvo::PaintPasteButton(context, m_app.Engine(), paint.client, paint.state,
                                Text(L"WYN_STR_BTN_PASTE", L"Paste Chunk to:"),
                                m_app.PasteTarget());
    } else if (is(L"paste-to")) {
        kelvo::PaintPasteToButton(context, paint.client, paint.state);
    } else if (is(L"clear-find")) {
        kelvo::PaintClearFindButton(context, paint.client, paint.state);
    } else {
        static constexpr struct {
            const wchar_t* id;
            const wchar_t* image;
        } kToolbar[] = {{L"btn-new", L"tb-add.png"},
                        {L"btn-edit", L"tb-edit.png"},
                        {L"btn-delete", L"tb-delete.png"},
                        {L"btn-wrench", L"settings.png"}};
        for (const auto& tool : kToolbar)
            if (is(tool.id))
                kelvo::PaintToolbarButton(context, m_app.Engine(), paint.client, paint.state,
                                          tool.image, button.IsDisabled());
    }
    return 1;
}

// The window's state between openings.

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
    const auto* chunk = SelectedChunk();
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
        {L"btn-wrench", L"WYN_TIPS_SETTINGS", L"Customize and control Kelvo"},
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
