#pragma once

#include "ServiceClock.h"

#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

namespace OrvaneRefService {

// One line per request: time, action, identification code and outcome. The
// texts come from the client, so control characters are shown as '?' and
// long texts are cut, which keeps one request on one line. Request bodies,
// and so passwords, are never written.
class RequestLog {
public:
    RequestLog(std::ostream& out, ServiceClock clock);

    void Record(std::string_view action, std::string_view idCode, bool accepted, std::string_view outcome);

private:
    std::mutex mutex_;
    std::ostream& out_;
    ServiceClock clock_;
};

// The text made safe for one log line, at most maxLength bytes.
std::string LogSafe(std::string_view text, std::size_t maxLength);

}  // namespace OrvaneRefService
