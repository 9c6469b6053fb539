#include "LkbookTestSupport.h"

#include "tools/lkbook/Export.h"
#include "tools/lkbook/Times.h"

#include <gtest/gtest.h>

// One line per page: index, text size, local update time or "-", floating or
// "-", and the title in UTF-8 with tabs and line breaks as blanks.
TEST(List, OneTabSeparatedLinePerPage) {
    TempFolder folder;
    auto pages = unlikePages();
    pages[1]->title = "タブ\tと\r\n改行";
    const std::string first = std::to_string(pages[0]->text.size()) + "\t" + Times::formatLocal(pages[0]->updateTime);
    saveBook(std::move(pages), folder.file("book.bok"));
    EXPECT_EQ(lkbook({"list", folder.file("book.bok")}).out,
              "0\t" + first + u8"\tfloating\t予定\n1\t0\t-\t-\tタブ と  改行\n2\t0\t" + Times::formatLocal(INT_MIN) +
                  "\t-\t\n3\t11\t" + Times::formatLocal(INT_MAX) + u8"\t-\tｱｲ\\\n");
}

// Each page becomes a UTF-8 text file with LF line breaks, named by its index
// and its title as a file name on any system can hold it; bytes that are not
// code page 932 become U+FFFD with a warning naming the page. Other files in
// the folder are left alone. A long title is cut between characters.
TEST(Export, EachPageBecomesAUtf8TextFile) {
    TempFolder folder;
    std::vector<std::unique_ptr<Page>> pages;
    for (const char* text : {"一行目\r\n二行目 \x87\x90\r\n表示\r単独の CR", "bad \x81\x20 byte\x82", ""}) {
        pages.push_back(std::make_unique<Page>());
        pages.back()->title = pages.size() == 3 ? " ..." : "a/b\\c:d*e?f\"g<h>i|j\tk\x7F. .";
        pages.back()->text = text;
    }
    saveBook(std::move(pages), folder.file("book.bok"));
    const std::filesystem::path target = folder.path() / "notes" / "deeper";
    ASSERT_EQ(lkbook({"export", folder.file("book.bok"), target.string()}).code, 0);
    std::ofstream(target / "mine.txt") << "keep";
    const RunResult result = lkbook({"export", folder.file("book.bok"), target.string()});
    EXPECT_TRUE(result.code == 0 && contains(result.err, "page 1") && contains(result.err, "U+FFFD")) << result.err;
    const std::pair<const char*, std::string> files[] = {
        {"000 a_b_c_d_e_f_g_h_i_j_k_.txt", u8"一行目\n二行目 ≒\n表示\r単独の CR"},
        {"001 a_b_c_d_e_f_g_h_i_j_k_.txt", u8"bad \uFFFD  byte\uFFFD"},
        {"002.txt", ""},
        {"mine.txt", "keep"}};
    for (const auto& [name, text] : files) {
        EXPECT_EQ(readText((target / name).string()), text) << name;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target), {}), 4);
    const std::string title = u8"aｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱ"; // 181 bytes
    EXPECT_EQ(Export::fileName(5, 1001, title), "0005 " + title.substr(0, 178) + ".txt");
}
