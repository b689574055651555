#include "app/paste_chunk.h"

#include <string>

#include "app/main_wnd.h"
#include "base/utf16.h"
#include "base/wipe.h"
#include "paste/activate_window.h"
#include "paste/chunk_script.h"
#include "paste/clipboard_delivery.h"
#include "paste/send_input_output.h"
#include "paste/target_window.h"

namespace {

void ShowMessage(CMainWnd& app, HWND owner, const std::wstring& text, UINT icon) {
    ::MessageBoxW(owner, text.c_str(), app.Engine().GetString(L"appname", nullptr, L"Kelvo"),
                  MB_OK | icon);
}

std::wstring Text(CMainWnd& app, const wchar_t* key, const wchar_t* default_text) {
    return app.Engine().GetString(key, nullptr, default_text);
}

// Why the paste of `chunk` stopped, in the user's words.
std::wstring StopText(CMainWnd& app, const text_chunk& chunk,
                      const kelvo::CClipboardDelivery& delivery) {
    const auto fill = [](std::wstring text, const std::wstring& value) {
        if (const std::size_t at = text.find(L"%s"); at != std::wstring::npos)
            text.replace(at, 2, value);
        return text;
    };
    switch (delivery.LastFailure()) {
    case kelvo::CClipboardDelivery::Failure::kNotRead:
        return fill(Text(app, L"WYN_MSG_PASTE_NOT_READ",
                         L"The paste of \"%s\" was stopped: the window to paste into did not "
                         L"take the text. Nothing more was sent."),
                    chunk.title);
    case kelvo::CClipboardDelivery::Failure::kReplaced:
        return fill(Text(app, L"WYN_MSG_PASTE_REPLACED",
                         L"The paste of \"%s\" was stopped: another program changed the "
                         L"clipboard before the window to paste into took the text. Nothing "
                         L"more was sent."),
                    chunk.title);
    case kelvo::CClipboardDelivery::Failure::kBusy:
        if (delivery.Holder().empty())
            return Text(app, L"WYN_MSG_CLIPBOARD_BUSY_UNKNOWN",
                        L"The paste was stopped: another program keeps the clipboard open. "
                        L"Please try again.");
        return fill(Text(app, L"WYN_MSG_CLIPBOARD_BUSY",
                         L"The paste was stopped: %s keeps the clipboard open. Please try "
                         L"again."),
                    delivery.Holder());
    case kelvo::CClipboardDelivery::Failure::kNotPlaced:
    case kelvo::CClipboardDelivery::Failure::kNone:
        break;
    }
    return Text(app, L"WYN_MSG_CLIPBOARD_ERROR",
                L"The paste was stopped: the chunk text could not be placed on the "
                L"clipboard.");
}

} // namespace

bool PasteChunk(CMainWnd& app, kelvo::CPasteHost& host, const text_chunk& chunk, HWND target,
                PasteTrigger trigger) {
    if (trigger == PasteTrigger::kEnterKey)
        kelvo::SendEnterKeyUp();
    host.HeldModifiers().Reset();
    const Settings& settings = app.CurrentSettings();
    const HWND owner = host.Window();

    kelvo::WipedString<char16_t> plain;
    std::u16string_view script = kelvo::AsU16(chunk.text);
    if (chunk.encrypted) {
        kelvo::CipherKey data_key;
        if (!app.ObtainDataKey(owner, data_key))
            return false;
        if (!kelvo::CCipher().Decrypt(data_key, script, plain)) {
            ShowMessage(
                app, owner,
                Text(app, L"WYN_MSG_DECRYPT_ERROR", L"Impossible to decrypt the chunk text."),
                MB_ICONERROR);
            return false;
        }
        script = plain;
    }

    // The target may have closed while the password was asked for, or may not
    // come in front: the keys would then go to this program's own windows,
    // where a chunk ending in Enter pastes again and a secret lands in a field.
    if (!::IsWindow(target)) {
        ShowMessage(app, owner,
                    Text(app, L"WYN_MSG_PASTE_TARGET_GONE",
                         L"The window to paste into is no longer open. Nothing was pasted."),
                    MB_ICONWARNING);
        return false;
    }
    kelvo::ActivateWindow(target);
    kelvo::PasteWait(SleepMillis(settings.switch_delay));
    if (HWND front = ::GetForegroundWindow(); !front || kelvo::IsOwnWindow(front)) {
        ShowMessage(app, owner,
                    Text(app, L"WYN_MSG_PASTE_TARGET_INACTIVE",
                         L"The window to paste into could not be brought to the front. Nothing "
                         L"was pasted."),
                    MB_ICONWARNING);
        return false;
    }

    // A secret's clipboard is always given back: the secret must not stay.
    const bool restore = settings.restore_clipboard || chunk.encrypted;
    kelvo::CClipboardDelivery delivery(app.ClipboardOwner(), target,
                                       SleepMillis(settings.paste_delay), chunk.encrypted,
                                       restore ? &app.ClipboardRestore() : nullptr);
    kelvo::CSendInputOutput output([&](std::wstring_view run) { return delivery.Deliver(run); });
    kelvo::PlayScript(script, host.HeldModifiers(), output);
    if (output.Stopped()) {
        // A run the target did not read stays offered while the user reads
        // this: a target that reads it late still gets it.
        ShowMessage(app, owner, StopText(app, chunk, delivery), MB_ICONWARNING);
        app.RestoreClipboard();
        return false;
    }
    app.RestoreClipboard();
    // Closed as by its close box, after the handler that runs this paste has
    // returned: destroying it from inside that handler would pull the window
    // away under it.
    if (settings.close_on_paste)
        ::PostMessageW(owner, WM_CLOSE, 0, 0);
    return true;
}

bool CMainWnd::Paste(kelvo::CPasteHost& host, const text_chunk& chunk, PasteTrigger trigger) {
    return PasteChunk(*this, host, chunk, PasteTarget().window, trigger);
}
