#include "wyn/engine/wyn_element.h"

#include <new>

#include "base/com.h"
#include "wyn/engine/description.h"
#include "wyn/engine/dialog_units.h"
#include "wyn/engine/no_case.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/engine/wyn_engine.h"

using kelvo::com_ptr;
using kelvo::unique_bstr;

namespace {

// Deeper nesting than any dialog needs; elements below it are dropped, which
// keeps the recursive passes over the tree off the end of the stack.
constexpr int kMaxDepth = 64;

} // namespace

// The children of an element as the grid solver sees them.
class CWynElement::ChildSource : public kelvo::GridChildSource {
public:
    explicit ChildSource(const std::vector<std::unique_ptr<CWynElement>>& children)
        : m_children(children) {}

    std::size_t Count() const override { return m_children.size(); }

    kelvo::GridChild Measure(std::size_t index) override { return Cell(*m_children[index]); }

    void SetWidthHint(std::size_t index, std::int32_t width) override {
        m_children[index]->SetWidthHint(width);
    }

    static kelvo::GridChild Cell(CWynElement& child) {
        const SIZE natural = child.Measure();
        return {.width = natural.cx,
                .height = natural.cy,
                .span = child.m_span,
                .hFlex = child.m_hFlex,
                .vFlex = child.m_vFlex};
    }

private:
    const std::vector<std::unique_ptr<CWynElement>>& m_children;
};

CWynElement::CWynElement(CWynElement* parent, CWynEngine* engine) noexcept
    : m_parent(parent), m_engine(engine) {}

CWynElement::~CWynElement() {
    for (auto& child : m_children)
        child.reset();
}

bool CWynElement::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"", name, element);
}

SIZE CWynElement::Measure() {
    std::vector<kelvo::GridChild> children;
    children.reserve(m_children.size());
    for (const auto& child : m_children)
        children.push_back(ChildSource::Cell(*child));
    const kelvo::GridSize size = kelvo::MeasureGrid(Container(), children);
    return {size.width, size.height};
}

void CWynElement::Arrange(int left, int top, int width, int height) {
    m_rect = {left, top, width, height};
    ChildSource children(m_children);
    const kelvo::GridArrangement arranged =
        kelvo::ArrangeGridWithWidthHints(Container(), children, {left, top, width, height});
    if (m_hWnd && m_parent && !m_fixedPosition) {
        // One repaint of the dialog after a whole layout: no copying of old
        // contents, erasing deferred.
        ::SetWindowPos(m_hWnd, nullptr, arranged.window.left, arranged.window.top,
                       arranged.window.width, arranged.window.height,
                       SWP_NOZORDER | SWP_NOCOPYBITS | SWP_NOOWNERZORDER | SWP_DEFERERASE);
    }
    for (std::size_t i = 0; i < arranged.cells.size(); ++i) {
        const kelvo::GridRect& cell = arranged.cells[i];
        m_children[i]->Arrange(cell.left, cell.top, cell.width, cell.height);
    }
}

bool CWynElement::Parse(IXMLDOMNode* node) {
    const CWynAttributes attributes(node);
    m_rect = {attributes.Int(L"left", 0), attributes.Int(L"top", 0), attributes.Int(L"width", 0),
              attributes.Int(L"height", 0)};
    m_hFlex = attributes.Int(L"hFlex", 0);
    m_vFlex = attributes.Int(L"vFlex", 0);
    m_minWidth = attributes.Int(L"minwidth", 0);
    m_minHeight = attributes.Int(L"minheight", 0);
    m_maxWidth = attributes.Int(L"maxwidth", 0);
    m_maxHeight = attributes.Int(L"maxheight", 0);
    m_columns = attributes.Int(L"columns", 0);
    m_rows = attributes.Int(L"rows", 0);
    m_span = attributes.Int(L"span", 1);
    m_cellSpaceX = attributes.Int(L"cellSpaceX", -1);
    m_cellSpaceY = attributes.Int(L"cellSpaceY", -1);
    m_hidden = attributes.Bool(L"hidden");
    m_disabled = attributes.Bool(L"disabled");
    m_orient = attributes.Enum(L"orient", {L"horizontal", L"vertical"}, kHorizontal);
    m_locid = attributes.Text(L"locid");
    m_id = attributes.Text(L"id");
    m_tags = attributes.Text(L"tags");
    m_controlId = NextControlId();
    ParseChildren(node);
    return true;
}

void CWynElement::ParseChildren(IXMLDOMNode* node) {
    if (!node || Depth() >= kMaxDepth)
        return;
    com_ptr<IXMLDOMNode> child;
    node->get_firstChild(child.put());
    while (child) {
        DOMNodeType type = NODE_INVALID;
        child->get_nodeType(&type);
        // Only elements: a processing instruction has a name too.
        if (type == NODE_ELEMENT) {
            unique_bstr name;
            child->get_nodeName(name.put());
            try {
                if (auto element = m_engine->CreateElement(name.view(), this)) {
                    element->Parse(child.get());
                    AddChild(std::move(element));
                }
            } catch (const std::bad_alloc&) {
                // No element for this node; the rest of the tree is still built.
            }
        }
        com_ptr<IXMLDOMNode> next;
        child->get_nextSibling(next.put());
        child = std::move(next);
    }
}

int CWynElement::Depth() const noexcept {
    int depth = 0;
    for (const CWynElement* e = m_parent; e; e = e->m_parent)
        ++depth;
    return depth;
}

bool CWynElement::Load(const wchar_t* source, const wchar_t* rootPath, HINSTANCE module) {
    const auto description = kelvo::LoadDescription(source, rootPath, module);
    return description && Parse(description->root.get());
}

void CWynElement::AddChild(std::unique_ptr<CWynElement> child) {
    m_children.push_back(std::move(child));
}

void CWynElement::Create() {
    if (m_parent) {
        const RECT pixels = ToPixels({m_cellSpaceX, m_cellSpaceY, m_maxWidth, m_maxHeight});
        m_cellSpaceX = m_cellSpaceX >= 0 ? pixels.left : m_parent->m_cellSpaceX;
        m_cellSpaceY = m_cellSpaceY >= 0 ? pixels.top : m_parent->m_cellSpaceY;
        m_maxWidth = pixels.right;
        m_maxHeight = pixels.bottom;
    }
    for (const auto& child : m_children)
        child->Create();
}

void CWynElement::OnOwnerAction(CWynElement*) {}

std::int64_t CWynElement::OnEvent(CWynElement* source, std::wstring_view name, WPARAM first,
                                  LPARAM second) {
    return m_parent ? m_parent->OnEvent(source, name, first, second) : 0;
}

bool CWynElement::IsLive() {
    return m_parent ? m_parent->IsLive() : true;
}

int CWynElement::NextControlId() {
    return m_parent ? m_parent->NextControlId() : 0;
}

bool CWynElement::HandleMenuKey(wchar_t character) {
    if (IsHidden())
        return false;
    for (const auto& child : m_children) {
        if (child->HandleMenuKey(character))
            return true;
    }
    return false;
}

HFONT CWynElement::GetFont() {
    return m_parent ? m_parent->GetFont() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

LRESULT CWynElement::OnNotify(int, NMHDR*) {
    return 0;
}

LRESULT CWynElement::OnCommand(int, int, HWND) {
    return 0;
}

int CWynElement::GetKind() {
    return 0;
}

HWND CWynElement::GetWindow() {
    if (m_hWnd)
        return m_hWnd;
    return m_parent ? m_parent->GetWindow() : nullptr;
}

void CWynElement::SetIntValue(int) {}

int CWynElement::GetIntValue() {
    return 0;
}

void CWynElement::SetTextValue(const wchar_t*) {}

const wchar_t* CWynElement::GetTextValue() {
    return nullptr;
}

void CWynElement::DoCommand(const wchar_t*) {}

void CWynElement::ApplyVisibility() {
    if (m_hWnd)
        ::ShowWindow(m_hWnd, IsHidden() ? SW_HIDE : SW_SHOW);
    for (const auto& child : m_children)
        child->ApplyVisibility();
}

void CWynElement::ApplyEnabled() {
    if (m_hWnd)
        ::EnableWindow(m_hWnd, !IsDisabled());
    for (const auto& child : m_children)
        child->ApplyEnabled();
}

bool CWynElement::IsDisabled() {
    return m_disabled || (m_parent && m_parent->IsDisabled());
}

bool CWynElement::IsHidden() {
    return m_hidden || (m_parent && m_parent->IsHidden());
}

void CWynElement::SetWidthHint(int) {}

CWynElement* CWynElement::FindByControlId(int controlId) {
    if (m_controlId == controlId)
        return this;
    for (const auto& child : m_children) {
        if (CWynElement* found = child->FindByControlId(controlId))
            return found;
    }
    return nullptr;
}

CWynElement* CWynElement::FindByWindow(HWND window) {
    if (window && m_hWnd == window)
        return this;
    for (const auto& child : m_children) {
        if (CWynElement* found = child->FindByWindow(window))
            return found;
    }
    return nullptr;
}

CWynElement* CWynElement::FindById(std::wstring_view id) {
    if (m_id && kelvo::EqualsNoCase(*m_id, id))
        return this;
    for (const auto& child : m_children) {
        if (CWynElement* found = child->FindById(id))
            return found;
    }
    return nullptr;
}

CWynElement* CWynElement::Root() {
    CWynElement* root = this;
    while (root->m_parent)
        root = root->m_parent;
    return root;
}

CWynElement* CWynElement::PreviousSibling() {
    if (!m_parent)
        return nullptr;
    const auto& siblings = m_parent->m_children;
    for (std::size_t i = 1; i < siblings.size(); ++i) {
        if (siblings[i].get() == this)
            return siblings[i - 1].get();
    }
    return nullptr;
}

std::optional<std::wstring> CWynElement::GetLocalizedAttribute(IXMLDOMNode* node,
                                                               const wchar_t* name) {
    if (m_locid) {
        if (const std::wstring* text = m_engine->Lookup(*m_locid, name))
            return *text;
    }
    return CWynAttributes(node).Text(name);
}

void CWynElement::SetDisabled(bool disabled) {
    m_disabled = disabled;
    ApplyEnabled();
}

void CWynElement::SetHidden(bool hidden) {
    m_hidden = hidden;
    ApplyVisibility();
}

void CWynElement::SetFixedWidth(int width) {
    m_minWidth = width;
    m_hFlex = 0;
}

void CWynElement::SetFixedHeight(int height) {
    m_minHeight = height;
    m_vFlex = 0;
}

bool CWynElement::FocusFirst() {
    // A hidden or disabled control would take the keys out of the user's sight.
    if (m_hWnd && (::GetWindowLongW(m_hWnd, GWL_STYLE) & WS_TABSTOP) && !IsHidden() &&
        !IsDisabled()) {
        ::SetFocus(m_hWnd);
        return true;
    }
    for (const auto& child : m_children) {
        if (child->FocusFirst())
            return true;
    }
    return false;
}

void CWynElement::NotifyChildren(CWynElement* owner) {
    for (const auto& child : m_children)
        child->OnOwnerAction(owner);
}

std::int64_t CWynElement::RaiseEvent(std::wstring_view name, WPARAM first, LPARAM second) {
    return OnEvent(this, name, first, second);
}

const wchar_t* CWynElement::GetTextValueOr(const wchar_t* fallback) {
    const wchar_t* text = GetTextValue();
    return text ? text : fallback;
}

bool CWynElement::AnswerType(std::wstring_view own, std::wstring_view name, CWynElement*& element) {
    const bool matches = kelvo::EqualsNoCase(own, name);
    element = matches ? this : nullptr;
    return matches;
}

RECT CWynElement::ToPixels(RECT units) {
    return kelvo::DialogUnitsToPixels(GetWindow(), units);
}

kelvo::GridContainer CWynElement::Container() const {
    return {.orient =
                m_orient == kVertical ? kelvo::GridOrient::Vertical : kelvo::GridOrient::Horizontal,
            .columns = m_columns,
            .rows = m_rows,
            .cellSpaceX = m_cellSpaceX,
            .cellSpaceY = m_cellSpaceY,
            .marginLeft = m_margins.left,
            .marginRight = m_margins.right,
            .marginTop = m_margins.top,
            .marginBottom = m_margins.bottom,
            .minWidth = m_minWidth,
            .minHeight = m_minHeight,
            .maxWidth = m_maxWidth,
            .maxHeight = m_maxHeight};
}
