#pragma once

#include <OrvaneLib/SystemTime.h>

#include <cstdint>

namespace OrvaneLib {

// Gregorian calendar arithmetic on the date part of a SystemTime.
bool IsLeapYear(std::uint16_t year);
std::uint16_t DaysInMonth(std::uint16_t year, std::uint16_t month);

// The following calendar day: year, month and day carry over month and year
// ends; the time of day is copied and the day of the week is not kept up.
SystemTime NextDay(const SystemTime& date);

}  // namespace OrvaneLib
