#include "ForwardProxy.h"

#include "RawTcpServer.h"

#include <poll.h>
#include <sys/socket.h>

#include <mutex>
#include <optional>

namespace OrvaneTest {
namespace {

constexpr char kRefusal[] =
    "HTTP/1.1 407 Proxy Authentication Required\r\n"
    "Proxy-Authenticate: Basic realm=\"orvane-test\"\r\n"
    "Content-Length: 0\r\n"
    "Connection: close\r\n\r\n";
constexpr char kTunnelOpen[] = "HTTP/1.1 200 Connection established\r\n\r\n";
constexpr char kBadGateway[] = "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";

std::string Base64(const std::string& text) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    std::size_t i = 0;
    for (; i + 2 < text.size(); i += 3) {
        const unsigned value = static_cast<unsigned char>(text[i]) << 16 |
                               static_cast<unsigned char>(text[i + 1]) << 8 | static_cast<unsigned char>(text[i + 2]);
        for (int shift : {18, 12, 6, 0}) encoded += kAlphabet[(value >> shift) & 0x3F];
    }
    if (i < text.size()) {
        const bool two = i + 1 < text.size();
        const unsigned value = static_cast<unsigned char>(text[i]) << 16 |
                               (two ? static_cast<unsigned char>(text[i + 1]) << 8 : 0U);
        encoded += kAlphabet[(value >> 18) & 0x3F];
        encoded += kAlphabet[(value >> 12) & 0x3F];
        encoded += two ? kAlphabet[(value >> 6) & 0x3F] : '=';
        encoded += '=';
    }
    return encoded;
}

// "POST http://host:80/a/b HTTP/1.0" -> "POST /a/b HTTP/1.0"
std::string OriginFormRequestLine(const std::string& requestLine) {
    const std::size_t uriBegin = requestLine.find(' ') + 1;
    const std::size_t uriEnd = requestLine.rfind(' ');
    std::string uri = requestLine.substr(uriBegin, uriEnd - uriBegin);
    const std::size_t scheme = uri.find("://");
    if (scheme != std::string::npos) {
        const std::size_t path = uri.find('/', scheme + 3);
        uri = path == std::string::npos ? "/" : uri.substr(path);
    }
    return requestLine.substr(0, uriBegin) + uri + requestLine.substr(uriEnd);
}

// The head for the upstream server: origin-form request line, no proxy headers.
std::string UpstreamHead(const RawHttpRequest& request) {
    std::string head = OriginFormRequestLine(request.RequestLine()) + "\r\n";
    std::size_t begin = request.head.find("\r\n") + 2;
    for (std::size_t end; (end = request.head.find("\r\n", begin)) != std::string::npos && end > begin;
         begin = end + 2) {
        const std::string line = request.head.substr(begin, end - begin);
        const std::string name = line.substr(0, line.find(':'));
        if (name.size() >= 6 && (name.compare(0, 6, "Proxy-") == 0 || name.compare(0, 6, "proxy-") == 0)) continue;
        head += line + "\r\n";
    }
    return head + "\r\n";
}

// Copies bytes both ways until either side closes.
void Pump(int first, int second) {
    pollfd pollers[2] = {{first, POLLIN, 0}, {second, POLLIN, 0}};
    char buffer[16384];
    for (;;) {
        if (poll(pollers, 2, 30000) <= 0) return;
        for (int i = 0; i < 2; ++i) {
            if (pollers[i].revents == 0) continue;
            const ssize_t received = recv(pollers[i].fd, buffer, sizeof(buffer), 0);
            if (received <= 0) return;
            const int target = pollers[1 - i].fd;
            for (ssize_t offset = 0; offset < received;) {
                const ssize_t sent = send(target, buffer + offset, static_cast<std::size_t>(received - offset),
                                          MSG_NOSIGNAL);
                if (sent <= 0) return;
                offset += sent;
            }
        }
    }
}

}  // namespace

struct ForwardProxy::State {
    int upstreamPort = 0;
    Mode mode = Mode::Open;
    std::string expectedAuthorization;

    mutable std::mutex mutex;
    std::vector<SeenRequest> seen;

    std::optional<RawTcpServer> server;  // last: stops before the rest goes

    void Handle(TcpConnection& client) {
        const std::optional<RawHttpRequest> request = client.ReadHttpRequest();
        if (!request) return;
        SeenRequest entry{request->RequestLine(), request->Header("Proxy-Authorization"), false};
        entry.relayed = mode == Mode::Open ||
                        (mode == Mode::RequireCredentials && entry.proxyAuthorization == expectedAuthorization);
        {
            const std::lock_guard<std::mutex> lock(mutex);
            seen.push_back(entry);
        }
        if (!entry.relayed) {
            client.Send(kRefusal);
            return;
        }

        std::unique_ptr<TcpConnection> upstream;
        try {
            upstream = ConnectToLoopback(upstreamPort);
        } catch (...) {
            client.Send(kBadGateway);
            return;
        }
        if (entry.requestLine.compare(0, 8, "CONNECT ") == 0) {
            client.Send(kTunnelOpen);
        } else {
            upstream->Send(UpstreamHead(*request) + request->body);
        }
        Pump(client.Descriptor(), upstream->Descriptor());
    }
};

ForwardProxy::ForwardProxy(int upstreamPort, Mode mode, std::string user, std::string password)
    : state_(std::make_unique<State>()) {
    state_->upstreamPort = upstreamPort;
    state_->mode = mode;
    state_->expectedAuthorization = "Basic " + Base64(user + ":" + password);
    state_->server.emplace([state = state_.get()](TcpConnection& client) { state->Handle(client); });
}

ForwardProxy::~ForwardProxy() { state_->server.reset(); }

int ForwardProxy::Port() const { return state_->server->Port(); }

std::vector<ForwardProxy::SeenRequest> ForwardProxy::Requests() const {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->seen;
}

void ForwardProxy::Clear() {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->seen.clear();
}

}  // namespace OrvaneTest
