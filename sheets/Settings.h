#pragma once

#include "sheets/OptionsPage.h"
#include "framework/PropertySheet.h"

#include <windows.h>

#include <string>

class Book;

// The program's ten settings, kept in the INI file beside the executable,
// and at the same time the options property sheet that edits them. The
// book window holds the one object of the program and reads and writes the
// fields directly.
class Settings : public PropertySheet {
public:
    // Values of beginPage below 0.
    static constexpr int kBeginWithLastPage = -2;
    static constexpr int kBeginWithPageList = -1;
    // The book window's rectangle when the INI file has none, at 96 DPI
    // (loaded scaled to the system's DPI).
    static constexpr int kDefaultLeft = 50;
    static constexpr int kDefaultTop = 50;
    static constexpr int kDefaultRight = 350;
    static constexpr int kDefaultBottom = 200;

    // Makes this object the one the options page edits (activeSettings).
    Settings();
    ~Settings() override;

    // Reads every key into the fields; a missing file or key gives its
    // default. An empty "Save File" also gives the default book file: an
    // empty path can be neither read nor written, and every note would be
    // lost at exit.
    void load();
    // Writes every key, one write each; true when all ten were written.
    // Callers may ignore failures: the fields stay as they are.
    bool save() const;

    // The folder that holds the INI file and the default book file: the one
    // set with setDataFolder, or else the program folder; ends in a backslash.
    std::string dataFolder() const;
    // Puts the INI file and the default book file into another folder (tests,
    // a book window started elsewhere); an empty folder returns to the
    // program folder.
    void setDataFolder(const std::string& folder);
    // The data folder followed by string IDS_INI_NAME ("Leafkeeper.ini"),
    // built afresh for every call.
    std::string iniPath() const;
    // The data folder followed by "lk.bok".
    std::string defaultBookFile() const;

    // Runs the options sheet modally over `parent` for the pages of `book`.
    // Returns PropertySheetA's result: positive for OK (the fields then hold
    // the choices), 0 for Cancel (nothing changed), -1 when the sheet could
    // not be shown. The INI file is not written here.
    int runOptions(HWND parent, const Book& book);

    // The book window's rectangle in screen pixels, as GetWindowRect gives it at exit.
    int left = kDefaultLeft;
    int top = kDefaultTop;
    int right = kDefaultRight;
    int bottom = kDefaultBottom;
    bool showTop = false;
    // Start hidden, with only the notification-area icon.
    bool beginHide = false;
    // A click on the close icon ends the program instead of hiding the window.
    bool closeEnd = false;
    // -2 the page of showPage, -1 the page list, 0 or more that page.
    int beginPage = kBeginWithPageList;
    // The page the book window shows, -1 while it shows the page list.
    int showPage = -1;
    std::string bookFile;

private:
    OptionsPage optionsPage;
    std::string dataFolderOverride;
};

// The settings the options page reads and writes: the Settings object built
// last (and the one whose sheet runs), null when none exists.
extern Settings* activeSettings;
