#include "book/SafeFileWriter.h"

#include "book/FileSystem.h"

#include <utility>
#include <vector>

namespace {
// Large enough that a big book is written in few system calls.
constexpr std::size_t kWriteBufferSize = 1 << 20;
// Names tried for the temporary file before the save gives up.
constexpr int kNameAttempts = 16;
} // namespace

SafeFileWriter::FaultHook SafeFileWriter::faultHook = nullptr;

SafeFileWriter::SafeFileWriter(std::string targetPath, std::string backupPath)
    : target(std::move(targetPath)), backup(std::move(backupPath)) {}

SafeFileWriter::~SafeFileWriter() {
    abandon();
}

bool SafeFileWriter::allowed(Stage stage) const {
    return !faultHook || faultHook(stage, target);
}

bool SafeFileWriter::open() {
    if (!allowed(Stage::Open)) {
        return false;
    }
    // A fresh name each time, created only where nothing is: a file that
    // happens to be called like the temporary is never written over.
    for (int attempt = 0; attempt < kNameAttempts && !file; ++attempt) {
        tempPath = FileSystem::temporaryNameBeside(target);
        file = FileSystem::createNew(tempPath);
        if (!file && !FileSystem::exists(tempPath)) {
            break;
        }
    }
    if (!file) {
        tempPath.clear();
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
    if (!allowed(Stage::Write) || std::fwrite(data, 1, size, file) != size) {
        failed = true;
    }
}

bool SafeFileWriter::commit(const ReplaceCheck& mayReplace) {
    if (!file) {
        return false;
    }
    bool ok = !failed && std::fflush(file) == 0 && FileSystem::syncToDisk(file);
    ok = std::fclose(file) == 0 && ok;
    file = nullptr;
    ok = ok && (!mayReplace || mayReplace());
    if (ok && !backup.empty() && FileSystem::exists(target)) {
        // A backup that cannot be made does not stop the save: the new file
        // is complete, only the older generation is missing.
        FileSystem::preserveAsBackup(target, backup);
    }
    if (!ok || !allowed(Stage::Replace) || !FileSystem::replaceFile(tempPath, target)) {
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
