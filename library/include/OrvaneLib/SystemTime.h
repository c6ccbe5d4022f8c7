#pragma once

#include <cstdint>

namespace OrvaneLib {

// A calendar date and time of day, field for field the platform's
// date-time record: {year, month, dayOfWeek, day, hour, minute, second, ms}.
struct SystemTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;  // 1 to 12
    std::uint16_t dayOfWeek = 0;
    std::uint16_t day = 0;  // day of the month
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

// A date counts as set only when its year, month and day are all non-zero.
inline bool IsDateSet(const SystemTime& t) { return t.year != 0 && t.month != 0 && t.day != 0; }

}  // namespace OrvaneLib
