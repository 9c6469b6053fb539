#pragma once

#include <string>

// The settings file: an INI file read and written key by key. Integers are
// stored as "%d" text, booleans as "Yes" or "No" (only "Yes" reads as true).
// `file` is the INI file's full path.

int readProfileInt(const char* section, const char* key, int defaultValue, int& value, const std::string& file);
// The value is read whole, however long it is.
void readProfileString(const char* section, const char* key, const char* defaultValue, std::string& value,
                       const std::string& file);
void readProfileBool(const char* section, const char* key, bool defaultValue, bool& flag, const std::string& file);

bool writeProfileInt(const char* section, const char* key, int value, const std::string& file);
bool writeProfileString(const char* section, const char* key, const std::string& text, const std::string& file);
bool writeProfileBool(const char* section, const char* key, bool flag, const std::string& file);
