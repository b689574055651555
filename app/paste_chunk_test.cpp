// Pastes of chunks with the application object, into the paste target
// program running as a process of its own.

#include "app/paste_chunk.h"

#include <gtest/gtest.h>

#include <chrono>

#include "app/main_wnd.h"
#include "app/stand_in_main_window_test.h"
#include "library/portable_data_test.h"
#include "library/test_library.h"
#include "paste/clipboard_delivery.h"
#include "paste/test_clipboard.h"
#include "tests/e2e/target_process.h"
#include "wyn/testing/dialog_script.h"

using test_target::BringToFront;
using test_target::CTargetProcess;
using wyn_test::ClickOk;
using wyn_test::DialogScript;

namespace {

const std::string kPrivacyMarkers = " ExcludeClipboardContentFromMonitorProcessing=0"
                                    " CanIncludeInClipboardHistory=0"
                                    " CanUploadToCloudClipboard=0";

// Answers the password dialog.
DialogScript::Step EnterPassword(const wchar_t* password) {
    return [=](HWND dialog) {
        ::SetWindowTextW(::FindWindowExW(dialog, nullptr, L"Edit", nullptr), password);
        ClickOk(dialog);
    };
}

struct Message {
    std::wstring caption;
    std::wstring text;
};

// Reads a message box into `message` and dismisses it.
DialogScript::Step Dismiss(Message& message) {
    return [&message](HWND box) {
        wchar_t caption[256] = {};
        ::GetWindowTextW(box, caption, 256);
        message = {caption, wyn_test::MessageBoxText(box)};
        ClickOk(box);
    };
}

kelvo::Ref<text_chunk> Chunk(std::wstring text) {
    return kelvo::MakeRef<text_chunk>(std::move(text), L"title");
}

class PasteTest : public PortableDataTest {
protected:
    void SetUp() override {
        PortableDataTest::SetUp();
        // The password is remembered until exit once typed.
        WriteSettings("<kelvo><settings show-onstart=\"0\" remember-password=\"-1\"/></kelvo>");
        ASSERT_TRUE(m_app.CreateHiddenWindow());
        ASSERT_TRUE(m_host.Create());
        m_app.SetMainWindow(&m_host);
    }
    void TearDown() override {
        m_app.SetMainWindow(nullptr);
        PortableDataTest::TearDown();
    }

    // Pastes while `steps` answer the dialogs it shows; checks they all ran.
    // `within_ms`: how long the dialogs may take to come.
    bool Paste(const text_chunk& chunk, HWND target, std::vector<DialogScript::Step> steps = {},
               PasteTrigger trigger = PasteTrigger::kOther, DWORD within_ms = 5000) {
        DialogScript script(std::move(steps), within_ms);
        const bool pasted = PasteChunk(m_app, m_host, chunk, target, trigger);
        EXPECT_TRUE(script.Finished()) << script.Done() << " dialog steps ran";
        return pasted;
    }

    // An encrypted chunk of `text` from a library with the master password
    // "Secret".
    kelvo::Ref<text_chunk> EncryptedChunk(const std::wstring& text) {
        test_library::Make(L"Secret", {text});
        CChunkStore store;
        store.LoadChunks();
        EXPECT_EQ(store.Chunks().size(), 1u);
        return store.Chunks().begin()->second;
    }

    // The clipboard's text once the paste has given it back: as soon as the
    // target lets go of it, from the message loop.
    std::wstring ClipboardAfterPaste() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (m_app.ClipboardRestore().Pending() && std::chrono::steady_clock::now() < deadline)
            CTargetProcess::Pump(10);
        EXPECT_FALSE(m_app.ClipboardRestore().Pending());
        return test_clipboard::Text();
    }

    CMainWnd m_app{::GetModuleHandleW(nullptr)};
    CStandInMainWindow m_host;
};

} // namespace

TEST_F(PasteTest, APlainTextArrivesAndTheClipboardComesBackUnlessTheUserSaidNo) {
    const struct {
        int restore_clipboard;
        std::wstring after; // the clipboard's text after the paste
    } cases[] = {{1, L"what the user copied"}, {0, L"abc"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.restore_clipboard);
        m_app.CurrentSettings().restore_clipboard = c.restore_clipboard;
        test_clipboard::Copy(m_host.Window(), L"what the user copied");
        CTargetProcess target(L"plain target");
        ASSERT_TRUE(target.Running());
        ASSERT_TRUE(BringToFront(m_host.Window()));
        EXPECT_TRUE(Paste(*Chunk(L"abc"), target.Window()));
        EXPECT_TRUE(target.WaitForLine("text line abc"));
        EXPECT_EQ(ClipboardAfterPaste(), c.after);
        EXPECT_EQ(target.Lines("clipboard"), std::vector<std::string>{"clipboard text=abc"})
            << "a plain text carries no privacy markers";
    }
}

TEST_F(PasteTest, AProgramThatReadsLateGetsEveryRunInOrder) {
    CTargetProcess target(L"late target", L"multi", L"--read-late");
    EXPECT_TRUE(Paste(*Chunk(L"alpha[ENTER]bravo[ENTER]charlie"), target.Window()));
    EXPECT_TRUE(target.WaitForLine("text multi alpha\\r\\nbravo\\r\\ncharlie"))
        << target.FieldText("multi");
    EXPECT_EQ(target.Lines("clipboard"),
              (std::vector<std::string>{"clipboard text=alpha", "clipboard text=bravo",
                                        "clipboard text=charlie"}));
}

TEST_F(PasteTest, AProgramThatNeverReadsStopsThePasteWithAMessageAndNothingMoreIsSent) {
    test_clipboard::Copy(m_host.Window(), L"what the user copied");
    CTargetProcess target(L"deaf target", L"line", L"--never-read");
    Message message;
    auto chunk = kelvo::MakeRef<text_chunk>(L"first[TAB]second[ENTER]", L"Address");
    // The message comes once the target has had its time to read.
    EXPECT_FALSE(Paste(*chunk, target.Window(), {Dismiss(message)}, PasteTrigger::kOther,
                       kelvo::kReadTimeoutMs + 5000));
    EXPECT_EQ(message.text, L"The paste of \"Address\" was stopped: the window to paste into did "
                            L"not take the text. Nothing more was sent.");
    CTargetProcess::Pump(300);
    EXPECT_EQ(target.Lines("key"), (std::vector<std::string>{"key line down 11", "key line down 56",
                                                             "key line up 56", "key line up 11"}))
        << "keys were sent after a text that did not arrive";
    EXPECT_EQ(ClipboardAfterPaste(), L"what the user copied");
}

TEST_F(PasteTest, APasteAskedForWithEnterLetsGoOfEnterBeforeAnythingElse) {
    const struct {
        PasteTrigger trigger;
        std::vector<std::string> keys; // what the target in front sees
    } cases[] = {
        {PasteTrigger::kEnterKey,
         {"key line up 0D", "key line down 11", "key line down 56", "key line up 56",
          "key line up 11"}},
        {PasteTrigger::kOther,
         {"key line down 11", "key line down 56", "key line up 56", "key line up 11"}},
    };
    for (const auto& c : cases) {
        CTargetProcess target(L"enter target");
        ASSERT_TRUE(BringToFront(target.Window()));
        EXPECT_TRUE(Paste(*Chunk(L"abc"), target.Window(), {}, c.trigger));
        EXPECT_TRUE(target.WaitForLine("text line abc"));
        CTargetProcess::Pump(100);
        EXPECT_EQ(target.Lines("key"), c.keys);
    }
}

TEST_F(PasteTest, TextAndKeysFillTwoFields) {
    CTargetProcess target(L"form target");
    EXPECT_TRUE(Paste(*Chunk(L"Name[TAB]Street[ENTER]"), target.Window()));
    EXPECT_TRUE(target.WaitForLine("text multi Street\\r\\n"));
    EXPECT_EQ(target.FieldText("line"), "Name");
    EXPECT_EQ(target.Lines("key line down 09").size(), 1u);
    EXPECT_EQ(target.Lines("key multi down 0D").size(), 1u);
}

TEST_F(PasteTest, LineFeedsOfAChunkReadFromTheFileArriveAsCrLf) {
    // Bare line feeds, as a file edited by hand has them (the file layer hands
    // out a plain text with CR LF), and inside an encrypted text, which keeps
    // them bare: there each one makes the clipboard's text longer.
    const std::string lines = "one\ntwo\nthree\nfour\nfive\nsix\nseven\neight\nnine\nten";
    WriteChunks("<?xml version=\"1.0\" encoding=\"UTF-8\"?><kelvo><chunks><chunk id=\"1\">" +
                lines + "</chunk></chunks></kelvo>");
    CChunkStore store;
    store.LoadChunks();
    ASSERT_EQ(store.Chunks().size(), 1u);
    const struct {
        kelvo::Ref<text_chunk> chunk;
        std::vector<DialogScript::Step> steps;
    } cases[] = {
        {store.Chunks().begin()->second, {}},
        {EncryptedChunk(std::wstring(lines.begin(), lines.end())), {EnterPassword(L"Secret")}},
    };
    for (const auto& c : cases) {
        CTargetProcess target(L"lines target", L"multi");
        EXPECT_TRUE(Paste(*c.chunk, target.Window(), c.steps));
        EXPECT_TRUE(target.WaitForLine("text multi one\\r\\ntwo\\r\\nthree\\r\\nfour\\r\\nfive\\r"
                                       "\\nsix\\r\\nseven\\r\\neight\\r\\nnine\\r\\nten"))
            << target.FieldText("multi");
    }
}

TEST_F(PasteTest, AnEncryptedChunkGoesWithPrivacyMarkersAndTheClipboardGetsItsTextBack) {
    // Even when the user keeps the last text of a plain chunk on the clipboard.
    m_app.CurrentSettings().restore_clipboard = 0;
    const kelvo::Ref<text_chunk> chunk = EncryptedChunk(L"top secret[TAB]pin");
    test_clipboard::Copy(m_host.Window(), L"what the user copied");
    CTargetProcess target(L"secret target");
    EXPECT_TRUE(Paste(*chunk, target.Window(), {EnterPassword(L"Secret")}));
    // Given back as soon as the target has read the last run.
    EXPECT_EQ(ClipboardAfterPaste(), L"what the user copied");
    EXPECT_FALSE(test_clipboard::Marker(L"CanIncludeInClipboardHistory"));
    EXPECT_TRUE(target.WaitForLine("text multi pin"));
    EXPECT_EQ(target.FieldText("line"), "top secret");
    EXPECT_EQ(target.Lines("clipboard"),
              (std::vector<std::string>{"clipboard text=top secret" + kPrivacyMarkers,
                                        "clipboard text=pin" + kPrivacyMarkers}));
}

TEST_F(PasteTest, ATargetThatClosedSendsNothingAndSaysSo) {
    const struct {
        const char* name;
        kelvo::Ref<text_chunk> chunk;
        bool close_while_asking; // closed while the password dialog is open
    } cases[] = {
        {"closed before the paste", Chunk(L"abc[ENTER]"), false},
        {"closed while the password is asked for", EncryptedChunk(L"secret[ENTER]"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTargetProcess target(L"closing target");
        const HWND window = target.Window();
        Message message;
        std::vector<DialogScript::Step> steps;
        if (c.close_while_asking) {
            steps.push_back([&](HWND dialog) {
                target.Close();
                EnterPassword(L"Secret")(dialog);
            });
        } else {
            target.Close();
        }
        steps.push_back(Dismiss(message));
        ASSERT_TRUE(BringToFront(m_host.Window()));
        EXPECT_FALSE(Paste(*c.chunk, window, std::move(steps)));
        EXPECT_EQ(message.text, L"The window to paste into is no longer open. Nothing was pasted.");
        EXPECT_EQ(message.caption, L"Kelvo");
        CTargetProcess::Pump(300);
        EXPECT_EQ(m_host.FindBoxText(), L"") << "the keys went to our own window";
    }
}

TEST_F(PasteTest, ATargetThatLeavesOurWindowInFrontGetsNothing) {
    // Our own window as the target: activating it leaves one of ours in front.
    Message message;
    EXPECT_FALSE(Paste(*Chunk(L"abc[ENTER]"), m_host.Window(), {Dismiss(message)}));
    EXPECT_EQ(message.text, L"The window to paste into could not be brought to the front. "
                            L"Nothing was pasted.");
    CTargetProcess::Pump(300);
    EXPECT_EQ(m_host.FindBoxText(), L"");
}

TEST_F(PasteTest, AMinimisedTargetIsRestoredFirst) {
    CTargetProcess target(L"minimised target");
    ::ShowWindow(target.Window(), SW_MINIMIZE);
    ASSERT_TRUE(BringToFront(m_host.Window()));
    ASSERT_TRUE(::IsIconic(target.Window()));
    EXPECT_TRUE(Paste(*Chunk(L"abc"), target.Window()));
    EXPECT_FALSE(::IsIconic(target.Window()));
    EXPECT_TRUE(target.WaitForLine("text line abc"));
}

TEST_F(PasteTest, AClipboardHeldByAnotherProgramStopsThePasteBeforeItsKeystroke) {
    CTargetProcess holder(L"clipboard holder", L"line", L"--hold-clipboard");
    ASSERT_TRUE(holder.WaitForLine("holding"));
    CTargetProcess target(L"busy target");
    Message message;
    EXPECT_FALSE(Paste(*Chunk(L"abc[TAB]def"), target.Window(), {Dismiss(message)}));
    EXPECT_EQ(message.text, L"The paste was stopped: kelvo-paste-target.exe keeps the clipboard "
                            L"open. Please try again.");
    CTargetProcess::Pump(300);
    EXPECT_EQ(target.Lines("key"), std::vector<std::string>{}) << "a keystroke reached the target";
    EXPECT_EQ(target.Lines("text"), std::vector<std::string>{});
}

TEST_F(PasteTest, AChunkThatDoesNotDecryptSendsNothing) {
    EncryptedChunk(L"anything"); // the master password, and with it the key
    const kelvo::Ref<text_chunk> damaged = Chunk(L"bm90IGEgc3RvcmVkIHRleHQ=");
    damaged->encrypted = true;
    CTargetProcess target(L"undecryptable target");
    Message message;
    EXPECT_FALSE(Paste(*damaged, target.Window(), {EnterPassword(L"Secret"), Dismiss(message)}));
    EXPECT_EQ(message.text, L"Impossible to decrypt the chunk text.");
    EXPECT_EQ(message.caption, L"Kelvo");
    CTargetProcess::Pump(300);
    EXPECT_EQ(target.Lines("key"), std::vector<std::string>{});
}

TEST_F(PasteTest, CloseOnPasteClosesTheMainWindowOnceItsHandlerReturned) {
    m_app.CurrentSettings().close_on_paste = 1;
    CTargetProcess target(L"close target");
    CStandInMainWindow dialog;
    m_app.SetMainWindow(&dialog);
    bool pasted = false;
    const INT_PTR result = dialog.RunModal([&] {
        pasted = PasteChunk(m_app, dialog, *Chunk(L"abc"), target.Window(), PasteTrigger::kOther);
    });
    EXPECT_TRUE(pasted);
    EXPECT_TRUE(dialog.AliveAfterHandler()) << "destroyed under the handler that pasted";
    EXPECT_EQ(result, IDCANCEL) << "not closed as by its close box";
    EXPECT_TRUE(target.WaitForLine("text line abc"));
}
