#include "book/Book.h"
#include "book/SafeFileWriter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

bool saveText(const std::string& text, const std::string& path, const std::string& backup = std::string()) {
    Book book;
    auto page = std::make_unique<Page>();
    page->text = text;
    book.append(std::move(page));
    return book.save(path, backup);
}

std::string textOfBook(const std::string& path) {
    Book book;
    if (!book.load(path) || book.count() != 1) {
        return "<unreadable>";
    }
    return book.at(0)->text;
}

// Fails one stage of every writer while it is installed.
class InjectedFault {
public:
    explicit InjectedFault(SafeFileWriter::Stage stage) {
        failing = stage;
        SafeFileWriter::faultHook = [](SafeFileWriter::Stage asked, const std::string&) { return asked != failing; };
    }
    InjectedFault(const InjectedFault&) = delete;
    InjectedFault& operator=(const InjectedFault&) = delete;
    ~InjectedFault() { SafeFileWriter::faultHook = nullptr; }

private:
    static SafeFileWriter::Stage failing;
};

SafeFileWriter::Stage InjectedFault::failing = SafeFileWriter::Stage::Open;

bool onlyTheseFiles(const TempFolder& folder, std::initializer_list<const char*> names) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        bool expected = false;
        for (const char* name : names) {
            expected = expected || entry.path().filename() == name;
        }
        if (!expected) {
            ADD_FAILURE() << "unexpected file " << entry.path();
            return false;
        }
        ++count;
    }
    return count == names.size();
}

} // namespace

TEST(Backup, EachSaveKeepsThePreviousGenerationBesideTheBook) {
    TempFolder folder;
    const std::string path = folder.file("lk.bok");
    const std::string backup = folder.file("lk.bok.bak");
    ASSERT_TRUE(saveText("first", path, backup));
    EXPECT_FALSE(std::filesystem::exists(backup)); // nothing older to keep
    ASSERT_TRUE(saveText("second", path, backup));
    EXPECT_EQ(textOfBook(path), "second");
    EXPECT_EQ(textOfBook(backup), "first");
    ASSERT_TRUE(saveText("third", path, backup));
    EXPECT_EQ(textOfBook(path), "third");
    EXPECT_EQ(textOfBook(backup), "second");
    EXPECT_TRUE(onlyTheseFiles(folder, {"lk.bok", "lk.bok.bak"}));
}

TEST(Backup, TheBackupIsIndependentOfTheBookFile) {
    TempFolder folder;
    const std::string path = folder.file("lk.bok");
    const std::string backup = folder.file("lk.bok.bak");
    ASSERT_TRUE(saveText("first", path, backup));
    ASSERT_TRUE(saveText("second", path, backup));
    // Damage the book in place: a hard-linked backup must not change with it.
    writeAll(path, bytesOf("garbage"));
    EXPECT_EQ(textOfBook(backup), "first");
}

TEST(SafeFileWriterFaults, AFailureAtAnyStageLeavesTheOldFileAndBackupIntact) {
    for (auto stage : {SafeFileWriter::Stage::Open, SafeFileWriter::Stage::Write, SafeFileWriter::Stage::Replace}) {
        SCOPED_TRACE(static_cast<int>(stage));
        TempFolder folder;
        const std::string path = folder.file("lk.bok");
        const std::string backup = folder.file("lk.bok.bak");
        ASSERT_TRUE(saveText("old", path, backup));
        ASSERT_TRUE(saveText("current", path, backup));
        {
            InjectedFault fault(stage);
            EXPECT_FALSE(saveText("new", path, backup));
        }
        EXPECT_EQ(textOfBook(path), "current");
        // The backup is only made once the new file is complete.
        const bool backupAdvanced = stage == SafeFileWriter::Stage::Replace;
        EXPECT_EQ(textOfBook(backup), backupAdvanced ? "current" : "old");
        EXPECT_TRUE(onlyTheseFiles(folder, {"lk.bok", "lk.bok.bak"}));
    }
}

TEST(SafeFileWriterFaults, WithoutAHookNothingFails) {
    TempFolder folder;
    SafeFileWriter::faultHook = nullptr;
    EXPECT_TRUE(saveText("x", folder.file("a.bok")));
}
