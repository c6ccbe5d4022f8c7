#pragma once

#include "ReferenceService.h"
#include "RequestLog.h"
#include "TlsMaterial.h"

#include <cstddef>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace OrvaneRefService {

// Requests are posted to this root followed by "/" and the action.
inline constexpr char kServiceRoot[] = "/qrmapps/web/services";
// Request documents are a few hundred bytes; anything past this is refused
// (HTTP 413) before it is read.
inline constexpr std::size_t kMaxBodyBytes = 1024 * 1024;

// Puts the service's route on a cpp-httplib server: POST to the root and an
// action, with the body limit, no compressed bodies, and one log line for
// every request, including those that never reach the service.
void RegisterServiceRoutes(httplib::Server& server, ReferenceService& service, RequestLog& log);

// The HTTP and HTTPS listeners, each on its own thread.
class ServiceListeners {
public:
    ServiceListeners(ReferenceService& service, RequestLog& log);
    ~ServiceListeners();
    ServiceListeners(const ServiceListeners&) = delete;
    ServiceListeners& operator=(const ServiceListeners&) = delete;

    // Start listening and return the bound port (a free one for port 0).
    // Raise std::runtime_error when the address or port cannot be used.
    int ListenHttp(const std::string& address, int port);
    int ListenHttps(const std::string& address, int port, const TlsFiles& tls);

    // Stops every listener and waits for its thread.
    void Stop();

private:
    int Listen(std::unique_ptr<httplib::Server> server, const std::string& address, int port);

    struct Listener {
        std::unique_ptr<httplib::Server> server;
        std::thread thread;
    };
    ReferenceService& service_;
    RequestLog& log_;
    std::vector<Listener> listeners_;
};

// "http://127.0.0.1:8080", with an IPv6 address in brackets.
std::string ListenUrl(const std::string& scheme, const std::string& address, int port);

}  // namespace OrvaneRefService
