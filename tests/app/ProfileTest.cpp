#include "app/Profile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

// An INI file in a fresh temporary folder.
class ProfileFile : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        path = std::string(folder) + "lk-profile-" + std::to_string(GetCurrentProcessId()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        DeleteFileA(path.c_str());
    }
    void TearDown() override { DeleteFileA(path.c_str()); }

    void writeRaw(const std::string& contents) {
        std::ofstream out(path, std::ios::binary);
        out << contents;
    }
    std::string readRaw() const {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string path;
};

} // namespace

TEST_F(ProfileFile, MissingFileGivesTheDefaults) {
    int number = 0;
    EXPECT_EQ(readProfileInt("Status", "Left", 50, number, path), 50);
    EXPECT_EQ(number, 50);
    std::string text = "old";
    readProfileString("Option", "Save File", "C:\\lk.bok", text, path);
    EXPECT_EQ(text, "C:\\lk.bok");
    bool flag = true;
    readProfileBool("Option", "Begin Hide", false, flag, path);
    EXPECT_FALSE(flag);
    readProfileBool("Option", "Begin Hide", true, flag, path);
    EXPECT_TRUE(flag);
}

TEST_F(ProfileFile, OnlyYesExactlyReadsAsTrue) {
    writeRaw("[Option]\r\nA=Yes\r\nB=yes\r\nC=1\r\nD=YES\r\nE=No\r\n");
    const struct {
        const char* key;
        bool expected;
    } cases[] = {{"A", true}, {"B", false}, {"C", false}, {"D", false}, {"E", false}};
    for (const auto& c : cases) {
        bool flag = !c.expected;
        readProfileBool("Option", c.key, true, flag, path);
        EXPECT_EQ(flag, c.expected) << c.key;
    }
}

TEST_F(ProfileFile, IntegersAndBooleansAreWrittenAsText) {
    EXPECT_TRUE(writeProfileInt("Status", "Show Page", -1, path));
    EXPECT_TRUE(writeProfileInt("Status", "Left", 2147483647, path));
    EXPECT_TRUE(writeProfileBool("Status", "Show Top", true, path));
    EXPECT_TRUE(writeProfileBool("Option", "Close End", false, path));
    const std::string raw = readRaw();
    EXPECT_NE(raw.find("Show Page=-1"), std::string::npos) << raw;
    EXPECT_NE(raw.find("Left=2147483647"), std::string::npos) << raw;
    EXPECT_NE(raw.find("Show Top=Yes"), std::string::npos) << raw;
    EXPECT_NE(raw.find("Close End=No"), std::string::npos) << raw;

    int number = 0;
    EXPECT_EQ(readProfileInt("Status", "Show Page", 7, number, path), -1);
    bool flag = false;
    readProfileBool("Status", "Show Top", false, flag, path);
    EXPECT_TRUE(flag);
}

TEST_F(ProfileFile, StringsOfEveryLengthAroundTheBufferStepAreReadWhole) {
    for (std::size_t length : {0u, 1u, 253u, 254u, 255u, 256u, 257u, 509u, 510u, 511u, 1000u, 5000u}) {
        std::string value(length, 'x');
        for (std::size_t i = 0; i < length; i += 7) {
            value[i] = static_cast<char>('a' + i % 26);
        }
        ASSERT_TRUE(writeProfileString("Option", "Save File", value, path));
        std::string read;
        readProfileString("Option", "Save File", "", read, path);
        EXPECT_EQ(read, value) << "length " << length;
    }
}

TEST_F(ProfileFile, JapanesePathsSurviveAsCodePage932) {
    const std::string value = "C:\\メモ\\表示.bok"; // 表 ends in the byte 0x5C
    ASSERT_TRUE(writeProfileString("Option", "Save File", value, path));
    std::string read;
    readProfileString("Option", "Save File", "", read, path);
    EXPECT_EQ(read, value);
}
