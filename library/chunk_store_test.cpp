#include "library/chunk_store.h"

#include <gtest/gtest.h>

#include "base/utf16.h"
#include "library/data_folder.h"
#include "library/test_files.h"
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
    EXPECT_EQ(Ids(store), (std::vector<int>{-4, 1, 2, 3}));
    const auto& chunks = store.Chunks();
    EXPECT_EQ(chunks.at(2)->title, L"second two") << "the later of two equal ids wins";
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

TEST_F(ChunkStoreTest, UnreadableLibraryIsKeptBeforeTheFirstWrite) {
    const std::string broken = "<?xml version=\"1.0\"?><kelvo><chunks><chunk id=\"1\">lost?";
    test_files::Write(m_folder + L"chunks.xml", broken);
    CChunkStore store;
    store.LoadChunks();
    EXPECT_TRUE(store.Chunks().empty());
    store.PutChunk(Chunk(L"new", L"new"));

    std::wstring kept;
    for (const auto& name : test_files::List(m_folder))
        if (name.rfind(L"chunks.xml.unreadable-", 0) == 0)
            kept = m_folder + name;
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(test_files::Read(kept), broken);
    ::DeleteFileW(kept.c_str());

    CChunkStore reloaded;
    reloaded.LoadChunks();
    EXPECT_EQ(Ids(reloaded), std::vector<int>{1});
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
    std::u16string plain;
    ASSERT_TRUE(kelvo::CCipher().Decrypt(key, kelvo::AsU16(back->text), plain));
    EXPECT_EQ(plain, u"secret text\r\n[TAB]");

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
