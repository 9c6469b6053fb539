// Feeds arbitrary bytes to the book reader. For every file the reader must not
// crash, hang or allocate beyond the file's size; what inspect reports must
// match what a second, in-memory reader written here finds, page by page and
// field by field; load must refuse a damaged file (or one with bytes after its
// last page) whole and leave the book as it was; and the pages of a sound file
// must survive a save and a second read.

#include "book/Book.h"
#include "book/BookFile.h"
#include "book/LkError.h"

#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <tuple>
#include <type_traits>
#include <unistd.h>

namespace {

using Kind = BookFileDamage::Kind;

std::string input;  // the fuzzer's bytes, rewritten for every run
std::string output; // the book saved again from a sound input

void removeScratchFiles() {
    unlink(input.c_str());
    unlink(output.c_str());
}

// abort rather than an exception: libFuzzer keeps the input of a deadly signal.
[[noreturn]] void broken(const char* condition, int line) {
    std::fprintf(stderr, "BookReaderFuzz.cpp:%d: broken: %s\n", line, condition);
    removeScratchFiles();
    std::abort();
}
#define LK_REQUIRE(condition) ((condition) ? void(0) : broken(#condition, __LINE__))

// Allocations of this thread; plain values, so that the allocation hook never
// allocates itself.
thread_local std::size_t largest, total;

void countAllocation(const volatile void*, std::size_t size) {
    total += size;
    largest = std::max(largest, size);
}

// Besides what the content needs (a page in memory is about three times its
// smallest record of 82 bytes), a read may take the C library's buffer for
// the file and a few small objects: the stream, the exception, the last page.
std::size_t fixedAllowance = 4096;

template <class Call> void metered(std::size_t fileSize, Call call) {
    largest = total = 0;
    call();
    LK_REQUIRE(largest <= fileSize + fixedAllowance && total <= 4 * fileSize + fixedAllowance);
}

const char kMagic[] = "VeVaRuZa"; // with its zero byte, the nine bytes of the magic

// What a correct reader finds in the bytes.
struct Expected {
    Kind kind = Kind::None;
    std::uint64_t offset = 0, trailingBytes = 0;
    std::uint32_t declaredCount = 0, pageIndex = 0;
    std::vector<Page> pages;
};

// Reads the fields in the order the book file lays them out, independently of
// the program's reader.
Expected readInMemory(const std::uint8_t* data, std::size_t size) {
    Expected x;
    std::size_t pos = sizeof kMagic;
    // Takes `count` bytes; a field that does not fit is where reading stops.
    const auto take = [&](std::uint64_t count, std::size_t at, Kind kind) {
        const bool fits = count <= size - pos;
        x.kind = fits ? x.kind : kind;
        x.offset = fits ? x.offset : at;
        pos += fits ? count : 0;
        return fits;
    };
    // A flag is one byte, a number four, little-endian.
    const auto field = [&](auto& value) {
        const std::size_t width = sizeof value;
        if (!take(width, pos, Kind::RecordEndsEarly)) {
            return false;
        }
        std::uint32_t raw = 0;
        for (std::size_t i = 1; i <= width; ++i) {
            raw = raw << 8 | data[pos - i];
        }
        value = static_cast<std::decay_t<decltype(value)>>(raw);
        return true;
    };
    // Strings end at their first zero byte.
    const auto string = [&](std::string& value) {
        std::uint32_t length;
        if (!field(length) || !take(length, pos - 4, Kind::LengthTooLarge)) {
            return false;
        }
        value.assign(data + pos - length, std::find(data + pos - length, data + pos, 0));
        return true;
    };
    const auto format = [&](TextFormat& f) {
        return field(f.backColor) && field(f.textColor) && field(f.fontSize) && string(f.fontFace);
    };
    const auto record = [&](Page& p) {
        return field(p.updateTime) && field(p.readOnly) && field(p.imeAutoOn) && field(p.selectionStart) &&
               field(p.selectionEnd) && field(p.floating) && field(p.alwaysOnTop) && field(p.fixedSize) &&
               field(p.showTitle) && field(p.floatingRect.left) && field(p.floatingRect.top) &&
               field(p.floatingRect.right) && field(p.floatingRect.bottom) && field(p.format.frameColor) &&
               field(p.format.frameStyle) && format(p.format.titleFormat) && format(p.format.editorFormat) &&
               string(p.title) && string(p.text);
    };

    if (size < sizeof kMagic || std::memcmp(data, kMagic, sizeof kMagic) != 0) {
        x.kind = Kind::BadMagic;
    } else if (!field(x.declaredCount)) {
        x.kind = Kind::EndsInHeader;
    } else {
        // Every record takes at least 82 bytes, so a huge count ends at the end of the file.
        for (Page page; x.pages.size() < x.declaredCount && record(page);) {
            x.pages.push_back(page);
        }
        x.pageIndex = x.kind == Kind::None ? 0 : static_cast<std::uint32_t>(x.pages.size());
        x.trailingBytes = x.kind == Kind::None ? size - pos : 0;
    }
    return x;
}

bool samePages(const std::vector<std::unique_ptr<Page>>& actual, const std::vector<Page>& expected) {
    const auto fields = [](const Page& p) {
        return std::tie(p.updateTime, p.readOnly, p.imeAutoOn, p.floating, p.alwaysOnTop, p.fixedSize, p.showTitle,
                        p.title, p.text, p.format, p.selectionStart, p.selectionEnd, p.floatingRect);
    };
    return std::equal(actual.begin(), actual.end(), expected.begin(), expected.end(),
                      [&](const auto& a, const Page& b) { return fields(*a) == fields(b); });
}

} // namespace

// Every save frees a 1 MiB write buffer; with the default quarantine of
// 256 MiB those alone would bring the process near libFuzzer's memory limit.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=32";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Memory-backed where there is such a folder: every run writes a file.
    const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    input = folder + "/lk-book-fuzz-" + std::to_string(getpid()) + ".bok";
    output = input + ".saved";
    std::atexit(removeScratchFiles);
    struct stat status {};
    LK_REQUIRE(stat(folder.c_str(), &status) == 0);
    fixedAllowance += static_cast<std::size_t>(status.st_blksize);
    LK_REQUIRE(__sanitizer_install_malloc_and_free_hooks(countAllocation, [](const volatile void*) {}) != 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ofstream(input, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const Expected x = readInMemory(data, size);

    std::vector<std::unique_ptr<Page>> pages;
    BookFileDamage damage;
    metered(size, [&] { LK_REQUIRE(BookFile::inspect(input, pages, damage)); });
    LK_REQUIRE(damage.fileSize == size && damage.pagesRead == pages.size() && !damage.describe().empty());
    LK_REQUIRE(std::tie(damage.kind, damage.offset, damage.declaredCount, damage.pageIndex, damage.trailingBytes) ==
               std::tie(x.kind, x.offset, x.declaredCount, x.pageIndex, x.trailingBytes));
    // For a damaged file these are exactly the whole records before the damage, whose field is named.
    LK_REQUIRE(samePages(pages, x.pages) && (*damage.field != '\0') == (x.kind > Kind::BadMagic));
    LK_REQUIRE(BookFile::isAcceptable(input) == (x.kind != Kind::BadMagic));

    Book book;
    book.append(std::make_unique<Page>());
    Page* const kept = book.at(0);
    kept->title = "kept";
    bool loaded = false, refused = false;
    metered(size, [&] {
        try {
            loaded = book.load(input);
        } catch (const lk_error& error) {
            refused = std::strcmp(error.what(), BookFile::invalidBookMessage) == 0;
        }
    });
    // Bytes after the last record are refused as well: a save would drop them.
    if (x.kind != Kind::None || x.trailingBytes > 0) {
        LK_REQUIRE(refused && book.count() == 1 && book.at(0) == kept && kept->title == "kept");
        return 0;
    }
    LK_REQUIRE(loaded && samePages(book.allPages(), x.pages));
    LK_REQUIRE(book.save(output));
    LK_REQUIRE(book.load(output) && samePages(book.allPages(), x.pages));
    return 0;
}
