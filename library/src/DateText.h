#pragma once

#include <OrvaneLib/SystemTime.h>

#include <string>

namespace OrvaneLib {

// MMDDYYYY: month and day zero-padded to two digits, the year to four.
std::string DateText(const SystemTime& date);

// The date_from text: the date when set, else 01012000.
std::string DateFromText(const SystemTime& dateFrom);

// The date_to text: the date when set, else the day after today's local date.
std::string DateToText(const SystemTime& dateTo);

}  // namespace OrvaneLib
