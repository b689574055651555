#include "wyn/elements/wyn_rtf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

int Changes(const ScriptedDialog& d) {
    return static_cast<int>(std::count_if(d.events.begin(), d.events.end(), [](const auto& e) {
        return e.source == L"text" && e.name == L"changed";
    }));
}

TEST(WynRTFTest, TextComesBackAsItWasSetAndOnlyTypingRaisesChanged) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog><rtf id="text" minwidth="200" minheight="80"/></dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {
        [](ScriptedDialog& d) {
            CWynElement* text = d.FindById(L"text");
            RECT placed = d.Placed(L"text");
            EXPECT_EQ(placed.right - placed.left, 200) << "min sizes are pixels";
            EXPECT_EQ(text->GetTextValue(), nullptr);

            // A chunk text may look like rich text; it is still plain text.
            const wchar_t* rtf_like = L"{\\rtf1 not formatting}";
            text->SetTextValue(rtf_like);
            ASSERT_NE(text->GetTextValue(), nullptr);
            EXPECT_STREQ(text->GetTextValue(), rtf_like);

            // Longer than the control's default limit of 32767 characters.
            const std::wstring long_text(40000, L'x');
            text->SetTextValue(long_text.c_str());
            ASSERT_NE(text->GetTextValue(), nullptr);
            EXPECT_EQ(std::wstring(text->GetTextValue()), long_text);

            text->SetTextValue(L"line one\r\nline two");
            EXPECT_STREQ(text->GetTextValue(), L"line one\r\nline two");
            EXPECT_EQ(Changes(d), 0) << "set by the program";

            ::SetFocus(d.Window(L"text"));
            ::SendMessageW(d.Window(L"text"), WM_CHAR, L'!', 1);
        },
        [](ScriptedDialog& d) {
            EXPECT_EQ(Changes(d), 1);
            EXPECT_NE(std::wstring(d.FindById(L"text")->GetTextValue()).find(L'!'),
                      std::wstring::npos);
            ::EndDialog(d.Hwnd(), IDCANCEL); // Escape belongs to the text
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
