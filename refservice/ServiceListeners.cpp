#include "ServiceListeners.h"

#include <httplib.h>

#include <chrono>
#include <stdexcept>

namespace OrvaneRefService {

namespace {

const std::string kXmlContentType = "application/xml; charset=UTF-8";
constexpr std::size_t kKeepAliveMaxRequests = 1000;

}  // namespace

void RegisterServiceRoutes(httplib::Server& server, ReferenceService& service, RequestLog& log) {
    server.set_payload_max_length(kMaxBodyBytes);
    // A compressed body could inflate far past the limit after it was checked.
    server.set_pre_routing_handler([](const httplib::Request& request, httplib::Response& response) {
        if (request.has_header("Content-Encoding")) {
            response.status = 415;
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.Post(std::string(kServiceRoot) + "/([^/]+)",
                [&service, &log](const httplib::Request& request, httplib::Response& response) {
                    const std::string action = request.matches[1];
                    const ServiceReply reply = service.Handle(action, request.body);
                    log.Record(action, reply.idCode, reply.accepted, reply.outcome);
                    response.status = reply.httpStatus;
                    response.set_content(reply.document, kXmlContentType);
                });
    // What cpp-httplib refuses by itself (unknown path or method, too large,
    // compressed) reaches no handler above and leaves an empty body.
    server.set_logger([&log](const httplib::Request& request, const httplib::Response& response) {
        if (response.body.empty()) {
            log.Record(request.method + " " + request.path, {}, false, "HTTP " + std::to_string(response.status));
        }
    });
}

ServiceListeners::ServiceListeners(ReferenceService& service, RequestLog& log) : service_(service), log_(log) {}

ServiceListeners::~ServiceListeners() { Stop(); }

int ServiceListeners::ListenHttp(const std::string& address, int port) {
    return Listen(std::make_unique<httplib::Server>(), address, port);
}

int ServiceListeners::ListenHttps(const std::string& address, int port, const TlsFiles& tls) {
    auto server = std::make_unique<httplib::SSLServer>(tls.serverCertificate.c_str(), tls.serverKey.c_str());
    if (!server->is_valid()) {
        throw std::runtime_error("cannot use the server certificate " + tls.serverCertificate.string());
    }
    return Listen(std::move(server), address, port);
}

int ServiceListeners::Listen(std::unique_ptr<httplib::Server> server, const std::string& address, int port) {
    RegisterServiceRoutes(*server, service_, log_);
    // Clients that keep their connection (HTTP/1.0 with "Connection:
    // Keep-Alive", as the library asks) send many requests on it: replies
    // leave without waiting for the client's delayed ACK, and a connection
    // serves many requests rather than cpp-httplib's default of five.
    server->set_tcp_nodelay(true);
    server->set_keep_alive_max_count(kKeepAliveMaxRequests);
    int boundPort = port;
    if (port == 0) {
        boundPort = server->bind_to_any_port(address);
    } else if (!server->bind_to_port(address, port)) {
        boundPort = -1;
    }
    if (boundPort <= 0) {
        throw std::runtime_error("cannot listen on " + address + " port " + std::to_string(port));
    }
    httplib::Server& running = *server;
    listeners_.push_back({std::move(server), std::thread([&running] { running.listen_after_bind(); })});
    // The socket accepts connections already; wait until requests are served.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!running.is_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return boundPort;
}

void ServiceListeners::Stop() {
    for (Listener& listener : listeners_) {
        listener.server->stop();
    }
    for (Listener& listener : listeners_) {
        if (listener.thread.joinable()) {
            listener.thread.join();
        }
    }
    listeners_.clear();
}

std::string ListenUrl(const std::string& scheme, const std::string& address, int port) {
    const bool ipv6 = address.find(':') != std::string::npos;
    return scheme + "://" + (ipv6 ? "[" + address + "]" : address) + ":" + std::to_string(port);
}

}  // namespace OrvaneRefService
