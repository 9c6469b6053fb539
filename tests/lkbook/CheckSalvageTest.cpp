#include "LkbookTestSupport.h"

#include <gtest/gtest.h>

// Every cut of a small book is found in the record it falls in; salvage writes
// exactly the whole pages before it and tells which pages and bytes were
// lost, or writes nothing when no page is whole. A book that goes on after
// its last page, which Leafkeeper refuses, is copied without the rest.
TEST(CheckSalvage, EveryTruncationIsFoundAndTheWholePagesBeforeItAreSaved) {
    TempFolder folder;
    const std::string cut = folder.file("cut.bok"), out = folder.file("out.bok");
    Book book;
    std::vector<Bytes> firstPages; // firstPages[k]: the book of the first k pages
    for (std::size_t k = 0; k <= 3; ++k) {
        ASSERT_TRUE(book.save(out));
        firstPages.push_back(readAll(out));
        book.append(std::make_unique<Page>());
        book.at(k)->title = std::string(k, 'x'); // records of unlike sizes, the first with an empty title
    }
    for (std::size_t length = 0; length < firstPages[3].size(); ++length) {
        writeAll(cut, Bytes(firstPages[3].begin(), firstPages[3].begin() + static_cast<std::ptrdiff_t>(length)));
        std::filesystem::remove(out);
        const RunResult checked = lkbook({"check", cut});
        const RunResult salvaged = lkbook({"salvage", cut, out});
        std::size_t whole = 0; // records before the cut
        while (firstPages[whole + 1].size() <= length) {
            ++whole;
        }
        EXPECT_EQ(checked.code, 1);
        // Inside a fixed field the record "ends early", inside a string it
        // "claims a length larger": either way the message names it.
        EXPECT_TRUE(contains(checked.out, length < 13 ? "damaged book: " : " of page " + std::to_string(whole) + " "))
            << length << checked.out;
        EXPECT_EQ(salvaged.code, whole == 0 ? 1 : 0) << length;
        EXPECT_EQ(readAll(out), whole == 0 ? Bytes() : firstPages[whole]) << length;
        const std::size_t lost = length - firstPages[whole].size();
        const std::string lostPages =
            "lost: page " + std::to_string(whole) + (whole == 1 ? " to page 2 (2 pages): " : ": ");
        const std::string lostBytes = "lost: the last " + std::to_string(lost) + (lost == 1 ? " byte" : " bytes") +
                                      " of the file, from byte offset " + std::to_string(firstPages[whole].size());
        EXPECT_TRUE(whole == 0 ||
                    (contains(salvaged.out, lostPages) && contains(salvaged.out, lostBytes) == (lost > 0)))
            << length << salvaged.out;
    }
    writeAll(cut, firstPages[3]);
    std::ofstream(cut, std::ios::binary | std::ios::app) << 'x';
    const RunResult trailing = lkbook({"check", cut});
    EXPECT_EQ(trailing.code, 1);
    EXPECT_TRUE(contains(trailing.out, "3 pages can be read whole, but the file goes on for 1 byte"));
    EXPECT_EQ(lkbook({"salvage", cut, out}).code, 0);
    EXPECT_EQ(readAll(out), firstPages[3]);
}
