#include "tools/lkbook/Times.h"

#include <ctime>

namespace Times {

std::string formatLocal(std::int32_t seconds) {
    if (seconds == Never) {
        return "-";
    }
    const std::time_t value = seconds;
    std::tm local{};
    if (!localtime_r(&value, &local)) {
        return formatUtc(seconds);
    }
    return detail::format(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                          static_cast<unsigned>(local.tm_mday), static_cast<unsigned>(local.tm_hour),
                          static_cast<unsigned>(local.tm_min), static_cast<unsigned>(local.tm_sec));
}

} // namespace Times
