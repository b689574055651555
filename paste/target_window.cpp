#include "paste/target_window.h"

#include <dwmapi.h>

#include <initializer_list>

namespace kelvo {

namespace {

constexpr UINT kIconTimeoutMs = 100;

bool IsToolWindow(HWND window) {
    return (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
}

bool HasClass(HWND window, std::initializer_list<const wchar_t*> names) {
    wchar_t name[80] = {};
    ::GetClassNameW(window, name, 80);
    for (const wchar_t* candidate : names)
        if (::CompareStringOrdinal(name, -1, candidate, -1, TRUE) == CSTR_EQUAL)
            return true;
    return false;
}

// The desktop, the taskbars, the desktop's wallpaper layers and Wine's
// notification area where no taskbar holds it: parts of the shell that show
// as top-level windows but are nothing to switch to.
bool IsShellHelper(HWND window) {
    return HasClass(window, {L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd",
                             L"__winex11_standalone_tray"});
}

// Shown to the system but not to the user: a window of another virtual
// desktop, or a suspended app's frame. Where the system cannot tell, not.
bool IsCloaked(HWND window) {
    DWORD cloaked = 0;
    return SUCCEEDED(::DwmGetWindowAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked)) &&
           cloaked != 0;
}

bool HasArea(HWND window) {
    RECT rect{};
    return ::GetWindowRect(window, &rect) && !::IsRectEmpty(&rect);
}

// A top-level window the user sees and may switch to: visible, neither
// child nor owned, no tool window, with an area, not cloaked, not the shell.
bool IsSwitchable(HWND window) {
    return ::IsWindowVisible(window) && !::GetParent(window) && !::GetWindow(window, GW_OWNER) &&
           !IsToolWindow(window) && HasArea(window) && !IsShellHelper(window) && !IsCloaked(window);
}

// A window or one it owns (GetParent gives the owner of a pop-up).
bool IsOrBelongsTo(HWND window, HWND owner) {
    return owner && (window == owner || ::GetParent(window) == owner);
}

// The nearest candidate above `start` in the z-order, else below it.
HWND CandidateInZOrder(HWND start, HWND tray) {
    for (UINT direction : {GW_HWNDPREV, GW_HWNDNEXT}) {
        HWND window = start;
        while (window && (window = ::GetWindow(window, direction)) != nullptr) {
            if (IsCandidateTarget(window, tray))
                return window;
        }
    }
    return nullptr;
}

} // namespace

bool IsOwnWindow(HWND window) {
    DWORD process_id = 0;
    ::GetWindowThreadProcessId(window, &process_id);
    return process_id == ::GetCurrentProcessId();
}

bool IsCandidateTarget(HWND window, HWND tray) {
    return ::IsWindow(window) && window != tray && !IsOwnWindow(window) && IsSwitchable(window);
}

HWND ForegroundCandidate(HWND tray, HWND main_window) {
    HWND window = ::GetForegroundWindow();
    if (!window || IsOrBelongsTo(window, main_window) || IsOrBelongsTo(window, tray) ||
        IsOwnWindow(window) || IsToolWindow(window) || IsShellHelper(window) || !HasArea(window) ||
        IsCloaked(window))
        return nullptr;
    return window;
}

std::wstring WindowTitle(HWND window) {
    wchar_t title[256] = {};
    const int length = window ? ::GetWindowTextW(window, title, 256) : 0;
    return std::wstring(title, static_cast<std::size_t>(length > 0 ? length : 0));
}

HICON WindowIcon(HWND window) {
    for (HWND w = window; w; w = ::GetWindow(w, GW_OWNER)) {
        DWORD_PTR icon = 0;
        if (::SendMessageTimeoutW(w, WM_GETICON, ICON_BIG, 0, SMTO_ABORTIFHUNG, kIconTimeoutMs,
                                  &icon) &&
            icon)
            return reinterpret_cast<HICON>(icon);
        if (auto class_icon = reinterpret_cast<HICON>(::GetClassLongPtrW(w, GCLP_HICON)))
            return class_icon;
    }
    return nullptr;
}

TargetWindow DescribeTarget(HWND window) {
    return {window, WindowTitle(window), WindowIcon(window)};
}

bool TrackPasteTarget(TargetWindow& target, HWND tray, HWND main_window) {
    bool changed = false;
    if (HWND candidate = ForegroundCandidate(tray, main_window)) {
        if (candidate != target.window) {
            target.window = candidate;
            changed = true;
        }
    } else if (!::IsWindow(target.window)) {
        target.window = CandidateInZOrder(main_window ? main_window : tray, tray);
        changed = true;
    } else {
        return false;
    }
    // Read for a replacement from the z-order too, or the paste button would
    // go on showing the title of the window that closed.
    if (std::wstring title = WindowTitle(target.window); title != target.title) {
        target.title = std::move(title);
        changed = true;
    }
    if (changed)
        target.icon = WindowIcon(target.window);
    return changed;
}

std::vector<TargetWindow> ChoosableWindows(HWND main_window) {
    struct Walk {
        HWND main_window;
        std::vector<TargetWindow> found;
    } walk{main_window, {}};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& walk = *reinterpret_cast<Walk*>(data);
            if (window != walk.main_window && IsSwitchable(window)) {
                // Nothing may be thrown through the system's walk.
                try {
                    walk.found.push_back(DescribeTarget(window));
                } catch (...) {
                    return FALSE;
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return walk.found;
}

} // namespace kelvo
