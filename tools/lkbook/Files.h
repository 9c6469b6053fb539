#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

// The file operations of the tool (Files_win.cpp and Files_posix.cpp hold
// the ones that differ between the systems).
// Paths from the command line are bytes in the system's narrow encoding (the
// ANSI code page on Windows, as the book code expects them); names the tool
// makes up itself are UTF-8.
namespace Files {

std::filesystem::path fromArgument(const std::string& argument);

// The argument in UTF-8, for messages.
std::string forDisplay(const std::string& argument);

// `folder` / `nameUtf8`.
std::filesystem::path child(const std::filesystem::path& folder, const std::string& nameUtf8);

// true when both arguments name the same file, or the same place for a file
// that does not exist yet.
bool sameFile(const std::string& first, const std::string& second);

// Creates the folder and its parents as needed; true when it exists afterwards.
bool makeFolder(const std::filesystem::path& folder);

bool readWhole(const std::string& argument, std::string& bytes);

// Replaces the file's contents; false on any failure.
bool writeWhole(const std::filesystem::path& path, const std::string& bytes);

// Writes `bytes` to a file opened for writing (null when opening failed) and
// closes it; false on any failure.
bool writeAndClose(std::FILE* file, const std::string& bytes);

} // namespace Files
