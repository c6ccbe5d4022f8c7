#include "SystemTimeConversion.h"

#include <QDateTime>

#include <cstdint>
#include <tuple>

OrvaneLib::SystemTime ToSystemTime(const QDateTime& value)
{
    const QDate date = value.date();
    const QTime time = value.time();
    OrvaneLib::SystemTime result;
    result.year = static_cast<std::uint16_t>(date.year());
    result.month = static_cast<std::uint16_t>(date.month());
    result.dayOfWeek = static_cast<std::uint16_t>(date.dayOfWeek() % 7);
    result.day = static_cast<std::uint16_t>(date.day());
    result.hour = static_cast<std::uint16_t>(time.hour());
    result.minute = static_cast<std::uint16_t>(time.minute());
    result.second = static_cast<std::uint16_t>(time.second());
    result.milliseconds = static_cast<std::uint16_t>(time.msec());
    return result;
}

bool IsLater(const OrvaneLib::SystemTime& first, const OrvaneLib::SystemTime& second)
{
    const auto instant = [](const OrvaneLib::SystemTime& t) {
        return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second, t.milliseconds);
    };
    return instant(first) > instant(second);
}
