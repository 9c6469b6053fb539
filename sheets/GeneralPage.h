#pragma once

#include "framework/PropertyPage.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The "全般" tab of the page settings: title, the two flags, and the update
// time and data size for information.
class GeneralPage : public PropertyPage {
public:
    GeneralPage();

    bool onInitDialog(HWND focusControl, LPARAM initValue) override;
    // Refuses to let the page be left (and OK to close the sheet) while the
    // title is empty.
    bool onKillActive() override;
    bool onApply() override;

    // "2003年1月1日 9時5分7秒" in local time; empty for -1 (never changed)
    // and for a time the C library cannot convert.
    static std::string formatUpdateTime(std::int32_t updateTime);
    static std::string formatDataSize(std::size_t bytes);
};
