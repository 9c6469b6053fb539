#include "book/SharedBook.h"

#include <gtest/gtest.h>

#include <functional>

#include <string>
#include <vector>

namespace {

using Pages = BookMerge::Pages;

std::unique_ptr<Page> page(const std::string& title, const std::string& text) {
    auto made = std::make_unique<Page>();
    made->title = title;
    made->text = text;
    return made;
}

// The book as the file read it at start-up: A, B, C.
void fill(Book& book) {
    for (const char* title : {"A", "B", "C"}) {
        book.append(page(title, std::string(title) + " text"));
    }
}

// The file as another computer left it: the book's pages with `change` applied.
Pages theirsFrom(const Book& book, const std::function<void(Pages&)>& change) {
    Pages pages;
    for (const auto& own : book.allPages()) {
        pages.push_back(std::make_unique<Page>(*own));
    }
    change(pages);
    return pages;
}

std::vector<std::string> texts(const Book& book) {
    std::vector<std::string> found;
    for (const auto& each : book.allPages()) {
        found.push_back(each->title + ":" + each->text);
    }
    return found;
}

FileStamp fileAt(std::int64_t modified, std::uint64_t size = 100) {
    return FileStamp{FileStamp::Kind::File, size, modified};
}

constexpr std::int64_t kSecond = 1000000000;

} // namespace

// Taking in the file keeps every page object the merge continues, with the
// merged values, so windows keep showing their page; a page the other side
// deleted leaves the book and is handed back; a page new to the file comes in.
TEST(SharedBook, TakingInTheFileKeepsThePagesWindowsShow) {
    Book book;
    fill(book);
    SharedBook shared(book);
    shared.remember(fileAt(0), 10 * kSecond);
    const Page* a = book.at(0);
    const Page* b = book.at(1);
    const Page* c = book.at(2);
    const Pages remembered = theirsFrom(book, [](Pages&) {});
    book.at(0)->setText("A typed here");
    Pages theirs = theirsFrom(book, [](Pages& pages) {
        pages[0]->text = "A text";
        pages[1]->text = "B typed there";
        pages.erase(pages.begin() + 2);
        pages.push_back(page("D", "new there"));
    });
    EXPECT_FALSE(shared.holdsRemembered(theirs));
    EXPECT_TRUE(shared.holdsRemembered(remembered));

    BookMerge::Result result = shared.merge(std::move(theirs));
    const Pages left = shared.apply(result, fileAt(5), 11 * kSecond);
    EXPECT_EQ(texts(book), (std::vector<std::string>{"A:A typed here", "B:B typed there", "D:new there"}));
    EXPECT_EQ(book.at(0), a);
    EXPECT_EQ(book.at(1), b);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left.front().get(), c);
    EXPECT_TRUE(result.differsFromTheirs) << "our typing must still reach the file";
    EXPECT_EQ(shared.stamp(), fileAt(5));
}

// Until the merged book is written the file still holds theirs: taking the
// same file in again changes nothing more; once written, the file is ours.
// A page deleted here that the other side changed comes back; one it left
// alone stays deleted.
TEST(SharedBook, TheFileIsOursOnlyOnceWrittenAndDeletionsAreRemembered) {
    Book book;
    fill(book);
    SharedBook shared(book);
    shared.remember(fileAt(0), 10 * kSecond);
    book.at(0)->setText("A typed here");
    const auto theirChange = [](Pages& pages) { pages[2]->text = "C typed there"; };
    BookMerge::Result first = shared.merge(theirsFrom(book, [&](Pages& p) {
        p[0]->text = "A text";
        theirChange(p);
    }));
    shared.apply(first, fileAt(5), 11 * kSecond);
    const std::vector<std::string> merged = texts(book);
    BookMerge::Result again = shared.merge(theirsFrom(book, [&](Pages& p) { p[0]->text = "A text"; }));
    shared.apply(again, fileAt(5), 12 * kSecond);
    EXPECT_EQ(texts(book), merged);
    EXPECT_TRUE(again.conflicts.empty());

    shared.remember(fileAt(6), 13 * kSecond);
    for (const unsigned gone : {1u, 0u}) {
        shared.forget(book.at(gone));
        book.removeAt(gone);
    }
    BookMerge::Result afterDeletes = shared.merge(theirsFrom(book, [](Pages& p) {
        p.insert(p.begin(), page("A", "A typed here"));
        p.insert(p.begin() + 1, page("B", "B typed there later"));
    }));
    shared.apply(afterDeletes, fileAt(7), 14 * kSecond);
    EXPECT_EQ(texts(book), (std::vector<std::string>{"B:B typed there later", "C:C typed there"}));
}

// Another stamp is a change. The same stamp is trusted at once when the file
// was last written long before it was taken; when it was written just before,
// the contents decide once the tick of a coarse clock has passed.
TEST(SharedBook, AStampTakenRightAfterAWriteIsCheckedOnceByItsContents) {
    Book book;
    SharedBook shared(book);
    shared.remember(fileAt(0), 100 * kSecond);
    EXPECT_EQ(shared.look(fileAt(0), 101 * kSecond), SharedBook::Look::Unchanged);
    EXPECT_EQ(shared.look(fileAt(0, 101), 101 * kSecond), SharedBook::Look::Changed);
    EXPECT_EQ(shared.look(fileAt(1), 101 * kSecond), SharedBook::Look::Changed);
    EXPECT_EQ(shared.look(FileStamp{}, 101 * kSecond), SharedBook::Look::Changed);

    shared.remember(fileAt(200 * kSecond), 200 * kSecond + 1);
    EXPECT_EQ(shared.look(fileAt(200 * kSecond), 201 * kSecond), SharedBook::Look::Unchanged);
    EXPECT_EQ(shared.look(fileAt(200 * kSecond), 203 * kSecond), SharedBook::Look::Unsure);
    shared.confirm();
    EXPECT_EQ(shared.look(fileAt(200 * kSecond), 204 * kSecond), SharedBook::Look::Unchanged);
}
