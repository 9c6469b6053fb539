// Load and save of a large book, each beside the plain sequential read or
// write of the same bytes (the floor no book reader or writer can beat); the
// merge of the book changed on two computers beside the plain load; and the
// page list's filter over a large book of Japanese notes, word by word beside
// a plain byte search (memmem) for the same word, which folds nothing and may
// stop on a trail byte.
//
//   bookfile_bench [benchmark flags]      the timings
//   bookfile_bench --load-once FILE       loads FILE once (for peak memory under /usr/bin/time -v)
//   bookfile_bench --make FILE            writes the generated book to FILE
#include "book/Book.h"
#include "book/TextSearch.h"
#include "book/BookFile.h"
#include "book/BookMerge.h"
#include "book/FileSystem.h"
#include "book/SharedBook.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <ostream>
#include <random>
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

// Notes as people write them: kanji, kana, katakana of both widths, ASCII
// and full-width Latin, in lines of a few phrases. The searched words below
// are in none of them, so every filter reads the whole book.
const char* const kPhrases[] = {
    "明日の打ち合わせは十時から",
    "資料を共有フォルダに置きました",
    "TODO: 見積もりを再確認する",
    "ﾒﾓ: ｶﾀｶﾅの半角も混じる",
    "買い物リスト 牛乳 卵 パン",
    "表計算ソフトで月次の数字を集計",
    "プロジェクトの進捗を部長に報告",
    "電話番号 03-1234-5678（代表）",
    "ＵＲＬは http://example.jp/notes/",
    "来週の予定をもう一度確認すること",
    "パスワードの変更を忘れずに",
    "読書メモ「吾輩は猫である」夏目漱石",
    "Release notes for version 2.1 are due",
    "会議室Ａを十四時から予約済み",
    "お客様への返信（至急）",
    "ﾃｽﾄ環境のｻｰﾊﾞｰを再起動した",
    "新幹線の切符は窓口で受け取る",
    "ソースコードのレビューを依頼",
    "歯医者 火曜 15:30",
    "図書館の本を返す（２冊）",
};

// The words searched for: none is in the book, in any spelling.
const std::pair<const char*, const char*> kSearchedWords[] = {
    {"ascii", "invoice"},
    {"hiragana", "ふりかえり"},
    {"katakana", "データベース"},
    {"kanji", "議事録"},
};

std::vector<std::unique_ptr<Page>> makeNotes() {
    std::mt19937 random(1234);
    const auto phrase = [&random]() { return kPhrases[random() % (sizeof kPhrases / sizeof *kPhrases)]; };
    std::vector<std::unique_ptr<Page>> pages;
    for (int i = 0; i < kPages; ++i) {
        auto page = std::make_unique<Page>();
        page->title = phrase() + (" " + std::to_string(i));
        std::string& text = page->text;
        while (text.size() < kTextBytes) {
            text += phrase();
            text += random() % 3 == 0 ? "\r\n" : "。";
        }
        pages.push_back(std::move(page));
    }
    return pages;
}

const std::vector<std::unique_ptr<Page>>& notes() {
    static const auto pages = makeNotes();
    return pages;
}

std::int64_t bookBytes(const std::vector<std::unique_ptr<Page>>& pages) {
    std::int64_t bytes = 0;
    for (const auto& page : pages) {
        bytes += static_cast<std::int64_t>(page->title.size() + page->text.size());
    }
    return bytes;
}

// The page list's filter: every page, the title and the text.
void filterWithMatcher(benchmark::State& state, const char* word) {
    const auto& pages = notes();
    int shown = 0;
    for (auto _ : state) {
        const TextMatcher matcher(word);
        shown = 0;
        for (const auto& page : pages) {
            shown += matcher.matchesAll(page->title, page->text) ? 1 : 0;
        }
        benchmark::DoNotOptimize(shown);
    }
    state.counters["pages shown"] = shown;
    state.SetBytesProcessed(state.iterations() * bookBytes(pages));
}

void filterWithMemmem(benchmark::State& state, const char* word) {
    const auto& pages = notes();
    const std::size_t length = std::strlen(word);
    int shown = 0;
    for (auto _ : state) {
        shown = 0;
        for (const auto& page : pages) {
            shown += memmem(page->title.data(), page->title.size(), word, length) ||
                             memmem(page->text.data(), page->text.size(), word, length)
                         ? 1
                         : 0;
        }
        benchmark::DoNotOptimize(shown);
    }
    state.counters["pages shown"] = shown;
    state.SetBytesProcessed(state.iterations() * bookBytes(pages));
}

// The console output, then each filter's time beside memmem's.
class FilterRatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, as the library's own reporter.
    FilterRatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Color : OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // Single runs, or the median of repeated ones.
        for (const Run& run : runs) {
            if (run.aggregate_name.empty() || run.aggregate_name == "median") {
                milliseconds[run.run_name.str()] = run.GetAdjustedRealTime();
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [kind, word] : kSearchedWords) {
            const auto matcher = milliseconds.find(std::string("BM_Filter/") + kind + "/matcher");
            const auto memmemTime = milliseconds.find(std::string("BM_Filter/") + kind + "/memmem");
            if (matcher != milliseconds.end() && memmemTime != milliseconds.end()) {
                char line[160];
                std::snprintf(line, sizeof line,
                              "ratio filter %s: matcher %.1f ms, memmem %.1f ms, %.2f (target at most 3)\n", kind,
                              matcher->second, memmemTime->second, matcher->second / memmemTime->second);
                GetOutputStream() << line;
            }
        }
    }

private:
    std::map<std::string, double> milliseconds;
};
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

// What the running program does every second when nothing changed: the book
// file's stamp against the one remembered, no reading.
void BM_IdleCheck(benchmark::State& state) {
    Book book;
    SharedBook shared(book);
    shared.remember(FileSystem::stamp(files().book), FileSystem::now());
    for (auto _ : state) {
        benchmark::DoNotOptimize(shared.look(FileSystem::stamp(files().book), FileSystem::now()));
    }
}

BENCHMARK(BM_LoadBook)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_IdleCheck)->Unit(benchmark::kMicrosecond);
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
    for (const auto& [kind, word] : kSearchedWords) {
        benchmark::RegisterBenchmark((std::string("BM_Filter/") + kind + "/matcher").c_str(), filterWithMatcher, word)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("BM_Filter/") + kind + "/memmem").c_str(), filterWithMemmem, word)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    FilterRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
