#include "tools/lkbook/CodePage.h"

#include <gtest/gtest.h>

namespace {

// Plain literals are code page 932 (the tree compiles with
// -fexec-charset=CP932); u8 literals stay UTF-8.
TEST(CodePage, JapaneseTextConvertsBothWays) {
    const std::string cp932 = "予定表 ＭＳ ゴシック ｱｲｳ \\ ~ ①Ⅹ㈱ 髙";
    const std::string utf8 = u8"予定表 ＭＳ ゴシック ｱｲｳ \\ ~ ①Ⅹ㈱ 髙";
    ASSERT_NE(cp932, utf8);

    std::string converted;
    ASSERT_TRUE(CodePage::toUtf8(cp932, converted));
    EXPECT_EQ(converted, utf8);

    std::string back;
    ASSERT_TRUE(CodePage::fromUtf8(utf8, back));
    EXPECT_EQ(back, cp932);

    EXPECT_TRUE(CodePage::toUtf8("", converted));
    EXPECT_EQ(converted, "");
    EXPECT_TRUE(CodePage::fromUtf8("", back));
    EXPECT_EQ(back, "");
}

TEST(CodePage, CharactersWithoutAnOwnCodeAreRefusedWithTheirPosition) {
    struct Case {
        const char* utf8;
        std::size_t position;
        char32_t codePoint;
    };
    const Case cases[] = {
        {u8"ab\U0001F600", 2, 0x1F600}, // an emoji
        {u8"予定한", 2, 0xD55C},        // Hangul
        {u8"\u00A5", 0, 0xA5},          // the yen sign: only a best-fit substitute for 0x5C
        {u8"x\u301C", 1, 0x301C},       // WAVE DASH: only a best-fit substitute for U+FF5E
        {u8"\u2016", 0, 0x2016},        // DOUBLE VERTICAL LINE: likewise for U+2225
        {u8"\u24D0", 0, 0x24D0},        // a circled small letter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        std::string output = "unchanged";
        CodePage::EncodeFailure failure;
        EXPECT_FALSE(CodePage::fromUtf8(c.utf8, output, &failure));
        EXPECT_EQ(output, "unchanged");
        EXPECT_EQ(failure.position, c.position);
        EXPECT_EQ(failure.codePoint, c.codePoint);
    }
    EXPECT_EQ(CodePage::describeCodePoint(0x1F600), "U+1F600");
    EXPECT_EQ(CodePage::describeCodePoint(0xA5), "U+00A5");
}

TEST(CodePage, BytesThatWouldNotComeBackUnchangedAreNotConvertedStrictly) {
    const char* const samples[] = {
        "\x87\x90",     // NEC row 13 "≒", which converts back to 0x81 0xE0
        "\xED\x40",     // an NEC-selected IBM extension, which converts back to 0xFA 0x5C
        "ok \x81\x20",  // a lead byte with a trail byte that cannot follow it
        "ends in \x82", // a lead byte at the end
    };
    for (const char* sample : samples) {
        SCOPED_TRACE(sample);
        std::string utf8 = "unchanged";
        EXPECT_FALSE(CodePage::toUtf8(sample, utf8));
        EXPECT_EQ(utf8, "unchanged");
    }
}

TEST(CodePage, LossyConversionReplacesOnlyWhatCannotBeRead) {
    bool complete = false;
    EXPECT_EQ(CodePage::toUtf8Lossy("予定", &complete), u8"予定");
    EXPECT_TRUE(complete);

    // Duplicate codes read fine, as their one Unicode character.
    EXPECT_EQ(CodePage::toUtf8Lossy("\x87\x90", &complete), u8"\u2252");
    EXPECT_TRUE(complete);

    EXPECT_EQ(CodePage::toUtf8Lossy("予\x81\x20定", &complete), u8"予\uFFFD 定");
    EXPECT_FALSE(complete);
    EXPECT_EQ(CodePage::toUtf8Lossy("end\x82", &complete), u8"end\uFFFD");
    EXPECT_FALSE(complete);
}

} // namespace
