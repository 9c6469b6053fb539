#include "LkbookTestSupport.h"

#include <gtest/gtest.h>

namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A book of three short pages (so that cutting it at every length stays
// quick) and the offsets at which each of its records ends.
struct SmallBook {
    std::vector<std::unique_ptr<Page>> pages;
    std::vector<std::size_t> recordEnds; // recordEnds[k]: end of the first k records
    Bytes bytes;

    explicit SmallBook(const TempFolder& folder) {
        for (const char* title : {"一", "", "三番目"}) {
            auto page = std::make_unique<Page>();
            page->title = title;
            page->text = std::string("本文\r\n") + title;
            page->format.titleFormat.fontFace = "A";
            page->format.editorFormat.fontFace = "";
            pages.push_back(std::move(page));
        }
        const std::string scratch = folder.file("scratch.bok");
        for (std::size_t k = 0; k <= pages.size(); ++k) {
            std::vector<std::unique_ptr<Page>> first;
            for (std::size_t i = 0; i < k; ++i) {
                first.push_back(std::make_unique<Page>(*pages[i]));
            }
            saveBook(first, scratch);
            recordEnds.push_back(readAll(scratch).size());
        }
        saveBook(pages, scratch);
        bytes = readAll(scratch);
    }

    // Whole records in the first `length` bytes.
    std::size_t wholeRecordsIn(std::size_t length) const {
        std::size_t k = 0;
        while (k + 1 < recordEnds.size() && recordEnds[k + 1] <= length) {
            ++k;
        }
        return k;
    }

    Bytes firstPagesFile(std::size_t k, const TempFolder& folder) const {
        std::vector<std::unique_ptr<Page>> first;
        for (std::size_t i = 0; i < k; ++i) {
            first.push_back(std::make_unique<Page>(*pages[i]));
        }
        saveBook(first, folder.file("expected.bok"));
        return readAll(folder.file("expected.bok"));
    }
};

// What check says of each kind of file, with its exit code: a sound book
// passes; bytes after the last page (which Leafkeeper refuses), a file
// without the magic and a length larger than the rest of the file are
// described with where they are; a missing file or a folder cannot be opened.
TEST(Check, DescribesEachKindOfFile) {
    TempFolder folder;
    saveBook(unlikePages(), folder.file("book.bok"));
    saveBook({}, folder.file("empty.bok"));
    Bytes bytes = readAll(folder.file("book.bok"));
    bytes.insert(bytes.end(), {'x', 'y', 'z'});
    writeAll(folder.file("trailing.bok"), bytes);
    writeText(folder.file("notabook.bok"), "This is a text file, not a book.");
    std::vector<std::unique_ptr<Page>> pages;
    pages.push_back(std::make_unique<Page>());
    pages.push_back(std::make_unique<Page>());
    pages.back()->text = "abc";
    saveBook(pages, folder.file("long.bok"));
    bytes = readAll(folder.file("long.bok"));
    const std::size_t textLength = bytes.size() - 3 - 4; // page 1's text length
    bytes[textLength] = 200;
    writeAll(folder.file("long.bok"), bytes);
    const struct {
        std::string file;
        int code;
        std::vector<std::string> out; // parts of standard output; none: it is empty
        std::string err;
    } rows[] = {
        {"book.bok", 0, {"sound book: 4 pages\n"}, ""},
        {"empty.bok", 0, {"sound book: 0 pages\n"}, ""},
        {"trailing.bok", 1, {"damaged book: 4 pages can be read whole", "3 bytes after the last page"}, ""},
        {"notabook.bok", 1, {"does not begin with the book magic"}, ""},
        {"long.bok", 1,
         {"text of page 1 claims a length larger than the rest of the file at byte offset " +
              std::to_string(textLength),
          "1 of 2 pages can be read whole"},
         ""},
        {"missing.bok", 1, {}, "cannot open"},
        {"", 1, {}, "cannot open"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        const RunResult result = lkbook({"check", row.file.empty() ? folder.path().string() : folder.file(row.file)});
        EXPECT_EQ(result.code, row.code);
        for (const std::string& part : row.out) {
            EXPECT_TRUE(contains(result.out, part)) << result.out;
        }
        EXPECT_EQ(result.out.empty(), row.out.empty());
        EXPECT_TRUE(contains(result.err, row.err)) << result.err;
    }
}

TEST(CheckSalvage, EveryTruncationIsFoundAndTheWholePagesBeforeItAreSaved) {
    TempFolder folder;
    const SmallBook book(folder);
    const std::string cut = folder.file("cut.bok");
    const std::string out = folder.file("out.bok");
    for (std::size_t length = 0; length < book.bytes.size(); ++length) {
        SCOPED_TRACE("length " + std::to_string(length));
        writeAll(cut, Bytes(book.bytes.begin(), book.bytes.begin() + static_cast<std::ptrdiff_t>(length)));
        std::filesystem::remove(out);

        const RunResult checked = lkbook({"check", cut});
        ASSERT_EQ(checked.code, 1);
        EXPECT_TRUE(contains(checked.out, "damaged book: ")) << checked.out;

        const RunResult salvaged = lkbook({"salvage", cut, out});
        if (length < 13) {
            EXPECT_EQ(salvaged.code, 1);
            EXPECT_FALSE(std::filesystem::exists(out));
            continue;
        }
        const std::size_t whole = book.wholeRecordsIn(length);
        // The cut is inside a fixed field ("ends early") or inside a string
        // ("claims a length larger"); either way it is in that record.
        const std::string page = "page " + std::to_string(whole);
        EXPECT_TRUE(contains(checked.out, " of " + page + " ")) << checked.out;
        EXPECT_TRUE(contains(checked.out, "at byte offset ")) << checked.out;
        EXPECT_TRUE(contains(salvaged.out, " of " + page + " ")) << salvaged.out;
        if (whole == 0) {
            EXPECT_EQ(salvaged.code, 1);
            EXPECT_TRUE(contains(salvaged.out, "nothing was written")) << salvaged.out;
            EXPECT_FALSE(std::filesystem::exists(out));
            continue;
        }
        ASSERT_EQ(salvaged.code, 0) << salvaged.err;
        EXPECT_TRUE(contains(checked.out, std::to_string(whole) + " of 3 pages can be read whole")) << checked.out;
        EXPECT_TRUE(contains(salvaged.out, "salvaged " + std::to_string(whole) + " of 3 pages")) << salvaged.out;
        EXPECT_TRUE(contains(salvaged.out, "lost: " + page)) << salvaged.out;
        const std::size_t lost = length - book.recordEnds[whole];
        EXPECT_EQ(contains(salvaged.out, "lost: the last " + std::to_string(lost) + " byte"), lost > 0) << salvaged.out;
        EXPECT_EQ(readAll(out), book.firstPagesFile(whole, folder));
        EXPECT_EQ(lkbook({"check", out}).code, 0);
    }
}

TEST(Salvage, StopsAtADamagedLengthAndReportsWhatWasLost) {
    TempFolder folder;
    const SmallBook book(folder);
    // The title length of page 1 claims more than the file holds.
    Bytes bytes = book.bytes;
    // Fixed fields, title format with the face "A", editor format with no face.
    const std::size_t titleLength = book.recordEnds[1] + 42 + (12 + 4 + 1) + (12 + 4);
    bytes[titleLength + 3] = 0x7F;
    writeAll(folder.file("damaged.bok"), bytes);

    const RunResult result = lkbook({"salvage", folder.file("damaged.bok"), folder.file("out.bok")});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_TRUE(contains(result.out, "the title of page 1 claims a length larger")) << result.out;
    EXPECT_TRUE(contains(result.out, "salvaged 1 of 3 pages")) << result.out;
    EXPECT_TRUE(contains(result.out, "lost: page 1 to page 2 (2 pages)")) << result.out;
    EXPECT_TRUE(contains(result.out, "lost: the last " + std::to_string(bytes.size() - book.recordEnds[1]) +
                                         " bytes of the file, from byte offset " + std::to_string(book.recordEnds[1])))
        << result.out;
    EXPECT_EQ(readAll(folder.file("out.bok")), book.firstPagesFile(1, folder));
}

TEST(Salvage, ASoundBookIsCopiedWhole) {
    TempFolder folder;
    saveBook(unlikePages(), folder.file("book.bok"));
    Bytes withTrailing = readAll(folder.file("book.bok"));
    withTrailing.push_back('!');
    writeAll(folder.file("trailing.bok"), withTrailing);

    const RunResult result = lkbook({"salvage", folder.file("trailing.bok"), folder.file("out.bok")});
    EXPECT_EQ(result.code, 0);
    EXPECT_TRUE(contains(result.out, "the book is sound: all 4 pages")) << result.out;
    EXPECT_TRUE(contains(result.out, "1 byte after the last page was not copied")) << result.out;
    EXPECT_EQ(readAll(folder.file("out.bok")), readAll(folder.file("book.bok")));
}

TEST(Salvage, NeverWritesOverItsInput) {
    TempFolder folder;
    saveBook(unlikePages(), folder.file("book.bok"));
    Bytes bytes = readAll(folder.file("book.bok"));
    bytes.resize(bytes.size() - 10);
    writeAll(folder.file("cut.bok"), bytes);
    std::filesystem::create_directory(folder.path() / "sub");
    for (const std::string& target : {folder.file("cut.bok"), (folder.path() / "." / "cut.bok").string(),
                                      (folder.path() / "sub" / ".." / "cut.bok").string()}) {
        SCOPED_TRACE(target);
        const RunResult result = lkbook({"salvage", folder.file("cut.bok"), target});
        EXPECT_EQ(result.code, 2);
        EXPECT_TRUE(contains(result.err, "OUT must be another file than FILE")) << result.err;
        EXPECT_EQ(readAll(folder.file("cut.bok")), bytes);
    }
    // An output that cannot be written (a folder) is a refusal, not a crash.
    const RunResult folderOut = lkbook({"salvage", folder.file("cut.bok"), (folder.path() / "sub").string()});
    EXPECT_EQ(folderOut.code, 1);
    EXPECT_TRUE(contains(folderOut.err, "cannot write")) << folderOut.err;

    const RunResult missing = lkbook({"salvage", folder.file("missing.bok"), folder.file("out.bok")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.bok")));
}

} // namespace
