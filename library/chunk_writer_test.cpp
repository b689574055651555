// The one-pass writer against the document save it replaced, kept here as the
// oracle: the same bytes for the same library, and every text, title and tag
// read back as it was written.

#include "library/chunk_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "base/utf16.h"
#include "library/chunk_reader.h"
#include "library/test_files.h"
#include "library/test_library.h"
#include "library/xml_chars.h"
#include "library/xml_props.h"

namespace {

using Chunks = std::vector<kelvo::Ref<text_chunk>>;

kelvo::Ref<text_chunk> Chunk(int id, std::wstring text, std::wstring title,
                             std::vector<std::wstring> tags = {}, bool encrypted = false) {
    auto chunk = kelvo::MakeRef<text_chunk>(std::move(text), std::move(title));
    chunk->id = id;
    chunk->tags = std::move(tags);
    chunk->encrypted = encrypted;
    return chunk;
}

std::string Written(const Chunks& chunks, const std::optional<std::wstring>& password,
                    bool password_first = false) {
    std::string out;
    CChunksXmlWriter writer(out, password, password_first);
    for (const auto& chunk : chunks)
        writer.Add(*chunk);
    writer.Finish();
    return out;
}

// Where the document save of the oracle is written.
std::wstring DocumentPath() {
    return test_files::Folder(L"chunk_writer") + L"chunks.xml";
}

// Every kind of character a text, title or tag can hold: markup, quotes,
// white space of every kind and line breaks in every form, controls XML
// cannot carry, letters of every width, pairs and lone halves of surrogates,
// the last characters of the plane.
std::wstring EveryKindOfCharacter() {
    std::wstring text = L"<a href=\"x\">&amp; 'q' > ]]> \t \r\n \n \r \r\r\n x ";
    for (wchar_t c = 1; c < 0x20; ++c)
        text += c;
    text += L"\x7F\x80\xA0\xE9\x7FF\x800\x20AC\xD7FF\xE000\xFEFF\xFFFD\xFFFE\xFFFF";
    text += L"\xD83D\xDE00 \xDBFF\xDFFF \xD800 x \xDC00 \xD83D";
    return text;
}

Chunks RandomLibrary(std::mt19937& random, int count) {
    // Mostly plain text, with now and then any code unit at all.
    const std::wstring pool = L"ab <>&\"'\t\r\n\xE9\x20AC\xD83D\xDE00";
    auto text = [&](int longest) {
        std::wstring out;
        const int length = static_cast<int>(random() % static_cast<unsigned>(longest + 1));
        for (int i = 0; i < length; ++i)
            out += random() % 8 ? pool[random() % pool.size()]
                                : static_cast<wchar_t>(1 + random() % 0xFFFF);
        return out;
    };
    Chunks chunks;
    for (int id = 1; id <= count; ++id) {
        std::vector<std::wstring> tags;
        for (unsigned t = random() % 3; t > 0; --t)
            tags.push_back(L"tag" + std::to_wstring(random() % 50));
        chunks.push_back(Chunk(id * 3, text(200), text(30), tags, random() % 5 == 0));
    }
    return chunks;
}

TEST(ChunksXmlWriter, WritesTheBytesOfTheDocumentSave) {
    const std::wstring every = EveryKindOfCharacter();
    const struct {
        const char* name;
        Chunks chunks;
        std::optional<std::wstring> password;
        bool password_first = false;
    } cases[] = {
        {"empty library", {}, std::nullopt},
        {"empty library with a key", {}, L"wrapped+key/=="},
        {"empty text, title and tags", {Chunk(1, L"", L"")}, std::nullopt},
        {"every kind of character",
         {Chunk(7, every, every, {L"t<a>g", L"x&y"}), Chunk(9, L"plain", every, {}, true)},
         L"key"},
        {"a large id", {Chunk(2147483647, L"last", L"t")}, std::nullopt},
        {"the key first", {Chunk(1, L"a", L"b")}, L"key", true},
        {"the key first, no chunk", {}, L"key", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            Written(c.chunks, c.password, c.password_first),
            test_library::SavedAsDocument(DocumentPath(), c.chunks, c.password, c.password_first))
            << c.name;
    }
    std::mt19937 random(30);
    for (int round = 0; round < 20; ++round) {
        const Chunks chunks = RandomLibrary(random, 1 + round * 3);
        EXPECT_EQ(Written(chunks, L"k"),
                  test_library::SavedAsDocument(DocumentPath(), chunks, L"k"))
            << "round " << round;
    }
}

// What the reader gives back: the text with CR LF for every line break of
// any form (the program's form), the rest as stored.
std::wstring AsRead(std::wstring_view stored) {
    std::wstring out;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == L'\r' || stored[i] == L'\n') {
            out += L"\r\n";
            i += stored[i] == L'\r' && i + 1 < stored.size() && stored[i + 1] == L'\n';
        } else {
            out += stored[i];
        }
    }
    return out;
}

TEST(ChunksXmlWriter, EveryCharacterXmlCarriesReadsBackAsWritten) {
    std::mt19937 random(31);
    for (int round = 0; round < 30; ++round) {
        const Chunks chunks = RandomLibrary(random, 20);
        const std::wstring password = L"pw" + std::to_wstring(round);
        const ChunksFile file = ReadChunksBytes(Written(chunks, password, round % 2 == 1));
        ASSERT_EQ(file.state, FileState::kRead);
        ASSERT_EQ(file.chunks.size(), chunks.size());
        EXPECT_TRUE(file.renumber.empty());
        EXPECT_EQ(file.password, password);
        EXPECT_EQ(file.password_first, round % 2 == 1);
        for (const auto& chunk : chunks) {
            const auto kept = [](const std::wstring& text) {
                const std::u16string kept = kelvo::DropNonXmlChars(kelvo::AsU16(text));
                return std::wstring(kelvo::AsWide(kept));
            };
            const text_chunk& read = *file.chunks.at(chunk->id);
            EXPECT_EQ(read.text, AsRead(kept(chunk->text))) << chunk->id;
            EXPECT_EQ(read.title, kept(chunk->title)) << chunk->id;
            EXPECT_EQ(read.tags, chunk->tags) << chunk->id;
            EXPECT_EQ(read.encrypted, chunk->encrypted) << chunk->id;
        }
    }
}

} // namespace
