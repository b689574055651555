#include "wyn/host/wyn_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <vector>

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

// The DPI the stock fonts are made for.
int SystemDpi() {
    const UINT dpi = ::GetDpiForSystem();
    return dpi > 0 ? static_cast<int>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// The stock GUI font's size in points.
int StockFontPoints(const LOGFONTW& stock) {
    return ::MulDiv(std::abs(stock.lfHeight), 72, SystemDpi());
}

// A DPI change lays the dialog out afresh: the system must neither scale its
// fonts nor move its controls. Looked up, as older systems lack it.
void DisableSystemDpiScaling(HWND dialog) {
    using SetBehavior =
        BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
    static const auto set_behavior = reinterpret_cast<SetBehavior>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior")));
    if (set_behavior)
        set_behavior(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

bool operator==(const SIZE& a, const SIZE& b) {
    return a.cx == b.cx && a.cy == b.cy;
}

SIZE OuterSize(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

SIZE ClientSize(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// Every dialog in the tree below `element`, itself included.
template <typename Visit> void ForEachDialog(CWynElement& element, const Visit& visit) {
    if (auto* dialog = dynamic_cast<CWynDialog*>(&element))
        visit(*dialog);
    for (const auto& child : element.Children())
        ForEachDialog(*child, visit);
}

// Gives every control window below `element` that shows one of `old_fonts`
// its element's font.
void ResendFonts(const CWynElement& element, const std::vector<kelvo::UniqueHfont>& old_fonts) {
    if (HWND window = element.Hwnd()) {
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
        if (std::any_of(old_fonts.begin(), old_fonts.end(),
                        [font](const kelvo::UniqueHfont& old) { return old.Get() == font; }))
            ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(element.GetFont()), FALSE);
    }
    for (const auto& child : element.Children())
        ResendFonts(*child, old_fonts);
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

UINT CWynDialog::GetDpi() const {
    return m_dpi > 0 ? m_dpi : CWynElement::GetDpi();
}

RECT CWynDialog::UnitsToPixels(RECT units) const {
    return m_baseUnits.cx > 0 ? kelvo::DialogUnitsToPixels(m_baseUnits, units)
                              : CWynElement::UnitsToPixels(units);
}

LOGFONTW CWynDialog::DialogLogFont(UINT dpi) {
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    const int points = AdjustFontSize(StockFontPoints(lf));
    lf.lfHeight = -::MulDiv(points, static_cast<int>(dpi), 72);
    lf.lfWidth = 0;
    return lf;
}

void CWynDialog::MakeFont() {
    const LOGFONTW lf = DialogLogFont(m_dpi);
    m_font.Reset(::CreateFontIndirectW(&lf));
    m_baseUnits = kelvo::MeasureBaseUnits(m_font.Get());
}

bool CWynDialog::OnInitDialog() {
    if (m_requestedDpi)
        m_dpi = *m_requestedDpi;
    else if (IsNested())
        m_dpi = m_parent->GetDpi();
    else
        m_dpi = ::GetDpiForWindow(m_hWnd);
    if (m_dpi == 0)
        m_dpi = USER_DEFAULT_SCREEN_DPI;
    if (!IsNested())
        DisableSystemDpiScaling(m_hWnd);
    // Made before any element window, which all get it.
    MakeFont();
    OnBeforeInit();
    if (IsNested())
        InitNested();
    else
        InitTopLevel();
    return true;
}

void CWynDialog::UpdatePixels() {
    // Spacing from the attributes or the parent, margins from the attributes.
    CWynElement::UpdatePixels();
    if (IsNested()) {
        const RECT margins =
            ToPixels({m_margins.left, m_margins.top, m_margins.right, m_margins.bottom});
        m_pixels.margins = {margins.left, margins.right, margins.top, margins.bottom};
        return;
    }
    const RECT spacing = ToPixels({4, 4, 7, 7});
    m_pixels.cellSpaceX = spacing.left;
    m_pixels.cellSpaceY = spacing.top;
    m_pixels.margins = {spacing.right, spacing.right, spacing.bottom, spacing.bottom};
}

void CWynDialog::InitNested() {
    CWynElement::Create();
}

SIZE CWynDialog::NaturalClientSize() const {
    // The natural width unless one is asked for, and the height the content
    // needs at that width (wrapping texts wrap in it) unless one is asked for.
    const RECT requested =
        ToPixels({0, 0, std::max(0, m_requestedWidth), std::max(0, m_requestedHeight)});
    const int width = requested.right > 0 ? requested.right : Measure().cx;
    const int height = requested.bottom > 0 ? requested.bottom : HeightForWidth(width);
    return {width, height};
}

SIZE CWynDialog::FrameSize(UINT dpi) const {
    const SIZE outer = OuterSize(m_hWnd);
    const SIZE client = ClientSize(m_hWnd);
    SIZE frame{outer.cx - client.cx, outer.cy - client.cy};
    const UINT current = ::GetDpiForWindow(m_hWnd);
    if (current == 0 || current == dpi)
        return frame;
    const auto style = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE));
    const BOOL menu = ::GetMenu(m_hWnd) != nullptr;
    RECT at_dpi{}, at_current{};
    if (::AdjustWindowRectExForDpi(&at_dpi, style, menu, ex_style, dpi) &&
        ::AdjustWindowRectExForDpi(&at_current, style, menu, ex_style, current)) {
        frame.cx += (at_dpi.right - at_dpi.left) - (at_current.right - at_current.left);
        frame.cy += (at_dpi.bottom - at_dpi.top) - (at_current.bottom - at_current.top);
    }
    return frame;
}

void CWynDialog::ApplyDpi(UINT dpi) {
    // The old fonts live until every control has let go of them.
    std::vector<kelvo::UniqueHfont> old_fonts;
    ForEachDialog(*this, [&](CWynDialog& dialog) {
        dialog.m_dpi = dpi;
        old_fonts.push_back(std::move(dialog.m_font));
        dialog.MakeFont();
    });
    ResendFonts(*this, old_fonts);
    UpdateTreePixels();
}

SIZE CWynDialog::ScaledOuterSize(UINT dpi) {
    const UINT old_dpi = m_dpi;
    const SIZE current_client = ClientSize(m_hWnd);
    const bool sized_by_user = IsResizable() && !(OuterSize(m_hWnd) == m_placedOuterSize);
    ApplyDpi(dpi);
    const SIZE client = NaturalClientSize();
    const SIZE frame = FrameSize(dpi);
    ApplyDpi(old_dpi);
    SIZE outer{client.cx + frame.cx, client.cy + frame.cy};
    if (sized_by_user) {
        const int scale = static_cast<int>(dpi), from = static_cast<int>(old_dpi);
        outer.cx = std::max<LONG>(outer.cx, ::MulDiv(current_client.cx, scale, from) + frame.cx);
        outer.cy = std::max<LONG>(outer.cy, ::MulDiv(current_client.cy, scale, from) + frame.cy);
    }
    return outer;
}

void CWynDialog::ChangeDpi(UINT dpi, const RECT* bounds) {
    RECT target{};
    if (bounds) {
        target = *bounds;
    } else {
        const SIZE outer = ScaledOuterSize(dpi);
        ::GetWindowRect(m_hWnd, &target);
        target.right = target.left + outer.cx;
        target.bottom = target.top + outer.cy;
    }
    ApplyDpi(dpi);
    const SIZE client = NaturalClientSize();
    // The least size first: the move is held to it.
    SIZE frame = FrameSize(dpi);
    m_minOuterSize = {client.cx + frame.cx, client.cy + frame.cy};
    ::SetWindowPos(m_hWnd, nullptr, target.left, target.top, target.right - target.left,
                   target.bottom - target.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    // Again with the frame as it now is.
    frame = FrameSize(dpi);
    m_minOuterSize = {client.cx + frame.cx, client.cy + frame.cy};
    m_placedOuterSize = OuterSize(m_hWnd);
    // One fresh layout: a resizable dialog fills its client area, another
    // takes its natural size.
    RECT area{};
    ::GetClientRect(m_hWnd, &area);
    if (IsResizable())
        Arrange(area.left, area.top, area.right - area.left, area.bottom - area.top);
    else
        Arrange(area.left, area.top, client.cx, client.cy);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CWynDialog::InitTopLevel() {
    CWynElement::Create();

    const SIZE client = NaturalClientSize();
    RECT area{};
    ::GetClientRect(m_hWnd, &area);
    Arrange(area.left, area.top, client.cx, client.cy);

    const SIZE frame = FrameSize(m_dpi);
    m_minOuterSize = {frame.cx + client.cx, frame.cy + client.cy};
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
    m_placedOuterSize = OuterSize(m_hWnd);
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
    const int points = AdjustFontSize(StockFontPoints(lf));
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
    case WM_GETDPISCALEDSIZE:
        if (IsNested())
            return FALSE;
        *reinterpret_cast<SIZE*>(lParam) = ScaledOuterSize(LOWORD(wParam));
        ::SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_DPICHANGED:
        if (IsNested())
            return FALSE;
        ChangeDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        ::SetWindowLongPtrW(window, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_DISPLAYCHANGE:
        // A remote session changes the DPI without WM_DPICHANGED.
        if (!IsNested() && !m_requestedDpi) {
            const UINT dpi = ::GetDpiForWindow(window);
            if (dpi > 0 && dpi != m_dpi)
                ChangeDpi(dpi, nullptr);
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
