#include "wyn/elements/wyn_freedraw.h"

#include "base/win_handles.h"
#include "draw/paint_buffer.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/engine/wyn_engine.h"
#include "wyn/host/wyn_control.h"

namespace {

constexpr wchar_t kClassName[] = L"WYN_FREEDRAW_CLASS";
constexpr wchar_t kProperty[] = L"CWynFreeDrawThis";

const wchar_t* MouseEventName(UINT message) {
    switch (message) {
    case WM_MOUSEMOVE:
        return L"mousemove";
    case WM_LBUTTONDOWN:
        return L"lbuttondown";
    case WM_LBUTTONUP:
        return L"lbuttonup";
    case WM_RBUTTONDOWN:
        return L"rbuttondown";
    case WM_RBUTTONUP:
        return L"rbuttonup";
    default:
        return nullptr;
    }
}

} // namespace

CWynFreeDraw::CWynFreeDraw(CWynElement* parent, CWynEngine* engine) : CWynElement(parent, engine) {
    kelvo::RegisterWindowClass(kelvo::ClassDescription(
        engine->Module(), kClassName,
        &kelvo::OwnWindowProc<kProperty, &CWynFreeDraw::WindowProc, &CWynFreeDraw::m_hWnd,
                              &CWynFreeDraw::m_ownWindow>,
        CS_HREDRAW | CS_VREDRAW));
}

bool CWynFreeDraw::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"freedraw", name, element);
}

bool CWynFreeDraw::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_doubleBuffered = CWynAttributes(node).Bool(L"doubleBuffered");
    return true;
}

void CWynFreeDraw::Create() {
    kelvo::ControlWindow control;
    control.windowClass = kClassName;
    control.createParam = this;
    kelvo::CreateControlWindow(*this, control);
    CWynElement::Create();
}

void CWynFreeDraw::UpdatePixels() {
    CWynElement::UpdatePixels();
    const int width = m_requestedWidth ? m_requestedWidth : m_minWidth ? m_minWidth : 14;
    const int height = m_requestedHeight ? m_requestedHeight : m_minHeight ? m_minHeight : 14;
    const RECT natural = ToPixels({0, 0, width, height});
    m_pixels.minWidth = natural.right;
    m_pixels.minHeight = natural.bottom;
}

LRESULT CWynFreeDraw::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        // The parent's background, so that what the dialog leaves undrawn
        // looks like the dialog; the off-screen copy carries it already.
        if (!m_doubleBuffered)
            kelvo::PaintParentBackground(window, reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_SIZE:
        RaiseEvent(L"size", wParam, lParam);
        break;
    default:
        if (const wchar_t* name = MouseEventName(message)) {
            if (RaiseEvent(name, wParam, lParam))
                return 0;
        }
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void CWynFreeDraw::Paint(HWND window) {
    auto draw = [this](HDC dc, RECT client) {
        RaiseEvent(L"freedraw", reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(&client));
    };
    if (m_doubleBuffered) {
        kelvo::PaintBuffered(window, [&](HDC dc, const RECT& client) {
            kelvo::PaintParentBackground(window, dc);
            draw(dc, client);
        });
        return;
    }
    // Straight to the window, as the description asks; WM_ERASEBKGND has put
    // the parent's background there.
    kelvo::PaintDc dc(window);
    RECT client{};
    ::GetClientRect(window, &client);
    draw(dc.Get(), client);
}
