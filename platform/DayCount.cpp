// Calendar arithmetic for the day count.
#include "platform/DayCount.h"

namespace platform {

std::int64_t DayCountOf(int year, int month, int day) {
    // Days from the civil date to 1 January 1970 (H. Hinnant's algorithm), then shifted.
    std::int64_t y = year - (month <= 2 ? 1 : 0);
    std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    std::int64_t yoe = y - era * 400;
    std::int64_t m = month;
    std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    std::int64_t unixDays = era * 146097 + doe - 719468;
    return unixDays + 25569;
}

std::int64_t LocalDayCount(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    return DayCountOf(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

DayClock SystemDayClock() {
    return [] { return LocalDayCount(std::time(nullptr)); };
}

} // namespace platform
