#include "bookwindow/BookStorage.h"

#include "book/Book.h"
#include "book/BookFile.h"
#include "book/FileSystem.h"
#include "book/LkError.h"
#include "framework/Application.h"
#include "framework/ModalLoop.h"
#include "resources/resource.h"

#include <ctime>
#include <memory>
#include <utility>
#include <vector>

namespace {

std::string backupPathOf(const std::string& bookFile) {
    return bookFile + ".bak";
}

} // namespace

BookStorage::BookStorage(Book& target, std::string folder) : book(target), recoveryFolder(std::move(folder)) {}

BookStorage::Loaded BookStorage::load(HWND owner, const std::string& path) {
    book.clear();
    damagedFile = false;
    try {
        return book.load(path) ? Loaded::FromFile : Loaded::Nothing;
    } catch (const lk_error& error) {
        damagedFile = true;
        std::vector<std::unique_ptr<Page>> backupPages;
        if (!readBackup(path, backupPages)) {
            messageBox(owner, error.what(), MB_ICONERROR);
            return Loaded::Nothing;
        }
        if (!askToOpenBackup(owner, path)) {
            return Loaded::Nothing;
        }
        book.replacePages(std::move(backupPages));
        return Loaded::FromBackup;
    }
}

// The previous generation kept beside the book, when it is a sound book.
bool BookStorage::readBackup(const std::string& path, std::vector<std::unique_ptr<Page>>& pages) const {
    try {
        return BookFile::read(backupPathOf(path), pages);
    } catch (const lk_error&) {
        return false;
    }
}

bool BookStorage::askToOpenBackup(HWND owner, const std::string& path) const {
    const std::string question = application().text(IDS_DAMAGED_BOOK_BACKUP_QUESTION, {path, backupPathOf(path)});
    return messageBox(owner, question, MB_YESNO | MB_ICONERROR) == IDYES;
}

bool BookStorage::write(const std::string& path, bool changed, const SafeFileWriter::ReplaceCheck& mayReplace) {
    if (damagedFile && !keepDamagedFileAside(path)) {
        return false;
    }
    return book.save(path, changed ? backupPathOf(path) : std::string(), mayReplace);
}

// Renamed, so the user can still take it to lkbook salvage.
bool BookStorage::keepDamagedFileAside(const std::string& path) {
    std::string kept = path + ".invalid";
    for (int n = 2; FileSystem::exists(kept); ++n) {
        kept = path + ".invalid" + std::to_string(n);
    }
    if (!MoveFileA(path.c_str(), kept.c_str()) && FileSystem::exists(path)) {
        return false;
    }
    damagedFile = false;
    return true;
}

BookStorage::AfterFailure BookStorage::askAfterFailedWrite(HWND owner, const std::string& path) {
    const std::string recovery = recoveryPath();
    const std::string question = application().text(IDS_SAVE_FAILED_QUESTION, {path, recovery});
    if (messageBox(owner, question, MB_RETRYCANCEL | MB_ICONERROR) == IDRETRY) {
        return AfterFailure::Retry;
    }
    if (book.save(recovery)) {
        return AfterFailure::Recovered;
    }
    messageBox(owner, application().text(IDS_RECOVERY_FAILED, {recovery}), MB_OK | MB_ICONERROR);
    return AfterFailure::Lost;
}

bool BookStorage::mustWrite(const std::string& path) const {
    return damagedFile || !FileSystem::exists(path);
}

// Named by the time, so an earlier recovery file is never replaced.
std::string BookStorage::recoveryPath() const {
    const std::time_t now = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    return recoveryFolder + "lk-recovered-" + stamp + ".bok";
}
