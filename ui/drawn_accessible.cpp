#include "ui/drawn_accessible.h"

#include <oleacc.h>

#include <new>
#include <utility>

namespace kelvo {

bool LabelBefore(HWND window, std::wstring& name) {
    HWND label = ::GetWindow(window, GW_HWNDPREV);
    wchar_t window_class[16] = {};
    if (!label || !::GetClassNameW(label, window_class, 16) ||
        ::CompareStringOrdinal(window_class, -1, L"Static", -1, TRUE) != CSTR_EQUAL)
        return false;
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(label)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
    name.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        // "&&" is a plain "&"; a single "&" marks the mnemonic.
        if (text[i] == L'&' && ++i == text.size())
            break;
        name += text[i];
    }
    return !name.empty();
}

bool AccessibleSource::AccName(std::wstring&) {
    return false;
}
long AccessibleSource::AccItemCount() const {
    return 0;
}
std::wstring AccessibleSource::AccItemName(long) {
    return {};
}
long AccessibleSource::AccItemState(long) const {
    return 0;
}
RECT AccessibleSource::AccItemRect(long) const {
    return {};
}
long AccessibleSource::AccItemAt(POINT) const {
    return -1;
}
long AccessibleSource::AccFocusedItem() const {
    return -1;
}
std::vector<long> AccessibleSource::AccSelectedItems() const {
    return {};
}
const wchar_t* AccessibleSource::AccDefaultAction(long) const {
    return nullptr;
}
bool AccessibleSource::AccDoDefaultAction(long) {
    return false;
}

namespace {

// The COM reference count and IUnknown of an object with one interface `I`
// (and those it derives from, named in `Also`).
template <typename I, typename... Also> class CComObject : public I {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(I) || ((iid == __uuidof(Also)) || ...)) {
            *out = static_cast<I*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~CComObject() = default;

private:
    ULONG m_references = 1;
};

// The child ids of the selected items, for a selection of more than one.
class CChildEnum final : public CComObject<IEnumVARIANT> {
public:
    explicit CChildEnum(std::vector<long> ids, ULONG next = 0)
        : m_ids(std::move(ids)), m_next(next) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        if (!out)
            return E_POINTER;
        ULONG given = 0;
        for (; given < count && m_next < m_ids.size(); ++given, ++m_next) {
            ::VariantInit(&out[given]);
            out[given].vt = VT_I4;
            out[given].lVal = m_ids[m_next];
        }
        if (fetched)
            *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const ULONG left = static_cast<ULONG>(m_ids.size()) - m_next;
        m_next += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        m_next = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
        if (!out)
            return E_POINTER;
        *out = new (std::nothrow) CChildEnum(m_ids, m_next);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::vector<long> m_ids;
    ULONG m_next;
};

HRESULT Text(const std::wstring& text, BSTR* out) {
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* out, long id) {
    out->vt = VT_I4;
    out->lVal = id;
}

} // namespace

class CAccessibleObject final : public CComObject<IAccessible, IDispatch> {
public:
    CAccessibleObject(HWND window, AccessibleSource& source) : m_window(window), m_source(&source) {
        ::CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                    m_standard.PutVoid());
    }

    void Disconnect() noexcept {
        m_source = nullptr;
        m_standard.Reset();
    }

private:
    // The standard object's answer; E_FAIL when the system gave none.
    template <typename Fn> HRESULT Standard(Fn&& fn) {
        return m_standard ? fn(*m_standard.Get()) : E_FAIL;
    }
    template <typename Fn> auto Std(Fn fn) {
        return [this, fn] { return Standard(fn); };
    }

public:
    // IDispatch: clients use the IAccessible methods themselves.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return Answer(Std([&](IAccessible& s) { return s.get_accParent(parent); }), parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return Answer(
            [&] {
                *count = m_source->AccItemCount();
                return S_OK;
            },
            count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return Answer(
            [&] {
                *out = nullptr;
                // Items are simple elements of this object, with no object of their own.
                return ItemOf(child) >= 0 ? S_FALSE : E_INVALIDARG;
            },
            out);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        const auto own = [&]() -> HRESULT {
            std::wstring text;
            if (m_source->AccName(text))
                return Text(text, name);
            return Standard([&](IAccessible& s) { return s.get_accName(child, name); });
        };
        return ForChild(
            child, own, [&](long index) { return Text(m_source->AccItemName(index), name); }, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return ForChild(child, Std([&](IAccessible& s) { return s.get_accValue(child, value); }),
                        NotSupported, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return ForChild(child,
                        Std([&](IAccessible& s) { return s.get_accDescription(child, text); }),
                        NotSupported, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        const auto answer = [role](long value) {
            SetChild(role, value);
            return S_OK;
        };
        return ForChild(
            child, [&] { return answer(m_source->AccRole()); },
            [&](long) { return answer(ROLE_SYSTEM_LISTITEM); }, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return ForChild(
            child, Std([&](IAccessible& s) { return s.get_accState(child, state); }),
            [&](long index) {
                SetChild(state, m_source->AccItemState(index));
                return S_OK;
            },
            state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return ForChild(child, Std([&](IAccessible& s) { return s.get_accHelp(child, help); }),
                        NotSupported, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return ForChild(child,
                        Std([&](IAccessible& s) { return s.get_accHelpTopic(file, child, topic); }),
                        NotSupported, file, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return ForChild(child,
                        Std([&](IAccessible& s) { return s.get_accKeyboardShortcut(child, keys); }),
                        NotSupported, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return Answer(
            [&]() -> HRESULT {
                ::VariantInit(focus);
                const long item = m_source->AccFocusedItem();
                if (::GetFocus() == m_window && item >= 0) {
                    SetChild(focus, item + 1);
                    return S_OK;
                }
                return Standard([&](IAccessible& s) { return s.get_accFocus(focus); });
            },
            focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return Answer(
            [&]() -> HRESULT {
                ::VariantInit(selection);
                std::vector<long> ids = m_source->AccSelectedItems();
                if (ids.empty())
                    return S_FALSE;
                for (long& id : ids)
                    ++id;
                if (ids.size() == 1) {
                    SetChild(selection, ids.front());
                    return S_OK;
                }
                selection->vt = VT_UNKNOWN;
                selection->punkVal = new CChildEnum(std::move(ids));
                return S_OK;
            },
            selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        const auto own = [&](long index) -> HRESULT {
            const wchar_t* name = m_source->AccDefaultAction(index);
            return name ? Text(name, action) : DISP_E_MEMBERNOTFOUND;
        };
        const auto self = [&]() -> HRESULT {
            if (m_source->AccDefaultAction(-1))
                return own(-1);
            return Standard([&](IAccessible& s) { return s.get_accDefaultAction(child, action); });
        };
        return ForChild(child, self, own, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return ForChild(child, Std([&](IAccessible& s) { return s.accSelect(flags, child); }),
                        NotSupported);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return ForChild(
            child,
            Std([&](IAccessible& s) { return s.accLocation(left, top, width, height, child); }),
            [&](long index) {
                RECT r = m_source->AccItemRect(index);
                ::MapWindowPoints(m_window, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
                *left = r.left;
                *top = r.top;
                *width = r.right - r.left;
                *height = r.bottom - r.top;
                return S_OK;
            },
            left, top, width, height);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return Answer(
            [&]() -> HRESULT {
                ::VariantInit(end);
                const long index = ItemOf(start);
                if (index == kSelf && direction != NAVDIR_FIRSTCHILD &&
                    direction != NAVDIR_LASTCHILD)
                    return Standard(
                        [&](IAccessible& s) { return s.accNavigate(direction, start, end); });
                if (index == kNoChild)
                    return E_INVALIDARG;
                const long to = Neighbour(index, direction);
                if (to < 0 || to >= m_source->AccItemCount())
                    return S_FALSE;
                SetChild(end, to + 1);
                return S_OK;
            },
            end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* found) override {
        return Answer(
            [&]() -> HRESULT {
                ::VariantInit(found);
                POINT point{x, y};
                RECT client{};
                ::ScreenToClient(m_window, &point);
                ::GetClientRect(m_window, &client);
                if (!::PtInRect(&client, point))
                    return Standard([&](IAccessible& s) { return s.accHitTest(x, y, found); });
                // Between items: the control itself, CHILDID_SELF.
                SetChild(found, m_source->AccItemAt(point) + 1);
                return S_OK;
            },
            found);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const auto self = [&]() -> HRESULT {
            if (m_source->AccDoDefaultAction(-1))
                return S_OK;
            return Standard([&](IAccessible& s) { return s.accDoDefaultAction(child); });
        };
        return ForChild(child, self, [&](long index) {
            return m_source->AccDoDefaultAction(index) ? S_OK : DISP_E_MEMBERNOTFOUND;
        });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    static constexpr long kSelf = -1;
    static constexpr long kNoChild = -2;

    static HRESULT NotSupported(long) { return DISP_E_MEMBERNOTFOUND; }

    // The item a child id names, kSelf for the control itself, kNoChild for
    // an id that names nothing.
    long ItemOf(const VARIANT& child) const {
        if (child.vt == VT_EMPTY)
            return kSelf;
        if (child.vt != VT_I4)
            return kNoChild;
        if (child.lVal == CHILDID_SELF)
            return kSelf;
        return child.lVal >= 1 && child.lVal <= m_source->AccItemCount() ? child.lVal - 1
                                                                         : kNoChild;
    }

    // The item next to `index` (kSelf: the control's first or last child)
    // in `direction`; -1 for none.
    long Neighbour(long index, long direction) const {
        switch (direction) {
        case NAVDIR_FIRSTCHILD:
            return index == kSelf ? 0 : -1;
        case NAVDIR_LASTCHILD:
            return index == kSelf ? m_source->AccItemCount() - 1 : -1;
        case NAVDIR_NEXT:
        case NAVDIR_DOWN:
            return index + 1;
        case NAVDIR_PREVIOUS:
        case NAVDIR_UP:
            return index - 1;
        default:
            return -1;
        }
    }

    // Every call checks its out parameters and the connection, and no
    // exception leaves it.
    template <typename Fn, typename... Out> HRESULT Answer(Fn&& fn, Out*... outs) noexcept {
        if (!((outs != nullptr) && ...))
            return E_POINTER;
        if (!m_source)
            return CO_E_OBJNOTCONNECTED;
        try {
            return fn();
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }

    // `self` for the control, `item` (given the index) for an item.
    template <typename Self, typename Item, typename... Out>
    HRESULT ForChild(const VARIANT& child, Self&& self, Item&& item, Out*... outs) noexcept {
        return Answer(
            [&]() -> HRESULT {
                const long index = ItemOf(child);
                if (index == kSelf)
                    return self();
                return index >= 0 ? item(index) : E_INVALIDARG;
            },
            outs...);
    }

    HWND m_window;
    AccessibleSource* m_source;
    ComPtr<IAccessible> m_standard;
};

// Out of line: the object's type is complete only here.
CAccessibility::CAccessibility(AccessibleSource& source) noexcept : m_source(source) {}

CAccessibility::~CAccessibility() {
    Disconnect();
}

LRESULT CAccessibility::OnGetObject(HWND window, WPARAM wParam, LPARAM lParam) {
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT))
        return ::DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    if (!m_object)
        m_object = ComPtr<CAccessibleObject>::Attach(new CAccessibleObject(window, m_source));
    return ::LresultFromObject(__uuidof(IAccessible), wParam,
                               static_cast<IAccessible*>(m_object.Get()));
}

void CAccessibility::Disconnect() noexcept {
    if (m_object)
        m_object->Disconnect();
    m_object.Reset();
}

void CAccessibility::Notify(DWORD event, HWND window, long index) noexcept {
    if (window)
        ::NotifyWinEvent(event, window, OBJID_CLIENT, index >= 0 ? index + 1 : CHILDID_SELF);
}

} // namespace kelvo
