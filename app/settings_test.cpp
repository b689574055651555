#include "app/settings.h"

#include <gtest/gtest.h>

#include "app/autostart.h"
#include "base/win_handles.h"
#include "library/data_folder.h"
#include "library/portable_data_test.h"
#include "library/xml_props.h"

using SettingsTest = PortableDataTest;

TEST_F(SettingsTest, FreshInstallationReadsTheDefaults) {
    Settings s;
    s.paste_delay = 999; // a missing section leaves the record as it is
    LoadSettings(s);
    EXPECT_EQ(s.paste_delay, 999);

    Settings fresh;
    LoadSettings(fresh);
    EXPECT_EQ(fresh, (Settings{1, 0, 0, 5, 1, 20, 50, 1}));

    // A file of an earlier version has no restore-clipboard: on.
    WriteSettings("<kelvo><settings paste-delay=\"30\"/></kelvo>");
    Settings earlier;
    earlier.restore_clipboard = 0;
    LoadSettings(earlier);
    EXPECT_EQ(earlier.restore_clipboard, 1);
}

TEST_F(SettingsTest, SaveWritesEveryAttributeInOrderAndLoadsThemBack) {
    Settings s{0, 0x0656, 1, -1, 0, 5, -3, 0};
    SaveSettings(s);
    auto xml = OpenSettingsXml();
    ASSERT_TRUE(xml->Select(L"settings", false));
    EXPECT_EQ(xml->GetStrAttr(L"hotkey"), L"1622");
    xml.reset();
    EXPECT_NE(SettingsFile().find("<settings paste-on-dblclick=\"0\" hotkey=\"1622\" "
                                  "close-on-paste=\"1\" remember-password=\"-1\" "
                                  "show-onstart=\"0\" paste-delay=\"5\" switch-delay=\"-3\" "
                                  "restore-clipboard=\"0\"/>"),
              std::string::npos)
        << SettingsFile();

    Settings back;
    LoadSettings(back);
    EXPECT_EQ(back, s) << "values are used as stored, even below what the dialog offers";
    EXPECT_EQ(SleepMillis(back.paste_delay), 5u);
    EXPECT_EQ(SleepMillis(back.switch_delay), 0u) << "a negative delay waits nothing";
}

TEST_F(SettingsTest, EditedFileValuesAndJunk) {
    WriteSettings("<kelvo next-id=\"4\"><settings paste-delay=\"5\" hotkey=\"abc\" "
                  "show-onstart=\"no\" switch-delay=\" 70\"/></kelvo>");
    Settings s;
    LoadSettings(s);
    EXPECT_EQ(s.paste_delay, 5);
    EXPECT_EQ(s.hotkey, 0);
    EXPECT_EQ(s.show_onstart, 1);
    EXPECT_EQ(s.switch_delay, 70);
}

TEST(TranslateHotkey, Cases) {
    struct Case {
        std::uint16_t value;
        HotkeyRegistration expected;
    } cases[] = {
        {0x0656, {MOD_CONTROL | MOD_ALT, 'V'}},
        {0x2141, {MOD_WIN | MOD_SHIFT, 'A'}},
        {0x0974, {MOD_SHIFT, VK_F5}}, // the extended flag is ignored
        {0, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TranslateHotkey(c.value), c.expected) << std::hex << c.value;
}

namespace {

constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring RunValue() {
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Kelvo", RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return L"<none>";
    return data;
}

} // namespace

TEST(Autostart, OnWritesTheProgramPathOffDeletesItAndAnyValueCountsAsOn) {
    kelvo::UniqueHkey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                key.Put(), nullptr),
              ERROR_SUCCESS);
    SetAutostart(false);
    EXPECT_FALSE(IsAutostartOn());
    EXPECT_EQ(RunValue(), L"<none>");

    SetAutostart(true);
    EXPECT_TRUE(IsAutostartOn());
    EXPECT_EQ(RunValue(), GetExecutableFolder() + L"kelvo.exe");

    SetAutostart(false);
    EXPECT_FALSE(IsAutostartOn());

    const wchar_t other[] = L"\"C:\\elsewhere\\kelvo.exe\" --minimized";
    ::RegSetValueExW(key.Get(), L"Kelvo", 0, REG_SZ, reinterpret_cast<const BYTE*>(other),
                     sizeof other);
    EXPECT_TRUE(IsAutostartOn());
    EXPECT_EQ(RunValue(), other);
    ::RegDeleteValueW(key.Get(), L"Kelvo");
}
