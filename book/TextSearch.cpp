#include "book/TextSearch.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

namespace {

constexpr bool isLeadByte(unsigned byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

constexpr bool isTrailByte(unsigned byte) {
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

constexpr unsigned char kVoicedMark = 0xDE;     // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF; // ﾟ
constexpr std::size_t kNowhere = std::numeric_limits<std::size_t>::max();

// The full-width forms of the ASCII symbols in code page 932 (＂ and ＇ exist
// twice, as IBM and as NEC-selected IBM extensions), and ￥, which a Japanese
// system shows for the byte 0x5C.
constexpr std::pair<std::uint16_t, char> kFullWidthSymbols[] = {
    {0x8149, '!'},  {0xFA57, '"'},  {0xEEFC, '"'}, {0x8194, '#'}, {0x8190, '$'},  {0x8193, '%'},  {0x8195, '&'},
    {0xFA56, '\''}, {0xEEFB, '\''}, {0x8169, '('}, {0x816A, ')'}, {0x8196, '*'},  {0x817B, '+'},  {0x8143, ','},
    {0x817C, '-'},  {0x8144, '.'},  {0x815E, '/'}, {0x8146, ':'}, {0x8147, ';'},  {0x8183, '<'},  {0x8181, '='},
    {0x8184, '>'},  {0x8148, '?'},  {0x8197, '@'}, {0x816D, '['}, {0x815F, '\\'}, {0x818F, '\\'}, {0x816E, ']'},
    {0x814F, '^'},  {0x8151, '_'},  {0x814D, '`'}, {0x816F, '{'}, {0x8162, '|'},  {0x8170, '}'},  {0x8160, '~'},
};

// The full-width characters of the half-width bytes 0xA1 to 0xDF.
constexpr std::uint16_t kHalfWidthKana[0xDF - 0xA1 + 1] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392,                         // ｡｢｣､･ｦ
    0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362, // ｧｨｩｪｫｬｭｮｯ
    0x815B,                                                                 // ｰ
    0x8341, 0x8343, 0x8345, 0x8347, 0x8349,                                 // ｱｲｳｴｵ
    0x834A, 0x834C, 0x834E, 0x8350, 0x8352,                                 // ｶｷｸｹｺ
    0x8354, 0x8356, 0x8358, 0x835A, 0x835C,                                 // ｻｼｽｾｿ
    0x835E, 0x8360, 0x8363, 0x8365, 0x8367,                                 // ﾀﾁﾂﾃﾄ
    0x8369, 0x836A, 0x836B, 0x836C, 0x836D,                                 // ﾅﾆﾇﾈﾉ
    0x836E, 0x8371, 0x8374, 0x8377, 0x837A,                                 // ﾊﾋﾌﾍﾎ
    0x837D, 0x837E, 0x8380, 0x8381, 0x8382,                                 // ﾏﾐﾑﾒﾓ
    0x8384, 0x8386, 0x8388,                                                 // ﾔﾕﾖ
    0x8389, 0x838A, 0x838B, 0x838C, 0x838D,                                 // ﾗﾘﾙﾚﾛ
    0x838F, 0x8393,                                                         // ﾜﾝ
    0x814A, 0x814B,                                                         // ﾞﾟ as ゛゜
};

// The katakana for the hiragana at `offset` from ぁ: both rows run in the
// same order, but the katakana's trail bytes skip 0x7F.
constexpr std::uint16_t katakanaFor(unsigned offset) {
    return static_cast<std::uint16_t>(offset < 0x3F ? 0x8340 + offset : 0x8380 + offset - 0x3F);
}

enum ByteKind : std::uint8_t { Single, Lead, HalfWidth };

// How each character folds. Characters of leads without a row fold to
// themselves; so do the leads themselves when no trail byte follows.
struct FoldTables {
    std::array<std::uint8_t, 256> kind{};
    std::array<std::uint16_t, 256> single{};     // a character of one byte
    std::array<std::uint16_t, 256> voiced{};     // a half-width kana with ﾞ; 0 when it takes none
    std::array<std::uint16_t, 256> semiVoiced{}; // a half-width kana with ﾟ
    std::array<std::uint8_t, 256> row{};         // 1 + the row of `doubles` of a lead byte, or 0
    std::vector<std::uint16_t> doubles;          // 256 per row
    // Every spelling that folds to another character, ordered by that character.
    std::vector<std::pair<std::uint16_t, std::string>> otherSpellings;

    std::uint16_t foldDouble(unsigned lead, unsigned trail) const {
        const unsigned index = row[lead];
        return index == 0 ? static_cast<std::uint16_t>(lead << 8 | trail) : doubles[(index - 1) * 256 + trail];
    }

    bool takesMark(unsigned kana, unsigned mark) const {
        return (mark == kVoicedMark && voiced[kana] != 0) || (mark == kSemiVoicedMark && semiVoiced[kana] != 0);
    }

    void setDouble(unsigned code, unsigned folded) {
        const unsigned lead = code >> 8;
        if (row[lead] == 0) {
            row[lead] = static_cast<std::uint8_t>(doubles.size() / 256 + 1);
            for (unsigned trail = 0; trail < 256; ++trail) {
                doubles.push_back(static_cast<std::uint16_t>(lead << 8 | trail));
            }
        }
        doubles[(row[lead] - 1) * 256 + (code & 0xFF)] = static_cast<std::uint16_t>(folded);
    }
};

FoldTables makeFoldTables() {
    FoldTables tables;
    for (unsigned byte = 0; byte < 256; ++byte) {
        tables.kind[byte] = isLeadByte(byte) ? Lead : byte >= 0xA1 && byte <= 0xDF ? HalfWidth : Single;
        tables.single[byte] = static_cast<std::uint16_t>(byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte);
    }
    for (unsigned byte = 0xA1; byte <= 0xDF; ++byte) {
        tables.single[byte] = kHalfWidthKana[byte - 0xA1];
    }
    // ｳﾞ is ヴ; ｶ to ﾄ and ﾊ to ﾎ have their voiced kana right after them,
    // and ﾊ to ﾎ their semi-voiced kana after that.
    tables.voiced[0xB3] = 0x8394;
    for (unsigned byte = 0xB6; byte <= 0xCE; ++byte) {
        if (byte <= 0xC4 || byte >= 0xCA) {
            tables.voiced[byte] = static_cast<std::uint16_t>(tables.single[byte] + 1);
        }
        if (byte >= 0xCA) {
            tables.semiVoiced[byte] = static_cast<std::uint16_t>(tables.single[byte] + 2);
        }
    }

    for (const auto& [code, ascii] : kFullWidthSymbols) {
        tables.setDouble(code, static_cast<unsigned char>(ascii));
    }
    for (unsigned i = 0; i < 10; ++i) {
        tables.setDouble(0x824F + i, '0' + i); // ０-９
    }
    for (unsigned i = 0; i < 26; ++i) {
        tables.setDouble(0x8260 + i, 'a' + i); // Ａ-Ｚ
        tables.setDouble(0x8281 + i, 'a' + i); // ａ-ｚ
    }
    for (unsigned i = 0; i <= 0x52; ++i) {
        tables.setDouble(0x829F + i, katakanaFor(i)); // ぁ-ん
    }
    tables.setDouble(0x8154, 0x8152); // ゝ
    tables.setDouble(0x8155, 0x8153); // ゞ
    for (unsigned i = 0; i < 24; ++i) {
        tables.setDouble(0x839F + i, 0x83BF + i); // Α-Ω
    }
    for (unsigned i = 0; i < 33; ++i) {
        tables.setDouble(0x8440 + i, i < 15 ? 0x8470 + i : 0x8480 + i - 15); // А-Я
    }

    auto& other = tables.otherSpellings;
    for (unsigned byte = 0; byte < 256; ++byte) {
        if (tables.kind[byte] != Lead && tables.single[byte] != byte) {
            other.emplace_back(tables.single[byte], std::string(1, static_cast<char>(byte)));
        }
        if (tables.voiced[byte] != 0) {
            other.emplace_back(tables.voiced[byte],
                               std::string{static_cast<char>(byte), static_cast<char>(kVoicedMark)});
        }
        if (tables.semiVoiced[byte] != 0) {
            other.emplace_back(tables.semiVoiced[byte],
                               std::string{static_cast<char>(byte), static_cast<char>(kSemiVoicedMark)});
        }
        for (unsigned trail = 0x40; tables.row[byte] != 0 && trail <= 0xFC; ++trail) {
            const unsigned code = byte << 8 | trail;
            if (isTrailByte(trail) && tables.foldDouble(byte, trail) != code) {
                other.emplace_back(tables.foldDouble(byte, trail),
                                   std::string{static_cast<char>(byte), static_cast<char>(trail)});
            }
        }
    }
    std::sort(other.begin(), other.end());
    return tables;
}

const FoldTables& foldTables() {
    static const FoldTables tables = makeFoldTables();
    return tables;
}

struct Character {
    std::uint16_t code; // folded
    std::uint8_t length;
};

// The character that begins at `at`, folded.
inline Character readCharacter(const FoldTables& tables, const unsigned char* text, std::size_t size, std::size_t at) {
    const unsigned byte = text[at];
    switch (tables.kind[byte]) {
    case Lead:
        if (at + 1 < size && isTrailByte(text[at + 1])) {
            return {tables.foldDouble(byte, text[at + 1]), 2};
        }
        return {static_cast<std::uint16_t>(byte), 1};
    case HalfWidth:
        if (at + 1 < size) {
            const unsigned mark = text[at + 1];
            const std::uint16_t combined = mark == kVoicedMark       ? tables.voiced[byte]
                                           : mark == kSemiVoicedMark ? tables.semiVoiced[byte]
                                                                     : 0;
            if (combined != 0) {
                return {combined, 2};
            }
        }
        return {tables.single[byte], 1};
    default:
        return {tables.single[byte], 1};
    }
}

// Every spelling of the folded character `code`.
std::vector<std::string> spellingsOf(const FoldTables& tables, std::uint16_t code) {
    std::vector<std::string> spellings;
    if (code < 0x100) {
        spellings.emplace_back(1, static_cast<char>(code));
    } else {
        spellings.push_back({static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)});
    }
    const auto& other = tables.otherSpellings;
    auto at = std::lower_bound(other.begin(), other.end(), std::make_pair(code, std::string()));
    for (; at != other.end() && at->first == code; ++at) {
        spellings.push_back(at->second);
    }
    return spellings;
}

const unsigned char* bytesOf(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

} // namespace

// Tells which positions of a text lie between characters. The text before a
// position that follows a known boundary is read back only to the last byte
// that cannot be a lead byte (a character ends there) or to that boundary:
// the lead bytes between pair up with their trail bytes.
class TextMatcher::Boundaries {
public:
    Boundaries(const unsigned char* bytes, std::size_t length) : text(bytes), size(length), tables(foldTables()) {}

    // Positions asked about must increase from call to call.
    bool at(std::size_t position) {
        bool boundary = betweenBytes(position);
        if (boundary && position > 0 && position < size && tables.takesMark(text[position - 1], text[position]) &&
            betweenBytes(position - 1)) {
            boundary = false; // between a half-width kana and its mark
        }
        known = boundary ? position : position - 1;
        return boundary;
    }

private:
    bool betweenBytes(std::size_t position) const {
        if (position == 0 || position >= size || !isTrailByte(text[position])) {
            return true;
        }
        std::size_t start = position;
        while (start > known && isLeadByte(text[start - 1])) {
            --start;
        }
        return (position - start) % 2 == 0;
    }

    const unsigned char* text;
    std::size_t size;
    const FoldTables& tables;
    std::size_t known = 0; // a boundary at or before every position asked about
};

std::size_t TextMatcher::Word::matchAt(const unsigned char* text, std::size_t size, std::size_t at) const {
    const FoldTables& tables = foldTables();
    for (const std::uint16_t code : folded) {
        if (at >= size) {
            return 0;
        }
        const Character character = readCharacter(tables, text, size, at);
        if (character.code != code) {
            return 0;
        }
        at += character.length;
    }
    return at;
}

TextMatcher::TextMatcher(std::string_view query) {
    const FoldTables& tables = foldTables();
    const unsigned char* bytes = bytesOf(query);
    std::size_t start = 0;
    Word word;
    std::vector<std::string> previous; // the spellings of the word's previous character
    const auto endWord = [&](std::size_t end) {
        if (!word.folded.empty()) {
            spellings.emplace_back(query.substr(start, end - start));
            searchWords.push_back(std::move(word));
            word = Word();
            previous.clear();
        }
    };
    for (std::size_t at = 0; at < query.size();) {
        const Character character = readCharacter(tables, bytes, query.size(), at);
        if (character.code == ' ' || character.code == '\t' || character.code == 0x8140) {
            endWord(at);
            start = at + character.length;
        } else {
            // Record where its spellings can begin and which byte pairs they
            // hold, within a spelling and from the previous character on.
            std::vector<std::string> current = spellingsOf(tables, character.code);
            std::size_t shortest = 2;
            for (const std::string& spelling : current) {
                const auto first = static_cast<unsigned char>(spelling.front());
                shortest = std::min(shortest, spelling.size());
                if (word.folded.empty()) {
                    word.firstBytes.set(first);
                }
                if (spelling.size() == 2) {
                    word.pairs.set(first << 8 | static_cast<unsigned char>(spelling[1]));
                }
                for (const std::string& before : previous) {
                    word.pairs.set(static_cast<unsigned char>(before.back()) << 8 | first);
                }
            }
            if (current.size() == 1) {
                word.onlySpelling += current.front();
            } else {
                word.oneSpelling = false;
            }
            word.folded.push_back(character.code);
            word.shortest += shortest;
            previous = std::move(current);
        }
        at += character.length;
    }
    endWord(query.size());
}

bool TextMatcher::find(const Word& word, const unsigned char* text, std::size_t size, std::size_t from,
                       std::size_t last, Boundaries& boundaries, TextMatch& match) {
    if (size < word.shortest) {
        return false;
    }
    last = std::min(last, size - word.shortest);
    const auto matchesAt = [&](std::size_t at) {
        if (!word.firstBytes[text[at]]) {
            return false;
        }
        const std::size_t end = word.matchAt(text, size, at);
        if (end == 0 || !boundaries.at(at)) {
            return false;
        }
        match = {at, end};
        return true;
    };
    if (word.oneSpelling && word.shortest >= 2) {
        // memchr finds the first byte far faster than the pair table steps.
        const std::string_view haystack(reinterpret_cast<const char*>(text), size);
        for (std::size_t at = haystack.find(word.onlySpelling, from); at != std::string_view::npos && at <= last;
             at = haystack.find(word.onlySpelling, at + 1)) {
            if (matchesAt(at)) {
                return true;
            }
        }
        return false;
    }
    if (word.shortest < 2) {
        for (std::size_t at = from; at <= last; ++at) {
            if (matchesAt(at)) {
                return true;
            }
        }
        return false;
    }
    // A match that begins anywhere from `at` to `probe - 1` holds every byte
    // pair from its first byte up to `probe`, the last byte of the shortest
    // match beginning at `at`. A pair the word cannot hold rules out each
    // place before its second byte: the scan moves on when the last pair
    // rules out all of them, and otherwise reads back to the nearest pair
    // that rules some out.
    const auto possible = [&](std::size_t second) { return word.pairs[text[second - 1] << 8 | text[second]]; };
    for (std::size_t at = from; at <= last;) {
        const std::size_t probe = at + word.shortest - 1;
        if (possible(probe)) {
            std::size_t candidate = probe - 1;
            while (candidate > at && possible(candidate)) {
                --candidate;
            }
            for (const std::size_t stop = std::min(probe - 1, last); candidate <= stop; ++candidate) {
                if (matchesAt(candidate)) {
                    return true;
                }
            }
        }
        at = probe;
    }
    return false;
}

bool TextMatcher::matchesAll(std::string_view title, std::string_view text) const {
    TextMatch match;
    for (const Word& word : searchWords) {
        Boundaries inTitle(bytesOf(title), title.size());
        Boundaries inText(bytesOf(text), text.size());
        if (!find(word, bytesOf(title), title.size(), 0, kNowhere, inTitle, match) &&
            !find(word, bytesOf(text), text.size(), 0, kNowhere, inText, match)) {
            return false;
        }
    }
    return true;
}

bool TextMatcher::findNext(std::string_view text, std::size_t from, TextMatch& match) const {
    bool found = false;
    TextMatch nearest;
    for (const Word& word : searchWords) {
        Boundaries boundaries(bytesOf(text), text.size());
        TextMatch candidate;
        if (find(word, bytesOf(text), text.size(), from, found ? nearest.begin : kNowhere, boundaries, candidate) &&
            (!found || candidate.begin < nearest.begin || candidate.end > nearest.end)) {
            nearest = candidate;
            found = true;
        }
    }
    if (found) {
        match = nearest;
    }
    return found;
}

bool TextMatcher::findPrevious(std::string_view text, std::size_t before, TextMatch& match) const {
    bool found = false;
    TextMatch nearest;
    for (const Word& word : searchWords) {
        Boundaries boundaries(bytesOf(text), text.size());
        TextMatch candidate;
        // Only a match at or after the nearest one so far can be nearer.
        for (std::size_t from = found ? nearest.begin : 0;
             before > 0 && find(word, bytesOf(text), text.size(), from, before - 1, boundaries, candidate);
             from = candidate.begin + 1) {
            if (!found || candidate.begin > nearest.begin || candidate.end > nearest.end) {
                nearest = candidate;
                found = true;
            }
        }
    }
    if (found) {
        match = nearest;
    }
    return found;
}

bool TextMatcher::narrows(const TextMatcher& earlier) const {
    return std::all_of(earlier.searchWords.begin(), earlier.searchWords.end(), [this](const Word& old) {
        return std::any_of(searchWords.begin(), searchWords.end(), [&old](const Word& word) {
            return std::search(word.folded.begin(), word.folded.end(), old.folded.begin(), old.folded.end()) !=
                   word.folded.end();
        });
    });
}

std::size_t characterIndexOf(std::string_view text, std::size_t byteOffset) {
    std::size_t characters = 0;
    for (std::size_t at = 0; at < byteOffset && at < text.size(); ++characters) {
        at += isLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
    }
    return characters;
}

std::size_t byteOffsetOf(std::string_view text, std::size_t characterIndex) {
    std::size_t at = 0;
    for (std::size_t characters = 0; characters < characterIndex && at < text.size(); ++characters) {
        at += isLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
    }
    return at;
}
