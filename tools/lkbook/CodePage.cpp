#include "tools/lkbook/CodePage.h"

#include <cstdio>
#include <utility>

namespace CodePage {

namespace {

bool isLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Length of the UTF-8 sequence that starts with `byte`; 0 for a byte that
// cannot start one.
std::size_t utf8SequenceLength(unsigned char byte) {
    if (byte < 0x80) {
        return 1;
    }
    if (byte >= 0xC2 && byte <= 0xDF) {
        return 2;
    }
    if (byte >= 0xE0 && byte <= 0xEF) {
        return 3;
    }
    if (byte >= 0xF0 && byte <= 0xF4) {
        return 4;
    }
    return 0;
}

char32_t decodeUtf8Sequence(const std::string& text, std::size_t at, std::size_t length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    switch (length) {
    case 1:
        return byte(0);
    case 2:
        return char32_t(byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
    case 3:
        return char32_t(byte(0) & 0x0F) << 12 | char32_t(byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
    default:
        return char32_t(byte(0) & 0x07) << 18 | char32_t(byte(1) & 0x3F) << 12 | char32_t(byte(2) & 0x3F) << 6 |
               (byte(3) & 0x3F);
    }
}

bool encodesFaithfully(const std::string& utf8, std::string& cp932) {
    std::string back;
    return detail::encode(utf8, cp932) && detail::decode(cp932, back) && back == utf8;
}

const char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD in UTF-8

} // namespace

bool toUtf8(const std::string& cp932, std::string& utf8) {
    std::string converted;
    std::string back;
    if (!detail::decode(cp932, converted) || !detail::encode(converted, back) || back != cp932) {
        return false;
    }
    utf8 = std::move(converted);
    return true;
}

std::string toUtf8Lossy(const std::string& cp932, bool* complete) {
    std::string utf8;
    const bool readable = detail::decode(cp932, utf8);
    if (complete) {
        *complete = readable;
    }
    if (readable) {
        return utf8;
    }
    // Character by character, so that one bad byte costs one character.
    utf8.clear();
    std::size_t at = 0;
    while (at < cp932.size()) {
        std::size_t length = isLeadByte(static_cast<unsigned char>(cp932[at])) ? 2 : 1;
        if (at + length > cp932.size()) {
            utf8 += kReplacement;
            break;
        }
        std::string piece;
        if (detail::decode(cp932.substr(at, length), piece)) {
            utf8 += piece;
            at += length;
        } else {
            utf8 += kReplacement;
            // A lead byte with an invalid trail byte: the trail may start the next character.
            at += 1;
        }
    }
    return utf8;
}

bool fromUtf8(const std::string& utf8, std::string& cp932, EncodeFailure* failure) {
    std::string converted;
    if (encodesFaithfully(utf8, converted)) {
        cp932 = std::move(converted);
        return true;
    }
    if (failure) {
        // Find the first character that does not convert on its own.
        *failure = EncodeFailure{};
        std::size_t at = 0;
        for (std::size_t index = 0; at < utf8.size(); ++index) {
            const std::size_t length = utf8SequenceLength(static_cast<unsigned char>(utf8[at]));
            failure->position = index;
            if (length == 0 || at + length > utf8.size()) {
                failure->codePoint = 0xFFFFFFFF;
                return false;
            }
            std::string piece;
            if (!encodesFaithfully(utf8.substr(at, length), piece)) {
                failure->codePoint = decodeUtf8Sequence(utf8, at, length);
                return false;
            }
            at += length;
        }
        // Every character converts alone but not the whole; report the end.
        failure->codePoint = 0xFFFFFFFF;
    }
    return false;
}

std::string describeCodePoint(char32_t codePoint) {
    if (codePoint == 0xFFFFFFFF) {
        return "a byte sequence that is not UTF-8";
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(codePoint));
    return buffer;
}

} // namespace CodePage
