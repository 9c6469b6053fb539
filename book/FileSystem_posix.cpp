#include "book/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileSystem {

std::FILE* openForReading(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return nullptr;
    }
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

bool fileSize(std::FILE* file, std::uint64_t& size) {
    struct stat status {};
    if (fstat(fileno(file), &status) != 0) {
        return false;
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

bool syncToDisk(std::FILE* file) {
    return fsync(fileno(file)) == 0;
}

static std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool replaceFile(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    // The rename itself must survive a power cut too.
    const int directory = open(directoryOf(to).c_str(), O_RDONLY | O_DIRECTORY);
    if (directory >= 0) {
        fsync(directory);
        close(directory);
    }
    return true;
}

std::FILE* createNew(const std::string& path) {
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (descriptor < 0) {
        return nullptr;
    }
    std::FILE* file = fdopen(descriptor, "wb");
    if (!file) {
        close(descriptor);
        std::remove(path.c_str());
    }
    return file;
}

static bool copyFile(const std::string& from, const std::string& to) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (!in) {
        return false;
    }
    std::FILE* out = createNew(to);
    if (!out) {
        std::fclose(in);
        return false;
    }
    bool ok = true;
    char chunk[1 << 16];
    while (ok) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, in);
        if (got == 0) {
            ok = !std::ferror(in);
            break;
        }
        ok = std::fwrite(chunk, 1, got, out) == got;
    }
    std::fclose(in);
    ok = std::fflush(out) == 0 && fsync(fileno(out)) == 0 && ok;
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        std::remove(to.c_str());
    }
    return ok;
}

bool preserveAsBackup(const std::string& original, const std::string& backup) {
    const std::string pending = temporaryNameBeside(backup);
    // Neither the link nor the copy replaces a file that has the pending name.
    if (link(original.c_str(), pending.c_str()) != 0 && (errno == EEXIST || !copyFile(original, pending))) {
        return false;
    }
    const bool replaced = replaceFile(pending, backup);
    // A rename between two names of one file (the backup already a link to
    // the book) succeeds without removing the source: the pending name goes
    // either way.
    std::remove(pending.c_str());
    return replaced;
}

bool removeFile(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

FileStamp stamp(const std::string& path) {
    struct stat status {};
    FileStamp result;
    if (stat(path.c_str(), &status) != 0) {
        return result;
    }
    if (S_ISDIR(status.st_mode)) {
        result.kind = FileStamp::Kind::Folder;
        return result;
    }
    result.kind = FileStamp::Kind::File;
    result.size = static_cast<std::uint64_t>(status.st_size);
    result.modified = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return result;
}

std::int64_t now() {
    timespec time{};
    clock_gettime(CLOCK_REALTIME, &time);
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

bool exists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

} // namespace FileSystem
