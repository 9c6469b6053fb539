#include "LkbookTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

// Exit codes and what the complaint names: 2 for a mistake in the command
// line, and for salvage onto its own input however it is spelt, which is left
// as it was; 1 for an input that cannot be read or an output that cannot be
// written.
TEST(CommandLine, ExitCodesAndComplaints) {
    TempFolder folder;
    const std::string book = folder.file("book.bok");
    saveBook(unlikePages(), book);
    const Bytes before = readAll(book);
    std::filesystem::create_directory(folder.file("sub"));
    const std::tuple<std::vector<std::string>, int, const char*> rows[] = {
        {{"salvage", book}, 2, "OUT is required"},
        {{"salvage", book, book}, 2, "OUT must be another file than FILE"},
        {{"salvage", book, folder.file("./book.bok")}, 2, "OUT must be another file than FILE"},
        {{"salvage", book, folder.file("sub/../book.bok")}, 2, "OUT must be another file than FILE"},
        {{"salvage", book, folder.file("sub")}, 1, "cannot write"},
        {{"export", book, book}, 1, "cannot create the folder"},
        {{"check", book}, 0, ""},
        {{"check", folder.file("missing.bok")}, 1, "cannot open"},
    };
    for (const auto& [arguments, code, mentions] : rows) {
        const RunResult result = lkbook(arguments);
        EXPECT_EQ(result.code, code) << mentions;
        EXPECT_TRUE(contains(result.err, mentions)) << result.err;
    }
    EXPECT_EQ(readAll(book), before);
}
