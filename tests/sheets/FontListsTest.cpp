#include "sheets/FontLists.h"
#include "support/SheetDriver.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

// Each family is enumerated once per character set; the face list holds it
// once, never its vertical variant, and a name that begins another one is a
// face of its own. Raster fonts report their sizes one by one, in any order.
TEST(FontLists, FacesAreListedOnceAndRasterSizesAscendingAndDistinct) {
    const HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST | CBS_SORT, 0, 0, 150, 150, parent,
                    reinterpret_cast<HMENU>(1), nullptr, nullptr);
    CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 50, 150, parent, reinterpret_cast<HMENU>(2),
                    nullptr, nullptr);
    const std::pair<const char*, bool> faces[] = {{"Meiryo UI", true},     {"Meiryo", true}, {"MEIRYO", false},
                                                  {"@Meiryo", false},      {"", false},      {"ＭＳ ゴシック", true},
                                                  {"ＭＳ ゴシック", false}};
    for (const auto& [name, added] : faces) {
        EXPECT_EQ(addFaceName(GetDlgItem(parent, 1), name), added) << name;
    }
    EXPECT_EQ(comboItems(parent, 1), (std::vector<std::string>{"Meiryo", "Meiryo UI", "ＭＳ ゴシック"}));

    for (const int points : {12, 8, 10, 12, 24, 8, 9}) {
        addRasterSize(GetDlgItem(parent, 2), points);
    }
    EXPECT_EQ(comboItems(parent, 2), (std::vector<std::string>{"8", "9", "10", "12", "24"}));
    DestroyWindow(parent);
}
