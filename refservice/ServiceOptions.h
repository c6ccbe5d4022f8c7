#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace OrvaneRefService {

struct ServiceOptions {
    std::string listenAddress = "127.0.0.1";
    int httpPort = 8080;   // 0 picks a free port, -1 turns the listener off
    int httpsPort = 8443;  // likewise
    std::string dataFolder = "orvane-refservice-data";
    // Names the server certificate is issued for: loopback and the service's
    // own host names, so a client redirected with ORVANE_CONNECT_TO matches.
    std::vector<std::string> hostNames = {"localhost", "127.0.0.1", "qrm-dev.orvane.com", "qrm-qa.orvane.com",
                                          "qrm.orvane.com"};
    std::string portFile;  // where the bound ports are written, if set
    std::string logFile;   // request log; standard output when empty
};

void AddServiceOptions(CLI::App& app, ServiceOptions& options);

}  // namespace OrvaneRefService
