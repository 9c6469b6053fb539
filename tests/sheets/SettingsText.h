#pragma once

#include "sheets/Settings.h"

#include <sstream>
#include <string>

// Every field of the settings on one line, so a mismatch shows which one differs.
inline std::string describe(const Settings& s) {
    std::ostringstream text;
    text << "rect=" << s.left << "," << s.top << "," << s.right << "," << s.bottom << " showTop=" << s.showTop
         << " beginHide=" << s.beginHide << " closeEnd=" << s.closeEnd << " beginPage=" << s.beginPage
         << " showPage=" << s.showPage << " bookFile=" << s.bookFile;
    return text.str();
}
