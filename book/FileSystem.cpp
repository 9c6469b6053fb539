#include "book/FileSystem.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>

namespace FileSystem {

// The clock at start-up mixed with a counter: two processes saving the same
// book (two computers on a shared folder) start from unlike values, and one
// process never repeats a name.
std::string temporaryNameBeside(const std::string& path) {
    static const std::uint32_t start = static_cast<std::uint32_t>(
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) * 2654435761u);
    static std::atomic<std::uint32_t> counter{0};
    const std::uint32_t value = start ^ (counter.fetch_add(1) * 0x9E3779B9u);
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(value));
    return path + suffix;
}

} // namespace FileSystem
