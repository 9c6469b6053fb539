#pragma once

#include <cstdint>
#include <string>

namespace Salvage {

// Byte offset just past the first `count` page records of the book file at
// `path` (13 for none), found by following the records' length fields; 0
// when those records cannot be followed. Exact also for strings with zero
// bytes, which the reader cuts short.
std::uint64_t endOfRecords(const std::string& path, std::uint32_t count);

} // namespace Salvage
