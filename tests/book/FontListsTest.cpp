#include "book/FontLists.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A face or size list of its own, as the Format page's template makes them.
class FontList : public ::testing::Test {
protected:
    void SetUp() override {
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
        faces = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 0, 0, 150, 150,
                                parent, nullptr, nullptr, nullptr);
        sizes = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 0, 50, 150, parent,
                                nullptr, nullptr, nullptr);
        ASSERT_NE(faces, nullptr);
        ASSERT_NE(sizes, nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }

    static std::vector<std::string> items(HWND combo) {
        std::vector<std::string> result;
        const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (int index = 0; index < count; ++index) {
            char text[128] = {};
            SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
            result.emplace_back(text);
        }
        return result;
    }
    static std::string selected(HWND combo) {
        const auto index = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
        return index < 0 ? "" : items(combo)[static_cast<std::size_t>(index)];
    }
    void listSizes(std::initializer_list<const char*> texts) const {
        for (const char* text : texts) {
            SendMessageA(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        }
    }

    HWND parent = nullptr;
    HWND faces = nullptr;
    HWND sizes = nullptr;
};

} // namespace

// Each family is enumerated once per character set; the list holds it once.
// A name that begins another one is a face of its own.
TEST_F(FontList, FaceNamesAreListedOnceAndVerticalVariantsNever) {
    EXPECT_TRUE(addFaceName(faces, "Meiryo UI"));
    EXPECT_TRUE(addFaceName(faces, "Meiryo"));
    EXPECT_FALSE(addFaceName(faces, "MEIRYO"));
    EXPECT_FALSE(addFaceName(faces, "@Meiryo"));
    EXPECT_FALSE(addFaceName(faces, ""));
    EXPECT_TRUE(addFaceName(faces, "ＭＳ ゴシック"));
    EXPECT_FALSE(addFaceName(faces, "ＭＳ ゴシック"));
    EXPECT_EQ(items(faces), (std::vector<std::string>{"Meiryo", "Meiryo UI", "ＭＳ ゴシック"}));
}

// Raster fonts report their sizes one by one, in any order.
TEST_F(FontList, RasterSizesAreKeptAscendingAndDistinct) {
    for (const int points : {12, 8, 10, 12, 24, 8, 9}) {
        addRasterSize(sizes, points);
    }
    EXPECT_EQ(items(sizes), (std::vector<std::string>{"8", "9", "10", "12", "24"}));
}

TEST_F(FontList, TheSelectionIsTheFirstSizeNotBelowTheWantedOne) {
    selectSize(sizes, 10);
    EXPECT_EQ(selected(sizes), "");
    listSizes({"8", "10", "12", "24"});
    selectSize(sizes, 11);
    EXPECT_EQ(selected(sizes), "12");
    selectSize(sizes, 12);
    EXPECT_EQ(selected(sizes), "12");
    selectSize(sizes, 1);
    EXPECT_EQ(selected(sizes), "8");
    selectSize(sizes, 25);
    EXPECT_EQ(selected(sizes), "24");
    int points = 0;
    EXPECT_TRUE(selectedSize(sizes, points));
    EXPECT_EQ(points, 24);
}
