// The delivery of text runs through the clipboard with delayed rendering, the
// window that renders them, and the restore of what the clipboard held
// before, with readers on threads of their own and in a program of its own.

#include "paste/clipboard_delivery.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "paste/clipboard.h"
#include "paste/clipboard_reader_test.h"
#include "paste/test_clipboard.h"
#include "tests/e2e/target_process.h"

namespace kelvo {
namespace {

using namespace std::chrono;
using ReadState = CClipboardRenderOwner::ReadState;
using test_clipboard::Copy;
using test_clipboard::Marker;

const std::vector<std::string> kCtrlV = {"11v", "56v", "56^", "11^"};

// The clipboard's text for a reader that no window stands for.
std::wstring AnonymousRead() {
    return test_clipboard::Text();
}

TEST(ClipboardDelivery, TheTargetReadsTheTextWithCrLfAtItsCtrlV) {
    CClipboardReader reader;
    ASSERT_TRUE(reader.Activate());
    // Every line feed makes the text one longer: a block sized from the text
    // before the conversion would be far too small.
    std::wstring text, expected;
    for (int line = 0; line < 200; ++line) {
        text += L"line " + std::to_wstring(line) + L"\n";
        expected += L"line " + std::to_wstring(line) + L"\r\n";
    }
    CClipboardRenderOwner owner;
    CClipboardDelivery delivery(owner, reader.Window(), 0, false, nullptr);
    ASSERT_TRUE(delivery.Deliver(text));
    EXPECT_EQ(reader.WaitForTexts(1), std::vector<std::wstring>{expected});
    EXPECT_EQ(reader.WaitForKeys(kCtrlV.size()), kCtrlV);
    EXPECT_EQ(test_clipboard::Text(), expected) << "a plain run stays once read";
    {
        ClipboardSession clipboard(nullptr);
        ASSERT_TRUE(clipboard);
        EXPECT_GE(::GlobalSize(::GetClipboardData(CF_UNICODETEXT)),
                  (expected.size() + 1) * sizeof(wchar_t));
    }
    EXPECT_FALSE(Marker(L"CanIncludeInClipboardHistory")) << "a plain text is no secret";
}

TEST(ClipboardDelivery, ALateReaderGetsEveryRunInOrderEachAfterItsRead) {
    // The target reads 300 ms after each Ctrl+V: a run that replaced the one
    // before sooner would be pasted in its place.
    CClipboardReader reader(300);
    ASSERT_TRUE(reader.Activate());
    CClipboardRenderOwner owner;
    const auto start = steady_clock::now();
    CClipboardDelivery delivery(owner, reader.Window(), 100, false, nullptr);
    std::vector<steady_clock::duration> took;
    for (const wchar_t* run : {L"alpha", L"bravo", L"charlie"}) {
        const auto before = steady_clock::now();
        ASSERT_TRUE(delivery.Deliver(run)) << static_cast<int>(delivery.LastFailure());
        took.push_back(steady_clock::now() - before);
    }
    EXPECT_EQ(reader.WaitForTexts(3), (std::vector<std::wstring>{L"alpha", L"bravo", L"charlie"}));
    EXPECT_GE(took[0], milliseconds(390)) << "the paste delay from the start, then the read";
    for (const auto& each : took)
        EXPECT_GE(each, milliseconds(295)) << "each run waits for its read";
    EXPECT_LT(steady_clock::now() - start, milliseconds(100 + 3 * 300 + 600));
}

TEST(ClipboardDelivery, ARunNobodyReadsStopsTheDeliveryAndStaysOfferedForALateReader) {
    CClipboardReader reader(0, CClipboardReader::Reads::kNever);
    ASSERT_TRUE(reader.Activate());
    CClipboardRenderOwner owner;
    CClipboardDelivery delivery(owner, reader.Window(), 0, false, nullptr);
    const auto start = steady_clock::now();
    EXPECT_FALSE(delivery.Deliver(L"unread"));
    EXPECT_GE(steady_clock::now() - start, milliseconds(kReadTimeoutMs));
    EXPECT_EQ(delivery.LastFailure(), CClipboardDelivery::Failure::kNotRead);
    EXPECT_EQ(reader.WaitForKeys(kCtrlV.size()), kCtrlV);
    EXPECT_EQ(AnonymousRead(), L"unread");
}

TEST(ClipboardDelivery, ACopyWhileTheTargetIsBusyStopsTheDelivery) {
    CClipboardReader reader(600);
    ASSERT_TRUE(reader.Activate());
    CClipboardRenderOwner owner;
    CClipboardDelivery delivery(owner, reader.Window(), 0, false, nullptr);
    std::thread copier([] {
        ::Sleep(200);
        CClipboardReader other; // a window of another thread copies
        Copy(other.Window(), L"copied");
    });
    EXPECT_FALSE(delivery.Deliver(L"run"));
    copier.join();
    EXPECT_EQ(delivery.LastFailure(), CClipboardDelivery::Failure::kReplaced);
    EXPECT_EQ(test_clipboard::Text(), L"copied");
}

TEST(ClipboardDelivery, ASecretGoesWithThePrivacyMarkersAndTheEarlierContentComesBack) {
    CClipboardReader reader;
    ASSERT_TRUE(reader.Activate());
    CClipboardRenderOwner owner;
    const struct {
        const char* name;
        std::optional<std::wstring> earlier; // nullopt: no text, only a format of another kind
        int secret_pastes;
        bool copied_meanwhile;
        std::wstring expected; // the clipboard's text after the restore
    } cases[] = {
        {"earlier text comes back", L"earlier\r\ntext", 1, false, L"earlier\r\ntext"},
        {"no earlier text: none after", std::nullopt, 1, false, L"<no text>"},
        {"a second secret keeps the first earlier text", L"first", 2, false, L"first"},
        {"a copy after the paste stays", L"earlier", 1, true, L"copied"},
    };
    std::size_t reads = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Copy(reader.Window(), c.earlier);
        CClipboardRestore restore;
        for (int paste = 0; paste < c.secret_pastes; ++paste) {
            CClipboardDelivery delivery(owner, reader.Window(), 0, true, &restore);
            ASSERT_TRUE(delivery.Deliver(L"secret"));
            EXPECT_EQ(reader.WaitForTexts(++reads).back(), L"secret");
            for (const wchar_t* name :
                 {L"ExcludeClipboardContentFromMonitorProcessing", L"CanIncludeInClipboardHistory",
                  L"CanUploadToCloudClipboard"})
                EXPECT_EQ(Marker(name), DWORD{0}) << name;
        }
        EXPECT_TRUE(restore.Pending());
        if (c.copied_meanwhile)
            Copy(reader.Window(), L"copied");
        EXPECT_TRUE(restore.Restore(owner.Window(), true));
        EXPECT_FALSE(restore.Pending());
        EXPECT_EQ(test_clipboard::Text(), c.expected);
        if (!c.copied_meanwhile) {
            EXPECT_FALSE(Marker(L"CanIncludeInClipboardHistory"));
        }
    }
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
    CClipboardReader reader;
    ASSERT_TRUE(reader.Activate());
    CClipboardRenderOwner owner;
    Copy(reader.Window(), L"before");
    CClipboardRestore restore;
    {
        CClipboardHolder holder;
        ASSERT_TRUE(holder.Holds());
        for (CClipboardRestore* secret : {static_cast<CClipboardRestore*>(nullptr), &restore}) {
            CClipboardDelivery delivery(owner, reader.Window(), 0, secret != nullptr, secret);
            EXPECT_FALSE(delivery.Deliver(L"text"));
            EXPECT_EQ(delivery.LastFailure(), CClipboardDelivery::Failure::kBusy);
            EXPECT_EQ(delivery.Holder(), L"paste_test.exe");
        }
    }
    EXPECT_FALSE(restore.Pending()) << "nothing was placed";
    EXPECT_EQ(test_clipboard::Text(), L"before");
    EXPECT_EQ(reader.WaitForKeys(0), std::vector<std::string>{});
}

// Offers `text` as a paste does, without its keystroke.
void Offer(CClipboardRenderOwner& owner, const std::wstring& text, DWORD target_process,
           bool secret) {
    ClipboardSession clipboard(owner.Window(), kClipboardTries, kClipboardRetryMs);
    ASSERT_TRUE(clipboard);
    ASSERT_TRUE(::EmptyClipboard());
    ASSERT_TRUE(owner.Offer(text, target_process, secret));
}

TEST(ClipboardRenderOwner, NoReaderGetsARunBeforeItsCtrlVAndASecretOnlyTheTargetsProcess) {
    // The paste target program is another process: for a secret pasted into
    // this one, it is a clipboard monitor reading along.
    const struct {
        bool secret;
        std::string other_process_reads; // its log line at its Ctrl+V
        ReadState after_other;
    } cases[] = {
        {false, "clipboard text=run", ReadState::kRead},
        {true, "clipboard text=-", ReadState::kWaiting},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.secret ? "secret" : "plain");
        CClipboardRenderOwner owner;
        Offer(owner, L"run", ::GetCurrentProcessId(), c.secret);
        EXPECT_EQ(AnonymousRead(), L"<no text>") << "read before the Ctrl+V";
        EXPECT_EQ(owner.State(), ReadState::kWaiting);

        test_target::CTargetProcess other(L"reading along");
        ASSERT_TRUE(test_target::BringToFront(other.Window()));
        owner.KeystrokeSent();
        static constexpr KeyEvent kCtrlV[] = {{VK_CONTROL, false, false},
                                              {'V', false, false},
                                              {'V', false, true},
                                              {VK_CONTROL, false, true}};
        SendKeyEvents(kCtrlV);
        EXPECT_EQ(owner.WaitForRead(PasteClock::now() + seconds(2)), c.after_other);
        ASSERT_TRUE(other.WaitForLine("clipboard", true));
        EXPECT_EQ(other.Lines("clipboard"), std::vector<std::string>{c.other_process_reads});
        if (c.secret) {
            // A reader that cannot be told (no window) gets it, as the target may be.
            EXPECT_EQ(AnonymousRead(), L"run");
            EXPECT_EQ(owner.State(), ReadState::kRead);
        }
    }
}

TEST(ClipboardRenderOwner, WhenItGoesAnUnreadPlainRunStaysAndAnUnreadSecretDoesNot) {
    for (const bool secret : {false, true}) {
        SCOPED_TRACE(secret ? "secret" : "plain");
        {
            CClipboardRenderOwner owner;
            Offer(owner, L"left\nbehind", ::GetCurrentProcessId(), secret);
        }
        EXPECT_EQ(AnonymousRead(), secret ? L"<no text>" : L"left\r\nbehind");
    }
}

// What the restore tests put on the clipboard and check after.
struct Content {
    const char* name;
    std::function<void()> put;   // on the open clipboard, emptied
    std::function<void()> check; // on the open clipboard, after the restore
};

HGLOBAL Block(const void* data, std::size_t size) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    LockedGlobal<void> lock(block);
    std::memcpy(lock.Get(), data, size);
    return block;
}

std::string Bytes(UINT format) {
    HANDLE data = ::GetClipboardData(format);
    if (!data)
        return "<none>";
    LockedGlobal<const char> bytes(data);
    return std::string(bytes.Get(), ::GlobalSize(data));
}

UINT Registered(const wchar_t* name) {
    return ::RegisterClipboardFormatW(name);
}

constexpr char kRtf[] = "{\\rtf1\\ansi Hello {\\b bold}}";
constexpr char kHtml[] = "Version:0.9\r\nStartHTML:0\r\n<b>bold</b>";
constexpr DWORD kPixels[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF};
constexpr wchar_t kFiles[] = L"C:\\one.txt\0C:\\two words.txt\0";

std::vector<DWORD> BitmapPixels(HBITMAP bitmap) {
    std::vector<DWORD> pixels(4);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    WindowDc screen(nullptr);
    ::GetDIBits(screen.Get(), bitmap, 0, 2, pixels.data(), &info, DIB_RGB_COLORS);
    return pixels;
}

std::vector<BYTE> MetafileBits(HENHMETAFILE metafile) {
    std::vector<BYTE> bits(::GetEnhMetaFileBits(metafile, 0, nullptr));
    ::GetEnhMetaFileBits(metafile, static_cast<UINT>(bits.size()), bits.data());
    return bits;
}

HENHMETAFILE Drawing() {
    HDC dc = ::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    ::Rectangle(dc, 1, 2, 30, 40);
    return ::CloseEnhMetaFile(dc);
}

TEST(ClipboardRestore, EveryFormatComesBackAndAnEmptyClipboardStaysEmpty) {
    const Content contents[] = {
        {"text", [] { ::SetClipboardData(CF_UNICODETEXT, Block(L"earlier\r\ntext", 28)); },
         [] {
             EXPECT_EQ(Bytes(CF_UNICODETEXT),
                       std::string(reinterpret_cast<const char*>(L"earlier\r\ntext"), 28));
         }},
        {"rich text and HTML, registered formats",
         [] {
             ::SetClipboardData(Registered(L"Rich Text Format"), Block(kRtf, sizeof kRtf));
             ::SetClipboardData(Registered(L"HTML Format"), Block(kHtml, sizeof kHtml));
         },
         [] {
             EXPECT_EQ(Bytes(Registered(L"Rich Text Format")), std::string(kRtf, sizeof kRtf));
             EXPECT_EQ(Bytes(Registered(L"HTML Format")), std::string(kHtml, sizeof kHtml));
         }},
        {"a bitmap, a GDI object",
         [] { ::SetClipboardData(CF_BITMAP, ::CreateBitmap(2, 2, 1, 32, kPixels)); },
         [] {
             auto bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
             ASSERT_NE(bitmap, nullptr);
             EXPECT_EQ(BitmapPixels(bitmap), std::vector<DWORD>(kPixels, kPixels + 4));
         }},
        {"an enhanced metafile", [] { ::SetClipboardData(CF_ENHMETAFILE, Drawing()); },
         [] {
             auto metafile = static_cast<HENHMETAFILE>(::GetClipboardData(CF_ENHMETAFILE));
             ASSERT_NE(metafile, nullptr);
             HENHMETAFILE expected = Drawing();
             EXPECT_EQ(MetafileBits(metafile).size(), MetafileBits(expected).size());
             ::DeleteEnhMetaFile(expected);
         }},
        {"a file list",
         [] {
             std::string drop(sizeof(DROPFILES), '\0');
             auto* header = reinterpret_cast<DROPFILES*>(drop.data());
             header->pFiles = sizeof(DROPFILES);
             header->fWide = TRUE;
             drop.append(reinterpret_cast<const char*>(kFiles), sizeof kFiles);
             ::SetClipboardData(CF_HDROP, Block(drop.data(), drop.size()));
         },
         [] {
             auto drop = static_cast<HDROP>(::GetClipboardData(CF_HDROP));
             ASSERT_NE(drop, nullptr);
             wchar_t name[MAX_PATH] = {};
             ASSERT_EQ(::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 2u);
             ::DragQueryFileW(drop, 1, name, MAX_PATH);
             EXPECT_STREQ(name, L"C:\\two words.txt");
         }},
        {"a private format",
         [] {
             const DWORD value = 7;
             ::SetClipboardData(Registered(L"Kelvo test picture"), Block(&value, sizeof value));
         },
         [] { EXPECT_EQ(Bytes(Registered(L"Kelvo test picture")), std::string("\7\0\0\0", 4)); }},
        {"nothing", [] {}, [] { EXPECT_EQ(::CountClipboardFormats(), 0); }},
    };
    CClipboardReader copier;
    CClipboardRenderOwner owner;
    for (const Content& content : contents) {
        SCOPED_TRACE(content.name);
        {
            ClipboardSession clipboard(copier.Window(), kClipboardTries, kClipboardRetryMs);
            ASSERT_TRUE(clipboard);
            ::EmptyClipboard();
            content.put();
        }
        CClipboardRestore restore;
        {
            ClipboardSession clipboard(owner.Window(), kClipboardTries, kClipboardRetryMs);
            ASSERT_TRUE(clipboard);
            restore.Remember(owner.Window());
            ::EmptyClipboard();
            ASSERT_TRUE(owner.Offer(L"run", ::GetCurrentProcessId(), false));
        }
        ASSERT_TRUE(restore.Restore(owner.Window(), true));
        ClipboardSession clipboard(nullptr, kClipboardTries, kClipboardRetryMs);
        ASSERT_TRUE(clipboard);
        content.check();
    }
}

TEST(ClipboardRestore, ACopyMadeDuringThePasteWins) {
    CClipboardReader copier; // a window of another program, as it were
    CClipboardReader reader;
    ASSERT_TRUE(reader.Activate());
    CClipboardRenderOwner owner;
    Copy(copier.Window(), L"before");
    CClipboardRestore restore;
    {
        CClipboardDelivery delivery(owner, reader.Window(), 0, false, &restore);
        ASSERT_TRUE(delivery.Deliver(L"one"));
        ASSERT_EQ(reader.WaitForTexts(1).size(), 1u);
        Copy(copier.Window(), L"copied between the runs");
        ASSERT_TRUE(delivery.Deliver(L"two"));
    }
    ASSERT_TRUE(restore.Restore(owner.Window(), true));
    EXPECT_EQ(test_clipboard::Text(), L"copied between the runs");
    EXPECT_EQ(reader.WaitForTexts(2), (std::vector<std::wstring>{L"one", L"two"}));
}

} // namespace
} // namespace kelvo
