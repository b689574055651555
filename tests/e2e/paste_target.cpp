// A program to paste into, for the tests of the paste and the whole-program
// journeys: a window with a single-line edit, a multi-line edit and a rich
// edit (in that tab order), and a tool window beside it. It writes each text
// change and key message it receives, and what the clipboard offers when a
// Ctrl+V arrives, to a log file, one UTF-8 line each (a Ctrl+V it pastes
// itself: it reads the clipboard once and puts the text into the field that
// has the focus):
//   ready
//   key <field> down|up|sysdown|sysup <virtual key, two hex digits>
//   text <field> <text, with \ CR LF and TAB written \\ \r \n \t>
//   clipboard text=<text as above, or "-" for none>[ <registered format>=<DWORD>]...
// where <field> is line, multi, rich, main or tools.
//
// Usage: kelvo-paste-target <log file> <window title> [line|multi|rich]
//          the field named (line when none is) has the focus at the start;
//        kelvo-paste-target --hold-clipboard <log file> <window title> [field]
//          as well opens the clipboard and keeps it open until the window
//          closes; logs "holding" once it holds it;
//        kelvo-paste-target --read-late <log file> <window title> [field]
//          is busy for 300 ms whenever a Ctrl+V arrives, and only then reads
//          the clipboard and pastes, as a program doing other work does;
//        kelvo-paste-target --never-read <log file> <window title> [field]
//          takes no Ctrl+V at all: logs the keys, never reads the clipboard.

#include <windows.h>

#include <ole2.h>
#include <richedit.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "base/win_handles.h"
#include "base/window_binding.h"

namespace {

constexpr wchar_t kClassName[] = L"KelvoPasteTarget";
constexpr wchar_t kProperty[] = L"KelvoPasteTarget_this";
constexpr wchar_t kToolsClassName[] = L"KelvoPasteTargetTools";

std::string Utf8(std::wstring_view text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                          nullptr, nullptr);
    return out;
}

std::string Escaped(std::wstring_view text) {
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
        case L'\\':
            out += L"\\\\";
            break;
        case L'\r':
            out += L"\\r";
            break;
        case L'\n':
            out += L"\\n";
            break;
        case L'\t':
            out += L"\\t";
            break;
        default:
            out += c;
        }
    }
    return Utf8(out);
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Lines go to the file at once, so that a test reads them while the program runs.
class CLog {
public:
    explicit CLog(const wchar_t* path)
        : m_file(kelvo::AdoptFile(::CreateFileW(
              path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))) {}
    explicit operator bool() const noexcept { return static_cast<bool>(m_file); }
    void Line(const std::string& line) {
        const std::string text = line + "\n";
        DWORD written = 0;
        ::WriteFile(m_file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }

private:
    kelvo::UniqueHandle m_file;
};

// What the program does with a Ctrl+V.
enum class Reading { kAtOnce, kLate, kNever };

constexpr DWORD kLateReadMs = 300;

class CPasteTarget {
public:
    CPasteTarget(CLog& log, std::wstring_view focus, Reading reading)
        : m_log(log), m_focusName(focus), m_reading(reading) {}

    bool Create(HINSTANCE module, const std::wstring& title) {
        WNDCLASSEXW main_class = kelvo::ClassDescription(
            module, kClassName,
            &kelvo::OwnWindowProc<kProperty, &CPasteTarget::WindowProc, &CPasteTarget::m_window>);
        main_class.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
        main_class.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        if (!kelvo::RegisterWindowClass(main_class) ||
            !kelvo::RegisterWindowClass(
                kelvo::ClassDescription(module, kToolsClassName, &::DefWindowProcW)))
            return false;
        // A tool window of no owner: only its style keeps it from being a target.
        m_tools.Reset(::CreateWindowExW(WS_EX_TOOLWINDOW, kToolsClassName,
                                        (title + L" tools").c_str(), WS_OVERLAPPED | WS_CAPTION,
                                        560, 80, 160, 120, nullptr, nullptr, module, nullptr));
        ::CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 100, 80, 440, 360,
                          nullptr, nullptr, module, this);
        if (!m_window || !m_tools)
            return false;
        ::ShowWindow(m_tools.Get(), SW_SHOWNOACTIVATE);
        ::ShowWindow(m_window.Get(), SW_SHOWNORMAL);
        ::SetForegroundWindow(m_window.Get());
        ::SetFocus(m_focus);
        return true;
    }

    HWND Window() const noexcept { return m_window.Get(); }

    int Run() {
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (LogKey(msg)) {
                TakePaste();
                continue;
            }
            if (!::IsDialogMessageW(m_window.Get(), &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        return 0;
    }

private:
    LRESULT WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
        case WM_CREATE:
            CreateFields(window);
            return 0;
        case WM_ACTIVATE:
            // As a dialog does: the focus goes back to the field that had it.
            if (LOWORD(wparam) == WA_INACTIVE) {
                if (HWND focus = ::GetFocus(); focus && ::IsChild(window, focus))
                    m_focus = focus;
            } else {
                ::SetFocus(m_focus);
            }
            return 0;
        case WM_COMMAND:
            if (HIWORD(wparam) == EN_CHANGE) {
                const auto field = reinterpret_cast<HWND>(lparam);
                m_log.Line("text " + FieldName(field) + " " + Escaped(TextOf(field)));
            }
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wparam, lparam);
        }
    }

    void CreateFields(HWND window) {
        const HINSTANCE module = ::GetModuleHandleW(nullptr);
        const DWORD common = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP;
        m_line = ::CreateWindowExW(0, L"EDIT", L"", common | ES_AUTOHSCROLL, 10, 10, 400, 24,
                                   window, nullptr, module, nullptr);
        m_multi =
            ::CreateWindowExW(0, L"EDIT", L"", common | ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL,
                              10, 44, 400, 120, window, nullptr, module, nullptr);
        m_rich = ::CreateWindowExW(0, RICHEDIT_CLASSW, L"",
                                   common | ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL, 10, 174, 400,
                                   120, window, nullptr, module, nullptr);
        ::SendMessageW(m_rich, EM_SETEVENTMASK, 0, ENM_CHANGE);
        m_focus = m_focusName == L"multi" ? m_multi : m_focusName == L"rich" ? m_rich : m_line;
    }

    std::string FieldName(HWND window) const {
        if (window == m_line)
            return "line";
        if (window == m_multi)
            return "multi";
        if (window == m_rich)
            return "rich";
        if (window == m_window.Get())
            return "main";
        if (window == m_tools.Get())
            return "tools";
        return "other";
    }

    // Logs a key message; true when it is the Ctrl+V of a paste.
    bool LogKey(const MSG& msg) {
        const char* kind = msg.message == WM_KEYDOWN      ? "down"
                           : msg.message == WM_KEYUP      ? "up"
                           : msg.message == WM_SYSKEYDOWN ? "sysdown"
                           : msg.message == WM_SYSKEYUP   ? "sysup"
                                                          : nullptr;
        if (!kind)
            return false;
        char code[8];
        std::snprintf(code, sizeof code, "%02X", static_cast<unsigned>(msg.wParam));
        m_log.Line("key " + FieldName(msg.hwnd) + " " + kind + " " + code);
        return msg.message == WM_KEYDOWN && msg.wParam == 'V' && ::GetKeyState(VK_CONTROL) < 0;
    }

    // A Ctrl+V arrived: the program pastes it itself, as many do, reading
    // the clipboard once and putting its text into the field that has the
    // focus; or it lets it pass untaken.
    void TakePaste() {
        if (m_reading == Reading::kNever)
            return;
        if (m_reading == Reading::kLate)
            ::Sleep(kLateReadMs);
        std::wstring text;
        if (ReadClipboard(text))
            ::SendMessageW(::GetFocus(), EM_REPLACESEL, TRUE,
                           reinterpret_cast<LPARAM>(text.c_str()));
    }

    // Reads and logs what the clipboard offers; true with its text.
    bool ReadClipboard(std::wstring& text) {
        kelvo::ClipboardSession clipboard(m_window.Get(), 10, 10);
        if (!clipboard) {
            m_log.Line("clipboard busy");
            return false;
        }
        std::string line = "clipboard text=";
        bool has_text = false;
        if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            kelvo::LockedGlobal<const wchar_t> chars(data);
            has_text = static_cast<bool>(chars);
            if (has_text)
                text = chars.Get();
        }
        line += has_text ? Escaped(text) : "-";
        for (UINT format = ::EnumClipboardFormats(0); format;
             format = ::EnumClipboardFormats(format)) {
            wchar_t name[256] = {};
            if (format < 0xC000 || !::GetClipboardFormatNameW(format, name, 256))
                continue;
            HANDLE data = ::GetClipboardData(format);
            if (!data || ::GlobalSize(data) < sizeof(DWORD))
                continue;
            kelvo::LockedGlobal<const DWORD> value(data);
            if (value)
                line += " " + Utf8(name) + "=" + std::to_string(*value.Get());
        }
        m_log.Line(line);
        return has_text;
    }

    CLog& m_log;
    std::wstring m_focusName;
    Reading m_reading;
    kelvo::COwnWindow m_window;
    kelvo::UniqueHwnd m_tools;
    HWND m_line = nullptr;
    HWND m_multi = nullptr;
    HWND m_rich = nullptr;
    HWND m_focus = nullptr;
};

void FreeArguments(LPWSTR* arguments) noexcept {
    ::LocalFree(arguments);
}

} // namespace

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR, int) {
    int argc = 0;
    kelvo::UniqueAny<LPWSTR*, FreeArguments> arguments(
        ::CommandLineToArgvW(::GetCommandLineW(), &argc));
    LPWSTR* argv = arguments.Get();
    int first = 1;
    bool hold = false;
    Reading reading = Reading::kAtOnce;
    for (; first < argc && std::wstring_view(argv[first]).starts_with(L"--"); ++first) {
        const std::wstring_view option = argv[first];
        if (option == L"--hold-clipboard")
            hold = true;
        else if (option == L"--read-late")
            reading = Reading::kLate;
        else if (option == L"--never-read")
            reading = Reading::kNever;
        else
            return 2;
    }
    if (argc < first + 2)
        return 2;
    CLog log(argv[first]);
    if (!log)
        return 3;
    // The rich edit pastes through the OLE clipboard.
    ::OleInitialize(nullptr);
    kelvo::UniqueHmodule rich_edit(::LoadLibraryW(L"Riched20.dll"));
    CPasteTarget target(log, argc > first + 2 ? argv[first + 2] : L"line", reading);
    if (!target.Create(module, argv[first + 1]))
        return 4;
    if (hold && ::OpenClipboard(target.Window()))
        log.Line("holding");
    log.Line("ready");
    const int code = target.Run();
    if (hold)
        ::CloseClipboard();
    return code;
}
