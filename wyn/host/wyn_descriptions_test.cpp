// The program's own dialog descriptions: each loads from the resources (its
// document type line is accepted without being fetched), has the elements the
// application looks up, and lays out with no control over another.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wyn/host/wyn_dialog.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::ScriptedDialog;

struct Description {
    const wchar_t* source;
    const wchar_t* caption;
    std::vector<const wchar_t*> ids;
};

const Description kDescriptions[] = {
    {L"res:properties.xml",
     L"Kelvo",
     {L"dlg-properties", L"btn-new", L"btn-edit", L"btn-delete", L"spacer", L"btn-wrench", L"find",
      L"clear-find", L"lst_tags", L"vsplitter", L"lst_items", L"paste", L"paste-to"}},
    {L"res:chunk.xml",
     L"Text Chunk",
     {L"dlg-chunk", L"title", L"tags", L"select-tags", L"insert", L"text", L"encrypted"}},
    {L"res:settings.xml",
     L"Kelvo Settings",
     {L"dlg-settings", L"paste_on_dblclick", L"hotkey", L"paste_delay", L"switch_delay",
      L"show_onstart", L"close_on_paste", L"restore_clipboard", L"autostart"}},
    {L"res:about.xml", L"About Kelvo", {L"dlg-about", L"version"}},
    {L"res:master-password.xml",
     L"Set Master Password",
     {L"dlg-master-password", L"l-old-password", L"old-password", L"password", L"password2"}},
    {L"res:password.xml", L"Enter password", {L"password", L"remember"}},
};

// The element types that exist only once the application adds them.
bool MadeByTheApplication(const wchar_t* id) {
    for (const wchar_t* later :
         {L"btn-new", L"btn-edit", L"btn-delete", L"btn-wrench", L"clear-find", L"lst_tags",
          L"lst_items", L"paste", L"paste-to", L"text"}) {
        if (std::wstring_view(id) == later)
            return true;
    }
    return false;
}

std::wstring Describe(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return std::wstring(name) + L" #" + std::to_wstring(::GetDlgCtrlID(window));
}

class WynDescriptionsTest : public ::testing::TestWithParam<Description> {
protected:
    void SetUp() override { wyn_test::InitPlatform(); }
};

TEST_P(WynDescriptionsTest, LoadsAndLaysOutWithoutOverlaps) {
    const Description& description = GetParam();
    CWynEngine engine(wyn_test::Module());
    ScriptedDialog dialog(description.source, &engine);
    dialog.steps = {[&](ScriptedDialog& d) {
        EXPECT_EQ(d.Caption(), description.caption);
        for (const wchar_t* id : description.ids) {
            if (!MadeByTheApplication(id)) {
                EXPECT_NE(d.FindById(id), nullptr) << testing::PrintToString(std::wstring(id));
            }
        }

        RECT client{};
        ::GetClientRect(d.Hwnd(), &client);
        std::vector<std::pair<HWND, RECT>> placed;
        for (HWND child = ::GetWindow(d.Hwnd(), GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (!::IsWindowVisible(child))
                continue;
            RECT r{};
            ::GetWindowRect(child, &r);
            ::MapWindowPoints(HWND_DESKTOP, d.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
            EXPECT_GT(r.right - r.left, 0) << Describe(child);
            EXPECT_GT(r.bottom - r.top, 0) << Describe(child);
            EXPECT_GE(r.left, 0) << Describe(child);
            EXPECT_GE(r.top, 0) << Describe(child);
            EXPECT_LE(r.right, client.right) << Describe(child);
            EXPECT_LE(r.bottom, client.bottom) << Describe(child);
            placed.push_back({child, r});
        }
        EXPECT_FALSE(placed.empty());
        for (std::size_t i = 0; i < placed.size(); ++i) {
            for (std::size_t j = i + 1; j < placed.size(); ++j) {
                // Up-down arrows sit on their box's border by design.
                const HWND buddy_of_i =
                    reinterpret_cast<HWND>(::SendMessageW(placed[i].first, UDM_GETBUDDY, 0, 0));
                const HWND buddy_of_j =
                    reinterpret_cast<HWND>(::SendMessageW(placed[j].first, UDM_GETBUDDY, 0, 0));
                wchar_t a[32] = {};
                wchar_t b[32] = {};
                ::GetClassNameW(placed[i].first, a, 32);
                ::GetClassNameW(placed[j].first, b, 32);
                const bool pair =
                    (std::wstring_view(a) == UPDOWN_CLASSW && buddy_of_i == placed[j].first) ||
                    (std::wstring_view(b) == UPDOWN_CLASSW && buddy_of_j == placed[i].first);
                RECT overlap{};
                if (!pair) {
                    EXPECT_FALSE(::IntersectRect(&overlap, &placed[i].second, &placed[j].second))
                        << Describe(placed[i].first) << " and " << Describe(placed[j].first);
                }
            }
        }
        d.PressKey(VK_ESCAPE);
    }};
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL)
        << testing::PrintToString(std::wstring(description.source));
}

INSTANTIATE_TEST_SUITE_P(Program, WynDescriptionsTest, ::testing::ValuesIn(kDescriptions));

} // namespace
