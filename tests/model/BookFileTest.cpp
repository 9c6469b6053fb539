#include "book/Book.h"
#include "book/BookFile.h"
#include "book/LkError.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const Bytes kEmptyBook = {0x56, 0x65, 0x56, 0x61, 0x52, 0x75, 0x5A, 0x61, 0x00, 0x00, 0x00, 0x00, 0x00};

// Pages that differ from the defaults and from each other in every field.
void fillUnlikePages(Book& book) {
    auto first = std::make_unique<Page>();
    first->title = "予定";
    first->setText(std::string("一行目\r\n二行目\r\n") + std::string(20000, 'x') + "終わり");
    first->readOnly = true;
    first->floating = true;
    first->fixedSize = true;
    first->selectionStart = 3;
    first->selectionEnd = 17;
    first->floatingRect = {-1200, -30, -900, 250};
    first->format.frameColor = 0x00123456;
    first->format.frameStyle = Sunken;
    first->format.titleFormat = {0x00FF0000, 0x0000FF00, "ＭＳ 明朝", 14};
    first->format.editorFormat = {0x00000000, 0x00FFFFFF, "IPAゴシック", 72};
    book.append(std::move(first));

    auto second = std::make_unique<Page>(); // all defaults: -1 time, automatic colours
    book.append(std::move(second));

    auto third = std::make_unique<Page>();
    third->updateTime = 0x7FFFFFFF;
    third->imeAutoOn = true;
    third->alwaysOnTop = true;
    third->showTitle = true;
    third->title = "";
    third->text = "";
    third->format.titleFormat.fontFace = "";
    third->format.editorFormat.fontFace = "";
    third->format.frameStyle = Raised;
    third->format.titleFormat.fontSize = -5;
    book.append(std::move(third));
}

void expectSamePage(const Page& a, const Page& b) {
    EXPECT_EQ(a.updateTime, b.updateTime);
    EXPECT_EQ(a.readOnly, b.readOnly);
    EXPECT_EQ(a.imeAutoOn, b.imeAutoOn);
    EXPECT_EQ(a.floating, b.floating);
    EXPECT_EQ(a.alwaysOnTop, b.alwaysOnTop);
    EXPECT_EQ(a.fixedSize, b.fixedSize);
    EXPECT_EQ(a.showTitle, b.showTitle);
    EXPECT_EQ(a.title, b.title);
    EXPECT_EQ(a.text, b.text);
    EXPECT_TRUE(a.format == b.format);
    EXPECT_EQ(a.selectionStart, b.selectionStart);
    EXPECT_EQ(a.selectionEnd, b.selectionEnd);
    EXPECT_EQ(a.floatingRect, b.floatingRect);
}

Bytes savedBytesOf(const Book& book, const TempFolder& folder) {
    const std::string path = folder.file("saved.bok");
    EXPECT_TRUE(book.save(path));
    return readAll(path);
}

std::uint32_t u32At(const Bytes& bytes, std::size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 | std::uint32_t(bytes[offset + 3]) << 24;
}

void putU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

// A book with one marker page, to show that a refused load leaves it alone.
void markBook(Book& book) {
    auto page = std::make_unique<Page>();
    page->title = "untouched";
    book.append(std::move(page));
}

void expectRefused(const std::string& path) {
    Book book;
    markBook(book);
    try {
        book.load(path);
        ADD_FAILURE() << "a damaged file was accepted";
    } catch (const lk_error& error) {
        EXPECT_STREQ(error.what(), BookFile::invalidBookMessage);
    }
    ASSERT_EQ(book.count(), 1u);
    EXPECT_EQ(book.at(0)->title, "untouched");
}

} // namespace

TEST(BookFile, EmptyBookIsExactlyThirteenBytesAndLoadsEmpty) {
    TempFolder folder;
    Book empty;
    EXPECT_EQ(savedBytesOf(empty, folder), kEmptyBook);

    Book book;
    markBook(book);
    EXPECT_TRUE(book.load(folder.file("saved.bok")));
    EXPECT_EQ(book.count(), 0u);
}

TEST(BookFile, DefaultPageRecordMatchesTheDocumentedBytes) {
    TempFolder folder;
    Book book;
    book.append(std::make_unique<Page>());
    const Bytes bytes = savedBytesOf(book, folder);

    const Bytes expected = {
        0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x0A, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x6E, 0x00, 0x00, 0x00, 0x6E, 0x00, 0x00, 0x00, 0xFF, 0xFF,
        0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x0A, 0x00, 0x00, 0x00,
        // face length and "ＭＳ ゴシック" in code page 932
        0x0D, 0x00, 0x00, 0x00, 0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53, 0x83, 0x56, 0x83, 0x62, 0x83, 0x4E};
    ASSERT_GE(bytes.size(), 13 + expected.size());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 13), (Bytes{0x56, 0x65, 0x56, 0x61, 0x52, 0x75, 0x5A, 0x61, 0x00,
                                                               0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Bytes(bytes.begin() + 13, bytes.begin() + 13 + expected.size()), expected);
    // The whole record: 82 bytes plus two faces of 13 bytes, empty title and text.
    EXPECT_EQ(bytes.size(), 13u + 82 + 13 + 13);
}

TEST(BookFile, RoundTripKeepsEveryFieldOfUnlikePages) {
    TempFolder folder;
    Book original;
    fillUnlikePages(original);
    const Bytes first = savedBytesOf(original, folder);

    Book loaded;
    ASSERT_TRUE(loaded.load(folder.file("saved.bok")));
    ASSERT_EQ(loaded.count(), original.count());
    for (unsigned i = 0; i < original.count(); ++i) {
        SCOPED_TRACE("page " + std::to_string(i));
        expectSamePage(*loaded.at(i), *original.at(i));
    }
    EXPECT_EQ(savedBytesOf(loaded, folder), first);
}

TEST(BookFile, StringsEndAtTheirFirstZeroByte) {
    TempFolder folder;
    Book book;
    auto page = std::make_unique<Page>();
    page->title = std::string("ab\0cd", 5);
    page->text = std::string("text\0hidden", 11);
    page->format.titleFormat.fontFace = std::string("Face\0Tail", 9);
    book.append(std::move(page));
    const Bytes bytes = savedBytesOf(book, folder);
    // Face names are written up to their zero byte, title and text whole.
    EXPECT_EQ(u32At(bytes, 13 + 54), 4u);

    Book loaded;
    ASSERT_TRUE(loaded.load(folder.file("saved.bok")));
    EXPECT_EQ(loaded.at(0)->title, "ab");
    EXPECT_EQ(loaded.at(0)->text, "text");
    EXPECT_EQ(loaded.at(0)->format.titleFormat.fontFace, "Face");
}

TEST(BookFile, MagicMustBeTheEightLettersAndAZeroByte) {
    TempFolder folder;
    const std::string path = folder.file("book.bok");
    for (const Bytes& start : {bytesOf(std::string("VeVaRuZa") + '\x01'), bytesOf("VeVaRuZ"), bytesOf("vevaruza"),
                               Bytes{}, bytesOf(std::string("VeVaRuZ\0", 8))}) {
        Bytes file = start;
        file.resize(file.size() + 4, 0);
        writeAll(path, file);
        expectRefused(path);
        EXPECT_FALSE(isBookFileAcceptable(path));
    }
}

TEST(BookFile, EveryTruncationIsRefusedAndLeavesTheBookAlone) {
    TempFolder folder;
    Book book;
    fillUnlikePages(book);
    Book small; // keeps the loop short but crosses every field of two records
    auto page = std::make_unique<Page>();
    page->title = "短い";
    page->text = "本文";
    small.append(std::move(page));
    small.append(std::make_unique<Page>());
    const Bytes whole = savedBytesOf(small, folder);
    const std::string path = folder.file("cut.bok");
    for (std::size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE("length " + std::to_string(length));
        writeAll(path, Bytes(whole.begin(), whole.begin() + length));
        expectRefused(path);
    }
    // A long text cut in the middle is refused as well.
    const Bytes big = savedBytesOf(book, folder);
    writeAll(path, Bytes(big.begin(), big.begin() + big.size() / 2));
    expectRefused(path);
}

TEST(BookFile, ImpossibleCountsAndLengthsAreRefusedWithoutHugeAllocations) {
    TempFolder folder;
    Book book;
    book.append(std::make_unique<Page>());
    const Bytes sound = savedBytesOf(book, folder);
    const std::string path = folder.file("bad.bok");

    Bytes hugeCount = sound;
    putU32(hugeCount, 9, 0xFFFFFFFF);
    writeAll(path, hugeCount);
    expectRefused(path);

    // Every length field in turn: title face, editor face, title and text.
    const std::size_t titleFace = 13 + 54;
    const std::size_t editorFace = titleFace + 4 + 13 + 12;
    const std::size_t title = editorFace + 4 + 13;
    const std::size_t text = title + 4;
    for (std::size_t offset : {titleFace, editorFace, title, text}) {
        for (std::uint32_t length : {0x7FFFFFFFu, 0xFFFFFFFFu, 1000u}) {
            SCOPED_TRACE("length field at " + std::to_string(offset) + " = " + std::to_string(length));
            Bytes damaged = sound;
            putU32(damaged, offset, length);
            writeAll(path, damaged);
            expectRefused(path);
        }
    }
}

TEST(BookFile, InspectReportsWhereTheFileIsDamaged) {
    TempFolder folder;
    Book book;
    book.append(std::make_unique<Page>());
    book.append(std::make_unique<Page>());
    const Bytes sound = savedBytesOf(book, folder);
    const std::string path = folder.file("bad.bok");

    std::vector<std::unique_ptr<Page>> pages;
    BookFileDamage damage;
    writeAll(path, Bytes(sound.begin(), sound.end() - 1));
    ASSERT_TRUE(BookFile::inspect(path, pages, damage));
    EXPECT_EQ(damage.kind, BookFileDamage::Kind::RecordEndsEarly);
    EXPECT_EQ(damage.pageIndex, 1u);
    EXPECT_EQ(damage.pagesRead, 1u);
    EXPECT_EQ(pages.size(), 1u); // the whole first page is kept for salvage
    EXPECT_STREQ(damage.field, "text");

    pages.clear();
    Bytes longTitle = sound;
    putU32(longTitle, 13 + 100, 0x7FFFFFFF);
    writeAll(path, longTitle);
    ASSERT_TRUE(BookFile::inspect(path, pages, damage));
    EXPECT_EQ(damage.kind, BookFileDamage::Kind::LengthTooLarge);
    EXPECT_EQ(damage.offset, 13u + 100);
    EXPECT_EQ(damage.pageIndex, 0u);

    pages.clear();
    writeAll(path, Bytes(sound.begin(), sound.begin() + 11));
    ASSERT_TRUE(BookFile::inspect(path, pages, damage));
    EXPECT_EQ(damage.kind, BookFileDamage::Kind::EndsInHeader);

    pages.clear();
    Bytes trailing = sound;
    trailing.push_back(0x42);
    writeAll(path, trailing);
    ASSERT_TRUE(BookFile::inspect(path, pages, damage));
    EXPECT_TRUE(damage.sound());
    EXPECT_EQ(damage.trailingBytes, 1u);
    EXPECT_EQ(pages.size(), 2u);
    // A page count that shrank leaves the last record behind as trailing
    // bytes: loading and saving such a file would lose it.
    expectRefused(path);
    Bytes shrunkCount = sound;
    putU32(shrunkCount, 9, 1);
    writeAll(path, shrunkCount);
    expectRefused(path);
}

TEST(BookFile, MissingFilesAndFoldersCannotBeOpened) {
    TempFolder folder;
    Book book;
    markBook(book);
    EXPECT_FALSE(book.load(folder.file("missing.bok")));
    EXPECT_FALSE(book.load(folder.path().string()));
    EXPECT_EQ(book.count(), 1u);
}

TEST(BookFile, AcceptableFilesAreNewFilesAndBooks) {
    TempFolder folder;
    EXPECT_TRUE(isBookFileAcceptable(folder.file("new.bok")));
    writeAll(folder.file("empty.bok"), {});
    EXPECT_FALSE(isBookFileAcceptable(folder.file("empty.bok")));
    writeAll(folder.file("book.bok"), kEmptyBook);
    EXPECT_TRUE(isBookFileAcceptable(folder.file("book.bok")));
    writeAll(folder.file("text.txt"), bytesOf("just some text"));
    EXPECT_FALSE(isBookFileAcceptable(folder.file("text.txt")));
}

TEST(BookFile, FailedSaveLeavesTheOldFileIntactAndNoTemporary) {
    TempFolder folder;
    Book book;
    fillUnlikePages(book);
    const std::string target = folder.file("lk.bok");
    writeAll(target, kEmptyBook);

    // The temporary file cannot be created: something else holds its name.
    std::filesystem::create_directory(target + ".tmp");
    EXPECT_FALSE(book.save(target));
    EXPECT_EQ(readAll(target), kEmptyBook);
    std::filesystem::remove(target + ".tmp");

    // The target is a folder.
    const std::string folderTarget = folder.file("folder.bok");
    std::filesystem::create_directory(folderTarget);
    EXPECT_FALSE(book.save(folderTarget));
    EXPECT_TRUE(std::filesystem::is_directory(folderTarget));
    EXPECT_FALSE(std::filesystem::exists(folderTarget + ".tmp"));

    // The folder does not exist.
    EXPECT_FALSE(book.save(folder.file("missing/lk.bok")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing")));

    EXPECT_EQ(readAll(target), kEmptyBook);
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
}

TEST(BookFile, SaveIntoAReadOnlyFolderFails) {
    // Even the superuser cannot create files in the process file system.
#ifdef _WIN32
    const std::string target = "Z:\\proc\\lk.bok";
#else
    const std::string target = "/proc/lk.bok";
#endif
    if (!std::filesystem::exists(std::filesystem::path(target).parent_path())) {
        GTEST_SKIP() << "no /proc on this system";
    }
    Book book;
    book.append(std::make_unique<Page>());
    EXPECT_FALSE(book.save(target));
}

TEST(BookFile, SaveReplacesAnExistingBook) {
    TempFolder folder;
    const std::string target = folder.file("lk.bok");
    Book book;
    fillUnlikePages(book);
    ASSERT_TRUE(book.save(target));
    Book empty;
    ASSERT_TRUE(empty.save(target));
    EXPECT_EQ(readAll(target), kEmptyBook);
    EXPECT_FALSE(std::filesystem::exists(target + ".tmp"));
}
