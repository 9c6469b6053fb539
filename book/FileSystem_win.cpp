#include "book/FileSystem.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

namespace FileSystem {

std::FILE* openForReading(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return nullptr;
    }
    return std::fopen(path.c_str(), "rb");
}

bool fileSize(std::FILE* file, std::uint64_t& size) {
    LARGE_INTEGER length{};
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (handle == INVALID_HANDLE_VALUE || GetFileSizeEx(handle, &length) != TRUE) {
        return false;
    }
    size = static_cast<std::uint64_t>(length.QuadPart);
    return true;
}

bool syncToDisk(std::FILE* file) {
    return _commit(_fileno(file)) == 0;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == TRUE;
}

bool preserveAsBackup(const std::string& original, const std::string& backup) {
    const std::string pending = temporaryNameBeside(backup);
    // A hard link costs nothing; a file system without them gets a copy.
    // Neither replaces a file that happens to have the pending name.
    if (!CreateHardLinkA(pending.c_str(), original.c_str(), nullptr) &&
        !CopyFileA(original.c_str(), pending.c_str(), TRUE)) {
        return false;
    }
    const bool replaced = replaceFile(pending, backup);
    // A rename between two names of one file (the backup already a link to
    // the book) succeeds without removing the source: the pending name goes
    // either way.
    DeleteFileA(pending.c_str());
    return replaced;
}

bool removeFile(const std::string& path) {
    return DeleteFileA(path.c_str()) == TRUE;
}

std::FILE* createNew(const std::string& path) {
    const HANDLE handle =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_WRONLY);
    if (descriptor == -1) {
        CloseHandle(handle);
        DeleteFileA(path.c_str());
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, "wb");
    if (!file) {
        _close(descriptor);
        DeleteFileA(path.c_str());
    }
    return file;
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

// FILETIME counts 100-nanosecond steps since 1601.
constexpr std::int64_t kFileTimeOf1970 = 116444736000000000LL;

std::int64_t nanosecondsSince1970(const FILETIME& time) {
    const std::int64_t steps =
        static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return (steps - kFileTimeOf1970) * 100;
}

} // namespace

FileStamp stamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FileStamp result;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return result;
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        result.kind = FileStamp::Kind::Folder;
        return result;
    }
    result.kind = FileStamp::Kind::File;
    result.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    result.modified = nanosecondsSince1970(data.ftLastWriteTime);
    return result;
}

std::int64_t now() {
    FILETIME time{};
    GetSystemTimeAsFileTime(&time);
    return nanosecondsSince1970(time);
}

} // namespace FileSystem
