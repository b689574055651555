#include "wyn/host/wyn_context_help.h"

#include <algorithm>

#include "base/com.h"
#include "base/win_handles.h"
#include "draw/paint_buffer.h"
#include "wyn/engine/no_case.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/engine/wyn_engine.h"
#include "wyn/host/window_placement.h"

namespace {

constexpr const wchar_t* kClassName = L"WYN_CONTEXTHELP_CLASS";
constexpr wchar_t kProperty[] = L"wynctxhelp_this";
constexpr int kPadding = 10;
constexpr int kTextWidth = 310;

kelvo::ScreenRect ToScreenRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The work area of the monitor nearest `window`, else the desktop's client area.
RECT WorkAreaNear(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        monitor && ::GetMonitorInfoW(monitor, &info))
        return info.rcWork;
    RECT desktop{};
    ::GetClientRect(::GetDesktopWindow(), &desktop);
    return desktop;
}

} // namespace

CWynContextHelp::CWynContextHelp(CWynEngine* engine) : m_engine(engine) {
    kelvo::RegisterWindowClass(kelvo::ClassDescription(
        m_engine->Module(), kClassName,
        &kelvo::OwnWindowProc<kProperty, &CWynContextHelp::WindowProc, &CWynContextHelp::m_window>,
        CS_HREDRAW | CS_VREDRAW));
}

CWynContextHelp::~CWynContextHelp() {
    Close();
}

void CWynContextHelp::Read(IXMLDOMNode* context_help) {
    if (!context_help)
        return;
    kelvo::ComPtr<IXMLDOMNode> node;
    context_help->get_firstChild(node.Put());
    while (node) {
        kelvo::UniqueBstr name;
        DOMNodeType type = NODE_INVALID;
        node->get_nodeType(&type);
        node->get_nodeName(name.Put());
        if (type == NODE_ELEMENT && kelvo::EqualsNoCase(name.View(), L"tip")) {
            const CWynAttributes attributes(node.Get());
            Tip tip;
            tip.control = attributes.Text(L"control").value_or(L"");
            tip.image = attributes.Text(L"img");
            tip.tag = attributes.Text(L"tag");
            tip.imageWidth = std::max(0, attributes.Int(L"imgWidth", 0));
            tip.imageHeight = std::max(0, attributes.Int(L"imgHeight", 0));
            const std::wstring* localised = nullptr;
            if (const auto locid = attributes.Text(L"locid"))
                localised = m_engine->Lookup(*locid, L"CDATA");
            if (localised) {
                tip.markup = *localised;
            } else {
                kelvo::UniqueBstr text;
                node->get_text(text.Put());
                tip.markup = text.View();
            }
            m_tips.push_back(std::move(tip));
        }
        kelvo::ComPtr<IXMLDOMNode> next;
        node->get_nextSibling(next.Put());
        node = std::move(next);
    }
}

int CWynContextHelp::FindTip(std::wstring_view control_id, const wchar_t* tag) const {
    for (std::size_t i = 0; i < m_tips.size(); ++i) {
        const Tip& tip = m_tips[i];
        if (!kelvo::EqualsNoCase(tip.control, control_id))
            continue;
        if (tag ? tip.tag && kelvo::EqualsNoCase(*tip.tag, tag) : !tip.tag)
            return static_cast<int>(i);
    }
    return -1;
}

bool CWynContextHelp::Show(std::wstring_view control_id, HWND control, const wchar_t* tag) {
    Close();
    const int index = FindTip(control_id, tag);
    if (index < 0)
        return false;
    const Tip& tip = m_tips[index];

    // At the DPI of the control's monitor, where the tip opens; the sizes
    // below are 96-DPI values.
    const UINT found_dpi = ::GetDpiForWindow(control);
    m_dpi = found_dpi > 0 ? static_cast<int>(found_dpi) : USER_DEFAULT_SCREEN_DPI;
    const UINT system_dpi = ::GetDpiForSystem();
    LOGFONTW gui{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    m_renderer.SetMarkup(
        tip.markup, gui.lfFaceName,
        ::MulDiv(gui.lfHeight, m_dpi, system_dpi > 0 ? static_cast<int>(system_dpi) : m_dpi),
        ::GetSysColor(COLOR_INFOTEXT));
    const int padding = Scale(kPadding), text_width = Scale(kTextWidth);
    const int image_width = Scale(tip.imageWidth), image_height = Scale(tip.imageHeight);
    const bool has_image = tip.image && tip.imageWidth > 0 && tip.imageHeight > 0;
    const int text_left = has_image ? padding + image_width + padding : padding;
    const int text_bottom = m_renderer.Layout(text_left, padding, text_left + text_width);
    const kelvo::ScreenSize size{
        text_width + 2 * padding + (has_image ? image_width + padding : 0),
        std::max(text_bottom - padding + 2 * padding, has_image ? image_height + 2 * padding : 0)};

    RECT control_rect{};
    ::GetWindowRect(control, &control_rect);
    const kelvo::ScreenPoint at =
        kelvo::PlaceTip(ToScreenRect(WorkAreaNear(control)), ToScreenRect(control_rect), size);
    m_current = index;
    // Shown without taking the focus: a user who mistyped goes on typing in
    // the field, and the key that closes the tip is not lost.
    HWND window = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName,
                                    L"", WS_POPUP, at.x, at.y, size.width, size.height, nullptr,
                                    nullptr, m_engine->Module(), this);
    if (!window) {
        m_current = -1;
        return false;
    }
    if (s_showing && s_showing != this)
        s_showing->Close();
    s_showing = this;
    m_watch.Reset(::SetWindowsHookExW(WH_GETMESSAGE, &CWynContextHelp::WatchInput, nullptr,
                                      ::GetCurrentThreadId()));
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    return true;
}

void CWynContextHelp::Close() {
    m_watch.Reset();
    if (s_showing == this)
        s_showing = nullptr;
    m_window.Reset();
    m_current = -1;
}

LRESULT CALLBACK CWynContextHelp::WatchInput(int code, WPARAM removal, LPARAM message) noexcept {
    const auto* taken = reinterpret_cast<const MSG*>(message);
    if (code == HC_ACTION && removal == PM_REMOVE && s_showing) {
        switch (taken->message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
            // Closed, and the message goes on to where it was going.
            s_showing->Close();
            break;
        default:
            break;
        }
    }
    return ::CallNextHookEx(nullptr, code, removal, message);
}

LRESULT CWynContextHelp::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    case WM_PAINT:
        kelvo::PaintBuffered(window, [this](HDC dc, const RECT& client) { Paint(dc, client); });
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ACTIVATEAPP:
        if (!wParam)
            ::DestroyWindow(window);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        ::DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        m_watch.Reset();
        if (s_showing == this)
            s_showing = nullptr;
        m_current = -1;
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

void CWynContextHelp::Paint(HDC dc, const RECT& client) {
    kelvo::UniqueHpen pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_INFOTEXT)));
    {
        kelvo::SelectedObject selected_pen(dc, pen.Get());
        kelvo::SelectedObject fill(dc, ::GetSysColorBrush(COLOR_INFOBK));
        ::Rectangle(dc, client.left, client.top, client.right, client.bottom);
    }
    if (m_current >= 0) {
        const Tip& tip = m_tips[m_current];
        if (tip.image && tip.imageWidth > 0 && tip.imageHeight > 0)
            m_engine->DrawImage(dc, Scale(kPadding), Scale(kPadding), Scale(tip.imageWidth),
                                Scale(tip.imageHeight), tip.image->c_str());
    }
    m_renderer.Draw(dc);
}
