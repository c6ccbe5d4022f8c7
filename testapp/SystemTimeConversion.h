#pragma once

#include <OrvaneLib/SystemTime.h>

class QDateTime;

// The date and time of day that a date picker holds, as the library's
// date-time record (day of the week 0 = Sunday).
OrvaneLib::SystemTime ToSystemTime(const QDateTime& value);

// True when `first` is a later instant than `second` (the day of the week
// plays no part).
bool IsLater(const OrvaneLib::SystemTime& first, const OrvaneLib::SystemTime& second);
