#include "wyn/elements/wyn_list.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/common_controls.h"
#include "wyn/host/wyn_control.h"

namespace {

const wchar_t* ListEventName(UINT code) {
    switch (code) {
    case NM_CLICK:
        return L"lst-click";
    case NM_RCLICK:
        return L"lst-rclick";
    case NM_DBLCLK:
        return L"lst-dblclk";
    case LVN_ITEMCHANGED:
        return L"lst-itemchanged";
    case LVN_ITEMACTIVATE:
        return L"lst-itemactivate";
    case LVN_COLUMNCLICK:
        return L"lst-columnclick";
    case NM_CUSTOMDRAW:
        return L"lst-customdraw";
    case LVN_KEYDOWN:
        return L"lst-keydown";
    // From the header, which the dialog hands to its list.
    case HDN_ENDTRACKW:
    case HDN_ENDDRAG:
        return L"lst-colchanged";
    default:
        return nullptr;
    }
}

} // namespace

bool CWynListCol::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"listcol", name, element);
}

bool CWynListCol::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_caption = GetLocalizedAttribute(node, L"caption");
    m_name = attributes.Text(L"name");
    m_icon = attributes.Text(L"icon");
    m_units = std::max(attributes.Int(L"size", 50), 0);
    m_flex = std::max(attributes.Int(L"flex", 0), 0);
    m_align = attributes.Enum(L"textalign", {L"left", L"right", L"center"}, 0);
    m_hasImages = attributes.Bool(L"colHasImages");
    m_image = attributes.Int(L"image", -1);
    m_bitmapOnRight = attributes.Bool(L"bitmapOnRight");
    m_visible = attributes.BoolDefaultTrue(L"visible");
    return true;
}

void CWynListCol::UpdatePixels() {
    CWynElement::UpdatePixels();
    m_size = ToPixels({0, 0, m_units, 0}).right;
    // Flexible columns follow the layout.
    if (HWND list = m_parent->Hwnd(); list && m_visible && !m_flex)
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(Index()), m_size);
}

int CWynListCol::Index() const {
    int index = 0;
    for (const auto& sibling : m_parent->Children()) {
        if (sibling.get() == this)
            break;
        if (dynamic_cast<const CWynListCol*>(sibling.get()))
            ++index;
    }
    return index;
}

void CWynListCol::InsertInto(HWND list, int index, HIMAGELIST images) {
    constexpr int kAlign[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = kAlign[m_align] | (m_hasImages ? LVCFMT_COL_HAS_IMAGES : 0) |
                 (m_bitmapOnRight ? LVCFMT_BITMAP_ON_RIGHT : 0);
    column.cx = m_visible ? m_size : 0;
    column.pszText = const_cast<wchar_t*>(m_caption ? m_caption->c_str() : L"");
    int image = m_image;
    if (m_icon)
        image = kelvo::AddEngineImage(images, *m_engine, m_icon->c_str());
    if (image >= 0) {
        column.mask |= LVCF_IMAGE;
        column.fmt |= LVCFMT_IMAGE;
        column.iImage = image;
    }
    ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&column));
}

bool CWynList::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"list", name, element);
}

bool CWynList::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    constexpr DWORD kViews[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    m_style = kViews[attributes.Enum(L"view", {L"icon", L"smallicon", L"list", L"report"}, 3)];
    const std::pair<const wchar_t*, DWORD> styles[] = {{L"NoColHeader", LVS_NOCOLUMNHEADER},
                                                       {L"AutoArrange", LVS_AUTOARRANGE},
                                                       {L"AlwaysShowSelection", LVS_SHOWSELALWAYS},
                                                       {L"EditLabels", LVS_EDITLABELS},
                                                       {L"NoSortHeader", LVS_NOSORTHEADER},
                                                       {L"NoLabelWrap", LVS_NOLABELWRAP},
                                                       {L"NoScroll", LVS_NOSCROLL},
                                                       {L"SingleSelection", LVS_SINGLESEL},
                                                       {L"ownerDraw", LVS_OWNERDRAWFIXED}};
    for (const auto& [name, bit] : styles) {
        if (attributes.Bool(name))
            m_style |= bit;
    }
    const std::pair<const wchar_t*, DWORD> ex_styles[] = {
        {L"CheckBoxes", LVS_EX_CHECKBOXES},
        {L"FullRowSelect", LVS_EX_FULLROWSELECT},
        {L"GridLines", LVS_EX_GRIDLINES},
        {L"HeaderDragDrop", LVS_EX_HEADERDRAGDROP},
        {L"LabelTip", LVS_EX_LABELTIP}};
    for (const auto& [name, bit] : ex_styles) {
        if (attributes.Bool(name))
            m_exStyle |= bit;
    }
    m_icon = attributes.Text(L"icon");
    m_useIcons = attributes.Bool(L"useIcons");
    m_iconWidth = std::max(attributes.Int(L"smallIconsWidth", 16), 1);
    m_iconHeight = std::max(attributes.Int(L"smallIconsHeight", 16), 1);
    return true;
}

void CWynList::Create() {
    kelvo::EnsureCommonControls(ICC_LISTVIEW_CLASSES);
    kelvo::ControlWindow control;
    control.windowClass = WC_LISTVIEWW;
    // The element keeps its image list; the control must not destroy it.
    control.style = WS_TABSTOP | LVS_SHAREIMAGELISTS | m_style;
    control.exStyle = WS_EX_CLIENTEDGE;
    m_hWnd = kelvo::CreateControlWindow(*this, control);
    CWynElement::Create();
    if (m_hWnd) {
        ::SendMessageW(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, m_exStyle, m_exStyle);
        if (m_useIcons) {
            // The list's own icon first: rows show image 0 unless told otherwise.
            // The icon size is given at 96 DPI.
            m_images = kelvo::CreateImageList(Scale(m_iconWidth), Scale(m_iconHeight));
            if (m_icon)
                kelvo::AddEngineImage(m_images.Get(), *m_engine, m_icon->c_str());
            ::SendMessageW(m_hWnd, LVM_SETIMAGELIST, LVSIL_SMALL,
                           reinterpret_cast<LPARAM>(m_images.Get()));
        }
        int index = 0;
        for (const auto& child : m_children) {
            if (auto* column = dynamic_cast<CWynListCol*>(child.get()))
                column->InsertInto(m_hWnd, index++, m_images.Get());
        }
        RaiseEvent(L"lst-requestcols");
    }
}

void CWynList::UpdatePixels() {
    CWynElement::UpdatePixels();
    const RECT natural = ToPixels({0, 0, m_requestedWidth ? m_requestedWidth : 100,
                                   m_requestedHeight ? m_requestedHeight : 60});
    m_pixels.minWidth = natural.right;
    m_pixels.minHeight = natural.bottom;
}

SIZE CWynList::Measure() const {
    return {m_pixels.minWidth, m_pixels.minHeight};
}

void CWynList::OnLayoutApplied() {
    if (!m_hWnd)
        return;
    long long fixed = 0, flex = 0;
    for (const auto& child : m_children) {
        if (const auto* column = dynamic_cast<const CWynListCol*>(child.get());
            column && column->Visible()) {
            fixed += column->Flex() ? 0 : column->Size();
            flex += column->Flex();
        }
    }
    if (flex == 0)
        return;
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const long long spare = std::max<long long>(client.right - fixed, 0);
    int index = 0;
    for (const auto& child : m_children) {
        const auto* column = dynamic_cast<const CWynListCol*>(child.get());
        if (!column)
            continue;
        if (column->Visible() && column->Flex())
            ::SendMessageW(
                m_hWnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index),
                static_cast<LPARAM>(std::min<long long>(spare * column->Flex() / flex, INT_MAX)));
        ++index;
    }
}

LRESULT CWynList::OnNotify(int code, NMHDR* record) {
    const wchar_t* name = ListEventName(static_cast<UINT>(code));
    if (!name)
        return 0;
    // The answer matters to some: custom drawing, for one.
    return kelvo::AnswerNotification(
        m_hWnd, static_cast<LRESULT>(RaiseEvent(name, 0, reinterpret_cast<LPARAM>(record))));
}
