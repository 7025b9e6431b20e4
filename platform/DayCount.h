// The current date as a day count (whole days since 30 December 1899), with a clock that tests
// can replace.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>

namespace platform {

// Answers today's day count.
using DayClock = std::function<std::int64_t()>;

// Day count of a calendar date (proleptic Gregorian); 1 January 1900 is 2.
std::int64_t DayCountOf(int year, int month, int day);

// Day count of the local calendar date at a moment.
std::int64_t LocalDayCount(std::time_t moment);

// The real clock: the local date now.
DayClock SystemDayClock();

} // namespace platform
