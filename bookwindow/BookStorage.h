#pragma once

#include "book/SafeFileWriter.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class Book;
class Page;

// How the book window's book reaches its file and comes back: the safe save
// that keeps the previous generation as a backup, a damaged book file kept
// aside instead of being written over, its backup offered in its place, and
// the user told of a save that fails, with a retry and a recovery file.
class BookStorage {
public:
    enum class Loaded { FromFile, FromBackup, Nothing };

    // `recoveryFolder` receives recovery files; it ends in a backslash.
    BookStorage(Book& book, std::string recoveryFolder);

    // Replaces the book with the file's pages. A file that is not a sound book
    // is reported, or its sound backup offered, with `owner` as the message
    // boxes' owner; it is kept aside at the next write either way.
    Loaded load(HWND owner, const std::string& path);

    // Writes the book; false on failure, the old file then untouched. With
    // `changed` (the book differs from what was last read or written) the
    // previous generation becomes the backup; otherwise the backup keeps the
    // older generation rather than a copy of the same book. `mayReplace` is
    // asked just before the new file takes the old one's place.
    bool write(const std::string& path, bool changed, const SafeFileWriter::ReplaceCheck& mayReplace = {});
    // After a write that failed: asks whether to try again, and otherwise
    // writes a recovery file that the message names, and says when even
    // that failed.
    enum class AfterFailure { Retry, Recovered, Lost };
    AfterFailure askAfterFailedWrite(HWND owner, const std::string& path);
    // `path` must be written even if the book did not change: the file read
    // was damaged, or there is none.
    bool mustWrite(const std::string& path) const;
    // The file at the book's path turned out not to be a sound book while
    // the program ran: it is kept aside, like one found at start-up.
    void keepAsideAtNextWrite() { damagedFile = true; }

private:
    bool readBackup(const std::string& path, std::vector<std::unique_ptr<Page>>& pages) const;
    bool askToOpenBackup(HWND owner, const std::string& path) const;
    bool keepDamagedFileAside(const std::string& path);
    std::string recoveryPath() const;

    Book& book;
    std::string recoveryFolder;
    // The file read last was not a sound book: it is renamed before anything
    // is written under its name.
    bool damagedFile = false;
};
