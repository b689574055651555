#pragma once
// The clipboard as a paste uses it: opened with patience, blocks of movable
// memory handed over to it, its text read into wiped storage, the markers
// that keep a secret out of clipboard history, and the program holding it.

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "base/win_handles.h"
#include "base/wipe.h"

namespace kelvo {

// How long a paste waits for a clipboard another program holds open.
inline constexpr int kClipboardTries = 10;
inline constexpr DWORD kClipboardRetryMs = 10;

// The clipboard opened for a paste, closed when it goes. The target may
// still hold it a moment after reading a run, so while another program holds
// it the opening is tried again every millisecond, for as long as
// kClipboardTries × kClipboardRetryMs, answering what other programs send
// meanwhile.
class PasteClipboardSession {
public:
    explicit PasteClipboardSession(HWND owner);
    ~PasteClipboardSession();
    PasteClipboardSession(const PasteClipboardSession&) = delete;
    PasteClipboardSession& operator=(const PasteClipboardSession&) = delete;
    explicit operator bool() const noexcept { return m_open; }

private:
    bool m_open;
};

// Hands a new movable block of `bytes`, written by `fill(void*)`, to the open
// clipboard as `format`. The block is the clipboard's once it took it; when
// memory runs out or the clipboard refuses it, the block is wiped and freed
// here and the result is false.
template <typename Fill> bool PutClipboardBlock(UINT format, std::size_t bytes, Fill&& fill) {
    UniqueHglobal block(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!block)
        return false;
    {
        LockedGlobal<void> lock(block.Get());
        if (!lock)
            return false;
        fill(lock.Get());
    }
    if (::SetClipboardData(format, block.Get())) {
        block.Release();
        return true;
    }
    if (LockedGlobal<void> lock(block.Get()); lock)
        SecureWipe(lock.Get(), bytes);
    return false;
}

// Puts `text` on the open clipboard as CF_UNICODETEXT, unchanged.
bool PutClipboardText(std::wstring_view text);

// Marks what goes on the open clipboard with it as private: kept out of
// clipboard monitors, clipboard history and the cloud clipboard.
bool PutPrivacyMarkers();

// Wipes the text block of the open clipboard in place when the clipboard is
// this program's (a secret a paste put there): emptying the clipboard frees
// the block without wiping it.
void WipeOwnClipboardText() noexcept;

// The Unicode text the open clipboard holds, into storage that is wiped when
// dropped (without its terminator); false when it holds none.
bool ReadClipboardText(SecureWideChars& text);

// The executable file name of the program whose window holds the clipboard
// open; empty when that is not known.
std::wstring ClipboardHolderName();

} // namespace kelvo
