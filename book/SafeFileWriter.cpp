#include "book/SafeFileWriter.h"

#include "book/FileSystem.h"

#include <utility>
#include <vector>

namespace {
// Large enough that a big book is written in few system calls.
constexpr std::size_t kWriteBufferSize = 1 << 20;
} // namespace

SafeFileWriter::SafeFileWriter(std::string targetPath) : target(std::move(targetPath)), tempPath(target + ".tmp") {}

SafeFileWriter::~SafeFileWriter() { abandon(); }

bool SafeFileWriter::open() {
    file = std::fopen(tempPath.c_str(), "wb");
    if (!file) {
        return false;
    }
    // With a null buffer the C library would keep its small default one.
    buffer.resize(kWriteBufferSize);
    std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
    failed = false;
    return true;
}

void SafeFileWriter::write(const void* data, std::size_t size) {
    if (failed || !file || size == 0) {
        return;
    }
    if (std::fwrite(data, 1, size, file) != size) {
        failed = true;
    }
}

bool SafeFileWriter::commit() {
    if (!file) {
        return false;
    }
    bool ok = !failed && std::fflush(file) == 0 && FileSystem::syncToDisk(file);
    ok = std::fclose(file) == 0 && ok;
    file = nullptr;
    if (!ok || !FileSystem::replaceFile(tempPath, target)) {
        FileSystem::removeFile(tempPath);
        return false;
    }
    return true;
}

void SafeFileWriter::abandon() {
    if (file) {
        std::fclose(file);
        file = nullptr;
        FileSystem::removeFile(tempPath);
    }
}
