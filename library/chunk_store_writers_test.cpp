// The library with other writers: another Kelvo storing at the same moment, a
// sync client putting another PC's version in place in the middle of a save,
// a file written in place slowly, and stores whose memory came from a file
// they could not read.

#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "base/win_handles.h"
#include "library/chunk_reader.h"
#include "library/chunk_store.h"
#include "library/data_folder.h"
#include "library/portable_data_test.h"
#include "library/xml_props.h"

namespace {

constexpr wchar_t kWriterVariable[] = L"KELVO_TEST_OTHER_WRITER";
constexpr wchar_t kReadyEvent[] = L"KelvoTestOtherWriterReady";
constexpr wchar_t kGoEvent[] = L"KelvoTestOtherWriterGo";

std::string Narrow(std::wstring_view text) {
    return std::string(text.begin(), text.end());
}

std::string Element(int id, const std::string& title) {
    return "<chunk id=\"" + std::to_string(id) + "\" encrypted=\"0\" title=\"" + title +
           "\" tags=\"t\">text of " + title + "</chunk>";
}

// A library of `count` chunks titled "old-<id>".
std::string Library(int count, const std::string& more = {}) {
    std::string chunks;
    for (int id = 1; id <= count; ++id)
        chunks += Element(id, "old-" + std::to_string(id));
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kelvo><chunks>" + chunks + more +
           "</chunks></kelvo>";
}

// Title -> how many chunks carry it, as the file holds them.
std::map<std::string, int> TitlesInFile() {
    std::map<std::string, int> titles;
    ChunksFile file = ReadChunksFile(ChunksXmlPath().c_str());
    EXPECT_EQ(file.state, FileState::kRead);
    EXPECT_TRUE(file.renumber.empty()) << "every id once";
    for (const auto& [id, chunk] : file.chunks)
        ++titles[Narrow(chunk->title)];
    return titles;
}

std::map<std::string, int> TitlesIn(const CChunkStore& store) {
    std::map<std::string, int> titles;
    for (const auto& [id, chunk] : store.Chunks())
        ++titles[Narrow(chunk->title)];
    return titles;
}

class WritersTest : public PortableDataTest {
protected:
    void TearDown() override {
        for (const auto& name : test_files::List(m_folder)) {
            EXPECT_EQ(name.find(L".kelvo-tmp"), std::wstring::npos) << Narrow(name);
            EXPECT_EQ(name.find(L".kelvo-lock"), std::wstring::npos) << Narrow(name);
            EXPECT_FALSE(name.starts_with(L"rf") && name.ends_with(L".tmp")) << Narrow(name);
            if (name.starts_with(L"chunks.xml."))
                ::DeleteFileW((m_folder + name).c_str());
        }
        PortableDataTest::TearDown();
    }
    void WriteNextId(int next) {
        WriteSettings("<kelvo next-id=\"" + std::to_string(next) + "\"/>");
    }
    void Listen(CChunkStore& store) {
        store.SetNoticeHandler([this](const StoreNotice& notice) {
            m_notices.push_back(static_cast<int>(notice.kind) * 10 +
                                static_cast<int>(notice.state));
        });
    }
    std::vector<int> m_notices; // kind * 10 + state
};

// Puts bytes in place of a file as a sync client does: written beside it,
// then moved over it.
void PutInPlace(const std::wstring& path, const std::string& bytes) {
    const std::wstring temp = path + L".sync-download";
    test_files::Write(temp, bytes);
    ASSERT_TRUE(::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
}

} // namespace

// The other writer of TwoKelvosStoringAtOnceLoseNothing: this program started
// again, storing chunks titled "<prefix>-<n>". Does nothing run any other way.
TEST(OtherWriter, StoresChunksInALoop) {
    wchar_t request[64] = {};
    if (!::GetEnvironmentVariableW(kWriterVariable, request, 64))
        GTEST_SKIP() << "the other writer of a test that starts it";
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring text = request;
    const std::wstring prefix = text.substr(0, text.find(L':'));
    const int count = std::stoi(text.substr(text.find(L':') + 1));
    CChunkStore store;
    std::vector<StoreNotice> notices;
    store.SetNoticeHandler([&](const StoreNotice& notice) { notices.push_back(notice); });
    store.LoadChunks();
    const kelvo::UniqueHandle ready(::OpenEventW(EVENT_MODIFY_STATE, FALSE, kReadyEvent));
    const kelvo::UniqueHandle go(::OpenEventW(SYNCHRONIZE, FALSE, kGoEvent));
    ASSERT_TRUE(ready && go);
    ::SetEvent(ready.Get());
    ::WaitForSingleObject(go.Get(), 60000);
    for (int n = 0; n < count; ++n)
        store.PutChunk(kelvo::MakeRef<text_chunk>(L"text", prefix + L"-" + std::to_wstring(n)));
    EXPECT_FALSE(store.HasUnsaved());
    EXPECT_TRUE(notices.empty());
}

TEST_F(WritersTest, TwoKelvosStoringAtOnceLoseNothing) {
    constexpr int kLibrary = 500, kEach = 30;
    WriteChunks(Library(kLibrary));
    WriteNextId(kLibrary + 1);
    const kelvo::UniqueHandle ready(::CreateEventW(nullptr, TRUE, FALSE, kReadyEvent));
    const kelvo::UniqueHandle go(::CreateEventW(nullptr, TRUE, FALSE, kGoEvent));
    ASSERT_TRUE(ready && go);

    const std::wstring exe = GetExecutablePath();
    std::wstring command = L"\"" + exe + L"\" --gtest_filter=OtherWriter.StoresChunksInALoop";
    ::SetEnvironmentVariableW(kWriterVariable, (L"theirs:" + std::to_wstring(kEach)).c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool started = ::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                          nullptr, nullptr, &startup, &process);
    ::SetEnvironmentVariableW(kWriterVariable, nullptr);
    ASSERT_TRUE(started);
    const kelvo::UniqueHandle child(process.hProcess);
    ::CloseHandle(process.hThread);

    CChunkStore store;
    Listen(store);
    store.LoadChunks();
    // Both load first, then store at once.
    ASSERT_EQ(::WaitForSingleObject(ready.Get(), 60000), WAIT_OBJECT_0);
    ::SetEvent(go.Get());
    for (int n = 0; n < kEach; ++n)
        store.PutChunk(kelvo::MakeRef<text_chunk>(L"text", L"mine-" + std::to_wstring(n)));
    ASSERT_EQ(::WaitForSingleObject(child.Get(), 300000), WAIT_OBJECT_0);
    DWORD exit_code = 1;
    ::GetExitCodeProcess(child.Get(), &exit_code);
    EXPECT_EQ(exit_code, 0u) << "the other writer ran and saw nothing wrong";
    EXPECT_FALSE(store.HasUnsaved());
    EXPECT_EQ(m_notices, std::vector<int>{});

    const auto titles = TitlesInFile();
    EXPECT_EQ(titles.size(), static_cast<std::size_t>(kLibrary + 2 * kEach));
    for (const char* prefix : {"old-", "mine-", "theirs-"})
        for (int n = prefix[0] == 'o' ? 1 : 0; n < (prefix[0] == 'o' ? kLibrary + 1 : kEach); ++n)
            EXPECT_EQ(titles.count(prefix + std::to_string(n)), 1u) << prefix << n;
    // Memory follows: what the last save joined, and the reload after it.
    store.Reload();
    EXPECT_EQ(TitlesIn(store), titles);
}

TEST_F(WritersTest, AVersionPutInPlaceDuringASaveIsJoinedNotOverwritten) {
    // The save is held up in the middle by a settings file that another
    // program holds for a moment (the id of a new chunk is counted there),
    // after chunks.xml was read: meanwhile a sync client puts another PC's
    // version in place, or a first library where there was none.
    const struct {
        const char* name;
        bool library_at_start;
        const char* file_after;
    } cases[] = {
        {"another version replaces the library", true, "mine old-1 old-2 old-3 theirs"},
        {"a library appears where there was none", false, "mine old-1 old-2 old-3 theirs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveDataFiles();
        if (c.library_at_start)
            WriteChunks(Library(3));
        WriteNextId(4);
        CChunkStore store;
        Listen(store);
        store.LoadChunks();
        // Theirs takes the id ours is about to get.
        const std::string theirs = Library(3, Element(4, "theirs"));
        kelvo::UniqueHandle settings = kelvo::AdoptFile(::CreateFileW(
            m_settingsPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(settings);
        std::thread sync([&] {
            ::Sleep(150);
            PutInPlace(m_chunksPath, theirs);
            ::Sleep(150);
            settings.Reset();
        });
        store.PutChunk(kelvo::MakeRef<text_chunk>(L"text", L"mine"));
        sync.join();

        std::string listed;
        for (const auto& [title, count] : TitlesInFile())
            listed += (listed.empty() ? "" : " ") + title + (count > 1 ? "(twice)" : "");
        EXPECT_EQ(listed, c.file_after);
        const ::ChunksFile file = ReadChunksFile(m_chunksPath.c_str());
        EXPECT_EQ(Narrow(file.chunks.at(4)->title), "theirs") << "theirs keeps its id";
        EXPECT_FALSE(store.HasUnsaved());
        EXPECT_EQ(m_notices, std::vector<int>{});
        EXPECT_EQ(TitlesIn(store), TitlesInFile()) << "memory holds what the save wrote";
        EXPECT_EQ(store.Reload(), CChunkStore::ReloadResult::kUnchanged);
    }
}

TEST_F(WritersTest, AFileWrittenInPlaceSlowlyIsWaitedForNotTakenForDamaged) {
    WriteChunks(Library(3));
    CChunkStore store;
    Listen(store);
    store.LoadChunks();
    // Another PC's version, written into the file itself over two seconds (a
    // sync client that lets others read and delete while it writes).
    const std::string theirs = Library(3, Element(9, "theirs"));
    std::thread writer([&] {
        kelvo::UniqueHandle file =
            kelvo::AdoptFile(::CreateFileW(m_chunksPath.c_str(), GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, TRUNCATE_EXISTING, 0, nullptr));
        const std::size_t piece = theirs.size() / 20 + 1;
        for (std::size_t at = 0; at < theirs.size(); at += piece) {
            DWORD written = 0;
            const auto n = static_cast<DWORD>(std::min(piece, theirs.size() - at));
            ::WriteFile(file.Get(), theirs.data() + at, n, &written, nullptr);
            ::Sleep(100);
        }
    });
    ::Sleep(50);
    store.PutChunk(kelvo::MakeRef<text_chunk>(L"text", L"mine"));
    writer.join();
    const auto titles = TitlesInFile();
    EXPECT_EQ(titles.count("theirs"), 1u);
    EXPECT_EQ(titles.count("mine"), 1u);
    EXPECT_EQ(titles.size(), 5u);
    EXPECT_EQ(m_notices, std::vector<int>{});
    for (const auto& name : test_files::List(m_folder))
        EXPECT_FALSE(name.starts_with(L"chunks.xml.unreadable-")) << "it was never damaged";
}

TEST_F(WritersTest, MemoryFromAFileThatDidNotReadNeverReplacesTheFile) {
    const std::string library = Library(3);
    const int kUnreadable = static_cast<int>(StoreNotice::Kind::kUnreadable) * 10;
    for (const bool damaged : {true, false}) {
        SCOPED_TRACE(damaged ? "damaged at start" : "held at start");
        RemoveDataFiles();
        m_notices.clear();
        CChunkStore store;
        Listen(store);
        if (damaged) {
            WriteChunks(library.substr(0, 100));
            store.LoadChunks();
        } else {
            WriteChunks(library);
            {
                const auto held = kelvo::AdoptFile(::CreateFileW(
                    m_chunksPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
                store.LoadChunks();
            }
            // Then cut short: a sync client in the middle of writing it.
            WriteChunks("");
        }
        EXPECT_TRUE(store.Chunks().empty());
        const std::string before = ChunksFile();
        store.PutChunk(kelvo::MakeRef<text_chunk>(L"text", L"mine"));
        EXPECT_EQ(ChunksFile(), before) << "the file stays as it was";
        EXPECT_TRUE(store.HasUnsaved());
        EXPECT_EQ(m_notices,
                  std::vector<int>{kUnreadable + static_cast<int>(damaged ? FileState::kDamaged
                                                                          : FileState::kHeld)});

        // Once it reads, the change joins it, and memory holds the library.
        WriteChunks(library);
        store.SaveUnsaved();
        EXPECT_FALSE(store.HasUnsaved());
        const std::map<std::string, int> all = {
            {"old-1", 1}, {"old-2", 1}, {"old-3", 1}, {"mine", 1}};
        EXPECT_EQ(TitlesInFile(), all);
        EXPECT_EQ(TitlesIn(store), all);

        // Memory is whole now: a file found empty later is written from it.
        WriteChunks("");
        store.PutChunk(kelvo::MakeRef<text_chunk>(L"text", L"later"));
        auto with_later = all;
        with_later["later"] = 1;
        EXPECT_EQ(TitlesInFile(), with_later);
    }
    // A file moved away by the user starts a new library with what waits.
    WriteChunks("<kelvo><chunks><chunk id=\"1\">cut");
    CChunkStore store;
    store.LoadChunks();
    store.PutChunk(kelvo::MakeRef<text_chunk>(L"text", L"fresh start"));
    EXPECT_TRUE(store.HasUnsaved());
    RemoveDataFiles();
    store.SaveUnsaved();
    EXPECT_FALSE(store.HasUnsaved());
    EXPECT_EQ(TitlesInFile(), (std::map<std::string, int>{{"fresh start", 1}}));
}
