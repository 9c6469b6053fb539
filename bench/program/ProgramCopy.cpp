#include "ProgramCopy.h"

#include <windows.h>

#include <cstdio>

std::string windowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

std::string leafkeeperExecutable() {
    return windowsPath(LEAFKEEPER_EXE);
}

void removeFolder(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string path = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeFolder(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

ProgramCopy::ProgramCopy(const std::string& parentFolder, const std::string& name)
    : folderPath(parentFolder + "\\" + name) {
    removeFolder(folderPath);
    CreateDirectoryA(folderPath.c_str(), nullptr);
    CopyFileA(leafkeeperExecutable().c_str(), file("Leafkeeper.exe").c_str(), FALSE);
}

ProgramCopy::~ProgramCopy() {
    removeFolder(folderPath);
}

bool ProgramCopy::write(const std::string& name, const std::string& contents) const {
    std::FILE* out = std::fopen(file(name).c_str(), "wb");
    if (!out) {
        return false;
    }
    const bool written = std::fwrite(contents.data(), 1, contents.size(), out) == contents.size();
    return std::fclose(out) == 0 && written;
}
