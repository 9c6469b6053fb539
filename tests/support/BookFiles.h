#pragma once

#include "book/Book.h"
#include "book/BookFile.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

// Books written and read with the program's own book file code.

using Texts = std::vector<std::string>;

struct PageFields {
    const char* title;
    const char* text;
    bool floating = false;
    PageRect floatingRect{10, 10, 110, 110};
};

inline void writeBook(const std::string& path, std::initializer_list<PageFields> pages) {
    Book book;
    for (const PageFields& fields : pages) {
        Page* page = book.at(static_cast<unsigned>(book.append(std::make_unique<Page>())));
        page->title = fields.title;
        page->text = fields.text;
        page->floating = fields.floating;
        page->floatingRect = fields.floatingRect;
    }
    book.save(path);
}

// One field of each page of a sound book file; nothing for any other file.
inline Texts textsIn(const std::string& path, std::string Page::*field = &Page::text) {
    std::vector<std::unique_ptr<Page>> pages;
    BookFileDamage damage;
    Texts texts;
    if (BookFile::inspect(path, pages, damage) && damage.sound() && damage.trailingBytes == 0) {
        for (const auto& page : pages) {
            texts.push_back(*page.*field);
        }
    }
    return texts;
}
