#include "LkbookTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// A command-line argument as the system passes it: UTF-8 on Linux, the ANSI
// code page on Windows.
std::string argument(const std::string& utf8) {
#ifdef _WIN32
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], wideLength);
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, &text[0], length, nullptr, nullptr);
    return text;
#else
    return utf8;
#endif
}

std::vector<std::unique_ptr<Page>> notes() {
    const std::pair<const char*, const char*> pages[] = {
        {"予定", "会議は十時から。\r\n昼食\r\n次の会議は金曜\r\n"},
        {"ｶﾞｲﾄﾞ", "旅行の\tしおり\r\nMEETING notes"},
        {"買い物", "牛乳\r\n表計算ソフト"},
        {"", ""},
        {"tab\there", "ends in a lead byte \x82"},
    };
    std::vector<std::unique_ptr<Page>> book;
    for (const auto& [title, text] : pages) {
        book.push_back(std::make_unique<Page>());
        book.back()->title = title;
        book.back()->text = text;
    }
    return book;
}

} // namespace

// Each page that holds every word prints its index and title, then each line
// of its text that holds any word with its number; the words may be in one
// argument or several and match across spellings; none of them may begin on
// a trail byte (表 and ソ end in 0x5C). Nothing matched is exit code 1.
TEST(Grep, PrintsThePagesThatHoldEveryWordWithTheirMatchingLines) {
    TempFolder folder;
    const std::string book = folder.file("book.bok");
    saveBook(notes(), book);
    const std::tuple<std::vector<const char*>, int, const char*> rows[] = {
        // words, exit code, output
        {{u8"会議"}, 0, u8"0\t予定\n\t1\t会議は十時から。\n\t3\t次の会議は金曜\n"},
        {{u8"昼食"}, 0, u8"0\t予定\n\t2\t昼食\n"},
        {{u8"がいど"}, 0, u8"1\tｶﾞｲﾄﾞ\n"},
        {{u8"meeting", u8"しおり"}, 0, u8"1\tｶﾞｲﾄﾞ\n\t1\t旅行の しおり\n\t2\tMEETING notes\n"},
        {{u8"しおり　ｍｅｅｔｉｎｇ"}, 0, u8"1\tｶﾞｲﾄﾞ\n\t1\t旅行の しおり\n\t2\tMEETING notes\n"},
        {{u8"NOTES", u8"ガイド"}, 0, u8"1\tｶﾞｲﾄﾞ\n\t2\tMEETING notes\n"},
        {{u8"e"}, 0, u8"1\tｶﾞｲﾄﾞ\n\t2\tMEETING notes\n4\ttab here\n\t1\tends in a lead byte \uFFFD\n"},
        {{u8"ソフト", u8"牛乳"}, 0, u8"2\t買い物\n\t1\t牛乳\n\t2\t表計算ソフト\n"},
        {{u8"\\"}, 1, ""},
        {{u8"会議", u8"旅行"}, 1, ""},
    };
    for (const auto& [words, code, output] : rows) {
        std::vector<std::string> arguments = {"grep"};
        for (const char* word : words) {
            arguments.push_back(argument(word));
        }
        arguments.push_back(book);
        const RunResult result = lkbook(arguments);
        EXPECT_EQ(result.code, code) << words.front();
        EXPECT_EQ(result.out, output) << words.front();
        EXPECT_TRUE(code == 0 ? result.err.empty() : contains(result.err, "no page of")) << result.err;
    }
}

// 2 for a command line without words or without the book, or with a word
// that cannot be code page 932; 1 for a book that cannot be read, and the
// complaint tells which.
TEST(Grep, ExitCodesAndComplaints) {
    TempFolder folder;
    const std::string book = folder.file("book.bok");
    saveBook(notes(), book);
    Bytes damaged = readAll(book);
    damaged.resize(damaged.size() - 1);
    writeAll(folder.file("damaged.bok"), damaged);
    std::vector<std::tuple<std::vector<std::string>, int, std::string>> rows = {
        {{"grep", book}, 2, "FILE is required"},
        {{"grep"}, 2, "is required"},
        {{"grep", argument(u8" 　"), book}, 2, "nothing but blanks"},
        {{"grep", "\x81\x20", book}, 2, "not text"},
        {{"grep", "-x", book}, 2, "unknown option '-x'"},
        {{"grep", "--", "-x", book}, 1, "no page of"},
        {{"grep", argument(u8"会議"), folder.file("missing.bok")}, 1, "cannot open"},
        {{"grep", argument(u8"会議"), folder.file("damaged.bok")}, 1, "is a damaged book"},
    };
#ifndef _WIN32
    rows.push_back({{"grep", u8"会議\U0001F600", book}, 2, "character 3 (U+1F600) has no code in code page 932"});
#endif
    for (const auto& [arguments, code, mentions] : rows) {
        const RunResult result = lkbook(arguments);
        EXPECT_EQ(result.code, code) << mentions;
        EXPECT_TRUE(result.out.empty()) << result.out;
        EXPECT_TRUE(contains(result.err, mentions)) << result.err;
    }
}
