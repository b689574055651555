#include "library/chunk_exchange.h"

#include <gtest/gtest.h>

#include "base/test_printable.h"

using namespace kelvo;
using Kind = ExchangeError::Kind;

namespace kelvo {

void PrintTo(const ExchangeError& error, std::ostream* out) {
    *out << "kind " << static_cast<int>(error.kind) << " at " << error.line << ":" << error.column;
}

} // namespace kelvo

namespace {

std::vector<ExchangeChunk> Chunks(const ExchangeResult& result) {
    if (const auto* error = std::get_if<ExchangeError>(&result)) {
        ADD_FAILURE() << "refused: kind " << static_cast<int>(error->kind) << " at " << error->line
                      << ":" << error->column;
        return {};
    }
    return std::get<std::vector<ExchangeChunk>>(result);
}

std::optional<ExchangeError> Error(const ExchangeResult& result) {
    if (const auto* error = std::get_if<ExchangeError>(&result))
        return *error;
    return std::nullopt;
}

std::string Describe(const ExchangeChunk& chunk) {
    std::string out = "title=" + Printable(chunk.title) + " tags=";
    for (const auto& tag : chunk.tags)
        out += "[" + Printable(tag) + "]";
    return out + " text=" + Printable(chunk.text) + (chunk.encrypted ? " encrypted" : "");
}

void ExpectSameChunks(const std::vector<ExchangeChunk>& got,
                      const std::vector<ExchangeChunk>& expected, const char* how) {
    ASSERT_EQ(got.size(), expected.size()) << how;
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i], expected[i]) << how << " #" << i << "\n  got      " << Describe(got[i])
                                       << "\n  expected " << Describe(expected[i]);
}

// A library with every kind of character, key token and line end the
// library file can hold.
std::vector<ExchangeChunk> EveryKindOfChunk() {
    return {
        {u"plain", {u"work"}, u"Hello, world", false},
        {u"line ends", {}, u"LF\nCRLF\r\nCR\rend\r\n", false},
        {u"key tokens",
         {u"form"},
         u"[TAB][CAPSLOCK][SHIFT]a[CTRL]c[BACKSPACE][ENTER][ALT][WINDOW][LEFT][RIGHT][UP][DOWN]"
         u"[ESC][PAGEUP][PAGEDOWN][HOME][END][INS][DEL][F1][F2][F3][F4][F5][F6][F7][F8][F9][F10]"
         u"[F11][F12][SLEEP 500][#65][[]",
         false},
        {u"CSV's own characters: , ; \" \r\n",
         {u"a,b", u"c;d", u"say \"x\"", u"back\\slash"},
         u"\"quoted\",\"\"doubled\"\"\",;,;",
         false},
        {u"  blanks around  ", {u" lead", u"trail ", u"in side"}, u"\t tab and blanks \t", false},
        {u"Unicode \u00E9\u00DF\u4E2D\u6587\u05E2\u05D1\u0631",
         {u"\u00FCber", u"\U0001F600"},
         u"\U0001F600\U0001F44D\U00010000\U0010FFFD \u200B\u200D\uFEFF\uFFFD \u0301e\u00A0",
         false},
        {u"", {}, u"no title", false},
        {u"no text", {u"t"}, u"", false},
        {u"", {}, u"", false},
        {u"secret", {u"pw"}, u"p@ss;word,\"1\"", true},
        {u"=formula-looking", {}, u"+1-2@3", false},
        {u"json's own: {\"a\": [1]} \\u0041 /", {u"{}"}, u"\\n is not a line break", false},
    };
}

} // namespace

TEST(ChunkExchange, ExportThenImportGivesTheSameChunksCharacterForCharacter) {
    const auto chunks = EveryKindOfChunk();
    ExpectSameChunks(Chunks(ReadChunksCsv(WriteChunksCsv(chunks))), chunks, "CSV");
    ExpectSameChunks(Chunks(ReadChunksJson(WriteChunksJson(chunks))), chunks, "JSON");
    ExpectSameChunks(Chunks(ReadChunks(WriteChunksCsv(chunks))), chunks,
                     "CSV, told by its content");
    ExpectSameChunks(Chunks(ReadChunks(WriteChunksJson(chunks))), chunks,
                     "JSON, told by its content");

    // Without an encrypted chunk the CSV has exactly the three columns.
    std::vector<ExchangeChunk> clear = {{u"a", {u"x", u"y"}, u"b", false}};
    EXPECT_EQ(WriteChunksCsv(clear), "\xEF\xBB\xBFtitle,tags,text\r\na,\"x;y\",b\r\n");
    ExpectSameChunks(Chunks(ReadChunks(WriteChunksCsv(clear))), clear, "three columns");
}

TEST(ChunkExchange, JsonIsOurDocumentedFormat) {
    const std::string json =
        WriteChunksJson(std::vector<ExchangeChunk>{{u"T\u00E9", {u"a", u"b"}, u"x\ny", true}});
    EXPECT_EQ(json, R"({
  "format": "kelvo-chunks",
  "version": 1,
  "chunks": [
    {
      "title": "T)"
                    "\xC3\xA9"
                    R"(",
      "tags": [
        "a",
        "b"
      ],
      "text": "x\ny",
      "encrypted": true
    }
  ]
}
)");
}

TEST(ChunkExchange, ReadsCsvAsSpreadsheetProgramsWriteIt) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<ExchangeChunk> chunks;
    } cases[] = {
        {"BOM, CR LF, quoted multi-line fields, columns in another order, an extra column",
         "\xEF\xBB\xBFText,Notes,Title,Tags\r\n"
         "\"Dear Sir,\r\nthank you.\r\n\",\"ignored, really\",Letter,\"mail;work\"\r\n"
         "\"[TAB]\"\"x\"\"\",,Quote,\r\n"
         ",,,\r\n"
         "\r\n",
         {{u"Letter", {u"mail", u"work"}, u"Dear Sir,\r\nthank you.\r\n", false},
          {u"Quote", {}, u"[TAB]\"x\"", false}}},
        {"semicolons, as spreadsheet programs write in some languages",
         "title;tags;text\r\nA;x,y;\"1;2\"\r\n",
         {{u"A", {u"x", u"y"}, u"1;2", false}}},
        {"header in capitals with blanks, without tags, LF only",
         " TITLE ,TEXT\nt1,one\nt2,two",
         {{u"t1", {}, u"one", false}, {u"t2", {}, u"two", false}}},
        {"no header: the first three columns",
         "Greeting,hello,Hi there\nShort\nx,,y,z,extra\n",
         {{u"Greeting", {u"hello"}, u"Hi there", false},
          {u"Short", {}, u"", false},
          {u"x", {}, u"y", false}}},
        {"tags as the tag box splits them",
         "title,tags,text\nt,\" a;b\",x\nu,\"\\\"\"q\\\"\";c\\,d\",y\n",
         {{u"t", {u" a", u"b"}, u"x", false}, {u"u", {u"\"q\"", u"c,d"}, u"y", false}}},
        {"an encrypted column",
         "title,text,encrypted\na,1,1\nb,2,0\nc,3,TRUE\nd,4,\n",
         {{u"a", {}, u"1", true},
          {u"b", {}, u"2", false},
          {u"c", {}, u"3", true},
          {u"d", {}, u"4", false}}},
        {"characters XML cannot carry are dropped",
         "title,text\n\"a\x01\x0B"
         "b\",\"x\x1B[0m\xEF\xBF\xBFy\"\n",
         {{u"ab", {}, u"x[0my", false}}},
    };
    for (const auto& c : cases)
        ExpectSameChunks(Chunks(ReadChunksCsv(c.bytes)), c.chunks, c.name);
    // A title that begins like JSON does not make the file JSON.
    ExpectSameChunks(Chunks(ReadChunks("[TAB] form,t,[TAB]x\n")),
                     {{u"[TAB] form", {u"t"}, u"[TAB]x", false}}, "told by its content");
}

TEST(ChunkExchange, ReadsOurJsonAndPassesOverWhatItDoesNotKnow) {
    const std::string json = "\xEF\xBB\xBF"
                             R"({
      "chunks": [
        {"text": "only text"},
        {"title": "t", "tags": ["a", "", "b\u0001"], "text": "x\u0000y\r\n", "encrypted": false,
         "colour": {"nested": [1, {"deep": null}]}, "tags2": 5},
        {"title": "again", "title": "last wins", "encrypted": true},
        {"title": null, "tags": null, "text": "nulls are missing", "encrypted": null}
      ],
      "exported": "2026-12-11",
      "format": "kelvo-chunks",
      "version": 1
    })";
    ExpectSameChunks(Chunks(ReadChunksJson(json)),
                     {{u"", {}, u"only text", false},
                      {u"t", {u"a", u"b"}, u"xy\r\n", false},
                      {u"last wins", {}, u"", true},
                      {u"", {}, u"nulls are missing", false}},
                     "JSON");
}

TEST(ChunkExchange, PassesOverDeeplyNestedValues) {
    const std::size_t depth = 100'000;
    const std::string json = R"({"format": "kelvo-chunks", "version": 1, "x": )" +
                             std::string(depth, '[') + std::string(depth, ']') +
                             R"(, "chunks": [{"text": "t"}]})";
    ExpectSameChunks(Chunks(ReadChunksJson(json)), {{u"", {}, u"t", false}}, "deep");
}

TEST(ChunkExchange, RefusesBadFilesWithTheFirstFaultAndItsPlace) {
    const std::string ok_json = R"({"format": "kelvo-chunks", "version": 1, "chunks": [)";
    struct Case {
        const char* name;
        std::string bytes;
        ExchangeError error;
    } cases[] = {
        {"empty", "", {Kind::kEmpty}},
        {"only a byte-order mark and blanks", "\xEF\xBB\xBF \r\n\t", {Kind::kEmpty}},
        {"UTF-16 little endian", "\xFF\xFEt\0i\0", {Kind::kUtf16}},
        {"UTF-16 big endian", "\xFE\xFF\0t", {Kind::kUtf16}},
        {"a zero byte", std::string("title\ntext\0more", 15), {Kind::kNotText, 2, 5}},
        {"Windows-1252, not UTF-8", "title,text\nCaf\xE9,x", {Kind::kNotUtf8, 2, 4}},
        {"CSV header only", "title,tags,text\r\n", {Kind::kNoChunks}},
        {"CSV blank rows only", "title,text\n,\n\n", {Kind::kNoChunks}},
        {"CSV unclosed quote", "title,text\na,\"b\r\nc\r\n", {Kind::kUnclosedQuote, 2, 3}},
        {"CSV text after a quote",
         "title,text\na,b\n\xC3\xA9,\"b\"c\n",
         {Kind::kTextAfterQuote, 3, 6}},
        {"JSON syntax",
         "{\n  \"format\": \"kelvo-chunks\",\n  \"version\": 1,\n  \"chunks\": [}\n}",
         {Kind::kJsonSyntax, 4, 14}},
        {"JSON cut short", ok_json + "{\"title\": \"a\"", {Kind::kJsonSyntax, 1, 66}},
        {"JSON lone surrogate", ok_json + "{\"text\": \"\\ud800\"}]}", {Kind::kJsonSyntax, 1, 69}},
        {"JSON trailing garbage", ok_json + "{}]} x", {Kind::kJsonSyntax, 1, 58}},
        {"JSON array", "[{\"title\": \"a\"}]", {Kind::kNotOurJson, 1, 1}},
        {"JSON of another program", "{\"snippets\": [{\"name\": \"a\"}]}", {Kind::kNotOurJson}},
        {"JSON other format",
         "{\"format\": \"other\", \"version\": 1, \"chunks\": [{}]}",
         {Kind::kNotOurJson}},
        {"JSON without version",
         "{\"format\": \"kelvo-chunks\", \"chunks\": [{}]}",
         {Kind::kNotOurJson}},
        {"JSON newer version",
         "{\"format\": \"kelvo-chunks\", \"version\": 2, \"chunks\": [{}]}",
         {Kind::kNewerVersion}},
        {"JSON far newer version",
         "{\"format\": \"kelvo-chunks\", \"version\": 18446744073709551615, \"chunks\": [{}]}",
         {Kind::kNewerVersion}},
        {"JSON version as text",
         "{\"format\": \"kelvo-chunks\", \"version\": \"1\"}",
         {Kind::kWrongValue, 1, 41}},
        {"JSON no chunks",
         "{\"format\": \"kelvo-chunks\", \"version\": 1, \"chunks\": []}",
         {Kind::kNoChunks}},
        {"JSON tags as a string",
         "{\"format\": \"kelvo-chunks\", \"version\": 1, \"chunks\": [\n{\"title\": \"a\"},\n"
         "  {\"tags\": \"x;y\"}]}",
         {Kind::kWrongValue, 3, 16}},
        {"JSON title as a number", ok_json + "{\"title\": 12}]}", {Kind::kWrongValue, 1, 65}},
        {"JSON a chunk that is a string", ok_json + "\"a\"]}", {Kind::kWrongValue, 1, 55}},
        {"JSON encrypted as a number",
         ok_json + "{\"encrypted\": 1}]}",
         {Kind::kWrongValue, 1, 68}},
        {"JSON chunks as an object",
         "{\"format\": \"kelvo-chunks\", \"version\": 1, \"chunks\": {}}",
         {Kind::kWrongValue, 1, 52}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Error(ReadChunks(c.bytes)), c.error) << c.name;
}

TEST(ChunkExchange, RefusesFilesBeyondTheLimits) {
    const ExchangeLimits limits{64, 2};
    EXPECT_EQ(Error(ReadChunks(std::string(65, 'a'), limits)), ExchangeError{Kind::kTooLarge});
    EXPECT_EQ(Chunks(ReadChunks(std::string(64, 'a'), limits)).size(), 1u);

    EXPECT_EQ(Error(ReadChunks("title\nt1\nt2\n\nt3\n", limits)),
              (ExchangeError{Kind::kTooManyChunks, 5, 1}));
    EXPECT_EQ(Chunks(ReadChunks("title\nt1\nt2\n\n", limits)).size(), 2u);

    const std::string json = R"({"format": "kelvo-chunks", "version": 1, "chunks": [)";
    const ExchangeLimits json_limits{1000, 2};
    EXPECT_EQ(Error(ReadChunks(json + "{},\n{},\n {}]}", json_limits)),
              (ExchangeError{Kind::kTooManyChunks, 3, 2}));
    EXPECT_EQ(Chunks(ReadChunks(json + "{},\n{}]}", json_limits)).size(), 2u);
}
