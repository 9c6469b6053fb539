#pragma once

#include "book/Book.h"

#include <initializer_list>
#include <memory>
#include <string>

// Books written and read with the program's own book file code.

struct PageFields {
    const char* title;
    const char* text;
    bool floating = false;
    PageRect floatingRect{10, 10, 110, 110};
};

inline void writeBook(const std::string& path, std::initializer_list<PageFields> pages) {
    Book book;
    for (const PageFields& fields : pages) {
        auto page = std::make_unique<Page>();
        page->title = fields.title;
        page->text = fields.text;
        page->floating = fields.floating;
        page->floatingRect = fields.floatingRect;
        book.append(std::move(page));
    }
    book.save(path);
}

inline std::unique_ptr<Book> readBook(const std::string& path) {
    auto book = std::make_unique<Book>();
    book->load(path);
    return book;
}
