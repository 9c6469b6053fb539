// The page list's refresh over 10,000 pages and the page view's switch
// between two pages of 1 MiB of text, timed in-process with the performance
// counter, each beside the same work done by a plain control without the
// program's code; and each key press in the page list's search field over
// the 10,000-page book of 100 MiB, with the peak memory beside the book's
// size. Every time includes painting what the work invalidated.
//
//   inprocess_bench [RUNS]
#include "BenchBooks.h"
#include "Figures.h"
#include "Stopwatch.h"

#include "app/BookApplication.h"
#include "book/Book.h"
#include "pagewindows/BookController.h"
#include "bookwindow/PageList.h"
#include "framework/WindowProcedure.h"
#include "pagewindows/PageView.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kHostClass = "LkBenchHost";
constexpr int kRowHeight = 16;
constexpr std::size_t kLargeTextBytes = 1024 * 1024;
constexpr int kEditorPoints = 10;
constexpr DWORD kEditorStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
constexpr DWORD kListStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_WANTKEYBOARDINPUT | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_NOTIFY;

// The panes' owner; nothing the benchmarks do reaches it.
class QuietController : public BookController {
public:
    void openPage(int) override {}
    void showPageList(bool) override {}
    void floatPage(int, bool) override {}
    void returnToBook(Page*) override {}
    void deletePage(Page*) override {}
    bool movePage(int, bool) override { return true; }
    void editPageSettings(int) override {}
    void newPage() override {}
    void refreshPageList(bool) override {}
    void bookChanged() override {}
};

// Top-level windows holding the panes and the plain controls; the plain list
// box's rows are measured and drawn here as simply as an owner-drawn list can be.
LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MEASUREITEM) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kRowHeight;
        return TRUE;
    }
    if (message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        const bool selected = (item->itemState & ODS_SELECTED) != 0;
        FillRect(item->hDC, &item->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createHost(const char* title, int width, int height) {
    const HWND host = CreateWindowExA(0, kHostClass, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, width,
                                      height, nullptr, nullptr, application().instance, nullptr);
    ShowWindow(host, SW_SHOW);
    UpdateWindow(host);
    return host;
}

void fillClient(HWND child) {
    RECT client{};
    GetClientRect(GetParent(child), &client);
    SetWindowPos(child, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER);
}

// Everything the work left invalid is painted before the clock stops.
void paintNow(HWND host) {
    RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void flushMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void printParts(const char* what, const std::vector<std::pair<const char*, double>>& parts) {
    std::printf("  parts of %s:", what);
    for (const auto& part : parts) {
        std::printf(" %s %.1f ms;", part.first, part.second);
    }
    std::printf("\n");
}

// A shown list box filled row by row takes seconds under Wine; a few runs
// of it are enough.
int listBaselineRuns(int runs) {
    return runs < 3 ? runs : 3;
}

void benchRefresh(int runs) {
    Book book;
    for (int i = 0; i < BenchBooks::kLargePages; ++i) {
        auto page = std::make_unique<Page>();
        page->title = "ページ " + std::to_string(i);
        book.append(std::move(page));
    }
    QuietController controller;
    const HWND programHost = createHost("page list", 320, 560);
    PageList list(&controller, &book);
    list.createPane(programHost);
    fillClient(list.handle());
    list.showList(true, false);
    list.refresh(false);
    paintNow(programHost);
    flushMessages();

    std::vector<double> program;
    for (int run = 0; run < runs; ++run) {
        Stopwatch clock;
        list.refresh(false);
        paintNow(programHost);
        program.push_back(clock.milliseconds());
        flushMessages();
    }

    report("refresh_program", "page list refresh, 10,000 pages", program, "ms");
    DestroyWindow(programHost);
    flushMessages();

    const HWND plainHost = createHost("plain list", 320, 560);
    const HWND plain = CreateWindowExA(0, "LISTBOX", nullptr, kListStyle, 0, 0, 10, 10, plainHost, nullptr,
                                       application().instance, nullptr);
    fillClient(plain);
    std::vector<double> baseline;
    for (int run = 0; run < listBaselineRuns(runs); ++run) {
        Stopwatch clock;
        SendMessageA(plain, LB_RESETCONTENT, 0, 0);
        for (int i = 0; i < BenchBooks::kLargePages; ++i) {
            SendMessageA(plain, LB_ADDSTRING, 0, 0);
        }
        paintNow(plainHost);
        baseline.push_back(clock.milliseconds());
        flushMessages();
    }
    report("refresh_plain", "plain owner-drawn list box, 10,000 LB_ADDSTRING", baseline, "ms");
    DestroyWindow(plainHost);
    flushMessages();
}

void benchSwitch(int runs) {
    Page first;
    first.title = "ページ A";
    first.text = BenchBooks::memoText(kLargeTextBytes, "page A");
    Page second;
    second.title = "ページ B";
    second.text = BenchBooks::memoText(kLargeTextBytes, "page B");

    QuietController controller;
    const HWND programHost = createHost("page view", 640, 480);
    PageView view(&controller);
    view.createPane(programHost);
    fillClient(view.handle());
    view.setPage(&first);
    ShowWindow(view.handle(), SW_SHOW);
    paintNow(programHost);
    flushMessages();

    // As the book window switches: the page shown is stored, then the next one set.
    std::vector<double> program;
    std::vector<double> storing;
    std::vector<double> setting;
    for (int run = 0; run < runs; ++run) {
        Page* next = view.page() == &first ? &second : &first;
        Stopwatch clock;
        view.storePage();
        const double stored = clock.milliseconds();
        view.setPage(next);
        const double set = clock.milliseconds();
        paintNow(programHost);
        program.push_back(clock.milliseconds());
        storing.push_back(stored);
        setting.push_back(set - stored);
        flushMessages();
    }
    printParts("a switch (medians)",
               {{"storePage", summarize(storing).median},
                {"setPage", summarize(setting).median},
                {"paint", summarize(program).median - summarize(storing).median - summarize(setting).median}});

    // A typed character makes the next store copy the whole text back.
    std::vector<double> modifiedStore;
    const HWND editor = view.clientWindow();
    for (int run = 0; run < runs; ++run) {
        SendMessageA(editor, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
        SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
        Stopwatch clock;
        view.storePage();
        modifiedStore.push_back(clock.milliseconds());
        flushMessages();
    }

    const HWND plainHost = createHost("plain editor", 640, 480);
    const HWND plain = CreateWindowExA(0, "EDIT", nullptr, kEditorStyle, 0, 0, 10, 10, plainHost, nullptr,
                                       application().instance, nullptr);
    fillClient(plain);
    SendMessageA(plain, EM_SETLIMITTEXT, 0, 0);
    // The page's editor font, so both lay out the same glyphs.
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(kEditorPoints, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    const HFONT font =
        CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, first.format.editorFormat.fontFace.c_str());
    SendMessageA(plain, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetWindowTextA(plain, first.text.c_str());
    paintNow(plainHost);
    flushMessages();
    std::vector<double> baseline;
    for (int run = 0; run < runs; ++run) {
        const std::string& text = run % 2 == 0 ? second.text : first.text;
        Stopwatch clock;
        SetWindowTextA(plain, text.c_str());
        paintNow(plainHost);
        baseline.push_back(clock.milliseconds());
        flushMessages();
    }

    report("switch_program", "page switch, storePage then setPage, 1 MiB pages", program, "ms");
    report("switch_plain", "SetWindowTextA of 1 MiB into a plain edit control", baseline, "ms");
    report("store_modified", "storePage of a modified 1 MiB page", modifiedStore, "ms");
    DestroyWindow(programHost);
    DestroyWindow(plainHost);
    DeleteObject(font);
    flushMessages();
}

// Queries typed a key at a time: a word in no page (the first key scans the
// whole book), a word in every page, and one that narrows to a single page.
void benchFilter() {
    Book book;
    std::size_t bytes = 0;
    for (int i = 0; i < BenchBooks::kLargePages; ++i) {
        auto page = std::make_unique<Page>();
        page->title = "ページ " + std::to_string(i);
        page->text = BenchBooks::memoText(BenchBooks::kLargePageBytes, "note " + std::to_string(i));
        bytes += page->title.size() + page->text.size();
        book.append(std::move(page));
    }
    QuietController controller;
    const HWND host = createHost("page list search", 320, 560);
    PageList list(&controller, &book);
    list.createPane(host);
    fillClient(list.handle());
    list.showList(true, false);
    list.refresh(false);
    paintNow(host);
    flushMessages();

    const HWND field = list.searchBox.handle();
    std::vector<double> keys;
    for (const std::string query : {"議事録", "メモ", "note 4711"}) {
        list.startSearch();
        // Each prefix of the query, a character at a time.
        for (std::size_t end = 0; end < query.size();) {
            end += IsDBCSLeadByte(static_cast<BYTE>(query[end])) ? 2 : 1;
            const std::string typed = query.substr(0, end);
            Stopwatch clock;
            SetWindowTextA(field, typed.c_str());
            paintNow(host);
            keys.push_back(clock.milliseconds());
            flushMessages();
        }
        list.endSearch();
        paintNow(host);
        flushMessages();
    }
    report("filter_key", "page list search, one key press to the list shown, 10,000 pages of 100 MiB", keys, "ms");
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    report("filter_peak_memory", "peak memory of the search benchmark",
           {static_cast<double>(counters.PeakWorkingSetSize) / (1024 * 1024)}, "MiB");
    report("filter_book_size", "title and text bytes of the book searched",
           {static_cast<double>(bytes) / (1024 * 1024)}, "MiB");
    DestroyWindow(host);
    flushMessages();
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 11;
    Application app;
    app.setStartupArguments(GetModuleHandleA(nullptr), GetCommandLineA(), SW_SHOWNORMAL);
    BookApplication::prepare(app);
    app.createToolTipWindow(nullptr);

    WNDCLASSA hostClass{};
    hostClass.lpfnWndProc = hostProcedure;
    hostClass.hInstance = app.instance;
    hostClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    hostClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    hostClass.lpszClassName = kHostClass;
    RegisterClassA(&hostClass);

    benchRefresh(runs);
    benchSwitch(runs);
    benchFilter();
    return 0;
}
