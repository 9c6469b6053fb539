#include "book/Book.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

std::unique_ptr<Page> titled(const std::string& title) {
    auto page = std::make_unique<Page>();
    page->title = title;
    return page;
}

std::vector<std::string> titlesOf(const Book& book) {
    std::vector<std::string> titles;
    for (unsigned i = 0; i < book.count(); ++i) {
        titles.push_back(book.at(i)->title);
    }
    return titles;
}

Book& bookOf(Book& book, std::initializer_list<const char*> titles) {
    for (const char* title : titles) {
        book.append(titled(title));
    }
    return book;
}

} // namespace

TEST(Page, FreshPageHasTheDocumentedDefaults) {
    const Page page;
    EXPECT_EQ(page.updateTime, -1);
    EXPECT_FALSE(page.readOnly || page.imeAutoOn || page.floating || page.alwaysOnTop || page.fixedSize ||
                 page.showTitle);
    EXPECT_TRUE(page.title.empty());
    EXPECT_TRUE(page.text.empty());
    EXPECT_EQ(page.format.frameColor, 0xFFFFFFFFu);
    EXPECT_EQ(page.format.frameStyle, 1);
    for (const TextFormat* format : {&page.format.titleFormat, &page.format.editorFormat}) {
        EXPECT_EQ(format->backColor, 0xFFFFFFFFu);
        EXPECT_EQ(format->textColor, 0xFFFFFFFFu);
        EXPECT_EQ(format->fontFace, "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E"); // ＭＳ ゴシック in CP932
        EXPECT_EQ(format->fontSize, 10);
    }
    EXPECT_EQ(page.selectionStart, 0);
    EXPECT_EQ(page.selectionEnd, 0);
    EXPECT_EQ(page.floatingRect, (PageRect{10, 10, 110, 110}));
}

TEST(Page, SetTextStampsTheTimeEvenForTheSameText) {
    Page page;
    page.text = "same";
    const auto before = static_cast<std::int32_t>(std::time(nullptr));
    page.setText("same");
    const auto after = static_cast<std::int32_t>(std::time(nullptr));
    EXPECT_EQ(page.text, "same");
    EXPECT_GE(page.updateTime, before);
    EXPECT_LE(page.updateTime, after);
}

TEST(Book, AppendReturnsTheNewIndex) {
    Book book;
    EXPECT_EQ(book.append(titled("a")), 0);
    EXPECT_EQ(book.append(titled("b")), 1);
    EXPECT_EQ(book.count(), 2u);
}

TEST(Book, MoveRefusesToLeaveEitherEnd) {
    Book book;
    bookOf(book, {"a", "b", "c"});
    EXPECT_FALSE(book.move(0, true));
    EXPECT_FALSE(book.move(2, false));
    EXPECT_FALSE(book.move(3, true)); // beyond the end
    EXPECT_EQ(titlesOf(book), (std::vector<std::string>{"a", "b", "c"}));

    Book single;
    bookOf(single, {"only"});
    EXPECT_FALSE(single.move(0, true));
    EXPECT_FALSE(single.move(0, false));
}

TEST(Book, MoveUpThenDownRestoresTheOrderAndKeepsAddresses) {
    Book book;
    bookOf(book, {"a", "b", "c", "d"});
    Page* c = book.at(2);
    ASSERT_TRUE(book.move(2, true));
    EXPECT_EQ(titlesOf(book), (std::vector<std::string>{"a", "c", "b", "d"}));
    EXPECT_EQ(book.at(1), c);
    ASSERT_TRUE(book.move(1, false));
    EXPECT_EQ(titlesOf(book), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(book.at(2), c);
}

TEST(Book, RemoveAtClosesTheGapAndIndexOfFindsPointers) {
    Book book;
    bookOf(book, {"a", "b", "c"});
    Page* c = book.at(2);
    book.removeAt(1);
    EXPECT_EQ(titlesOf(book), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(book.indexOf(c), 1u);
    Page stranger;
    EXPECT_EQ(book.indexOf(&stranger), book.count());
    book.clear();
    EXPECT_EQ(book.count(), 0u);
}

TEST(Book, PageAddressesSurviveGrowth) {
    Book book;
    book.append(titled("first"));
    Page* first = book.at(0);
    for (int i = 0; i < 1000; ++i) {
        book.append(titled("more"));
    }
    EXPECT_EQ(book.at(0), first);
    EXPECT_EQ(first->title, "first");
}
