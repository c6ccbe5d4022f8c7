#pragma once

#include <functional>
#include <string>

namespace OrvaneRefService {

// A local calendar time, as the service stamps activities and sign-ins.
struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The service asks the clock for "now"; tests hand in a fixed one.
using ServiceClock = std::function<LocalDateTime()>;

LocalDateTime CurrentLocalDateTime();

// "YYYY-MM-DD HH:MM:SS": sorts in time order, as the store keeps times.
std::string FormatStoredTime(const LocalDateTime& time);

}  // namespace OrvaneRefService
