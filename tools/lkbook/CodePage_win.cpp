#include "tools/lkbook/CodePage.h"

#include <windows.h>

namespace CodePage::detail {

namespace {

constexpr UINT kJapanese = 932;

bool toWide(UINT codePage, const std::string& input, std::wstring& wide) {
    wide.clear();
    if (input.empty()) {
        return true;
    }
    const int inputLength = static_cast<int>(input.size());
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, input.data(), inputLength, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    wide.resize(static_cast<std::size_t>(length));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, input.data(), inputLength, &wide[0], length) == length;
}

// `usedDefault` is only asked for where the code page supports it (not UTF-8).
bool fromWide(UINT codePage, DWORD flags, const std::wstring& wide, std::string& output, BOOL* usedDefault) {
    output.clear();
    if (wide.empty()) {
        return true;
    }
    const int wideLength = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), wideLength, nullptr, 0, nullptr, usedDefault);
    if (length <= 0) {
        return false;
    }
    output.resize(static_cast<std::size_t>(length));
    return WideCharToMultiByte(codePage, flags, wide.data(), wideLength, &output[0], length, nullptr, usedDefault) ==
           length;
}

} // namespace

bool decode(const std::string& cp932, std::string& utf8) {
    std::wstring wide;
    return toWide(kJapanese, cp932, wide) && fromWide(CP_UTF8, WC_ERR_INVALID_CHARS, wide, utf8, nullptr);
}

bool encode(const std::string& utf8, std::string& cp932) {
    std::wstring wide;
    if (!toWide(CP_UTF8, utf8, wide)) {
        return false;
    }
    BOOL usedDefault = FALSE;
    return fromWide(kJapanese, WC_NO_BEST_FIT_CHARS, wide, cp932, &usedDefault) && !usedDefault;
}

} // namespace CodePage::detail

namespace CodePage {

bool fromArgument(const std::string& argument, std::string& cp932, EncodeFailure* failure) {
    std::wstring wide;
    std::string utf8;
    if (!detail::toWide(CP_ACP, argument, wide) ||
        !detail::fromWide(CP_UTF8, WC_ERR_INVALID_CHARS, wide, utf8, nullptr)) {
        if (failure) {
            *failure = EncodeFailure{0, 0xFFFFFFFF};
        }
        return false;
    }
    if (GetACP() == detail::kJapanese) {
        // The bytes as typed: a duplicate code stays the code the book holds.
        cp932 = argument;
        return true;
    }
    return fromUtf8(utf8, cp932, failure);
}

} // namespace CodePage
