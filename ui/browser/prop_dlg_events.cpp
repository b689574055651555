// What the chunk browser's elements report: the rows measured, painted and
// named, the buttons sized and painted, and clicks, keys and selections
// turned into the commands.

#include "ui/browser/prop_dlg.h"

#include <windowsx.h>

#include "ui/custom_button.h"
#include "ui/custom_list.h"
#include "ui/toolbar_paint.h"

bool CPropDlg::IsId(const CWynElement& element, std::wstring_view id) {
    return element.Id() && SameText(*element.Id(), id);
}

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
        } else if (row < m_chunkRows.size() && measure.exact) {
            measure.height = static_cast<std::uint32_t>(
                m_rowHeights.Height(dc, m_chunkRows[row], measure.width, m_chunkRowPlaces[row]));
        } else if (row < m_chunkRows.size()) {
            const auto estimate = m_rowHeights.EstimateHeight(dc, m_chunkRows[row], measure.width,
                                                              m_chunkRowPlaces[row]);
            measure.height = static_cast<std::uint32_t>(estimate.height);
            measure.estimated = estimate.estimated;
        }
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
    if (name == L"customlst-gettip") {
        if (valid && RowTextCut(list, index))
            *reinterpret_cast<std::wstring*>(second) =
                tags ? m_tagRows[index].name : m_chunkRows[index]->title;
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
            const auto chunk = SelectedChunk();
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
    const CShownChunk chunk(m_chunkRows[index]);
    const bool paste_on_dblclick = m_app.PasteOnDoubleClick();
    if (name == L"customlst-dblclick") {
        if (paste_on_dblclick)
            Paste(chunk, PasteTrigger::kOther);
        else
            EditChunk(chunk);
    } else if (name == L"customlst-keyenter") {
        if (paste_on_dblclick)
            Paste(chunk, PasteTrigger::kEnterKey);
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

bool CPropDlg::RowTextCut(const CWynCustomList& list, std::size_t row) const {
    const kelvo::WindowDc dc(list.Hwnd());
    const kelvo::SelectedObject font(dc.Get(), list.GetFont());
    RECT client{};
    ::GetClientRect(list.Hwnd(), &client);
    if (&list == m_tagList)
        return kelvo::LayoutTagRow(dc.Get(), list.GetDpi(), client, m_tagRows[row]).name_cut;
    return kelvo::ChunkTitleCut(dc.Get(), list.GetDpi(), client, *m_chunkRows[row],
                                m_titleFont.Get());
}

std::int64_t CPropDlg::OnButtonEvent(CWynElement& button, std::wstring_view name, WPARAM first,
                                     LPARAM second) {
    const auto is = [&](const wchar_t* id) { return IsId(button, id); };
    if (name == L"clicked") {
        if (is(L"btn-new")) {
            NewChunk();
        } else if (is(L"btn-edit")) {
            if (const auto chunk = SelectedChunk())
                EditChunk(*chunk);
        } else if (is(L"btn-delete")) {
            if (const auto chunk = SelectedChunk())
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
