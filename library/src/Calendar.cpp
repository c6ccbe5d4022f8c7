#include "Calendar.h"

namespace OrvaneLib {

bool IsLeapYear(std::uint16_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::uint16_t DaysInMonth(std::uint16_t year, std::uint16_t month) {
    static constexpr std::uint16_t days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year)) {
        return 29;
    }
    return month >= 1 && month <= 12 ? days[month - 1] : 31;
}

SystemTime NextDay(const SystemTime& date) {
    SystemTime next = date;
    if (date.day < DaysInMonth(date.year, date.month)) {
        ++next.day;
        return next;
    }
    next.day = 1;
    if (date.month < 12) {
        ++next.month;
        return next;
    }
    next.month = 1;
    ++next.year;
    return next;
}

}  // namespace OrvaneLib
