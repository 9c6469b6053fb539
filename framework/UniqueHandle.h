#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

// A move-only owner of one Windows handle, released by `Release` when it is
// replaced or goes out of scope.
//
//     HFONT font = CreateFontIndirectA(&lf);      // raw: every path must
//     ...                                         // remember DeleteObject
//     DeleteObject(font);
//
//     GdiObject<HFONT> font(CreateFontIndirectA(&lf));   // owned: deleted
//     ...                                                // on every path
template <typename Handle, void (*Release)(Handle)> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : value(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value(std::exchange(other.value, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(std::exchange(other.value, nullptr));
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return value; }
    explicit operator bool() const { return value != nullptr; }

    void reset(Handle handle = nullptr) {
        if (value && value != handle) {
            Release(value);
        }
        value = handle;
    }

    Handle release() { return std::exchange(value, nullptr); }

private:
    Handle value = nullptr;
};

namespace HandleRelease {
template <typename Gdi> inline void deleteObject(Gdi object) {
    DeleteObject(object);
}
inline void destroyIcon(HICON icon) {
    DestroyIcon(icon);
}
inline void destroyCursor(HCURSOR cursor) {
    DestroyCursor(cursor);
}
inline void destroyMenu(HMENU menu) {
    DestroyMenu(menu);
}
inline void destroyImageList(HIMAGELIST list) {
    ImageList_Destroy(list);
}
inline void closeChangeNotification(HANDLE handle) {
    FindCloseChangeNotification(handle);
}
} // namespace HandleRelease

template <typename Gdi> using GdiObject = UniqueHandle<Gdi, HandleRelease::deleteObject<Gdi>>;
using OwnedIcon = UniqueHandle<HICON, HandleRelease::destroyIcon>;
using OwnedMenu = UniqueHandle<HMENU, HandleRelease::destroyMenu>;
using OwnedImageList = UniqueHandle<HIMAGELIST, HandleRelease::destroyImageList>;
// FindFirstChangeNotificationA: keep it only when it is not INVALID_HANDLE_VALUE.
using ChangeNotification = UniqueHandle<HANDLE, HandleRelease::closeChangeNotification>;
