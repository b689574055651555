#include "library/chunk_finder.h"

#include <gtest/gtest.h>

#include "library/portable_data_test.h"

namespace kelvo {
namespace {

class ChunkFinderTest : public PortableDataTest {
protected:
    void Put(std::wstring title, std::wstring text, std::vector<std::wstring> tags = {},
             bool encrypted = false) {
        auto chunk = MakeRef<text_chunk>(std::move(text), std::move(title));
        chunk->tags = std::move(tags);
        chunk->encrypted = encrypted;
        m_store.PutChunk(chunk);
    }
    std::vector<std::wstring> Find(std::wstring_view find_text) {
        std::vector<std::wstring> found;
        for (const auto& chunk : m_finder.Find(find_text))
            found.push_back(chunk->title + L"/" + std::to_wstring(chunk->id));
        return found;
    }

    CChunkStore m_store;
    CChunkFinder m_finder{m_store};
};

using Found = std::vector<std::wstring>;

TEST_F(ChunkFinderTest, FindsInTitleOrderWithEqualTitlesByIdAndSortsAgainAfterChanges) {
    Put(L"beta", L"x");
    Put(L"Alpha", L"x");
    Put(L"alpha", L"x");
    Put(L"\u00c9clair", L"x"); // after "alpha" and "beta"'s e, in the user's order
    Put(L"gamma", L"y");
    EXPECT_EQ(Find(L""), (Found{L"Alpha/2", L"alpha/3", L"beta/1", L"\u00c9clair/4", L"gamma/5"}));
    EXPECT_EQ(Find(L"X"), (Found{L"Alpha/2", L"alpha/3", L"beta/1", L"\u00c9clair/4"}));
    EXPECT_EQ(Find(L"\u00e9CLAIR"), (Found{L"\u00c9clair/4"}));

    auto renamed = m_store.Chunks().at(1);
    renamed->title = L"aardvark";
    m_store.PutChunk(renamed);
    m_store.DeleteChunk(3);
    EXPECT_EQ(Find(L"x"), (Found{L"aardvark/1", L"Alpha/2", L"\u00c9clair/4"}));
}

TEST_F(ChunkFinderTest, EncryptedChunksAreFoundByTitleAndTagsNotByTheirStoredForm) {
    Put(L"Bank login", L"QUJDZGVmR0hJamts", {L"money"}, true);
    Put(L"Notes", L"abcdef");
    EXPECT_EQ(Find(L"cdef"), (Found{L"Notes/2"}));
    EXPECT_EQ(Find(L"bank"), (Found{L"Bank login/1"}));
    EXPECT_EQ(Find(L"#MONEY"), (Found{L"Bank login/1"}));
}

TEST_F(ChunkFinderTest, TagsAreCountedOverTheChunksFoundByTheirExactText) {
    Put(L"a", L"one", {L"work", L"mail"});
    Put(L"b", L"two", {L"Work", L"work"});
    Put(L"c", L"three", {L"home"});
    m_finder.Find(L"");
    EXPECT_EQ(m_finder.CountFoundTags(),
              (TagCounts{{L"Work", 1}, {L"home", 1}, {L"mail", 1}, {L"work", 2}}));
    // Either spelling selects the chunks of both.
    m_finder.Find(L"#work");
    EXPECT_EQ(m_finder.Found().size(), 2u);
    m_finder.Find(L"t");
    EXPECT_EQ(m_finder.CountFoundTags(), (TagCounts{{L"Work", 1}, {L"home", 1}, {L"work", 1}}));
}

TEST_F(ChunkFinderTest, TypingOnFindsWhatAFreshSearchFinds) {
    Put(L"alpha", L"abc", {L"wor"});
    Put(L"beta", L"abd", {L"work"});
    Put(L"gamma", L"xyz", {L"work"});
    const struct {
        std::vector<std::wstring_view> typed; // one after the other
    } cases[] = {
        {{L"a", L"ab", L"abc"}}, {{L"#wor", L"#work"}}, // a longer tag is another tag
        {{L"ab", L"ab #work"}},  {{L"abc", L"ab"}},     // erased: broader again
        {{L"", L"x", L"xy"}},
    };
    for (const auto& c : cases) {
        CChunkFinder typing(m_store);
        for (const auto text : c.typed) {
            CChunkFinder fresh(m_store);
            std::vector<int> typed_ids, fresh_ids;
            for (const auto& chunk : typing.Find(text))
                typed_ids.push_back(chunk->id);
            for (const auto& chunk : fresh.Find(text))
                fresh_ids.push_back(chunk->id);
            EXPECT_EQ(typed_ids, fresh_ids) << std::string(text.begin(), text.end());
        }
    }
}

TEST_F(ChunkFinderTest, ALargeLibraryIsSearchedInSlicesWithTheSameResult) {
    // Enough chunks for the search to share them out; every third holds the
    // word, the titles run against the ids.
    constexpr int kCount = 50000;
    std::string chunks = "<kelvo><chunks>";
    for (int id = 1; id <= kCount; ++id)
        chunks += "<chunk id=\"" + std::to_string(id) + "\" title=\"t" +
                  std::to_string(kCount - id + 100000) + "\" tags=\"" + (id % 2 ? "odd" : "even") +
                  "\">" + (id % 3 ? "plain" : "has word") + "</chunk>";
    WriteChunks(chunks + "</chunks></kelvo>");
    m_store.LoadChunks();
    std::vector<int> expected;
    for (int id = kCount; id >= 1; --id)
        if (id % 3 == 0)
            expected.push_back(id);
    for (const std::wstring_view text : {L"word", L"words", L"word"}) {
        std::vector<int> found;
        for (const auto& chunk : m_finder.Find(text))
            found.push_back(chunk->id);
        if (text == L"words")
            EXPECT_TRUE(found.empty());
        else
            EXPECT_EQ(found, expected);
    }
    // The narrowing search over what the broader one found.
    m_finder.Find(L"w");
    std::vector<int> narrowed;
    for (const auto& chunk : m_finder.Find(L"wo"))
        narrowed.push_back(chunk->id);
    EXPECT_EQ(narrowed, expected);
    EXPECT_EQ(m_finder.CountFoundTags(),
              (TagCounts{{L"even", kCount / 6}, {L"odd", kCount / 3 - kCount / 6}}));
}

} // namespace
} // namespace kelvo
