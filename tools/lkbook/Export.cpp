#include "tools/lkbook/Export.h"

#include "tools/lkbook/CodePage.h"

#include <algorithm>

namespace Export {

namespace {

// Long enough to tell notes apart, short enough that index, title and
// extension stay well inside the 255 bytes a POSIX name may have.
constexpr std::size_t kMaximumTitleBytes = 180;

bool isForbidden(unsigned char c) {
    switch (c) {
    case '/':
    case '\\':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
        return true;
    default:
        return c < 0x20 || c == 0x7F;
    }
}

bool isContinuationByte(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

} // namespace

std::string fileName(unsigned index, unsigned pageCount, const std::string& titleUtf8) {
    std::string title;
    for (char c : titleUtf8) {
        title += isForbidden(static_cast<unsigned char>(c)) ? '_' : c;
    }
    if (title.size() > kMaximumTitleBytes) {
        std::size_t cut = kMaximumTitleBytes;
        while (cut > 0 && isContinuationByte(static_cast<unsigned char>(title[cut]))) {
            --cut;
        }
        title.resize(cut);
    }
    while (!title.empty() && (title.back() == '.' || title.back() == ' ')) {
        title.pop_back();
    }

    std::string number = std::to_string(index);
    const std::size_t width = std::max<std::size_t>(3, std::to_string(pageCount > 0 ? pageCount - 1 : 0).size());
    if (number.size() < width) {
        number.insert(0, width - number.size(), '0');
    }
    return title.empty() ? number + ".txt" : number + " " + title + ".txt";
}

std::string text(const std::string& cp932Text, bool& lossless) {
    const std::string utf8 = CodePage::toUtf8Lossy(cp932Text, &lossless);
    std::string result;
    result.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
            continue;
        }
        result += utf8[i];
    }
    return result;
}

} // namespace Export
