#pragma once

#include "book/Page.h"
#include "bookwindow/BookController.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Stands in for the book window: records every call a pane or floating window
// makes, with its argument, and lets a test act on the returning and deleting
// calls as the book window would.
class RecordingController : public BookController {
public:
    struct Call {
        std::string name;
        long long argument;
    };

    void openPage(int index) override { record("openPage", index); }
    void showPageList(bool setFocus) override { record("showPageList", setFocus ? 1 : 0); }
    void floatPage(int index, bool placeOverView) override { record("floatPage", index * 2 + (placeOverView ? 1 : 0)); }
    void returnToBook(Page* page) override {
        record("returnToBook", pointerValue(page));
        if (onReturnToBook) {
            onReturnToBook(page);
        }
    }
    void deletePage(Page* page) override {
        record("deletePage", pointerValue(page));
        if (onDeletePage) {
            onDeletePage(page);
        }
    }
    void movePage(int index, bool up) override { record("movePage", index * 2 + (up ? 1 : 0)); }
    void editPageSettings(int index) override { record("editPageSettings", index); }
    void newPage() override { record("newPage", 0); }
    void refreshPageList(bool keepSelection) override { record("refreshPageList", keepSelection ? 1 : 0); }
    void bookChanged() override { record("bookChanged", 0); }

    int count(const std::string& name) const {
        int found = 0;
        for (const Call& call : calls) {
            found += call.name == name ? 1 : 0;
        }
        return found;
    }
    // The argument of the only call of that name; fails the test otherwise.
    long long argumentOf(const std::string& name) const {
        long long argument = -1;
        int found = 0;
        for (const Call& call : calls) {
            if (call.name == name) {
                argument = call.argument;
                ++found;
            }
        }
        return found == 1 ? argument : -1;
    }
    void clear() { calls.clear(); }

    static long long pointerValue(const void* pointer) {
        return static_cast<long long>(reinterpret_cast<UINT_PTR>(pointer));
    }

    std::vector<Call> calls;
    std::function<void(Page*)> onReturnToBook;
    std::function<void(Page*)> onDeletePage;

private:
    void record(const char* name, long long argument) { calls.push_back({name, argument}); }
};
