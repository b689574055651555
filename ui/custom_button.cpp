#include "ui/custom_button.h"

#include <windowsx.h>

#include <commctrl.h>

#include <oleacc.h>

#include <string>

#include "draw/paint_buffer.h"
#include "wyn/engine/wyn_engine.h"
#include "wyn/host/wyn_control.h"

namespace {

constexpr wchar_t kClassName[] = L"WYN_CUSTOM_BTN";
constexpr wchar_t kProperty[] = L"CWynCustomButton_this";

struct TooltipSearch {
    HWND tool;
    std::wstring text;
};

// Looks for the tool among the tools of `candidate` if it is a tooltip.
BOOL CALLBACK FindTooltipText(HWND candidate, LPARAM param) noexcept {
    auto& search = *reinterpret_cast<TooltipSearch*>(param);
    wchar_t name[32] = {};
    if (!::GetClassNameW(candidate, name, 32) || ::lstrcmpiW(name, TOOLTIPS_CLASSW) != 0)
        return TRUE;
    const auto count = ::SendMessageW(candidate, TTM_GETTOOLCOUNT, 0, 0);
    for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
        // Without a text buffer: the tool's identity only.
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        if (!::SendMessageW(candidate, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)) ||
            !(tool.uFlags & TTF_IDISHWND) || reinterpret_cast<HWND>(tool.uId) != search.tool)
            continue;
        try {
            std::wstring text(INFOTIPSIZE, L'\0');
            tool.lpszText = text.data();
            ::SendMessageW(candidate, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
            text.resize(static_cast<std::size_t>(::lstrlenW(text.c_str())));
            search.text = std::move(text);
        } catch (...) {
            // No memory for the text: no name.
        }
        return FALSE;
    }
    return TRUE;
}

// The text of a tooltip of the window's thread that has the window itself
// as a tool (TTF_IDISHWND); empty when none has.
std::wstring TooltipText(HWND window) {
    TooltipSearch search{window, {}};
    ::EnumThreadWindows(::GetWindowThreadProcessId(window, nullptr), &FindTooltipText,
                        reinterpret_cast<LPARAM>(&search));
    return search.text;
}

} // namespace

CWynCustomButton::CWynCustomButton(CWynElement* parent, CWynEngine* engine)
    : CWynElement(parent, engine) {
    kelvo::RegisterWindowClass(kelvo::ClassDescription(
        engine->Module(), kClassName,
        &kelvo::OwnWindowProc<kProperty, &CWynCustomButton::WindowProc, &CWynCustomButton::m_hWnd,
                              &CWynCustomButton::m_ownWindow>));
}

bool CWynCustomButton::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"custombutton", name, element);
}

void CWynCustomButton::Create() {
    kelvo::ControlWindow control;
    control.windowClass = kClassName;
    control.createParam = this;
    kelvo::CreateControlWindow(*this, control);
    CWynElement::Create();
}

void CWynCustomButton::UpdatePixels() {
    CWynElement::UpdatePixels();
    // Pixels at the element's DPI, as the owner gives them; left at 0 x 0 the
    // button takes no room.
    SIZE natural{0, 0};
    RaiseEvent(L"custombtn-getsize", reinterpret_cast<WPARAM>(&natural));
    m_pixels.minWidth = natural.cx;
    m_pixels.minHeight = natural.cy;
}

void CWynCustomButton::ApplyEnabled() {
    CWynElement::ApplyEnabled();
    if (!m_hWnd)
        return;
    if (!::IsWindowEnabled(m_hWnd)) {
        // A disabled window hears no more of the mouse, so nothing else would
        // end a hot or pressed look.
        if (m_pressed && ::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        m_state = State::kNormal;
    }
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CWynCustomButton::SetState(State state) {
    if (state == m_state)
        return;
    m_state = state;
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CWynCustomButton::TrackLeave(HWND window, bool track) {
    TRACKMOUSEEVENT request{sizeof(request), TME_LEAVE | (track ? 0u : TME_CANCEL), window,
                            HOVER_DEFAULT};
    if (::TrackMouseEvent(&request))
        m_tracking = track;
}

void CWynCustomButton::OnButtonUp(HWND window, LPARAM lParam) {
    // Only a press that began here clicks: a release that merely ends over
    // the button (a menu dismissed by a click on it, a drag from elsewhere)
    // does nothing.
    const bool pressed = m_pressed;
    if (pressed)
        ::ReleaseCapture(); // WM_CAPTURECHANGED ends the press
    m_pressed = false;
    RECT client{};
    ::GetClientRect(window, &client);
    const bool inside = ::PtInRect(&client, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
    SetState(inside ? State::kHot : State::kNormal);
    if (pressed && inside && ::IsWindowEnabled(window))
        Click();
}

void CWynCustomButton::Click() {
    NotifyChildren(this);
    RaiseEvent(L"clicked");
}

LRESULT CWynCustomButton::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE:
        if (!m_pressed)
            SetState(State::kHot);
        if (!m_tracking)
            TrackLeave(window, true);
        return 0;
    case WM_MOUSELEAVE:
        // The system ends the tracking with this message.
        m_tracking = false;
        if (!m_pressed)
            SetState(State::kNormal);
        return 0;
    case WM_LBUTTONDOWN:
        if (!::IsWindowEnabled(window))
            return 0;
        SetState(State::kPressed);
        ::SetCapture(window);
        m_pressed = true;
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(window, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        // Someone else took the mouse (a menu, a dialog, a disabling): the
        // press is over without a click.
        if (m_pressed) {
            m_pressed = false;
            SetState(State::kNormal);
        }
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC; // no tab stop, no keyboard activation
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_GETOBJECT:
        return m_accessibility.OnGetObject(window, wParam, lParam);
    case WM_DESTROY:
        m_accessibility.Disconnect();
        if (m_tracking)
            TrackLeave(window, false);
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void CWynCustomButton::Paint(HWND window) {
    kelvo::CBufferedPaint paint(window);
    if (!paint.IsValid())
        return;
    kelvo::CPaintContext& context = paint.Context();
    context.SetScale(GetDpi(), GetFont());
    kelvo::PaintParentBackground(window, context.Dc());
    PaintRecord record{{}, m_state};
    ::GetClientRect(window, &record.client);
    RaiseEvent(L"custombtn-paint", reinterpret_cast<WPARAM>(&context),
               reinterpret_cast<LPARAM>(&record));
}

long CWynCustomButton::AccRole() const {
    return ROLE_SYSTEM_PUSHBUTTON;
}

bool CWynCustomButton::AccName(std::wstring& name) {
    name.resize(static_cast<std::size_t>(::GetWindowTextLengthW(m_hWnd)) + 1);
    name.resize(static_cast<std::size_t>(
        ::GetWindowTextW(m_hWnd, name.data(), static_cast<int>(name.size()))));
    if (name.empty())
        name = TooltipText(m_hWnd);
    return true;
}

const wchar_t* CWynCustomButton::AccDefaultAction(long index) const {
    return index < 0 ? L"Press" : nullptr;
}

bool CWynCustomButton::AccDoDefaultAction(long index) {
    if (index >= 0 || !m_hWnd || !::IsWindowEnabled(m_hWnd))
        return false;
    Click();
    return true;
}
