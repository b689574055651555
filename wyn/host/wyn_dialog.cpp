#include "wyn/host/wyn_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "base/com.h"
#include "base/utf16.h"
#include "base/window_binding.h"
#include "wyn/engine/no_case.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/engine/wyn_engine.h"
#include "wyn/host/dialog_template.h"
#include "wyn/host/window_placement.h"

namespace {

constexpr DWORD kTopLevelStyle = WS_POPUP | WS_VISIBLE | DS_SETFONT | DS_FIXEDSYS;
constexpr DWORD kNestedStyle =
    WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | DS_CONTROL | DS_SETFONT;

kelvo::ScreenRect ToScreenRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The work area of the monitor nearest the owner; without an owner, the
// primary monitor's. The desktop's client area when no monitor answers.
RECT WorkArea(HWND owner) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = owner ? ::MonitorFromWindow(owner, MONITOR_DEFAULTTONULL)
                             : ::MonitorFromWindow(nullptr, MONITOR_DEFAULTTOPRIMARY);
    if (monitor && ::GetMonitorInfoW(monitor, &info))
        return info.rcWork;
    RECT desktop{};
    ::GetClientRect(::GetDesktopWindow(), &desktop);
    return desktop;
}

int ScreenDpiY() {
    kelvo::WindowDc screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}

} // namespace

CWynDialog::CWynDialog(std::wstring source, CWynEngine* engine, CWynElement* parent)
    : CWynElement(parent, engine), m_source(std::move(source)), m_contextHelp(engine) {}

CWynDialog::CWynDialog(CWynElement* parent, CWynEngine* engine)
    : CWynDialog(std::wstring(), engine, parent) {}

CWynDialog::~CWynDialog() {
    // The tip goes before the windows and elements it refers to.
    m_contextHelp.Close();
}

bool CWynDialog::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"dialog", name, element);
}

void CWynDialog::CalculateLayout(const Rect& rect, CWynLayout& layout) const {
    if (!IsNested() || !m_hWnd) {
        CWynElement::CalculateLayout(rect, layout);
        return;
    }
    // A nested dialog sits in its parent's window at the rectangle; its
    // children live in its own client area.
    const kelvo::GridArrangement arranged = ArrangeChildren({0, 0, rect.width, rect.height});
    if (!m_fixedPosition)
        layout.moves.push_back(
            {m_hWnd, {rect.left, rect.top, arranged.window.width, arranged.window.height}});
    PlaceChildren(arranged, layout);
}

bool CWynDialog::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_caption = GetLocalizedAttribute(node, L"caption");
    m_centerScreen = attributes.Bool(L"centerScreen");
    m_contextHelpButton = attributes.Bool(L"contextHelp");
    m_clipChildren = attributes.Bool(L"clipChildren");
    m_clipSiblings = attributes.Bool(L"clipSiblings");
    m_minimizeBox = attributes.Bool(L"minimizeBox");
    m_maximizeBox = attributes.Bool(L"maximizeBox");
    m_sysMenu = attributes.BoolDefaultTrue(L"sysMenu");
    m_titleBar = attributes.BoolDefaultTrue(L"titleBar");
    m_border = attributes.Enum(L"border", {L"none", L"thin", L"resizing", L"dialogFrame"},
                               kBorderDialogFrame);
    if (IsNested()) {
        m_style = kNestedStyle | (IsHidden() ? 0 : WS_VISIBLE);
        m_exStyle = WS_EX_CONTROLPARENT;
        m_margins = {.left = attributes.Int(L"marginLeft", 7),
                     .right = attributes.Int(L"marginRight", 7),
                     .top = attributes.Int(L"marginTop", 7),
                     .bottom = attributes.Int(L"marginBottom", 7)};
    } else {
        m_style = kTopLevelStyle;
        m_exStyle = 0;
        if (m_contextHelpButton)
            m_style |= DS_CONTEXTHELP;
        if (m_clipChildren)
            m_style |= WS_CLIPCHILDREN;
        if (m_clipSiblings)
            m_style |= WS_CLIPSIBLINGS;
        if (m_minimizeBox)
            m_style |= WS_MINIMIZEBOX;
        if (m_maximizeBox)
            m_style |= WS_MAXIMIZEBOX;
        if (m_sysMenu)
            m_style |= WS_SYSMENU;
        if (m_titleBar)
            m_style |= WS_CAPTION;
        if (m_border == kBorderResizing)
            m_style |= WS_THICKFRAME;
        else if (m_border == kBorderDialogFrame)
            m_style |= DS_MODALFRAME;
    }

    kelvo::ComPtr<IXMLDOMNode> help;
    if (node && node->selectSingleNode(kelvo::UniqueBstr(L"contexthelp").Get(), help.Put()) == S_OK)
        m_contextHelp.Read(help.Get());
    return true;
}

void CWynDialog::Create() {
    if (!IsNested() || !BuildTemplate())
        return;
    // The children are created by the initialisation, inside this call.
    ::CreateDialogIndirectParamW(
        m_engine->Module(), static_cast<LPCDLGTEMPLATEW>(::GlobalLock(m_template.Get())),
        m_parent->GetWindow(), DialogProc(), reinterpret_cast<LPARAM>(this));
    ::GlobalUnlock(m_template.Get());
}

int CWynDialog::NextControlId() {
    return m_nextControlId++;
}

HFONT CWynDialog::GetFont() const {
    return m_font ? m_font.Get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

LOGFONTW CWynDialog::DialogLogFont() {
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    const int dpi = ScreenDpiY();
    const int points = AdjustFontSize(::MulDiv(std::abs(lf.lfHeight), 72, dpi));
    lf.lfHeight = -::MulDiv(points, dpi, 72);
    lf.lfWidth = 0;
    return lf;
}

bool CWynDialog::OnInitDialog() {
    // Made before any element window, which all get it.
    const LOGFONTW lf = DialogLogFont();
    m_font.Reset(::CreateFontIndirectW(&lf));
    OnBeforeInit();
    if (IsNested())
        InitNested();
    else
        InitTopLevel();
    return true;
}

void CWynDialog::InitNested() {
    // Spacing from the attributes or the parent, margins from the attributes.
    CWynElement::Create();
    const RECT margins =
        ToPixels({m_margins.left, m_margins.top, m_margins.right, m_margins.bottom});
    m_pixels.margins = {margins.left, margins.right, margins.top, margins.bottom};
}

void CWynDialog::InitTopLevel() {
    const RECT spacing = ToPixels({4, 4, 7, 7});
    m_pixels.cellSpaceX = spacing.left;
    m_pixels.cellSpaceY = spacing.top;
    m_pixels.margins = {spacing.right, spacing.right, spacing.bottom, spacing.bottom};
    const RECT requested =
        ToPixels({0, 0, std::max(0, m_requestedWidth), std::max(0, m_requestedHeight)});

    CWynElement::Create();

    // The natural width unless one is asked for, and the height the content
    // needs at that width (wrapping texts wrap in it) unless one is asked for.
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int width = requested.right > 0 ? requested.right : Measure().cx;
    const int height = requested.bottom > 0 ? requested.bottom : HeightForWidth(width);
    Arrange(client.left, client.top, width, height);

    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    m_minOuterSize = {window.right - window.left - (client.right - client.left) + width,
                      window.bottom - window.top - (client.bottom - client.top) + height};
    const kelvo::ScreenSize outer{AdjustWidth(m_minOuterSize.cx), AdjustHeight(m_minOuterSize.cy)};

    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    std::optional<kelvo::ScreenPoint> owner_top_left;
    RECT owner_rect{};
    if (owner && ::GetWindowRect(owner, &owner_rect))
        owner_top_left = kelvo::ScreenPoint{owner_rect.left, owner_rect.top};
    const kelvo::ScreenPoint at =
        kelvo::PlaceDialog(ToScreenRect(WorkArea(owner)), outer, m_centerScreen, owner_top_left);
    ::SetWindowPos(m_hWnd, nullptr, at.x, at.y, outer.width, outer.height,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

bool CWynDialog::CanClose(int) {
    return true;
}

void CWynDialog::OnNotifyDefault(CWynElement*, int, NMHDR*) {}

bool CWynDialog::OnCommandDefault(CWynElement*, int, int control_id, HWND) {
    if (control_id != IDOK && control_id != IDCANCEL)
        return false;
    CWynDialog* top = TopDialog();
    if (top->CanClose(control_id))
        ::EndDialog(top->m_hWnd, control_id);
    return true;
}

CWynDialog* CWynDialog::TopDialog() {
    CWynDialog* top = this;
    for (CWynElement* e = m_parent; e; e = e->Parent()) {
        if (auto* dialog = dynamic_cast<CWynDialog*>(e))
            top = dialog;
    }
    return top;
}

bool CWynDialog::PreMessage(HWND, UINT, WPARAM, LPARAM, INT_PTR&) {
    return false;
}

CWynElement* CWynDialog::GetDefaultButton() {
    return nullptr;
}

int CWynDialog::AdjustWidth(int width) {
    return width;
}

int CWynDialog::AdjustHeight(int height) {
    return height;
}

void CWynDialog::OnSaveSize(int, int) {}

void CWynDialog::ShowTip(const wchar_t* control_id, const wchar_t* tag) {
    if (!control_id)
        return;
    if (CWynElement* element = FindById(control_id))
        m_contextHelp.Show(control_id, element->GetWindow(), tag);
}

int CWynDialog::AdjustFontSize(int points) {
    return points;
}

void CWynDialog::DoDataExchange(bool, CWynElement*) {}

void CWynDialog::OnBeforeInit() {}

bool CWynDialog::OnMessageFallback(UINT, CWynElement*, WPARAM, LPARAM) {
    return false;
}

void CWynDialog::Exchange(bool save, const CWynExchange& record, CWynElement* scope) {
    if (save)
        GetExchange(*this, record);
    else
        PutExchange(*this, scope, record);
}

bool CWynDialog::BuildTemplate() {
    if (m_template)
        return true;
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    const int points = AdjustFontSize(::MulDiv(std::abs(lf.lfHeight), 72, ScreenDpiY()));
    const std::wstring caption = m_caption.value_or(L"");
    const std::vector<std::uint16_t> words = kelvo::BuildDialogTemplate(
        {.style = m_style,
         .exStyle = m_exStyle,
         .width = std::max(0, m_requestedWidth),
         .height = std::max(0, m_requestedHeight),
         .caption = kelvo::AsU16(caption),
         .pointSize = static_cast<std::uint16_t>(std::clamp(points, 1, 0x7FFF)),
         .weight = static_cast<std::uint16_t>(std::clamp<LONG>(lf.lfWeight, 0, 1000)),
         .italic = lf.lfItalic,
         .charset = lf.lfCharSet,
         .faceName = kelvo::AsU16(lf.lfFaceName)});
    const std::size_t bytes = words.size() * sizeof(std::uint16_t);
    m_template.Reset(::GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes));
    if (!m_template)
        return false;
    std::memcpy(::GlobalLock(m_template.Get()), words.data(), bytes);
    ::GlobalUnlock(m_template.Get());
    return true;
}

INT_PTR CWynDialog::DoModal(HWND owner) {
    // The tree and its units are made for one showing.
    if (m_shown)
        return 0;
    if (!Load(m_source.c_str(), L"dialog", m_engine->Module()))
        return 0;
    m_shown = true;
    if (!BuildTemplate())
        return -1;
    const auto* dialog = static_cast<LPCDLGTEMPLATEW>(::GlobalLock(m_template.Get()));
    const INT_PTR result = ::DialogBoxIndirectParamW(m_engine->Module(), dialog, owner,
                                                     DialogProc(), reinterpret_cast<LPARAM>(this));
    ::GlobalUnlock(m_template.Get());
    return result;
}

DLGPROC CWynDialog::DialogProc() noexcept {
    return &kelvo::OwnDialogProc<&CWynDialog::HandleMessage, &CWynDialog::m_hWnd>;
}

INT_PTR CWynDialog::RaiseOn(CWynElement* element, std::wstring_view name, WPARAM first,
                            LPARAM second) {
    return element && element->RaiseEvent(name, first, second) != 0;
}

INT_PTR CWynDialog::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        OnInitDialog();
        return TRUE;
    }
    INT_PTR result = 1;
    if (PreMessage(window, message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_COMMAND:
        return HandleCommand(wParam, lParam);
    case WM_NOTIFY:
        return HandleNotify(wParam, lParam);
    case WM_DRAWITEM:
        return RaiseOn(FindByControlId(static_cast<int>(wParam)), L"drawitem", wParam, lParam);
    case WM_MEASUREITEM:
        return wParam != 0 &&
               RaiseOn(FindByControlId(static_cast<int>(wParam)), L"measureitem", wParam, lParam);
    case WM_CONTEXTMENU:
        return RaiseOn(FindByWindow(reinterpret_cast<HWND>(wParam)), L"contextmenu", wParam,
                       lParam);
    case WM_HSCROLL:
        return RaiseOn(FindByWindow(reinterpret_cast<HWND>(lParam)), L"hscroll", wParam, 0);
    case WM_VSCROLL:
        return RaiseOn(FindByWindow(reinterpret_cast<HWND>(lParam)), L"vscroll", wParam, 0);
    case WM_HELP: {
        const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
        CWynElement* element = info ? FindByWindow(static_cast<HWND>(info->hItemHandle)) : nullptr;
        if (element && element->Id())
            m_contextHelp.Show(*element->Id(), element->Hwnd(), nullptr);
        return FALSE;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU &&
            HandleMenuKey(static_cast<wchar_t>(LOWORD(lParam)))) {
            ::SetWindowLongPtrW(window, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        if (CanClose(kCloseBox))
            ::EndDialog(window, IDCANCEL);
        return TRUE;
    case WM_SIZE:
        if (IsResizable() && wParam != SIZE_MINIMIZED) {
            RECT client{};
            ::GetClientRect(window, &client);
            Arrange(client.left, client.top, client.right - client.left,
                    client.bottom - client.top);
        }
        return FALSE;
    case WM_SIZING:
        if (IsResizable()) {
            auto* r = reinterpret_cast<RECT*>(lParam);
            kelvo::ScreenRect proposed = ToScreenRect(*r);
            kelvo::LimitSizing(proposed, static_cast<kelvo::SizingEdge>(wParam),
                               {m_minOuterSize.cx, m_minOuterSize.cy});
            *r = {proposed.left, proposed.top, proposed.right, proposed.bottom};
        }
        return FALSE;
    case WM_GETMINMAXINFO:
        // Sizing that does not go through WM_SIZING (a window manager's own,
        // keyboard sizing) keeps the same limit.
        if (IsResizable() && m_minOuterSize.cx > 0) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {m_minOuterSize.cx, m_minOuterSize.cy};
        }
        return FALSE;
    case WM_DESTROY: {
        m_contextHelp.Close();
        RECT r{};
        ::GetWindowRect(window, &r);
        OnSaveSize(r.right - r.left, r.bottom - r.top);
        return FALSE;
    }
    case DM_GETDEFID: {
        CWynElement* button = m_defaultButton ? m_defaultButton : GetDefaultButton();
        if (!button)
            return FALSE;
        ::SetWindowLongPtrW(window, DWLP_MSGRESULT,
                            MAKELONG(static_cast<WORD>(button->ControlId()), DC_HASDEFID));
        return TRUE;
    }
    default:
        return FALSE;
    }
}

INT_PTR CWynDialog::HandleCommand(WPARAM wParam, LPARAM lParam) {
    const int code = HIWORD(wParam);
    const int control_id = LOWORD(wParam);
    const auto control = reinterpret_cast<HWND>(lParam);
    CWynElement* element = FindByWindow(control);
    if (element && element->OnCommand(code, control_id, control))
        return TRUE;
    if (OnMessageFallback(WM_COMMAND, element, wParam, lParam))
        return TRUE;
    OnCommandDefault(element, code, control_id, control);
    return TRUE;
}

INT_PTR CWynDialog::HandleNotify(WPARAM wParam, LPARAM lParam) {
    auto* record = reinterpret_cast<NMHDR*>(lParam);
    if (!record)
        return FALSE;
    HWND sender = record->hwndFrom;
    // A list view's header speaks for its list view.
    wchar_t name[32] = {};
    wchar_t parent_name[32] = {};
    if (::GetClassNameW(sender, name, 32) && kelvo::EqualsNoCase(name, WC_HEADERW) &&
        ::GetClassNameW(::GetParent(sender), parent_name, 32) &&
        kelvo::EqualsNoCase(parent_name, WC_LISTVIEWW))
        sender = ::GetParent(sender);
    CWynElement* element = FindByWindow(sender);
    if (element && element->OnNotify(static_cast<int>(record->code), record))
        return TRUE;
    if (OnMessageFallback(WM_NOTIFY, element, wParam, lParam))
        return TRUE;
    OnNotifyDefault(element, static_cast<int>(record->idFrom), record);
    return TRUE;
}
