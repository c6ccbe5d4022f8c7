#pragma once

#include <cstdint>
#include <string>

namespace OrvaneLib {

// Where and how the service is reached. The production address is the
// default; ORVANE_CONNECT_TO can redirect it for local runs.
constexpr const char* kProductionServiceUrl = "https://qrm.orvane.com/qrmapps/web/services";

struct ConnectionSettings {
    std::string serviceUrl = kProductionServiceUrl;
    std::string userAgent = "ORVANE SDK for QRM";
    std::string proxyServer;
    std::int32_t proxyPort = -1;  // a proxy is used only when the port is > 0
    std::string proxyUser;
    std::string proxyPassword;
};

}  // namespace OrvaneLib
