#pragma once
// Fixtures of the drawn controls' tests: elements that the application's
// engine makes from a description, in a test dialog on the screen, under an
// owner whose answers the test gives; what screen readers see of a window;
// and pictures of windows saved for people to look at.

#include <windows.h>

#include <oleacc.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/com.h"
#include "base/win_handles.h"
#include "tools/wynview/window_capture.h"
#include "ui/kv_wyn_engine.h"
#include "wyn/testing/test_tree.h"

namespace ui_test {

using Answer = std::function<std::int64_t(CWynElement* source, std::wstring_view name, WPARAM first,
                                          LPARAM second)>;

// The dialog of a test: every event is recorded and offered to `answer`.
class OwnerRoot : public wyn_test::TestRoot {
public:
    using TestRoot::TestRoot;

    std::int64_t OnEvent(CWynElement* source, std::wstring_view name, WPARAM first,
                         LPARAM second) override {
        events.push_back({source, std::wstring(name), first, second});
        return answer ? answer(source, name, first, second) : 0;
    }

    // The names of the recorded events that `keep` lets through, then forgets
    // all of them.
    std::vector<std::wstring> TakeEvents(const std::function<bool(std::wstring_view)>& keep) {
        std::vector<std::wstring> names;
        for (const wyn_test::Event& event : events) {
            if (keep(event.name))
                names.push_back(event.name);
        }
        events.clear();
        return names;
    }

    Answer answer;
    std::vector<wyn_test::Event> events;
};

// Builds the description's tree in `root`, lays it out at its natural size
// and shows the dialog without activating it.
inline void Build(OwnerRoot& root, std::wstring_view xml) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (!root.Parse(wyn_test::ParseElement(xml).Get()))
        return;
    root.Create();
    const SIZE natural = root.Measure();
    root.Arrange(0, 0, natural.cx, natural.cy);
    RECT outer{0, 0, natural.cx, natural.cy};
    ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongW(root.Dialog(), GWL_STYLE)),
                         FALSE, 0);
    ::SetWindowPos(root.Dialog(), nullptr, 40, 40, outer.right - outer.left,
                   outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::UpdateWindow(root.Dialog());
}

// A pixel of the window as it is on the screen, its frame included.
inline COLORREF ScreenPixel(HWND window, int x, int y) {
    ::UpdateWindow(window);
    kelvo::WindowDc dc(window, true);
    return ::GetPixel(dc.Get(), x, y);
}

// Saves the window, frame included, as shots/<name>.png beside the test
// program's working folder, for a person to look at.
inline bool SaveShot(HWND window, const wchar_t* name) {
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    std::error_code ignored;
    std::filesystem::create_directories(L"shots", ignored);
    return kelvo::CaptureWindowToPng(window, (std::wstring(L"shots\\") + name + L".png").c_str());
}

// The client object screen readers get from the window.
inline kelvo::ComPtr<IAccessible> AccessibleOf(HWND window) {
    kelvo::ComPtr<IAccessible> object;
    ::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                 object.PutVoid());
    return object;
}

inline VARIANT Child(long id) {
    VARIANT child;
    ::VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

inline std::wstring AccName(IAccessible& object, long id) {
    kelvo::UniqueBstr name;
    object.get_accName(Child(id), name.Put());
    return std::wstring(name.View());
}

// Role and state are numbers; -1 when the object does not answer.
inline long AccNumber(IAccessible& object, long id, bool role) {
    VARIANT value;
    ::VariantInit(&value);
    const HRESULT hr =
        role ? object.get_accRole(Child(id), &value) : object.get_accState(Child(id), &value);
    return SUCCEEDED(hr) && value.vt == VT_I4 ? value.lVal : -1;
}

} // namespace ui_test
