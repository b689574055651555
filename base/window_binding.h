#pragma once
// The one way a window reaches the object behind it.
//
// Windows of the program's own classes: the class is registered once with
// RegisterWindowClass, the window is created with its object as creation
// parameter, and OwnWindowProc binds the two from WM_CREATE to WM_DESTROY
// through a window property named after the class and ending in "_this".
// The object holds its handle while it handles WM_CREATE; once it has handled
// WM_DESTROY the binding is gone and its handle is null. Messages before the
// binding (WM_NCCREATE, ...) and after it (WM_NCDESTROY) get the default
// window procedure. A COwnWindow in the object destroys a window that
// outlives it.
//
// Dialogs are bound through DWLP_USER by OwnDialogProc, and an object that
// listens on a window of someone else's does so through a CWindowSubclass.
//
// The exception rule, the same at all three: nothing escapes. A handler that
// throws while handling WM_CREATE fails the creation (CreateWindowExW returns
// null); any other message it throws on gets the default answer (the default
// window procedure's, FALSE in a dialog, the next procedure's in a subclass).

#include <windows.h>

#include <commctrl.h>

#include <utility>

#include "base/unique_any.h"

namespace kelvo {

// Registers the class described unless its module already has a class of
// that name, so that a class is registered once however many objects ask.
// True when the class exists afterwards.
bool RegisterWindowClass(const WNDCLASSEXW& description) noexcept;

// The description of a class with these fields, the others zero; `cursor` is
// a system cursor (IDC_...) or null for none.
WNDCLASSEXW ClassDescription(HINSTANCE module, const wchar_t* name, WNDPROC procedure,
                             UINT style = 0, const wchar_t* cursor = IDC_ARROW) noexcept;

namespace detail {

template <typename> struct MemberClass;
template <typename C, typename R, typename... Args> struct MemberClass<R (C::*)(Args...)> {
    using Type = C;
};

// Asks a window of an own class to drop its binding (see OwnWindowProc).
UINT UnbindMessage() noexcept;
// Unbinds the window, then destroys it.
void AbandonWindow(HWND window) noexcept;

} // namespace detail

// The window an object owns: OwnWindowProc fills this owner at WM_CREATE and
// empties it (release) once WM_DESTROY was handled. When the owner goes, or
// is reset, with the window still there, the window is unbound first and then
// destroyed, so that an object being destroyed never receives another message
// and no window is left pointing at freed memory.
using COwnWindow = UniqueAny<HWND, detail::AbandonWindow>;

namespace detail {

// The places an object keeps its window handle in: a plain handle or an owner.
inline void Bind(HWND& handle, HWND window) noexcept {
    handle = window;
}
inline void Unbind(HWND& handle) noexcept {
    handle = nullptr;
}
inline void Bind(COwnWindow& owner, HWND window) noexcept {
    owner.Reset(window);
}
inline void Unbind(COwnWindow& owner) noexcept {
    owner.Release();
}

} // namespace detail

// The window procedure of an own class. `Handler` is the object's message
// handler, a member function taking the window procedure's parameters, and
// the creation parameter points to an object of its class; `Handles` are the
// members that hold the object's window (HWND or COwnWindow), set at the
// binding and cleared at its end.
template <const wchar_t* Property, auto Handler, auto... Handles>
LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    using T = typename detail::MemberClass<decltype(Handler)>::Type;
    if (message == detail::UnbindMessage()) {
        ::RemovePropW(window, Property);
        return 0;
    }
    T* self = nullptr;
    if (message == WM_CREATE) {
        self = static_cast<T*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (!self)
            return ::DefWindowProcW(window, message, wParam, lParam);
        if (!::SetPropW(window, Property, self))
            return -1; // an object its window cannot reach could not work
        (detail::Bind(self->*Handles, window), ...);
    } else {
        self = static_cast<T*>(::GetPropW(window, Property));
        if (!self)
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        result = (self->*Handler)(window, message, wParam, lParam);
    } catch (...) {
        result = message == WM_CREATE ? -1 : ::DefWindowProcW(window, message, wParam, lParam);
    }
    // A failed creation unbinds at once: the window goes without the object.
    if (message == WM_DESTROY || (message == WM_CREATE && result == -1)) {
        ::RemovePropW(window, Property);
        (detail::Unbind(self->*Handles), ...);
    }
    return result;
}

// The dialog procedure of a dialog created with its object as the
// initialisation parameter (DialogBoxIndirectParamW, CreateDialog...): the
// object is bound through DWLP_USER from WM_INITDIALOG, which `Handler`
// already gets, to WM_DESTROY. `Handler` answers as a dialog procedure does;
// `Handles` are the HWND members that hold the dialog's window while the
// binding lasts. A throw answers FALSE.
template <auto Handler, auto... Handles>
INT_PTR CALLBACK OwnDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    using T = typename detail::MemberClass<decltype(Handler)>::Type;
    T* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<T*>(lParam);
        if (!self)
            return FALSE;
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        ((self->*Handles = window), ...);
    } else {
        self = reinterpret_cast<T*>(::GetWindowLongPtrW(window, DWLP_USER));
        if (!self)
            return FALSE;
    }
    INT_PTR result = FALSE;
    try {
        result = (self->*Handler)(window, message, wParam, lParam);
    } catch (...) {
        result = FALSE;
    }
    if (message == WM_DESTROY) {
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        ((self->*Handles = nullptr), ...);
    }
    return result;
}

// An object listening on a window it does not own, through SetWindowSubclass.
// The subclass is removed when that window goes (WM_NCDESTROY) or when this
// owner goes, whichever comes first.
class CWindowSubclass {
public:
    CWindowSubclass() noexcept = default;
    CWindowSubclass(const CWindowSubclass&) = delete;
    CWindowSubclass& operator=(const CWindowSubclass&) = delete;
    ~CWindowSubclass() { Reset(); }

    // Subclasses `window` for `object`: `Handler` (a member function taking
    // the window procedure's parameters) gets every message and passes on
    // what it does not take with DefSubclassProc; `Owner` is the member of
    // the object that holds the subclass. False when the system refused.
    template <auto Handler, auto Owner>
    static bool Install(HWND window,
                        typename detail::MemberClass<decltype(Handler)>::Type& object) {
        CWindowSubclass& owner = object.*Owner;
        owner.Reset();
        const auto id = reinterpret_cast<UINT_PTR>(&object);
        if (!::SetWindowSubclass(window, &Procedure<Handler, Owner>, id,
                                 reinterpret_cast<DWORD_PTR>(&object)))
            return false;
        owner.m_window = window;
        owner.m_procedure = &Procedure<Handler, Owner>;
        owner.m_id = id;
        return true;
    }

    HWND Window() const noexcept { return m_window; }
    void Reset() noexcept {
        if (m_window)
            ::RemoveWindowSubclass(std::exchange(m_window, nullptr), m_procedure, m_id);
    }

private:
    template <auto Handler, auto Owner>
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data) noexcept {
        using T = typename detail::MemberClass<decltype(Handler)>::Type;
        auto* self = reinterpret_cast<T*>(data);
        if (message == WM_NCDESTROY) {
            ::RemoveWindowSubclass(window, &Procedure<Handler, Owner>, id);
            if (CWindowSubclass& owner = self->*Owner; owner.m_window == window)
                owner.m_window = nullptr;
            return ::DefSubclassProc(window, message, wParam, lParam);
        }
        try {
            return (self->*Handler)(window, message, wParam, lParam);
        } catch (...) {
            return ::DefSubclassProc(window, message, wParam, lParam);
        }
    }

    HWND m_window = nullptr;
    SUBCLASSPROC m_procedure = nullptr;
    UINT_PTR m_id = 0;
};

} // namespace kelvo
