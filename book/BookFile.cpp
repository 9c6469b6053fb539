#include "book/BookFile.h"

#include "book/FileCloser.h"
#include "book/FileSystem.h"
#include "book/LkError.h"
#include "book/SafeFileWriter.h"

#include <cstring>
#include <utility>

const char* const BookFile::invalidBookMessage = "不正なブックファイルです。データを読み込むことができません。";

namespace {

constexpr char kMagic[] = "VeVaRuZa";
constexpr std::size_t kMagicSize = 9; // the eight letters and a zero byte
constexpr std::uint64_t kHeaderSize = kMagicSize + 4;
constexpr std::uint64_t kMinimumRecordSize = 82; // a record whose four strings are empty

bool magicMatches(std::FILE* file) {
    char buffer[kMagicSize + 1] = {};
    if (std::fread(buffer, 1, kMagicSize, file) != kMagicSize) {
        return false;
    }
    return std::strcmp(buffer, kMagic) == 0;
}

// Reads fields in file order and records where and why reading stopped.
class RecordReader {
public:
    RecordReader(std::FILE* input, std::uint64_t fileSize, BookFileDamage& report)
        : file(input), size(fileSize), damage(report) {}

    std::uint64_t position() const { return offset; }

    bool readU32(std::uint32_t& value, const char* field) {
        unsigned char bytes[4];
        if (!readBytes(bytes, sizeof bytes, field)) {
            return false;
        }
        value = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
                std::uint32_t(bytes[3]) << 24;
        return true;
    }

    bool readI32(std::int32_t& value, const char* field) {
        std::uint32_t raw;
        if (!readU32(raw, field)) {
            return false;
        }
        value = static_cast<std::int32_t>(raw);
        return true;
    }

    bool readBool(bool& value, const char* field) {
        unsigned char byte;
        if (!readBytes(&byte, 1, field)) {
            return false;
        }
        value = byte != 0;
        return true;
    }

    // A 32-bit length and that many bytes; the value ends at the first zero byte.
    bool readString(std::string& value, const char* field) {
        const std::uint64_t lengthOffset = offset;
        std::uint32_t length;
        if (!readU32(length, field)) {
            return false;
        }
        if (length > size - offset) {
            fail(BookFileDamage::Kind::LengthTooLarge, lengthOffset, field);
            return false;
        }
        value.resize(length);
        if (length != 0 && !readBytes(&value[0], length, field)) {
            return false;
        }
        const auto zero = value.find('\0');
        if (zero != std::string::npos) {
            value.resize(zero);
        }
        return true;
    }

    bool readRecord(Page& page) {
        return readI32(page.updateTime, "update time") && readBool(page.readOnly, "read-only flag") &&
               readBool(page.imeAutoOn, "IME flag") && readI32(page.selectionStart, "selection start") &&
               readI32(page.selectionEnd, "selection end") && readBool(page.floating, "floating flag") &&
               readBool(page.alwaysOnTop, "always-on-top flag") && readBool(page.fixedSize, "fixed-size flag") &&
               readBool(page.showTitle, "show-title flag") && readI32(page.floatingRect.left, "window rectangle") &&
               readI32(page.floatingRect.top, "window rectangle") &&
               readI32(page.floatingRect.right, "window rectangle") &&
               readI32(page.floatingRect.bottom, "window rectangle") &&
               readU32(page.format.frameColor, "frame colour") && readI32(page.format.frameStyle, "frame style") &&
               readTextFormat(page.format.titleFormat, "title") && readTextFormat(page.format.editorFormat, "editor") &&
               readString(page.title, "title") && readString(page.text, "text");
    }

private:
    bool readTextFormat(TextFormat& format, const char* which) {
        const bool title = std::strcmp(which, "title") == 0;
        return readU32(format.backColor, title ? "title background colour" : "editor background colour") &&
               readU32(format.textColor, title ? "title text colour" : "editor text colour") &&
               readI32(format.fontSize, title ? "title font size" : "editor font size") &&
               readString(format.fontFace, title ? "title font face" : "editor font face");
    }

    bool readBytes(void* buffer, std::size_t count, const char* field) {
        if (count > size - offset) {
            fail(BookFileDamage::Kind::RecordEndsEarly, offset, field);
            return false;
        }
        if (std::fread(buffer, 1, count, file) != count) {
            fail(BookFileDamage::Kind::ReadError, offset, field);
            return false;
        }
        offset += count;
        return true;
    }

    void fail(BookFileDamage::Kind kind, std::uint64_t at, const char* field) {
        damage.kind = kind;
        damage.offset = at;
        damage.field = field;
    }

    std::FILE* file;
    std::uint64_t size;
    std::uint64_t offset = kMagicSize;
    BookFileDamage& damage;
};

void encodeU32(std::uint32_t value, char bytes[4]) {
    bytes[0] = char(value & 0xFF);
    bytes[1] = char(value >> 8 & 0xFF);
    bytes[2] = char(value >> 16 & 0xFF);
    bytes[3] = char(value >> 24 & 0xFF);
}

// Lays out fields as the file stores them, appending to a buffer, so the file
// sees few writes per page.
class RecordBuilder {
public:
    explicit RecordBuilder(std::string& target) : buffer(target) {}

    void u32(std::uint32_t value) {
        char bytes[4];
        encodeU32(value, bytes);
        buffer.append(bytes, 4);
    }
    void i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
    void flag(bool value) { buffer.push_back(value ? '\1' : '\0'); }
    void string(const std::string& value, std::size_t length) {
        u32(static_cast<std::uint32_t>(length));
        buffer.append(value.data(), length);
    }
    // Face names are stored up to their first zero byte.
    void faceName(const std::string& value) { string(value, std::strlen(value.c_str())); }

    void textFormat(const TextFormat& format) {
        u32(format.backColor);
        u32(format.textColor);
        i32(format.fontSize);
        faceName(format.fontFace);
    }

    // Every field of the record before the text.
    void head(const Page& page) {
        i32(page.updateTime);
        flag(page.readOnly);
        flag(page.imeAutoOn);
        i32(page.selectionStart);
        i32(page.selectionEnd);
        flag(page.floating);
        flag(page.alwaysOnTop);
        flag(page.fixedSize);
        flag(page.showTitle);
        i32(page.floatingRect.left);
        i32(page.floatingRect.top);
        i32(page.floatingRect.right);
        i32(page.floatingRect.bottom);
        u32(page.format.frameColor);
        i32(page.format.frameStyle);
        textFormat(page.format.titleFormat);
        textFormat(page.format.editorFormat);
        string(page.title, page.title.size());
    }

private:
    std::string& buffer;
};

} // namespace

std::string BookFileDamage::describe() const {
    const std::string at = " at byte offset " + std::to_string(offset);
    const std::string page = "page " + std::to_string(pageIndex);
    switch (kind) {
    case Kind::None:
        return "the file is a sound book of " + std::to_string(pagesRead) + " pages";
    case Kind::BadMagic:
        return "the file does not begin with the book magic \"VeVaRuZa\" and a zero byte";
    case Kind::EndsInHeader:
        return "the file ends inside the page count" + at;
    case Kind::RecordEndsEarly:
        return "the record of " + page + " ends early: the file ends inside its " + field + at +
               " (the header promises " + std::to_string(declaredCount) + " pages)";
    case Kind::LengthTooLarge:
        return "the " + std::string(field) + " of " + page + " claims a length larger than the rest of the file" + at;
    case Kind::ReadError:
        return "the system could not read the " + std::string(field) + " of " + page + at;
    }
    return "unknown damage";
}

bool BookFile::inspect(const std::string& path, std::vector<std::unique_ptr<Page>>& pages, BookFileDamage& damage) {
    damage = BookFileDamage{};
    std::FILE* file = FileSystem::openForReading(path);
    if (!file) {
        return false;
    }
    FileCloser closer(file);
    if (!FileSystem::fileSize(file, damage.fileSize)) {
        damage.kind = BookFileDamage::Kind::ReadError;
        damage.field = "size";
        return true;
    }
    if (!magicMatches(file)) {
        damage.kind = BookFileDamage::Kind::BadMagic;
        return true;
    }
    RecordReader reader(file, damage.fileSize, damage);
    std::uint32_t count;
    if (!reader.readU32(count, "page count")) {
        damage.kind = BookFileDamage::Kind::EndsInHeader;
        return true;
    }
    damage.declaredCount = count;
    // A count the file cannot hold must not make the reader reserve memory for it.
    const std::uint64_t possible = (damage.fileSize - kHeaderSize) / kMinimumRecordSize;
    pages.reserve(pages.size() + static_cast<std::size_t>(count < possible ? count : possible));
    for (std::uint32_t i = 0; i < count; ++i) {
        damage.pageIndex = i;
        auto page = std::make_unique<Page>();
        if (!reader.readRecord(*page)) {
            return true;
        }
        pages.push_back(std::move(page));
        damage.pagesRead = i + 1;
    }
    damage.pageIndex = 0;
    damage.trailingBytes = damage.fileSize - reader.position();
    return true;
}

bool BookFile::read(const std::string& path, std::vector<std::unique_ptr<Page>>& pages) {
    std::vector<std::unique_ptr<Page>> loaded;
    BookFileDamage damage;
    if (!inspect(path, loaded, damage)) {
        return false;
    }
    // The program's books end with their last record. Bytes after it mean a
    // page count that shrank: reading the file and saving it again would
    // drop them, so it is refused like any other damage.
    if (!damage.sound() || damage.trailingBytes > 0) {
        throw lk_error(invalidBookMessage);
    }
    pages = std::move(loaded);
    return true;
}

bool BookFile::write(const std::string& path, const std::vector<std::unique_ptr<Page>>& pages,
                     const std::string& backupPath, const SafeFileWriter::ReplaceCheck& mayReplace) {
    SafeFileWriter out(path, backupPath);
    if (!out.open()) {
        return false;
    }
    std::string bytes;
    RecordBuilder(bytes).u32(static_cast<std::uint32_t>(pages.size()));
    out.write(kMagic, kMagicSize);
    out.write(bytes.data(), bytes.size());
    for (const auto& page : pages) {
        bytes.clear();
        appendRecordHead(*page, bytes);
        out.write(bytes.data(), bytes.size());
        // The text goes straight from the page: no copy of a long memo.
        char textLength[4];
        encodeU32(static_cast<std::uint32_t>(page->text.size()), textLength);
        out.write(textLength, sizeof textLength);
        out.write(page->text.data(), page->text.size());
    }
    return out.commit(mayReplace);
}

void BookFile::appendRecordHead(const Page& page, std::string& bytes) {
    RecordBuilder(bytes).head(page);
}

bool BookFile::isAcceptable(const std::string& path) {
    std::FILE* file = FileSystem::openForReading(path);
    if (!file) {
        return true;
    }
    FileCloser closer(file);
    return magicMatches(file);
}
