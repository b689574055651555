#include "library/csv.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows ReadAll(std::string_view bytes, char delimiter = ',') {
    CCsvReader reader(bytes, delimiter);
    CsvRecord record;
    Rows rows;
    while (reader.Next(record)) {
        auto& row = rows.emplace_back();
        for (const auto& field : record.fields)
            row.push_back(field.text);
    }
    EXPECT_EQ(reader.GetFault(), CCsvReader::Fault::kNone) << bytes;
    return rows;
}

} // namespace

TEST(CsvReader, ReadsWhatRfc4180AndSpreadsheetProgramsWrite) {
    struct Case {
        const char* name;
        std::string bytes;
        Rows rows;
    } cases[] = {
        {"plain, CR LF", "a,b,c\r\n1,2,3\r\n", {{"a", "b", "c"}, {"1", "2", "3"}}},
        {"LF, no final break", "a,b\n1,2", {{"a", "b"}, {"1", "2"}}},
        {"CR alone", "a\rb\r", {{"a"}, {"b"}}},
        {"empty fields", ",,\r\n", {{"", "", ""}}},
        {"blank line", "a\r\n\r\nb", {{"a"}, {""}, {"b"}}},
        {"quoted comma and quote", "\"a,b\",\"say \"\"hi\"\"\"", {{"a,b", "say \"hi\""}}},
        {"quoted line breaks kept as they are",
         "\"l1\r\nl2\nl3\rl4\",x\r\n",
         {{"l1\r\nl2\nl3\rl4", "x"}}},
        {"empty quoted field", "\"\",\"\"", {{"", ""}}},
        {"quote inside a bare field is a character",
         "5\" screen,a\"b\"",
         {{"5\" screen", "a\"b\""}}},
        {"blanks are kept", " a , b ", {{" a ", " b "}}},
        {"trailing delimiter", "a,\n", {{"a", ""}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadAll(c.bytes), c.rows) << c.name;
    EXPECT_EQ(ReadAll("a;\"b;c,d\"\r\n", ';'), (Rows{{"a", "b;c,d"}}));
}

TEST(CsvReader, StopsAtTheFirstFaultAndTellsWhere) {
    struct Case {
        const char* name;
        std::string bytes;
        CCsvReader::Fault fault;
        std::size_t offset;
        std::size_t records_before;
    } cases[] = {
        {"unclosed quote", "a,b\r\nc,\"open\r\nmore", CCsvReader::Fault::kUnclosedQuote, 7, 1},
        {"text after closing quote", "\"ab\"c,d", CCsvReader::Fault::kTextAfterQuote, 4, 0},
        {"blank after closing quote", "x\n\"ab\" ,d", CCsvReader::Fault::kTextAfterQuote, 6, 1},
    };
    for (const auto& c : cases) {
        CCsvReader reader(c.bytes, ',');
        CsvRecord record;
        std::size_t records = 0;
        while (reader.Next(record))
            ++records;
        EXPECT_EQ(reader.GetFault(), c.fault) << c.name;
        EXPECT_EQ(reader.FaultOffset(), c.offset) << c.name;
        EXPECT_EQ(records, c.records_before) << c.name;
        EXPECT_FALSE(reader.Next(record)) << c.name;
    }
}

TEST(CsvWriter, QuotesExactlyWhatNeedsIt) {
    struct Case {
        std::string text;
        bool force;
        std::string written;
    } cases[] = {
        {"plain", false, "plain"},
        {"", false, ""},
        {"", true, "\"\""},
        {"a,b", false, "\"a,b\""},
        {"a;b", false, "\"a;b\""},
        {"say \"hi\"", false, "\"say \"\"hi\"\"\""},
        {"l1\r\nl2", false, "\"l1\r\nl2\""},
        {"cr\r", false, "\"cr\r\""},
        {" blanks ", false, " blanks "},
    };
    for (const auto& c : cases) {
        std::string out;
        AppendCsvField(out, c.text, c.force);
        EXPECT_EQ(out, c.written) << c.text;
        EXPECT_EQ(ReadAll(out + ",x"), (Rows{{c.text, "x"}})) << c.text;
    }
}
