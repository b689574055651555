#include "ui/browser/chunk_commands.h"

#include "base/utf16.h"
#include "base/wipe.h"
#include "library/tokenizer.h"
#include "paste/line_ends.h"
#include "ui/browser/browser_app.h"
#include "ui/browser/edit_chunk_dlg.h"

namespace {

CEditChunkDlg::ObtainKey KeyFrom(CBrowserApp& app) {
    return [&app](HWND owner, kelvo::CipherKey& key) { return app.ObtainDataKey(owner, key); };
}

std::vector<std::wstring> TagsOf(const std::wstring& text) {
    std::vector<std::wstring> tags;
    for (const auto& tag : SplitTags(kelvo::AsU16(text)))
        tags.emplace_back(kelvo::AsWide(tag));
    return tags;
}

// The editor's values as a chunk, encrypted when the user asked. False when
// the text cannot be stored encrypted: then nothing is to be stored.
bool FromEditor(CEditChunkDlg& dialog, text_chunk& chunk) {
    chunk.title = dialog.m_title.value_or(L"");
    // Encrypt wipes the plain text it replaces.
    chunk.text = dialog.m_text ? dialog.m_text->view() : std::wstring_view();
    chunk.encrypted = false;
    return !dialog.m_encrypted || chunk.Encrypt(dialog.m_dataKey);
}

} // namespace

kelvo::Ref<text_chunk> NewChunkCommand(CBrowserApp& app, HWND owner) {
    CEditChunkDlg dialog(&app.Engine(), app.Chunks(), KeyFrom(app));
    if (dialog.DoModal(owner) != IDOK)
        return {};
    auto chunk = kelvo::MakeRef<text_chunk>();
    if (!FromEditor(dialog, *chunk))
        return {};
    if (dialog.m_tags)
        chunk->tags = TagsOf(*dialog.m_tags);
    app.Chunks().PutChunk(chunk);
    return chunk;
}

bool EditChunkCommand(CBrowserApp& app, HWND owner, const kelvo::Ref<text_chunk>& stored) {
    text_chunk& chunk = *stored;
    CEditChunkDlg dialog(&app.Engine(), app.Chunks(), KeyFrom(app));
    kelvo::WipedString<char16_t> plain;
    std::u16string_view text = kelvo::AsU16(chunk.text);
    if (chunk.encrypted) {
        if (!app.ObtainDataKey(owner, dialog.m_dataKey))
            return false;
        dialog.m_hasDataKey = true;
        dialog.m_encrypted = 1;
        if (!kelvo::CCipher().Decrypt(dialog.m_dataKey, text, plain)) {
            ::MessageBoxW(owner,
                          app.Engine().GetString(L"WYN_MSG_DECRYPT_ERROR", nullptr,
                                                 L"Impossible to decrypt the chunk text."),
                          app.Engine().GetString(L"appname", nullptr, L"Kelvo"),
                          MB_OK | MB_ICONERROR);
            return false;
        }
        text = plain;
    }
    // Bare line feeds are shown as line breaks.
    auto& shown = dialog.m_text.emplace();
    shown.Resize(kelvo::CrLfLength(text));
    kelvo::CopyWithCrLf(text, reinterpret_cast<char16_t*>(shown.data()));
    dialog.m_title = chunk.title;
    dialog.m_tags = chunk.GetTagsString();
    if (dialog.DoModal(owner) != IDOK)
        return false;

    text_chunk edited;
    if (!FromEditor(dialog, edited))
        return false;
    chunk.title = std::move(edited.title);
    chunk.text = std::move(edited.text);
    chunk.encrypted = edited.encrypted;
    if (dialog.m_tags)
        chunk.tags = TagsOf(*dialog.m_tags);
    app.Chunks().PutChunk(stored);
    return true;
}
