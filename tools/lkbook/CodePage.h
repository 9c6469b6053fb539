#pragma once

#include <cstddef>
#include <string>

// Conversions between the code page 932 bytes of a book and UTF-8. Strict
// conversions refuse anything that would not come back byte for byte, so that
// text taken out of a book and put back in is unchanged.
namespace CodePage {

// UTF-8 for `cp932`; false when the bytes are not code page 932 or would not
// convert back to the same bytes (duplicate codes such as the NEC-selected
// IBM extensions, which convert back to their IBM form).
bool toUtf8(const std::string& cp932, std::string& utf8);

// UTF-8 for `cp932`, with U+FFFD in place of each character that cannot be
// read; `complete` tells whether there was none. For text that is only to be
// read: duplicate codes come out as their one Unicode character.
std::string toUtf8Lossy(const std::string& cp932, bool* complete = nullptr);

// What stopped a conversion to code page 932.
struct EncodeFailure {
    std::size_t position = 0; // index of the character, counted from 0
    char32_t codePoint = 0;   // that character; 0xFFFFFFFF for bytes that are not UTF-8
};

// Code page 932 for `utf8`; false when a character has no code of its own
// in code page 932 (no best-fit substitutes such as 0x5C for U+00A5) or the
// input is not UTF-8, with the first such character in `failure`.
bool fromUtf8(const std::string& utf8, std::string& cp932, EncodeFailure* failure = nullptr);

// Code page 932 for text given on the command line: UTF-8 on Linux, the ANSI
// code page on Windows (whose bytes are kept as they are when that is code
// page 932). false as for fromUtf8, or for bytes that are not text in the
// command line's encoding (then the failure's code point is 0xFFFFFFFF).
bool fromArgument(const std::string& argument, std::string& cp932, EncodeFailure* failure = nullptr);

// "U+1F600" for a failure's code point.
std::string describeCodePoint(char32_t codePoint);

// The system conversions, one file per platform. Each returns false for
// input it cannot convert completely; neither checks round trips.
namespace detail {
bool decode(const std::string& cp932, std::string& utf8);
bool encode(const std::string& utf8, std::string& cp932);
} // namespace detail

} // namespace CodePage
