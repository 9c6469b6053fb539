#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Finding what the user types in code page 932 text: the page list's filter,
// the search within a page and `lkbook grep` share it.
//
// A query is split into words at blanks (ASCII space, tab and the
// ideographic space). A word matches where the text holds the same
// characters once both are folded:
// - full-width and half-width forms are the same: ＡＢＣ１ is ABC1, the
//   full-width ASCII symbols are their ASCII bytes (～ is ~, － is -), and ￥
//   as well as ＼ is the byte 0x5C, which Japanese systems show as the yen
//   sign; half-width katakana are the full-width ones, a half-width kana and
//   a following ﾞ or ﾟ being one character (ｶﾞ is ガ, ﾊﾟ is パ, ｳﾞ is ヴ);
//   a mark that no kana before it takes stands for ゛ or ゜;
// - hiragana are katakana, voiced and small ones too (がっこう is ガッコウ),
//   and ゝゞ are ヽヾ;
// - case does not count: ASCII, full-width Latin, Greek and Cyrillic letters.
// Everything else stays distinct: a voiced kana is not the plain one (ガ is
// not カ), a small kana not the large one (ッ is not ツ, ヶ not ケ), the long
// vowel mark ー (and ｰ) is neither a hyphen nor ～, and ヴ has no hiragana in
// code page 932.
//
// A match begins and ends between characters, never on a trail byte (the
// 0x5C of 表 is no backslash) nor between a half-width kana and its mark.
// A lead byte with no trail byte after it is a character of its own.
//
// Positions are byte offsets into the text as given; texts begin with a
// whole character. The matcher keeps no state between calls.

// The bytes [begin, end) of a text that one of the words matched.
struct TextMatch {
    std::size_t begin = 0;
    std::size_t end = 0;
};

class TextMatcher {
public:
    TextMatcher() = default;
    explicit TextMatcher(std::string_view query);

    // true when the query holds no word (it was empty or only blanks).
    bool empty() const { return searchWords.empty(); }
    // The words as the query spelt them, in its order.
    const std::vector<std::string>& words() const { return spellings; }

    // true when every word is in the title or in the text (a word may be in
    // either); true for a query without words.
    bool matchesAll(std::string_view title, std::string_view text) const;

    // The nearest match of any word that begins at or after `from`; when two
    // begin at the same place, the longer one. false when there is none.
    bool findNext(std::string_view text, std::size_t from, TextMatch& match) const;
    // The nearest match of any word that begins before `before`; when two
    // begin at the same place, the longer one. false when there is none.
    bool findPrevious(std::string_view text, std::size_t before, TextMatch& match) const;

    // true when every text this query matches was matched by `earlier` too:
    // each of its words lies within one of this query's words once folded.
    // A list filtered by `earlier` then need only be filtered further.
    bool narrows(const TextMatcher& earlier) const;

private:
    // One word, folded, with what the scan needs to pass over places where
    // it cannot begin.
    struct Word {
        std::vector<std::uint16_t> folded; // one code per character
        std::size_t shortest = 0;          // bytes of its shortest spelling
        std::bitset<256> firstBytes;       // bytes its first character can begin with
        std::bitset<65536> pairs;          // byte pairs its spellings can hold (first * 256 + second)
        // The word's bytes when every character has but one spelling (kanji,
        // most symbols): the text is then searched for them as they stand.
        std::string onlySpelling;
        bool oneSpelling = true;

        // The end of the match that begins at `at`, or 0.
        std::size_t matchAt(const unsigned char* text, std::size_t size, std::size_t at) const;
    };
    class Boundaries;

    // The first match of `word` that begins within [from, last].
    static bool find(const Word& word, const unsigned char* text, std::size_t size, std::size_t from, std::size_t last,
                     Boundaries& boundaries, TextMatch& match);

    std::vector<Word> searchWords;
    std::vector<std::string> spellings;
};

// An edit control counts positions in characters, the matcher in bytes. A
// lead byte and the byte after it are one character; a lead byte at the very
// end is one of its own.
std::size_t characterIndexOf(std::string_view text, std::size_t byteOffset);
std::size_t byteOffsetOf(std::string_view text, std::size_t characterIndex);
