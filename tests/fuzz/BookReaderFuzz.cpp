// Feeds arbitrary bytes to the book reader. For every file the reader must not
// crash, hang or allocate beyond the file's size; inspect and load must agree;
// a damaged file is refused whole and leaves the book as it was; and a sound
// file survives a save and a second read.
//
// What the file holds is also worked out in memory by a reader independent of
// the stream reader, so that the pages and the damage reported can be checked
// field by field, not only for consistency with each other.

#include "book/Book.h"
#include "book/BookFile.h"
#include "book/LkError.h"

#include <sanitizer/allocator_interface.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Kind = BookFileDamage::Kind;

struct ScratchFiles {
    std::string input; // the fuzzer's bytes, rewritten for every run
    std::string saved; // the book saved again from a sound input
};

ScratchFiles scratch;

void removeScratchFiles() {
    for (const std::string& path : {scratch.input, scratch.saved, scratch.saved + ".tmp"}) {
        unlink(path.c_str());
    }
}

[[noreturn]] void broken(const char* condition, int line) {
    std::fprintf(stderr, "BookReaderFuzz.cpp:%d: broken: %s\n", line, condition);
    removeScratchFiles();
    std::abort();
}

// abort rather than an exception: libFuzzer keeps the input of a deadly signal.
#define LK_REQUIRE(condition) ((condition) ? void(0) : broken(#condition, __LINE__))

void makeScratchFiles() {
    // Memory-backed where there is such a folder: every run writes a file.
    const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    const std::string stem = folder + "/lk-book-fuzz-" + std::to_string(getpid());
    scratch.input = stem + ".bok";
    scratch.saved = stem + "-saved.bok";
    std::atexit(removeScratchFiles);
}

void writeWhole(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    LK_REQUIRE(file != nullptr);
    LK_REQUIRE(std::fwrite(data, 1, size, file) == size);
    LK_REQUIRE(std::fclose(file) == 0);
}

std::string readWhole(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    LK_REQUIRE(file != nullptr);
    std::string bytes;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        bytes.append(chunk, got);
    }
    std::fclose(file);
    return bytes;
}

// Counted for this thread only and only while a reader call runs; trivial, so
// reading it from the allocation hook never allocates itself.
struct AllocationMeter {
    bool active;
    std::size_t largest;
    std::size_t total;
};

thread_local AllocationMeter meter;

void countAllocation(const volatile void*, std::size_t size) {
    if (!meter.active) {
        return;
    }
    meter.total += size;
    if (size > meter.largest) {
        meter.largest = size;
    }
}

void ignoreFree(const volatile void*) {}

class MeteredCall {
public:
    MeteredCall() { meter = {true, 0, 0}; }
    MeteredCall(const MeteredCall&) = delete;
    MeteredCall& operator=(const MeteredCall&) = delete;
    ~MeteredCall() { meter.active = false; }
};

// Besides what the file's content needs, a read may take the C library's
// buffer for the open file (the file system's block size) and a few small
// objects: the stream, the exception, the page it stopped in.
std::size_t fixedAllowance = 0;
constexpr std::size_t kSmallObjectsAllowance = 4096;
// A page in memory (the object, its default face names, its slot in the list)
// is about three times larger than its smallest record of 82 bytes.
constexpr std::size_t kAllowancePerFileByte = 4;

void setFixedAllowance() {
    writeWhole(scratch.input, nullptr, 0);
    struct stat status {};
    LK_REQUIRE(stat(scratch.input.c_str(), &status) == 0);
    fixedAllowance = static_cast<std::size_t>(status.st_blksize) + kSmallObjectsAllowance;
}

void requireAllocationsWithinFile(std::size_t fileSize) {
    LK_REQUIRE(meter.largest <= fileSize + fixedAllowance);
    LK_REQUIRE(meter.total <= kAllowancePerFileByte * fileSize + fixedAllowance);
}

const std::uint8_t kMagic[9] = {'V', 'e', 'V', 'a', 'R', 'u', 'Z', 'a', 0};

// What a correct reader finds in the bytes, and the bytes a save of the pages
// read must give: flags as 0 or 1, strings cut at their first zero byte, no
// trailing bytes.
struct Expected {
    Kind kind = Kind::None;
    std::uint64_t offset = 0;
    std::uint32_t declaredCount = 0;
    std::uint32_t pageIndex = 0;
    std::vector<Page> pages;
    std::uint64_t trailingBytes = 0;
    std::string saved;
    bool normalised = false; // a flag or a string differs from what a save writes
};

class MemoryReader {
public:
    MemoryReader(const std::uint8_t* bytes, std::size_t byteCount, Expected& expected)
        : data(bytes), size(byteCount), result(expected) {
        result.saved.assign(reinterpret_cast<const char*>(kMagic), sizeof kMagic);
    }

    std::size_t position() const { return pos; }

    bool u32(std::uint32_t& value) {
        if (!rawU32(value)) {
            return false;
        }
        putU32(value);
        return true;
    }

    bool record(Page& page) {
        return i32(page.updateTime) && flag(page.readOnly) && flag(page.imeAutoOn) && i32(page.selectionStart) &&
               i32(page.selectionEnd) && flag(page.floating) && flag(page.alwaysOnTop) && flag(page.fixedSize) &&
               flag(page.showTitle) && i32(page.floatingRect.left) && i32(page.floatingRect.top) &&
               i32(page.floatingRect.right) && i32(page.floatingRect.bottom) && u32(page.format.frameColor) &&
               i32(page.format.frameStyle) && textFormat(page.format.titleFormat) &&
               textFormat(page.format.editorFormat) && string(page.title) && string(page.text);
    }

private:
    // A field that does not fit is where reading stops: its first byte is the offset reported.
    bool take(std::size_t count, const std::uint8_t*& at) {
        if (count > size - pos) {
            result.kind = Kind::RecordEndsEarly;
            result.offset = pos;
            return false;
        }
        at = data + pos;
        pos += count;
        return true;
    }

    bool rawU32(std::uint32_t& value) {
        const std::uint8_t* at;
        if (!take(4, at)) {
            return false;
        }
        value =
            std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 | std::uint32_t(at[3]) << 24;
        return true;
    }

    void putU32(std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            result.saved.push_back(static_cast<char>(value >> shift & 0xFF));
        }
    }

    bool i32(std::int32_t& value) {
        std::uint32_t raw;
        if (!u32(raw)) {
            return false;
        }
        value = static_cast<std::int32_t>(raw);
        return true;
    }

    bool flag(bool& value) {
        const std::uint8_t* at;
        if (!take(1, at)) {
            return false;
        }
        value = *at != 0;
        result.normalised = result.normalised || *at > 1;
        result.saved.push_back(value ? '\1' : '\0');
        return true;
    }

    bool string(std::string& value) {
        const std::size_t lengthOffset = pos;
        std::uint32_t length;
        if (!rawU32(length)) {
            return false;
        }
        if (length > size - pos) {
            result.kind = Kind::LengthTooLarge;
            result.offset = lengthOffset;
            return false;
        }
        const std::uint8_t* at;
        take(length, at);
        const void* zero = std::memchr(at, 0, length);
        const std::size_t kept = zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - at) : length;
        value.assign(reinterpret_cast<const char*>(at), kept);
        result.normalised = result.normalised || kept != length;
        putU32(static_cast<std::uint32_t>(kept));
        result.saved.append(value);
        return true;
    }

    bool textFormat(TextFormat& format) {
        return u32(format.backColor) && u32(format.textColor) && i32(format.fontSize) && string(format.fontFace);
    }

    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = sizeof kMagic;
    Expected& result;
};

Expected readInMemory(const std::uint8_t* data, std::size_t size) {
    Expected expected;
    if (size < sizeof kMagic || std::memcmp(data, kMagic, sizeof kMagic) != 0) {
        expected.kind = Kind::BadMagic;
        return expected;
    }
    MemoryReader reader(data, size, expected);
    if (!reader.u32(expected.declaredCount)) {
        expected.kind = Kind::EndsInHeader;
        return expected;
    }
    // Every record takes at least 82 bytes, so a huge count ends at the end of the file.
    for (std::uint32_t i = 0; i < expected.declaredCount; ++i) {
        Page page;
        if (!reader.record(page)) {
            expected.pageIndex = i;
            return expected;
        }
        expected.pages.push_back(page);
    }
    expected.trailingBytes = size - reader.position();
    return expected;
}

bool samePage(const Page& a, const Page& b) {
    return a.updateTime == b.updateTime && a.readOnly == b.readOnly && a.imeAutoOn == b.imeAutoOn &&
           a.floating == b.floating && a.alwaysOnTop == b.alwaysOnTop && a.fixedSize == b.fixedSize &&
           a.showTitle == b.showTitle && a.title == b.title && a.text == b.text && a.format == b.format &&
           a.selectionStart == b.selectionStart && a.selectionEnd == b.selectionEnd && a.floatingRect == b.floatingRect;
}

bool samePages(const std::vector<std::unique_ptr<Page>>& actual, const std::vector<Page>& expected) {
    if (actual.size() != expected.size()) {
        return false;
    }
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (!actual[i] || !samePage(*actual[i], expected[i])) {
            return false;
        }
    }
    return true;
}

void checkInspect(const std::uint8_t* data, std::size_t size, const Expected& expected, BookFileDamage& damage) {
    std::vector<std::unique_ptr<Page>> pages;
    bool opened;
    {
        MeteredCall metered;
        opened = BookFile::inspect(scratch.input, pages, damage);
    }
    requireAllocationsWithinFile(size);
    LK_REQUIRE(opened);

    LK_REQUIRE(damage.fileSize == size);
    LK_REQUIRE(damage.kind != Kind::ReadError); // a regular file in a local folder always reads
    LK_REQUIRE(damage.offset <= size);
    LK_REQUIRE(damage.pagesRead <= damage.declaredCount);
    LK_REQUIRE(damage.pagesRead == pages.size());
    LK_REQUIRE(damage.field != nullptr);
    LK_REQUIRE(!damage.describe().empty());

    LK_REQUIRE(damage.kind == expected.kind);
    LK_REQUIRE(damage.offset == expected.offset);
    LK_REQUIRE(damage.declaredCount == expected.declaredCount);
    LK_REQUIRE(damage.pageIndex == expected.pageIndex);
    LK_REQUIRE(damage.trailingBytes == expected.trailingBytes);
    LK_REQUIRE(damage.kind == Kind::BadMagic || damage.kind == Kind::None || *damage.field != '\0');
    // For a damaged file these are exactly the whole records before the damage.
    LK_REQUIRE(samePages(pages, expected.pages));

    const bool magic = size >= sizeof kMagic && std::memcmp(data, kMagic, sizeof kMagic) == 0;
    LK_REQUIRE(BookFile::isAcceptable(scratch.input) == magic);
}

std::unique_ptr<Page> sentinelPage() {
    auto page = std::make_unique<Page>();
    page->title = "kept";
    page->text = "a book that must survive a refused load";
    page->updateTime = 1234567;
    page->floating = true;
    page->floatingRect = {-5, 6, 700, 800};
    page->format.frameColor = 0x00ABCDEF;
    return page;
}

void checkLoad(const std::uint8_t* data, std::size_t size, const Expected& expected, const BookFileDamage& damage) {
    Book book;
    book.append(sentinelPage());
    const Page* before = book.at(0);
    const Page sentinel = *before;

    bool loaded = false;
    bool refused = false;
    {
        MeteredCall metered;
        try {
            loaded = book.load(scratch.input);
        } catch (const lk_error& error) {
            refused = true;
            LK_REQUIRE(std::strcmp(error.what(), BookFile::invalidBookMessage) == 0);
        }
    }
    requireAllocationsWithinFile(size);

    // Bytes after the last record are refused as well: saving the book again would drop them.
    const bool acceptable = damage.sound() && damage.trailingBytes == 0;
    LK_REQUIRE(refused != acceptable);
    if (refused) {
        LK_REQUIRE(book.count() == 1 && book.at(0) == before && samePage(*before, sentinel));
        return;
    }
    LK_REQUIRE(loaded);
    LK_REQUIRE(samePages(book.allPages(), expected.pages));

    LK_REQUIRE(book.save(scratch.saved));
    const std::string saved = readWhole(scratch.saved);
    LK_REQUIRE(saved == expected.saved);
    // A book with nothing to normalise is saved again byte for byte.
    if (!expected.normalised) {
        LK_REQUIRE(saved == std::string(reinterpret_cast<const char*>(data), size));
    }

    Book again;
    LK_REQUIRE(again.load(scratch.saved));
    LK_REQUIRE(samePages(again.allPages(), expected.pages));
}

} // namespace

// Every save frees a 1 MiB write buffer; with the default quarantine of
// 256 MiB those alone would bring the process near libFuzzer's memory limit.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=32";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    makeScratchFiles();
    setFixedAllowance();
    LK_REQUIRE(__sanitizer_install_malloc_and_free_hooks(countAllocation, ignoreFree) != 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeWhole(scratch.input, data, size);
    const Expected expected = readInMemory(data, size);
    BookFileDamage damage;
    checkInspect(data, size, expected, damage);
    checkLoad(data, size, expected, damage);
    return 0;
}
