#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// Writes a file so that a failure at any point leaves the previous file
// byte-for-byte intact: everything goes to a temporary file in the same
// folder, which replaces the target in one step only after every write, the
// flush, the sync and the close have succeeded. An uncommitted writer removes
// its temporary file.
class SafeFileWriter {
public:
    explicit SafeFileWriter(std::string targetPath);
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;
    ~SafeFileWriter();

    bool open();
    // A failed write is remembered; commit then fails.
    void write(const void* data, std::size_t size);
    bool commit();

    const std::string& temporaryPath() const { return tempPath; }

private:
    void abandon();

    std::string target;
    std::string tempPath;
    std::vector<char> buffer; // declared before the file: it must outlive the stream
    std::FILE* file = nullptr;
    bool failed = false;
};
