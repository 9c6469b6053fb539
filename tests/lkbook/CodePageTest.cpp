#include "tools/lkbook/CodePage.h"

#include <gtest/gtest.h>

// A character that has only a best-fit substitute in code page 932 is refused
// with its place rather than changed, and so are bytes that would not come
// back the same: duplicate codes, a lead byte with a bad trail byte or none.
TEST(CodePage, ConvertsOnlyWhatComesBackUnchanged) {
    std::string converted;
    CodePage::EncodeFailure failure;
    for (const char* text : {u8"\u00A5", u8"\u301C", u8"\u2016"}) {
        EXPECT_FALSE(CodePage::fromUtf8(text, converted)) << text;
    }
    EXPECT_FALSE(CodePage::fromUtf8(u8"予定\U0001F600", converted, &failure));
    EXPECT_EQ(failure.position, 2u);
    for (const char* bytes : {"\x87\x90", "\xED\x40", "ok \x81\x20", "ends in \x82"}) {
        EXPECT_FALSE(CodePage::toUtf8(bytes, converted)) << bytes;
    }
}
