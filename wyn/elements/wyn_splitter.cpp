#include "wyn/elements/wyn_splitter.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdint>

#include "base/win_handles.h"
#include "draw/paint_buffer.h"
#include "wyn/engine/wyn_engine.h"
#include "wyn/host/wyn_control.h"

namespace {

constexpr wchar_t kVClass[] = L"WYN_VSPLITTER_CLASS";
constexpr wchar_t kHClass[] = L"WYN_HSPLITTER_CLASS";
constexpr wchar_t kVProperty[] = L"vsplitter_this";
constexpr wchar_t kHProperty[] = L"hsplitter_this";
constexpr UINT kClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS | CS_SAVEBITS;

} // namespace

CWynSplitter::CWynSplitter(CWynElement* parent, CWynEngine* engine, Axis axis,
                           const wchar_t* class_name)
    : CWynElement(parent, engine), m_axis(axis), m_className(class_name) {}

template <const wchar_t* Property> WNDPROC CWynSplitter::Procedure() {
    return &kelvo::OwnWindowProc<Property, &CWynSplitter::WindowProc, &CWynSplitter::m_hWnd,
                                 &CWynSplitter::m_ownWindow>;
}

void CWynSplitter::Create() {
    kelvo::ControlWindow control;
    control.windowClass = m_className;
    control.createParam = this;
    kelvo::CreateControlWindow(*this, control);
    CWynElement::Create();
}

void CWynSplitter::UpdatePixels() {
    CWynElement::UpdatePixels();
    const RECT natural = ToPixels({0, 0, 7, 7});
    m_pixels.minWidth = natural.right;
    m_pixels.minHeight = natural.bottom;
    // A size the user gave the previous sibling keeps its proportion at a new
    // DPI (the sibling has just measured its natural size again).
    CWynElement* previous = PreviousSibling();
    if (!m_kept || !previous)
        return;
    if (m_keptDpi > 0 && m_keptDpi != GetDpi())
        m_kept = ::MulDiv(*m_kept, static_cast<int>(GetDpi()), static_cast<int>(m_keptDpi));
    m_keptDpi = GetDpi();
    if (m_axis == Axis::kWidth)
        previous->SetFixedWidth(*m_kept);
    else
        previous->SetFixedHeight(*m_kept);
}

int CWynSplitter::GetIntValue() {
    return m_kept && PreviousSibling() ? *m_kept : PlacedSize();
}

void CWynSplitter::SetIntValue(int value) {
    Resize(std::max(value, 0));
}

bool CWynSplitter::LimitPrevious(kelvo::GridChild& previous, const Rect& previous_cell,
                                 const Rect& own_cell, const Rect& room) const {
    if (!m_kept)
        return false;
    const bool widths = m_axis == Axis::kWidth;
    const std::int64_t far_edge = widths ? std::int64_t{own_cell.left} + own_cell.width
                                         : std::int64_t{own_cell.top} + own_cell.height;
    const std::int64_t room_edge =
        widths ? std::int64_t{room.left} + room.width : std::int64_t{room.top} + room.height;
    std::int32_t& size = widths ? previous.width : previous.height;
    const std::int64_t cell = widths ? previous_cell.width : previous_cell.height;
    // Smaller by as much as the splitter sticks out, but never below 0.
    const auto limited = static_cast<std::int32_t>(
        std::max<std::int64_t>(std::min<std::int64_t>(size, cell - (far_edge - room_edge)), 0));
    if (far_edge <= room_edge || limited == size)
        return false;
    size = limited;
    return true;
}

LRESULT CWynSplitter::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    case WM_PAINT:
        kelvo::PaintBuffered(window, [window](HDC buffer, const RECT&) {
            kelvo::PaintParentBackground(window, buffer);
        });
        return 0;
    case WM_LBUTTONDOWN:
        ::SetCapture(window);
        m_dragging = true;
        m_dragStart = Along(window, lParam);
        m_startSize = PlacedSize();
        return 0;
    case WM_MOUSEMOVE:
        if (m_dragging) {
            const int size = Bounded(m_startSize + Along(window, lParam) - m_dragStart);
            if (size != GetIntValue()) {
                Resize(size);
                ::RedrawWindow(Root()->GetWindow(), nullptr, nullptr,
                               RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            }
        }
        return 0;
    case WM_LBUTTONUP:
        if (m_dragging)
            ::ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        m_dragging = false;
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

int CWynSplitter::PlacedSize() const {
    const CWynElement* previous = PreviousSibling();
    if (!previous)
        return 10;
    return m_axis == Axis::kWidth ? previous->Bounds().width : previous->Bounds().height;
}

int CWynSplitter::Bounded(int size) const {
    const CWynElement* previous = PreviousSibling();
    if (!previous || !m_parent)
        return std::max(size, 0);
    // The splitter moves by as much as the previous sibling grows; its far
    // edge stays inside the container.
    const CWynElement::Rect& container = m_parent->Bounds();
    const int room = m_axis == Axis::kWidth
                         ? container.left + container.width - (m_rect.left + m_rect.width)
                         : container.top + container.height - (m_rect.top + m_rect.height);
    return std::clamp(size, 0, std::max(PlacedSize() + room, 0));
}

void CWynSplitter::Resize(int size) {
    CWynElement* previous = PreviousSibling();
    if (!previous || !m_parent)
        return;
    m_kept = size;
    m_keptDpi = GetDpi();
    if (m_axis == Axis::kWidth)
        previous->SetFixedWidth(size);
    else
        previous->SetFixedHeight(size);
    const CWynElement::Rect r = m_parent->Bounds();
    m_parent->Arrange(r.left, r.top, r.width, r.height);
}

int CWynSplitter::Along(HWND window, LPARAM client_point) const {
    // Screen coordinates, because the splitter itself moves while it is dragged.
    POINT point{GET_X_LPARAM(client_point), GET_Y_LPARAM(client_point)};
    ::ClientToScreen(window, &point);
    return m_axis == Axis::kWidth ? point.x : point.y;
}

CWynVSplitter::CWynVSplitter(CWynElement* parent, CWynEngine* engine)
    : CWynSplitter(parent, engine, Axis::kWidth, kVClass) {
    kelvo::RegisterWindowClass(kelvo::ClassDescription(
        engine->Module(), kVClass, Procedure<kVProperty>(), kClassStyle, IDC_SIZEWE));
}

bool CWynVSplitter::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"vsplitter", name, element);
}

CWynHSplitter::CWynHSplitter(CWynElement* parent, CWynEngine* engine)
    : CWynSplitter(parent, engine, Axis::kHeight, kHClass) {
    kelvo::RegisterWindowClass(kelvo::ClassDescription(
        engine->Module(), kHClass, Procedure<kHProperty>(), kClassStyle, IDC_SIZENS));
}

bool CWynHSplitter::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"hsplitter", name, element);
}
