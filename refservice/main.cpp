// orvane-refservice: a local stand-in for the Orvane account and activity
// service, for demos and end-to-end tests.
#include "ReferenceService.h"
#include "RequestLog.h"
#include "ServiceListeners.h"
#include "ServiceOptions.h"
#include "ServiceStore.h"
#include "TlsMaterial.h"

#include <CLI/CLI.hpp>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>

using namespace OrvaneRefService;

namespace {

// The port file is written whole and then renamed, so a script polling for
// it never reads half of it.
void WritePortFile(const std::string& path, int httpPort, int httpsPort, const TlsFiles& tls) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        if (httpPort > 0) out << "http_port=" << httpPort << "\n";
        if (httpsPort > 0) out << "https_port=" << httpsPort << "\n";
        out << "ca_file=" << tls.caCertificate.string() << "\n";
        if (!out.flush()) {
            throw std::runtime_error("cannot write the port file " + temporary);
        }
    }
    std::filesystem::rename(temporary, path);
}

int Run(const ServiceOptions& options) {
    if (options.httpPort < 0 && options.httpsPort < 0) {
        std::cerr << "orvane-refservice: both listeners are off; nothing to do\n";
        return 2;
    }
    // Block the stop signals in every thread; this thread waits for them below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);  // a client that hangs up must not end the service

    const std::filesystem::path dataFolder = std::filesystem::absolute(options.dataFolder);
    std::filesystem::create_directories(dataFolder);
    ServiceStore store((dataFolder / "service.db").string());
    const TlsFiles tls = EnsureTlsMaterial(dataFolder, options.hostNames);

    std::ofstream logFile;
    if (!options.logFile.empty()) {
        logFile.open(options.logFile, std::ios::app);
        if (!logFile) {
            throw std::runtime_error("cannot open the log file " + options.logFile);
        }
    }
    RequestLog log(options.logFile.empty() ? std::cout : logFile, CurrentLocalDateTime);
    ReferenceService service(store, CurrentLocalDateTime);
    ServiceListeners listeners(service, log);

    std::cout << "orvane-refservice: data folder " << dataFolder.string() << "\n"
              << "orvane-refservice: CA certificate " << tls.caCertificate.string()
              << " (trust it with ORVANE_CA_BUNDLE)\n";
    int httpPort = -1;
    int httpsPort = -1;
    if (options.httpPort >= 0) {
        httpPort = listeners.ListenHttp(options.listenAddress, options.httpPort);
        std::cout << "listening on " << ListenUrl("http", options.listenAddress, httpPort) << std::endl;
    }
    if (options.httpsPort >= 0) {
        httpsPort = listeners.ListenHttps(options.listenAddress, options.httpsPort, tls);
        std::cout << "listening on " << ListenUrl("https", options.listenAddress, httpsPort) << std::endl;
    }
    if (!options.portFile.empty()) {
        WritePortFile(options.portFile, httpPort, httpsPort, tls);
    }

    int signal = 0;
    sigwait(&stopSignals, &signal);
    std::cout << "orvane-refservice: stopping" << std::endl;
    listeners.Stop();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    ServiceOptions options;
    CLI::App app{"orvane-refservice: local reference implementation of the Orvane account and activity service"};
    AddServiceOptions(app, options);
    CLI11_PARSE(app, argc, argv);
    try {
        return Run(options);
    } catch (const std::exception& failure) {
        std::cerr << "orvane-refservice: " << failure.what() << "\n";
        return 1;
    }
}
