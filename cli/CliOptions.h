#pragma once

#include <OrvaneLib/ConnectionSettings.h>
#include <OrvaneLib/Requests.h>
#include <OrvaneLib/SystemTime.h>

#include <optional>
#include <string>
#include <utility>

namespace CLI {
class App;
}

namespace OrvaneCli {

// Options that every sub-command shares: where the service is and how to reach it.
struct ConnectionOptions {
    std::string url = OrvaneLib::kProductionServiceUrl;
    std::string proxy;  // HOST:PORT, empty for a direct connection
    std::string proxyUser;
    std::string proxyPassword;
    bool json = false;
    bool xml = false;

    OrvaneLib::ConnectionSettings Settings() const;
};

void AddConnectionOptions(CLI::App& app, ConnectionOptions& options);

// --id-code and --source, which every request carries.
void AddRequestOptions(CLI::App& command, OrvaneLib::RequestBase& request);
// The eight activity fields of put-activity, login and logout.
void AddActivityOptions(CLI::App& command, OrvaneLib::ActivityFields& fields);

// "proxy.example:8080" -> {"proxy.example", 8080}; nothing for anything else.
std::optional<std::pair<std::string, std::int32_t>> ParseProxy(const std::string& text);
// "2013-03-07" -> the date; nothing for anything that is not a calendar date.
std::optional<OrvaneLib::SystemTime> ParseDate(const std::string& text);

}  // namespace OrvaneCli
