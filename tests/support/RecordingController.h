#pragma once

#include "pagewindows/BookController.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Stands in for the book window: records every call a pane or floating window
// makes, and lets a test act on each call as the book window would.
class RecordingController : public BookController {
public:
    struct Call {
        std::string name;
        int index = -1;
        const Page* page = nullptr;
        bool flag = false;

        bool operator==(const Call& other) const {
            return name == other.name && index == other.index && page == other.page && flag == other.flag;
        }
    };

    void openPage(int index) override { record({"openPage", index}); }
    void showPageList(bool setFocus) override { record({"showPageList", -1, nullptr, setFocus}); }
    void floatPage(int index, bool placeOverView) override { record({"floatPage", index, nullptr, placeOverView}); }
    void returnToBook(Page* page) override { record({"returnToBook", -1, page}, page); }
    void deletePage(Page* page) override { record({"deletePage", -1, page}, page); }
    bool movePage(int index, bool up) override {
        record({"movePage", index, nullptr, up});
        return true;
    }
    void editPageSettings(int index) override { record({"editPageSettings", index}); }
    void newPage() override { record({"newPage"}); }
    void refreshPageList(bool keepSelection) override { record({"refreshPageList", -1, nullptr, keepSelection}); }
    void bookChanged() override { record({"bookChanged"}); }

    int count(const std::string& name) const {
        int found = 0;
        for (const Call& call : calls) {
            found += call.name == name ? 1 : 0;
        }
        return found;
    }
    bool has(const Call& wanted) const {
        for (const Call& call : calls) {
            if (call == wanted) {
                return true;
            }
        }
        return false;
    }
    void clear() { calls.clear(); }

    std::vector<Call> calls;
    // Runs after each call is recorded; the page is the one the call names.
    std::function<void(const Call&, Page*)> act;

private:
    void record(const Call& call, Page* page = nullptr) {
        calls.push_back(call);
        if (act) {
            act(call, page);
        }
    }
};

inline std::ostream& operator<<(std::ostream& out, const RecordingController::Call& call) {
    return out << call.name << "(" << call.index << ", " << call.page << ", " << call.flag << ")";
}
