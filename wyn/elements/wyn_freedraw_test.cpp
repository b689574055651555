#include "wyn/elements/wyn_freedraw.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/win_handles.h"
#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

constexpr COLORREF kPainted = RGB(10, 200, 30);

TEST(WynFreeDrawTest, TheDialogPaintsItAndHearsTheMouse) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog>
        <freedraw id="plain" width="40" height="20"/>
        <freedraw id="buffered" width="40" height="20" doubleBuffered="true"/>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    RECT painted{};
    dialog.eventAnswer = [&](CWynElement*, std::wstring_view name, WPARAM first, LPARAM second) {
        if (name == L"freedraw") {
            painted = *reinterpret_cast<const RECT*>(second);
            kelvo::UniqueHbrush brush(::CreateSolidBrush(kPainted));
            ::FillRect(reinterpret_cast<HDC>(first), &painted, brush.Get());
            return std::int64_t{1};
        }
        return std::int64_t{name == L"lbuttondown"};
    };
    dialog.steps = {
        [&](ScriptedDialog& d) {
            for (const wchar_t* id : {L"plain", L"buffered"}) {
                HWND window = d.Window(id);
                ::RedrawWindow(window, nullptr, nullptr,
                               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
                RECT client{};
                ::GetClientRect(window, &client);
                EXPECT_TRUE(::EqualRect(&painted, &client)) << "the whole client area";
                kelvo::WindowDc dc(window);
                EXPECT_EQ(::GetPixel(dc.Get(), client.right / 2, client.bottom / 2), kPainted)
                    << "what the dialog drew reaches the screen";
                EXPECT_EQ(::GetPixel(dc.Get(), 0, 0), kPainted);
            }
            const RECT placed = d.Placed(L"plain");
            EXPECT_EQ(placed.right - placed.left, wyn_test::HorizontalUnits(d.Hwnd(), 40));
            d.events.clear();
            ::SendMessageW(d.Window(L"plain"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
            ::SendMessageW(d.Window(L"plain"), WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
            ASSERT_EQ(d.events.size(), 2u);
            EXPECT_EQ(d.events[0].name, L"lbuttondown");
            EXPECT_EQ(d.events[1].name, L"mousemove");
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
