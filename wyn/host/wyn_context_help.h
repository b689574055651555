#pragma once
// The context-help tips of a dialog: short formatted texts bound to element
// ids and optionally to a tag, read from the description's `contexthelp`
// element, and shown one at a time in a small topmost popup beside their
// control. The popup leaves the focus where it is, so the key that closes it
// still reaches the control: it closes on any key or click in the program,
// when another program is activated, and never outlives the object that
// showed it.

#include <windows.h>

#include <msxml2.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/win_handles.h"
#include "base/window_binding.h"
#include "wyn/host/tip_renderer.h"

class CWynEngine;

class CWynContextHelp {
public:
    struct Tip {
        std::wstring control;
        std::wstring markup;
        std::optional<std::wstring> image;
        std::optional<std::wstring> tag;
        int imageWidth = 0;
        int imageHeight = 0;
    };

    explicit CWynContextHelp(CWynEngine* engine);
    CWynContextHelp(const CWynContextHelp&) = delete;
    CWynContextHelp& operator=(const CWynContextHelp&) = delete;
    // Closes an open tip.
    ~CWynContextHelp();

    // Appends the `tip` children of a `contexthelp` element, in order.
    void Read(IXMLDOMNode* context_help);
    // Closes an open tip, then shows the tip for `control_id` with `tag` (the
    // first tagged so; without a tag, the first untagged one) beside
    // `control`. False when there is no such tip.
    bool Show(std::wstring_view control_id, HWND control, const wchar_t* tag);
    void Close();

    const std::vector<Tip>& Tips() const noexcept { return m_tips; }
    // The index of the tip on screen, -1 for none.
    int CurrentTip() const noexcept { return m_current; }
    HWND TipWindow() const noexcept { return m_window.Get(); }

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    int FindTip(std::wstring_view control_id, const wchar_t* tag) const;
    // Sees every message the thread takes from its queue while a tip shows.
    static LRESULT CALLBACK WatchInput(int code, WPARAM removal, LPARAM message) noexcept;
    void Paint(HDC dc, const RECT& client);
    // `value` pixels at 96 DPI, at the tip's DPI.
    int Scale(int value) const noexcept { return ::MulDiv(value, m_dpi, USER_DEFAULT_SCREEN_DPI); }

    CWynEngine* m_engine;
    std::vector<Tip> m_tips;
    int m_current = -1;
    // The DPI of the monitor the tip opened on.
    int m_dpi = USER_DEFAULT_SCREEN_DPI;
    kelvo::COwnWindow m_window;
    kelvo::UniqueHhook m_watch;
    CWynTipRenderer m_renderer;
    // The help whose tip shows, in this thread.
    static inline thread_local CWynContextHelp* s_showing = nullptr;
};
