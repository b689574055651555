#include "app/store_notice.h"

#include "base/system_message.h"
#include "wyn/engine/wyn_engine.h"

namespace {

// The text with each "%s" replaced by the next of `values`.
std::wstring Fill(std::wstring text, std::initializer_list<std::wstring_view> values) {
    std::size_t at = 0;
    for (std::wstring_view value : values) {
        at = text.find(L"%s", at);
        if (at == std::wstring::npos)
            break;
        text.replace(at, 2, value);
        at += value.size();
    }
    return text;
}

std::wstring UnreadableText(const CWynEngine& text_table, const StoreNotice& notice,
                            const std::wstring& library) {
    auto text = [&](const wchar_t* key, const wchar_t* default_text) {
        return std::wstring(text_table.GetString(key, nullptr, default_text));
    };
    std::wstring what;
    switch (notice.state) {
    case FileState::kHeld:
        what = Fill(text(L"WYN_MSG_LIBRARY_HELD", L"The library could not be read:\n%s\n\n%s"),
                    {library, kelvo::SystemMessage(notice.error)});
        break;
    case FileState::kEmpty:
        what = Fill(text(L"WYN_MSG_LIBRARY_EMPTY", L"The library file was empty:\n%s"), {library});
        break;
    case FileState::kForeign:
        what = Fill(text(L"WYN_MSG_LIBRARY_FOREIGN", L"This file is not a Kelvo library:\n%s"),
                    {library});
        break;
    default:
        what = Fill(text(L"WYN_MSG_LIBRARY_DAMAGED",
                         L"The library file could not be read as a library:\n%s"),
                    {library});
        break;
    }
    std::wstring then;
    if (notice.rewritten) {
        then = text(L"WYN_MSG_LIBRARY_REWRITTEN",
                    L"It was written again from the chunks Kelvo holds.");
        if (!notice.kept_copy.empty())
            then += L"\n\n" + Fill(text(L"WYN_MSG_LIBRARY_KEPT", L"What it held is kept as:\n%s"),
                                   {notice.kept_copy});
    } else {
        then = text(L"WYN_MSG_LIBRARY_WAITING",
                    L"Nothing is written into it. Changes are kept while Kelvo runs and saved "
                    L"as soon as the file can be read.");
        if (notice.state == FileState::kEmpty || notice.state == FileState::kDamaged)
            then += L" " + text(L"WYN_MSG_LIBRARY_START_AFRESH",
                                L"To start a new library, move the file away.");
    }
    return what + L"\n\n" + then;
}

} // namespace

std::wstring StoreNoticeText(const CWynEngine& text_table, const StoreNotice& notice,
                             const CChunkStore& store, const std::wstring& library) {
    switch (notice.kind) {
    case StoreNotice::Kind::kUnreadable:
        return UnreadableText(text_table, notice, library);
    case StoreNotice::Kind::kNotSaved:
        return Fill(text_table.GetString(L"WYN_MSG_LIBRARY_NOT_SAVED", nullptr,
                                         L"The library could not be saved:\n%s\n\n%s\n\nChanges "
                                         L"are kept while Kelvo runs and saved as soon as "
                                         L"possible."),
                    {library, kelvo::SystemMessage(notice.error)});
    case StoreNotice::Kind::kConflict: {
        auto ours = store.Chunks().find(notice.conflict_id);
        return Fill(text_table.GetString(L"WYN_MSG_CHUNK_CONFLICT", nullptr,
                                         L"The chunk \u201c%s\u201d was changed elsewhere "
                                         L"meanwhile. That version is kept, and yours was saved "
                                         L"beside it as \u201c%s\u201d."),
                    {notice.title, ours != store.Chunks().end() ? ours->second->title : L""});
    }
    case StoreNotice::Kind::kNotDeleted:
        return Fill(text_table.GetString(L"WYN_MSG_CHUNK_NOT_DELETED", nullptr,
                                         L"The chunk \u201c%s\u201d was changed elsewhere "
                                         L"meanwhile, so it was not deleted."),
                    {notice.title});
    }
    return {};
}
