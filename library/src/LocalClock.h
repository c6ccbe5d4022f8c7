#pragma once

#include <OrvaneLib/SystemTime.h>

namespace OrvaneLib {

// Today's date on the machine's local clock and in its time zone (year,
// month, day of the week, day; the time fields are zero).
SystemTime LocalDateToday();

// Lets tests fix "today". A null function restores the machine's clock.
using LocalDateSource = SystemTime (*)();
void SetLocalDateSource(LocalDateSource source);

}  // namespace OrvaneLib
