#include "wyn/elements/wyn_splitter.h"

#include <gtest/gtest.h>

#include "wyn/testing/test_tree.h"

namespace {

using wyn_test::PlacedRect;
using wyn_test::TestEngine;
using wyn_test::TestRoot;

class WynSplitterTest : public ::testing::Test {
protected:
    void SetUp() override { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

    // A row of a fixed leaf, a splitter and a flexible leaf, laid out 400
    // pixels wide, or the same as a column with a horizontal splitter.
    void Build(const wchar_t* xml) {
        ASSERT_NO_FATAL_FAILURE(Create(xml));
        root.Arrange(0, 0, 400, 400);
    }

    // The same, not laid out yet.
    void Create(const wchar_t* xml) {
        ASSERT_TRUE(root.Parse(wyn_test::ParseElement(xml).get()));
        root.Create();
        first = root.FindById(L"first");
        splitter = root.FindById(L"split");
        ASSERT_NE(first, nullptr);
        ASSERT_NE(splitter, nullptr);
        ASSERT_NE(splitter->hwnd(), nullptr);
    }

    // Presses the splitter, moves the mouse by (dx, dy) and lets go.
    void Drag(int dx, int dy) {
        HWND window = splitter->hwnd();
        ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2 + dx, 2 + dy));
        // The splitter has moved along: the same distance from its new place.
        ::SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }

    TestEngine engine;
    TestRoot root{&engine};
    CWynElement* first = nullptr;
    CWynElement* splitter = nullptr;
};

TEST_F(WynSplitterTest, DraggingTheVerticalSplitterWidensThePreviousElement) {
    Build(L"<dialog><hbox hFlex='1' vFlex='1'><leaf id='first' minwidth='100' "
          L"minheight='50'/><vsplitter id='split'/>"
          L"<leaf id='rest' hFlex='1' minwidth='20' minheight='50'/></hbox></dialog>");
    const int before = first->rect().width;
    const int barBefore = splitter->rect().left;
    EXPECT_EQ(splitter->GetIntValue(), before);

    Drag(30, 0);
    EXPECT_EQ(first->rect().width, before + 30);
    EXPECT_EQ(splitter->GetIntValue(), before + 30);
    const RECT placed = PlacedRect(first->hwnd());
    EXPECT_EQ(placed.right - placed.left, before + 30) << "the window follows";
    EXPECT_EQ(PlacedRect(splitter->hwnd()).left, barBefore + 30) << "the splitter moves along";
    EXPECT_EQ(::GetCapture(), nullptr) << "the mouse is let go";
}

TEST_F(WynSplitterTest, DragsStayInsideTheContainer) {
    Build(L"<dialog><hbox hFlex='1' vFlex='1'><leaf id='first' minwidth='100' "
          L"minheight='50'/><vsplitter id='split'/>"
          L"<leaf id='rest' hFlex='1' minwidth='20' minheight='50'/></hbox></dialog>");
    Drag(-1000, 0);
    EXPECT_EQ(first->rect().width, 0);
    Drag(5000, 0);
    const CWynElement::Rect& box = splitter->parent()->rect();
    EXPECT_EQ(splitter->rect().left + splitter->rect().width, box.left + box.width)
        << "the splitter stops at the container's edge";
}

TEST_F(WynSplitterTest, HorizontalSplitterResizesHeights) {
    Build(L"<dialog><vbox hFlex='1' vFlex='1'><leaf id='first' minwidth='50' "
          L"minheight='100'/><hsplitter id='split'/>"
          L"<leaf id='rest' vFlex='1' minwidth='50' minheight='20'/></vbox></dialog>");
    const int before = first->rect().height;
    Drag(0, 30);
    EXPECT_EQ(first->rect().height, before + 30);
    EXPECT_EQ(splitter->GetIntValue(), before + 30);
}

TEST_F(WynSplitterTest, SettingTheValueFixesThePreviousSize) {
    Build(L"<dialog><hbox hFlex='1' vFlex='1'><leaf id='first' hFlex='1' minwidth='10' "
          L"minheight='50'/>"
          L"<vsplitter id='split'/><leaf id='rest' hFlex='2' minwidth='10' minheight='50'/>"
          L"</hbox></dialog>");
    splitter->SetIntValue(120);
    EXPECT_EQ(first->rect().width, 120);
    EXPECT_EQ(splitter->GetIntValue(), 120);
    root.Arrange(0, 0, 600, 400);
    EXPECT_EQ(first->rect().width, 120) << "no longer flexible";
}

// A restored width, set before the first layout or wider than the window
// then is, stays the value and applies once the room is there.
TEST_F(WynSplitterTest, ASetValueIsKeptUntilThereIsRoomForIt) {
    ASSERT_NO_FATAL_FAILURE(
        Create(L"<dialog><hbox hFlex='1' vFlex='1'><leaf id='first' hFlex='1' minwidth='10' "
               L"minheight='50'/><vsplitter id='split'/>"
               L"<leaf id='rest' hFlex='1' minwidth='20' minheight='50'/></hbox></dialog>"));
    splitter->SetIntValue(150);
    EXPECT_EQ(splitter->GetIntValue(), 150) << "before any layout";
    root.Arrange(0, 0, 400, 400);
    EXPECT_EQ(first->rect().width, 150);
    EXPECT_EQ(PlacedRect(first->hwnd()).right - PlacedRect(first->hwnd()).left, 150);

    splitter->SetIntValue(1000);
    EXPECT_EQ(splitter->GetIntValue(), 1000);
    const CWynElement::Rect& box = splitter->parent()->rect();
    EXPECT_EQ(splitter->rect().left + splitter->rect().width, box.left + box.width)
        << "the panes are placed within the room there is";
    EXPECT_LT(first->rect().width, 1000);

    root.Arrange(0, 0, 700, 400);
    EXPECT_EQ(splitter->GetIntValue(), 1000) << "a narrow layout does not overwrite it";
    root.Arrange(0, 0, 1200, 400);
    EXPECT_EQ(first->rect().width, 1000) << "room enough now";
    EXPECT_EQ(splitter->GetIntValue(), 1000);

    // A drag starts from what the user sees, not from the kept value.
    root.Arrange(0, 0, 700, 400);
    const int shown = first->rect().width;
    Drag(-30, 0);
    EXPECT_EQ(first->rect().width, shown - 30);
    EXPECT_EQ(splitter->GetIntValue(), shown - 30);
}

} // namespace
