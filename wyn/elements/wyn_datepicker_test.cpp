#include "wyn/elements/wyn_datepicker.h"

#include <gtest/gtest.h>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

TEST(WynDatePickerTest, TextValueIsAnIsoDateOrTime) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog>
        <datepicker id="day" showNone="true"/>
        <datepicker id="clock" format="time"/>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {[](ScriptedDialog& d) {
        CWynElement* day = d.FindById(L"day");
        day->SetTextValue(L"2024-02-29");
        EXPECT_STREQ(day->GetTextValueOr(L"none"), L"2024-02-29");
        for (const wchar_t* bad : {L"2023-02-29", L"2024-13-01", L"24-02-01", L"2024-02-1x", L""}) {
            day->SetTextValue(L"2024-02-29");
            day->SetTextValue(bad);
            if (*bad) {
                EXPECT_STREQ(day->GetTextValueOr(L"none"), L"2024-02-29") << "ignored: " << bad;
            }
        }
        EXPECT_STREQ(day->GetTextValueOr(L"none"), L"none") << "empty unchecks the box";
        CWynElement* clock = d.FindById(L"clock");
        clock->SetTextValue(L"13:45:07");
        EXPECT_STREQ(clock->GetTextValueOr(L"none"), L"13:45:07");
        clock->SetTextValue(L"24:00:00");
        EXPECT_STREQ(clock->GetTextValueOr(L"none"), L"13:45:07");
        d.PressKey(VK_ESCAPE);
    }};
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
