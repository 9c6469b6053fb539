#pragma once

#include "book/Page.h"
#include "book/SafeFileWriter.h"

#include <memory>
#include <string>
#include <vector>

// The ordered pages of the book; the book owns them. Page addresses stay
// stable while other pages are added, removed and moved, because floating
// windows and dialogs keep plain pointers to pages.
class Book {
public:
    Book() = default;
    Book(const Book&) = delete;
    Book& operator=(const Book&) = delete;
    virtual ~Book();

    unsigned count() const { return static_cast<unsigned>(pages.size()); }
    Page* at(unsigned index) const { return pages[index].get(); }

    // Takes ownership and returns the new page's index.
    int append(std::unique_ptr<Page> page);
    void removeAt(unsigned index);
    // Swaps the page with its upper (up) or lower neighbour; false at either end.
    bool move(unsigned index, bool up);
    // Position of the page, or count() when it is not in the book.
    unsigned indexOf(const Page* page) const;
    void clear();

    // false when the file cannot be opened; throws lk_error when it is not a
    // sound book file. The book changes only when the whole file was read.
    bool load(const std::string& path);
    // Writes the book safely: the previous file stays intact unless the new
    // one was written completely. With a backup path the previous generation
    // of the file is kept there. false on any failure.
    // `mayReplace`, when given, is asked just before the new file takes the
    // old one's place; false abandons the save.
    bool save(const std::string& path, const std::string& backupPath = std::string(),
              const SafeFileWriter::ReplaceCheck& mayReplace = {}) const;

    // Replaces all pages at once (the reader builds a complete list first).
    void replacePages(std::vector<std::unique_ptr<Page>> newPages);
    // Hands every page over and leaves the book empty.
    std::vector<std::unique_ptr<Page>> takePages();
    const std::vector<std::unique_ptr<Page>>& allPages() const { return pages; }

private:
    std::vector<std::unique_ptr<Page>> pages;
};
