#include "LkbookTestSupport.h"

#include "book/BookMerge.h"
#include "book/LkError.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

std::vector<std::unique_ptr<Page>> pagesOf(const std::vector<std::pair<const char*, const char*>>& titlesAndTexts) {
    std::vector<std::unique_ptr<Page>> pages;
    for (const auto& [title, text] : titlesAndTexts) {
        pages.push_back(std::make_unique<Page>());
        pages.back()->title = title;
        pages.back()->text = text;
    }
    return pages;
}

// "title:text" for each page of the book file, "unreadable" when it is not one.
std::vector<std::string> pagesIn(const std::string& path) {
    Book book;
    try {
        if (!book.load(path)) {
            return {"unreadable"};
        }
    } catch (const lk_error&) {
        return {"unreadable"};
    }
    std::vector<std::string> pages;
    for (unsigned i = 0; i < book.count(); ++i) {
        pages.push_back(book.at(i)->title + ":" + book.at(i)->text);
    }
    return pages;
}

} // namespace

// Without a base every page of both books is kept, pages found in both once;
// with a base each side's changes are kept and a page both changed
// differently is kept twice, B's version then A's marked. The summary counts
// the pages and names the conflicting ones in UTF-8. The executable merges
// and reports as the function does.
TEST(Merge, WritesTheMergedBookAndNamesTheConflicts) {
    TempFolder folder;
    const std::string a = folder.file("a.bok"), b = folder.file("b.bok"), base = folder.file("base.bok");
    const std::string out = folder.file("out.bok");
    saveBook(pagesOf({{"予定", "十時から"}, {"買い物", "牛乳"}}), base);
    saveBook(pagesOf({{"予定", "十一時から"}, {"買い物", "牛乳"}, {"新しい", "A"}}), a);
    saveBook(pagesOf({{"予定", "九時から"}, {"買い物", "牛乳、卵"}}), b);
    const std::string mark = BookMerge::conflictMark;
    const std::tuple<std::vector<std::string>, std::vector<std::string>, std::string> rows[] = {
        {{"merge", a, b, "-o", out, "--base", base},
         {"予定:九時から", "予定" + mark + ":十一時から", "買い物:牛乳、卵", "新しい:A"},
         u8"wrote 4 pages to '" + out +
             u8"', 1 conflict kept twice (B's version, then A's with （競合コピー） after "
             u8"its title): \"予定\"\n"},
        {{"merge", a, b, "--output", out},
         {"予定:九時から", "予定" + mark + ":十一時から", "買い物:牛乳、卵", "買い物" + mark + ":牛乳", "新しい:A"},
         u8"wrote 5 pages to '" + out +
             u8"', 2 conflicts kept twice (B's version, then A's with （競合コピー） "
             u8"after its title): \"予定\", \"買い物\"\n"},
        {{"merge", base, base, "-o", out},
         {"予定:十時から", "買い物:牛乳"},
         "wrote 2 pages to '" + out + "', no conflicts\n"},
    };
    for (const auto& [arguments, pages, summary] : rows) {
        const RunResult result = lkbook(arguments);
        EXPECT_EQ(result.code, 0) << result.err;
        EXPECT_EQ(result.out, summary);
        EXPECT_EQ(pagesIn(out), pages) << summary;
    }
    std::filesystem::remove(out);
    const std::string summary = folder.file("summary.txt");
    EXPECT_TRUE(executableSucceeds("merge \"" + a + "\" \"" + b + "\" --base \"" + base + "\" -o \"" + out + "\" >\"" +
                                   summary + "\""));
    EXPECT_EQ(readText(summary), std::get<2>(rows[0]));
    EXPECT_EQ(pagesIn(out), std::get<1>(rows[0]));
}

// 2 for a mistake in the command line, OUT naming an input however it is
// spelt among them; 1 for an input that cannot be read, or damaged, and for
// an OUT that cannot be written. Then nothing is written and no input changes.
TEST(Merge, ExitCodesAndComplaints) {
    TempFolder folder;
    const std::string a = folder.file("a.bok"), b = folder.file("b.bok"), base = folder.file("base.bok");
    const std::string out = folder.file("out.bok"), damaged = folder.file("damaged.bok");
    saveBook(unlikePages(), a);
    saveBook(pagesOf({{"x", "y"}}), b);
    saveBook(pagesOf({}), base);
    writeText(damaged, "VeVaRuZa");
    std::filesystem::create_directory(folder.file("sub"));
    const std::vector<Bytes> inputs = {readAll(a), readAll(b), readAll(base)};
    const std::tuple<std::vector<std::string>, int, const char*> rows[] = {
        {{"merge", a, b}, 2, "--output is required"},
        {{"merge", a, "-o", out}, 2, "B is required"},
        {{"merge", a, b, "-o", out, "--bsae", base}, 2, "--bsae"},
        {{"merge", a, b, "-o", a}, 2, "OUT must be another file than A, B and BASE"},
        {{"merge", a, b, "-o", folder.file("sub/../b.bok")}, 2, "OUT must be another file than A, B and BASE"},
        {{"merge", a, b, "--base", base, "-o", folder.file("./base.bok")},
         2,
         "OUT must be another file than A, B and BASE"},
        {{"merge", a, folder.file("missing.bok"), "-o", out}, 1, "cannot open"},
        {{"merge", a, b, "--base", damaged, "-o", out}, 1, "is a damaged book"},
        {{"merge", damaged, b, "-o", out}, 1, "no book was written"},
        {{"merge", a, b, "-o", folder.file("sub")}, 1, "cannot write"},
        {{"merge", a, b, "-o", folder.file("missing/out.bok")}, 1, "cannot write"},
    };
    for (const auto& [arguments, code, mentions] : rows) {
        const RunResult result = lkbook(arguments);
        EXPECT_EQ(result.code, code) << mentions;
        EXPECT_TRUE(contains(result.err, mentions)) << result.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << mentions;
    }
    EXPECT_EQ((std::vector<Bytes>{readAll(a), readAll(b), readAll(base)}), inputs);
    const RunResult help = lkbook({"merge", "--help"});
    EXPECT_TRUE(help.code == 0 && contains(help.out, "--base BASE") && contains(help.out, u8"（競合コピー）"))
        << help.out;
}
