"""The faults scripts/mutants plants, and the loop that plants them.

Each fault is one text substitution in one file of the copy, with the tests
that should notice it: "native:EXECUTABLE:FILTER" runs a test executable of
the native tree, "EXECUTABLE:FILTER" one of the Windows tree under Wine (the
caller runs this inside the X server and the Wine prefix). A fault is caught
when a test fails, or when the tree no longer builds (then it says so).
Usage: mutants.py WORK_DIR [WORD...]
"""

import os
import subprocess
import sys
import time
from dataclasses import dataclass


@dataclass
class Mutant:
    description: str
    path: str
    find: str
    replace: str
    tests: list


BOOKWINDOW = "bookwindow_tests:BookWindowInProcess.*"
E2E_BOOKWINDOW = "e2e_tests:BookWindow.*"
REAL_INPUT = "e2e_tests:RealInputTest.*"
DISPLAY_SCALE = "e2e_tests:DisplayScale.*"

MUTANTS = [
    # What a user sees of the book window.
    Mutant("returning a page to the book leaves it floating", "bookwindow/BookWindow.cpp",
           "    page->floating = false;\n", "", [BOOKWINDOW]),
    Mutant("deleting the shown page leaves it in the view", "bookwindow/BookWindow.cpp",
           "        if (pageView->page() == page) {\n            pageView->setPage(nullptr);\n        }\n", "",
           [BOOKWINDOW]),
    Mutant("the shown page's index does not follow a deletion before it", "bookwindow/BookWindow.cpp",
           "    if (settings.showPage > index) {\n        --settings.showPage;\n    }\n", "", [BOOKWINDOW]),
    Mutant("the tray menu offers show and hide the wrong way round", "bookwindow/BookWindow.cpp",
           "IsWindowVisible(hwnd) == TRUE ? CMD_SHOW_WINDOW : CMD_HIDE_WINDOW",
           "IsWindowVisible(hwnd) == TRUE ? CMD_HIDE_WINDOW : CMD_SHOW_WINDOW", [BOOKWINDOW]),
    Mutant("the main menu never ticks always-on-top", "bookwindow/BookWindow.cpp",
           "const bool alwaysOnTop = settings.showTop;", "const bool alwaysOnTop = false;",
           [BOOKWINDOW]),
    Mutant("a right press on the strip goes to the default handling", "bookwindow/BookWindow.cpp",
           "void BookWindow::onNcRButtonDown(UINT, int, int) {}",
           "void BookWindow::onNcRButtonDown(UINT h, int x, int y) { FramedWindow::onNcRButtonDown(h, x, y); }",
           [BOOKWINDOW]),
    Mutant("opening a floating page from the list does nothing", "bookwindow/BookWindow.cpp",
           "            window->comeForward(settings.showTop);\n", "", [BOOKWINDOW]),
    Mutant("the shown page is not applied again after its settings changed", "bookwindow/BookWindow.cpp",
           "    if (page == shownPage()) {\n        pageView->setPage(page);", "    if (page == shownPage()) {\n",
           ["e2e_tests:Reentry.TheAnswered*"]),
    Mutant("the start-up page does not follow its deletion", "bookwindow/BookWindow.cpp",
           "    if (settings.beginPage == index) {\n        settings.beginPage = -1;",
           "    if (settings.beginPage == index) {\n", [E2E_BOOKWINDOW]),
    Mutant("the start-up page does not follow its move", "bookwindow/BookWindow.cpp",
           "        settings.beginPage = neighbour;", "        settings.beginPage = index;", [E2E_BOOKWINDOW]),
    Mutant("a floated page opens only to the right of the view", "bookwindow/BookWindow.cpp",
           "OffsetRect(&rect, offset, offset);", "OffsetRect(&rect, offset, 0);", [E2E_BOOKWINDOW]),
    Mutant("the book is written half a minute after a change", "book/AutosaveSchedule.h",
           "static constexpr Millis kDelay = 3000;", "static constexpr Millis kDelay = 30000;",
           ["native:model_tests:AutosaveSchedule.*", "e2e_tests:Safety.ChangesAre*"]),
    Mutant("typing without a pause puts the write off for ever", "book/AutosaveSchedule.cpp",
           "? pauseEnds : capEnds;", "? pauseEnds : pauseEnds;", ["native:model_tests:AutosaveSchedule.*"]),
    Mutant("a failed write is tried again at once", "book/AutosaveSchedule.cpp",
           "    retryAt = now + kRetryDelay;", "    retryAt = now;", ["native:model_tests:AutosaveSchedule.*"]),
    Mutant("the book window writes on every change at once", "bookwindow/BookWindow.cpp",
           "    schedule.changed(GetTickCount());\n    armSaveTimer();\n",
           "    schedule.changed(GetTickCount());\n    saveWhileRunning();\n", ["e2e_tests:Safety.ChangesAre*"]),
    Mutant("a suspend does not write the book", "bookwindow/BookWindow.cpp",
           "        if (wParam == PBT_APMSUSPEND) {\n            saveWhileRunning();\n        }\n", "",
           ["e2e_tests:Safety.ChangesAre*"]),
    Mutant("a display change leaves windows off the monitors", "bookwindow/BookWindow.cpp",
           "    case WM_DISPLAYCHANGE:\n        keepWindowsReachable();\n", "    case WM_DISPLAYCHANGE:\n",
           ["e2e_tests:Safety.ADisplay*"]),
    # Dialogs and the pages under them.
    Mutant("the book window acts while a dialog is open", "bookwindow/BookWindow.cpp",
           "bool BookWindow::busyAsking() const {\n    return ModalLoop::bringForward();",
           "bool BookWindow::busyAsking() const {\n    return false;", ["e2e_tests:Reentry.*"]),
    Mutant("a note opens its settings over another dialog", "pagewindows/FloatingPageWindow.cpp",
           "    if (ModalLoop::bringForward()) {", "    if (false) {", ["e2e_tests:Reentry.Nothing*"]),
    Mutant("a sheet is not counted as a dialog", "framework/PropertySheet.cpp",
           "    const ModalLoop loop;\n", "", ["e2e_tests:Reentry.Nothing*"]),
    Mutant("a book that reached no file is switched away from", "bookwindow/BookStorage.cpp",
           "    return AfterFailure::Lost;", "    return AfterFailure::Recovered;",
           ["e2e_tests:Options.*"]),
    Mutant("the settings keep the new book although the switch did not happen", "bookwindow/BookWindow.cpp",
           "        settings.bookFile = previousBookFile;\n", "", ["e2e_tests:Options.*"]),
    # The book file shared with other computers.
    Mutant("a write does not take in what another program wrote", "bookwindow/BookWindow.cpp",
           "        const Following following = followFile(path, atExit);",
           "        const Following following = Following::InStep;", ["e2e_tests:SharedFile.*"]),
    Mutant("the book file is never looked at while the program runs", "bookwindow/BookWindow.cpp",
           "    if (!hwnd || ModalLoop::running() || schedule.writing()) {\n        return;\n    }\n    switch",
           "    if (hwnd) {\n        return;\n    }\n    switch", ["e2e_tests:SharedFile.Pages*"]),
    Mutant("a file being rewritten is taken for damaged at once", "bookwindow/BookWindow.cpp",
           "constexpr DWORD kUnreadableWait = 10000;", "constexpr DWORD kUnreadableWait = 0;",
           ["e2e_tests:SharedFile.AFileRewritten*"]),
    Mutant("the notes stay when their pages left the file", "bookwindow/BookWindow.cpp",
           "        if (gone(page) || !page->floating) {", "        if (false) {", ["e2e_tests:SharedFile.Pages*"]),
    Mutant("our copy of a page changed on both sides is not marked", "book/BookMerge.cpp",
           "    return marked ? title : title + conflictMark;", "    return title;",
           ["native:model_tests:BookMerge.*", "e2e_tests:SharedFile.APage*"]),
    Mutant("a caret moved brings a deleted page back", "book/BookMerge.cpp",
           "            if (oc.title || oc.text) {", "            if (oc.record) {", ["native:model_tests:BookMerge.*"]),
    Mutant("a taken-in page is a new object, and windows lose it", "book/SharedBook.cpp",
           "        if (o != BookMerge::none && ours[o]) {", "        if (false) {",
           ["native:model_tests:SharedBook.*"]),
    Mutant("the same stamp right after a write is never checked by its contents", "book/SharedBook.cpp",
           "    return unsure && now - rememberedAt >= kUnsureFor ? Look::Unsure : Look::Unchanged;",
           "    return Look::Unchanged;", ["native:model_tests:SharedBook.*"]),
    # The page list.
    Mutant("the swatch's edge is drawn in the background colour", "bookwindow/PageList.cpp",
           "paint.fillRect(swatch, resolvedColor(page->format.frameColor, COLOR_BTNSHADOW));",
           "paint.fillRect(swatch, resolvedColor(page->format.editorFormat.backColor, COLOR_BTNSHADOW));",
           [BOOKWINDOW]),
    Mutant("a row's menu offers both float and return", "bookwindow/PageList.cpp",
           "page->floating ? CMD_FLOAT_PAGE : CMD_RETURN_TO_BOOK;", "0xFFFF;",
           [BOOKWINDOW]),
    Mutant("a right click below the last row opens that row's menu", "framework/ListBox.cpp",
           "    return HIWORD(answer) == 0;", "    return true;", [BOOKWINDOW]),
    Mutant("a row's menu is for the row under the pointer now", "bookwindow/PageList.cpp",
           "    POINT inList = pressed;", "    POINT inList{};\n    GetCursorPos(&inList);", [BOOKWINDOW]),
    Mutant("moving up is offered on the first row", "bookwindow/PageList.cpp",
           "enableButton(MoveUpButton, any && !filtered() && selected != 0);",
           "enableButton(MoveUpButton, any && !filtered());",
           ["bookwindow_tests:PageListTest.*"]),
    Mutant("Ctrl+Up moves the page down", "bookwindow/PageList.cpp",
           "moveSelected(virtualKey == VK_UP)", "moveSelected(virtualKey == VK_DOWN)",
           ["bookwindow_tests:PageListTest.*"]),
    # The page view, its editor and the notes.
    Mutant("F4 without Ctrl closes the page", "framework/EditControl.cpp",
           "key.virtualKey == virtualKey && key.control == control && key.shift == shift",
           "key.virtualKey == virtualKey && key.shift == shift", [BOOKWINDOW]),
    Mutant("the editor wraps its lines", "framework/EditControl.cpp",
           "ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL", "ES_MULTILINE | ES_AUTOVSCROLL", [BOOKWINDOW]),
    Mutant("the editor's pointer is always the I-beam", "framework/EditControl.cpp",
           "const bool overText = GetFocus() != nullptr && hitTest != HTVSCROLL;", "const bool overText = true;",
           [BOOKWINDOW]),
    Mutant("a note activated does not scroll to its caret", "pagewindows/PageView.cpp",
           "    SetFocus(editor->handle());\n    editor->scrollCaret();\n", "    SetFocus(editor->handle());\n",
           [BOOKWINDOW]),
    Mutant("typing never reaches the page", "pagewindows/PageView.cpp",
           "        shownPage->setText(std::move(text));", "", ["pagewindows_tests:PageViewTest.*"]),
    Mutant("a note never shrinks after the pointer left", "pagewindows/FloatingPageWindow.cpp",
           "        return;\n    }\n    collapse();", "        return;\n    }\n", ["pagewindows_tests:Floating*"]),
    Mutant("a note stores its rectangle grown by the strip", "pagewindows/FloatingPageWindow.cpp",
           "            rect.top += captionHeight;\n", "", ["pagewindows_tests:Floating*"]),
    Mutant("the About link never turns hot", "pagewindows/AboutBox.cpp",
           "    linkHot = true;\n    SetTimer", "    SetTimer", ["pagewindows_tests:AboutBox.*"]),
    # The application.
    Mutant("tooltips never appear", "framework/Application.cpp",
           "    tool.uFlags = TTF_SUBCLASS;", "    tool.uFlags = 0;", [BOOKWINDOW]),
    Mutant("a running program is recognised by its class alone", "app/BookApplication.cpp",
           "FindWindowA(text(IDS_MAIN_CLASS).c_str(), text(IDS_APP_TITLE).c_str())",
           "FindWindowA(text(IDS_MAIN_CLASS).c_str(), nullptr)",
           ["e2e_tests:Startup.*"]),
    Mutant("a second start does not show the hidden program", "app/BookApplication.cpp",
           "    ShowWindow(running, SW_SHOW);\n", "", ["e2e_tests:Startup.*"]),
    Mutant("a long Japanese string comes back cut", "framework/Application.cpp",
           "length >= size - 2;", "length >= size - 1;", ["framework_tests:StringLoading.*"]),
    # The page settings sheet.
    Mutant("OK stores the size the list shows", "sheets/FormatPage.cpp",
           "if (sizePicked && selectedSize(", "if (selectedSize(", ["sheets_tests:FormatTab.*"]),
    Mutant("a face that is not installed gets no sizes", "sheets/FontLists.cpp",
           "    if (sizes.count() == 0) {\n        addStandardSizes(sizeList);\n    }\n", "",
           ["sheets_tests:FormatTab.*"]),
    # The book file and its safe save.
    Mutant("the temporary file has a fixed name", "book/SafeFileWriter.cpp",
           "tempPath = FileSystem::temporaryNameBeside(target);", "tempPath = target + \".tmp\";",
           ["native:model_tests:BookFile.*"]),
    Mutant("a pending backup link is left behind", "book/FileSystem_posix.cpp",
           "    // either way.\n    std::remove(pending.c_str());", "    // either way.",
           ["native:model_tests:SafeSave.*"]),
    Mutant("the backup is never rotated", "bookwindow/BookStorage.cpp",
           "changed ? backupPathOf(path) : std::string()", "std::string()",
           ["e2e_tests:Safety.ChangesAre*"]),
    Mutant("a damaged book file is written over", "bookwindow/BookStorage.cpp",
           "    if (damagedFile && !keepDamagedFileAside(path)) {", "    if (false) {",
           ["e2e_tests:Safety.ADamaged*"]),
    Mutant("a book with bytes after its last page is read", "book/BookFile.cpp",
           "if (!damage.sound() || damage.trailingBytes > 0) {", "if (!damage.sound()) {",
           ["native:model_tests:*"]),
    Mutant("lkbook check calls a book with bytes after its last page sound", "tools/lkbook/Lkbook.cpp",
           "'lkbook salvage' copies the whole pages into a new book\\n\";\n        return Refused;",
           "'lkbook salvage' copies the whole pages into a new book\\n\";\n        return Success;",
           ["native:lkbook_tests:*"]),
    Mutant("light frame colours wrap round instead of staying white", "book/ColorMath.cpp",
           "    return std::clamp((value * kMax + 127) / kMax, 0, kMax);",
           "    return ((value * kMax + 127) / kMax) & 0xFF;", ["native:model_tests:*"]),
    # Real input: what a user met clicking and typing.
    Mutant("a note stays grown while the pointer is over a window covering it", "pagewindows/FloatingPageWindow.cpp",
           "    return under == hwnd || IsChild(hwnd, under);", "    return true;",
           ["e2e_tests:RealInputTest.ANoteShrinks*"]),
    Mutant("a note opened from the list stays under a book window kept on top", "pagewindows/FloatingPageWindow.cpp",
           "const bool lift = overTopmostBook && page() && !page()->alwaysOnTop;", "const bool lift = false;",
           ["e2e_tests:RealInputTest.AFloatingPagesRow*"]),
    Mutant("the message loop waits for a quit message a modal loop took", "framework/Application.cpp",
           "    quitting = true;\n", "", ["framework_tests:MessageLoop.*"]),
    Mutant("a floating page's row looks like any other", "bookwindow/PageList.cpp",
           "        drawNoteMark(dc, *page, swatch, scale);\n", "", [BOOKWINDOW]),
    Mutant("the magnifier does not open the search field", "bookwindow/PageList.cpp",
           "    if (id == CMD_SEARCH) {\n        startSearch();", "    if (id == CMD_SEARCH) {\n",
           ["bookwindow_tests:PageListTest.*"]),
    # Display scales.
    Mutant("the strip keeps its 96-DPI width", "bookwindow/BookWindow.cpp",
           "    const int strip = scale(kStripWidth);", "    const int strip = kStripWidth;",
           [DISPLAY_SCALE, "bookwindow_tests:BookWindowInProcess.AMoveToAMonitor*"]),
    Mutant("the tool bar's glyphs are stretched from 16 pixels", "bookwindow/PageList.cpp",
           "    const int size = scale(kIconSize);\n    const int iconId", "    const int size = kIconSize;\n    const int iconId",
           [DISPLAY_SCALE]),
    Mutant("the rows keep their height on a monitor of another scale", "bookwindow/PageList.cpp",
           "    listBox.setItemHeight(scale(kRowHeight));\n    for", "    for",
           ["bookwindow_tests:BookWindowInProcess.AMoveToAMonitor*"]),
    Mutant("the first start's window is not scaled", "sheets/Settings.cpp",
           "    const DisplayScale scale = DisplayScale::system();\n    readProfileInt",
           "    const DisplayScale scale;\n    readProfileInt", [DISPLAY_SCALE]),
    Mutant("the caption font stays at the system's DPI after a move", "framework/CaptionPane.cpp",
           "    createPointFont(captionFont, faceName, pointSize, scale);",
           "    createPointFont(captionFont, faceName, pointSize);",
           ["bookwindow_tests:BookWindowInProcess.AMoveToAMonitor*"]),
]

# Test executables and the CMake targets that build them.
TARGETS = {
    "bookwindow_tests": "bookwindow_tests",
    "pagewindows_tests": "pagewindows_tests",
    "e2e_tests": "e2e_tests",
    "framework_tests": "framework_tests",
    "sheets_tests": "sheets_tests",
    "model_tests": "model_tests",
    "lkbook_tests": "lkbook_tests",
}

TEST_TIME_LIMIT = 900


def run(command, cwd, limit=None):
    try:
        return subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=limit).returncode
    except subprocess.TimeoutExpired:
        return 124


def test_command(build, entry):
    parts = entry.split(":")
    native = parts[0] == "native"
    if native:
        parts = parts[1:]
    executable, test_filter = parts[0], parts[1]
    tree = os.path.join(build, "native" if native else "windows")
    program = os.path.join("tests", executable + ("" if native else ".exe"))
    command = ([program] if native else ["wine", program]) + ["--gtest_filter=" + test_filter]
    return tree, TARGETS[executable], command


def plant(work, mutant):
    """Returns 'caught', 'caught (does not build)' or 'not caught'."""
    source = os.path.join(work, "src", mutant.path)
    build = os.path.join(work, "build")
    with open(source, encoding="utf-8") as file:
        original = file.read()
    if original.count(mutant.find) != 1:
        return "the text to change is not found once: fix the list"
    with open(source, "w", encoding="utf-8") as file:
        file.write(original.replace(mutant.find, mutant.replace))
    try:
        for entry in mutant.tests:
            tree, target, command = test_command(build, entry)
            if run(["cmake", "--build", tree, "-j", str(os.cpu_count() or 2), "--target", target], tree) != 0:
                return "caught (does not build)"
            if run(command, tree, TEST_TIME_LIMIT) != 0:
                return "caught"
        return "not caught"
    finally:
        with open(source, "w", encoding="utf-8") as file:
            file.write(original)
        # The timestamps must change for the next build to see the original again.
        os.utime(source, None)


def main():
    work = sys.argv[1]
    words = [word.lower() for word in sys.argv[2:]]
    chosen = [m for m in MUTANTS if not words or any(word in m.description.lower() for word in words)]
    survivors = []
    caught = 0
    for number, mutant in enumerate(chosen, 1):
        started = time.time()
        outcome = plant(work, mutant)
        print(f"{number:3}/{len(chosen)} {outcome:26} {mutant.description} ({time.time() - started:.0f} s)",
              flush=True)
        if outcome.startswith("caught"):
            caught += 1
        else:
            survivors.append((mutant, outcome))
    # Everything built once more from the unchanged copy, for the next run.
    for tree in ("native", "windows"):
        run(["cmake", "--build", os.path.join(work, "build", tree), "-j", str(os.cpu_count() or 2)],
            os.path.join(work, "build", tree))
    print(f"\ncaught {caught} of {len(chosen)} planted faults")
    for mutant, outcome in survivors:
        print(f"  {outcome}: {mutant.description} ({mutant.path})")
    return 0 if not survivors else 1


if __name__ == "__main__":
    sys.exit(main())
