// What a user sees of another program's windows, for the whole-program
// journeys: where the controls are on the screen (to click them), what the
// clipboard holds, and what accessibility tells a screen reader. Writes
// one line per answer to standard output and ends with 0, or with 1 when
// the window or the answer is not there.
//
// Usage: kelvo-probe children <window title>
//          one line per visible child window, in creation order:
//          <class> <left> <top> <width> <height> <text> (screen pixels)
//          of the frontmost visible window with that title
//        kelvo-probe toplevels
//          one line per visible top-level window, front first: <class>
//          <left> <top> <width> <height> <tool window 0|1> <owned 0|1> <title>
//        kelvo-probe texts <window title>
//          the text of every static control in every visible window with
//          that title, one a line
//        kelvo-probe clipboard
//          text=<the clipboard's text, or "-" for none>
//        kelvo-probe focused-item <window title> <list class> <n>
//          the name accessibility gives the focused item of the window's
//          n-th (from 0) child of that class, read from this process

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/win_handles.h"

namespace {

void PrintLine(std::wstring_view text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                          nullptr, nullptr);
    std::printf("%s\n", out.c_str());
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    ::GetClassNameW(window, name, 128);
    return name;
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM list) -> BOOL {
            if (::IsWindowVisible(child))
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

// The visible top-level windows with the title, front first.
std::vector<HWND> Windows(const wchar_t* title) {
    struct Walk {
        const wchar_t* title;
        std::vector<HWND> found;
    } walk{title, {}};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& walk = *reinterpret_cast<Walk*>(data);
            if (::IsWindowVisible(window) && TextOf(window) == walk.title)
                walk.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return walk.found;
}

HWND Window(const wchar_t* title) {
    const std::vector<HWND> windows = Windows(title);
    return windows.empty() ? nullptr : windows.front();
}

std::wstring Placed(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return ClassOf(window) + L" " + std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) +
           L" " + std::to_wstring(rect.right - rect.left) + L" " +
           std::to_wstring(rect.bottom - rect.top);
}

int ListTopLevels() {
    ::EnumWindows(
        [](HWND window, LPARAM) -> BOOL {
            if (!::IsWindowVisible(window))
                return TRUE;
            const bool tool = (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
            const bool owned = ::GetWindow(window, GW_OWNER) != nullptr;
            PrintLine(Placed(window) + (tool ? L" 1" : L" 0") + (owned ? L" 1 " : L" 0 ") +
                      TextOf(window));
            return TRUE;
        },
        0);
    return 0;
}

int ListTexts(const wchar_t* title) {
    for (HWND window : Windows(title))
        for (HWND child : Children(window))
            if (ClassOf(child) == L"Static" && !TextOf(child).empty())
                PrintLine(TextOf(child));
    return 0;
}

int ListChildren(const wchar_t* title) {
    const HWND window = Window(title);
    if (!window)
        return 1;
    for (HWND child : Children(window))
        PrintLine(Placed(child) + L" " + TextOf(child));
    return 0;
}

int PrintClipboard() {
    kelvo::ClipboardSession clipboard(nullptr, 20, 50);
    if (!clipboard)
        return 1;
    std::wstring line = L"text=";
    if (HANDLE text = ::GetClipboardData(CF_UNICODETEXT)) {
        kelvo::LockedGlobal<const wchar_t> chars(text);
        line += chars ? chars.Get() : L"-";
    } else {
        line += L"-";
    }
    PrintLine(line);
    return 0;
}

int PrintFocusedItem(const wchar_t* title, const wchar_t* list_class, int n) {
    const HWND window = Window(title);
    if (!window)
        return 1;
    HWND list = nullptr;
    for (HWND child : Children(window)) {
        if (ClassOf(child) == list_class && n-- == 0) {
            list = child;
            break;
        }
    }
    if (!list)
        return 1;
    IAccessible* accessible = nullptr;
    const HRESULT result =
        ::AccessibleObjectFromWindow(list, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                     reinterpret_cast<void**>(&accessible));
    if (FAILED(result) || !accessible) {
        std::printf("refused 0x%08lx\n", static_cast<unsigned long>(result));
        return 1;
    }
    VARIANT focus;
    ::VariantInit(&focus);
    BSTR name = nullptr;
    int code = 1;
    if (SUCCEEDED(accessible->get_accFocus(&focus)) && focus.vt == VT_I4 &&
        SUCCEEDED(accessible->get_accName(focus, &name)) && name) {
        PrintLine(std::wstring(L"name=") + name);
        code = 0;
    }
    ::SysFreeString(name);
    ::VariantClear(&focus);
    accessible->Release();
    return code;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring_view command = argc > 1 ? argv[1] : L"";
    int code = 2;
    ::CoInitialize(nullptr);
    if (command == L"children" && argc == 3)
        code = ListChildren(argv[2]);
    else if (command == L"toplevels" && argc == 2)
        code = ListTopLevels();
    else if (command == L"texts" && argc == 3)
        code = ListTexts(argv[2]);
    else if (command == L"clipboard" && argc == 2)
        code = PrintClipboard();
    else if (command == L"focused-item" && argc == 5)
        code = PrintFocusedItem(argv[2], argv[3], _wtoi(argv[4]));
    std::fflush(stdout);
    ::CoUninitialize();
    return code;
}
