#include "app/Profile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ProfileFile : public ::testing::Test {
protected:
    TempFolder folder;
    std::string path = folder.file("test.ini");
};

} // namespace

// Only "Yes" exactly is true; a missing file or key gives the default.
TEST_F(ProfileFile, ReadsDefaultsAndOnlyYesAsTrue) {
    int number = 0;
    EXPECT_EQ(readProfileInt("Status", "Left", 50, number, path), 50);
    EXPECT_EQ(number, 50);
    std::string text = "old";
    readProfileString("Option", "Save File", "C:\\lk.bok", text, path);
    EXPECT_EQ(text, "C:\\lk.bok");

    writeText(path, "[Option]\r\nA=Yes\r\nB=yes\r\nC=1\r\nD=YES\r\nE=No\r\n");
    const struct {
        const char* key;
        bool defaultValue;
        bool expected;
    } cases[] = {{"A", false, true}, {"B", true, false}, {"C", true, false},
                 {"D", true, false}, {"E", true, false}, {"Missing", true, true}, {"Missing", false, false}};
    for (const auto& c : cases) {
        bool flag = !c.expected;
        readProfileBool("Option", c.key, c.defaultValue, flag, path);
        EXPECT_EQ(flag, c.expected) << c.key;
    }
}

TEST_F(ProfileFile, IntegersAndBooleansAreWrittenAsTextAndReadBack) {
    EXPECT_TRUE(writeProfileInt("Status", "Show Page", -1, path));
    EXPECT_TRUE(writeProfileBool("Status", "Show Top", true, path));
    EXPECT_TRUE(writeProfileBool("Option", "Close End", false, path));
    for (const char* line : {"Show Page=-1", "Show Top=Yes", "Close End=No"}) {
        EXPECT_NE(readText(path).find(line), std::string::npos) << line;
    }
    int number = 0;
    EXPECT_EQ(readProfileInt("Status", "Show Page", 7, number, path), -1);
}

// Lengths around each step of the growing read buffer, and a path whose
// "表" ends in the byte 0x5C, come back whole.
TEST_F(ProfileFile, StringsOfEveryLengthAroundTheBufferStepAreReadWhole) {
    std::vector<std::string> values{"C:\\メモ\\表示.bok"};
    for (std::size_t length : {0u, 1u, 253u, 254u, 255u, 256u, 257u, 509u, 510u, 511u, 1000u, 5000u}) {
        values.emplace_back(length, 'x');
        for (std::size_t i = 0; i < length; i += 7) {
            values.back()[i] = static_cast<char>('a' + i % 26);
        }
    }
    for (const std::string& value : values) {
        ASSERT_TRUE(writeProfileString("Option", "Save File", value, path));
        std::string read;
        readProfileString("Option", "Save File", "", read, path);
        EXPECT_EQ(read, value) << "length " << value.size();
    }
}
