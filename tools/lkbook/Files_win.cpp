#include "tools/lkbook/Files.h"

#include "book/FileCloser.h"

#include <cstdio>
#include <windows.h>

namespace Files {

namespace {

std::wstring wideFrom(UINT codePage, const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    }
    return wide;
}

} // namespace

std::filesystem::path fromArgument(const std::string& argument) {
    return std::filesystem::path(wideFrom(CP_ACP, argument));
}

std::string forDisplay(const std::string& argument) {
    const std::wstring wide = wideFrom(CP_ACP, argument);
    if (wide.empty()) {
        return argument;
    }
    const int wideLength = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return argument;
    }
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], length, nullptr, nullptr);
    return utf8;
}

std::filesystem::path child(const std::filesystem::path& folder, const std::string& nameUtf8) {
    return folder / std::filesystem::path(wideFrom(CP_UTF8, nameUtf8));
}

bool writeWhole(const std::filesystem::path& path, const std::string& bytes) {
    // The wide call: the name may hold characters outside the ANSI code page.
    return writeAndClose(_wfopen(path.c_str(), L"wb"), bytes);
}

} // namespace Files
