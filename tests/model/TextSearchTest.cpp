#include "book/TextSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Literals are code page 932 bytes, as the program's text is.

namespace {

// The first match in the whole text as "begin-end", or "none".
std::string firstMatch(const std::string& query, const std::string& text) {
    TextMatch match;
    return TextMatcher(query).findNext(text, 0, match) ? std::to_string(match.begin) + "-" + std::to_string(match.end)
                                                       : "none";
}

std::string whole(const std::string& text) {
    return "0-" + std::to_string(text.size());
}

} // namespace

// Each pair is the same text to a user: either one, as the query, finds the
// whole of the other, and the other way round.
TEST(TextSearch, FoldedFormsMatchEachOtherBothWays) {
    const std::pair<std::string, std::string> same[] = {
        {"ABC1", "ＡＢＣ１"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz"},
        {"ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ", "abcdefghijklmnopqrstuvwxyz"},
        {"ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {"ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ",
         "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ"},
        {"０１２３４５６７８９", "0123456789"},
        {"！＂＃＄％＆＇（）＊＋，－．／：；＜＝＞？＠［＼］＾＿｀｛｜｝～", "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"},
        {"\xFA\x57\xFA\x56\xEE\xFC\xEE\xFB", "\"'\"'"}, // ＂＇ as IBM and as NEC-selected IBM extensions
        {"￥", "\\"},
        {"ｶﾞｲﾄﾞ", "ガイド"},
        {"ｶﾞｲﾄﾞ", "がいど"},
        {"かいぎ", "カイギ"},
        {"ぁあぃいぅうぇえぉおかがきぎくぐけげこごさざしじすずせぜそぞただちぢっつづてでとどなにぬねのはばぱひびぴふぶ"
         "ぷ"
         "へべぺほぼぽまみむめもゃやゅゆょよらりるれろゎわゐゑをん",
         "ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデトドナニヌネノハバパヒビピフブ"
         "プ"
         "ヘベペホボポマミムメモャヤュユョヨラリルレロヮワヰヱヲン"},
        {"ゝゞ", "ヽヾ"},
        {"｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ",
         "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨ"
         "ラリ"
         "ルレロワン゛゜"},
        {"ｳﾞｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ",
         "ヴガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ"},
        {"ｱﾞｶﾟﾏﾟ", "ア゛カ゜マ゜"}, // marks that the kana before them do not take
        {"ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ", "αβγδεζηθικλμνξοπρστυφχψω"},
        {"АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ", "абвгдеёжзийклмнопрстуфхцчшщъыьэюя"},
    };
    for (const auto& [one, other] : same) {
        EXPECT_EQ(firstMatch(one, other), whole(other)) << one;
        EXPECT_EQ(firstMatch(other, one), whole(one)) << other;
    }
}

// Voiced and plain, small and large, the long vowel mark and the dashes stay
// apart, and a mark is part of the half-width kana it follows.
TEST(TextSearch, DistinctCharactersStayDistinct) {
    const std::pair<const char*, const char*> apart[] = {
        // query, text
        {"カ", "ガ"},   {"ガ", "か"},   {"ハ", "パ"},  {"バ", "ぱ"}, {"ﾊﾞ", "ﾊﾟ"}, {"ツ", "ッ"},
        {"っ", "ツ"},   {"ケ", "ヶ"},   {"ヶ", "け"},  {"ヤ", "ゃ"}, {"ー", "-"},  {"-", "ｰ"},
        {"ー", "～"},   {"カ", "ｶﾞ"},   {"ｶ", "ｶﾞ"},   {"ﾞ", "ｶﾞ"},  {"゛", "ガ"}, {"ウ", "ｳﾞ"},
        {"ヴ", "ウ゛"}, {"ｶﾞ", "カ゛"}, {"ｶ", "ｶﾞｶﾞ"}, {"\\", "/"},
    };
    for (const auto& [query, text] : apart) {
        EXPECT_EQ(firstMatch(query, text), "none") << query << " in " << text;
    }
}

// A match never begins on the trail byte of a double-byte character, whatever
// ASCII byte that trail byte is and whatever whole characters come before it;
// the same byte standing alone is found.
TEST(TextSearch, NoMatchBeginsOnATrailByte) {
    const std::string fullWidth =
        "＠ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ［＼］＾＿｀ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒ"
        "ｓｔｕｖｗｘｙｚ｛｜｝～"; // 0x40 to 0x7E
    const std::string before[] = {"", "1", "ｱ", "＝", "＝＝＝", "表", "ソ", "\x81\x20"};
    for (unsigned byte = 0x40; byte <= 0x7E; ++byte) {
        const std::string ascii(1, static_cast<char>(byte));
        for (const std::string& query : {ascii, fullWidth.substr(2 * (byte - 0x40), 2)}) {
            const TextMatcher matcher(query);
            for (const char lead : {'\x81', '\x83', '\x94', '\x95', '\x9F', '\xE0', '\xFC'}) {
                for (const std::string& whole : before) {
                    const std::string text = whole + lead + ascii;
                    TextMatch match;
                    ASSERT_FALSE(matcher.matchesAll(text, text)) << query << " in " << text;
                    ASSERT_FALSE(matcher.findNext(text, 0, match) || matcher.findPrevious(text, text.size(), match))
                        << query << " in " << text;
                    ASSERT_EQ(firstMatch(query, text + ascii),
                              std::to_string(text.size()) + "-" + std::to_string(text.size() + 1));
                    ASSERT_EQ(firstMatch(query, whole + ascii),
                              std::to_string(whole.size()) + "-" + std::to_string(whole.size() + 1));
                }
            }
        }
    }
}

// The first match of each query, with its bytes in the text as given: at the
// very start and end, across spellings of unlike lengths, around lead bytes
// that have no trail byte, and around half-width marks.
TEST(TextSearch, FirstMatchesAndTheirBytes) {
    const std::tuple<std::string, std::string, const char*> rows[] = {
        // query, text, first match
        {"a", "abc", "0-1"},
        {"c", "abc", "2-3"},
        {"ABC", "abc", "0-3"},
        {"abcd", "abc", "none"},
        {"a", "", "none"},
        {"議", "会議", "2-4"},
        {"会", "会議", "0-2"},
        {"ガイド", "ｶﾞｲﾄﾞとガイド", "0-5"},
        {"ｶﾞｲﾄﾞ", "と、ガイド", "4-10"},
        {"abc", "xｘＡｂC", "3-8"},
        {"ァ", "\x81\x83\x40", "none"}, // ＜ then @
        {"ァ", "\x81\x83\x40\x83\x40", "3-5"},
        {"y", "\x82\x78", "0-2"}, // a lead byte before x is Ｙ
        {"ﾞ", "ｱﾞ", "1-2"},
        {"゛", "ｱﾞ", "1-2"},
        {"ﾞ", "\x83\xB6\xDE", "2-3"}, // after Ω the byte 0xB6 is no ｶ
        {"ｶﾞ", "\x83\xB6\xDE", "none"},
        {"ｶ", "ｶﾟ", "0-1"},
        {"c", "abc\x82", "2-3"},
        {"\x82", "abc\x82", "3-4"},
        {"c\x82", "abc\x82", "2-4"},
        {"あ", "abc\x82", "none"},
        {"表", "\x95", "none"},
        {"\x95", "\x95", "0-1"},
        {"ab\x82", "ab\x82\xA0", "none"},
        {"ab\x82", "xab\x82", "1-4"},
        {"ab\x82", "ab\x82\r\n", "0-3"},
        {"\x7F", "\x82\x7F", "1-2"}, // a lead byte before a byte that is no trail byte stands alone
        {"\x82\x7F", "a\x82\x7F", "1-3"},
    };
    for (const auto& [query, text, expected] : rows) {
        EXPECT_EQ(firstMatch(query, text), expected) << query << " in " << text;
    }
}

// Every word must be in the title or the text, in any order and each in
// either; a word is not found across the two. A query without words matches
// everything.
TEST(TextSearch, EveryWordInTheTitleOrTheText) {
    const std::tuple<const char*, const char*, const char*, bool> rows[] = {
        // query, title, text, matches
        {"会議 予定", "", "予定の会議", true},    {"予定 会議", "", "予定の会議", true},
        {"予定　会議", "予定", "会議室", true},   {"会議 旅行", "", "予定の会議", false},
        {"会議 旅行", "旅行", "", false},         {"会議", "会", "議", false},
        {"ＭＥＭＯ　めも", "memo", "メモ", true}, {"", "", "", true},
        {" 　\t ", "title", "text", true},
    };
    for (const auto& [query, title, text, matches] : rows) {
        EXPECT_EQ(TextMatcher(query).matchesAll(title, text), matches) << query;
    }
}

// Words are split at the ASCII blank, the tab and the ideographic space, and
// only where they stand as characters: the bytes 0x81 0x40 inside ＝@ are no
// blank.
TEST(TextSearch, QueriesSplitIntoWordsAtBlanks) {
    const std::pair<const char*, std::vector<std::string>> rows[] = {
        {"", {}},
        {" 　\t", {}},
        {"  会議　　予定 \t", {"会議", "予定"}},
        {"ｶﾞｲﾄﾞ　ｶﾞｲﾄﾞ", {"ｶﾞｲﾄﾞ", "ｶﾞｲﾄﾞ"}},
        {"＝@a", {"＝@a"}},
        {"ab\x81", {"ab\x81"}},
        {"ab \x81", {"ab", "\x81"}},
    };
    for (const auto& [query, words] : rows) {
        const TextMatcher matcher(query);
        EXPECT_EQ(matcher.words(), words) << query;
        EXPECT_EQ(matcher.empty(), words.empty()) << query;
    }
}

// Finding forwards and backwards goes to the nearest match of any word, the
// longer one where two begin together; each range is the text's own bytes.
TEST(TextSearch, FindNextAndPreviousGiveTheNearestMatch) {
    const std::string guide = "ｶﾞｲﾄﾞとガイド、がいど"; // at 0, 7 and 15
    const std::tuple<const char*, std::string, bool, std::size_t, const char*> rows[] = {
        // query, text, forwards, from or before, match
        {"ガイド", guide, true, 0, "0-5"},
        {"ガイド", guide, true, 1, "7-13"},
        {"ガイド", guide, true, 7, "7-13"},
        {"ガイド", guide, true, 8, "15-21"},
        {"ガイド", guide, true, 16, "none"},
        {"ガイド", guide, true, 99, "none"},
        {"ガイド", guide, false, 21, "15-21"},
        {"ガイド", guide, false, 15, "7-13"},
        {"ガイド", guide, false, 7, "0-5"},
        {"ガイド", guide, false, 1, "0-5"},
        {"ガイド", guide, false, 0, "none"},
        {"abc", "ABC ＡＢＣ abc", true, 1, "4-10"},
        {"abc", "ABC ＡＢＣ abc", true, 5, "11-14"},
        {"abc", "ABC ＡＢＣ abc", false, 11, "4-10"},
        {"予定 会議", "会議の予定と会議", true, 0, "0-4"},
        {"予定 会議", "会議の予定と会議", true, 1, "6-10"},
        {"予定 会議", "会議の予定と会議", true, 7, "12-16"},
        {"予定 会議", "会議の予定と会議", false, 16, "12-16"},
        {"予定 会議", "会議の予定と会議", false, 12, "6-10"},
        {"会 会議", "会議", true, 0, "0-4"},
        {"会議 会", "会議", false, 4, "0-4"},
        {"表", "表表", true, 1, "2-4"},
        {"表", "表表", false, 3, "2-4"},
        {"aa", "aaa", true, 1, "1-3"},
        {"aa", "aaa", false, 3, "1-3"},
        {"", "text", true, 0, "none"},
    };
    for (const auto& [query, text, forwards, position, expected] : rows) {
        TextMatch match;
        const TextMatcher matcher(query);
        const bool found =
            forwards ? matcher.findNext(text, position, match) : matcher.findPrevious(text, position, match);
        EXPECT_EQ(found ? std::to_string(match.begin) + "-" + std::to_string(match.end) : "none", expected)
            << query << (forwards ? " from " : " before ") << position << " in " << text;
    }
}

// Wherever a word stands among other characters, in whichever spelling, it
// is found there and nowhere else: the scan passes over no place a match can
// begin.
TEST(TextSearch, WordsAreFoundAtEveryOffset) {
    const std::pair<const char*, std::vector<std::string>> words[] = {
        {"議事録", {"議事録"}},
        {"ようやく", {"ヨウヤク", "ﾖｳﾔｸ", "よウﾔく"}},
        {"invoice", {"INVOICE", "ｉｎｖｏｉｃｅ", "InＶoiＣe"}},
        {"ガイド", {"ｶﾞｲﾄﾞ", "がいど"}},
        {"予", {"予"}},
        {"x", {"X", "ｘ"}},
    };
    const std::string fillers[] = {"-", "あ", "ｱ", "表", "a b", "＝", "ﾃﾞ"};
    for (const auto& [query, spellings] : words) {
        const TextMatcher matcher(query);
        for (const std::string& spelling : spellings) {
            for (const std::string& filler : fillers) {
                std::string before;
                for (int count = 0; count < 24; ++count, before += filler) {
                    const std::string text = before + spelling + filler + filler;
                    ASSERT_EQ(firstMatch(query, text),
                              std::to_string(before.size()) + "-" + std::to_string(before.size() + spelling.size()))
                        << spelling << " in " << text;
                    ASSERT_FALSE(matcher.matchesAll(before, before + filler)) << query << " in " << before;
                }
            }
        }
    }
}

// A query narrows an earlier one when each earlier word lies within one of
// its words once folded; then every text it matches, the earlier one matched.
TEST(TextSearch, ANarrowerQueryMatchesOnlyWhatTheEarlierOneDid) {
    const std::tuple<const char*, const char*, bool> rows[] = {
        // earlier, later, narrows
        {"", "", true},
        {"", "会議", true},
        {"会", "会議", true},
        {"会議", "会", false},
        {"会議", "", false},
        {"ｶ", "ｶﾞ", false},
        {"ｶﾞ", "がいど", true},
        {"かい", "カイギ", true},
        {"ｶｲ ぎ", "会議 かいぎ", true},
        {"a b", "b a", true},
        {"a b", "ab", true},
        {"a b", "a", false},
        {"abc", "ＡＢＣＤ", true},
        {"表", "\\", false},
    };
    const std::string texts[] = {"会議", "会", "かいぎ", "がいど", "ｶﾞｲﾄﾞ", "ab", "a", "ＡＢＣＤ", "表\\", "\\"};
    for (const auto& [earlier, later, narrows] : rows) {
        const TextMatcher before(earlier);
        const TextMatcher after(later);
        EXPECT_EQ(after.narrows(before), narrows) << earlier << " -> " << later;
        for (const std::string& text : texts) {
            EXPECT_TRUE(!narrows || !after.matchesAll("", text) || before.matchesAll("", text))
                << earlier << " -> " << later << " on " << text;
        }
    }
}

// Positions as an edit control counts them (characters) and as the matcher
// does (bytes) translate both ways, a lone lead byte at the end included.
TEST(TextSearch, CharacterAndBytePositionsTranslate) {
    const std::string text = "aあ\x5C表ｶﾞz\x82";
    const std::size_t characters[] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    const std::size_t bytes[] = {0, 1, 3, 4, 6, 7, 8, 9, 10};
    for (std::size_t i = 0; i < std::size(characters); ++i) {
        EXPECT_EQ(byteOffsetOf(text, characters[i]), bytes[i]) << i;
        EXPECT_EQ(characterIndexOf(text, bytes[i]), characters[i]) << i;
    }
    EXPECT_EQ(byteOffsetOf(text, 100), text.size());
}
