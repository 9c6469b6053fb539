#pragma once

#include "framework/DialogWindow.h"

#include <string>

// The small box that asks for the words to find in a page: one field,
// "次を検索" and "キャンセル".
class FindDialog : public DialogWindow {
public:
    // Shows the box over `parent` with `words` in the field; true when the
    // user asked to find, `words` then holding what the field held.
    bool ask(HWND parent, std::string& words);

    bool onInitDialog(HWND focusControl, LPARAM initValue) override;
    void onOK() override;
    void onCancel() override;

private:
    std::string* asked = nullptr;
    bool confirmed = false;
};
