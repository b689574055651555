#include "wyn/elements/wyn_url.h"

#include <shellapi.h>

#include <algorithm>

#include "draw/paint_buffer.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/engine/wyn_engine.h"
#include "wyn/host/wyn_control.h"

namespace {

constexpr const wchar_t* kClassName = L"WYN_URL_CLASS";
constexpr wchar_t kProperty[] = L"WynUrl_this";
constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverPeriod = 50;

} // namespace

CWynUrl::CWynUrl(CWynElement* parent, CWynEngine* engine) : CWynElement(parent, engine) {
    kelvo::RegisterWindowClass(
        kelvo::ClassDescription(engine->Module(), kClassName,
                                &kelvo::OwnWindowProc<kProperty, &CWynUrl::WindowProc,
                                                      &CWynUrl::m_hWnd, &CWynUrl::m_ownWindow>));
}

bool CWynUrl::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"url", name, element);
}

bool CWynUrl::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_text = GetLocalizedAttribute(node, L"text").value_or(L"");
    m_url = GetLocalizedAttribute(node, L"url").value_or(L"");
    m_alignRight = CWynAttributes(node).Enum(L"textalign", {L"left", L"right"}, 0) == 1;
    return true;
}

void CWynUrl::Create() {
    kelvo::CreateControlWindow(
        *this, {.windowClass = kClassName, .text = m_text.c_str(), .createParam = this});
    CWynElement::Create();
}

void CWynUrl::UpdatePixels() {
    CWynElement::UpdatePixels();
    const SIZE text = kelvo::MeasureText(*this, m_text.c_str());
    m_pixels.minWidth = text.cx;
    m_pixels.minHeight = std::max<int>(text.cy, ToPixels({0, 0, 0, 8}).bottom);
}

bool CWynUrl::OverText(POINT client) {
    RECT r{};
    ::GetClientRect(m_hWnd, &r);
    const int width = std::min<int>(kelvo::MeasureText(*this, m_text.c_str()).cx, r.right);
    const int left = m_alignRight ? r.right - width : 0;
    return client.x >= left && client.x < left + width && client.y >= 0 && client.y < r.bottom;
}

void CWynUrl::UpdateHover() {
    POINT screen{};
    ::GetCursorPos(&screen);
    POINT client = screen;
    ::ScreenToClient(m_hWnd, &client);
    const bool hover = ::WindowFromPoint(screen) == m_hWnd && OverText(client);
    if (hover == m_hover)
        return;
    m_hover = hover;
    // Polled while hovering: the mouse may leave without a message to say so.
    if (m_hover)
        ::SetTimer(m_hWnd, kHoverTimer, kHoverPeriod, nullptr);
    else
        ::KillTimer(m_hWnd, kHoverTimer);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CWynUrl::SetLink(std::wstring text, std::wstring url) {
    m_text = std::move(text);
    m_url = std::move(url);
}

void CWynUrl::Click() {
    if (m_url == L":notify:") {
        RaiseEvent(L"clicked");
        return;
    }
    if (!m_url.empty())
        ::ShellExecuteW(::GetAncestor(m_hWnd, GA_ROOT), L"open", m_url.c_str(), nullptr, nullptr,
                        SW_SHOWNORMAL);
}

LRESULT CWynUrl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        kelvo::PaintBuffered(window, [this, window](HDC dc, const RECT& client) {
            kelvo::PaintParentBackground(window, dc);
            Paint(dc, client);
        });
        return 0;
    case WM_MOUSEMOVE:
    case WM_TIMER:
        UpdateHover();
        return 0;
    case WM_SETCURSOR:
        if (m_hover) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_LBUTTONUP:
        if (OverText({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}))
            Click();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_SETTEXT:
        m_text = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
        ::InvalidateRect(window, nullptr, FALSE);
        break;
    case WM_DESTROY:
        ::KillTimer(window, kHoverTimer);
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void CWynUrl::Paint(HDC dc, const RECT& client) {
    LOGFONTW lf{};
    ::GetObjectW(GetFont(), sizeof(lf), &lf);
    lf.lfUnderline = m_hover ? TRUE : FALSE;
    kelvo::UniqueHfont font(::CreateFontIndirectW(&lf));
    kelvo::SelectedObject selected(dc, font ? font.Get() : GetFont());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 255));
    RECT text = client;
    ::DrawTextW(dc, m_text.c_str(), -1, &text,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (m_alignRight ? DT_RIGHT : DT_LEFT));
}
