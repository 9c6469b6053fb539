#include "tools/lkbook/Times.h"

#include <windows.h>

namespace Times {

std::string formatLocal(std::int32_t seconds) {
    if (seconds == Never) {
        return "-";
    }
    // The C runtime refuses times before 1970; the system's count from 1601.
    const std::int64_t ticks = (static_cast<std::int64_t>(seconds) + 11644473600LL) * 10000000LL;
    FILETIME utc;
    utc.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
    utc.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32);
    SYSTEMTIME universal;
    SYSTEMTIME local;
    if (!FileTimeToSystemTime(&utc, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
        return formatUtc(seconds);
    }
    return detail::format(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond);
}

} // namespace Times
