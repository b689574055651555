#pragma once
// A chunk pasted into the target window: its plain text (decrypted when the
// chunk is encrypted), the target brought to the front, the switch delay, and
// the text played as a script whose text runs go through the clipboard.

#include <windows.h>

#include "library/text_chunk.h"
#include "paste/paste_host.h"
#include "ui/browser/browser_app.h"

class CMainWnd;

// Pastes `chunk` into `target` for the main window `host`, whose held
// modifiers it uses and which owns its dialogs. Nothing is sent when the user
// cancels the password, the text does not decrypt, the target is gone or
// does not come in front of this program's windows, and a clipboard that
// stays busy stops the paste before its keystroke: each but the cancel is
// told in a message box. With close-on-paste set, a paste played to its end
// closes the host as its close box does, once the handler that started the
// paste has returned. True when the whole script was played.
bool PasteChunk(CMainWnd& app, kelvo::CPasteHost& host, const text_chunk& chunk, HWND target,
                PasteTrigger trigger);
