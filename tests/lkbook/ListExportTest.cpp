#include "LkbookTestSupport.h"

#include "tools/lkbook/Export.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "the output does not end with a line break";
    return lines;
}

TEST(List, OneTabSeparatedLinePerPage) {
    TempFolder folder;
    auto pages = unlikePages();
    pages[1]->title = "タブ\tと\r\n改行";
    saveBook(pages, folder.file("book.bok"));
    const RunResult result = lkbook({"list", folder.file("book.bok")});
    ASSERT_EQ(result.code, 0) << result.err;
    const auto lines = linesOf(result.out);
    ASSERT_EQ(lines.size(), 4u);

    const std::regex line("(\\d+)\\t(\\d+)\\t(-|\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2})\\t(floating|-)\\t(.*)");
    const struct {
        const char* size;
        const char* floating;
        const char* title;
        bool never;
    } expected[] = {
        {"", "floating", u8"予定", false},
        {"0", "-", u8"タブ と  改行", true},
        {"0", "-", "", false},
        {"11", "-", u8"ｱｲ\\", false},
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i]);
        std::smatch fields;
        ASSERT_TRUE(std::regex_match(lines[i], fields, line));
        EXPECT_EQ(fields[1], std::to_string(i));
        EXPECT_EQ(fields[2], i == 0 ? std::to_string(pages[0]->text.size()) : std::string(expected[i].size));
        EXPECT_EQ(fields[3] == "-", expected[i].never);
        EXPECT_EQ(fields[4], expected[i].floating);
        EXPECT_EQ(fields[5], expected[i].title);
    }
#ifndef _WIN32
    setenv("TZ", "JST-9", 1);
    tzset();
    const RunResult tokyo = lkbook({"list", folder.file("book.bok")});
    unsetenv("TZ");
    tzset();
    EXPECT_EQ(linesOf(tokyo.out)[0],
              "0\t" + std::to_string(pages[0]->text.size()) + u8"\t2003-01-01T09:05:07\tfloating\t予定");
#endif

    Bytes bytes = readAll(folder.file("book.bok"));
    bytes[9] = 5; // more pages than there are
    writeAll(folder.file("damaged.bok"), bytes);
    const RunResult damaged = lkbook({"list", folder.file("damaged.bok")});
    EXPECT_EQ(damaged.code, 1);
    EXPECT_EQ(damaged.out, "");
    EXPECT_NE(damaged.err.find("damaged book"), std::string::npos);
}

// The page number, zero-padded to the width of the largest one, then the
// title with the characters a file name cannot hold as underscores, no dots
// or blanks at its end, and a long title cut between characters.
TEST(ExportName, IsThePageNumberAndTheTitleAsAFileNameCanHoldIt) {
    std::string longTitle = "a";
    std::string cut = "000 a";
    for (int i = 0; i < 100; ++i) {
        longTitle += u8"あ";
        cut += i < 59 ? u8"あ" : "";
    }
    const struct {
        unsigned index, count;
        std::string title, name;
    } rows[] = {
        {3, 10, u8"予定", u8"003 予定.txt"},
        {0, 1, "", "000.txt"},
        {12, 13, "a/b\\c:d*e?f\"g<h>i|j", "012 a_b_c_d_e_f_g_h_i_j.txt"},
        {1, 2, "tab\there\nnew\x7F", "001 tab_here_new_.txt"},
        {1, 2, "dots and spaces. . ", "001 dots and spaces.txt"},
        {1, 2, " ...", "001.txt"},
        {1, 2, ".hidden", "001 .hidden.txt"},
        {5, 1001, "x", "0005 x.txt"},
        {12345, 12346, "x", "12345 x.txt"},
        {0, 1, longTitle, cut + ".txt"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Export::fileName(row.index, row.count, row.title), row.name);
    }
}

TEST(Export, EachPageBecomesAUtf8TextFileWithLfLineBreaks) {
    TempFolder folder;
    std::vector<std::unique_ptr<Page>> pages;
    const char* const titles[] = {"a/b", "c\\d", "e:f", "g*h?i\"j<k>l|m", "", "予定表", "same", "same", "末尾。。"};
    for (const char* title : titles) {
        pages.push_back(std::make_unique<Page>());
        pages.back()->title = title;
        pages.back()->text = std::string("page ") + title;
    }
    pages[5]->text = "一行目\r\n二行目\r\n表示\r単独の CR";
    pages[6]->text = "bad \x81\x20 byte";
    saveBook(pages, folder.file("book.bok"));

    const std::string target = (folder.path() / "notes" / "deeper").string();
    const RunResult result = lkbook({"export", folder.file("book.bok"), target});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.err.find("page 6"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("U+FFFD"), std::string::npos) << result.err;

    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(target)) {
        std::ifstream file(entry.path(), std::ios::binary);
        files[entry.path().filename().u8string()].assign(std::istreambuf_iterator<char>(file),
                                                         std::istreambuf_iterator<char>());
    }
    const std::map<std::string, std::string> expected = {
        {"000 a_b.txt", "page a/b"},
        {"001 c_d.txt", "page c\\d"},
        {"002 e_f.txt", "page e:f"},
        {"003 g_h_i_j_k_l_m.txt", "page g*h?i\"j<k>l|m"},
        {"004.txt", "page "},
        {u8"005 予定表.txt", u8"一行目\n二行目\n表示\r単独の CR"},
        {"006 same.txt", u8"bad \uFFFD  byte"},
        {"007 same.txt", "page same"},
        {u8"008 末尾。。.txt", u8"page 末尾。。"},
    };
    EXPECT_EQ(files, expected);

    // A second export replaces the files and leaves others alone.
    writeText((std::filesystem::path(target) / "mine.txt").string(), "keep");
    pages[0]->text = "changed";
    saveBook(pages, folder.file("book.bok"));
    ASSERT_EQ(lkbook({"export", folder.file("book.bok"), target}).code, 0);
    EXPECT_EQ(readText((std::filesystem::path(target) / "000 a_b.txt").string()), "changed");
    EXPECT_EQ(readText((std::filesystem::path(target) / "mine.txt").string()), "keep");
}

TEST(Export, RefusesDamagedBooksAndFoldersItCannotMake) {
    TempFolder folder;
    saveBook(unlikePages(), folder.file("book.bok"));
    writeText(folder.file("file"), "in the way");
    const RunResult blocked = lkbook({"export", folder.file("book.bok"), folder.file("file")});
    EXPECT_EQ(blocked.code, 1);
    EXPECT_NE(blocked.err.find("cannot create the folder"), std::string::npos) << blocked.err;

    Bytes bytes = readAll(folder.file("book.bok"));
    bytes.resize(100);
    writeAll(folder.file("cut.bok"), bytes);
    const RunResult damaged = lkbook({"export", folder.file("cut.bok"), folder.file("out")});
    EXPECT_EQ(damaged.code, 1);
    EXPECT_FALSE(std::filesystem::exists(folder.file("out")));
}

} // namespace
