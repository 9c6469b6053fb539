// How much typing is lost when Leafkeeper is killed at a random moment while
// the user types. The driver appends a line to a page's editor every 100 ms,
// each line holding the milliseconds since typing began, kills the program
// with TerminateProcess at a random moment between 2 and 20 s, reads the book
// file with the program's own reader and finds the last line that reached it:
// lost = kill time - time that line was typed, or the whole typing time when
// none did. Once for the page shown in the book window, once for a floating
// note, each KILLS times.
//
//   typing_loss_bench WORK_FOLDER [KILLS] [SEED]
#include "Figures.h"
#include "LaunchedProcess.h"
#include "ProgramCopy.h"
#include "Stopwatch.h"

#include "book/Book.h"
#include "book/BookFile.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStartupLimit = 60000;
constexpr double kLineInterval = 100;
constexpr double kEarliestKill = 2000;
constexpr double kLatestKill = 20000;
constexpr const char* kLinePrefix = "typed ";
constexpr const char* kViewTitle = "本文";
constexpr const char* kNoteTitle = "付箋";

enum class Target { View, Note };

// Page 0 is shown in the book window at start-up; page 1 is a floating note.
void writeStartingBook(const ProgramCopy& copy) {
    Book book;
    auto view = std::make_unique<Page>();
    view->title = kViewTitle;
    book.append(std::move(view));
    auto note = std::make_unique<Page>();
    note->title = kNoteTitle;
    note->floating = true;
    note->floatingRect = {520, 120, 780, 320};
    book.append(std::move(note));
    book.save(copy.bookPath());
    copy.write("Leafkeeper.ini", "[Option]\r\nBegin Page=0\r\n");
}

HWND editorIn(HWND window) {
    HWND child = nullptr;
    // The page view is a child of the book window; the editor is its child.
    while ((child = FindWindowExA(window, child, nullptr, nullptr)) != nullptr) {
        if (HWND editor = FindWindowExA(child, nullptr, "Edit", nullptr)) {
            return editor;
        }
    }
    return FindWindowExA(window, nullptr, "Edit", nullptr);
}

HWND targetEditor(const LaunchedProcess& program, Target target) {
    if (target == Target::Note) {
        const HWND note = program.visibleWindow("LKDOCWND");
        return note ? FindWindowExA(note, nullptr, "Edit", nullptr) : nullptr;
    }
    const HWND main = program.visibleWindow("LKMAINWND");
    return main ? editorIn(main) : nullptr;
}

void typeLine(HWND editor, long stamp) {
    const std::string line = kLinePrefix + std::to_string(stamp) + "\r\n";
    // Far past the end: the control puts the caret at the end of the text.
    sendTo(editor, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
    sendTo(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()));
}

// The stamp of the last typed line the book file holds for the page, -1 when
// none; `sound` tells whether the file was a whole book.
long lastStampInFile(const std::string& path, const char* title, bool& sound) {
    std::vector<std::unique_ptr<Page>> pages;
    BookFileDamage damage;
    sound = BookFile::inspect(path, pages, damage) && damage.sound();
    long last = -1;
    for (const auto& page : pages) {
        if (page->title != title) {
            continue;
        }
        std::istringstream lines(page->text);
        std::string line;
        while (std::getline(lines, line)) {
            if (line.compare(0, std::string(kLinePrefix).size(), kLinePrefix) == 0) {
                last = std::atol(line.c_str() + std::string(kLinePrefix).size());
            }
        }
    }
    return last;
}

struct KillResult {
    double killedAt = 0;
    double lost = 0;
    int typed = 0;
    bool sound = false;
};

bool typeUntilKilled(const std::string& work, Target target, double killAt, KillResult& result) {
    ProgramCopy copy(work, "typing");
    writeStartingBook(copy);
    LaunchedProcess program;
    if (!program.start(copy.commandLine(), copy.folder())) {
        return false;
    }
    const double shown = program.waitUntilShownAndIdle(
        "LKMAINWND", [&](HWND) { return targetEditor(program, target) != nullptr; }, kStartupLimit);
    if (shown < 0) {
        std::printf("the editor did not appear\n");
        return false;
    }
    const HWND editor = targetEditor(program, target);

    Stopwatch typing;
    for (int line = 0;; ++line) {
        const double due = line * kLineInterval;
        const double next = due < killAt ? due : killAt;
        while (typing.milliseconds() < next) {
            Sleep(1);
        }
        if (next == killAt) {
            result.killedAt = typing.milliseconds();
            program.kill();
            break;
        }
        typeLine(editor, static_cast<long>(typing.milliseconds()));
        result.typed = line + 1;
    }
    const long last = lastStampInFile(copy.bookPath(), target == Target::Note ? kNoteTitle : kViewTitle, result.sound);
    result.lost = last < 0 ? result.killedAt : result.killedAt - static_cast<double>(last);
    return true;
}

bool measure(const std::string& work, Target target, int kills, std::mt19937& random) {
    const char* name = target == Target::Note ? "note" : "view";
    std::uniform_real_distribution<double> moment(kEarliestKill, kLatestKill);
    std::vector<double> lostSeconds;
    int damaged = 0;
    for (int kill = 1; kill <= kills; ++kill) {
        KillResult result;
        if (!typeUntilKilled(work, target, moment(random), result)) {
            return false;
        }
        if (!result.sound) {
            ++damaged;
        }
        std::printf("%s kill %d: killed at %.2f s after %d lines, lost %.2f s%s\n", name, kill, result.killedAt / 1000,
                    result.typed, result.lost / 1000, result.sound ? "" : " (book file NOT sound)");
        std::fflush(stdout);
        lostSeconds.push_back(result.lost / 1000);
    }
    if (damaged) {
        std::printf("warning: %d kills left a book file that is not sound\n", damaged);
    }
    report(std::string("typing_lost_") + name,
           std::string("typing lost when killed, ") + (target == Target::Note ? "floating note" : "page view"),
           lostSeconds, "s");
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fputs("usage: typing_loss_bench WORK_FOLDER [KILLS] [SEED]\n", stderr);
        return 2;
    }
    const std::string work = windowsPath(argv[1]);
    const int kills = argc > 2 ? std::atoi(argv[2]) : 20;
    const unsigned seed = argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 20240601u;
    CreateDirectoryA(work.c_str(), nullptr);
    std::printf("%d kills each, random moments from seed %u\n", kills, seed);
    std::mt19937 random(seed);
    if (!measure(work, Target::View, kills, random) || !measure(work, Target::Note, kills, random)) {
        return 1;
    }
    return 0;
}
