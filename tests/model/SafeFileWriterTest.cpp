#include "book/Book.h"
#include "book/SafeFileWriter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

bool saveText(const std::string& text, const std::string& path, const std::string& backup) {
    Book book;
    book.append(std::make_unique<Page>());
    book.at(0)->text = text;
    return book.save(path, backup);
}

std::string textOfBook(const std::string& path) {
    Book book;
    return book.load(path) && book.count() == 1 ? book.at(0)->text : "<unreadable>";
}

SafeFileWriter::Stage failing;

} // namespace

// Each save keeps the previous generation as the backup. A save that fails at
// any stage leaves the book and its backup as they were and no temporary file;
// the backup advances only once the new file is complete, also when the backup
// was left a second name of the book by a failed replace. The backup stays as
// it was when the book file is damaged in place (as a hard link would not).
TEST(SafeSave, TheBookAndItsBackupSurviveAFailureAtEveryStage) {
    for (const auto stage :
         {SafeFileWriter::Stage::Open, SafeFileWriter::Stage::Write, SafeFileWriter::Stage::Replace}) {
        TempFolder folder;
        const std::string path = folder.file("lk.bok");
        ASSERT_TRUE(saveText("old", path, path + ".bak"));
        ASSERT_TRUE(saveText("current", path, path + ".bak"));
        failing = stage;
        SafeFileWriter::faultHook = [](SafeFileWriter::Stage asked, const std::string&) { return asked != failing; };
        EXPECT_FALSE(saveText("new", path, path + ".bak"));
        SafeFileWriter::faultHook = nullptr;
        EXPECT_EQ(textOfBook(path), "current");
        EXPECT_EQ(textOfBook(path + ".bak"), stage == SafeFileWriter::Stage::Replace ? "current" : "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2); // no temporary
        ASSERT_TRUE(saveText("next", path, path + ".bak"));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
        writeAll(path, bytesOf("garbage"));
        EXPECT_EQ(textOfBook(path + ".bak"), "current");
    }
}
