#include "ServiceOptions.h"

#include <CLI/CLI.hpp>

namespace OrvaneRefService {

void AddServiceOptions(CLI::App& app, ServiceOptions& options) {
    app.add_option("--listen", options.listenAddress, "Address to listen on")->capture_default_str();
    app.add_option("--http-port", options.httpPort, "HTTP port; 0 picks a free port, -1 turns HTTP off")
        ->check(CLI::Range(-1, 65535))
        ->capture_default_str();
    app.add_option("--https-port", options.httpsPort, "HTTPS port; 0 picks a free port, -1 turns HTTPS off")
        ->check(CLI::Range(-1, 65535))
        ->capture_default_str();
    app.add_option("--data-dir", options.dataFolder,
                   "Folder for the database, the certificate authority and the server certificate")
        ->capture_default_str();
    app.add_option("--host", options.hostNames,
                   "Host name or IP address for the server certificate (repeat for several)")
        ->capture_default_str();
    app.add_option("--port-file", options.portFile,
                   "Write the bound ports and the CA file here (lines http_port=, https_port=, ca_file=)");
    app.add_option("--log-file", options.logFile, "Append the request log here instead of standard output");
}

}  // namespace OrvaneRefService
