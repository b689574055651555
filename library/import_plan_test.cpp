#include "library/import_plan.h"

#include <gtest/gtest.h>

#include "library/tokenizer.h"

using namespace kelvo;
using enum ImportVerdict;

TEST(ImportPlan, TellsNewIdenticalAndBesideAndNeverMatchesByTitleAlone) {
    // What the library holds: title, joined tags, text, encrypted.
    struct Held {
        std::u16string title, tags, text;
        bool encrypted;
    };
    const std::vector<Held> library = {
        {u"Letter", u"mail;work", u"Dear Sir,\nthanks", false},
        {u"Address", u"", u"1 Main St", false},
        {u"PIN", u"bank", u"1234", true},
        {u"Title\twith tab", u"a", u"x", false},
    };
    struct Case {
        const char* name;
        ExchangeChunk chunk;
        ImportVerdict verdict;
    } cases[] = {
        {"same in every part",
         {u"Letter", {u"mail", u"work"}, u"Dear Sir,\nthanks", false},
         kIdentical},
        {"CR LF where the library has LF",
         {u"Letter", {u"mail", u"work"}, u"Dear Sir,\r\nthanks", false},
         kIdentical},
        {"tab in the title against a blank", {u"Title with tab", {u"a"}, u"x", false}, kIdentical},
        {"tags that split alike",
         {u"Letter", {u"mail;work"}, u"Dear Sir,\nthanks", false},
         kIdentical},
        {"other text", {u"Letter", {u"mail", u"work"}, u"Dear Madam", false}, kBeside},
        {"other tags", {u"Letter", {u"mail"}, u"Dear Sir,\nthanks", false}, kBeside},
        {"tags in another order",
         {u"Letter", {u"work", u"mail"}, u"Dear Sir,\nthanks", false},
         kBeside},
        {"title in another case",
         {u"letter", {u"mail", u"work"}, u"Dear Sir,\nthanks", false},
         kNew},
        {"clear where the library encrypts", {u"PIN", {u"bank"}, u"1234", false}, kBeside},
        {"encrypted like the library's", {u"PIN", {u"bank"}, u"1234", true}, kIdentical},
        {"a new title", {u"Phone", {}, u"555", false}, kNew},
        {"the same new chunk again in the file", {u"Phone", {}, u"555", false}, kIdentical},
        {"a new title twice with other texts", {u"Phone", {}, u"556", false}, kBeside},
        {"text of another chunk under a new title", {u"Greeting", {}, u"1 Main St", false}, kNew},
    };

    CImportPlanner planner;
    for (const Held& held : library)
        planner.AddExisting(held.title, held.tags, held.text, held.encrypted);
    std::vector<ExchangeChunk> file;
    for (const auto& c : cases)
        file.push_back(c.chunk);
    const ImportPlan plan = planner.Plan(file);

    ASSERT_EQ(plan.verdicts.size(), std::size(cases));
    int fresh = 0, identical = 0, beside = 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(plan.verdicts[i], cases[i].verdict) << cases[i].name;
        fresh += cases[i].verdict == kNew;
        identical += cases[i].verdict == kIdentical;
        beside += cases[i].verdict == kBeside;
    }
    EXPECT_EQ(plan.fresh, fresh);
    EXPECT_EQ(plan.identical, identical);
    EXPECT_EQ(plan.beside, beside);
}

TEST(ImportPlan, ImportingTheSameFileAgainSkipsEveryChunk) {
    const std::vector<ExchangeChunk> file = {
        {u"a", {u"x"}, u"1", false}, {u"a", {}, u"2", false}, {u"b", {}, u"", true}};
    CImportPlanner empty;
    const ImportPlan first = empty.Plan(file);
    EXPECT_EQ((std::vector{first.fresh, first.identical, first.beside}), (std::vector{2, 0, 1}));

    CImportPlanner after;
    std::vector<std::u16string> joined;
    for (const auto& chunk : file)
        joined.push_back(JoinTags(chunk.tags));
    for (std::size_t i = 0; i < file.size(); ++i)
        after.AddExisting(file[i].title, joined[i], file[i].text, file[i].encrypted);
    const ImportPlan again = after.Plan(file);
    EXPECT_EQ((std::vector{again.fresh, again.identical, again.beside}), (std::vector{0, 3, 0}));
}
