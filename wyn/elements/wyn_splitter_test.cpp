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
        m_root.Arrange(0, 0, 400, 400);
    }

    // The same, not laid out yet.
    void Create(const wchar_t* xml) {
        ASSERT_TRUE(m_root.Parse(wyn_test::ParseElement(xml).Get()));
        m_root.Create();
        m_first = m_root.FindById(L"first");
        m_splitter = m_root.FindById(L"split");
        ASSERT_NE(m_first, nullptr);
        ASSERT_NE(m_splitter, nullptr);
        ASSERT_NE(m_splitter->Hwnd(), nullptr);
    }

    // Presses the splitter, moves the mouse by (dx, dy) and lets go.
    void Drag(int dx, int dy) {
        HWND window = m_splitter->Hwnd();
        ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2 + dx, 2 + dy));
        // The splitter has moved along: the same distance from its new place.
        ::SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }

    TestEngine m_engine;
    TestRoot m_root{&m_engine};
    CWynElement* m_first = nullptr;
    CWynElement* m_splitter = nullptr;
};

TEST_F(WynSplitterTest, DraggingTheVerticalSplitterWidensThePreviousElement) {
    Build(L"<dialog><hbox hFlex='1' vFlex='1'><leaf id='first' minwidth='100' "
          L"minheight='50'/><vsplitter id='split'/>"
          L"<leaf id='rest' hFlex='1' minwidth='20' minheight='50'/></hbox></dialog>");
    const int before = m_first->Bounds().width;
    const int bar_before = m_splitter->Bounds().left;
    EXPECT_EQ(m_splitter->GetIntValue(), before);

    Drag(30, 0);
    EXPECT_EQ(m_first->Bounds().width, before + 30);
    EXPECT_EQ(m_splitter->GetIntValue(), before + 30);
    const RECT placed = PlacedRect(m_first->Hwnd());
    EXPECT_EQ(placed.right - placed.left, before + 30) << "the window follows";
    EXPECT_EQ(PlacedRect(m_splitter->Hwnd()).left, bar_before + 30) << "the splitter moves along";
    EXPECT_EQ(::GetCapture(), nullptr) << "the mouse is let go";
}

TEST_F(WynSplitterTest, DragsStayInsideTheContainer) {
    Build(L"<dialog><hbox hFlex='1' vFlex='1'><leaf id='first' minwidth='100' "
          L"minheight='50'/><vsplitter id='split'/>"
          L"<leaf id='rest' hFlex='1' minwidth='20' minheight='50'/></hbox></dialog>");
    Drag(-1000, 0);
    EXPECT_EQ(m_first->Bounds().width, 0);
    Drag(5000, 0);
    const CWynElement::Rect& box = m_splitter->Parent()->Bounds();
    EXPECT_EQ(m_splitter->Bounds().left + m_splitter->Bounds().width, box.left + box.width)
        << "the splitter stops at the container's edge";
}

TEST_F(WynSplitterTest, HorizontalSplitterResizesHeights) {
    Build(L"<dialog><vbox hFlex='1' vFlex='1'><leaf id='first' minwidth='50' "
          L"minheight='100'/><hsplitter id='split'/>"
          L"<leaf id='rest' vFlex='1' minwidth='50' minheight='20'/></vbox></dialog>");
    const int before = m_first->Bounds().height;
    Drag(0, 30);
    EXPECT_EQ(m_first->Bounds().height, before + 30);
    EXPECT_EQ(m_splitter->GetIntValue(), before + 30);
}

TEST_F(WynSplitterTest, SettingTheValueFixesThePreviousSize) {
    Build(L"<dialog><hbox hFlex='1' vFlex='1'><leaf id='first' hFlex='1' minwidth='10' "
          L"minheight='50'/>"
          L"<vsplitter id='split'/><leaf id='rest' hFlex='2' minwidth='10' minheight='50'/>"
          L"</hbox></dialog>");
    m_splitter->SetIntValue(120);
    EXPECT_EQ(m_first->Bounds().width, 120);
    EXPECT_EQ(m_splitter->GetIntValue(), 120);
    m_root.Arrange(0, 0, 600, 400);
    EXPECT_EQ(m_first->Bounds().width, 120) << "no longer flexible";
}

// A restored width, set before the first layout or wider than the window
// then is, stays the value and applies once the room is there.
TEST_F(WynSplitterTest, ASetValueIsKeptUntilThereIsRoomForIt) {
    ASSERT_NO_FATAL_FAILURE(
        Create(L"<dialog><hbox hFlex='1' vFlex='1'><leaf id='first' hFlex='1' minwidth='10' "
               L"minheight='50'/><vsplitter id='split'/>"
               L"<leaf id='rest' hFlex='1' minwidth='20' minheight='50'/></hbox></dialog>"));
    m_splitter->SetIntValue(150);
    EXPECT_EQ(m_splitter->GetIntValue(), 150) << "before any layout";
    m_root.Arrange(0, 0, 400, 400);
    EXPECT_EQ(m_first->Bounds().width, 150);
    EXPECT_EQ(PlacedRect(m_first->Hwnd()).right - PlacedRect(m_first->Hwnd()).left, 150);

    m_splitter->SetIntValue(1000);
    EXPECT_EQ(m_splitter->GetIntValue(), 1000);
    const CWynElement::Rect& box = m_splitter->Parent()->Bounds();
    EXPECT_EQ(m_splitter->Bounds().left + m_splitter->Bounds().width, box.left + box.width)
        << "the panes are placed within the room there is";
    EXPECT_LT(m_first->Bounds().width, 1000);

    m_root.Arrange(0, 0, 700, 400);
    EXPECT_EQ(m_splitter->GetIntValue(), 1000) << "a narrow layout does not overwrite it";
    m_root.Arrange(0, 0, 1200, 400);
    EXPECT_EQ(m_first->Bounds().width, 1000) << "room enough now";
    EXPECT_EQ(m_splitter->GetIntValue(), 1000);

    // A drag starts from what the user sees, not from the kept value.
    m_root.Arrange(0, 0, 700, 400);
    const int shown = m_first->Bounds().width;
    Drag(-30, 0);
    EXPECT_EQ(m_first->Bounds().width, shown - 30);
    EXPECT_EQ(m_splitter->GetIntValue(), shown - 30);
}

} // namespace
