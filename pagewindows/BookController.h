#pragma once

class Page;

// What the page list, the page view and the floating page windows may ask of
// the book window. They hold their owner through this interface only.
class BookController {
public:
    virtual void openPage(int index) = 0;
    virtual void showPageList(bool setFocus) = 0;
    virtual void floatPage(int index, bool placeOverView) = 0;
    // The window of a floating page is destroyed and its object deleted
    // before this returns.
    virtual void returnToBook(Page* page) = 0;
    // Asks first; a floating page's window and object are gone when it returns
    // after the user agreed.
    virtual void deletePage(Page* page) = 0;
    // false when nothing moved (an end of the book, or a dialog is open).
    virtual bool movePage(int index, bool up) = 0;
    virtual void editPageSettings(int index) = 0;
    virtual void newPage() = 0;
    virtual void refreshPageList(bool keepSelection) = 0;
    // Something the user wrote or chose changed a page (typing, a flag of a
    // floating window): the book will be written again a few seconds later.
    virtual void bookChanged() = 0;

protected:
    ~BookController() = default;
};
