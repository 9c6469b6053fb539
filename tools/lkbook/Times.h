#pragma once

#include <cstdint>
#include <string>

// The page update time: seconds since 1970-01-01 UTC in 32 bits, -1 for never.
namespace Times {

constexpr std::int32_t Never = -1;

// "2003-01-01T00:05:07Z".
std::string formatUtc(std::int32_t seconds);

// Reads exactly the form formatUtc writes. false for anything else, for a
// moment a 32-bit time cannot hold, and for the one second before 1970,
// whose value the book uses for "never".
bool parseUtc(const std::string& text, std::int32_t& seconds);

// "2003-01-01T09:05:07" in the local time zone, or "-" for Never.
std::string formatLocal(std::int32_t seconds);

namespace detail {
// "2003-01-01T09:05:07".
std::string format(std::int64_t year, unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned second);
} // namespace detail

} // namespace Times
