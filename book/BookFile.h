#pragma once

#include "book/Page.h"
#include "book/SafeFileWriter.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What is wrong with a book file, as precisely as the reader can tell.
struct BookFileDamage {
    enum class Kind {
        None,
        BadMagic,        // the first nine bytes are not "VeVaRuZa" and a zero byte
        EndsInHeader,    // the file ends inside the page count
        RecordEndsEarly, // the file ends inside a page record
        LengthTooLarge,  // a string is longer than the rest of the file
        ReadError,       // the system refused to read further
    };

    Kind kind = Kind::None;
    std::uint64_t offset = 0;    // byte offset of the field that could not be read
    std::uint32_t pageIndex = 0; // record concerned (EndsEarly, LengthTooLarge)
    const char* field = "";      // name of that field
    std::uint64_t fileSize = 0;
    std::uint32_t declaredCount = 0; // page count the header claims
    std::uint32_t pagesRead = 0;     // records read whole before the damage
    std::uint64_t trailingBytes = 0; // bytes after the last record of a sound file

    bool sound() const { return kind == Kind::None; }
    // One English sentence for tools and logs.
    std::string describe() const;
};

// The book file: a nine-byte magic, a little-endian 32-bit page count and one
// record per page. Strings are code page 932 bytes with a 32-bit length.
namespace BookFile {

// Shown when a file cannot be read as a book.
extern const char* const invalidBookMessage;

// Reads every page record that can be read whole into `pages` and describes
// any damage. false only when the file cannot be opened (missing, a folder).
bool inspect(const std::string& path, std::vector<std::unique_ptr<Page>>& pages, BookFileDamage& damage);

// Reads the whole file; false when it cannot be opened; throws lk_error with
// invalidBookMessage for a file that is not a sound book, including one with
// bytes after its last record. `pages` is changed only on success.
bool read(const std::string& path, std::vector<std::unique_ptr<Page>>& pages);

// Writes the pages through SafeFileWriter; false on any failure, and the
// previous file is then untouched. A non-empty `backupPath` receives the
// previous generation of the file. `mayReplace`, when given, is asked just
// before the new file takes the old one's place; false abandons the write.
bool write(const std::string& path, const std::vector<std::unique_ptr<Page>>& pages,
           const std::string& backupPath = std::string(), const SafeFileWriter::ReplaceCheck& mayReplace = {});

// Appends the page's record up to and including its title, byte for byte as
// the file stores it; the text's length and bytes follow it in the file.
// The update time comes first and the title last.
void appendRecordHead(const Page& page, std::string& bytes);

// true for a path that names no readable file (a new file) or a file that
// begins with the magic.
bool isAcceptable(const std::string& path);

} // namespace BookFile

inline bool isBookFileAcceptable(const std::string& path) {
    return BookFile::isAcceptable(path);
}
