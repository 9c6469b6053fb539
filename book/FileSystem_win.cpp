#include "book/FileSystem.h"

#include <windows.h>
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

bool syncToDisk(std::FILE* file) { return _commit(_fileno(file)) == 0; }

bool replaceFile(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == TRUE;
}

bool preserveAsBackup(const std::string& original, const std::string& backup) {
    const std::string pending = backup + ".tmp";
    DeleteFileA(pending.c_str());
    // A hard link costs nothing; a file system without them gets a copy.
    if (!CreateHardLinkA(pending.c_str(), original.c_str(), nullptr) &&
        !CopyFileA(original.c_str(), pending.c_str(), FALSE)) {
        DeleteFileA(pending.c_str());
        return false;
    }
    if (!replaceFile(pending, backup)) {
        DeleteFileA(pending.c_str());
        return false;
    }
    return true;
}

bool removeFile(const std::string& path) { return DeleteFileA(path.c_str()) == TRUE; }

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

} // namespace FileSystem
