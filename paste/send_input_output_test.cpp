#include "paste/send_input_output.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "paste/chunk_script.h"
#include "paste/key_recorder_test.h"

namespace kelvo {
namespace {

TEST(SendInputOutput, KeysReachTheFocusedWindowAsTheScriptSays) {
    CKeyRecorder recorder;
    ASSERT_TRUE(recorder.Activate());

    std::vector<std::wstring> runs;
    CSendInputOutput output([&](std::wstring_view text) {
        runs.emplace_back(text);
        return true;
    });
    CHeldModifiers held;
    PlayScript(u"ab[TAB][CTRL][\\x41][CTRL][*A][SHIFT]cd[F10][WINDOW]", held, output);

    const std::vector<std::string> expected = {
        "09xv", "09x^", // [TAB]
        "11xv",         // [CTRL] latched
        "41xv", "41x^", // [\x41]
        "11x^",         // [CTRL] let go
        "41v",  "41^",  // [*A], not extended
        "10v",  "10^",  // [SHIFT], let go before "cd"
        "79xv", "79x^", // [F10]
        "5Bxv", "5Bx^", // [WINDOW], let go at the end
    };
    EXPECT_EQ(recorder.WaitForMessages(expected.size()), expected);
    EXPECT_EQ(runs, (std::vector<std::wstring>{L"ab", L"cd"}));
}

TEST(SendInputOutput, PauseWaitsItsWholeTimeAndAnswersWhatOthersSend) {
    // A program coming to the front sends to the window it takes the
    // foreground from; a paste that did not answer would hold it up.
    CKeyRecorder recorder;
    std::chrono::steady_clock::time_point answered{};
    std::thread sender([&] {
        ::Sleep(20);
        DWORD_PTR result = 0;
        if (::SendMessageTimeoutW(recorder.Window(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result))
            answered = std::chrono::steady_clock::now();
    });
    CSendInputOutput output([](std::wstring_view) { return true; });
    CHeldModifiers held;
    const auto start = std::chrono::steady_clock::now();
    PlayScript(u"[SLEEP 300]", held, output);
    const auto end = std::chrono::steady_clock::now();
    sender.join();
    EXPECT_GE(end - start, std::chrono::milliseconds(300));
    ASSERT_NE(answered, std::chrono::steady_clock::time_point{}) << "never answered";
    EXPECT_LT(answered, end) << "answered only after the pause";
}

TEST(SendInputOutput, AFailedDeliveryStopsTheRestOfTheScript) {
    CKeyRecorder recorder;
    ASSERT_TRUE(recorder.Activate());

    std::vector<std::wstring> runs;
    CSendInputOutput output([&](std::wstring_view text) {
        runs.emplace_back(text);
        return text != L"refused";
    });
    CHeldModifiers held;
    const auto start = std::chrono::steady_clock::now();
    PlayScript(u"a[TAB]refused[ENTER]c[SLEEP 2000][SHIFT][F1]", held, output);
    const auto elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_TRUE(output.Stopped());
    EXPECT_EQ(runs, (std::vector<std::wstring>{L"a", L"refused"}));
    EXPECT_EQ(recorder.WaitForMessages(2), (std::vector<std::string>{"09xv", "09x^"}));
    EXPECT_LT(elapsed, std::chrono::milliseconds(1500)) << "the pause after the stop was slept";
}

TEST(SendInputOutput, EnterKeyUpIsOneReleaseOfEnter) {
    CKeyRecorder recorder;
    ASSERT_TRUE(recorder.Activate());
    SendEnterKeyUp();
    EXPECT_EQ(recorder.WaitForMessages(1), (std::vector<std::string>{"0D^"}));
}

} // namespace
} // namespace kelvo
