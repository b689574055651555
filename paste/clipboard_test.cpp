// The delivery of text runs through the clipboard and the restore of what it
// held before a secret, with the test program's own windows.

#include "paste/clipboard_delivery.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "paste/clipboard.h"
#include "paste/key_recorder_test.h"
#include "paste/test_clipboard.h"

namespace kelvo {
namespace {

const std::vector<std::string> kCtrlV = {"11xv", "56v", "56^", "11x^"};

using test_clipboard::Copy;
using test_clipboard::Marker;

TEST(ClipboardDelivery, TextGoesOnWithCrLfInABlockSizedForItThenCtrlV) {
    CKeyRecorder recorder;
    ASSERT_TRUE(recorder.Activate());
    // Every line feed makes the text one longer: a block sized from the text
    // before the conversion would be far too small.
    std::wstring text;
    for (int line = 0; line < 200; ++line)
        text += L"line " + std::to_wstring(line) + L"\n";
    CClipboardDelivery delivery(recorder.Window(), 0, nullptr);
    ASSERT_TRUE(delivery.Deliver(text));

    std::wstring expected;
    for (int line = 0; line < 200; ++line)
        expected += L"line " + std::to_wstring(line) + L"\r\n";
    EXPECT_EQ(test_clipboard::Text(), expected);
    {
        ClipboardSession clipboard(nullptr);
        ASSERT_TRUE(clipboard);
        EXPECT_GE(::GlobalSize(::GetClipboardData(CF_UNICODETEXT)),
                  (expected.size() + 1) * sizeof(wchar_t));
    }
    EXPECT_EQ(recorder.WaitForMessages(kCtrlV.size()), kCtrlV);
    EXPECT_FALSE(Marker(L"CanIncludeInClipboardHistory")) << "a plain text is no secret";
}

TEST(ClipboardDelivery, TheNextRunWaitsThePasteDelayAfterTheLastCtrlV) {
    // The target reads the clipboard when it handles the Ctrl+V: a run that
    // replaced it sooner could be pasted in place of the one before.
    using namespace std::chrono;
    CKeyRecorder recorder;
    ASSERT_TRUE(recorder.Activate());
    const auto start = steady_clock::now();
    CClipboardDelivery delivery(recorder.Window(), 100, nullptr);
    ASSERT_TRUE(delivery.Deliver(L"first"));
    const auto first_sent = steady_clock::now();
    EXPECT_GE(first_sent - start, milliseconds(100)) << "the first run waits from the start";
    ASSERT_TRUE(delivery.Deliver(L"second"));
    // The second run's wait ended at least 100 ms after the first Ctrl+V,
    // which was sent just before `first_sent`.
    EXPECT_GE(steady_clock::now() - first_sent, milliseconds(99));
    EXPECT_EQ(test_clipboard::Text(), L"second");
    EXPECT_EQ(recorder.WaitForMessages(2 * kCtrlV.size()).size(), 2 * kCtrlV.size());
}

TEST(ClipboardDelivery, ASecretGoesWithThePrivacyMarkersAndTheEarlierContentComesBack) {
    CKeyRecorder recorder;
    ASSERT_TRUE(recorder.Activate());
    const struct {
        const char* name;
        std::optional<std::wstring> earlier; // nullopt: no text, only a format of another kind
        int secret_pastes;
        bool copied_meanwhile;
        std::wstring expected; // the clipboard's text after the restore
    } cases[] = {
        {"earlier text comes back", L"earlier\r\ntext", 1, false, L"earlier\r\ntext"},
        {"no earlier text: emptied", std::nullopt, 1, false, L"<no text>"},
        {"a second secret keeps the first earlier text", L"first", 2, false, L"first"},
        {"a copy after the paste stays", L"earlier", 1, true, L"copied"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Copy(recorder.Window(), c.earlier);
        CClipboardRestore restore;
        for (int paste = 0; paste < c.secret_pastes; ++paste) {
            CClipboardDelivery delivery(recorder.Window(), 0, &restore);
            ASSERT_TRUE(delivery.Deliver(L"secret"));
            EXPECT_EQ(test_clipboard::Text(), L"secret");
            for (const wchar_t* name :
                 {L"ExcludeClipboardContentFromMonitorProcessing", L"CanIncludeInClipboardHistory",
                  L"CanUploadToCloudClipboard"})
                EXPECT_EQ(Marker(name), DWORD{0}) << name;
        }
        EXPECT_TRUE(restore.Pending());
        if (c.copied_meanwhile)
            Copy(recorder.Window(), L"copied");
        EXPECT_TRUE(restore.Restore(recorder.Window()));
        EXPECT_FALSE(restore.Pending());
        EXPECT_EQ(test_clipboard::Text(), c.expected);
        if (!c.copied_meanwhile) {
            EXPECT_FALSE(Marker(L"CanIncludeInClipboardHistory"));
        }
    }
    // Each delivery ends with its Ctrl+V.
    EXPECT_EQ(recorder.WaitForMessages(5 * kCtrlV.size()).size(), 5 * kCtrlV.size());
}

// Another thread's window holds the clipboard open until the holder goes.
class CClipboardHolder {
public:
    CClipboardHolder()
        : m_held(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_release(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_thread([this] { Hold(); }) {
        ::WaitForSingleObject(m_held.Get(), 5000);
    }
    ~CClipboardHolder() {
        ::SetEvent(m_release.Get());
        m_thread.join();
    }
    bool Holds() const { return m_holds; }

private:
    void Hold() {
        HWND window = ::CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, nullptr, nullptr);
        m_holds = ::OpenClipboard(window) != FALSE;
        ::SetEvent(m_held.Get());
        ::WaitForSingleObject(m_release.Get(), 10000);
        if (m_holds)
            ::CloseClipboard();
        ::DestroyWindow(window);
    }

    UniqueHandle m_held;
    UniqueHandle m_release;
    bool m_holds = false;
    std::thread m_thread;
};

TEST(ClipboardDelivery, ABusyClipboardSendsNoKeystrokeAndNamesItsHolder) {
    CKeyRecorder recorder;
    ASSERT_TRUE(recorder.Activate());
    Copy(recorder.Window(), L"before");
    CClipboardRestore restore;
    {
        CClipboardHolder holder;
        ASSERT_TRUE(holder.Holds());
        for (CClipboardRestore* secret : {static_cast<CClipboardRestore*>(nullptr), &restore}) {
            CClipboardDelivery delivery(recorder.Window(), 0, secret);
            EXPECT_FALSE(delivery.Deliver(L"text"));
            EXPECT_EQ(delivery.LastFailure(), CClipboardDelivery::Failure::kBusy);
            EXPECT_EQ(delivery.Holder(), L"paste_test.exe");
        }
    }
    EXPECT_FALSE(restore.Pending()) << "nothing was placed";
    EXPECT_EQ(test_clipboard::Text(), L"before");
    EXPECT_EQ(recorder.WaitForMessages(0), std::vector<std::string>{});
}

} // namespace
} // namespace kelvo
