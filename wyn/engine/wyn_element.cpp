#include "wyn/engine/wyn_element.h"

#include <algorithm>
#include <new>

#include "base/com.h"
#include "base/unique_any.h"
#include "wyn/engine/description.h"
#include "wyn/engine/dialog_units.h"
#include "wyn/engine/no_case.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/engine/wyn_engine.h"

using kelvo::ComPtr;
using kelvo::UniqueBstr;

namespace {

// Deeper nesting than any dialog needs; elements below it are dropped, which
// keeps the recursive passes over the tree off the end of the stack.
constexpr int kMaxDepth = 64;

// One repaint of the dialog after a whole layout: no copying of old contents,
// erasing deferred.
constexpr UINT kMoveFlags = SWP_NOZORDER | SWP_NOCOPYBITS | SWP_NOOWNERZORDER | SWP_DEFERERASE;

void EndBatch(HDWP batch) noexcept {
    ::EndDeferWindowPos(batch);
}
// A batch of window moves, carried out when the owner goes.
using UniqueHdwp = kelvo::UniqueAny<HDWP, EndBatch>;

void MoveAlone(const CWynLayout::Move& move) {
    ::SetWindowPos(move.window, nullptr, move.rect.left, move.rect.top, move.rect.width,
                   move.rect.height, kMoveFlags | move.flags);
}

// The moves of the windows of one parent as one batch. A batch that fails is
// abandoned by the system, so its windows are then moved one by one.
void MoveSiblings(const std::vector<const CWynLayout::Move*>& moves) {
    UniqueHdwp batch(::BeginDeferWindowPos(static_cast<int>(moves.size())));
    for (const CWynLayout::Move* move : moves) {
        if (!batch)
            break;
        batch.Reset(::DeferWindowPos(batch.Release(), move->window, nullptr, move->rect.left,
                                     move->rect.top, move->rect.width, move->rect.height,
                                     kMoveFlags | move->flags));
    }
    if (batch)
        return;
    for (const CWynLayout::Move* move : moves)
        MoveAlone(*move);
}

// DeferWindowPos takes the windows of one parent per batch: one batch for each
// parent, in the order the parents first appear.
void MoveWindows(const std::vector<CWynLayout::Move>& moves) {
    std::vector<HWND> parents;
    for (const CWynLayout::Move& move : moves) {
        HWND parent = ::GetAncestor(move.window, GA_PARENT);
        if (std::find(parents.begin(), parents.end(), parent) == parents.end())
            parents.push_back(parent);
    }
    for (HWND parent : parents) {
        std::vector<const CWynLayout::Move*> siblings;
        for (const CWynLayout::Move& move : moves) {
            if (::GetAncestor(move.window, GA_PARENT) == parent)
                siblings.push_back(&move);
        }
        MoveSiblings(siblings);
    }
}

} // namespace

// The children of an element as the grid solver sees them.
class CWynElement::ChildSource : public kelvo::GridChildSource {
public:
    explicit ChildSource(const std::vector<std::unique_ptr<CWynElement>>& children)
        : m_children(children) {}

    std::size_t Count() const override { return m_children.size(); }

    kelvo::GridChild Measure(std::size_t index) const override {
        const CWynElement& child = *m_children[index];
        const SIZE natural = child.Measure();
        return {.width = natural.cx,
                .height = natural.cy,
                .span = child.m_span,
                .hFlex = child.m_hFlex,
                .vFlex = child.m_vFlex};
    }

    std::int32_t HeightForWidth(std::size_t index, std::int32_t width) const override {
        return m_children[index]->HeightForWidth(width);
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

SIZE CWynElement::Measure() const {
    const kelvo::GridSize size =
        kelvo::MeasureGrid(Container(), kelvo::MeasureChildren(ChildSource(m_children)));
    return {size.width, size.height};
}

int CWynElement::HeightForWidth(int width) const {
    if (m_children.empty())
        return Measure().cy;
    const kelvo::GridContainer container = Container();
    return kelvo::MeasureGrid(container, kelvo::FitChildrenToCells(
                                             container, ChildSource(m_children), {0, 0, width, 0}))
        .height;
}

void CWynElement::CalculateLayout(const Rect& rect, CWynLayout& layout) const {
    const kelvo::GridArrangement arranged = ArrangeChildren(rect);
    if (m_hWnd && m_parent && !m_fixedPosition)
        layout.moves.push_back({m_hWnd, arranged.window});
    PlaceChildren(arranged, layout);
}

kelvo::GridArrangement CWynElement::ArrangeChildren(const Rect& rect) const {
    const kelvo::GridContainer container = Container();
    std::vector<kelvo::GridChild> children =
        kelvo::FitChildrenToCells(container, ChildSource(m_children), rect);
    kelvo::GridArrangement arranged = kelvo::ArrangeGrid(container, children, rect);
    bool limited = false;
    for (std::size_t i = 1; i < m_children.size(); ++i) {
        limited |= m_children[i]->LimitPrevious(children[i - 1], arranged.cells[i - 1],
                                                arranged.cells[i], rect);
    }
    return limited ? kelvo::ArrangeGrid(container, children, rect) : arranged;
}

void CWynElement::PlaceChildren(const kelvo::GridArrangement& arranged, CWynLayout& layout) const {
    for (std::size_t i = 0; i < arranged.cells.size(); ++i) {
        layout.placements.push_back({m_children[i].get(), arranged.cells[i]});
        m_children[i]->CalculateLayout(arranged.cells[i], layout);
    }
}

CWynLayout CWynElement::Layout(const Rect& rect) {
    CWynLayout layout;
    layout.placements.push_back({this, rect});
    CalculateLayout(rect, layout);
    return layout;
}

void CWynElement::ApplyLayout(const CWynLayout& layout) {
    for (const CWynLayout::Placement& placed : layout.placements)
        placed.element->m_rect = placed.rect;
    MoveWindows(layout.moves);
    for (const CWynLayout::Placement& placed : layout.placements)
        placed.element->OnLayoutApplied();
}

void CWynElement::Arrange(int left, int top, int width, int height) {
    ApplyLayout(Layout({left, top, width, height}));
}

bool CWynElement::Parse(IXMLDOMNode* node) {
    const CWynAttributes attributes(node);
    m_requestedWidth = attributes.Int(L"width", 0);
    m_requestedHeight = attributes.Int(L"height", 0);
    m_hFlex = attributes.Int(L"hFlex", 0);
    m_vFlex = attributes.Int(L"vFlex", 0);
    m_minWidth = attributes.Int(L"minwidth", 0);
    m_minHeight = attributes.Int(L"minheight", 0);
    m_pixels.minWidth = m_minWidth;
    m_pixels.minHeight = m_minHeight;
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
    ComPtr<IXMLDOMNode> child;
    node->get_firstChild(child.Put());
    while (child) {
        DOMNodeType type = NODE_INVALID;
        child->get_nodeType(&type);
        // Only elements: a processing instruction has a name too.
        if (type == NODE_ELEMENT) {
            UniqueBstr name;
            child->get_nodeName(name.Put());
            try {
                if (auto element = m_engine->CreateElement(name.View(), this)) {
                    element->Parse(child.Get());
                    AddChild(std::move(element));
                }
            } catch (const std::bad_alloc&) {
                // No element for this node; the rest of the tree is still built.
            }
        }
        ComPtr<IXMLDOMNode> next;
        child->get_nextSibling(next.Put());
        child = std::move(next);
    }
}

int CWynElement::Depth() const noexcept {
    int depth = 0;
    for (const CWynElement* e = m_parent; e; e = e->m_parent)
        ++depth;
    return depth;
}

bool CWynElement::Load(const wchar_t* source, const wchar_t* root_path, HINSTANCE module) {
    const auto description = kelvo::LoadDescription(source, root_path, module);
    return description && Parse(description->root.Get());
}

void CWynElement::AddChild(std::unique_ptr<CWynElement> child) {
    m_children.push_back(std::move(child));
}

void CWynElement::Create() {
    UpdatePixels();
    for (const auto& child : m_children)
        child->Create();
}

void CWynElement::UpdatePixels() {
    // Least sizes taken as pixels are 96-DPI values; types that measure
    // their natural size replace them.
    m_pixels.minWidth = Scale(m_minWidth);
    m_pixels.minHeight = Scale(m_minHeight);
    if (!m_parent)
        return;
    const RECT pixels = ToPixels({m_cellSpaceX, m_cellSpaceY, m_maxWidth, m_maxHeight});
    m_pixels.cellSpaceX = m_cellSpaceX >= 0 ? pixels.left : m_parent->m_pixels.cellSpaceX;
    m_pixels.cellSpaceY = m_cellSpaceY >= 0 ? pixels.top : m_parent->m_pixels.cellSpaceY;
    m_pixels.maxWidth = pixels.right;
    m_pixels.maxHeight = pixels.bottom;
}

void CWynElement::UpdateTreePixels() {
    UpdatePixels();
    for (const auto& child : m_children)
        child->UpdateTreePixels();
}

UINT CWynElement::GetDpi() const {
    if (m_parent)
        return m_parent->GetDpi();
    const UINT dpi = m_hWnd ? ::GetDpiForWindow(m_hWnd) : 0;
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

RECT CWynElement::UnitsToPixels(RECT units) const {
    return m_parent ? m_parent->UnitsToPixels(units)
                    : kelvo::DialogUnitsToPixels(GetWindow(), units);
}

int CWynElement::Scale(int value) const {
    return ::MulDiv(value, static_cast<int>(GetDpi()), USER_DEFAULT_SCREEN_DPI);
}

int CWynElement::Metric(int index) const {
    return ::GetSystemMetricsForDpi(index, GetDpi());
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

HFONT CWynElement::GetFont() const {
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

HWND CWynElement::GetWindow() const {
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

void CWynElement::OnLayoutApplied() {}

bool CWynElement::LimitPrevious(kelvo::GridChild&, const Rect&, const Rect&, const Rect&) const {
    return false;
}

CWynElement* CWynElement::FindByControlId(int control_id) {
    if (m_controlId == control_id)
        return this;
    for (const auto& child : m_children) {
        if (CWynElement* found = child->FindByControlId(control_id))
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

CWynElement* CWynElement::PreviousSibling() const {
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
    m_pixels.minWidth = width;
    m_hFlex = 0;
}

void CWynElement::SetFixedHeight(int height) {
    m_pixels.minHeight = height;
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

RECT CWynElement::ToPixels(RECT units) const {
    return UnitsToPixels(units);
}

kelvo::GridContainer CWynElement::Container() const {
    return {.orient = m_orient == kVertical ? kelvo::GridOrient::kVertical
                                            : kelvo::GridOrient::kHorizontal,
            .columns = m_columns,
            .rows = m_rows,
            .cellSpaceX = m_pixels.cellSpaceX,
            .cellSpaceY = m_pixels.cellSpaceY,
            .marginLeft = m_pixels.margins.left,
            .marginRight = m_pixels.margins.right,
            .marginTop = m_pixels.margins.top,
            .marginBottom = m_pixels.margins.bottom,
            .minWidth = m_pixels.minWidth,
            .minHeight = m_pixels.minHeight,
            .maxWidth = m_pixels.maxWidth,
            .maxHeight = m_pixels.maxHeight};
}
