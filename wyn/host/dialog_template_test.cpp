#include "wyn/host/dialog_template.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kelvo::BuildDialogTemplate;
using kelvo::DialogTemplateFields;

std::uint32_t Dword(const std::vector<std::uint16_t>& words, std::size_t at) {
    return words[at] | (static_cast<std::uint32_t>(words[at + 1]) << 16);
}

std::u16string StringAt(const std::vector<std::uint16_t>& words, std::size_t at) {
    std::u16string text;
    while (words.at(at) != 0)
        text.push_back(static_cast<char16_t>(words[at++]));
    return text;
}

TEST(DialogTemplate, HeaderCaptionAndFontLieWhereTheDialogManagerReadsThem) {
    const auto words = BuildDialogTemplate({.style = 0x90000048 | 0x00C00000,
                                            .exStyle = 0x10000,
                                            .width = 300,
                                            .height = 0,
                                            .caption = u"Text Chunk",
                                            .pointSize = 8,
                                            .weight = 400,
                                            .italic = 1,
                                            .charset = 204,
                                            .faceName = u"MS Shell Dlg"});
    EXPECT_EQ(words[0], 1) << "version";
    EXPECT_EQ(words[1], 0xFFFF) << "signature of the extended template";
    EXPECT_EQ(Dword(words, 2), 0u) << "help id";
    EXPECT_EQ(Dword(words, 4), 0x10000u) << "extended style";
    EXPECT_EQ(Dword(words, 6), 0x90C00048u) << "style";
    EXPECT_EQ(words[8], 0) << "no items";
    EXPECT_EQ(words[9], 0);
    EXPECT_EQ(words[10], 0);
    EXPECT_EQ(words[11], 300);
    EXPECT_EQ(words[12], 0);
    EXPECT_EQ(words[13], 0) << "no menu";
    EXPECT_EQ(words[14], 0) << "the dialog class";
    EXPECT_EQ(StringAt(words, 15), u"Text Chunk");
    const std::size_t font = 15 + 11;
    EXPECT_EQ(words[font], 8);
    EXPECT_EQ(words[font + 1], 400);
    EXPECT_EQ(words[font + 2], 1 | (204 << 8)) << "italic byte, then the character set";
    EXPECT_EQ(StringAt(words, font + 3), u"MS Shell Dlg");
    EXPECT_EQ(words.size(), font + 3 + 13);
}

TEST(DialogTemplate, WithoutSetFontTheTemplateEndsAfterTheCaption) {
    const auto words = BuildDialogTemplate({.style = 0x80000000, .faceName = u"Ignored"});
    EXPECT_EQ(words.size(), 16u);
    EXPECT_EQ(words.back(), 0) << "empty caption";
}

TEST(DialogTemplate, LongCaptionIsKeptWhole) {
    const std::u16string caption(5000, u'x');
    const auto words = BuildDialogTemplate({.style = 0x40, .caption = caption, .faceName = u"F"});
    EXPECT_EQ(StringAt(words, 15), caption);
    EXPECT_EQ(StringAt(words, 15 + caption.size() + 1 + 3), u"F");
}

TEST(DialogTemplate, OddValuesAreMadeSafe) {
    const std::u16string with_zero(u"ab\0cd", 5);
    const auto words = BuildDialogTemplate({.width = -5, .height = 100000, .caption = with_zero});
    EXPECT_EQ(words[11], 0) << "negative size";
    EXPECT_EQ(words[12], 0x7FFF) << "size beyond the template's range";
    EXPECT_EQ(StringAt(words, 15), u"ab") << "a caption ends at its first zero";
    EXPECT_EQ(words.size(), 18u);
}

} // namespace
