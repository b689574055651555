#include "wyn/engine/wyn_element.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "wyn/engine/wyn_window.h"
#include "wyn/testing/test_tree.h"

void PrintTo(const CWynLayout::Placement& placed, std::ostream* os) {
    *os << (placed.element && placed.element->Id() ? testing::PrintToString(*placed.element->Id())
                                                   : std::string("-"))
        << " at {" << placed.rect.left << ", " << placed.rect.top << ", " << placed.rect.width
        << " x " << placed.rect.height << "}";
}

namespace {

using wyn_test::Module;
using wyn_test::Pixels;
using wyn_test::PlacedRect;
using wyn_test::TestEngine;
using wyn_test::TestRoot;

class WynElementTest : public ::testing::Test {
protected:
    void SetUp() override { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

    CWynElement& Find(CWynElement& root, const wchar_t* id) {
        CWynElement* found = root.FindById(id);
        if (!found)
            ADD_FAILURE() << "no element with id " << testing::PrintToString(std::wstring(id));
        return found ? *found : root;
    }

    // Lays the tree out at its natural size, as the dialog does at first.
    void CreateAndArrange(TestRoot& root) {
        root.Create();
        const SIZE natural = root.Measure();
        root.Arrange(0, 0, natural.cx, natural.cy);
    }

    TestEngine m_engine;
};

// One line per element: depth, type, id, control id, hidden and disabled state.
void Flatten(CWynElement& element, int depth, std::vector<std::wstring>& lines) {
    CWynElement* self = nullptr;
    const wchar_t* type = element.IsType(L"box", self)      ? L"box"
                          : element.IsType(L"spacer", self) ? L"spacer"
                                                            : L"other";
    lines.push_back(std::to_wstring(depth) + L" " + type + L" " + element.Id().value_or(L"-") +
                    L" " + std::to_wstring(element.ControlId()) +
                    (element.IsHidden() ? L" hidden" : L"") +
                    (element.IsDisabled() ? L" disabled" : L""));
    for (const auto& child : element.Children())
        Flatten(*child, depth + 1, lines);
}

// The window's own visible state; its dialog stays hidden in these tests.
bool Shown(HWND window) {
    return (::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

TEST_F(WynElementTest, DescriptionBecomesATreeOfKnownElementsOnly) {
    TestRoot root(&m_engine);
    ASSERT_TRUE(root.Load(L"res:sample.xml", L"dialog", Module()));
    std::vector<std::wstring> lines;
    Flatten(root, 0, lines);
    const std::vector<std::wstring> expected = {
        L"0 other sample 100",
        L"1 box box-vertical 101",
        L"2 spacer - 102",
        L"2 spacer - 103",
        L"1 box box-caps 104",
        L"2 spacer - 105",
        L"2 spacer - 106",
        L"1 box box-unknown 107",
        L"2 spacer - 108",
        L"2 spacer - 109",
        L"1 box hbox-vertical 110",
        L"2 spacer - 111",
        L"2 spacer - 112",
        L"1 box vbox-plain 113",
        L"2 spacer - 114",
        L"2 spacer - 115",
        // Comment, text, CDATA, processing instruction and the unknown element
        // with its subtree sit between these two and take no id.
        L"1 spacer before-skipped 116",
        L"1 spacer after-skipped 117",
        L"1 spacer hidden-caps 118 hidden",
        L"1 spacer hidden-yes 119",
        L"1 other disabled-window 120 disabled",
        L"2 spacer inherits-disabled 121 disabled",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(Find(root, L"after-skipped").Tags(), L"kept, never read");
}

TEST_F(WynElementTest, ResourceWithoutByteOrderMarkParsesTheSame) {
    TestRoot with_mark(&m_engine);
    TestRoot without_mark(&m_engine);
    ASSERT_TRUE(with_mark.Load(L"res:sample.xml", L"dialog", Module()));
    ASSERT_TRUE(without_mark.Load(L"res:SAMPLE-NOBOM.XML", L"dialog", Module()));
    std::vector<std::wstring> a;
    std::vector<std::wstring> b;
    Flatten(with_mark, 0, a);
    Flatten(without_mark, 0, b);
    EXPECT_EQ(a.size(), 22u);
    EXPECT_EQ(a, b);
}

TEST_F(WynElementTest, BoxOrientationFollowsItsNameAndAttribute) {
    TestRoot root(&m_engine);
    ASSERT_TRUE(root.Load(L"res:sample.xml", L"dialog", Module()));
    CreateAndArrange(root);
    const struct {
        const wchar_t* id;
        bool vertical;
    } cases[] = {
        {L"box-vertical", true},   // box with orient "vertical"
        {L"box-caps", true},       // the word in any case
        {L"box-unknown", false},   // a word outside the list: horizontal
        {L"hbox-vertical", false}, // hbox stays horizontal
        {L"vbox-plain", true},     // vbox without orient
    };
    const int width = Pixels(20, true, root.Dialog());
    const int height = Pixels(8, false, root.Dialog());
    ASSERT_GT(width, height);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.id)));
        const auto& spacers = Find(root, c.id).Children();
        ASSERT_EQ(spacers.size(), 2u);
        const auto& a = spacers[0]->Bounds();
        const auto& b = spacers[1]->Bounds();
        EXPECT_EQ(a.width, width);
        EXPECT_EQ(a.height, height);
        if (c.vertical) {
            EXPECT_EQ(b.left, a.left);
            EXPECT_GE(b.top, a.top + a.height);
        } else {
            EXPECT_EQ(b.top, a.top);
            EXPECT_GE(b.left, a.left + a.width);
        }
    }
}

TEST_F(WynElementTest, FailedLoadLeavesTheElementUntouched) {
    const wchar_t* const sources[][2] = {
        {L"res:missing.xml", L"dialog"},
        {L"res:broken.xml", L"dialog"},
        {L"res:sample.xml", L"settings"}, // no such root
        {L"RES:sample.xml", L"dialog"},   // the prefix is case-sensitive: a path here
        {L"C:\\no\\such\\folder\\dialog.xml", L"dialog"},
        {L"res:", L"dialog"},
    };
    for (const auto& source : sources) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(source[0])));
        TestRoot root(&m_engine);
        EXPECT_FALSE(root.Load(source[0], source[1], Module()));
        EXPECT_TRUE(root.Children().empty());
        EXPECT_EQ(root.NextControlId(), 100) << "no id was taken";
    }
}

// A UTF-8 file in the temporary folder, deleted with the object.
class TempFile {
public:
    TempFile(const wchar_t* name, const std::string& content) {
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        path = std::wstring(folder) + name;
        std::ofstream(std::filesystem::path(path), std::ios::binary) << content;
    }
    ~TempFile() { ::DeleteFileW(path.c_str()); }

    std::wstring path;
};

TEST_F(WynElementTest, OtherSourcesLoadAsFiles) {
    const TempFile file(L"kelvo-wyn-file.xml",
                        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        "<dialog><vbox id=\"outer\"><spacer id=\"inner\"/></vbox></dialog>\n");
    TestRoot root(&m_engine);
    ASSERT_TRUE(root.Load(file.path.c_str(), L"dialog", Module()));
    EXPECT_EQ(Find(root, L"inner").Parent(), &Find(root, L"outer"));
}

TEST_F(WynElementTest, NestingDeeperThanAnyDialogNeedsIsCut) {
    std::string xml = "<dialog>";
    for (int i = 0; i < 200; ++i)
        xml += "<box>";
    for (int i = 0; i < 200; ++i)
        xml += "</box>";
    xml += "</dialog>";
    const TempFile file(L"kelvo-wyn-deep.xml", xml);
    TestRoot root(&m_engine);
    ASSERT_TRUE(root.Load(file.path.c_str(), L"dialog", Module()));
    int depth = 0;
    for (CWynElement* e = &root; !e->Children().empty(); e = e->Children().front().get())
        ++depth;
    EXPECT_EQ(depth, 64);
    root.Create();
    root.Arrange(0, 0, 100, 100);
}

TEST_F(WynElementTest, ArrangeGivesEveryChildItsCellAndMovesItsWindow) {
    TestRoot root(&m_engine);
    ASSERT_TRUE(root.Load(L"res:layout.xml", L"dialog", Module()));
    root.Create();
    const HWND dialog = root.Dialog();
    const int gap_x = Pixels(4, true, dialog);
    const int gap_y = Pixels(4, false, dialog);
    const int margin_x = Pixels(7, true, dialog);
    const int margin_y = Pixels(7, false, dialog);
    root.Arrange(0, 0, 400, 300);

    const int inner = 400 - 2 * margin_x;
    struct Expected {
        const wchar_t* id;
        RECT cell; // left, top, width, height
    };
    const int tight_top = margin_y + 12 + gap_y;
    const int capped_top = tight_top + 10 + gap_y;
    const int tight_left = margin_x + Pixels(2, true, dialog);
    const Expected cells[] = {
        {L"row", {margin_x, margin_y, inner, 12}},
        {L"first", {margin_x, margin_y, 30, 12}},
        // A hidden child keeps its cell; the box inherits the dialog's gap.
        {L"hidden", {margin_x + 30 + gap_x, margin_y, 20, 12}},
        {L"flex", {margin_x + 50 + 2 * gap_x, margin_y, inner - 50 - 2 * gap_x, 12}},
        {L"tight", {margin_x, tight_top, inner, 10}},
        // cellSpaceX 0: edge to edge inside the box's own margin.
        {L"t1", {tight_left, tight_top, 10, 10}},
        {L"t2", {tight_left + 10, tight_top, 15, 10}},
        {L"capped", {margin_x, capped_top, inner, 10}},
    };
    for (const Expected& e : cells) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(e.id)));
        const CWynElement::Rect& r = Find(root, e.id).Bounds();
        EXPECT_EQ(r.left, e.cell.left);
        EXPECT_EQ(r.top, e.cell.top);
        EXPECT_EQ(r.width, e.cell.right);
        EXPECT_EQ(r.height, e.cell.bottom);
        if (HWND window = Find(root, e.id).Hwnd()) {
            const RECT placed = PlacedRect(window);
            EXPECT_EQ(placed.left, r.left);
            EXPECT_EQ(placed.top, r.top);
            EXPECT_EQ(placed.bottom - placed.top, r.height);
        }
    }
    // maxwidth limits the window, not the cell.
    const RECT capped = PlacedRect(Find(root, L"capped").Hwnd());
    EXPECT_EQ(capped.right - capped.left, Pixels(20, true, dialog));
    const RECT flex = PlacedRect(Find(root, L"flex").Hwnd());
    EXPECT_EQ(flex.right - flex.left, inner - 50 - 2 * gap_x);

    EXPECT_FALSE(Shown(Find(root, L"hidden").Hwnd()));

    const SIZE natural = root.Measure();
    EXPECT_EQ(natural.cx, 2 * margin_x + 60 + 2 * gap_x);
    EXPECT_EQ(natural.cy, 2 * margin_y + 12 + 10 + 10 + 2 * gap_y);
}

// A tree without windows, where dialog units are pixels: a row of an icon and
// a note whose 300 pixels of text wrap in lines 10 high, above a bar.
constexpr wchar_t kBlocks[] = LR"(<window>
    <vbox id="outer" hFlex="1" cellSpaceX="4" cellSpaceY="4"
          marginLeft="5" marginRight="5" marginTop="5" marginBottom="5">
      <hbox id="row" hFlex="1">
        <block id="icon" minwidth="20" minheight="20"/>
        <block id="note" hFlex="1" minwidth="10" minheight="10" text="300"/>
      </hbox>
      <block id="bar" minwidth="50" minheight="8"/>
    </vbox>
  </window>)";

TEST_F(WynElementTest, LayoutIsAValueCalculatedWithoutChangingAnything) {
    CWynWindow root(nullptr, &m_engine);
    ASSERT_TRUE(root.Parse(wyn_test::ParseElement(kBlocks).Get()));
    root.Create();
    EXPECT_EQ(root.Measure().cx, 5 + 50 + 5) << "the bar is the widest";
    EXPECT_EQ(root.Measure().cy, 5 + 20 + 4 + 8 + 5) << "the note unwrapped";
    // 120 wide: the note's cell is 110 - 20 - 4 = 86, four lines.
    ASSERT_EQ(root.HeightForWidth(120), 5 + 40 + 4 + 8 + 5);

    const CWynLayout layout = root.Layout({0, 0, 120, 62});
    const std::vector<CWynLayout::Placement> expected = {
        {&root, {0, 0, 120, 62}},
        {&Find(root, L"outer"), {0, 0, 120, 62}},
        {&Find(root, L"row"), {5, 5, 110, 40}},
        {&Find(root, L"icon"), {5, 5, 20, 40}},
        {&Find(root, L"note"), {29, 5, 86, 40}},
        {&Find(root, L"bar"), {5, 49, 110, 8}},
    };
    EXPECT_EQ(layout.placements, expected);
    EXPECT_TRUE(layout.moves.empty()) << "no windows to move";
    EXPECT_EQ(Find(root, L"note").Bounds(), CWynElement::Rect{}) << "nothing placed yet";
    EXPECT_EQ(root.Layout({0, 0, 120, 62}).placements, expected) << "the same answer again";

    CWynElement::ApplyLayout(layout);
    for (const CWynLayout::Placement& placed : expected)
        EXPECT_EQ(placed.element->Bounds(), placed.rect);
    EXPECT_EQ(root.Layout({0, 0, 120, 62}).placements, expected) << "applying changes no answer";
}

TEST_F(WynElementTest, ServicesFindAndWalkTheTree) {
    TestRoot root(&m_engine);
    ASSERT_TRUE(root.Load(L"res:layout.xml", L"dialog", Module()));
    root.Create();
    CWynElement& flex = Find(root, L"FLEX");
    EXPECT_EQ(flex.Id(), L"flex");
    EXPECT_EQ(root.FindByControlId(flex.ControlId()), &flex);
    EXPECT_EQ(root.FindByWindow(flex.Hwnd()), &flex);
    EXPECT_EQ(root.FindByWindow(root.Dialog()), &root);
    EXPECT_EQ(root.FindByWindow(nullptr), nullptr);
    EXPECT_EQ(root.FindById(L"nothing"), nullptr);
    EXPECT_EQ(flex.Root(), &root);
    EXPECT_EQ(flex.PreviousSibling(), &Find(root, L"hidden"));
    EXPECT_EQ(Find(root, L"first").PreviousSibling(), nullptr);
    EXPECT_EQ(root.PreviousSibling(), nullptr);
    EXPECT_EQ(flex.GetWindow(), flex.Hwnd());
    EXPECT_EQ(Find(root, L"row").GetWindow(), root.Dialog());

    EXPECT_EQ(flex.RaiseEvent(L"changed", 3, 4), 42);
    EXPECT_EQ(root.last.source, &flex);
    EXPECT_EQ(root.last.name, L"changed");
    EXPECT_EQ(root.last.first, 3u);
    EXPECT_EQ(root.last.second, 4);
    EXPECT_STREQ(flex.GetTextValueOr(L"fallback"), L"fallback");
}

TEST_F(WynElementTest, HiddenAndDisabledStatesReachTheWindowsBelow) {
    TestRoot root(&m_engine);
    ASSERT_TRUE(root.Load(L"res:layout.xml", L"dialog", Module()));
    root.Create();
    CWynElement& row = Find(root, L"row");
    const HWND first = Find(root, L"first").Hwnd();
    const HWND hidden = Find(root, L"hidden").Hwnd();
    const HWND t1 = Find(root, L"t1").Hwnd();

    ASSERT_TRUE(root.FocusFirst());
    EXPECT_EQ(::GetFocus(), first);

    row.SetDisabled(true);
    EXPECT_FALSE(::IsWindowEnabled(first));
    EXPECT_TRUE(::IsWindowEnabled(t1));
    // Focus skips what is disabled or hidden.
    ASSERT_TRUE(root.FocusFirst());
    EXPECT_EQ(::GetFocus(), t1);
    row.SetDisabled(false);
    EXPECT_TRUE(::IsWindowEnabled(first));

    row.SetHidden(true);
    EXPECT_FALSE(Shown(first));
    row.SetHidden(false);
    EXPECT_TRUE(Shown(first));
    EXPECT_FALSE(Shown(hidden)) << "its own flag still hides it";

    Find(root, L"tight").SetHidden(true);
    Find(root, L"capped").SetDisabled(true);
    row.SetHidden(true);
    EXPECT_FALSE(root.FocusFirst());
}

} // namespace
