#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// What a file looks like from outside, read without opening it: enough to
// notice that another program (another computer, through a synchronised
// folder) changed it.
struct FileStamp {
    enum class Kind { Missing, File, Folder };
    Kind kind = Kind::Missing;
    std::uint64_t size = 0;
    // The last write, in nanoseconds since 1970 (as fine as the file system
    // keeps it).
    std::int64_t modified = 0;

    bool operator==(const FileStamp& other) const {
        return kind == other.kind && size == other.size && modified == other.modified;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// The few file operations that differ between Windows and POSIX. Paths are
// byte strings in the system's narrow encoding (code page 932 on Windows).
namespace FileSystem {

FileStamp stamp(const std::string& path);
// The wall clock in the units of FileStamp::modified.
std::int64_t now();

// Opens an existing regular file for binary reading; null for a missing file
// or a directory.
std::FILE* openForReading(const std::string& path);

bool fileSize(std::FILE* file, std::uint64_t& size);

// Makes the written contents of the file durable (after fflush).
bool syncToDisk(std::FILE* file);

// Puts `from` in place of `to` in one step; `to` either keeps its old
// contents or has the new ones, never neither.
bool replaceFile(const std::string& from, const std::string& to);

// Makes `backup` a copy of `original` (a hard link where the file system
// allows it) without touching `original`; the previous backup is replaced in
// one step.
bool preserveAsBackup(const std::string& original, const std::string& backup);

bool removeFile(const std::string& path);

// Creates `path` for binary writing only when no file or folder of that name
// exists; null otherwise. Nothing that was there is ever opened or replaced.
std::FILE* createNew(const std::string& path);

// A name beside `path` for a temporary file, unlike any the process gave
// before: "<path>.<8 hex digits>.tmp". Whether the name is free is the
// caller's to find out (createNew, or a hard link, fails on a taken name).
std::string temporaryNameBeside(const std::string& path);

bool exists(const std::string& path);

} // namespace FileSystem
