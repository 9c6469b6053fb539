#pragma once

#include "book/Book.h"
#include "book/BookMerge.h"
#include "book/FileSystem.h"

#include <cstdint>
#include <vector>

// The book in memory as the copy of a file that others may change while the
// program runs (the program on another computer, through a synchronised
// folder; lkbook; a restored backup). It remembers the file as the program
// last read or wrote it (its stamp, and a hash of each page record) and
// which of the book's pages continues which page of it, tells whether the
// file changed since, and takes in what the file holds now by merging it
// with the book page by page.
class SharedBook {
public:
    // A stamp whose time lies closer than this to the moment it was taken
    // could hide a second write in the same tick of a coarse file system
    // clock (two seconds on some): the contents decide once that time passed.
    static constexpr std::int64_t kUnsureFor = 2000000000; // nanoseconds

    explicit SharedBook(Book& book);

    // The book's pages are the file's now: just read from it, or written to
    // it. `stamp` is the file's at that moment, `now` the wall clock.
    void remember(const FileStamp& stamp, std::int64_t now);
    // The page leaves the book: it continues no page of the file any more.
    void forget(const Page* page);

    enum class Look { Unchanged, Changed, Unsure };
    // How the file looks against what was remembered: another stamp is a
    // change; the same stamp is unsure when it was taken too soon after the
    // file's last write, until the contents were compared (once, kUnsureFor
    // after remembering).
    Look look(const FileStamp& current, std::int64_t now) const;
    // The contents were compared and are the ones remembered.
    void confirm();
    const FileStamp& stamp() const { return fileStamp; }

    // Whether pages read from the file are the pages remembered, record for
    // record.
    bool holdsRemembered(const BookMerge::Pages& theirs) const;

    // Merges the book's pages (ours) with `theirs`, read from the file now,
    // against what the file held before. Nothing changes yet.
    BookMerge::Result merge(BookMerge::Pages theirs) const;
    // Puts the merged pages into the book: a page of the book that the merge
    // continues stays the same object and takes the merged values, so the
    // windows that show it keep their pointers; pages new to the book come
    // in. Returns the pages that left the book, for the caller to close
    // their windows before they are destroyed. The file still holds
    // `theirs` (read at `stamp`) until the merged book is written, which
    // calls remember() again.
    BookMerge::Pages apply(BookMerge::Result& result, const FileStamp& stamp, std::int64_t now);

private:
    // For each page of the book, the page of the remembered file it
    // continues, or BookMerge::none.
    std::vector<std::size_t> origins() const;

    Book& book;
    BookMerge::Base base;
    // The page object that continues each base page; null once it is gone.
    std::vector<const Page*> owners;
    FileStamp fileStamp;
    std::int64_t rememberedAt = 0;
    bool unsure = false;
};
