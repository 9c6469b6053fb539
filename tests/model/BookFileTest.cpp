#include "book/Book.h"
#include "book/BookFile.h"
#include "book/LkError.h"
#include "support/Pages.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

// Every field and every byte survive a save and a load. Face names are
// written up to their first zero byte, title and text whole but read up to
// it. An empty book is the magic and a zero count. A book that goes on after
// its last page (its page count shrank, and a save would lose the rest) or
// ends inside it is refused and leaves the book alone. A new name is an
// acceptable choice of book file.
TEST(BookFile, WhatIsSavedIsReadBackAndNothingElseIs) {
    TempFolder folder;
    const std::string path = folder.file("lk.bok");
    Book original;
    original.replacePages(unlikePages());
    ASSERT_TRUE(original.save(path));
    const Bytes saved = readAll(path);
    Book loaded;
    ASSERT_TRUE(loaded.load(path) && loaded.count() == original.count());
    for (unsigned i = 0; i < original.count(); ++i) {
        EXPECT_TRUE(samePage(*loaded.at(i), *original.at(i))) << "page " << i;
    }
    ASSERT_TRUE(loaded.save(path));
    EXPECT_EQ(readAll(path), saved);

    Bytes trailing = saved, shrunk = saved;
    trailing.push_back(0);
    shrunk[9] = 3;
    Page* const kept = loaded.at(0);
    for (const Bytes& bytes : {trailing, shrunk, Bytes(saved.begin(), saved.end() - 1)}) {
        writeAll(path, bytes);
        EXPECT_THROW(loaded.load(path), lk_error);
        EXPECT_TRUE(loaded.count() == 4 && loaded.at(0) == kept);
    }
    EXPECT_TRUE(isBookFileAcceptable(folder.file("new.bok")));

    original.at(0)->title = std::string("ab\0cd", 5);
    original.at(0)->text = std::string("text\0hidden", 11);
    original.at(0)->format.titleFormat.fontFace = std::string("Face\0Tail", 9);
    ASSERT_TRUE(original.save(path) && loaded.load(path));
    EXPECT_EQ(readAll(path)[13 + 54], 4u); // the length of the first title face, after the fixed fields
    const Page& page = *loaded.at(0);
    EXPECT_EQ(page.title + "|" + page.text + "|" + page.format.titleFormat.fontFace, "ab|text|Face");
    ASSERT_TRUE(Book().save(path) && loaded.load(path));
    EXPECT_EQ(readAll(path), bytesOf(std::string("VeVaRuZa\0\0\0\0\0", 13)));
    EXPECT_EQ(loaded.count(), 0u);
}

// A new page's record is 82 bytes and two faces of 13 bytes, with an empty
// title and text; the first 54 bytes and the face are the documented ones.
TEST(BookFile, ANewPageIsTheDocumentedBytes) {
    TempFolder folder;
    Book book;
    book.append(std::make_unique<Page>());
    ASSERT_TRUE(book.save(folder.file("lk.bok")));
    const Bytes bytes = readAll(folder.file("lk.bok"));
    const Bytes expected = {
        0x56, 0x65, 0x56, 0x61, 0x52, 0x75, 0x5A, 0x61, 0x00, 0x01, 0x00, 0x00, 0x00, // magic, one page
        0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x0A, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x6E, 0x00, 0x00, 0x00, 0x6E, 0x00, 0x00, 0x00, 0xFF, 0xFF,
        0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x0A, 0x00, 0x00, 0x00,
        // face length and "ＭＳ ゴシック" in code page 932
        0x0D, 0x00, 0x00, 0x00, 0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53, 0x83, 0x56, 0x83, 0x62, 0x83, 0x4E};
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(expected.size())), expected);
    EXPECT_EQ(bytes.size(), 13u + 82 + 13 + 13);
}

// Every truncation of a two-page book, and an impossible count or length in
// each length field of its first record, is refused with the program's
// message and without a huge allocation, and leaves the book as it was.
TEST(BookFile, EveryTruncationAndImpossibleLengthIsRefused) {
    TempFolder folder;
    Book small;
    small.append(std::make_unique<Page>());
    small.at(0)->title = "短い";
    small.at(0)->text = "本文";
    small.append(std::make_unique<Page>());
    ASSERT_TRUE(small.save(folder.file("lk.bok")));
    const Bytes whole = readAll(folder.file("lk.bok"));
    std::vector<Bytes> damaged;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        damaged.emplace_back(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    }
    // The count, then the title face, editor face, title and text lengths.
    const std::size_t title = 13 + 54 + 4 + 13 + 12 + 4 + 13;
    for (const std::size_t offset : {std::size_t{9}, std::size_t{13 + 54}, title - 4 - 13, title, title + 4 + 4}) {
        for (const std::uint32_t length : {0x7FFFFFFFu, 0xFFFFFFFFu, 1000u}) {
            damaged.push_back(whole);
            std::memcpy(&damaged.back()[offset], &length, sizeof length); // little-endian, as the file
        }
    }
    for (const Bytes& bytes : damaged) {
        writeAll(folder.file("bad.bok"), bytes);
        Book book;
        book.append(std::make_unique<Page>());
        const Page* const kept = book.at(0);
        try {
            book.load(folder.file("bad.bok"));
            ADD_FAILURE() << "accepted: " << bytes.size() << " bytes";
        } catch (const lk_error& error) {
            EXPECT_STREQ(error.what(), BookFile::invalidBookMessage);
        }
        EXPECT_TRUE(book.count() == 1 && book.at(0) == kept);
    }
}

// A failed save leaves the old file intact and no temporary file: the target
// is a folder, its folder is missing. Files that happen to carry the names a
// temporary file might have are never touched, by a save or by its backup.
TEST(BookFile, AFailedSaveLeavesTheOldFileIntactAndNoTemporary) {
    TempFolder folder;
    Book book;
    book.replacePages(unlikePages());
    const std::string target = folder.file("lk.bok");
    const Bytes unrelated = bytesOf("someone else's file");
    for (const char* name : {"lk.bok.tmp", "lk.bok.bak.tmp"}) {
        writeAll(folder.file(name), unrelated);
    }
    ASSERT_TRUE(Book().save(target));
    ASSERT_TRUE(book.save(target, target + ".bak"));
    ASSERT_TRUE(Book().save(target, target + ".bak"));
    for (const char* name : {"lk.bok.tmp", "lk.bok.bak.tmp"}) {
        EXPECT_EQ(readAll(folder.file(name)), unrelated) << name;
        std::filesystem::remove(folder.file(name));
    }
    std::filesystem::remove(target + ".bak");
    const Bytes before = readAll(target);
    std::filesystem::create_directory(folder.file("folder.bok"));
    EXPECT_FALSE(book.save(folder.file("folder.bok")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("folder.bok")));
    EXPECT_FALSE(book.save(folder.file("missing/lk.bok")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing")));
    EXPECT_EQ(readAll(target), before);
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
}
