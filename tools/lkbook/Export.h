#pragma once

#include <string>

// Pages as plain UTF-8 text files.
namespace Export {

// "003 予定.txt" (UTF-8): the page index zero-padded to the width of the
// largest index (at least three digits), a space and the title; just
// "003.txt" when the title is empty. Characters that are not allowed in file
// names on Windows or POSIX (/ \ : * ? " < > | and control characters)
// become "_", trailing dots and spaces of the title are dropped and a long
// title is shortened, so the same names work on both systems. The index
// keeps names unique, also on case-insensitive file systems.
std::string fileName(unsigned index, unsigned pageCount, const std::string& titleUtf8);

// The page text as UTF-8 with CR LF line breaks turned into LF; bytes that
// are not code page 932 become U+FFFD and `lossless` is then false.
std::string text(const std::string& cp932Text, bool& lossless);

} // namespace Export
