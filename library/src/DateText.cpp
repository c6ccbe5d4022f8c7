#include "DateText.h"

#include "Calendar.h"
#include "LocalClock.h"

#include <cstdio>

namespace OrvaneLib {

std::string DateText(const SystemTime& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u%02u%04u", unsigned{date.month}, unsigned{date.day},
                  unsigned{date.year});
    return text;
}

std::string DateFromText(const SystemTime& dateFrom) {
    return IsDateSet(dateFrom) ? DateText(dateFrom) : "01012000";
}

std::string DateToText(const SystemTime& dateTo) {
    return DateText(IsDateSet(dateTo) ? dateTo : NextDay(LocalDateToday()));
}

}  // namespace OrvaneLib
