#pragma once

#include "support/Dialogs.h"
#include "support/TempFolder.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Polls until the condition holds; false when the time ran out first.
bool waitFor(const std::function<bool()>& condition, DWORD milliseconds = 15000);

// The real Leafkeeper.exe, copied into a fresh temporary folder so that its
// INI file and book file are the test's own, started, driven from outside
// through its windows, and ended (killed, if still running, at the end).
class ProgramUnderTest {
public:
    // With a fault, the build whose book writes fail or stop as LK_FAULT says
    // (see faults/FaultyLeafkeeper.cpp).
    explicit ProgramUnderTest(const char* fault = nullptr);
    ~ProgramUnderTest() { kill(); }

    std::string file(const std::string& name) const { return temporary.file(name); }
    std::string bookPath() const { return file("lk.bok"); }
    bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }
    std::string read(const std::string& name) const { return readText(file(name)); }
    // Names of the files in the program's folder that match a wildcard pattern.
    std::vector<std::string> filesMatching(const std::string& pattern) const;
    void write(const std::string& name, const std::string& contents) const { writeText(file(name), contents); }
    // A value of the program's INI file, "<missing>" when it has none.
    std::string iniValue(const char* section, const char* key) const;
    // A book of a page, shown at start-up, and a floating note; `options`
    // goes on in the INI's [Option] section.
    void writePageAndNote(const std::string& options = std::string()) const;

    // Starts the program; true once a main window exists (shown or not),
    // which may be that of a program already running.
    bool start();
    // Posts 終了 (or another message) to the main window, answers every
    // message the program shows with Cancel and expects it to end with exit
    // code 0. Returns the recovery file the last message named, empty when
    // none did.
    std::string exit(UINT message = WM_COMMAND, WPARAM wParam = 111, LPARAM lParam = 0);
    // Waits for the program to end by itself (the user chose 終了); true once
    // it has, with exit code 0.
    bool ended(DWORD milliseconds = 20000);
    // Ends a running program at once, as a power cut would.
    void kill();

    // Top-level windows of this class, whatever their process: only the
    // program under test makes windows of its own classes.
    static std::vector<HWND> windowsOfClass(const char* className);
    // The program allows one instance per user.
    HWND mainWindow() const { return FindWindowA("LKMAINWND", "Leafkeeper"); }
    DWORD processId() const { return process.dwProcessId; }
    std::vector<HWND> floatingWindows() const { return windowsOfClass("LKDOCWND"); }
    // The list box of the page list and the editor of the page view, each in
    // its pane (a child of class "LKDOCWND") of the book window.
    HWND paneControl(const char* className) const;
    HWND listBox() const { return paneControl("ListBox"); }
    HWND editor() const { return paneControl("Edit"); }
    int pageCount() const { return static_cast<int>(SendMessageA(listBox(), LB_GETCOUNT, 0, 0)); }

    // The first dialog (message box, sheet) of the process other than
    // `previous`, which may still be closing; null when none comes.
    HWND waitForDialog(HWND previous = nullptr, DWORD milliseconds = 10000) const;
    // Waits until the program has handled everything sent so far.
    void settle() const;
    // Waits until the program has handled everything posted so far, also
    // inside a modal loop: posts two toggles of the window's always-on-top
    // command (110, to the book window or a note) and waits for both.
    void handledPosted(HWND window) const;
    // Every dialog (message box, sheet) the program shows now.
    std::vector<HWND> dialogs() const;
    // Answers the next dialog with a button and waits until it is handled;
    // returns the message it showed.
    std::string answerDialog(int button) const;

    // Replaces an editor's whole text, as typing would.
    static void type(HWND editor, const char* text);
    static HWND noteEditor(HWND note) { return FindWindowExA(note, nullptr, "Edit", nullptr); }
    // The recovery file a failed write's message names; empty when none.
    static std::string recoveryFileNamedIn(const std::string& message);

private:
    TempFolder temporary;
    PROCESS_INFORMATION process{};
};
