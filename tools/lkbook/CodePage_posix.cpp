#include "tools/lkbook/CodePage.h"

#include <cerrno>
#include <iconv.h>

namespace CodePage::detail {

namespace {

// One conversion with iconv; false on any character it cannot convert.
bool convert(const char* to, const char* from, const std::string& input, std::string& output) {
    output.clear();
    if (input.empty()) {
        return true;
    }
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    std::string buffer(input.size() * 2 + 16, '\0');
    bool ok = true;
    while (true) {
        char* out = &buffer[0];
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        output.append(buffer.data(), buffer.size() - outLeft);
        if (result != static_cast<std::size_t>(-1)) {
            if (inLeft == 0) {
                // Flush any shift state (none for these encodings, but harmless).
                out = &buffer[0];
                outLeft = buffer.size();
                iconv(converter, nullptr, nullptr, &out, &outLeft);
                output.append(buffer.data(), buffer.size() - outLeft);
                break;
            }
            continue;
        }
        if (errno != E2BIG) {
            ok = false; // EILSEQ or EINVAL: a character that does not convert or ends early
            break;
        }
    }
    iconv_close(converter);
    return ok;
}

} // namespace

bool decode(const std::string& cp932, std::string& utf8) {
    return convert("UTF-8", "CP932", cp932, utf8);
}

bool encode(const std::string& utf8, std::string& cp932) {
    return convert("CP932", "UTF-8", utf8, cp932);
}

} // namespace CodePage::detail

namespace CodePage {

bool fromArgument(const std::string& argument, std::string& cp932, EncodeFailure* failure) {
    return fromUtf8(argument, cp932, failure);
}

} // namespace CodePage
