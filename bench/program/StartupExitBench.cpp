// Start-up, exit and memory of the real Leafkeeper.exe under Wine, each run
// printed, beside Wine's notepad opening a text file of the same size.
//
//   startup_exit_bench WORK_FOLDER [RUNS] [NOTEPAD_RUNS]
//
// WORK_FOLDER (a Unix or Windows path) receives big.bok, the large book, which
// is left there for the bench script's copies, big.txt, its texts as one text
// file, and a folder for each copy of the program.
#include "BenchBooks.h"
#include "Figures.h"
#include "LaunchedProcess.h"
#include "ProgramCopy.h"
#include "Stopwatch.h"

#include "book/Book.h"
#include "resources/resource.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStartupLimit = 120000;
// Notepad lays out every line of the file before it takes input.
constexpr DWORD kNotepadLimit = 3600000;
constexpr DWORD kExitLimit = 120000;
constexpr double kMiB = 1024.0 * 1024.0;
constexpr std::size_t kChunk = 1 << 20;
// Rows opened and closed again before the second memory reading.
constexpr int kRowsToOpen[] = {0, 1, 2, 5000, 9999};

struct ClassSearch {
    const char* className;
    HWND found;
};

BOOL CALLBACK considerChild(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ClassSearch*>(context);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, search->className) != 0) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

// The first descendant of `parent` with this class.
HWND descendant(HWND parent, const char* className) {
    ClassSearch search{className, nullptr};
    EnumChildWindows(parent, considerChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The page list pane is shown with one row per page.
bool pageListShows(HWND mainWindow, int rows) {
    const HWND list = descendant(mainWindow, "ListBox");
    return list && IsWindowVisible(list) && sendTo(list, LB_GETCOUNT) == rows;
}

// Opens each row's page in the book window and goes back to the list, as a
// user reading a few pages would.
// Opens a few pages and types one character into the last, so the exit has
// a changed book to write, as after a day's use.
void openSomePages(HWND mainWindow) {
    const HWND list = descendant(mainWindow, "ListBox");
    const HWND pane = GetParent(list);
    for (int row : kRowsToOpen) {
        sendTo(list, LB_SETCURSEL, static_cast<WPARAM>(row));
        sendTo(pane, WM_COMMAND, MAKEWPARAM(CMD_SHOW_PAGE, 0));
        if (row == kRowsToOpen[std::size(kRowsToOpen) - 1]) {
            const HWND editor = descendant(mainWindow, "Edit");
            sendTo(editor, EM_SETSEL, static_cast<WPARAM>(-1), -1);
            sendTo(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
        }
        sendTo(mainWindow, WM_COMMAND, MAKEWPARAM(CMD_SHOW_LIST, 0));
    }
}

FILETIME modified(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

double fileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return static_cast<double>(data.nFileSizeHigh) * 4294967296.0 + data.nFileSizeLow;
}

struct ProgramFigures {
    std::vector<double> startup;
    std::vector<double> exit;
    std::vector<double> peakAfterStartup;
    std::vector<double> currentAfterStartup;
    std::vector<double> peakAfterPages;
    std::vector<double> currentAfterPages;
    int unwrittenExits = 0;
};

// One run of the program on the book in `copy`: start-up until the page list
// shows `rows` rows, memory, (for a book with pages) a few pages opened and
// memory again, then the exit command and the wait for the process to end.
bool runProgram(const ProgramCopy& copy, int rows, ProgramFigures& figures) {
    const FILETIME before = modified(copy.bookPath());
    LaunchedProcess program;
    if (!program.start(copy.commandLine(), copy.folder())) {
        std::printf("could not start %s\n", copy.commandLine().c_str());
        return false;
    }
    const double shown = program.waitUntilShownAndIdle(
        "LKMAINWND", [rows](HWND window) { return pageListShows(window, rows); }, kStartupLimit);
    if (shown < 0) {
        std::printf("the page list with %d rows did not appear\n", rows);
        return false;
    }
    figures.startup.push_back(shown);
    const HWND mainWindow = program.visibleWindow("LKMAINWND");

    double peak = 0;
    double current = 0;
    program.memory(peak, current);
    figures.peakAfterStartup.push_back(peak / kMiB);
    figures.currentAfterStartup.push_back(current / kMiB);
    if (rows > 0) {
        openSomePages(mainWindow);
        program.memory(peak, current);
        figures.peakAfterPages.push_back(peak / kMiB);
        figures.currentAfterPages.push_back(current / kMiB);
    }

    Stopwatch sinceExitCommand;
    PostMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(CMD_EXIT, 0), 0);
    const double ended = program.waitForExit(sinceExitCommand, kExitLimit);
    if (ended < 0) {
        std::printf("the program did not end after the exit command\n");
        return false;
    }
    figures.exit.push_back(ended);
    const FILETIME after = modified(copy.bookPath());
    if (CompareFileTime(&before, &after) == 0) {
        ++figures.unwrittenExits;
    }
    return true;
}

// Notepad's main window is shown before it reads the file; it takes input
// again only when the whole text is in its editor.
bool runNotepad(const std::string& textFile, const std::string& folder, std::vector<double>& startup,
                std::vector<double>& peakMemory) {
    LaunchedProcess notepad;
    if (!notepad.start("notepad.exe \"" + textFile + "\"", folder)) {
        std::printf("could not start notepad\n");
        return false;
    }
    const double shown = notepad.waitUntilShownAndIdle(
        "Notepad",
        [](HWND window) {
            const HWND editor = FindWindowExA(window, nullptr, "Edit", nullptr);
            return editor && sendTo(editor, WM_GETTEXTLENGTH, 0, 0, kNotepadLimit) > 0;
        },
        kNotepadLimit);
    if (shown < 0) {
        std::printf("notepad did not show the file within %lu s\n", kNotepadLimit / 1000);
        return false;
    }
    startup.push_back(shown);
    double peak = 0;
    double current = 0;
    notepad.memory(peak, current);
    peakMemory.push_back(peak / kMiB);
    notepad.kill();
    return true;
}

std::vector<char> wholeFile(const std::string& path) {
    std::vector<char> bytes(static_cast<std::size_t>(fileBytes(path)));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    const std::size_t got = file ? std::fread(bytes.data(), 1, bytes.size(), file) : 0;
    if (file) {
        std::fclose(file);
    }
    bytes.resize(got);
    return bytes;
}

// Where an exit's time goes: the book's own save in this (Wine) process,
// beside the same bytes written, synced and renamed over the previous file
// by hand, each stage timed. Both replace an existing file, as the exit does.
void measureSaveParts(const std::string& work, const std::string& largeBook, int runs) {
    Book book;
    book.load(largeBook);
    const std::string saved = work + "\\saved.bok";
    book.save(saved);
    std::vector<double> saves;
    for (int run = 0; run < runs; ++run) {
        Stopwatch clock;
        book.save(saved);
        saves.push_back(clock.milliseconds());
    }
    const std::vector<char> bytes = wholeFile(largeBook);
    const std::string temporary = work + "\\plain.tmp";
    const std::string plain = work + "\\plain.bok";
    CopyFileA(largeBook.c_str(), plain.c_str(), FALSE);
    std::vector<double> writes;
    std::vector<double> syncs;
    std::vector<double> renames;
    std::vector<double> totals;
    for (int run = 0; run < runs; ++run) {
        Stopwatch clock;
        std::FILE* file = std::fopen(temporary.c_str(), "wb");
        for (std::size_t done = 0; done < bytes.size(); done += kChunk) {
            std::fwrite(bytes.data() + done, 1, std::min(kChunk, bytes.size() - done), file);
        }
        std::fflush(file);
        const double written = clock.milliseconds();
        _commit(_fileno(file));
        std::fclose(file);
        const double synced = clock.milliseconds();
        MoveFileExA(temporary.c_str(), plain.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        const double renamed = clock.milliseconds();
        writes.push_back(written);
        syncs.push_back(synced - written);
        renames.push_back(renamed - synced);
        totals.push_back(renamed);
    }
    DeleteFileA(saved.c_str());
    DeleteFileA(plain.c_str());
    std::printf(
        "  parts of a plain safe write (medians): write %.1f ms; sync %.1f ms; rename over the old file %.1f ms\n",
        summarize(writes).median, summarize(syncs).median, summarize(renames).median);
    report("save_in_process", "Book::save of the large book over its previous file, in-process", saves, "ms");
    report("write_sync_rename", "the same bytes written, synced and renamed over the previous file", totals, "ms");
}

bool soundLargeBook(const std::string& path) {
    Book book;
    try {
        return book.load(path) && book.count() == BenchBooks::kLargePages;
    } catch (...) {
        return false;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fputs("usage: startup_exit_bench WORK_FOLDER [RUNS] [NOTEPAD_RUNS]\n", stderr);
        return 2;
    }
    const std::string work = windowsPath(argv[1]);
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const int notepadRuns = argc > 3 ? std::atoi(argv[3]) : 1;
    CreateDirectoryA(work.c_str(), nullptr);

    const std::string largeBook = work + "\\big.bok";
    const std::string largeText = work + "\\big.txt";
    if (!BenchBooks::writeLargeBook(largeBook) || !BenchBooks::writeLargeText(largeText)) {
        std::printf("could not write the large book and text into %s\n", work.c_str());
        return 1;
    }
    const double bookSize = fileBytes(largeBook);
    std::printf("large book: %d pages, %.1f MiB; text file %.1f MiB\n", BenchBooks::kLargePages, bookSize / kMiB,
                fileBytes(largeText) / kMiB);
    std::printf("RESULT book_file_size median=%.3f worst=%.3f best=%.3f runs=1 unit=MiB\n", bookSize / kMiB,
                bookSize / kMiB, bookSize / kMiB);

    ProgramCopy empty(work, "empty");
    ProgramCopy large(work, "large");
    BenchBooks::writeEmptyBook(empty.bookPath());
    CopyFileA(largeBook.c_str(), large.bookPath().c_str(), FALSE);

    ProgramFigures emptyFigures;
    ProgramFigures largeFigures;
    for (int run = 1; run <= runs; ++run) {
        std::printf("run %d of %d\n", run, runs);
        std::fflush(stdout);
        if (!runProgram(empty, 0, emptyFigures) || !runProgram(large, BenchBooks::kLargePages, largeFigures)) {
            return 1;
        }
    }
    if (emptyFigures.unwrittenExits || largeFigures.unwrittenExits) {
        std::printf("warning: %d exits left the book file unwritten\n",
                    emptyFigures.unwrittenExits + largeFigures.unwrittenExits);
    }
    std::printf("book after the last exit: %s\n",
                soundLargeBook(large.bookPath()) ? "sound, all pages" : "NOT the large book");

    report("startup_empty", "start-up to the page list, empty book", emptyFigures.startup, "ms");
    report("startup_large", "start-up to the page list, large book", largeFigures.startup, "ms");
    report("exit_empty", "exit command to process end, empty book", emptyFigures.exit, "ms");
    report("exit_large", "exit command to process end, large book", largeFigures.exit, "ms");
    report("memory_empty_peak", "peak working set, empty book", emptyFigures.peakAfterStartup, "MiB");
    report("memory_large_peak_startup", "peak working set after start-up, large book", largeFigures.peakAfterStartup,
           "MiB");
    report("memory_large_current_startup", "working set after start-up, large book", largeFigures.currentAfterStartup,
           "MiB");
    report("memory_large_peak_pages", "peak working set after opening five pages, large book",
           largeFigures.peakAfterPages, "MiB");
    report("memory_large_current_pages", "working set after opening five pages, large book",
           largeFigures.currentAfterPages, "MiB");

    measureSaveParts(work, largeBook, runs);

    std::vector<double> notepadStartup;
    std::vector<double> notepadPeak;
    for (int run = 1; run <= notepadRuns; ++run) {
        std::printf("notepad run %d of %d\n", run, notepadRuns);
        std::fflush(stdout);
        if (!runNotepad(largeText, work, notepadStartup, notepadPeak)) {
            break;
        }
    }
    report("startup_notepad", "notepad start-up to the text shown, same size", notepadStartup, "ms");
    report("memory_notepad_peak", "notepad peak working set", notepadPeak, "MiB");
    DeleteFileA(largeText.c_str());
    return 0;
}
