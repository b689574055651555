// The chunk browser's commands: paste, new, edit and delete a chunk, import
// chunks, choose the window to paste into.

#include "ui/browser/prop_dlg.h"

#include "ui/browser/chunk_commands.h"
#include "ui/browser/transfer_commands.h"

namespace {

// The text with its first "%s" replaced: the user's title is never read as a
// format.
std::wstring WithTitle(std::wstring_view text, std::wstring_view title) {
    std::wstring result(text);
    if (const auto at = result.find(L"%s"); at != result.npos)
        result.replace(at, 2, title);
    return result;
}

} // namespace

void CPropDlg::Paste(const CShownChunk& chunk, PasteTrigger trigger) {
    // What is pasted is the chunk as shown, alive through `chunk` while the
    // password is asked for.
    m_app.Paste(*this, *chunk, trigger);
}

void CPropDlg::PasteSelected(PasteTrigger trigger) {
    if (const auto chunk = SelectedChunk())
        Paste(*chunk, trigger);
}

void CPropDlg::NewChunk() {
    if (const auto chunk = NewChunkCommand(m_app, Hwnd()))
        RefreshAfterChange(chunk.Get());
}

void CPropDlg::EditChunk(const CShownChunk& chunk) {
    // Changed elsewhere while the editor was open, the store keeps that
    // version and stores the user's as a chunk of its own, and tells.
    if (EditChunkCommand(m_app, Hwnd(), chunk.Held()))
        RefreshAfterChange(chunk.Held().Get());
}

void CPropDlg::ImportChunks() {
    if (ImportChunksCommand(m_app, Hwnd()))
        FullRefresh();
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

void CPropDlg::DeleteChunk(const CShownChunk& chunk) {
    const std::wstring question =
        WithTitle(Text(L"WYN_STR_Q_DELCHUNK", L"Do you want to delete the selected chunk '%s'?"),
                  chunk->title);
    if (::MessageBoxW(Hwnd(), question.c_str(), Text(L"appname", L"Kelvo"),
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // The library may have been read again while the question was open: only
    // the chunk the user saw is deleted, as the user saw it.
    if (!chunk.StillIn(m_app.Chunks())) {
        const std::wstring told = WithTitle(
            Text(
                L"WYN_MSG_CHUNK_CHANGED_MEANWHILE",
                L"The chunk '%s' was changed or deleted elsewhere meanwhile. Nothing was deleted."),
            chunk->title);
        ::MessageBoxW(Hwnd(), told.c_str(), Text(L"appname", L"Kelvo"), MB_OK | MB_ICONWARNING);
        return;
    }
    m_app.Chunks().DeleteChunk(chunk->id);
    m_rowHeights.Forget(*chunk);
    auto tag = SelectedTagName();
    if (tag && !chunk->HasTag(*tag))
        tag.reset();
    RefreshFound();
    FillTagList(tag);
    FillChunkList(0);
}
