#pragma once

#include <cstdio>

// Closes a FILE when it goes out of scope, unless it was closed before.
class FileCloser {
public:
    explicit FileCloser(std::FILE* opened) : file(opened) {}
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;
    ~FileCloser() {
        if (file) {
            std::fclose(file);
        }
    }

    // Closes now; true when everything written reached the file.
    bool close() {
        const bool ok = std::fclose(file) == 0;
        file = nullptr;
        return ok;
    }

private:
    std::FILE* file;
};
