#include "book/Book.h"

#include <gtest/gtest.h>

// A page moves one place up or down, never past either end, and a removed
// page closes the gap; pages keep their addresses through moves, removals and
// the growth of the book, since windows hold plain pointers to them.
TEST(Book, PagesMoveInsideTheBookAndKeepTheirAddresses) {
    Book book;
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(book.append(std::make_unique<Page>()), i);
    }
    Page* const first = book.at(0);
    Page* const second = book.at(1);
    for (const auto& [index, up] : {std::pair{0u, true}, {999u, false}, {1000u, true}, {1007u, false}}) {
        EXPECT_FALSE(book.move(index, up)) << index;
    }
    ASSERT_TRUE(book.move(1, true));
    EXPECT_TRUE(book.at(0) == second && book.at(1) == first);
    book.removeAt(0);
    Page stranger;
    EXPECT_TRUE(book.indexOf(first) == 0 && book.indexOf(&stranger) == 999);
}
