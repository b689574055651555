#include "wyn/elements/wyn_picture.h"

#include <algorithm>

#include "draw/paint_buffer.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/engine/wyn_engine.h"
#include "wyn/host/wyn_control.h"

namespace {

constexpr const wchar_t* kClassName = L"WYN_PICTURE_CLASS";
constexpr wchar_t kProperty[] = L"wynpicture_this";
constexpr UINT_PTR kAnimationTimer = 1;

} // namespace

CWynPicture::CWynPicture(CWynElement* parent, CWynEngine* engine) : CWynElement(parent, engine) {
    kelvo::RegisterWindowClass(kelvo::ClassDescription(
        engine->Module(), kClassName,
        &kelvo::OwnWindowProc<kProperty, &CWynPicture::WindowProc, &CWynPicture::m_hWnd,
                              &CWynPicture::m_ownWindow>));
}

bool CWynPicture::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"picture", name, element);
}

bool CWynPicture::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes a(node);
    m_pic = a.Text(L"pic");
    m_picWidth = std::max(0, a.Int(L"picWidth", 0));
    m_picHeight = std::max(0, a.Int(L"picHeight", 0));
    m_frames = std::max(1, a.Int(L"frames", 1));
    m_animInterval = std::max(0, a.Int(L"animInterval", 0));
    m_framesSideBySide = a.Enum(L"framesOrient", {L"vertical", L"horizontal"}, 0) == 1;
    return true;
}

void CWynPicture::Create() {
    kelvo::CreateControlWindow(*this, {.windowClass = kClassName, .createParam = this});
    // Without a period there is nothing to time the frames by.
    if (m_hWnd && m_frames > 1 && m_animInterval > 0)
        ::SetTimer(m_hWnd, kAnimationTimer, static_cast<UINT>(m_animInterval), nullptr);
    CWynElement::Create();
}

void CWynPicture::UpdatePixels() {
    CWynElement::UpdatePixels();
    // The picture's size is given at 96 DPI.
    m_pixels.minWidth = Scale(m_picWidth);
    m_pixels.minHeight = Scale(m_picHeight);
}

LRESULT CWynPicture::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        kelvo::PaintBuffered(window, [this, window](HDC dc, const RECT&) {
            kelvo::PaintParentBackground(window, dc);
            Paint(dc);
        });
        return 0;
    case WM_TIMER:
        if (wParam != kAnimationTimer)
            break;
        m_frame = (m_frame + 1) % m_frames;
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return 0;
    case WM_DESTROY:
        ::KillTimer(window, kAnimationTimer);
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void CWynPicture::Paint(HDC dc) {
    if (!m_pic)
        return;
    // At the element's DPI, as laid out.
    const int width = Scale(m_picWidth), height = Scale(m_picHeight);
    if (m_frames > 1)
        m_engine->DrawImageSkin(dc, 0, 0, width, height, m_pic->c_str(), m_frames, m_frame,
                                m_framesSideBySide);
    else
        m_engine->DrawImage(dc, 0, 0, width, height, m_pic->c_str());
}
