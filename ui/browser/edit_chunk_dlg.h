#pragma once
// The chunk editor: the title, the tags (typed, or picked from the tags in
// use), the text with a menu of key tokens, and whether the text is stored
// encrypted. It collects the values; the new and edit commands make the
// chunk of them.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/win_handles.h"
#include "base/wipe.h"
#include "crypto/cipher.h"
#include "library/chunk_store.h"
#include "wyn/host/wyn_dialog.h"

class CEditChunkDlg : public CWynDialog {
public:
    // Asked for the data key, with the editor's window as the owner of the
    // password dialog, when the user saves with "Encrypt chunk text" ticked;
    // false (the password not given) keeps the editor open with everything
    // in it, so that nothing is stored in clear against the user's choice.
    using ObtainKey = std::function<bool(HWND owner, kelvo::CipherKey&)>;

    CEditChunkDlg(CWynEngine* engine, const CChunkStore& store, ObtainKey obtain_key);

    std::int64_t OnEvent(CWynElement* source, std::wstring_view name, WPARAM first,
                         LPARAM second) override;
    void OnBeforeInit() override;
    bool OnInitDialog() override;
    // Save keeps it open while the title or the text is empty, or the data
    // key for an encrypted text is not given. Every real close saves the
    // window's placement.
    bool CanClose(int reason) override;
    void DoDataExchange(bool save, CWynElement* scope) override;

    // The values, set before the dialog runs and read after it was saved.
    std::optional<std::wstring> m_tags;
    std::optional<std::wstring> m_title;
    // May be a secret's: every text it holds is wiped as it goes.
    std::optional<kelvo::WipedString<wchar_t>> m_text;
    int m_encrypted = 0;
    // The key given for an encrypted text at Save.
    kelvo::CipherKey m_dataKey;
    bool m_hasDataKey = false;

    const std::vector<std::wstring>& AllTags() const noexcept { return m_allTags; }

private:
    void InsertKeyMenu(CWynElement& button);
    void TagMenu(CWynElement& button);
    // A popup menu of the items under the button's bottom-right corner; the
    // chosen item's index, or -1.
    int ChooseFrom(CWynElement& button, const std::vector<std::wstring>& items);
    void SavePlacement();
    // Without a saved placement: the text box large enough for kFirstLines lines
    // of kFirstColumns characters, the window grown about its centre.
    void FitFirstSize();

    static constexpr int kFirstColumns = 60;
    static constexpr int kFirstLines = 8;

    std::vector<std::wstring> m_allTags;
    ObtainKey m_obtainKey;
    CWynElement* m_editor = nullptr;
    CWynElement* m_tagsBox = nullptr;
    kelvo::UniqueHicon m_smallIcon;
    kelvo::UniqueHicon m_bigIcon;
};
