#include "library/chunk_store.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/utf16.h"
#include "base/win_handles.h"
#include "library/chunk_writer.h"
#include "library/data_folder.h"
#include "library/master_password.h"
#include "library/test_files.h"
#include "library/test_library.h"
#include "library/xml_props.h"

namespace {

// The store works in portable mode, in the test program's own folder.
class ChunkStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        test_files::Write(m_folder + L"portable", "");
        ASSERT_EQ(GetDataFolder(), m_folder);
        Reset();
    }
    void TearDown() override {
        Reset();
        ::DeleteFileW((m_folder + L"portable").c_str());
    }
    void Reset() {
        for (const wchar_t* name : {L"chunks.xml", L"settings.xml"}) {
            ::SetFileAttributesW((m_folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW((m_folder + name).c_str());
        }
    }
    static kelvo::Ref<text_chunk> Chunk(std::wstring text, std::wstring title,
                                        std::vector<std::wstring> tags = {}) {
        auto chunk = kelvo::MakeRef<text_chunk>(std::move(text), std::move(title));
        chunk->tags = std::move(tags);
        return chunk;
    }
    static std::vector<int> Ids(const CChunkStore& store) {
        std::vector<int> ids;
        for (const auto& [id, chunk] : store.Chunks())
            ids.push_back(id);
        return ids;
    }
    std::string ChunksFile() { return test_files::Read(m_folder + L"chunks.xml"); }
    void WriteChunksFile(const std::string& chunks) {
        test_files::Write(m_folder + L"chunks.xml",
                          "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kelvo><chunks>" + chunks +
                              "</chunks></kelvo>");
    }
    int NextIdInSettings() {
        auto xml = OpenSettingsXml();
        return xml->GetIntAttr(L"next-id", -1);
    }
    void WriteNextId(int next) {
        test_files::Write(m_folder + L"settings.xml",
                          "<kelvo next-id=\"" + std::to_string(next) + "\"/>");
    }
    // "id:title" of every chunk, by id.
    static std::string Listed(const CChunkStore::Map& chunks) {
        std::string listed;
        for (const auto& [id, chunk] : chunks)
            listed += (listed.empty() ? "" : " ") + std::to_string(id) + ":" +
                      std::string(chunk->title.begin(), chunk->title.end());
        return listed;
    }
    static std::string ListedInFile() {
        CChunkStore reloaded;
        reloaded.LoadChunks();
        return Listed(reloaded.Chunks());
    }
    // Records what the store tells as one line each.
    void Listen(CChunkStore& store) {
        store.SetNoticeHandler([this](const StoreNotice& notice) {
            static const char* const kStates[] = {"read", "missing", "empty",
                                                  "held", "damaged", "foreign"};
            switch (notice.kind) {
            case StoreNotice::Kind::kUnreadable:
                m_notices.push_back(std::string("unreadable ") +
                                    kStates[static_cast<int>(notice.state)] +
                                    (notice.kept_copy.empty() ? "" : " kept"));
                m_lastError = notice.error;
                m_keptCopy = notice.kept_copy;
                break;
            case StoreNotice::Kind::kNotSaved:
                m_notices.push_back("not saved");
                m_lastError = notice.error;
                break;
            case StoreNotice::Kind::kConflict:
                m_notices.push_back("conflict " + std::to_string(notice.id) + " as " +
                                    std::to_string(notice.conflict_id));
                break;
            case StoreNotice::Kind::kNotDeleted:
                m_notices.push_back("not deleted " + std::to_string(notice.id));
                break;
            }
        });
    }
    std::vector<std::string> TakeNotices() { return std::exchange(m_notices, {}); }

    std::vector<std::string> m_notices;
    DWORD m_lastError = ERROR_SUCCESS;
    std::wstring m_keptCopy;

    std::wstring m_folder = GetExecutableFolder();
};

} // namespace

TEST_F(ChunkStoreTest, LoadOrdersByIdAndSkipsUnusableIds) {
    WriteChunksFile("<chunk id=\"3\" title=\"three\">c</chunk>"
                    "<chunk id=\"1\" title=\"one\" encrypted=\"7\">a</chunk>"
                    "<chunk id=\"0\">zero</chunk>"
                    "<chunk>no id</chunk>"
                    "<chunk id=\"x\">not a number</chunk>"
                    "<chunk id=\"99999999999\">too large</chunk>"
                    "<chunk id=\"-4\" title=\"negative\"/>"
                    "<chunk id=\"2\" title=\"first two\">b</chunk>"
                    "<chunk id=\"2\" title=\"second two\">b2</chunk>");
    CChunkStore store;
    store.LoadChunks();
    EXPECT_EQ(Ids(store), (std::vector<int>{-4, 1, 2, 3, 4}));
    const auto& chunks = store.Chunks();
    EXPECT_EQ(chunks.at(2)->title, L"second two") << "the later of two equal ids keeps it";
    EXPECT_EQ(chunks.at(4)->title, L"first two") << "the earlier gets a fresh id";
    EXPECT_TRUE(chunks.at(1)->encrypted);
    EXPECT_FALSE(chunks.at(3)->encrypted);
    EXPECT_EQ(chunks.at(-4)->text, L"");
    EXPECT_TRUE(chunks.at(-4)->tags.empty());
}

TEST_F(ChunkStoreTest, TagsSplitOnLoadAndJoinOnWrite) {
    WriteChunksFile("<chunk id=\"1\" tags=\"work;mail,,private\">x</chunk>"
                    "<chunk id=\"2\" tags=\"a; b\">y</chunk>");
    CChunkStore store;
    store.LoadChunks();
    auto one = store.Chunks().at(1);
    EXPECT_EQ(one->tags, (std::vector<std::wstring>{L"work", L"mail", L"private"}));
    EXPECT_EQ(store.Chunks().at(2)->tags, (std::vector<std::wstring>{L"a", L" b"}));
    EXPECT_TRUE(one->HasTag(L"MAIL"));
    EXPECT_FALSE(one->HasTag(L"mai"));
    EXPECT_FALSE(Chunk(L"", L"")->HasTag(L""));

    TagCounts counts;
    one->CountTags(counts);
    store.Chunks().at(2)->CountTags(counts);
    one->CountTags(counts);
    EXPECT_EQ(counts,
              (TagCounts{{L" b", 1}, {L"a", 1}, {L"mail", 2}, {L"private", 2}, {L"work", 2}}));

    store.PutChunk(one);
    EXPECT_NE(ChunksFile().find("tags=\"work;mail;private\""), std::string::npos);
}

TEST_F(ChunkStoreTest, IdsComeFromTheCounterAndAreNeverReused) {
    CChunkStore store;
    store.PutChunk(Chunk(L"text", L"first"));
    EXPECT_EQ(Ids(store), std::vector<int>{1});
    EXPECT_EQ(NextIdInSettings(), 2);

    store.PutChunk(Chunk(L"x", L"second"));
    store.PutChunk(Chunk(L"y", L"third"));
    store.DeleteChunk(3);
    store.PutChunk(Chunk(L"z", L"fourth"));
    EXPECT_EQ(Ids(store), (std::vector<int>{1, 2, 4}));

    // A lost settings file does not bring back ids the library already has.
    ::DeleteFileW((m_folder + L"settings.xml").c_str());
    store.PutChunk(Chunk(L"w", L"fifth"));
    EXPECT_EQ(Ids(store), (std::vector<int>{1, 2, 4, 5}));
    EXPECT_EQ(NextIdInSettings(), 6);
}

TEST_F(ChunkStoreTest, UnwritableSettingsStillGiveFreshIds) {
    CChunkStore store;
    store.PutChunk(Chunk(L"a", L"a"));
    // Another program holds settings.xml, so the counter cannot advance.
    HANDLE holder = ::CreateFileW((m_folder + L"settings.xml").c_str(), GENERIC_READ,
                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    store.PutChunk(Chunk(L"b", L"b"));
    store.PutChunk(Chunk(L"c", L"c"));
    ::CloseHandle(holder);
    EXPECT_EQ(Ids(store), (std::vector<int>{1, 2, 3}));

    CChunkStore reloaded;
    reloaded.LoadChunks();
    EXPECT_EQ(Ids(reloaded), (std::vector<int>{1, 2, 3}));
}

TEST_F(ChunkStoreTest, RewriteKeepsPlaceAndAttributeOrder) {
    CChunkStore store;
    for (auto title : {L"one", L"two", L"three"})
        store.PutChunk(Chunk(L"text", title));
    auto two = kelvo::MakeRef<text_chunk>(L"new text", L"two changed");
    two->id = 2;
    two->encrypted = true;
    two->tags = {L"t"};
    store.PutChunk(two);

    std::string file = ChunksFile();
    auto first = file.find("title=\"one\"");
    auto changed = file.find(
        "<chunk id=\"2\" encrypted=\"1\" title=\"two changed\" tags=\"t\">new text</chunk>");
    auto third = file.find("title=\"three\"");
    ASSERT_NE(changed, std::string::npos) << file;
    EXPECT_LT(first, changed);
    EXPECT_LT(changed, third);
    EXPECT_EQ(file.find("<chunk id=\"2\"", changed + 1), std::string::npos) << "no second element";
    EXPECT_EQ(store.Chunks().at(2).Get(), two.Get());
}

// Saves of a library the store wrote itself are written from memory; each
// leaves the bytes the document save writes for the same library made afresh.
TEST_F(ChunkStoreTest, SavesFromMemoryWriteWhatTheDocumentWould) {
    const auto expected = [&](const CChunkStore& store, bool password_first) {
        CChunkStore reloaded;
        reloaded.LoadChunks();
        EXPECT_EQ(Listed(reloaded.Chunks()), Listed(store.Chunks()));
        auto file = OpenChunksXml();
        const auto wrapped =
            file->Select(L"password", false) ? file->GetText() : std::optional<std::wstring>();
        std::vector<kelvo::Ref<text_chunk>> chunks;
        for (const auto& [id, chunk] : reloaded.Chunks())
            chunks.push_back(chunk);
        return test_library::SavedAsDocument(m_folder + L"expected.xml", chunks, wrapped,
                                             password_first);
    };
    for (const bool password_first : {false, true}) {
        Reset();
        if (password_first) {
            ASSERT_EQ(SetMasterPassword(L"pw", std::nullopt, true).outcome,
                      KeyWrite::Outcome::kStored);
        }
        CChunkStore store;
        store.LoadChunks();
        // The text with CR LF line breaks, as the program keeps texts.
        const std::wstring every = L"<&>\"'\t\r\n \x01\xE9\x20AC\xD83D\xDE00\xDC00\xFFFF";
        for (int i = 0; i < 4; ++i) {
            store.PutChunk(Chunk(every + std::to_wstring(i), every + L"\r\n", {L"t<", L"&u"}));
            EXPECT_EQ(ChunksFile(), expected(store, password_first)) << "new " << i;
        }
        if (!password_first) {
            ASSERT_EQ(SetMasterPassword(L"pw", std::nullopt, false).outcome,
                      KeyWrite::Outcome::kStored);
            EXPECT_EQ(store.Reload(), CChunkStore::ReloadResult::kReloaded);
        }
        const auto& two = store.Chunks().at(2);
        auto changed = kelvo::MakeRef<text_chunk>(L"changed\r\n" + every, two->title);
        changed->id = 2;
        changed->tags = two->tags;
        store.PutChunk(changed);
        EXPECT_EQ(ChunksFile(), expected(store, password_first)) << "changed";
        store.DeleteChunk(3);
        EXPECT_EQ(ChunksFile(), expected(store, password_first)) << "deleted";
        store.PutChunk(Chunk(L"after", L"a delete"));
        EXPECT_EQ(ChunksFile(), expected(store, password_first)) << "after a delete";
        EXPECT_EQ(Ids(store), (std::vector<int>{1, 2, 4, 5}));
    }
}

// A file with more than the library (elements, attributes, comments of
// another build or another program) keeps all of it through saves; one that
// holds only the library in another layout is saved in the program's own.
TEST_F(ChunkStoreTest, WhatTheFileHoldsBesideTheLibraryStays) {
    const struct {
        const char* name;
        std::string file;
        std::string kept; // empty: the file is written afresh
    } cases[] = {
        {"an attribute of another build",
         R"(<kelvo><chunks><chunk id="1" title="a" x="y">one</chunk></chunks></kelvo>)",
         R"(x="y")"},
        {"an element of another build",
         R"(<kelvo><chunks><chunk id="1" title="a">one</chunk></chunks><other>o</other></kelvo>)",
         "<other>o</other>"},
        {"a comment",
         R"(<kelvo><chunks><!--c--><chunk id="1" title="a">one</chunk></chunks></kelvo>)",
         "<!--c-->"},
        {"a processing instruction",
         R"(<kelvo><chunks><chunk id="1" title="a">one</chunk></chunks></kelvo><?p i?>)",
         "<?p i?>"},
        {"text among the chunks",
         R"(<kelvo><chunks>t<chunk id="1" title="a">one</chunk></chunks></kelvo>)", ">t<"},
        {"an element inside a chunk",
         R"(<kelvo><chunks><chunk id="1" title="a">o<b>n</b>e</chunk></chunks></kelvo>)",
         "<b>n</b>"},
        {"a chunk without an id",
         R"(<kelvo><chunks><chunk id="1" title="a">one</chunk><chunk title="z">z</chunk></chunks></kelvo>)",
         R"(title="z")"},
        {"an attribute of the root",
         R"(<kelvo v="2"><chunks><chunk id="1" title="a">one</chunk></chunks></kelvo>)",
         R"(v="2")"},
        {"another layout only",
         "<?xml version=\"1.0\"?>\r\n<kelvo>\r\n  <chunks>\r\n    <chunk id='1' title='a' tags=''>"
         "one</chunk>\r\n  </chunks>\r\n</kelvo>\r\n",
         ""},
    };
    for (const auto& c : cases) {
        Reset();
        test_files::Write(m_folder + L"chunks.xml", c.file);
        CChunkStore store;
        store.LoadChunks();
        store.PutChunk(Chunk(L"two", L"b"));
        store.PutChunk(Chunk(L"three", L"c"));
        store.DeleteChunk(2);
        const std::string file = ChunksFile();
        if (c.kept.empty())
            EXPECT_EQ(file, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kelvo><chunks>"
                            "<chunk id=\"1\" encrypted=\"0\" title=\"a\" tags=\"\">one</chunk>"
                            "<chunk id=\"3\" encrypted=\"0\" title=\"c\" tags=\"\">three</chunk>"
                            "</chunks></kelvo>\n")
                << c.name;
        else
            EXPECT_NE(file.find(c.kept), std::string::npos) << c.name << ": " << file;
        CChunkStore reloaded;
        reloaded.LoadChunks();
        EXPECT_EQ(Listed(reloaded.Chunks()), "1:a 3:c") << c.name;
    }
}

TEST_F(ChunkStoreTest, DeletingAMissingIdChangesNothing) {
    CChunkStore store;
    store.PutChunk(Chunk(L"a", L"a"));
    std::string before = ChunksFile();
    store.DeleteChunk(42);
    EXPECT_EQ(ChunksFile(), before);
    EXPECT_EQ(Ids(store), std::vector<int>{1});
}

TEST_F(ChunkStoreTest, ChunksStayValidWhileListsHoldThem) {
    CChunkStore store;
    store.PutChunk(Chunk(L"a", L"kept"));
    kelvo::Ref<text_chunk> shown = store.Chunks().at(1);
    store.DeleteChunk(1);
    EXPECT_TRUE(store.Chunks().empty());
    EXPECT_EQ(shown->title, L"kept");
    EXPECT_EQ(shown->Refs(), 1);
}

TEST_F(ChunkStoreTest, TextsSurviveAReloadExactly) {
    const std::wstring texts[] = {
        L"",
        L"  leading and trailing blanks  ",
        L"\r\n\r\nblank lines above\r\n\r\n",
        L"\ttabs\t\t",
        L"<html> & \"quotes\" 'single' &amp; ]]>",
        L"\U0001F600\U0001F4CB surrogate pairs",
        L"user[TAB]password[ENTER][SLEEP 500]\r\n[CTRL]a",
    };
    {
        CChunkStore store;
        for (const auto& text : texts)
            store.PutChunk(Chunk(text, text + L" title", {L"tag\U0001F600", L" spaced "}));
    }
    CChunkStore reloaded;
    reloaded.LoadChunks();
    ASSERT_EQ(reloaded.Chunks().size(), std::size(texts));
    int id = 1;
    for (const auto& text : texts) {
        const auto& chunk = reloaded.Chunks().at(id++);
        EXPECT_EQ(chunk->text, text);
        EXPECT_EQ(chunk->title, text + L" title");
        EXPECT_EQ(chunk->tags, (std::vector<std::wstring>{L"tag\U0001F600", L" spaced "}));
    }
}

TEST_F(ChunkStoreTest, IdsThatCannotBeFoundAsWrittenGetFreshOnes) {
    WriteChunksFile("<chunk id=\"+5\" title=\"plus\">a</chunk>"
                    "<chunk id=\"9.4\" title=\"decimal\">b</chunk>"
                    "<chunk id=\"1,000\" title=\"grouped\">c</chunk>"
                    "<chunk id=\"2\" title=\"first two\">d</chunk>"
                    "<chunk id=\"3\" title=\"three\">e</chunk>"
                    "<chunk id=\"2\" title=\"second two\">f</chunk>"
                    "<chunk id=\"05\" title=\"leading zero\">g</chunk>");
    CChunkStore store;
    Listen(store);
    store.LoadChunks();
    EXPECT_EQ(Listed(store.Chunks()),
              "2:second two 3:three 4:plus 5:decimal 6:grouped 7:first two 8:leading zero");
    EXPECT_EQ(NextIdInSettings(), 9);
    // Each is found by its new id: edited, deleted, left as it is.
    kelvo::Ref<text_chunk> plus = store.Chunks().at(4);
    plus->title = L"plus edited";
    store.PutChunk(plus);
    store.DeleteChunk(7);
    store.DeleteChunk(5);
    const char* const expected = "2:second two 3:three 4:plus edited 6:grouped 8:leading zero";
    EXPECT_EQ(Listed(store.Chunks()), expected);
    EXPECT_EQ(ListedInFile(), expected);
    const std::string file = ChunksFile();
    for (const char* gone : {"\"+5\"", "\"9.4\"", "\"1,000\"", "\"05\"", "first two"})
        EXPECT_EQ(file.find(gone), std::string::npos) << gone;
    EXPECT_EQ(file.find("id=\"2\""), file.rfind("id=\"2\"")) << "one element with id 2";
    EXPECT_NE(file.find("<chunk id=\"6\" title=\"grouped\">c</chunk>"), std::string::npos)
        << "the rest of the element as it was: " << file;
    EXPECT_EQ(store.Reload(), CChunkStore::ReloadResult::kUnchanged);
    EXPECT_EQ(TakeNotices(), std::vector<std::string>{});
}

TEST_F(ChunkStoreTest, ARenumberedChunkKeepsItsIdAcrossReloadsUntilSaved) {
    WriteChunksFile(
        "<chunk id=\"+5\" title=\"plus\">a</chunk><chunk id=\"1\" title=\"one\">b</chunk>");
    CChunkStore store;
    store.LoadChunks();
    const kelvo::Ref<text_chunk> plus = store.Chunks().at(2);
    // Another writer changed the other chunk; the renumbered one is where it was.
    WriteChunksFile(
        "<chunk id=\"+5\" title=\"plus\">a</chunk><chunk id=\"1\" title=\"uno\">b</chunk>");
    EXPECT_EQ(store.Reload(), CChunkStore::ReloadResult::kReloaded);
    EXPECT_EQ(Listed(store.Chunks()), "1:uno 2:plus");
    EXPECT_EQ(store.Chunks().at(2).Get(), plus.Get());
    store.DeleteChunk(2);
    EXPECT_EQ(ListedInFile(), "1:uno");
}

namespace {

// Runs /bin/ln -s (with a target) or /bin/rm -f (without) on the Unix names
// of the paths, where Wine can start Unix programs; false elsewhere.
bool UnixLinkCommand(const std::wstring& link, const std::wstring* target) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unix_name = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!unix_name)
        return false;
    char* unix_link = unix_name(link.c_str());
    char* unix_target = target ? unix_name(target->c_str()) : nullptr;
    bool ran = false;
    if (unix_link && (unix_target || !target)) {
        const std::string command =
            target ? std::string("/bin/ln -s \"") + unix_target + "\" \"" + unix_link + "\""
                   : std::string("/bin/rm -f \"") + unix_link + "\"";
        std::wstring wide(command.begin(), command.end());
        const wchar_t* program = target ? L"Z:\\bin\\ln" : L"Z:\\bin\\rm";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (::CreateProcessW(program, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process)) {
            ::WaitForSingleObject(process.hProcess, 10000);
            ::CloseHandle(process.hThread);
            ::CloseHandle(process.hProcess);
            ran = true;
        }
    }
    ::HeapFree(::GetProcessHeap(), 0, unix_link);
    ::HeapFree(::GetProcessHeap(), 0, unix_target);
    return ran;
}

// Whether the name is taken although no file shows there.
bool NameTaken(const std::wstring& path) {
    const HANDLE probe = ::CreateFileW(path.c_str(), DELETE, 0, nullptr, CREATE_NEW,
                                       FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_EXISTS;
    ::CloseHandle(probe);
    return false;
}

// A symbolic link at `link` to `target`, which need not exist; false where
// none can be made. Wine 8 makes none through the system's call (and shows a
// link whose target is missing as no file at all): there a Unix link is made.
bool MakeLink(const std::wstring& link, const std::wstring& target) {
    if (::CreateSymbolicLinkW(link.c_str(), target.c_str(),
                              SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
        ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES &&
        (::GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT))
        return true;
    if (!UnixLinkCommand(link, &target))
        return false;
    // The program may end before the link is there.
    for (int wait = 0; wait < 50; ++wait, ::Sleep(100))
        if (NameTaken(link))
            return true;
    return false;
}

void RemoveLink(const std::wstring& link) {
    if (!::DeleteFileW(link.c_str()) || NameTaken(link))
        UnixLinkCommand(link, nullptr);
    for (int wait = 0; wait < 50 && NameTaken(link); ++wait)
        ::Sleep(100);
}

} // namespace

TEST_F(ChunkStoreTest, ALinkToWhatIsOutOfReachIsNeverReplacedByAFile) {
    const std::wstring link = m_folder + L"chunks.xml";
    const std::wstring target = m_folder + L"unmounted.xml"; // as on a drive not yet mounted
    if (!MakeLink(link, target))
        GTEST_SKIP() << "no symbolic links can be made here";
    CChunkStore store;
    Listen(store);
    store.LoadChunks();
    store.PutChunk(Chunk(L"text", L"new"));
    EXPECT_NE(SetMasterPassword(L"New", std::nullopt, true).outcome, KeyWrite::Outcome::kStored);
    EXPECT_TRUE(store.HasUnsaved());
    // Told as a library that cannot be read (where the system shows the link)
    // or as one that cannot be saved (where it shows no file at all).
    const auto notices = TakeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0] == "unreadable held" || notices[0] == "not saved") << notices[0];
    EXPECT_FALSE(test_files::Exists(target)) << "nothing made through the link";
    const DWORD attributes = ::GetFileAttributesW(link.c_str());
    EXPECT_TRUE(attributes == INVALID_FILE_ATTRIBUTES ||
                (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        << "still the link, not a file";

    // The drive comes back: the link leads to the library again.
    test_files::Write(target, "<kelvo><chunks><chunk id=\"1\" title=\"there\">a</chunk>"
                              "</chunks></kelvo>");
    store.SaveUnsaved();
    EXPECT_FALSE(store.HasUnsaved());
    EXPECT_EQ(ListedInFile(), "1:there 2:new");
    EXPECT_NE(test_files::Read(target).find("title=\"new\""), std::string::npos);
    ::DeleteFileW(target.c_str());
    RemoveLink(link);
    EXPECT_FALSE(NameTaken(link));
}

TEST_F(ChunkStoreTest, ALibraryInAnotherEncodingIsSavedAsUtf8WithNothingLost) {
    const std::wstring title = L"caf\u00e9 \u00fcber \u00bd";
    const std::wstring text = L"na\u00efve\r\n\u00a9 \u00ff";
    const std::wstring document = L"<kelvo><chunks><chunk id=\"1\" title=\"" + title + L"\">" +
                                  text + L"</chunk></chunks></kelvo>";
    auto single_bytes = [](const std::wstring& wide) {
        std::string bytes;
        for (wchar_t c : wide)
            bytes.push_back(static_cast<char>(c == L'\u20ac' ? 0x80 : c));
        return bytes;
    };
    auto utf16 = [](const std::wstring& wide) {
        std::string bytes = "\xFF\xFE";
        for (wchar_t c : wide) {
            bytes.push_back(static_cast<char>(c & 0xFF));
            bytes.push_back(static_cast<char>(c >> 8));
        }
        return bytes;
    };
    const struct {
        const char* name;
        std::string bytes;
        std::wstring title;
    } cases[] = {
        {"UTF-16", utf16(L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + document), title},
        {"ISO-8859-1", single_bytes(L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + document),
         title},
        {"windows-1252",
         single_bytes(L"<?xml version=\"1.0\" encoding=\"windows-1252\"?><kelvo><chunks>"
                      L"<chunk id=\"1\" title=\"" +
                      title + L" \u20ac\">" + text + L"</chunk></chunks></kelvo>"),
         title + L" \u20ac"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        test_files::Write(m_folder + L"chunks.xml", c.bytes);
        CChunkStore store;
        store.LoadChunks();
        ASSERT_EQ(Ids(store), std::vector<int>{1});
        EXPECT_EQ(store.Chunks().at(1)->title, c.title);
        for (int save = 0; save < 2; ++save) {
            store.PutChunk(Chunk(L"\u00e9" + std::to_wstring(save), L"new"));
            const std::string file = ChunksFile();
            const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
            EXPECT_TRUE(file.starts_with(declaration) ||
                        file.starts_with("\xEF\xBB\xBF" + declaration))
                << file.substr(0, 60);
            EXPECT_EQ(file.find("encoding=", file.find("encoding=") + 1), std::string::npos);
            EXPECT_NE(file.find("caf\xC3\xA9"), std::string::npos) << "UTF-8 bytes";
            CChunkStore reloaded;
            reloaded.LoadChunks();
            ASSERT_EQ(reloaded.Chunks().size(), 2u + save);
            EXPECT_EQ(reloaded.Chunks().at(1)->title, c.title);
            EXPECT_EQ(reloaded.Chunks().at(1)->text, text);
        }
    }
}

TEST_F(ChunkStoreTest, EncryptedChunksHoldOnlyTheStoredForm) {
    kelvo::CipherKey key = kelvo::CCipher().MakeKey(u"data key");
    auto chunk = Chunk(L"secret text\r\n[TAB]", L"bank");
    ASSERT_TRUE(chunk->Encrypt(key));
    std::wstring stored = chunk->text;
    EXPECT_TRUE(chunk->encrypted);
    EXPECT_TRUE(chunk->Encrypt(key)) << "an encrypted chunk is left as it is";
    EXPECT_EQ(chunk->text, stored);

    CChunkStore store;
    store.PutChunk(chunk);
    std::string file = ChunksFile();
    EXPECT_NE(file.find("encrypted=\"1\""), std::string::npos);
    EXPECT_EQ(file.find("secret"), std::string::npos);

    CChunkStore reloaded;
    reloaded.LoadChunks();
    const auto& back = reloaded.Chunks().at(1);
    EXPECT_TRUE(back->encrypted);
    kelvo::WipedString<char16_t> plain;
    ASSERT_TRUE(kelvo::CCipher().Decrypt(key, kelvo::AsU16(back->text), plain));
    EXPECT_EQ(plain.view(), u"secret text\r\n[TAB]");

    auto refused = Chunk(std::wstring(L"a\0b", 3), L"zero");
    EXPECT_FALSE(refused->Encrypt(key));
    EXPECT_FALSE(refused->encrypted);
    EXPECT_EQ(refused->text, std::wstring(L"a\0b", 3));
}

namespace {

// Every character XML 1.0 cannot carry, lone surrogates included.
std::vector<std::wstring> ForbiddenCharacters() {
    std::vector<std::wstring> all;
    for (wchar_t c = 0x1; c <= 0x1F; ++c)
        if (c != L'\t' && c != L'\n' && c != L'\r')
            all.emplace_back(1, c);
    for (wchar_t c : {wchar_t(0xFFFE), wchar_t(0xFFFF), wchar_t(0xD800), wchar_t(0xDBFF),
                      wchar_t(0xDC00), wchar_t(0xDFFF)})
        all.emplace_back(1, c);
    return all;
}

} // namespace

TEST_F(ChunkStoreTest, CharactersXmlCannotCarryNeverCostTheLibrary) {
    struct Expected {
        std::wstring text, title;
        std::vector<std::wstring> tags;
    };
    std::map<int, Expected> expected;
    CChunkStore store;
    store.PutChunk(Chunk(L"written before", L"first", {L"old"}));
    expected[1] = {L"written before", L"first", {L"old"}};
    for (const auto& c : ForbiddenCharacters()) {
        // Between others, in the title and in a tag; and alone.
        auto mixed = Chunk(L"a" + c + L"b\r\n\U0001F600" + c, L"t" + c + L"itle",
                           {L"x" + c + L"y", c, L"plain"});
        store.PutChunk(mixed);
        Expected want{L"ab\r\n\U0001F600", L"title", {L"xy", L"plain"}};
        EXPECT_EQ(mixed->text, want.text) << "memory holds what the file holds";
        EXPECT_EQ(mixed->tags, want.tags);
        expected[mixed->id] = want;
        auto alone = Chunk(c, c, {c});
        store.PutChunk(alone);
        expected[alone->id] = {L"", L"", {}};
    }
    auto check = [&](std::size_t extra) {
        CChunkStore reloaded;
        reloaded.LoadChunks();
        ASSERT_EQ(reloaded.Chunks().size(), expected.size() + extra);
        for (const auto& [id, want] : expected) {
            SCOPED_TRACE(id);
            const auto& chunk = reloaded.Chunks().at(id);
            EXPECT_EQ(chunk->text, want.text);
            EXPECT_EQ(chunk->title, want.title);
            EXPECT_EQ(chunk->tags, want.tags);
        }
    };
    check(0);
    // The next write keeps every one of them.
    store.PutChunk(Chunk(L"later", L"later"));
    check(1);
    for (const auto& name : test_files::List(m_folder))
        EXPECT_EQ(name.find(L".unreadable-"), std::wstring::npos);
}

TEST_F(ChunkStoreTest, ALibraryWithARawVerticalTabLoadsAndIsKeptAsItWas) {
    // As an earlier build wrote it: the characters raw.
    const std::string stored = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kelvo><chunks>"
                               "<chunk id=\"1\" title=\"pasted\x0B\">one\x0Btwo</chunk>"
                               "<chunk id=\"2\" tags=\"a\x0B;b\">other</chunk>"
                               "<chunk id=\"3\">third</chunk></chunks></kelvo>\n";
    test_files::Write(m_folder + L"chunks.xml", stored);
    CChunkStore store;
    store.LoadChunks();
    ASSERT_EQ(Ids(store), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(store.Chunks().at(1)->title, L"pasted");
    EXPECT_EQ(store.Chunks().at(1)->text, L"onetwo");
    EXPECT_EQ(store.Chunks().at(2)->tags, (std::vector<std::wstring>{L"a", L"b"}));

    store.PutChunk(Chunk(L"new", L"new"));
    std::wstring kept;
    for (const auto& name : test_files::List(m_folder))
        if (name.rfind(L"chunks.xml.unreadable-", 0) == 0)
            kept = m_folder + name;
    ASSERT_FALSE(kept.empty()) << "the file as it was is kept beside it";
    EXPECT_EQ(test_files::Read(kept), stored);
    ::DeleteFileW(kept.c_str());

    CChunkStore reloaded;
    reloaded.LoadChunks();
    EXPECT_EQ(Ids(reloaded), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(reloaded.Chunks().at(3)->text, L"third");
}

namespace {

// The library another writer changed meanwhile: chunks 1, 3 and 5 as this
// store read them, the counter at 6.
const std::string kRead = "<chunk id=\"1\" title=\"one\">a</chunk>"
                          "<chunk id=\"3\" title=\"three\">c</chunk>"
                          "<chunk id=\"5\" title=\"five\">e</chunk>";

} // namespace

TEST_F(ChunkStoreTest, WhatAnotherWriterStoredMeanwhileIsNeverOverwritten) {
    enum class Op { kNew, kEdit5, kDelete5 };
    const struct {
        const char* name;
        std::string file_meanwhile; // the chunks another writer left
        Op op;
        const char* file_after;
        const char* memory_after;
        std::vector<std::string> notices = {};
    } cases[] = {
        {"another writer added the id the counter holds",
         kRead + "<chunk id=\"6\" title=\"theirs\">f</chunk>", Op::kNew,
         "1:one 3:three 5:five 6:theirs 7:new", "1:one 3:three 5:five 6:theirs 7:new"},
        {"another writer added 7 while memory is stale",
         kRead + "<chunk id=\"7\" title=\"theirs\">g</chunk>", Op::kNew,
         "1:one 3:three 5:five 7:theirs 8:new", "1:one 3:three 5:five 7:theirs 8:new"},
        {"5 changed elsewhere, then edited here",
         "<chunk id=\"1\" title=\"one\">a</chunk><chunk id=\"3\" title=\"three\">c</chunk>"
         "<chunk id=\"5\" title=\"theirs\">e2</chunk>",
         Op::kEdit5,
         "1:one 3:three 5:theirs 6:ours (conflict)",
         "1:one 3:three 5:theirs 6:ours (conflict)",
         {"conflict 5 as 6"}},
        {"5 changed elsewhere, then deleted here",
         "<chunk id=\"1\" title=\"one\">a</chunk><chunk id=\"3\" title=\"three\">c</chunk>"
         "<chunk id=\"5\" title=\"five\" tags=\"new tag\">e</chunk>",
         Op::kDelete5,
         "1:one 3:three 5:five",
         "1:one 3:three 5:five",
         {"not deleted 5"}},
        {"5 deleted elsewhere, then edited here",
         "<chunk id=\"1\" title=\"one\">a</chunk><chunk id=\"3\" title=\"three\">c</chunk>",
         Op::kEdit5, "1:one 3:three 5:ours", "1:one 3:three 5:ours"},
        {"5 deleted elsewhere, then deleted here",
         "<chunk id=\"1\" title=\"one\">a</chunk><chunk id=\"3\" title=\"three\">c</chunk>",
         Op::kDelete5, "1:one 3:three", "1:one 3:three"},
        {"3 changed elsewhere, then 5 edited here",
         "<chunk id=\"1\" title=\"one\">a</chunk><chunk id=\"3\" title=\"theirs\">c</chunk>"
         "<chunk id=\"5\" title=\"five\">e</chunk>",
         Op::kEdit5, "1:one 3:theirs 5:ours", "1:one 3:theirs 5:ours"},
        {"the file written again in another form, then 5 edited here",
         "\n  <chunk title=\"one\" id=\"1\" encrypted=\"0\">a</chunk>\r\n"
         "  <chunk tags=\"\" id=\"3\" title=\"three\"><![CDATA[c]]></chunk>\r\n"
         "  <chunk id=\"5\" title=\"f&#105;ve\">&#101;</chunk>\n",
         Op::kEdit5, "1:one 3:three 5:ours", "1:one 3:three 5:ours"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        WriteChunksFile(kRead);
        WriteNextId(6);
        CChunkStore store;
        Listen(store);
        store.LoadChunks();
        WriteChunksFile(c.file_meanwhile);
        switch (c.op) {
        case Op::kNew:
            store.PutChunk(Chunk(L"new text", L"new"));
            break;
        case Op::kEdit5: {
            // As an editor does: the stored object itself, changed.
            kelvo::Ref<text_chunk> five = store.Chunks().at(5);
            five->title = L"ours";
            five->text = L"our text";
            store.PutChunk(five);
            break;
        }
        case Op::kDelete5:
            store.DeleteChunk(5);
            break;
        }
        EXPECT_EQ(ListedInFile(), c.file_after);
        EXPECT_EQ(Listed(store.Chunks()), c.memory_after);
        EXPECT_EQ(TakeNotices(), c.notices);
        EXPECT_FALSE(store.HasUnsaved());
    }
}

TEST_F(ChunkStoreTest, ChunksPutTogetherGetIdsInARowAboveEveryoneElsesInOneSave) {
    WriteChunksFile(kRead);
    WriteNextId(6);
    CChunkStore store;
    store.LoadChunks();
    // Another writer took the id the counter holds, and one above it.
    WriteChunksFile(kRead + "<chunk id=\"6\" title=\"theirs\">f</chunk>"
                            "<chunk id=\"9\" title=\"later\">g</chunk>");
    const std::vector<kelvo::Ref<text_chunk>> chunks = {Chunk(L"x", L"a", {L"t\x1B", L"\x01"}),
                                                        Chunk(L"y\x0B", L"b"), Chunk(L"z", L"c")};
    store.PutChunks(chunks);
    EXPECT_FALSE(store.HasUnsaved());
    EXPECT_EQ(ListedInFile(), "1:one 3:three 5:five 6:theirs 9:later 10:a 11:b 12:c");
    EXPECT_EQ(Listed(store.Chunks()), "1:one 3:three 5:five 6:theirs 9:later 10:a 11:b 12:c");
    EXPECT_EQ(NextIdInSettings(), 13);
    // Stored as PutChunk stores: what XML cannot carry is gone, in memory too.
    EXPECT_EQ(chunks[0]->tags, std::vector<std::wstring>{L"t"});
    EXPECT_EQ(chunks[1]->text, L"y");
    EXPECT_NE(ChunksFile().find("<chunk id=\"11\" encrypted=\"0\" title=\"b\" tags=\"\">y</chunk>"),
              std::string::npos)
        << ChunksFile();

    // Nothing to store writes nothing.
    const std::string before = ChunksFile();
    store.PutChunks({});
    EXPECT_EQ(ChunksFile(), before);
}

TEST_F(ChunkStoreTest, ContentThatComesBackInAnotherFormIsNoConflict) {
    // Forms the XML layer may change on the way through the file: line ends,
    // white space in attributes, tag lists that split differently.
    const struct {
        const wchar_t* text;
        const wchar_t* title;
        std::vector<std::wstring> tags;
    } chunks[] = {
        {L"lone\rCR and lone\nLF and\r\nboth", L"tab\there", {L"a,b", L"quoted \"x\""}},
        {L"  blanks  \r\n", L" line\r\nbreak ", {L"\t", L"c;d"}},
        {L"", L"", {}},
    };
    CChunkStore store;
    Listen(store);
    for (const auto& c : chunks)
        store.PutChunk(Chunk(c.text, c.title, c.tags));
    // Edited again here, and edited by a store that read them from the file.
    for (const auto& [id, chunk] : store.Chunks()) {
        chunk->text += L"!";
        store.PutChunk(chunk);
    }
    CChunkStore other;
    Listen(other);
    other.LoadChunks();
    for (const auto& [id, chunk] : other.Chunks()) {
        chunk->text += L"?";
        other.PutChunk(chunk);
    }
    EXPECT_EQ(TakeNotices(), std::vector<std::string>{});
    EXPECT_EQ(Ids(other), (std::vector<int>{1, 2, 3}));
}

namespace {

std::string Library(const std::string& chunks) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kelvo><chunks>" + chunks +
           "</chunks><password>wrapped key</password></kelvo>";
}

// Holds a file open without sharing, as a sync client or a backup program may.
kelvo::UniqueHandle HoldWithoutSharing(const std::wstring& path) {
    return kelvo::AdoptFile(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

TEST_F(ChunkStoreTest, AFileThatDoesNotReadIsNeverReplacedByAlmostNothing) {
    const std::string empty;
    const std::string damaged = "<?xml version=\"1.0\"?><kelvo><chunks><chunk id=\"1\" ti";
    const std::string rewritten = Library(kRead + "<chunk id=\"9\" title=\"theirs\">i</chunk>");
    const struct {
        const char* name;
        const std::string* file_meanwhile; // null: removed
        const std::string* written_soon;   // by another writer while we save
        const char* file_after;
        std::vector<std::string> notices = {};
    } cases[] = {
        {"0 bytes", &empty, nullptr, "1:one 3:three 5:five 6:new", {"unreadable empty"}},
        {"damaged", &damaged, nullptr, "1:one 3:three 5:five 6:new", {"unreadable damaged kept"}},
        {"removed", nullptr, nullptr, "1:one 3:three 5:five 6:new"},
        {"0 bytes while another writer rewrites it", &empty, &rewritten,
         "1:one 3:three 5:five 9:theirs 10:new"},
        {"cut short while another writer rewrites it", &damaged, &rewritten,
         "1:one 3:three 5:five 9:theirs 10:new"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        test_files::Write(m_folder + L"chunks.xml", Library(kRead));
        WriteNextId(6);
        CChunkStore store;
        Listen(store);
        store.LoadChunks();
        if (c.file_meanwhile)
            test_files::Write(m_folder + L"chunks.xml", *c.file_meanwhile);
        else
            ::DeleteFileW((m_folder + L"chunks.xml").c_str());
        std::thread writer;
        if (c.written_soon)
            writer = std::thread([&] {
                ::Sleep(120);
                test_files::Write(m_folder + L"chunks.xml", *c.written_soon);
            });
        store.PutChunk(Chunk(L"new text", L"new"));
        if (writer.joinable())
            writer.join();

        EXPECT_EQ(ListedInFile(), c.file_after);
        EXPECT_NE(ChunksFile().find("<password>wrapped key</password>"), std::string::npos)
            << "the wrapped data key stays with the chunks it unlocks";
        EXPECT_EQ(TakeNotices(), c.notices);
        std::vector<std::wstring> kept;
        for (const auto& name : test_files::List(m_folder))
            if (name.rfind(L"chunks.xml.unreadable-", 0) == 0)
                kept.push_back(m_folder + name);
        if (c.file_meanwhile == &damaged && !c.written_soon) {
            ASSERT_EQ(kept.size(), 1u);
            EXPECT_EQ(kept[0], m_keptCopy);
            EXPECT_EQ(test_files::Read(kept[0]), damaged);
        } else {
            EXPECT_EQ(kept, std::vector<std::wstring>{}) << "nothing worth keeping";
        }
        for (const auto& path : kept)
            ::DeleteFileW(path.c_str());
    }
}

TEST_F(ChunkStoreTest, AHeldFileIsWaitedForAndNeverShrinks) {
    test_files::Write(m_folder + L"chunks.xml", Library(kRead));
    WriteNextId(6);
    CChunkStore store;
    Listen(store);
    store.LoadChunks();

    // Held for a moment: the save waits for it.
    auto holder = HoldWithoutSharing(m_folder + L"chunks.xml");
    ASSERT_TRUE(holder);
    std::thread release([&] {
        ::Sleep(300);
        holder.Reset();
    });
    store.PutChunk(Chunk(L"first text", L"first"));
    release.join();
    EXPECT_EQ(ListedInFile(), "1:one 3:three 5:five 6:first");
    EXPECT_EQ(TakeNotices(), std::vector<std::string>{});

    // Held throughout two saves: the file stays as it was, the changes wait
    // in memory, and the user is told once.
    const std::string before = ChunksFile();
    holder = HoldWithoutSharing(m_folder + L"chunks.xml");
    ASSERT_TRUE(holder);
    store.PutChunk(Chunk(L"second text", L"second"));
    kelvo::Ref<text_chunk> five = store.Chunks().at(5);
    five->title = L"five edited";
    store.PutChunk(five);
    holder.Reset();
    EXPECT_EQ(ChunksFile(), before);
    EXPECT_EQ(TakeNotices(), std::vector<std::string>{"unreadable held"});
    EXPECT_EQ(m_lastError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(Listed(store.Chunks()), "1:one 3:three 5:five edited 6:first 7:second");
    EXPECT_TRUE(store.HasUnsaved());

    // Meanwhile another writer stored a chunk under the id ours got: once the
    // file reads again, theirs stays and ours moves to a free id.
    const auto six = before.find("<chunk id=\"6\"");
    const std::string first = before.substr(six, before.find("</chunk>", six) + 8 - six);
    test_files::Write(m_folder + L"chunks.xml",
                      Library(kRead + first + "<chunk id=\"7\" title=\"theirs\">g</chunk>"));
    store.SaveUnsaved();
    EXPECT_FALSE(store.HasUnsaved());
    EXPECT_EQ(ListedInFile(), "1:one 3:three 5:five edited 6:first 7:theirs 8:second");
    EXPECT_EQ(Listed(store.Chunks()), "1:one 3:three 5:five edited 6:first 7:theirs 8:second");
    EXPECT_EQ(TakeNotices(), std::vector<std::string>{});
}

TEST_F(ChunkStoreTest, ALibraryHeldAtStartIsToldAndLaterJoinedNotReplaced) {
    test_files::Write(m_folder + L"chunks.xml", Library(kRead));
    CChunkStore store;
    Listen(store);
    {
        auto holder = HoldWithoutSharing(m_folder + L"chunks.xml");
        store.LoadChunks();
    }
    EXPECT_TRUE(store.Chunks().empty());
    EXPECT_EQ(TakeNotices(), std::vector<std::string>{"unreadable held"});
    store.PutChunk(Chunk(L"new text", L"new"));
    EXPECT_EQ(ListedInFile(), "1:one 3:three 5:five 6:new");
    EXPECT_EQ(Listed(store.Chunks()), "1:one 3:three 5:five 6:new") << "memory holds the library";
    EXPECT_EQ(store.Reload(), CChunkStore::ReloadResult::kUnchanged);
}

TEST_F(ChunkStoreTest, ADeletionWhileTheFileIsHeldWaitsLikeAChange) {
    test_files::Write(m_folder + L"chunks.xml", Library(kRead));
    WriteNextId(6);
    CChunkStore store;
    Listen(store);
    store.LoadChunks();
    const std::string before = ChunksFile();
    {
        auto holder = HoldWithoutSharing(m_folder + L"chunks.xml");
        ASSERT_TRUE(holder);
        store.DeleteChunk(3);
        store.DeleteChunk(5);
    }
    EXPECT_EQ(TakeNotices(), std::vector<std::string>{"unreadable held"});
    EXPECT_EQ(ChunksFile(), before);
    EXPECT_EQ(Listed(store.Chunks()), "1:one") << "gone from what the user sees";
    EXPECT_TRUE(store.HasUnsaved());
    // A reload meanwhile does not bring them back; another writer changed
    // five meanwhile: that version stays and is told.
    std::string file = Library(kRead);
    file.replace(file.find("title=\"five\""), 12, "title=\"theirs\"");
    test_files::Write(m_folder + L"chunks.xml", file);
    EXPECT_EQ(store.Reload(), CChunkStore::ReloadResult::kReloaded);
    EXPECT_EQ(Listed(store.Chunks()), "1:one");
    store.SaveUnsaved();
    EXPECT_FALSE(store.HasUnsaved());
    EXPECT_EQ(ListedInFile(), "1:one 5:theirs");
    EXPECT_EQ(Listed(store.Chunks()), "1:one 5:theirs");
    EXPECT_EQ(TakeNotices(), std::vector<std::string>{"not deleted 5"});
}

TEST_F(ChunkStoreTest, ARewriteIsToldWithItsKeptCopyAlsoAfterTheFileWasToldUnreadable) {
    test_files::Write(m_folder + L"chunks.xml", Library(kRead));
    WriteNextId(6);
    CChunkStore store;
    Listen(store);
    store.LoadChunks();
    {
        auto holder = HoldWithoutSharing(m_folder + L"chunks.xml");
        store.PutChunk(Chunk(L"new text", L"new"));
    }
    EXPECT_EQ(TakeNotices(), std::vector<std::string>{"unreadable held"});
    // Let go cut short, as a writer that crashed leaves it.
    const std::string damaged = "<?xml version=\"1.0\"?><kelvo><chunks><chunk id=\"1\" ti";
    test_files::Write(m_folder + L"chunks.xml", damaged);
    store.SaveUnsaved();
    EXPECT_EQ(TakeNotices(), std::vector<std::string>{"unreadable damaged kept"});
    EXPECT_EQ(test_files::Read(m_keptCopy), damaged);
    EXPECT_EQ(ListedInFile(), "1:one 3:three 5:five 6:new");
    ::DeleteFileW(m_keptCopy.c_str());
}

TEST_F(ChunkStoreTest, AReloadFollowsTheFileAndKeepsWhatIsUnchangedOrWaiting) {
    WriteChunksFile(kRead);
    CChunkStore store;
    Listen(store);
    store.LoadChunks();
    const kelvo::Ref<text_chunk> one = store.Chunks().at(1);
    const kelvo::Ref<text_chunk> three = store.Chunks().at(3);
    EXPECT_EQ(store.Reload(), CChunkStore::ReloadResult::kUnchanged);
    // Its own save is no change either.
    one->text = L"ours";
    store.PutChunk(one);
    const unsigned revision = store.Revision();
    EXPECT_EQ(store.Reload(), CChunkStore::ReloadResult::kUnchanged);
    EXPECT_EQ(store.Revision(), revision);

    // Another writer changed 3, removed 5 and added 8.
    WriteChunksFile("<chunk id=\"1\" title=\"one\">ours</chunk>"
                    "<chunk id=\"3\" title=\"theirs\">c</chunk>"
                    "<chunk id=\"8\" title=\"eight\">h</chunk>");
    EXPECT_EQ(store.Reload(), CChunkStore::ReloadResult::kReloaded);
    EXPECT_NE(store.Revision(), revision);
    EXPECT_EQ(Listed(store.Chunks()), "1:one 3:theirs 8:eight");
    EXPECT_EQ(store.Chunks().at(1).Get(), one.Get()) << "an unchanged chunk keeps its object";

    // An editor opened before the reload still holds the old 3: what it saves
    // is kept beside the other writer's version.
    three->text = L"typed here";
    store.PutChunk(three);
    EXPECT_EQ(ListedInFile(), "1:one 3:theirs 8:eight 9:three (conflict)");
    EXPECT_EQ(TakeNotices(), std::vector<std::string>{"conflict 3 as 9"});

    // A change that waits in memory outlives a reload.
    {
        const auto holder = HoldWithoutSharing(m_folder + L"chunks.xml");
        ASSERT_TRUE(holder);
        auto eight = store.Chunks().at(8);
        eight->title = L"waiting";
        store.PutChunk(eight);
        EXPECT_EQ(store.Reload(), CChunkStore::ReloadResult::kNotRead);
    }
    ASSERT_TRUE(store.HasUnsaved());
    TakeNotices();
    WriteChunksFile("<chunk id=\"1\" title=\"one\">ours</chunk>"
                    "<chunk id=\"8\" title=\"eight\">h</chunk>");
    EXPECT_EQ(store.Reload(), CChunkStore::ReloadResult::kReloaded);
    EXPECT_EQ(Listed(store.Chunks()), "1:one 8:waiting");
    store.SaveUnsaved();
    EXPECT_EQ(ListedInFile(), "1:one 8:waiting");

    // A file that does not read as a library changes nothing.
    test_files::Write(m_folder + L"chunks.xml", "<kelvo><chunks><chunk id=\"1\">cut");
    EXPECT_EQ(store.Reload(), CChunkStore::ReloadResult::kNotRead);
    EXPECT_EQ(Listed(store.Chunks()), "1:one 8:waiting");
}

namespace {

// The keys a merge asks for, as a user would give them.
class FakeKeys final : public IMergeKeys {
public:
    bool LibraryKey(kelvo::CipherKey& data_key) override {
        ++library_asked;
        if (!library)
            return false;
        data_key = *library;
        return true;
    }
    bool CopyKey(const std::wstring&, std::u16string_view wrapped,
                 kelvo::CipherKey& data_key) override {
        ++copy_asked;
        return copy_password && UnwrapDataKey(copy_password, wrapped, data_key);
    }
    std::optional<kelvo::CipherKey> library;
    const char16_t* copy_password = nullptr;
    int library_asked = 0;
    int copy_asked = 0;
};

} // namespace

TEST_F(ChunkStoreTest, AConflictCopyIsMergedOnceAndSetAside) {
    WriteChunksFile("<chunk id=\"1\" title=\"one\">a</chunk>"
                    "<chunk id=\"3\" title=\"three\">c</chunk>");
    CChunkStore store;
    Listen(store);
    store.LoadChunks();
    const std::wstring copy = m_folder + L"chunks (PC's conflicted copy).xml";
    test_files::Write(copy, "<kelvo><chunks><chunk id=\"1\" title=\"one\">a</chunk>"
                            "<chunk id=\"3\" title=\"three\">changed</chunk>"
                            "<chunk id=\"4\" title=\"four\">d</chunk></chunks></kelvo>");
    std::wstring set_aside;
    FakeKeys keys;
    const MergeResult result = store.MergeCopy(copy, set_aside, keys);
    ASSERT_EQ(result.outcome, MergeResult::Outcome::kMerged);
    EXPECT_EQ(result.counts.added, 1);
    EXPECT_EQ(result.counts.identical, 1);
    EXPECT_EQ(result.counts.conflicts, 1);
    EXPECT_FALSE(result.other_password);
    EXPECT_EQ(keys.library_asked + keys.copy_asked, 0) << "no encrypted chunk, no key";
    EXPECT_EQ(ListedInFile(), "1:one 3:three 4:four 5:three (conflict)");
    EXPECT_EQ(Listed(store.Chunks()), "1:one 3:three 4:four 5:three (conflict)");
    EXPECT_EQ(store.Chunks().at(5)->text, L"changed");
    EXPECT_TRUE(set_aside.starts_with(copy + L".merged-")) << testing::PrintToString(set_aside);
    EXPECT_FALSE(test_files::Exists(copy));
    EXPECT_TRUE(test_files::Exists(set_aside));
    ::DeleteFileW(set_aside.c_str());

    // A copy that does not read is left where it is.
    test_files::Write(copy, "<kelvo><chunks><chunk id=\"9\">cut");
    EXPECT_EQ(store.MergeCopy(copy, set_aside, keys).outcome, MergeResult::Outcome::kUnreadable);
    EXPECT_TRUE(test_files::Exists(copy));
    EXPECT_EQ(Listed(store.Chunks()), "1:one 3:three 4:four 5:three (conflict)");
    ::DeleteFileW(copy.c_str());
}

TEST_F(ChunkStoreTest, MergingNeverAddsAChunkTheLibraryHolds) {
    WriteChunksFile("<chunk id=\"1\" title=\"one\">a</chunk>"
                    "<chunk id=\"3\" title=\"three\">c</chunk>");
    CChunkStore store;
    store.LoadChunks();
    const std::string changed = "<kelvo><chunks><chunk id=\"3\" title=\"three\">changed</chunk>"
                                "<chunk id=\"4\" title=\"four\">d</chunk></chunks></kelvo>";
    const std::wstring first = m_folder + L"chunks (PC1's conflicted copy).xml";
    const std::wstring second = m_folder + L"chunks (PC2's conflicted copy).xml";
    test_files::Write(first, changed);
    test_files::Write(second, changed);
    FakeKeys keys;
    std::wstring set_aside;
    const struct {
        const wchar_t* copy;
        MergeCounts counts;
    } merges[] = {
        {first.c_str(), {.added = 1, .identical = 0, .conflicts = 1}},
        // The same copy again (it could not be renamed), and another copy
        // carrying the same change.
        {first.c_str(), {.added = 0, .identical = 2, .conflicts = 0}},
        {second.c_str(), {.added = 0, .identical = 2, .conflicts = 0}},
    };
    // Held by another program, so that it cannot be renamed.
    kelvo::UniqueHandle held = kelvo::AdoptFile(::CreateFileW(
        first.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    for (const auto& merge : merges) {
        const MergeResult result = store.MergeCopy(merge.copy, set_aside, keys);
        ASSERT_EQ(result.outcome, MergeResult::Outcome::kMerged);
        EXPECT_EQ(result.counts.added, merge.counts.added);
        EXPECT_EQ(result.counts.identical, merge.counts.identical);
        EXPECT_EQ(result.counts.conflicts, merge.counts.conflicts);
        if (!set_aside.empty())
            ::DeleteFileW(set_aside.c_str());
    }
    held.Reset();
    EXPECT_EQ(ListedInFile(), "1:one 3:three 4:four 5:three (conflict)");
    ::DeleteFileW(first.c_str());
}

TEST_F(ChunkStoreTest, ACopyUnderAnotherKeyIsMergedUnderTheLibrarysOrNotAtAll) {
    // The copy: a library made on another PC with a data key of its own.
    const kelvo::CipherKey copy_key = test_library::Make(L"Theirs", {L"their secret"});
    {
        CChunkStore other;
        other.LoadChunks();
        other.PutChunk(Chunk(L"plain", L"plain"));
    }
    const std::string copy_bytes = ChunksFile();
    // The library.
    Reset();
    const kelvo::CipherKey library_key = test_library::Make(L"Ours", {L"our secret"});
    const std::string library_bytes = ChunksFile();
    const std::wstring copy = m_folder + L"chunks (PC's conflicted copy).xml";
    auto decrypted = [&](int id) {
        CChunkStore reloaded;
        reloaded.LoadChunks();
        kelvo::WipedString<char16_t> plain;
        return kelvo::CCipher().Decrypt(library_key, kelvo::AsU16(reloaded.Chunks().at(id)->text),
                                        plain)
                   ? std::wstring(kelvo::AsWide(plain.view()))
                   : L"<undecryptable>";
    };

    const struct {
        const char* name;
        bool library_key_given;
        const char16_t* copy_password;
        MergeResult::Outcome outcome;
    } cases[] = {
        {"the library's key not given", false, u"Theirs", MergeResult::Outcome::kKeyNotGiven},
        {"the copy's password not given", true, nullptr, MergeResult::Outcome::kKeyNotGiven},
        {"both keys", true, u"Theirs", MergeResult::Outcome::kMerged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test_files::Write(m_folder + L"chunks.xml", library_bytes);
        test_files::Write(copy, copy_bytes);
        CChunkStore store;
        store.LoadChunks();
        FakeKeys keys;
        if (c.library_key_given)
            keys.library = library_key;
        keys.copy_password = c.copy_password;
        std::wstring set_aside;
        const MergeResult result = store.MergeCopy(copy, set_aside, keys);
        EXPECT_EQ(result.outcome, c.outcome);
        if (c.outcome != MergeResult::Outcome::kMerged) {
            EXPECT_EQ(ChunksFile(), library_bytes) << "nothing of the copy merged";
            EXPECT_EQ(test_files::Read(copy), copy_bytes) << "the copy kept";
            continue;
        }
        EXPECT_EQ(keys.copy_asked, 1);
        EXPECT_EQ(ListedInFile(), "1:title 2:plain 3:title (conflict)");
        EXPECT_EQ(decrypted(1), L"our secret");
        EXPECT_EQ(decrypted(3), L"their secret") << "stored under the library's key";
        EXPECT_EQ(test_library::PasswordElement(ChunksFile()),
                  test_library::PasswordElement(library_bytes));
        ::DeleteFileW(set_aside.c_str());
    }
    ::DeleteFileW(copy.c_str());

    // The same data key under a password changed on the other PC: merged as
    // it is, and the user is told that the library keeps its own password.
    test_files::Write(m_folder + L"chunks.xml", library_bytes);
    std::string rewrapped = library_bytes;
    const std::string old_wrapped = test_library::PasswordElement(library_bytes);
    const std::u16string new_wrapped = WrapDataKey(u"Changed", library_key);
    rewrapped.replace(rewrapped.find(old_wrapped), old_wrapped.size(),
                      std::string(new_wrapped.begin(), new_wrapped.end()));
    test_files::Write(copy, rewrapped);
    CChunkStore store;
    store.LoadChunks();
    auto theirs = Chunk(L"added there", L"new there");
    ASSERT_TRUE(theirs->Encrypt(library_key));
    {
        // Another chunk in the copy, under the shared key.
        auto chunks = rewrapped.find("</chunks>");
        rewrapped.insert(chunks, "<chunk id=\"7\" encrypted=\"1\" title=\"new there\">" +
                                     std::string(theirs->text.begin(), theirs->text.end()) +
                                     "</chunk>");
        test_files::Write(copy, rewrapped);
    }
    FakeKeys keys;
    keys.library = library_key;
    std::wstring set_aside;
    const MergeResult result = store.MergeCopy(copy, set_aside, keys);
    EXPECT_EQ(result.outcome, MergeResult::Outcome::kMerged);
    EXPECT_TRUE(result.other_password);
    EXPECT_EQ(keys.copy_asked, 0);
    EXPECT_EQ(result.counts.added, 1);
    EXPECT_EQ(result.counts.identical, 1);
    EXPECT_EQ(decrypted(7), L"added there");
    ::DeleteFileW(set_aside.c_str());

    // A library without a master password cannot take encrypted chunks.
    WriteChunksFile("<chunk id=\"1\" title=\"one\">a</chunk>");
    test_files::Write(copy, copy_bytes);
    CChunkStore plain;
    plain.LoadChunks();
    EXPECT_EQ(plain.MergeCopy(copy, set_aside, keys).outcome, MergeResult::Outcome::kNoKey);
    EXPECT_EQ(ListedInFile(), "1:one");
    ::DeleteFileW(copy.c_str());
}
