#include "framework/Profile.h"

#include <windows.h>

#include <vector>

namespace {
constexpr DWORD kBufferStep = 256;
constexpr const char* kYes = "Yes";
constexpr const char* kNo = "No";
} // namespace

int readProfileInt(const char* section, const char* key, int defaultValue, int& value, const std::string& file) {
    value = static_cast<int>(GetPrivateProfileIntA(section, key, defaultValue, file.c_str()));
    return value;
}

void readProfileString(const char* section, const char* key, const char* defaultValue, std::string& value,
                       const std::string& file) {
    std::vector<char> buffer;
    DWORD length = 0;
    // A value that filled the buffer may have been cut: read again with more room.
    for (DWORD size = kBufferStep;; size += kBufferStep) {
        buffer.assign(size, '\0');
        length = GetPrivateProfileStringA(section, key, defaultValue, buffer.data(), size, file.c_str());
        if (length < size - 2) {
            break;
        }
    }
    value.assign(buffer.data(), length);
}

void readProfileBool(const char* section, const char* key, bool defaultValue, bool& flag, const std::string& file) {
    std::string text;
    readProfileString(section, key, defaultValue ? kYes : kNo, text, file);
    flag = text == kYes;
}

bool writeProfileInt(const char* section, const char* key, int value, const std::string& file) {
    char text[16];
    wsprintfA(text, "%d", value);
    return writeProfileString(section, key, text, file);
}

bool writeProfileString(const char* section, const char* key, const std::string& text, const std::string& file) {
    return WritePrivateProfileStringA(section, key, text.c_str(), file.c_str()) == 1;
}

bool writeProfileBool(const char* section, const char* key, bool flag, const std::string& file) {
    return writeProfileString(section, key, flag ? kYes : kNo, file);
}
