#include "SettingsText.h"

#include "app/Application.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Settings read from and written to an INI file in a fresh folder.
class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override { settings.setDataFolder(dataFolder); }

    // The non-empty lines of the file, without line ends.
    std::vector<std::string> lines() const {
        std::istringstream in(readText(path));
        std::vector<std::string> result;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (!line.empty()) {
                result.push_back(line);
            }
        }
        return result;
    }

    void setEveryField() {
        settings.left = -1200;
        settings.top = 7;
        settings.right = 2147483647;
        settings.bottom = -2147483647 - 1;
        settings.showTop = true;
        settings.beginHide = true;
        settings.closeEnd = true;
        settings.beginPage = 12;
        settings.showPage = 3;
        settings.bookFile = "D:\\memo\\book.bok";
    }

    TempFolder folder;
    std::string dataFolder = folder.path().string() + "\\";
    std::string path = dataFolder + "Leafkeeper.ini";
    Settings settings;
};

} // namespace

// Keys missing from the file, or the whole file, take their defaults one by
// one; an empty book file path could be neither read nor written, so it is
// the default too.
TEST_F(SettingsFile, MissingKeysTakeTheirDefaults) {
    const std::string defaults = "showTop=0 beginHide=0 closeEnd=0 beginPage=-1 ";
    const struct {
        const char* contents; // null: no file
        std::string expected;
    } rows[] = {
        {nullptr, "rect=50,50,350,200 " + defaults + "showPage=-1"},
        {"[Status]\r\nTop=80\r\nShow Page=2\r\n[Option]\r\nSave File=\r\n", "rect=50,80,350,200 " + defaults + "showPage=2"},
    };
    for (const auto& row : rows) {
        if (row.contents) {
            writeText(path, row.contents);
        }
        setEveryField();
        settings.load();
        EXPECT_EQ(describe(settings), row.expected + " bookFile=" + dataFolder + "lk.bok");
    }
}

TEST_F(SettingsFile, FilesAreBesideTheProgramUnlessAnotherFolderIsSet) {
    std::string programFolder;
    application().moduleDirectory(programFolder);
    Settings plain;
    EXPECT_EQ(plain.iniPath(), programFolder + "Leafkeeper.ini");
    EXPECT_EQ(plain.defaultBookFile(), programFolder + "lk.bok");
    EXPECT_EQ(settings.defaultBookFile(), dataFolder + "lk.bok");
    settings.setDataFolder("");
    EXPECT_EQ(settings.iniPath(), programFolder + "Leafkeeper.ini");
}

// A folder given without its final backslash gets one, also when it ends in
// a character whose trail byte is 0x5C.
TEST_F(SettingsFile, ADataFolderWithoutItsFinalBackslashGetsOne) {
    const std::string japanese = folder.path().string() + "\\表";
    ASSERT_TRUE(CreateDirectoryA(japanese.c_str(), nullptr));
    settings.setDataFolder(japanese);
    EXPECT_EQ(settings.iniPath(), japanese + "\\Leafkeeper.ini");
    EXPECT_TRUE(settings.save());
    EXPECT_NE(GetFileAttributesA((japanese + "\\Leafkeeper.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    settings.setDataFolder(folder.path().string() + "/");
    EXPECT_EQ(settings.iniPath(), folder.path().string() + "/Leafkeeper.ini");
}

TEST_F(SettingsFile, SaveWritesTheTenKeysInOrderAndRewritesThemInPlace) {
    setEveryField();
    settings.showTop = false;
    settings.beginPage = -2;
    EXPECT_TRUE(settings.save());
    settings.left = 5;
    EXPECT_TRUE(settings.save());
    const std::vector<std::string> expected{
        "[Status]",      "Left=5",        "Top=7",    "Right=2147483647", "Bottom=-2147483648",
        "Show Top=No",   "Show Page=3",   "[Option]", "Begin Hide=Yes",   "Save File=D:\\memo\\book.bok",
        "Close End=Yes", "Begin Page=-2",
    };
    EXPECT_EQ(lines(), expected);
}

// Trail bytes 0x5C ("表", "ソ") must not be taken for path separators.
TEST_F(SettingsFile, EveryFieldSurvivesARoundTrip) {
    setEveryField();
    settings.bookFile = "C:\\ノート\\表計算ソフト メモ.bok";
    Settings reread;
    reread.setDataFolder(dataFolder);
    for (bool flags : {true, false}) {
        settings.showTop = settings.beginHide = settings.closeEnd = flags;
        settings.save();
        reread.load();
        EXPECT_EQ(describe(reread), describe(settings));
    }
}

// Destroying a Settings that is not the active one leaves the active one alone.
TEST(SettingsObject, TheLastBuiltSettingsIsTheActiveOne) {
    auto first = std::make_unique<Settings>();
    auto second = std::make_unique<Settings>();
    EXPECT_EQ(activeSettings, second.get());
    first.reset();
    EXPECT_EQ(activeSettings, second.get());
    second.reset();
    EXPECT_EQ(activeSettings, nullptr);
}
