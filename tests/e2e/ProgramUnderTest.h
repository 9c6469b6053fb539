#pragma once

#include "support/TempFolder.h"

#include <windows.h>

#include <string>
#include <vector>

// The real Leafkeeper.exe, copied into a fresh temporary folder so that its
// INI file and book file are the test's own, started, driven from outside
// through its windows, and ended.
class ProgramUnderTest {
public:
    // The program as shipped, or the one whose book writes fail or stop as
    // LK_FAULT says.
    enum class Build { Shipped, Faulty };

    explicit ProgramUnderTest(Build build = Build::Shipped);
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;
    // Ends a program still running and removes the folder.
    ~ProgramUnderTest();

    std::string folder() const { return temporary.path().string(); }
    std::string file(const std::string& name) const { return folder() + "\\" + name; }
    std::string iniPath() const { return file("Leafkeeper.ini"); }
    std::string bookPath() const { return file("lk.bok"); }
    bool exists(const std::string& name) const;
    std::string read(const std::string& name) const { return readText(file(name)); }
    void write(const std::string& name, const std::string& contents) const { writeText(file(name), contents); }
    // A value of the program's INI file, "<missing>" when it has none.
    std::string iniValue(const char* section, const char* key) const;

    // Starts the program and waits until its main window exists (shown or not).
    bool start();
    // Starts another process of the same executable; returns its exit code.
    bool startSecondInstance(DWORD& exitCode, DWORD timeoutMilliseconds = 15000) const;
    bool running() const;
    bool waitForExit(DWORD& exitCode, DWORD timeoutMilliseconds = 15000);
    // Ends the program with its 終了 command and expects exit code 0.
    void exitNormally();
    void kill();

    DWORD processId() const { return process.dwProcessId; }
    HWND mainWindow() const;
    // Top-level windows of the process with this class name.
    std::vector<HWND> windowsOfClass(const char* className) const;
    // The book window's two panes (children of class "LKDOCWND" holding a
    // list box or an editor), their controls, and the floating page windows.
    HWND pageListPane() const;
    HWND pageViewPane() const;
    HWND listBox() const;
    HWND editor() const;
    std::vector<HWND> floatingWindows() const;
    // Waits for the next dialog (message box, sheet) of the process other
    // than `previous`, which may still be closing.
    HWND waitForDialog(DWORD timeoutMilliseconds = 10000, HWND previous = nullptr) const;
    // Waits until no dialog of the process is open.
    bool waitForNoDialog(DWORD timeoutMilliseconds = 10000) const;
    // Waits until the program has handled everything sent so far.
    void settle() const;
    // Answers the next dialog with a button; returns the message it showed.
    std::string answerDialog(int button) const;

    // WM_COMMAND as a menu or button sends it.
    void postCommand(HWND window, int id, int code = 0) const;
    // Sent, so it returns after the window handled it (unless it opens a modal loop).
    LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Replaces an editor's whole text, as typing would.
    static void type(HWND editor, const char* text);
    static HWND noteEditor(HWND note) { return FindWindowExA(note, nullptr, "Edit", nullptr); }
    // The text of each page of a sound book file; empty for any other file.
    static std::vector<std::string> textsIn(const std::string& path);
    // The recovery file a failed save's message names; empty when none.
    static std::string recoveryFileNamedIn(const std::string& message);

private:
    TempFolder temporary;
    PROCESS_INFORMATION process{};
};

// The executables under test (Unix paths given at build time, seen through
// Wine's Z: drive).
std::string leafkeeperExecutable();
std::string faultyLeafkeeperExecutable();
