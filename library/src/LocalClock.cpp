#include "LocalClock.h"

#include <ctime>

namespace OrvaneLib {
namespace {

SystemTime MachineLocalDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    SystemTime date;
    date.year = static_cast<std::uint16_t>(local.tm_year + 1900);
    date.month = static_cast<std::uint16_t>(local.tm_mon + 1);
    date.dayOfWeek = static_cast<std::uint16_t>(local.tm_wday);
    date.day = static_cast<std::uint16_t>(local.tm_mday);
    return date;
}

LocalDateSource currentSource = &MachineLocalDate;

}  // namespace

SystemTime LocalDateToday() { return currentSource(); }

void SetLocalDateSource(LocalDateSource source) { currentSource = source ? source : &MachineLocalDate; }

}  // namespace OrvaneLib
