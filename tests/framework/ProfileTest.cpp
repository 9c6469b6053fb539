#include "framework/Profile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

// The book file path is read through a buffer that grows in steps: lengths
// around each step, and a path whose "表" ends in the byte 0x5C, come back
// whole.
TEST(ProfileFile, StringsOfEveryLengthAroundTheBufferStepAreReadWhole) {
    const TempFolder folder;
    const std::string path = folder.file("test.ini");
    std::vector<std::string> values{"C:\\メモ\\表示.bok"};
    for (std::size_t length : {0u, 1u, 253u, 254u, 255u, 256u, 257u, 509u, 510u, 511u, 1000u, 5000u}) {
        values.emplace_back(length, 'x');
        for (std::size_t i = 0; i < length; i += 7) {
            values.back()[i] = static_cast<char>('a' + i % 26);
        }
    }
    for (const std::string& value : values) {
        ASSERT_TRUE(writeProfileString("Option", "Save File", value, path));
        std::string read = "old";
        readProfileString("Option", "Save File", "", read, path);
        EXPECT_EQ(read, value) << "length " << value.size();
    }
}

// Only "Yes" exactly reads as true; booleans are written as Yes and No and
// numbers as text; a missing file or key gives the default.
TEST(ProfileFile, BooleansAndNumbersAreWrittenAsTextAndReadBackWithDefaults) {
    const TempFolder folder;
    const std::string path = folder.file("test.ini");
    int number = 0;
    EXPECT_EQ(readProfileInt("Status", "Left", 50, number, path), 50);
    EXPECT_EQ(number, 50);
    writeText(path, "[Option]\r\nA=Yes\r\nB=yes\r\nC=1\r\nD=YES\r\n");
    const std::tuple<const char*, bool, bool> cases[] = {
        {"A", false, true}, {"B", true, false}, {"C", true, false}, {"D", true, false}, {"E", true, true}};
    for (const auto& [key, defaultValue, expected] : cases) {
        bool flag = !expected;
        readProfileBool("Option", key, defaultValue, flag, path);
        EXPECT_EQ(flag, expected) << key;
    }
    EXPECT_TRUE(writeProfileInt("Status", "Show Page", -1, path));
    EXPECT_TRUE(writeProfileBool("Status", "Show Top", true, path));
    EXPECT_TRUE(writeProfileBool("Option", "Close End", false, path));
    for (const char* line : {"Show Page=-1", "Show Top=Yes", "Close End=No"}) {
        EXPECT_NE(readText(path).find(line), std::string::npos) << line;
    }
    EXPECT_EQ(readProfileInt("Status", "Show Page", 7, number, path), -1);
}
