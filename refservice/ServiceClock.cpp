#include "ServiceClock.h"

#include <cstdio>
#include <ctime>

namespace OrvaneRefService {

LocalDateTime CurrentLocalDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::string FormatStoredTime(const LocalDateTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return text;
}

}  // namespace OrvaneRefService
