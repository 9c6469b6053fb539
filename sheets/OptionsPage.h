#pragma once

#include "framework/PropertyPage.h"

#include <windows.h>

class Book;

// The options sheet's one page, "全般" (dialog IDD_OPTIONS_GENERAL): the book
// file, the start-up page and the two start-up and exit behaviours. It keeps
// nothing of its own: it shows and stores the fields of activeSettings, and
// lists the pages of optionsOwner's book for the start-up page choice.
class OptionsPage : public PropertyPage {
public:
    OptionsPage();

    // "変更(&C)..." opens the file chooser; a start-up radio button enables
    // the page choice exactly when "次のページを表示(&P)" is checked.
    void onCommand(UINT notificationCode, UINT id, HWND control) override;
    // Shows the settings; returns true so the dialog manager sets the focus.
    bool onInitDialog(HWND focusControl, LPARAM initValue) override;
    // Stores the page's choices into the settings; false (no error).
    bool onApply() override;

private:
    void chooseBookFile() const;
    void fillPageChoice(int beginPage) const;
    void enablePageChoice() const;
};

// The book whose pages the options page lists; set by Settings::runOptions
// for the time the sheet runs, null otherwise.
extern const Book* optionsOwner;
