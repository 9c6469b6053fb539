// Load and save of a large book, each beside the plain sequential read or
// write of the same bytes (the floor no book reader or writer can beat), and
// the merge of the book changed on two computers beside the plain load.
//
//   bookfile_bench [benchmark flags]      the timings
//   bookfile_bench --load-once FILE       loads FILE once (for peak memory under /usr/bin/time -v)
//   bookfile_bench --make FILE            writes the generated book to FILE
#include "book/Book.h"
#include "book/BookFile.h"
#include "book/BookMerge.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kPages = 10000;
constexpr std::size_t kTextBytes = 10 * 1024;
constexpr std::size_t kChunk = 1 << 20;

void fillBook(Book& book) {
    std::string text;
    for (std::size_t i = 0; text.size() < kTextBytes; ++i) {
        text += "メモの行 " + std::to_string(i) + " quick notes\r\n";
    }
    text.resize(kTextBytes);
    for (int i = 0; i < kPages; ++i) {
        auto page = std::make_unique<Page>();
        page->title = "ページ " + std::to_string(i);
        page->text = text;
        page->updateTime = 1000000000 + i;
        book.append(std::move(page));
    }
}

struct Files {
    std::string book;
    std::string copy;
    Files() {
        char pattern[] = "/tmp/lk-bench-XXXXXX";
        const char* folder = mkdtemp(pattern);
        book = std::string(folder) + "/big.bok";
        copy = std::string(folder) + "/copy.bok";
        Book generated;
        fillBook(generated);
        generated.save(book);
    }
    ~Files() {
        std::remove(book.c_str());
        std::remove(copy.c_str());
        std::remove((book.substr(0, book.rfind('/'))).c_str());
    }
};

Files& files() {
    static Files instance;
    return instance;
}

std::vector<char> readWhole(const std::string& path) {
    std::vector<char> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::fseek(file, 0, SEEK_END);
    bytes.resize(static_cast<std::size_t>(std::ftell(file)));
    std::fseek(file, 0, SEEK_SET);
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t got = std::fread(bytes.data() + done, 1, std::min(kChunk, bytes.size() - done), file);
        if (got == 0) {
            break;
        }
        done += got;
    }
    std::fclose(file);
    return bytes;
}

void BM_LoadBook(benchmark::State& state) {
    const std::string& path = files().book;
    for (auto _ : state) {
        Book book;
        benchmark::DoNotOptimize(book.load(path));
        benchmark::DoNotOptimize(book.count());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(readWhole(path).size()));
}

void BM_ReadFloor(benchmark::State& state) {
    const std::string& path = files().book;
    std::size_t size = 0;
    for (auto _ : state) {
        auto bytes = readWhole(path);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}

void BM_SaveBook(benchmark::State& state) {
    Book book;
    book.load(files().book);
    for (auto _ : state) {
        benchmark::DoNotOptimize(book.save(files().copy));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(readWhole(files().copy).size()));
}

// The floor of a safe save: the same bytes written, flushed and synced.
void BM_WriteFloor(benchmark::State& state) {
    const auto bytes = readWhole(files().book);
    for (auto _ : state) {
        std::FILE* file = std::fopen(files().copy.c_str(), "wb");
        for (std::size_t done = 0; done < bytes.size(); done += kChunk) {
            std::fwrite(bytes.data() + done, 1, std::min(kChunk, bytes.size() - done), file);
        }
        std::fflush(file);
        fsync(fileno(file));
        std::fclose(file);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

// The book as the program last wrote it, our pages with one page typed in,
// and the file with another page typed in on the other computer. Our pages
// are the only book in memory, so reading theirs takes fresh memory as a
// plain load does.
struct MergeSides {
    BookMerge::Base base;
    Book ours;
    std::string theirsPath;
    MergeSides() {
        fillBook(ours);
        base = BookMerge::baseOf(ours.allPages());
        Page& theirPage = *ours.at(kPages / 2);
        const Page asItWas = theirPage;
        theirPage.setText("theirs " + theirPage.text);
        theirsPath = files().copy + ".theirs";
        ours.save(theirsPath);
        theirPage = asItWas;
        ours.at(kPages / 4)->setText(ours.at(kPages / 4)->text + "ours");
    }
    ~MergeSides() { std::remove(theirsPath.c_str()); }
};

MergeSides& mergeSides() {
    static MergeSides instance;
    return instance;
}

// What the program does when the file changed under it: read the file, merge.
void BM_MergeChangedBook(benchmark::State& state) {
    MergeSides& sides = mergeSides();
    for (auto _ : state) {
        std::vector<std::unique_ptr<Page>> theirs;
        benchmark::DoNotOptimize(BookFile::read(sides.theirsPath, theirs));
        const BookMerge::Result result = BookMerge::merge(sides.base, sides.ours.allPages(), std::move(theirs));
        if (result.pages.size() != kPages || result.conflicts.size() != 0 || !result.differsFromTheirs) {
            state.SkipWithError("the merge did not keep both changes");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(readWhole(sides.theirsPath).size()));
}

// The merge alone, the file read beforehand. Beside BM_MergeChangedBook it
// shows what the read costs there: after a merge the heap keeps the freed
// pages of the previous round for the next read, where a plain load gives
// them back to the system and faults them in again.
void BM_MergeStep(benchmark::State& state) {
    MergeSides& sides = mergeSides();
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::unique_ptr<Page>> theirs;
        BookFile::read(sides.theirsPath, theirs);
        state.ResumeTiming();
        const BookMerge::Result result = BookMerge::merge(sides.base, sides.ours.allPages(), std::move(theirs));
        benchmark::DoNotOptimize(result.pages.data());
    }
}

// The hashes of every page, as a merge takes them of each side.
void BM_HashBook(benchmark::State& state) {
    const Book& ours = mergeSides().ours;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BookMerge::baseOf(ours.allPages()).pages.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(readWhole(files().book).size()));
}

BENCHMARK(BM_LoadBook)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SaveBook)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_MergeChangedBook)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_MergeStep)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_HashBook)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--load-once") == 0) {
        Book book;
        return book.load(argv[2]) && book.count() > 0 ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "--make") == 0) {
        Book book;
        fillBook(book);
        return book.save(argv[2]) ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
