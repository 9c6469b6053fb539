#include "support/Picture.h"

#include "framework/DcScopes.h"
#include "framework/UniqueHandle.h"

int Picture::count(COLORREF color, const RECT& area) const {
    int found = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            found += at(x, y) == color ? 1 : 0;
        }
    }
    return found;
}

Picture paintPicture(int width, int height, COLORREF background, const std::function<void(HDC)>& draw) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HDC memory = CreateCompatibleDC(nullptr);
    const GdiObject<HBITMAP> bitmap(CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        SelectedObject selected(memory, bitmap.get());
        SetBkColor(memory, background);
        const RECT all{0, 0, width, height};
        ExtTextOutA(memory, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
        draw(memory);
        GdiFlush();
    }
    DeleteDC(memory);
    Picture picture{width, height, {}};
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int index = 0; index < width * height; ++index) {
        picture.pixels.push_back(RGB(pixels[index] >> 16 & 0xFF, pixels[index] >> 8 & 0xFF, pixels[index] & 0xFF));
    }
    return picture;
}

Picture grabWindow(HWND window, bool wholeWindow) {
    RECT rect{};
    wholeWindow ? GetWindowRect(window, &rect) : GetClientRect(window, &rect);
    const WindowDc source(window, wholeWindow ? WindowDc::Area::WholeWindow : WindowDc::Area::Client);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    return paintPicture(width, height, 0,
                        [&](HDC dc) { BitBlt(dc, 0, 0, width, height, source.get(), 0, 0, SRCCOPY); });
}

Picture drawItem(HWND parent, HWND button, UINT itemState, COLORREF background) {
    RECT client{};
    GetClientRect(button, &client);
    return paintPicture(client.right, client.bottom, background, [&](HDC dc) {
        SelectedObject font(dc, reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0)));
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = static_cast<UINT>(GetDlgCtrlID(button));
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = itemState;
        item.hwndItem = button;
        item.hDC = dc;
        item.rcItem = client;
        SendMessageA(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    });
}

int textHeight(HFONT font, const char* text) {
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(screen, font);
    SIZE extent{};
    GetTextExtentPoint32A(screen, text, lstrlenA(text), &extent);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return extent.cy;
}
