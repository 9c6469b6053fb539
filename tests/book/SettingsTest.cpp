#include "app/Application.h"
#include "book/Settings.h"
#include "model/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string programFolder() {
    std::string folder;
    application().moduleDirectory(folder);
    return folder;
}

// Every field on one line, so a mismatch shows which one differs.
std::string describe(const Settings& s) {
    std::ostringstream text;
    text << "rect=" << s.left << "," << s.top << "," << s.right << "," << s.bottom << " showTop=" << s.showTop
         << " beginHide=" << s.beginHide << " closeEnd=" << s.closeEnd << " beginPage=" << s.beginPage
         << " showPage=" << s.showPage << " bookFile=" << s.bookFile;
    return text.str();
}

// Settings read from and written to an INI file in a fresh folder.
class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        dataFolder = folder.path().string() + "\\";
        path = dataFolder + "Leafkeeper.ini";
        settings.setDataFolder(dataFolder);
    }

    void writeRaw(const std::string& contents) const {
        std::ofstream out(path, std::ios::binary);
        out << contents;
    }

    // The non-empty lines of the file, without line ends.
    std::vector<std::string> lines() const {
        std::ifstream in(path, std::ios::binary);
        std::vector<std::string> result;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (!line.empty()) {
                result.push_back(line);
            }
        }
        return result;
    }

    void setEveryField(Settings& s) const {
        s.left = -1200;
        s.top = 7;
        s.right = 2147483647;
        s.bottom = -2147483647 - 1;
        s.showTop = true;
        s.beginHide = true;
        s.closeEnd = true;
        s.beginPage = 12;
        s.showPage = 3;
        s.bookFile = "D:\\memo\\book.bok";
    }

    TempFolder folder;
    std::string dataFolder;
    std::string path;
    Settings settings;
};

} // namespace

TEST_F(SettingsFile, MissingFileGivesEveryDefault) {
    setEveryField(settings);

    settings.load();

    EXPECT_EQ(describe(settings), "rect=50,50,350,200 showTop=0 beginHide=0 closeEnd=0 beginPage=-1 showPage=-1 "
                                  "bookFile=" +
                                      dataFolder + "lk.bok");
}

// Keys that are missing from an existing file take their defaults one by one.
TEST_F(SettingsFile, MissingKeysTakeTheirDefaults) {
    writeRaw("[Status]\r\nTop=80\r\nShow Page=2\r\n[Option]\r\nClose End=Yes\r\n");
    setEveryField(settings);

    settings.load();

    EXPECT_EQ(describe(settings), "rect=50,80,350,200 showTop=0 beginHide=0 closeEnd=1 beginPage=-1 showPage=2 "
                                  "bookFile=" +
                                      dataFolder + "lk.bok");
}

TEST_F(SettingsFile, ConstructionStartsWithBeginPageListAndFlagsOff) {
    Settings fresh;
    EXPECT_EQ(fresh.beginPage, -1);
    EXPECT_FALSE(fresh.showTop);
    EXPECT_FALSE(fresh.beginHide);
    EXPECT_FALSE(fresh.closeEnd);
}

TEST_F(SettingsFile, FilesAreBesideTheProgramUnlessAnotherFolderIsSet) {
    Settings plain;
    EXPECT_EQ(plain.dataFolder(), programFolder());
    EXPECT_EQ(plain.iniPath(), programFolder() + "Leafkeeper.ini");
    EXPECT_EQ(plain.defaultBookFile(), programFolder() + "lk.bok");
    EXPECT_EQ(settings.iniPath(), path);
    EXPECT_EQ(settings.defaultBookFile(), dataFolder + "lk.bok");
    settings.setDataFolder("");
    EXPECT_EQ(settings.iniPath(), programFolder() + "Leafkeeper.ini");
}

// A folder given without its final backslash gets one, also when it ends in
// a character whose trail byte is 0x5C.
TEST_F(SettingsFile, DataFolderWithoutFinalBackslash) {
    const std::string japanese = folder.path().string() + "\\表";
    ASSERT_TRUE(CreateDirectoryA(japanese.c_str(), nullptr));
    settings.setDataFolder(japanese);
    EXPECT_EQ(settings.iniPath(), japanese + "\\Leafkeeper.ini");

    settings.showPage = 4;
    settings.save();
    EXPECT_NE(GetFileAttributesA((japanese + "\\Leafkeeper.ini").c_str()), INVALID_FILE_ATTRIBUTES);

    settings.setDataFolder(folder.path().string() + "/");
    EXPECT_EQ(settings.iniPath(), folder.path().string() + "/Leafkeeper.ini");
}

TEST_F(SettingsFile, SaveWritesTheTenKeysInOrderAsText) {
    setEveryField(settings);
    settings.showTop = false;
    settings.beginPage = -2;

    EXPECT_TRUE(settings.save());

    const std::vector<std::string> expected{
        "[Status]",      "Left=-1200",    "Top=7",    "Right=2147483647", "Bottom=-2147483648",
        "Show Top=No",   "Show Page=3",   "[Option]", "Begin Hide=Yes",   "Save File=D:\\memo\\book.bok",
        "Close End=Yes", "Begin Page=-2",
    };
    EXPECT_EQ(lines(), expected);
}

// A second save rewrites the values in place and adds nothing.
TEST_F(SettingsFile, SavingAgainReplacesTheValues) {
    setEveryField(settings);
    settings.save();
    settings.left = 5;
    settings.closeEnd = false;
    settings.bookFile = "C:\\b.bok";

    settings.save();

    const std::vector<std::string> saved = lines();
    ASSERT_EQ(saved.size(), 12u);
    EXPECT_EQ(saved[1], "Left=5");
    EXPECT_EQ(saved[9], "Save File=C:\\b.bok");
    EXPECT_EQ(saved[10], "Close End=No");
}

TEST_F(SettingsFile, OnlyYesExactlyReadsAsTrue) {
    writeRaw("[Status]\r\nShow Top=yes\r\n[Option]\r\nBegin Hide=Yes\r\nClose End=1\r\n");
    settings.showTop = true;
    settings.closeEnd = true;

    settings.load();

    EXPECT_FALSE(settings.showTop);
    EXPECT_TRUE(settings.beginHide);
    EXPECT_FALSE(settings.closeEnd);
}

TEST_F(SettingsFile, LongBookFilePathsAreReadWhole) {
    for (const std::size_t length : {254u, 255u, 256u, 257u, 300u, 511u, 700u}) {
        std::string longPath = "C:\\";
        while (longPath.size() < length) {
            longPath += static_cast<char>('a' + longPath.size() % 26);
        }
        longPath.resize(length);
        writeRaw("[Option]\r\nSave File=" + longPath + "\r\n");

        settings.load();

        EXPECT_EQ(settings.bookFile, longPath) << "length " << length;
    }
}

// An empty path could be neither read nor written: the notes would be lost.
TEST_F(SettingsFile, EmptyBookFileFallsBackToTheDefault) {
    writeRaw("[Option]\r\nSave File=\r\n");
    settings.load();
    EXPECT_EQ(settings.bookFile, dataFolder + "lk.bok");
}

// Trail bytes 0x5C ("表", "ソ") must not be taken for path separators.
TEST_F(SettingsFile, EveryFieldSurvivesARoundTrip) {
    setEveryField(settings);
    settings.bookFile = "C:\\ノート\\表計算ソフト メモ.bok";
    settings.save();

    Settings reread;
    reread.setDataFolder(dataFolder);
    reread.load();

    EXPECT_EQ(describe(reread), describe(settings));

    settings.showTop = false;
    settings.beginHide = false;
    settings.closeEnd = false;
    settings.beginPage = -2;
    settings.showPage = -1;
    settings.save();
    reread.load();
    EXPECT_EQ(describe(reread), describe(settings));
}

// Destroying a Settings that is not the active one leaves the active one alone.
TEST(SettingsObject, TheLastBuiltSettingsIsTheActiveOne) {
    auto first = std::make_unique<Settings>();
    EXPECT_EQ(activeSettings, first.get());
    auto second = std::make_unique<Settings>();
    EXPECT_EQ(activeSettings, second.get());

    first.reset();
    EXPECT_EQ(activeSettings, second.get());
    second.reset();
    EXPECT_EQ(activeSettings, nullptr);
}
