#include "SettingsText.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

// The keys keep the names and order that existing INI files use; a second
// save rewrites them in place. Trail bytes 0x5C ("表", "ソ") in the book
// file path must not be taken for path separators. Missing keys take their
// defaults one by one; an empty book file path could be neither read nor
// written, so it is the default too.
TEST(SettingsFile, SaveWritesTheTenKeysInPlaceAndLoadReadsThemBack) {
    const TempFolder folder;
    const std::string dataFolder = folder.path().string() + "\\", path = dataFolder + "Leafkeeper.ini";
    Settings settings, reread;
    settings.setDataFolder(dataFolder);
    reread.setDataFolder(dataFolder);
    settings.left = -1200;
    settings.top = 7;
    settings.right = 2147483647;
    settings.bottom = -2147483647 - 1;
    settings.beginPage = 12;
    settings.showPage = 3;
    settings.bookFile = "C:\\ノート\\表計算ソフト メモ.bok";
    for (bool flags : {false, true}) {
        settings.showTop = settings.beginHide = settings.closeEnd = flags;
        EXPECT_TRUE(settings.save());
        reread.load();
        EXPECT_EQ(describe(reread), describe(settings));
    }
    std::string text = readText(path);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    EXPECT_EQ(text,
              "[Status]\nLeft=-1200\nTop=7\nRight=2147483647\nBottom=-2147483648\nShow Top=Yes\nShow Page=3\n"
              "[Option]\nBegin Hide=Yes\nSave File=C:\\ノート\\表計算ソフト メモ.bok\nClose End=Yes\nBegin Page=12\n");

    writeText(path, "[Status]\r\nTop=80\r\nShow Page=2\r\n[Option]\r\nSave File=\r\n");
    settings.load();
    EXPECT_EQ(describe(settings),
              "rect=50,80,350,200 showTop=0 beginHide=0 closeEnd=0 beginPage=-1 showPage=2 bookFile=" + dataFolder +
                  "lk.bok");
}
