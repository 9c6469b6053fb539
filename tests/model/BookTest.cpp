#include "book/Book.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

// A book of pages with these titles.
struct TitledBook : Book {
    TitledBook(std::initializer_list<const char*> titles) {
        for (const char* title : titles) {
            append(std::make_unique<Page>());
            at(count() - 1)->title = title;
        }
    }
};

std::string titlesOf(const Book& book) {
    std::string titles;
    for (unsigned i = 0; i < book.count(); ++i) {
        titles += book.at(i)->title;
    }
    return titles;
}

} // namespace

TEST(Page, SetTextStampsTheTimeEvenForTheSameText) {
    Page page;
    page.text = "same";
    const auto before = static_cast<std::int32_t>(std::time(nullptr));
    page.setText("same");
    EXPECT_EQ(page.text, "same");
    EXPECT_GE(page.updateTime, before);
    EXPECT_LE(page.updateTime, static_cast<std::int32_t>(std::time(nullptr)));
}

// A page moves one place up or down, keeping its address, but never past
// either end.
TEST(Book, MoveStaysInsideTheBookAndKeepsAddresses) {
    TitledBook book{"a", "b", "c", "d"};
    EXPECT_FALSE(book.move(0, true));
    EXPECT_FALSE(book.move(3, false));
    EXPECT_FALSE(book.move(4, true)) << "beyond the end";
    EXPECT_FALSE(book.move(7, false));
    EXPECT_EQ(titlesOf(book), "abcd");
    Page* c = book.at(2);
    ASSERT_TRUE(book.move(2, true));
    EXPECT_EQ(titlesOf(book), "acbd");
    EXPECT_EQ(book.at(1), c);
    ASSERT_TRUE(book.move(1, false));
    EXPECT_EQ(titlesOf(book), "abcd");
    TitledBook single{"only"};
    EXPECT_FALSE(single.move(0, true));
    EXPECT_FALSE(single.move(0, false));
}

TEST(Book, RemoveAtClosesTheGapAndPageAddressesSurviveGrowth) {
    TitledBook book{"a", "b", "c"};
    Page* c = book.at(2);
    book.removeAt(1);
    EXPECT_EQ(titlesOf(book), "ac");
    EXPECT_EQ(book.indexOf(c), 1u);
    Page stranger;
    EXPECT_EQ(book.indexOf(&stranger), book.count());
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(book.append(std::make_unique<Page>()), i + 2);
    }
    EXPECT_EQ(book.at(1), c);
    book.clear();
    EXPECT_EQ(book.count(), 0u);
}
