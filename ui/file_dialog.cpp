#include "ui/file_dialog.h"

#include <shobjidl.h>

#include "base/com.h"
#include "base/system_message.h"
#include "ui/kv_wyn_engine.h"

namespace {

std::optional<std::wstring> ChosenPath(IFileDialog& dialog) {
    kelvo::ComPtr<IShellItem> item;
    if (FAILED(dialog.GetResult(item.Put())))
        return std::nullopt;
    wchar_t* path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)))
        return std::nullopt;
    std::wstring chosen(path);
    ::CoTaskMemFree(path);
    return chosen;
}

} // namespace

std::optional<std::wstring> ShowChunkFileDialog(CkvWynEngine& engine, HWND owner,
                                                ChunkFileDialog kind) {
    auto text = [&](const wchar_t* key, const wchar_t* english) {
        return engine.GetString(key, nullptr, english);
    };
    auto tell = [&](HRESULT failure) {
        ::MessageBoxW(owner, kelvo::SystemMessage(static_cast<DWORD>(failure)).c_str(),
                      text(L"appname", L"Kelvo"), MB_OK | MB_ICONERROR);
    };
    const bool save = kind == ChunkFileDialog::kSave;
    kelvo::ComPtr<IFileDialog> dialog;
    const HRESULT made =
        ::CoCreateInstance(save ? CLSID_FileSaveDialog : CLSID_FileOpenDialog, nullptr,
                           CLSCTX_INPROC_SERVER, IID_IFileDialog, dialog.PutVoid());
    if (FAILED(made)) {
        tell(made);
        return std::nullopt;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    options |= FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST;
    if (save) {
        // The first type is the default; the name's extension follows the type chosen.
        const COMDLG_FILTERSPEC types[] = {
            {text(L"WYN_FILE_JSON", L"JSON chunk file (*.json)"), L"*.json"},
            {text(L"WYN_FILE_CSV", L"CSV, for spreadsheet programs (*.csv)"), L"*.csv"},
        };
        dialog->SetFileTypes(ARRAYSIZE(types), types);
        dialog->SetDefaultExtension(L"json");
        dialog->SetFileName(L"chunks");
        dialog->SetTitle(text(L"WYN_TITLE_EXPORT", L"Export chunks"));
        options |= FOS_OVERWRITEPROMPT | FOS_NOREADONLYRETURN;
    } else {
        const COMDLG_FILTERSPEC types[] = {
            {text(L"WYN_FILE_CHUNKS", L"Chunk files (*.json, *.csv)"), L"*.json;*.csv"},
            {text(L"WYN_FILE_ALL", L"All files (*.*)"), L"*.*"},
        };
        dialog->SetFileTypes(ARRAYSIZE(types), types);
        dialog->SetTitle(text(L"WYN_TITLE_IMPORT", L"Import chunks"));
        options |= FOS_FILEMUSTEXIST;
    }
    dialog->SetOptions(options);
    if (const HRESULT shown = dialog->Show(owner); FAILED(shown)) {
        if (shown != HRESULT_FROM_WIN32(ERROR_CANCELLED))
            tell(shown);
        return std::nullopt;
    }
    return ChosenPath(*dialog.Get());
}
