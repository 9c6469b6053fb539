#include "framework/UniqueHandle.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

HBRUSH newBrush() {
    return CreateSolidBrush(RGB(1, 2, 3));
}

bool alive(HGDIOBJ object) {
    return GetObjectType(object) != 0;
}

} // namespace

TEST(UniqueHandle, DeletesOnDestructionAndOnReset) {
    HBRUSH first = newBrush();
    HBRUSH second = newBrush();
    {
        GdiObject<HBRUSH> brush(first);
        EXPECT_EQ(brush.get(), first);
        brush.reset(second);
        EXPECT_FALSE(alive(first));
        EXPECT_TRUE(alive(second));
        // Putting in the handle it already holds must not delete it.
        brush.reset(second);
        EXPECT_TRUE(alive(second));
    }
    EXPECT_FALSE(alive(second));
}

TEST(UniqueHandle, MovingHandsOverOwnership) {
    HBRUSH first = newBrush();
    HBRUSH second = newBrush();
    GdiObject<HBRUSH> source(first);
    GdiObject<HBRUSH> target(std::move(source));
    EXPECT_FALSE(source);
    EXPECT_EQ(target.get(), first);

    GdiObject<HBRUSH> other(second);
    other = std::move(target); // `other` gives up its own brush
    EXPECT_FALSE(alive(second));
    EXPECT_FALSE(target);
    EXPECT_EQ(other.get(), first);
    EXPECT_TRUE(alive(first));

    HBRUSH released = other.release();
    EXPECT_FALSE(other);
    EXPECT_TRUE(alive(released));
    DeleteObject(released);
}

TEST(UniqueHandle, IconsMenusAndImageListsAreDestroyed) {
    const BYTE andMask[32 * 4] = {};
    const BYTE xorMask[32 * 4] = {};
    HICON icon = CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andMask, xorMask);
    ASSERT_NE(icon, nullptr);
    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(IsMenu(menu));
    {
        OwnedIcon ownedIcon(icon);
        OwnedMenu ownedMenu(menu);
        OwnedImageList list(ImageList_Create(16, 16, ILC_MASK, 0, 1));
        ASSERT_TRUE(list);
        EXPECT_EQ(ImageList_GetImageCount(list.get()), 0);
    }
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(icon, &info));
    EXPECT_FALSE(IsMenu(menu));
}
