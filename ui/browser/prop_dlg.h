#pragma once
// The chunk browser: the find box, the tag list and the chunk list side by
// side, the toolbar, and the "paste" button that names the paste target. It
// runs modal without an owner; the tray window opens it. Its files, by job:
// prop_dlg.cpp its set-up and its state (the find text, the tag and chunk
// rows and their selection, refreshed), prop_dlg_events.cpp what its lists
// and buttons report, prop_dlg_commands.cpp its commands, prop_dlg_menus.cpp
// its menus, prop_dlg_placement.cpp its place and state between openings.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/win_handles.h"
#include "library/chunk_finder.h"
#include "paste/held_modifiers.h"
#include "paste/paste_host.h"
#include "ui/autocomplete.h"
#include "ui/browser/browser_app.h"
#include "ui/browser/library_changes.h"
#include "ui/browser/shown_chunk.h"
#include "ui/chunk_rows.h"
#include "ui/windows_list.h"
#include "wyn/host/wyn_dialog.h"

class CWynCustomList;

class CPropDlg : public CWynDialog, public kelvo::CPasteHost {
public:
    explicit CPropDlg(CBrowserApp& app);
    ~CPropDlg() override;

    std::int64_t OnEvent(CWynElement* source, std::wstring_view name, WPARAM first,
                         LPARAM second) override;
    void OnBeforeInit() override;
    // The row fonts and heights at the dialog's DPI.
    void UpdatePixels() override;
    bool OnInitDialog() override;
    // The close box saves the window's state and ends it; Enter pastes the
    // current chunk and Escape does nothing: both leave it open.
    bool CanClose(int reason) override;
    // Alt+N, Alt+W and Alt+E (the configuration menu), which no menu takes.
    bool PreMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                    INT_PTR& result) override;

    HWND Window() const override { return Hwnd(); }
    kelvo::CHeldModifiers& HeldModifiers() override { return m_heldModifiers; }
    void PasteTargetChanged() override;

    // The searches and list fillings the find box, the tag list and changes
    // of the library run.
    void FullRefresh();
    // After the chunk (null: after a delete) was created, changed or
    // deleted: the lists again, the selected tag kept while the chunk still
    // carries it, the chunk current.
    void RefreshAfterChange(const text_chunk* chunk);
    // The name of the current tag row; none for "all chunks".
    std::optional<std::wstring> SelectedTagName() const;
    // The current chunk row's chunk, held as shown; none for none.
    std::optional<CShownChunk> SelectedChunk() const;
    const std::vector<kelvo::TagRow>& TagRows() const noexcept { return m_tagRows; }
    const std::vector<kelvo::Ref<text_chunk>>& ChunkRows() const noexcept { return m_chunkRows; }
    // The window chooser last opened; null before.
    kelvo::CWindowsList* WindowsList() const noexcept { return m_windowsList.get(); }

private:
    // The find box's text; empty without a find box.
    std::wstring FindText() const;
    void RefreshFound();
    void FillTagList(const std::optional<std::wstring>& remembered);
    void FillChunkList(int remembered_id);
    void OfferTagCompletion();
    void EnableChunkButtons();
    void AddTagToFind(int tag_row);

    // The commands on a chunk hold it as shown: each may run modal loops
    // (the password dialog, the editor, a question, a menu) while the lists
    // are rebuilt.
    void Paste(const CShownChunk& chunk, PasteTrigger trigger);
    void PasteSelected(PasteTrigger trigger);
    void NewChunk();
    void EditChunk(const CShownChunk& chunk);
    void DeleteChunk(const CShownChunk& chunk);
    void ChunkMenu(const CShownChunk& chunk, POINT at);
    void ImportChunks();
    void ConfigurationMenu();
    // The chooser of the window to paste into, over the paste buttons.
    void OpenWindowsList();

    // The row of the list shows its tag's name or its chunk's title
    // shortened, at the list's width.
    bool RowTextCut(const CWynCustomList& list, std::size_t row) const;
    std::int64_t OnListEvent(CWynCustomList& list, std::wstring_view name, WPARAM first,
                             LPARAM second);
    std::int64_t OnButtonEvent(CWynElement& button, std::wstring_view name, WPARAM first,
                               LPARAM second);

    // What RestoreState found saved.
    struct Restored {
        bool size = false;
        bool tag_width = false;
    };
    Restored RestoreState();
    // The tag list as wide as its rows need to show their names (up to a cap)
    // and counts whole; when `widen_window`, the window wider by what the list
    // gains, so that the chunk list keeps its width.
    void FitTagList(bool widen_window);
    void SaveState();
    void CreateTooltips();
    const wchar_t* Text(const wchar_t* key, const wchar_t* english) const;
    // Equal but for case, as the user reads them.
    static bool SameText(std::wstring_view a, std::wstring_view b);
    static bool IsId(const CWynElement& element, std::wstring_view id);

    CBrowserApp& m_app;
    CWynCustomList* m_tagList = nullptr;
    CWynCustomList* m_chunkList = nullptr;
    CWynElement* m_findBox = nullptr;
    kelvo::CChunkFinder& m_finder;
    std::vector<kelvo::TagRow> m_tagRows;
    int m_tagRowHeight = 0;
    std::vector<kelvo::Ref<text_chunk>> m_chunkRows;
    std::vector<std::size_t> m_chunkRowPlaces; // each row's place in the finder's title order
    kelvo::UniqueHfont m_titleFont;
    kelvo::CChunkRowHeights m_rowHeights;
    CAutoComplete m_tagCompletion;
    kelvo::CHeldModifiers m_heldModifiers;
    kelvo::UniqueHicon m_smallIcon;
    kelvo::UniqueHicon m_bigIcon;
    kelvo::UniqueHwnd m_tooltips;
    std::unique_ptr<kelvo::CWindowsList> m_windowsList;
    std::optional<std::wstring> m_rememberedTag;
    int m_rememberedChunk = 0;
    // While the window exists: the library's changes from elsewhere show.
    CLibraryChanges::Subscription m_libraryChanges;
};
