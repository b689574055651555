#pragma once
// The target window chooser: a small topmost popup that rises above the
// paste buttons and lists the windows a paste may go into, each with its big
// icon and its title; choosing one makes it the paste target. It closes on a
// choice, Escape, a click, or as soon as it loses the focus, and its window
// is destroyed exactly once; the object itself belongs to its opener.

#include <windows.h>

#include <functional>
#include <vector>

#include "base/vt_wnd.h"
#include "base/win_handles.h"
#include "draw/scroll_source.h"
#include "paste/target_window.h"
#include "ui/drawn_accessible.h"

namespace kelvo {

class CWindowsList : public CVtWnd, public CScrollSource, private AccessibleSource {
public:
    static constexpr int kRowHeight = 40;
    static constexpr int kMostRows = 10;

    using Choose = std::function<void(const TargetWindow&)>;
    CWindowsList(std::vector<TargetWindow> windows, Choose choose);
    ~CWindowsList() override;

    // Opens above the "paste" button (screen rectangle `paste`), as wide as
    // it and the "paste-to" button beside it together, at most ten rows high.
    bool Open(HWND owner, const RECT& paste, const RECT& paste_to);
    // Destroys the window; again, or while it is being destroyed, nothing.
    void Close() noexcept;
    bool IsOpen() const noexcept { return Hwnd() != nullptr; }
    const std::vector<TargetWindow>& Windows() const noexcept { return m_windows; }

    void PreRegisterClass(WNDCLASSEXW& wc) override;
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // The row's window becomes the target, then the chooser closes.
    void ChooseRow(int index);
    void Paint(HWND window);

    HWND ScrollingWindow() const override { return Hwnd(); }
    int LineHeight() const override { return RowHeight(); }
    int ItemCount() const noexcept override { return static_cast<int>(m_windows.size()); }
    int ItemTop(int index) const override { return index * RowHeight(); }
    int ItemHeight(int) const override { return RowHeight(); }

    long AccRole() const override;
    long AccItemCount() const override;
    std::wstring AccItemName(long index) override;
    long AccItemState(long index) const override;
    RECT AccItemRect(long index) const override;
    long AccItemAt(POINT client) const override;
    long AccFocusedItem() const override;
    const wchar_t* AccDefaultAction(long index) const override;
    bool AccDoDefaultAction(long index) override;

    // `value` pixels at 96 DPI, at the DPI of the monitor the list opened on.
    int Scale(int value) const noexcept { return ::MulDiv(value, m_dpi, USER_DEFAULT_SCREEN_DPI); }
    int RowHeight() const noexcept { return Scale(kRowHeight); }

    std::vector<TargetWindow> m_windows;
    int m_dpi = USER_DEFAULT_SCREEN_DPI;
    UniqueHfont m_font; // the stock GUI font at m_dpi
    Choose m_choose;
    bool m_closing = false;
    CAccessibility m_accessibility{*this};
};

} // namespace kelvo
