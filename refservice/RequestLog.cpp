#include "RequestLog.h"

namespace OrvaneRefService {

std::string LogSafe(std::string_view text, std::size_t maxLength) {
    std::string safe;
    for (const char c : text.substr(0, maxLength)) {
        const auto byte = static_cast<unsigned char>(c);
        safe += byte < 0x20 || byte == 0x7F ? '?' : c;
    }
    if (text.size() > maxLength) {
        safe += "...";
    }
    return safe;
}

RequestLog::RequestLog(std::ostream& out, ServiceClock clock) : out_(out), clock_(std::move(clock)) {}

void RequestLog::Record(std::string_view action, std::string_view idCode, bool accepted, std::string_view outcome) {
    const std::string line = FormatStoredTime(clock_()) + " " + LogSafe(action, 40) + " id_code=" +
                             (idCode.empty() ? std::string("-") : LogSafe(idCode, 40)) +
                             (accepted ? " accepted" : " refused") +
                             (outcome.empty() ? std::string() : ": " + LogSafe(outcome, 200));
    const std::lock_guard<std::mutex> lock(mutex_);
    out_ << line << std::endl;
}

}  // namespace OrvaneRefService
