#include "sheets/Settings.h"

#include "framework/Application.h"
#include "framework/DisplayScale.h"
#include "framework/Profile.h"
#include "book/Book.h"
#include "resources/resource.h"

#include <commctrl.h>

Settings* activeSettings = nullptr;

namespace {

constexpr const char* kStatus = "Status";
constexpr const char* kOption = "Option";
// The name string IDS_INI_NAME holds, for a module without the string table.
constexpr const char* kFallbackIniName = "Leafkeeper.ini";
constexpr const char* kBookFileName = "lk.bok";

// Looks at the last character, not the last byte: the trail byte of a
// double-byte character such as "表" is 0x5C too.
bool endsWithSeparator(const std::string& path) {
    const char* const begin = path.c_str();
    const char* const end = begin + path.size();
    const char* const last = CharPrevA(begin, end);
    return end - last == 1 && (*last == '\\' || *last == '/');
}

} // namespace

Settings::Settings() {
    addPage(&optionsPage);
    activeSettings = this;
}

Settings::~Settings() {
    if (activeSettings == this) {
        activeSettings = nullptr;
    }
}

void Settings::load() {
    const std::string file = iniPath();
    // The first start's window is as large on the screen at any display scale.
    const DisplayScale scale = DisplayScale::system();
    readProfileInt(kStatus, "Left", scale(kDefaultLeft), left, file);
    readProfileInt(kStatus, "Top", scale(kDefaultTop), top, file);
    readProfileInt(kStatus, "Right", scale(kDefaultRight), right, file);
    readProfileInt(kStatus, "Bottom", scale(kDefaultBottom), bottom, file);
    readProfileBool(kStatus, "Show Top", false, showTop, file);
    readProfileInt(kStatus, "Show Page", -1, showPage, file);
    readProfileBool(kOption, "Begin Hide", false, beginHide, file);
    const std::string defaultFile = defaultBookFile();
    readProfileString(kOption, "Save File", defaultFile.c_str(), bookFile, file);
    if (bookFile.empty()) {
        bookFile = defaultFile;
    }
    readProfileBool(kOption, "Close End", false, closeEnd, file);
    readProfileInt(kOption, "Begin Page", kBeginWithPageList, beginPage, file);
}

bool Settings::save() const {
    const std::string file = iniPath();
    // Every key is written even after a failed one.
    bool written = writeProfileInt(kStatus, "Left", left, file);
    written &= writeProfileInt(kStatus, "Top", top, file);
    written &= writeProfileInt(kStatus, "Right", right, file);
    written &= writeProfileInt(kStatus, "Bottom", bottom, file);
    written &= writeProfileBool(kStatus, "Show Top", showTop, file);
    written &= writeProfileInt(kStatus, "Show Page", showPage, file);
    written &= writeProfileBool(kOption, "Begin Hide", beginHide, file);
    written &= writeProfileString(kOption, "Save File", bookFile, file);
    written &= writeProfileBool(kOption, "Close End", closeEnd, file);
    written &= writeProfileInt(kOption, "Begin Page", beginPage, file);
    return written;
}

std::string Settings::dataFolder() const {
    if (!dataFolderOverride.empty()) {
        return dataFolderOverride;
    }
    std::string folder;
    application().moduleDirectory(folder);
    return folder;
}

void Settings::setDataFolder(const std::string& folder) {
    dataFolderOverride = folder;
    if (!dataFolderOverride.empty() && !endsWithSeparator(dataFolderOverride)) {
        dataFolderOverride += '\\';
    }
}

std::string Settings::iniPath() const {
    std::string name = kFallbackIniName;
    application().loadString(IDS_INI_NAME, name);
    return dataFolder() + name;
}

std::string Settings::defaultBookFile() const {
    return dataFolder() + kBookFileName;
}

int Settings::runOptions(HWND parent, const Book& book) {
    // With more than one Settings alive the page must edit the one that runs.
    activeSettings = this;
    optionsOwner = &book;
    const std::string caption = application().text(IDS_OPTIONS_CAPTION);
    const int result = run(PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP, parent, IDI_APP, caption.c_str(), 0);
    optionsOwner = nullptr;
    return result;
}
