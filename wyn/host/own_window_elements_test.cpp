// What the element types with windows of their own classes share: they paint
// through the paint buffer in client coordinates, and their windows go with
// them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/win_handles.h"
#include "draw/paint_buffer.h"
#include "wyn/testing/test_dialog.h"
#include "wyn/testing/test_tree.h"

namespace {

using wyn_test::ScriptedDialog;

// Draws every image as a filled rectangle with a mark at its top-left corner,
// where it is asked for.
class FillingEngine : public CWynEngine {
public:
    FillingEngine() : CWynEngine(wyn_test::Module()) {}

    void DrawImage(HDC dc, int x, int y, int width, int height, const wchar_t*) override {
        Fill(dc, {x, y, x + width, y + height}, RGB(200, 0, 0));
        Fill(dc, {x, y, x + 2, y + 2}, RGB(0, 0, 200));
    }
    void DrawImageSkin(HDC dc, int x, int y, int width, int height, const wchar_t*, int, int,
                       bool) override {
        Fill(dc, {x, y, x + width, y + height}, RGB(0, 150, 0));
        Fill(dc, {x, y, x + 2, y + 2}, RGB(0, 0, 200));
    }

    static void Fill(HDC dc, const RECT& r, COLORREF colour) {
        kelvo::UniqueHbrush brush(::CreateSolidBrush(colour));
        ::FillRect(dc, &r, brush.Get());
    }
};

// The client area of `window` as the screen shows it, row by row.
std::vector<std::uint32_t> ScreenPixels(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    kelvo::CPaintBuffer copy;
    if (!copy.Create(client.right, client.bottom))
        return {};
    kelvo::WindowDc dc(window);
    ::BitBlt(copy.Dc(), 0, 0, client.right, client.bottom, dc.Get(), 0, 0, SRCCOPY);
    ::GdiFlush();
    const auto* bits = static_cast<const std::uint32_t*>(copy.Bits());
    std::vector<std::uint32_t> pixels(bits, bits + client.right * client.bottom);
    for (std::uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

// Paints `window` whole; then blackens it and has it paint only a part away
// from its origin: that part must come back as it was, the rest stay black.
void ExpectAPartPaintsAsTheWhole(HWND window, bool draws) {
    ASSERT_NE(window, nullptr);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const std::vector<std::uint32_t> whole = ScreenPixels(window);
    RECT client{};
    ::GetClientRect(window, &client);
    ASSERT_EQ(whole.size(), static_cast<std::size_t>(client.right * client.bottom));
    ASSERT_FALSE(whole.empty());
    if (draws) {
        const bool one_colour = std::all_of(whole.begin(), whole.end(),
                                            [&](std::uint32_t pixel) { return pixel == whole[0]; });
        EXPECT_FALSE(one_colour) << "something is drawn on the background";
    }

    {
        kelvo::WindowDc dc(window);
        FillingEngine::Fill(dc.Get(), client, RGB(0, 0, 0));
    }
    const RECT part{client.right / 3, client.bottom / 3, client.right, client.bottom};
    ::InvalidateRect(window, &part, TRUE);
    ::UpdateWindow(window);
    const std::vector<std::uint32_t> again = ScreenPixels(window);
    ASSERT_EQ(again.size(), whole.size());
    int wrong = 0;
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            const POINT point{x, y};
            const std::size_t i = static_cast<std::size_t>(y * client.right + x);
            const std::uint32_t expected = ::PtInRect(&part, point) ? whole[i] : 0u;
            wrong += again[i] != expected;
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels that differ from the whole paint";
}

TEST(OwnWindowElements, APartPaintsAsTheWholeInClientCoordinates) {
    wyn_test::InitPlatform();
    FillingEngine engine;
    wyn_test::DescriptionFile file(LR"(<dialog orient="vertical">
        <textbox id="focus"/>
        <hotkey id="hotkey" icon="delhkicon.png" background="delhkbg.png" width="120"/>
        <color id="colour" width="40" height="20"/>
        <url id="url" text="A link to follow" url=":notify:"/>
        <picture id="picture" pic="tint.png" picWidth="30" picHeight="20"/>
        <hbox><label value="left"/><vsplitter id="splitter"/><label value="right"/></hbox>
        <freedraw id="buffered" width="60" height="24" doubleBuffered="true"/>
        <freedraw id="plain" width="60" height="24"/>
        <tabswitcher id="switcher">
            <tab id="one" label="One" icon="delhkicon16.png"><textbox/></tab>
            <tab id="two" label="Two" caption="The second page"><textbox/></tab>
        </tabswitcher>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.eventAnswer = [](CWynElement*, std::wstring_view name, WPARAM first, LPARAM second) {
        if (name != L"freedraw")
            return std::int64_t{0};
        const auto dc = reinterpret_cast<HDC>(first);
        const RECT client = *reinterpret_cast<const RECT*>(second);
        FillingEngine::Fill(dc, {4, 4, client.right / 2, client.bottom - 4}, RGB(0, 0, 200));
        ::MoveToEx(dc, 0, 0, nullptr);
        ::LineTo(dc, client.right, client.bottom);
        return std::int64_t{1};
    };
    bool ran = false;
    dialog.steps = {
        [&](ScriptedDialog& d) {
            ran = true;
            d.FindById(L"switcher")->SetIntValue(1);
            for (const wchar_t* id :
                 {L"hotkey", L"colour", L"url", L"picture", L"buffered", L"plain", L"switcher"}) {
                SCOPED_TRACE(::testing::Message() << "element " << id);
                ExpectAPartPaintsAsTheWhole(d.Window(id), true);
            }
            SCOPED_TRACE("the splitter and the tab switcher's caption");
            ExpectAPartPaintsAsTheWhole(d.Window(L"splitter"), false);
            ExpectAPartPaintsAsTheWhole(
                ::FindWindowExW(d.Hwnd(), nullptr, L"WYN_TAB_CAPTION_WINDOW", nullptr), true);
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_TRUE(ran);
}

int ChildWindows(HWND parent) {
    int count = 0;
    ::EnumChildWindows(
        parent,
        [](HWND, LPARAM counter) -> BOOL {
            ++*reinterpret_cast<int*>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST(OwnWindowElements, ADeletedElementTakesItsWindowsAlong) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wyn_test::TestEngine engine;
    wyn_test::TestRoot root(&engine);
    const struct {
        const wchar_t* xml;
        int windows;
    } cases[] = {
        {L"<hotkey/>", 1},          {L"<color/>", 1},
        {L"<url text='link'/>", 1}, {L"<picture pic='tint.png' picWidth='2' picHeight='2'/>", 1},
        {L"<vsplitter/>", 1},       {L"<hsplitter/>", 1},
        {L"<freedraw/>", 1},        {L"<tabswitcher><tab label='One'/></tabswitcher>", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.xml);
        const kelvo::ComPtr<IXMLDOMNode> node = wyn_test::ParseElement(c.xml);
        kelvo::UniqueBstr name;
        ASSERT_TRUE(node && SUCCEEDED(node->get_nodeName(name.Put())));
        std::unique_ptr<CWynElement> element = engine.CreateElement(name.View(), &root);
        ASSERT_NE(element, nullptr);
        ASSERT_TRUE(element->Parse(node.Get()));
        element->Create();
        ASSERT_NE(element->Hwnd(), nullptr);
        EXPECT_EQ(ChildWindows(root.Dialog()), c.windows);
        element.reset();
        EXPECT_EQ(ChildWindows(root.Dialog()), 0) << "no window is left behind";
    }
}

} // namespace
