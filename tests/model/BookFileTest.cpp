#include "book/Book.h"
#include "book/BookFile.h"
#include "book/LkError.h"
#include "support/Pages.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

const Bytes kEmptyBook = {0x56, 0x65, 0x56, 0x61, 0x52, 0x75, 0x5A, 0x61, 0x00, 0x00, 0x00, 0x00, 0x00};

// A book of the unlike pages.
struct UnlikeBook : Book {
    UnlikeBook() {
        for (auto& page : unlikePages()) {
            append(std::move(page));
        }
    }
};

Bytes savedBytesOf(const Book& book, const TempFolder& folder) {
    EXPECT_TRUE(book.save(folder.file("saved.bok")));
    return readAll(folder.file("saved.bok"));
}

void putU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

// A damaged file is refused with the program's message and leaves the book
// (one marker page) as it was.
void expectRefused(const TempFolder& folder, const Bytes& bytes) {
    writeAll(folder.file("bad.bok"), bytes);
    Book book;
    book.append(std::make_unique<Page>());
    book.at(0)->title = "untouched";
    try {
        book.load(folder.file("bad.bok"));
        ADD_FAILURE() << "a damaged file was accepted";
    } catch (const lk_error& error) {
        EXPECT_STREQ(error.what(), BookFile::invalidBookMessage);
    }
    ASSERT_EQ(book.count(), 1u);
    EXPECT_EQ(book.at(0)->title, "untouched");
}

} // namespace

// An empty book is the magic and a zero count; a new page's record is the
// documented bytes: 82 bytes plus two faces of 13 bytes, empty title and text.
TEST(BookFile, AnEmptyBookAndANewPageAreTheDocumentedBytes) {
    TempFolder folder;
    EXPECT_EQ(savedBytesOf(Book(), folder), kEmptyBook);
    Book book;
    book.append(std::make_unique<Page>());
    book.append(std::make_unique<Page>());
    EXPECT_TRUE(book.load(folder.file("saved.bok")));
    EXPECT_EQ(book.count(), 0u);

    book.append(std::make_unique<Page>());
    const Bytes bytes = savedBytesOf(book, folder);
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

TEST(BookFile, ARoundTripKeepsEveryFieldAndEveryByte) {
    TempFolder folder;
    const UnlikeBook original;
    const Bytes first = savedBytesOf(original, folder);
    Book loaded;
    ASSERT_TRUE(loaded.load(folder.file("saved.bok")));
    ASSERT_EQ(loaded.count(), original.count());
    for (unsigned i = 0; i < original.count(); ++i) {
        EXPECT_TRUE(samePage(*loaded.at(i), *original.at(i))) << "page " << i;
    }
    EXPECT_EQ(savedBytesOf(loaded, folder), first);
}

// Face names are written up to their first zero byte; title and text are
// written whole but read up to it.
TEST(BookFile, StringsEndAtTheirFirstZeroByte) {
    TempFolder folder;
    Book book;
    book.append(std::make_unique<Page>());
    book.at(0)->title = std::string("ab\0cd", 5);
    book.at(0)->text = std::string("text\0hidden", 11);
    book.at(0)->format.titleFormat.fontFace = std::string("Face\0Tail", 9);
    EXPECT_EQ(savedBytesOf(book, folder)[13 + 54], 4u);
    Book loaded;
    ASSERT_TRUE(loaded.load(folder.file("saved.bok")));
    EXPECT_EQ(loaded.at(0)->title, "ab");
    EXPECT_EQ(loaded.at(0)->text, "text");
    EXPECT_EQ(loaded.at(0)->format.titleFormat.fontFace, "Face");
}

// Anything but the eight letters and a zero byte; every truncation of two
// records; a long text cut in the middle; an impossible count or length
// (without a huge allocation); bytes after the last page, or a count that
// shrank and left a record behind, which loading and saving would lose.
TEST(BookFile, DamagedFilesAreRefusedAndLeaveTheBookAlone) {
    TempFolder folder;
    for (const Bytes& start : {bytesOf(std::string("VeVaRuZa") + '\x01'), bytesOf("VeVaRuZ"), bytesOf("vevaruza"),
                               Bytes{}, bytesOf(std::string("VeVaRuZ\0", 8))}) {
        Bytes file = start;
        file.resize(file.size() + 4, 0);
        expectRefused(folder, file);
        writeAll(folder.file("bad.bok"), file);
        EXPECT_FALSE(isBookFileAcceptable(folder.file("bad.bok")));
    }
    Book small;
    small.append(std::make_unique<Page>());
    small.at(0)->title = "短い";
    small.at(0)->text = "本文";
    small.append(std::make_unique<Page>());
    const Bytes whole = savedBytesOf(small, folder);
    for (std::size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE("length " + std::to_string(length));
        expectRefused(folder, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
    }
    const Bytes big = savedBytesOf(UnlikeBook(), folder);
    expectRefused(folder, Bytes(big.begin(), big.begin() + static_cast<std::ptrdiff_t>(big.size() / 2)));

    // The count, and the length fields of the first record: title face,
    // editor face, title and text (after the title's four bytes).
    const std::size_t title = 13 + 54 + 4 + 13 + 12 + 4 + 13;
    for (const std::size_t offset : {std::size_t{9}, std::size_t{13 + 54}, title - 4 - 13, title, title + 4 + 4}) {
        for (const std::uint32_t length : {0x7FFFFFFFu, 0xFFFFFFFFu, 1000u}) {
            SCOPED_TRACE(std::to_string(offset) + " = " + std::to_string(length));
            Bytes damaged = whole;
            putU32(damaged, offset, length);
            expectRefused(folder, damaged);
        }
    }
    Bytes trailing = whole;
    trailing.push_back(0x42);
    expectRefused(folder, trailing);
    Bytes shrunkCount = whole;
    putU32(shrunkCount, 9, 1);
    expectRefused(folder, shrunkCount);
}

// Inspection reports where the file is damaged and keeps the whole pages
// before it, for salvage.
TEST(BookFile, InspectReportsWhereTheFileIsDamaged) {
    TempFolder folder;
    Book book;
    book.append(std::make_unique<Page>());
    book.append(std::make_unique<Page>());
    const Bytes sound = savedBytesOf(book, folder);
    const auto inspect = [&](const Bytes& bytes, std::size_t pagesKept) {
        writeAll(folder.file("bad.bok"), bytes);
        std::vector<std::unique_ptr<Page>> pages;
        BookFileDamage damage;
        EXPECT_TRUE(BookFile::inspect(folder.file("bad.bok"), pages, damage));
        EXPECT_EQ(pages.size(), pagesKept);
        return damage;
    };
    BookFileDamage damage = inspect(Bytes(sound.begin(), sound.end() - 1), 1);
    EXPECT_EQ(damage.kind, BookFileDamage::Kind::RecordEndsEarly);
    EXPECT_EQ(damage.pageIndex, 1u);
    EXPECT_STREQ(damage.field, "text");
    Bytes longTitle = sound;
    putU32(longTitle, 13 + 100, 0x7FFFFFFF);
    damage = inspect(longTitle, 0);
    EXPECT_EQ(damage.kind, BookFileDamage::Kind::LengthTooLarge);
    EXPECT_EQ(damage.offset, 13u + 100);
    EXPECT_EQ(inspect(Bytes(sound.begin(), sound.begin() + 11), 0).kind, BookFileDamage::Kind::EndsInHeader);
    Bytes trailing = sound;
    trailing.push_back(0x42);
    damage = inspect(trailing, 2);
    EXPECT_TRUE(damage.sound());
    EXPECT_EQ(damage.trailingBytes, 1u);
}

// A missing file or a folder cannot be opened; a new name and a book are
// acceptable choices of book file, an empty file or a text file are not.
TEST(BookFile, MissingFilesAndFoldersAreNoBooks) {
    TempFolder folder;
    Book book;
    book.append(std::make_unique<Page>());
    EXPECT_FALSE(book.load(folder.file("missing.bok")));
    EXPECT_FALSE(book.load(folder.path().string()));
    EXPECT_EQ(book.count(), 1u);
    EXPECT_TRUE(isBookFileAcceptable(folder.file("new.bok")));
    writeAll(folder.file("empty.bok"), {});
    EXPECT_FALSE(isBookFileAcceptable(folder.file("empty.bok")));
    writeAll(folder.file("book.bok"), kEmptyBook);
    EXPECT_TRUE(isBookFileAcceptable(folder.file("book.bok")));
    writeAll(folder.file("text.txt"), bytesOf("just some text"));
    EXPECT_FALSE(isBookFileAcceptable(folder.file("text.txt")));
}

// A failed save leaves the old file intact and no temporary file: the
// temporary's name is taken, the target is a folder, the folder is missing.
// A save that works replaces the book.
TEST(BookFile, AFailedSaveLeavesTheOldFileIntactAndNoTemporary) {
    TempFolder folder;
    const UnlikeBook book;
    const std::string target = folder.file("lk.bok");
    writeAll(target, kEmptyBook);
    std::filesystem::create_directory(target + ".tmp");
    EXPECT_FALSE(book.save(target));
    std::filesystem::remove(target + ".tmp");
    std::filesystem::create_directory(folder.file("folder.bok"));
    EXPECT_FALSE(book.save(folder.file("folder.bok")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("folder.bok")));
    EXPECT_FALSE(book.save(folder.file("missing/lk.bok")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing")));
    EXPECT_EQ(readAll(target), kEmptyBook);
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
    ASSERT_TRUE(book.save(target));
    ASSERT_TRUE(Book().save(target));
    EXPECT_EQ(readAll(target), kEmptyBook);
}
