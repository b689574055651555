#include "library/chunk_transfer.h"

#include <gtest/gtest.h>

#include "base/test_printable.h"
#include "base/utf16.h"
#include "library/portable_data_test.h"

using kelvo::ExchangeChunk;
using Kind = kelvo::ExchangeError::Kind;

namespace {

class ChunkTransferTest : public PortableDataTest {
protected:
    void TearDown() override {
        ::DeleteFileW(m_file.c_str());
        PortableDataTest::TearDown();
    }

    static kelvo::Ref<text_chunk> Chunk(std::wstring title, std::vector<std::wstring> tags,
                                        std::wstring text) {
        auto chunk = kelvo::MakeRef<text_chunk>(std::move(text), std::move(title));
        chunk->tags = std::move(tags);
        return chunk;
    }
    static std::vector<kelvo::Ref<text_chunk>> All(const CChunkStore& store) {
        std::vector<kelvo::Ref<text_chunk>> chunks;
        for (const auto& [id, chunk] : store.Chunks())
            chunks.push_back(chunk);
        return chunks;
    }
    // The chunks as "title|tag;tag|text" lines, encrypted texts decrypted.
    std::wstring Described(const CChunkStore& store) {
        std::wstring out;
        for (const auto& [id, chunk] : store.Chunks()) {
            std::wstring text = chunk->text;
            if (chunk->encrypted) {
                kelvo::WipedString<char16_t> plain;
                EXPECT_TRUE(kelvo::CCipher().Decrypt(m_key, kelvo::AsU16(chunk->text), plain));
                text = L"(encrypted)" + std::wstring(kelvo::AsWide(plain.view()));
            }
            out += chunk->title + L"|" + chunk->GetTagsString() + L"|" + text + L"\n";
        }
        return out;
    }
    // Reads the file and stores what it holds that the library lacks.
    kelvo::ImportPlan Import(CChunkStore& store) {
        const ChunkFileRead read = ReadChunkFile(m_file);
        EXPECT_EQ(read.error, static_cast<DWORD>(ERROR_SUCCESS));
        const auto* chunks = std::get_if<std::vector<ExchangeChunk>>(&read.result);
        if (!chunks) {
            ADD_FAILURE() << "refused";
            return {};
        }
        const kelvo::ImportPlan plan = PlanImport(store, *chunks, &m_key);
        int stored = -1;
        EXPECT_TRUE(StoreImport(store, *chunks, plan, &m_key, stored));
        EXPECT_EQ(stored, plan.fresh + plan.beside);
        return plan;
    }

    kelvo::CipherKey m_key = kelvo::CCipher().MakeKey(u"data key");
    std::wstring m_file = m_folder + L"transfer-test";
};

TEST_F(ChunkTransferTest, ExportThenImportIntoAnEmptyLibraryGivesTheSameChunks) {
    CChunkStore library;
    library.LoadChunks();
    std::vector<kelvo::Ref<text_chunk>> chunks = {
        Chunk(L"line ends", {L"a"}, L"LF\nCRLF\r\nCR\rend\r\n"),
        Chunk(L"key tokens", {}, L"[TAB][ENTER][SLEEP 500][#65][[]x[F12]"),
        Chunk(L"CSV's own , ; \"", {L"a,b", L"say \"x\""}, L"\"q\",;\r\n,"),
        Chunk(L"Unicode \u00E9\u4E2D", {L"\u00FCber"}, L"\U0001F600 \u200B\uFEFF\uFFFD\u00A0"),
        Chunk(L"  blanks  ", {L" lead"}, L"\t tab \t"),
        Chunk(L"", {}, L""),
        Chunk(L"secret", {L"pw"}, L"p@ss;word,\"1\"\r\n"),
    };
    ASSERT_TRUE(chunks.back()->Encrypt(m_key));
    library.PutChunks(chunks);
    // The library as it reads back from its file: line breaks as CR LF, tags
    // split as the tag box splits them.
    CChunkStore stored;
    stored.LoadChunks();
    const std::wstring expected = Described(stored);

    for (const ChunkFileFormat format : {ChunkFileFormat::kCsv, ChunkFileFormat::kJson}) {
        SCOPED_TRACE(format == ChunkFileFormat::kCsv ? "CSV" : "JSON");
        std::vector<ExchangeChunk> exported;
        std::wstring undecryptable;
        ASSERT_TRUE(ChunksForExport(All(stored), &m_key, exported, undecryptable));
        ASSERT_TRUE(WriteChunkFile(m_file, format, exported));
        WipeClearTexts(exported);
        EXPECT_EQ(exported.back().text, std::u16string(exported.back().text.size(), u'\0'))
            << "the secret's clear text is wiped";

        RemoveDataFiles();
        CChunkStore empty;
        empty.LoadChunks();
        const kelvo::ImportPlan plan = Import(empty);
        EXPECT_EQ(plan.fresh, 7);
        CChunkStore reloaded;
        reloaded.LoadChunks();
        EXPECT_EQ(Described(reloaded), expected);
    }
}

TEST_F(ChunkTransferTest, EncryptedChunksAreLeftOutWithoutTheKeyAndRefusedWithAnother) {
    auto secret = Chunk(L"bank", {}, L"1234");
    ASSERT_TRUE(secret->Encrypt(m_key));
    const std::vector<kelvo::Ref<text_chunk>> chunks = {Chunk(L"open", {}, L"x"), secret};
    std::vector<ExchangeChunk> exported;
    std::wstring undecryptable;
    ASSERT_TRUE(ChunksForExport(chunks, nullptr, exported, undecryptable));
    EXPECT_EQ(exported, (std::vector<ExchangeChunk>{{u"open", {}, u"x", false}}));

    const kelvo::CipherKey other = kelvo::CCipher().MakeKey(u"other key");
    EXPECT_FALSE(ChunksForExport(chunks, &other, exported, undecryptable));
    EXPECT_TRUE(exported.empty());
    EXPECT_EQ(undecryptable, L"bank");
}

TEST_F(ChunkTransferTest, AnImportAddsBesideSkipsWhatIsThereAndStoresSecretsEncrypted) {
    WriteChunks("<kelvo><chunks>"
                "<chunk id=\"1\" title=\"Letter\" tags=\"mail\">Dear Sir</chunk>"
                "<chunk id=\"2\" title=\"Reply\">Thanks</chunk>"
                "</chunks></kelvo>");
    CChunkStore library;
    library.LoadChunks();
    auto pin = Chunk(L"PIN", {}, L"1234");
    ASSERT_TRUE(pin->Encrypt(m_key));
    library.PutChunk(pin);

    test_files::Write(m_file, "\xEF\xBB\xBF"
                              "title,tags,text,encrypted\r\n"
                              "Letter,mail,Dear Sir,0\r\n"   // identical
                              "Reply,,Thank you,0\r\n"       // beside
                              "PIN,,1234,1\r\n"              // identical by its plain text
                              "Card,bank,\"9 8\r\n7\",1\r\n" // new, encrypted
                              "Card,bank,\"9 8\r\n7\",1\r\n" // twice in the file
                              "New,x;y,new\r\n");            // new
    const kelvo::ImportPlan plan = Import(library);
    EXPECT_EQ(plan.fresh, 2);
    EXPECT_EQ(plan.identical, 3);
    EXPECT_EQ(plan.beside, 1);

    CChunkStore reloaded;
    reloaded.LoadChunks();
    EXPECT_EQ(Described(reloaded), L"Letter|mail|Dear Sir\n"
                                   L"Reply||Thanks\n"
                                   L"PIN||(encrypted)1234\n"
                                   L"Reply||Thank you\n"
                                   L"Card|bank|(encrypted)9 8\r\n7\n"
                                   L"New|x;y|new\n");
    EXPECT_EQ(ChunksFile().find("9 8"), std::string::npos) << "the secret is stored encrypted";

    // The same file again: nothing is new.
    const kelvo::ImportPlan again = Import(reloaded);
    EXPECT_EQ(again.identical, 6);
    EXPECT_EQ(again.fresh + again.beside, 0);

    // Without the key a secret cannot be stored, and nothing is.
    const auto read = ReadChunkFile(m_file);
    const auto& file_chunks = std::get<std::vector<ExchangeChunk>>(read.result);
    CChunkStore empty;
    RemoveDataFiles();
    empty.LoadChunks();
    int stored = -1;
    EXPECT_FALSE(
        StoreImport(empty, file_chunks, PlanImport(empty, file_chunks, nullptr), nullptr, stored));
    EXPECT_TRUE(empty.Chunks().empty());
    EXPECT_FALSE(test_files::Exists(m_chunksPath));
}

TEST_F(ChunkTransferTest, FilesThatCannotBeReadAreRefusedBeforeParsing) {
    EXPECT_EQ(ReadChunkFile(m_folder + L"no such file.csv").error,
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_NE(ReadChunkFile(m_folder).error, static_cast<DWORD>(ERROR_SUCCESS)) << "a folder";

    test_files::Write(m_file, std::string(2000, 'x'));
    const auto too_large = ReadChunkFile(m_file, {.bytes = 1999});
    EXPECT_EQ(too_large.error, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(std::get<kelvo::ExchangeError>(too_large.result).kind, Kind::kTooLarge);

    for (const auto& [bytes, kind] : {std::pair<std::string, Kind>{"", Kind::kEmpty},
                                      {std::string("\x89PNG\r\n\x1A\n\0\0", 10), Kind::kNotText}}) {
        test_files::Write(m_file, bytes);
        const auto read = ReadChunkFile(m_file);
        ASSERT_TRUE(std::holds_alternative<kelvo::ExchangeError>(read.result));
        EXPECT_EQ(std::get<kelvo::ExchangeError>(read.result).kind, kind);
    }
}

TEST(ChunkFileFormat, TheNameTellsCsvElseJson) {
    EXPECT_EQ(ChunkFileFormatOf(L"C:\\a\\chunks.CSV"), ChunkFileFormat::kCsv);
    EXPECT_EQ(ChunkFileFormatOf(L"x.csv"), ChunkFileFormat::kCsv);
    EXPECT_EQ(ChunkFileFormatOf(L"x.json"), ChunkFileFormat::kJson);
    EXPECT_EQ(ChunkFileFormatOf(L"csv"), ChunkFileFormat::kJson);
    EXPECT_EQ(ChunkFileFormatOf(L"x.csv.txt"), ChunkFileFormat::kJson);
}

} // namespace
