#include "ui/browser/transfer_commands.h"

#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

#include "base/fill_text.h"
#include "base/system_message.h"
#include "library/chunk_transfer.h"
#include "ui/browser/browser_app.h"

using kelvo::ExchangeChunk;
using kelvo::ExchangeError;
using kelvo::FillText;
using kelvo::Ref;

namespace {

std::wstring Number(std::size_t n) {
    return std::to_wstring(n);
}

// Messages in front of the browser, in the program's words.
class CMessages {
public:
    CMessages(CBrowserApp& app, HWND owner) : m_app(app), m_owner(owner) {}

    const wchar_t* Text(const wchar_t* key, const wchar_t* english) const {
        return m_app.Engine().GetString(key, nullptr, english);
    }
    int Show(const std::wstring& text, UINT flags) const {
        return ::MessageBoxW(m_owner, text.c_str(), Text(L"appname", L"Kelvo"), flags);
    }
    void Error(const std::wstring& text) const { Show(text, MB_OK | MB_ICONERROR); }

private:
    CBrowserApp& m_app;
    HWND m_owner;
};

// Why a file was refused, with the place of its first fault.
std::wstring Fault(const CMessages& say, const ExchangeError& error) {
    using Kind = ExchangeError::Kind;
    struct Reason {
        Kind kind;
        const wchar_t* key;
        const wchar_t* english;
    };
    static constexpr Reason kReasons[] = {
        {Kind::kEmpty, L"WYN_IMPORT_EMPTY", L"The file is empty."},
        {Kind::kTooLarge, L"WYN_IMPORT_TOOLARGE", L"The file is too large to import."},
        {Kind::kNotText, L"WYN_IMPORT_NOTTEXT",
         L"The file is not text (line %1, column %2 holds a zero byte)."},
        {Kind::kUtf16, L"WYN_IMPORT_UTF16",
         L"The file is UTF-16 text. Save it as UTF-8 and import it again."},
        {Kind::kNotUtf8, L"WYN_IMPORT_NOTUTF8",
         L"Line %1, column %2: the file is not UTF-8 text from here on."},
        {Kind::kUnclosedQuote, L"WYN_IMPORT_QUOTE",
         L"Line %1, column %2: the quoted field that begins here has no closing quote."},
        {Kind::kTextAfterQuote, L"WYN_IMPORT_AFTERQUOTE",
         L"Line %1, column %2: text follows a closing quote before the next comma."},
        {Kind::kJsonSyntax, L"WYN_IMPORT_JSON", L"Line %1, column %2: this is not valid JSON."},
        {Kind::kNotOurJson, L"WYN_IMPORT_NOTCHUNKS",
         L"The file is JSON, but not a Kelvo chunk file."},
        {Kind::kNewerVersion, L"WYN_IMPORT_NEWER",
         L"The file is a chunk file of a later version, which this version of Kelvo cannot "
         L"read."},
        {Kind::kWrongValue, L"WYN_IMPORT_VALUE",
         L"Line %1, column %2: a value of the wrong kind (a text, a list of texts or true or "
         L"false was expected)."},
        {Kind::kNoChunks, L"WYN_IMPORT_NOCHUNKS", L"The file holds no chunk."},
        {Kind::kTooManyChunks, L"WYN_IMPORT_TOOMANY",
         L"Line %1: the file holds more chunks than Kelvo can import at once."},
    };
    for (const Reason& reason : kReasons)
        if (reason.kind == error.kind)
            return FillText(say.Text(reason.key, reason.english),
                            {Number(static_cast<std::size_t>(error.line)),
                             Number(static_cast<std::size_t>(error.column))});
    return {};
}

} // namespace

void ExportChunksCommand(CBrowserApp& app, HWND owner, std::span<const Ref<text_chunk>> rows) {
    const CMessages say(app, owner);
    // Held from the start: the rows are rebuilt when the library changes
    // during one of the questions below.
    const std::vector<Ref<text_chunk>> shown(rows.begin(), rows.end());
    std::vector<Ref<text_chunk>> chunks;
    for (const auto& [id, chunk] : app.Chunks().Chunks())
        chunks.push_back(chunk);
    if (chunks.empty()) {
        say.Show(say.Text(L"WYN_EXPORT_NOTHING", L"The library holds no chunk to export."),
                 MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!shown.empty() && shown.size() < chunks.size()) {
        const int scope =
            say.Show(FillText(say.Text(L"WYN_EXPORT_SCOPE",
                                       L"Export only the %1 chunks the search shows?\n\n"
                                       L"Yes: only those.\nNo: the whole library (%2 chunks)."),
                              {Number(shown.size()), Number(chunks.size())}),
                     MB_YESNOCANCEL | MB_ICONQUESTION);
        if (scope == IDCANCEL)
            return;
        if (scope == IDYES)
            chunks.assign(shown.begin(), shown.end());
    }

    std::size_t encrypted = 0;
    for (const auto& chunk : chunks)
        encrypted += chunk->encrypted ? 1 : 0;
    kelvo::CipherKey key;
    bool in_clear = false;
    if (encrypted > 0) {
        const int answer = say.Show(
            FillText(say.Text(L"WYN_EXPORT_ENCRYPTED",
                              L"%1 of these chunks are encrypted. Export them in clear too?\n\n"
                              L"The file will hold their texts readable by anyone who can open "
                              L"it.\n\nYes: export them in clear (the master password is "
                              L"needed).\nNo: leave them out."),
                     {Number(encrypted)}),
            MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);
        if (answer == IDCANCEL)
            return;
        in_clear = answer == IDYES;
        if (in_clear && !app.ObtainDataKey(owner, key))
            return;
        if (!in_clear && encrypted == chunks.size()) {
            say.Show(say.Text(L"WYN_EXPORT_ALLENCRYPTED",
                              L"Nothing to export: every chunk is encrypted."),
                     MB_OK | MB_ICONINFORMATION);
            return;
        }
    }

    const auto path = app.ChooseChunkFile(owner, ChunkFileDialog::kSave);
    if (!path)
        return;
    std::vector<ExchangeChunk> exported;
    std::wstring undecryptable;
    if (!ChunksForExport(chunks, in_clear ? &key : nullptr, exported, undecryptable)) {
        say.Error(FillText(say.Text(L"WYN_EXPORT_DECRYPT",
                                    L"The chunk '%1' does not decrypt with the master "
                                    L"password. Nothing was exported."),
                           {undecryptable}));
        return;
    }
    const bool written = WriteChunkFile(*path, ChunkFileFormatOf(*path), exported);
    const DWORD error = ::GetLastError();
    WipeClearTexts(exported);
    if (!written) {
        say.Error(FillText(say.Text(L"WYN_EXPORT_FAILED", L"%1 could not be written:\n%2"),
                           {*path, kelvo::SystemMessage(error)}));
        return;
    }
    say.Show(FillText(say.Text(L"WYN_EXPORT_DONE", L"%1 chunks were exported to %2."),
                      {Number(exported.size()), *path}),
             MB_OK | MB_ICONINFORMATION);
}

bool ImportChunksCommand(CBrowserApp& app, HWND owner) {
    const CMessages say(app, owner);
    const auto path = app.ChooseChunkFile(owner, ChunkFileDialog::kOpen);
    if (!path)
        return false;
    ChunkFileRead read = ReadChunkFile(*path);
    if (read.error != ERROR_SUCCESS) {
        say.Error(FillText(say.Text(L"WYN_IMPORT_UNREADABLE", L"%1 could not be read:\n%2"),
                           {*path, kelvo::SystemMessage(read.error)}));
        return false;
    }
    if (const auto* error = std::get_if<ExchangeError>(&read.result)) {
        say.Error(FillText(say.Text(L"WYN_IMPORT_REFUSED",
                                    L"%1 cannot be imported.\n\n%2\n\nNothing was imported."),
                           {*path, Fault(say, *error)}));
        return false;
    }
    auto& chunks = std::get<std::vector<ExchangeChunk>>(read.result);
    // The secrets' clear texts go as soon as they are stored or refused.
    struct Wiper {
        std::vector<ExchangeChunk>& chunks;
        ~Wiper() { WipeClearTexts(chunks); }
    } wiper{chunks};

    std::size_t encrypted = 0;
    for (const auto& chunk : chunks)
        encrypted += chunk.encrypted ? 1 : 0;
    // With the key the library's encrypted chunks are compared by their
    // texts; it is asked for only when the file holds chunks to encrypt.
    kelvo::CipherKey key;
    bool has_key = false;
    if (encrypted > 0) {
        has_key = app.ObtainDataKey(owner, key);
        if (!has_key) {
            say.Error(FillText(say.Text(L"WYN_IMPORT_NOKEY",
                                        L"The file holds %1 chunks to be stored encrypted, "
                                        L"which needs the master password. Nothing was "
                                        L"imported."),
                               {Number(encrypted)}));
            return false;
        }
    } else if (app.IsPasswordCached()) {
        has_key = app.ObtainDataKey(owner, key);
    }

    CChunkStore& store = app.Chunks();
    kelvo::ImportPlan plan = PlanImport(store, chunks, has_key ? &key : nullptr);
    for (;;) {
        if (plan.fresh + plan.beside == 0) {
            say.Show(FillText(say.Text(L"WYN_IMPORT_NOTHING",
                                       L"Nothing to import: the library holds every chunk of "
                                       L"the file (%1) already."),
                              {Number(chunks.size())}),
                     MB_OK | MB_ICONINFORMATION);
            return false;
        }
        const unsigned revision = store.Revision();
        const std::wstring preview =
            FillText(say.Text(L"WYN_IMPORT_PREVIEW",
                              L"%1 holds %2 chunks:\n\n"
                              L"%3 new\n"
                              L"%4 identical to a chunk in the library (skipped)\n"
                              L"%5 with the title of a chunk in the library but different (added "
                              L"beside it)\n\n"
                              L"Import %6 chunks?"),
                     {*path, Number(chunks.size()), Number(static_cast<std::size_t>(plan.fresh)),
                      Number(static_cast<std::size_t>(plan.identical)),
                      Number(static_cast<std::size_t>(plan.beside)),
                      Number(static_cast<std::size_t>(plan.fresh + plan.beside))});
        if (say.Show(preview, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return false;
        if (store.Revision() == revision)
            break;
        // The library changed while the user looked: the plan again, and
        // the question again if it came out otherwise.
        kelvo::ImportPlan fresh = PlanImport(store, chunks, has_key ? &key : nullptr);
        const bool same = fresh.fresh == plan.fresh && fresh.identical == plan.identical &&
                          fresh.beside == plan.beside;
        plan = std::move(fresh);
        if (same)
            break;
    }
    int stored = 0;
    if (!StoreImport(store, chunks, plan, has_key ? &key : nullptr, stored)) {
        say.Error(say.Text(L"WYN_IMPORT_NOTENCRYPTED",
                           L"A chunk to be stored encrypted holds a character the encrypted "
                           L"form cannot carry. Nothing was imported."));
        return false;
    }
    return stored > 0;
}
